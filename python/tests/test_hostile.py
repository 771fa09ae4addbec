"""Hostile input: each case once crashed, hung, misread or ended the interpreter.
Every one must now be a clear Python exception, or the right value."""

import errno
import os
import pickle
import signal
import subprocess
import sys
import threading
import time

import numpy as np
import pytest

import zurududo

SINGLE = zurududo.Instance("single", [3, 2, 4])
FLOW = zurududo.Instance("flowshop", [[3, 2, 4], [2, 5, 1]])
UNINITIALISED_PICKLE = b"\x80\x02czurududo\nInstance\n)\x81."


def in_child(code, env=None, **kwargs):
    """Runs `code` in a fresh interpreter with the package on its path."""
    return subprocess.run(
        [sys.executable, "-c", code], capture_output=True, text=True, timeout=120, env={**os.environ, **(env or {})},
        **kwargs
    )


def sanitized():
    """Whether the module runs under AddressSanitizer, which reserves terabytes of address space."""
    return "asan" in os.environ.get("LD_PRELOAD", "")


# --- crashes and memory errors ----------------------------------------------------------


@pytest.mark.parametrize("rows", [[[], []], np.zeros((3, 0), np.int32), np.zeros((0, 3), np.int32)])
def test_empty_rows(rows):
    if len(rows) == 0:
        assert SINGLE.evaluate_many(rows).tolist() == []
    else:
        with pytest.raises(ValueError, match="row 0: the sequence has 0 entries; the instance needs 3"):
            SINGLE.evaluate_many(rows)


def test_index_that_empties_the_list_being_read():
    inst = zurududo.Instance("single", [1] * 100)

    class Emptying:
        def __index__(self):
            seq.clear()
            return 0

    seq = [Emptying()] + list(range(1, 100))
    assert inst.evaluate(seq) == 100
    seq = [Emptying()] + list(range(1, 100))
    assert inst.completion_times(seq).tolist() == list(range(1, 101))


@pytest.mark.parametrize(
    "make",
    [lambda: zurududo.Instance.__new__(zurududo.Instance), lambda: pickle.loads(UNINITIALISED_PICKLE)],
    ids=["new", "pickle"],
)
def test_uninitialised_instance(make):
    inst = make()
    calls = [
        lambda: inst.jobs,
        lambda: inst.machines,
        lambda: inst.env,
        lambda: inst.pt,
        lambda: inst.dd,
        lambda: inst.evaluate([0]),
        lambda: inst.evaluate_many([[0]]),
        lambda: inst.objectives([0]),
        lambda: inst.schedule([0]),
        lambda: inst.__getstate__(),
        lambda: zurududo.solve(inst),
    ]
    for call in calls:
        with pytest.raises(TypeError, match="not initialised"):
            call()
    assert repr(inst) == "<zurududo.Instance, not initialised>"
    # __setstate__ makes it whole, once.
    inst.__setstate__(SINGLE.__getstate__())
    assert inst.evaluate([0, 1, 2]) == 9


def test_an_instance_does_not_change():
    inst = zurududo.Instance("single", [3, 2, 4])
    with pytest.raises(TypeError, match="an Instance does not change"):
        inst.__init__("single", [1])
    with pytest.raises(TypeError, match="an Instance does not change"):
        inst.__setstate__(FLOW.__getstate__())
    assert inst.pt.tolist() == [3, 2, 4]
    with pytest.raises(TypeError, match="a zurududo.Instance is needed, not int"):
        zurududo.solve(5)


@pytest.mark.parametrize(
    "inst, seq",
    [
        (zurududo.Instance("identical", [3, 1, 4, 1, 5] * 8, machines=3), list(range(40))),
        (zurududo.Instance("uniform", [3, 1, 4, 1, 5] * 8, v=[1, 2, 3]), list(range(40))),
        (zurududo.Instance("unrelated", [[3, 1, 4, 1, 5] * 8] * 3), list(range(40))),
        (zurududo.Instance("jobshop", [[3, 1, 4, 1] * 10] * 2, rt=[[0, 1], [1, 0]] * 20), list(range(40)) * 2),
    ],
    ids=["identical", "uniform", "unrelated", "jobshop"],
)
def test_rows_changed_by_another_thread_while_evaluated(inst, seq):
    """The rows are copied a block at a time before they are checked: a job index
    written meanwhile is either refused or never seen, never read out of bounds."""
    rows = np.tile(np.array(seq, np.int32), (4000, 1))
    stop = threading.Event()

    def scribble():
        while not stop.is_set():
            rows[1234, 5] = 10**6
            rows[1234, 5] = seq[5]
            rows[3999, -1] = -(10**6)
            rows[3999, -1] = seq[-1]

    writer = threading.Thread(target=scribble)
    writer.start()
    try:
        for _ in range(20):
            try:
                values = inst.evaluate_many(rows, threads=2)
            except ValueError as e:
                assert "row 1234" in str(e) or "row 3999" in str(e)
            else:
                assert (values == inst.evaluate(seq)).all()
    finally:
        stop.set()
        writer.join()


def test_idle_identical_machines_are_never_stored():
    """2^31 − 1 machines for three jobs: 16 GB of work storage once; under a limit of
    1 GiB of address space the interpreter ended with "Memory is not enough"."""
    code = """
import resource, zurududo
resource.setrlimit(resource.RLIMIT_AS, (1 << 30, 1 << 30))
inst = zurududo.Instance("identical", [1, 2, 3], machines=2**31 - 1)
print(inst.evaluate([0, 1, 2]), inst.completion_times([0, 1, 2]).tolist(),
      inst.evaluate_many([[0, 1, 2]] * 3, threads=2).tolist(), zurududo.solve(inst, algorithm="lpt").value,
      zurududo.solve(inst, "SumCj", iterations=3).value, inst.schedule([2, 1, 0])["machine"].tolist())
"""
    if sanitized():
        pytest.skip("AddressSanitizer reserves terabytes of address space")
    child = in_child(code, {"OPENBLAS_NUM_THREADS": "1"})
    assert child.returncode == 0, child.stdout + child.stderr
    assert child.stdout == "3 [1, 2, 3] [3, 3, 3] 3 6 [0, 1, 2]\n"


def test_threads_that_cannot_start_leave_the_work_to_the_caller():
    """No thread can be had when each would need a stack of 64 GiB (the default a thread
    takes from RLIMIT_STACK) under 4 GiB of address space: evaluate_many still answers,
    on the calling thread, instead of ending the interpreter with std::terminate."""
    import resource

    def limits():
        resource.setrlimit(resource.RLIMIT_STACK, (64 << 30, resource.RLIM_INFINITY))
        resource.setrlimit(resource.RLIMIT_AS, (4 << 30, resource.RLIM_INFINITY))

    code = """
import threading, zurududo
try:
    threading.Thread(target=print).start()
    print("a thread started")
except RuntimeError:
    inst = zurududo.Instance("flowshop", [[3, 2, 4], [2, 5, 1]])
    print(inst.evaluate_many([[0, 1, 2]] * 600, threads=8).tolist() == [11] * 600)
"""
    if sanitized():
        pytest.skip("AddressSanitizer reserves terabytes of address space")
    try:
        child = in_child(code, {"OPENBLAS_NUM_THREADS": "1"}, preexec_fn=limits)
    except (ValueError, OSError):
        pytest.skip("the stack limit cannot be raised here")
    assert (child.returncode, child.stdout) == (0, "True\n"), child.stderr


# --- hangs ------------------------------------------------------------------------------


@pytest.mark.parametrize("layout", ["tagged", "taillard", "classic", "mrows"])
def test_a_device_that_never_ends_fails_at_once(layout):
    start = time.monotonic()
    with pytest.raises(zurududo.Error, match="'/dev/zero' is not a text file: it holds a NUL byte at offset 0"):
        zurududo.load("/dev/zero", "flowshop" if layout == "mrows" else None, layout=layout)
    assert time.monotonic() - start < 5


def test_solve_answers_ctrl_c_at_once():
    code = """
import os, signal, threading, time, zurududo
inst = zurududo.benchmark("ta001")
threading.Timer(0.3, lambda: os.kill(os.getpid(), signal.SIGINT)).start()
start = time.monotonic()
try:
    zurududo.solve(inst, time_limit=60)
except KeyboardInterrupt:
    print("interrupted after", round(time.monotonic() - start))
"""
    child = in_child(code)
    assert child.stdout == "interrupted after 0\n", child.stderr


def test_solve_runs_signal_handlers_while_it_searches():
    seen = []
    previous = signal.signal(signal.SIGUSR1, lambda *_: seen.append(time.monotonic()))
    try:
        threading.Timer(0.2, lambda: os.kill(os.getpid(), signal.SIGUSR1)).start()
        start = time.monotonic()
        result = zurududo.solve(FLOW, time_limit=1.0)
    finally:
        signal.signal(signal.SIGUSR1, previous)
    assert result.value == 10
    assert len(seen) == 1 and seen[0] - start < 0.5


def test_a_pipe_without_writer_answers_ctrl_c(tmp_path):
    fifo = tmp_path / "fifo"
    os.mkfifo(fifo)
    code = f"""
import os, signal, threading, zurududo
threading.Timer(0.3, lambda: os.kill(os.getpid(), signal.SIGINT)).start()
try:
    zurududo.load({str(fifo)!r}, "single")
except KeyboardInterrupt:
    print("interrupted")
"""
    child = in_child(code)
    assert child.stdout == "interrupted\n", child.stderr


# --- silently wrong values --------------------------------------------------------------


@pytest.mark.parametrize("order", [">", "<"])
def test_either_byte_order(order):
    big = np.dtype(f"{order}i4")
    inst = zurududo.Instance(
        "single",
        np.array([1, 2, 3], big),
        dd=np.array([4, 5, 6], f"{order}i8"),
        r=np.array([0, 1, 2], f"{order}i2"),
        w=np.array([1.5, 2.5, 3.5], f"{order}f8"),
    )
    assert inst.pt.tolist() == [1, 2, 3] and inst.dd.tolist() == [4, 5, 6] and inst.r.tolist() == [0, 1, 2]
    assert inst.w.tolist() == [1.5, 2.5, 3.5]
    uniform = zurududo.Instance("uniform", [4, 2], v=np.array([1, 2], f"{order}u2"))
    assert uniform.v.tolist() == [1, 2]
    seq = np.array([2, 0, 1], f"{order}u2")
    assert inst.evaluate(seq) == inst.evaluate([2, 0, 1])
    many = inst.evaluate_many(np.array([[2, 0, 1], [0, 1, 2]], f"{order}i4"), "Wj_SumCj")
    assert many.tolist() == [inst.evaluate([2, 0, 1], "Wj_SumCj"), inst.evaluate([0, 1, 2], "Wj_SumCj")]


def test_magnitudes_that_would_overflow_are_refused():
    with pytest.raises(ValueError, match="too large to be evaluated in 64-bit integers"):
        zurududo.Instance("single", [1, 2], dd=[-(2**63), 2**63 - 1])
    with pytest.raises(ValueError, match="too large to be evaluated in 64-bit integers"):
        zurududo.Instance("single", np.full(100_000, 2**31 - 1, np.int32))
    # At the bound itself, exact.
    at = (2**63 - 2) // 2 - 3
    assert zurududo.Instance("single", [1, 2], dd=[0, at]).evaluate([0, 1], "Lmax") == 1


@pytest.mark.parametrize(
    "call",
    [
        lambda: zurududo.load("a.txt\0garbage"),
        lambda: zurududo.list_instances("a.txt\0garbage", "taillard"),
        lambda: SINGLE.write_schedule([0, 1, 2], "a.sched\0garbage"),
    ],
)
def test_nul_in_a_file_name(call):
    with pytest.raises(ValueError, match="embedded null byte"):
        call()


# --- files ------------------------------------------------------------------------------


def test_writing_never_replaces_a_link_a_device_or_a_pipe(tmp_path):
    target = tmp_path / "target.sched"
    target.write_text("old")
    link = tmp_path / "link.sched"
    link.symlink_to(target.name)
    SINGLE.write_schedule([0, 1, 2], link)
    assert link.is_symlink() and target.read_text().startswith("[JOBS=3]")
    SINGLE.write_schedule([0, 1, 2], "/dev/null")
    assert os.path.exists("/dev/null") and not os.path.isfile("/dev/null")
    with pytest.raises(OSError) as full:
        SINGLE.write_schedule([0, 1, 2], "/dev/full")
    assert full.value.errno == errno.ENOSPC
    assert not os.path.isfile("/dev/full")
    with pytest.raises(IsADirectoryError):
        SINGLE.write_schedule([0, 1, 2], tmp_path)
    assert sorted(p.name for p in tmp_path.iterdir()) == ["link.sched", "target.sched"]


def test_a_new_file_takes_the_umask(tmp_path):
    previous = os.umask(0o027)
    try:
        SINGLE.write_schedule([0, 1, 2], tmp_path / "out.sched")
    finally:
        os.umask(previous)
    assert (tmp_path / "out.sched").stat().st_mode & 0o777 == 0o640


# --- Pythonic errors --------------------------------------------------------------------


@pytest.mark.parametrize(
    "call, message",
    [
        (lambda: zurududo.load("x", env=5), "environment env must be a str, not int"),
        (lambda: zurududo.load("x", "single", echo=None), "echo must be True or False, not NoneType"),
        (lambda: zurududo.load("x", "single", strict=None), "strict must be True or False, not NoneType"),
        (lambda: zurududo.load("x", "single", instance=1.5), "instance must be a name .* not float"),
        (lambda: zurududo.benchmarks(5), "benchmark set must be a str, not int"),
        (lambda: zurududo.solve(SINGLE, algorithm=5), "algorithm must be a str, not int"),
        (lambda: zurududo.solve(SINGLE, time_limit="x"), "time_limit must be a number of seconds .* not str"),
        (lambda: zurududo.solve(SINGLE, time_limit=True), "time_limit must be a number of seconds .* not bool"),
        (lambda: SINGLE.evaluate_many([[0, 1, 2]], threads=None), "number of threads must be an integer, not NoneType"),
        (lambda: zurududo.Instance("identical", [1, 2], machines="2"), "number of machines must be an integer, not str"),
        (lambda: SINGLE.evaluate(None), "sequence must be a one-dimensional array-like .* not NoneType"),
        (lambda: SINGLE.evaluate({0, 1, 2}), "not set"),
        (lambda: SINGLE.evaluate(x for x in range(3)), "not generator"),
        (lambda: SINGLE.evaluate("012"), "not str"),
        (lambda: SINGLE.evaluate(b"\x00\x01\x02"), "not bytes"),
        (lambda: SINGLE.evaluate(3), "not int"),
        (lambda: SINGLE.evaluate_many({(0, 1, 2)}), "sequences must be a two-dimensional array-like .* not set"),
        (lambda: zurududo.Instance("single", None), "pt must be a one-dimensional array-like .* not NoneType"),
        (lambda: zurududo.Instance("single", [1], w={1.0}), "w must be a one-dimensional array-like .* not set"),
    ],
)
def test_wrong_types_are_type_errors(call, message):
    with pytest.raises(TypeError, match=message):
        call()


@pytest.mark.parametrize(
    "call, message",
    [
        (lambda: zurududo.solve(SINGLE, algorithm=""), "unknown method '' \\(known: neh, ig"),
        (lambda: zurududo.solve(SINGLE, time_limit=2**1024), "time_limit is too large"),
        (lambda: zurududo.solve(SINGLE, time_limit=float("nan")), "time_limit is nan"),
        (lambda: zurududo.solve(SINGLE, time_limit=-1), "time_limit is -1.0"),
        (lambda: SINGLE.evaluate([0, 1, 2], "Cmax\0x"), r"unknown objective 'Cmax\\0x' \(known: Cmax, Emax"),
        (lambda: zurududo.Instance("single\0x", [1]), r"unknown environment 'single\\0x' \(single, identical"),
    ],
)
def test_wrong_values_are_value_errors(call, message):
    with pytest.raises(ValueError, match=message):
        call()


def test_range_and_sequences_are_array_likes():
    assert SINGLE.evaluate(range(3)) == 9
    assert SINGLE.evaluate(memoryview(np.array([0, 1, 2], np.int32))) == 9


def test_file_failures_are_the_oserror_of_their_errno(tmp_path):
    plain = tmp_path / "plain.txt"
    plain.write_text("[JOBS=1]\n[PT=1]\n")
    loop = tmp_path / "loop"
    loop.symlink_to(loop)
    cases = [
        (tmp_path / "absent", FileNotFoundError, errno.ENOENT),
        (plain / "inside", NotADirectoryError, errno.ENOTDIR),
        (tmp_path, IsADirectoryError, errno.EISDIR),
        (loop, OSError, errno.ELOOP),
        (tmp_path / ("x" * 300), OSError, errno.ENAMETOOLONG),
    ]
    if os.geteuid() != 0:
        locked = tmp_path / "locked.txt"
        locked.write_text("[JOBS=1]\n[PT=1]\n")
        locked.chmod(0)
        cases.append((locked, PermissionError, errno.EACCES))
    for path, kind, number in cases:
        with pytest.raises(kind) as raised:
            zurududo.load(path, "single")
        assert raised.value.errno == number and raised.value.filename == str(path)
        with pytest.raises(kind):
            zurududo.list_instances(path, "taillard")


def test_nul_bytes_in_a_file_are_shown(tmp_path):
    tagged = tmp_path / "nul.txt"
    tagged.write_bytes(b"[JO\0BS=3]\n[PT=1,2,3]\n")
    with pytest.raises(zurududo.Error, match="is not a text file: it holds a NUL byte at offset 3"):
        zurududo.load(tagged, "single")


def test_oversized_views_are_refused_before_they_are_copied():
    view = np.lib.stride_tricks.as_strided(np.zeros(1, np.int32), shape=(2**40,), strides=(0,))
    with pytest.raises(ValueError, match="pt has 1099511627776 entries; at most 2147483647"):
        zurududo.Instance("single", view)
    with pytest.raises(ValueError, match="sequence has 1099511627776 entries"):
        SINGLE.evaluate(view)
    rows = np.lib.stride_tricks.as_strided(np.zeros(1, np.int64), shape=(2, 2**40), strides=(0, 0))
    with pytest.raises(ValueError, match="row 0: the sequence has 1099511627776 entries; the instance needs 3"):
        SINGLE.evaluate_many(rows)
