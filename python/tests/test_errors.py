"""Every way a call can fail: a Python exception naming what is wrong, never the end
of the interpreter, and nothing on standard output unless the echo is asked for."""

import numpy as np
import pytest

import zurududo

FLOW = zurududo.Instance("flowshop", [[3, 2, 4], [2, 5, 1]])
JOB = zurududo.Instance("jobshop", [[3, 2], [4, 1]], rt=[[0, 1], [1, 0]])


def test_loading_failures(tmp_path, repository, capfd):
    with pytest.raises(FileNotFoundError) as missing:
        zurududo.load(tmp_path / "absent.txt", "single")
    assert missing.value.filename == str(tmp_path / "absent.txt")
    with pytest.raises(FileNotFoundError):
        zurududo.load(tmp_path / "absent.txt", "flowshop", layout="machine_rows")
    with pytest.raises(IsADirectoryError):
        zurududo.load(tmp_path, "single")
    rejected = repository / "examples" / "zurududo" / "rejected" / "test_single_machine.txt"
    with pytest.raises(zurududo.Error) as error:
        zurududo.load(rejected, "single")
    assert isinstance(error.value, ValueError)
    assert "ERROR" in error.value.report and "completed with 1 errors" in error.value.report
    assert str(error.value) == f"{rejected}:2: PT has 2 entries where JOBS is 3"
    assert (error.value.kind, error.value.code) == ("instance", 0)
    strict = tmp_path / "strict.txt"
    strict.write_text("[JOBS=2]\n[PT=1,\nx]")
    with pytest.raises(zurududo.Error) as error:
        zurududo.load(strict, "single")
    assert str(error.value) == f'{strict}:3: PT[1] is not an integer ("x")'
    assert "PT[1] in the file" in error.value.report
    assert zurududo.load(strict, "single", strict=False).pt.tolist() == [1, 0]
    # Not a byte of it on standard output, at the level of the descriptor either.
    assert capfd.readouterr() == ("", "")


def test_echo_goes_to_sys_stdout(repository, capsys):
    rejected = repository / "examples" / "zurududo" / "rejected" / "test_single_machine.txt"
    with pytest.raises(zurududo.Error) as error:
        zurududo.load(rejected, "single", echo=True)
    assert capsys.readouterr().out == error.value.report
    zurududo.load(repository / "examples" / "zurududo" / "test_single_machine.txt", "single", echo=True)
    assert capsys.readouterr().out.endswith("completed with 0 errors and 0 warnings.\n")


@pytest.mark.parametrize(
    "env, layout, message",
    [
        ("ring", "tagged", "unknown environment 'ring'"),
        ("single", "grid", "unknown layout 'grid'"),
        ("single", "machine_rows", "a flowshop, unrelated or openshop instance, not single"),
    ],
)
def test_load_arguments(repository, env, layout, message):
    with pytest.raises(ValueError, match=message):
        zurududo.load(repository / "examples" / "data" / "flow_shop_20x5.txt", env, layout)


@pytest.mark.parametrize(
    "args, kwargs, message",
    [
        (("ring", [1]), {}, "unknown environment"),
        (("single", [1.5, 2]), {}, r"pt\[0\] is not an integer"),
        (("flowshop", [[1.5, 2]]), {}, "pt must hold integers, not float64"),
        (("single", [1, -2]), {}, r"pt\[1\] is -2"),
        (("single", [[1, 2]]), {}, "one-dimensional"),
        (("flowshop", [1, 2]), {}, "two-dimensional"),
        (("single", []), {}, "at least one job"),
        (("single", [1, 2]), {"dd": [1]}, "due dates dd has 1 entries; the instance has 2 jobs"),
        (("single", [1, 2]), {"w": [1.0, float("nan")]}, r"w\[1\] is nan"),
        (("single", [1, 2]), {"w": [1.0, -1.0]}, r"w\[1\] is -1.0"),
        (("single", [1, 2]), {"r": [0, 2**40]}, r"r\[1\] is 1099511627776"),
        (("single", [1, 2]), {"v": [1]}, "speeds v belong to uniform machines"),
        (("single", [1, 2]), {"machines": 2}, "machines=2 but the single instance has 1"),
        (("identical", [1, 2]), {}, "needs machines="),
        (("identical", [1, 2]), {"machines": 0}, "between 1 and"),
        (("uniform", [1, 2]), {}, "needs the speeds v"),
        (("uniform", [1, 2]), {"v": [1, 0]}, r"v\[1\] is 0"),
        (("flowshop", [[1, 2]]), {"rt": [[0], [0]]}, "routing rt belongs to the job shop"),
        (("jobshop", [[1, 2]]), {}, "needs the routing rt"),
        (("jobshop", [[1, 2], [3, 4]]), {"rt": [[0, 1]]}, "the routing rt is 1 × 2"),
        (("jobshop", [[1, 2], [3, 4]]), {"rt": [[0, 1], [2, 0]]}, r"rt\[1\]\[0\] is 2"),
    ],
)
def test_instance_arguments(args, kwargs, message):
    with pytest.raises(ValueError, match=message):
        zurududo.Instance(*args, **kwargs)


@pytest.mark.parametrize(
    "inst, seq, message",
    [
        (FLOW, [0, 0, 1], "not a permutation: job 0 appears twice"),
        (FLOW, [0, 1], "has 2 entries; the instance needs 3"),
        (FLOW, [0, 1, 3], "entry 2 of the sequence is job 3"),
        (FLOW, [0, 1, -1], "entry 2 of the sequence is job -1"),
        (FLOW, [0, 1, 2**40], "sequence\\[2\\] is 1099511627776"),
        (FLOW, np.array([0, 1, 2**40]), "sequence\\[2\\] is 1099511627776"),
        (FLOW, [0, 1, 2.0], r"sequence\[2\] is not an integer \(float\)"),
        (FLOW, [0, True, 2], r"sequence\[1\] is not an integer \(bool\)"),
        (FLOW, np.array([0.0, 1.0, 2.0]), "must hold integers, not float64"),
        (FLOW, np.array([True, False, True]), "must hold integers, not bool"),
        (FLOW, np.array([[0, 1, 2]]), "one-dimensional"),
        (JOB, [0, 1, 0, 0], "names job 0 more than 2 times"),
        (JOB, [0, 1, 0], "operation sequence has 3 entries; the instance needs 4"),
    ],
)
def test_bad_sequences_are_refused_by_every_evaluator(inst, seq, message, tmp_path):
    calls = [
        lambda: inst.evaluate(seq),
        lambda: inst.objectives(seq),
        lambda: inst.completion_times(seq),
        lambda: inst.schedule(seq),
        lambda: inst.write_schedule(seq, tmp_path / "never.sched"),
    ]
    for call in calls:
        with pytest.raises(ValueError, match=message):
            call()
    assert not (tmp_path / "never.sched").exists()


def test_objectives_and_environment_mismatches(tmp_path):
    with pytest.raises(ValueError, match="unknown objective 'Makespan' \\(known: Cmax, Emax"):
        FLOW.evaluate([0, 1, 2], "Makespan")
    with pytest.raises(ValueError, match="Tmax needs due dates and the instance has none"):
        FLOW.evaluate([0, 1, 2], "Tmax")
    assert FLOW.objectives([0, 1, 2])["Wj_SumTj"] is None
    with pytest.raises(ValueError, match="no objective is evaluated on an open shop"):
        zurududo.Instance("openshop", [[1, 2]]).evaluate([0, 1])
    with pytest.raises(ValueError, match="insertion makespans are computed for the flow shop"):
        JOB.insertion_makespans([0], 1)
    with pytest.raises(ValueError, match="appears twice"):
        FLOW.insertion_makespans([0, 1], 1)
    with pytest.raises(ValueError, match="the job to insert, 3, is not a job"):
        FLOW.insertion_makespans([0, 1], 3)
    with pytest.raises(TypeError, match="job to insert must be an integer, not float"):
        FLOW.insertion_makespans([0, 1], 2.0)
    with pytest.raises(FileNotFoundError):
        FLOW.write_schedule([0, 1, 2], tmp_path / "no such directory" / "file.sched")


@pytest.mark.parametrize(
    "seqs, kwargs, message",
    [
        ([[0, 1, 2], [0, 2, 2]], {}, "row 1: the sequence is not a permutation"),
        ([[0, 1, 2], [0, 2, 2**40]], {}, r"sequences\[1\]\[2\] is beyond the range of job indices"),
        (np.array([[0, 1, 2]] * 50 + [[0, 1]] * 0 + [[2, 1, 9]]), {"threads": 2}, "row 50: entry 2"),
        ([[0, 1]], {}, "row 0: the sequence has 2 entries"),
        ([0, 1, 2], {}, "two-dimensional array of integers, one sequence a row"),
        (np.zeros((2, 3)), {}, "must hold integers, not float64"),
        ([[0, 1, 2]], {"objective": "Cmin"}, "unknown objective 'Cmin'"),
        ([[0, 1, 2]], {"threads": -1}, "number of threads is -1"),
        ([[0, 1, 2]], {"objective": "Lmax"}, "Lmax needs due dates and the instance has none"),
    ],
)
def test_evaluate_many_refusals(seqs, kwargs, message):
    with pytest.raises(ValueError, match=message):
        FLOW.evaluate_many(seqs, **kwargs)
