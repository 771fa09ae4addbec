#!/usr/bin/env python3
"""The Python package against the same work in C++, in NumPy and in pure Python.

    python3 perf/python_bench.py [BUILD_DIR] [--repetitions R] [--sequences N]

Uses BUILD_DIR/python (the package) and BUILD_DIR/perf/python_baseline (the C++
side, Google Benchmark). Every figure is the fastest of R repetitions. Prints a
Markdown table for docs/performance.md; exits 1 when evaluate_many on one thread is
more than 1.2 times the C++ loop.
"""

import argparse
import json
import pathlib
import subprocess
import sys
import tempfile
import time

import numpy as np


def fastest(work, repetitions, inner=1):
    best = float("inf")
    for _ in range(repetitions):
        start = time.perf_counter()
        for _ in range(inner):
            work()
        best = min(best, (time.perf_counter() - start) / inner)
    return best


def numpy_makespans(pt, seqs):
    """The flow-shop recurrence vectorised across sequences, as a NumPy user writes it."""
    count, jobs = seqs.shape
    machines = pt.shape[0]
    free = np.zeros((count, machines), dtype=np.int64)
    for k in range(jobs):
        times = pt[:, seqs[:, k]].T  # count × machines
        free[:, 0] += times[:, 0]
        for i in range(1, machines):
            np.maximum(free[:, i], free[:, i - 1], out=free[:, i])
            free[:, i] += times[:, i]
    return free[:, -1]


def python_makespan(pt, seq):
    free = [0] * len(pt)
    for j in seq:
        t = 0
        for i, row in enumerate(pt):
            t = max(t, free[i]) + row[j]
            free[i] = t
    return free[-1]


def tagged(pt):
    rows = ";".join(",".join(str(x) for x in row) for row in pt)
    return f"[JOBS={pt.shape[1]}][MACHINES={pt.shape[0]}][PT={rows}]"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build", nargs="?", default="build")
    parser.add_argument("--repetitions", type=int, default=15)
    parser.add_argument("--sequences", type=int, default=10_000)
    args = parser.parse_args()
    build = pathlib.Path(args.build).resolve()
    sys.path.insert(0, str(build / "python"))
    import zurududo

    rng = np.random.default_rng(19)
    small_pt = rng.integers(1, 100, size=(5, 20))
    large_pt = rng.integers(1, 100, size=(20, 50))
    seqs = rng.permuted(np.tile(np.arange(50, dtype=np.int32), (args.sequences, 1)), axis=1)
    small = zurududo.Instance("flowshop", small_pt)
    large = zurududo.Instance("flowshop", large_pt)
    seq20 = list(range(19, -1, -1))
    seq20_array = np.array(seq20, dtype=np.int32)
    reps = args.repetitions

    with tempfile.TemporaryDirectory() as scratch:
        scratch = pathlib.Path(scratch)
        (scratch / "small.txt").write_text(tagged(small_pt))
        (scratch / "large.txt").write_text(tagged(large_pt))
        seqs.tofile(scratch / "seqs.bin")
        report = subprocess.run(
            [str(build / "perf" / "python_baseline"), str(scratch / "small.txt"), str(scratch / "large.txt"),
             str(scratch / "seqs.bin"), str(args.sequences), f"--benchmark_repetitions={reps}",
             "--benchmark_format=json", "--benchmark_min_time=0.2"],
            check=True, capture_output=True, text=True).stdout
    cpp = {}
    for run in json.loads(report)["benchmarks"]:
        if run.get("run_type") == "iteration":
            seconds = run["real_time"] * {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[run["time_unit"]]
            cpp[run["name"]] = min(cpp.get(run["name"], float("inf")), seconds)

    expected = large.evaluate_many(seqs, threads=1)
    assert np.array_equal(numpy_makespans(large_pt, seqs), expected)
    subset = seqs[:200].tolist()
    pt_lists = large_pt.tolist()
    assert [python_makespan(pt_lists, s) for s in subset] == expected[:200].tolist()

    calls = 20_000
    rows = [
        ("one call, 20 × 5", "C++ `Fm_Prmu_Rj_Cmax`", cpp["call/Fm_Prmu_Rj_Cmax/20x5"]),
        ("one call, 20 × 5", "C++ checked `schedule::evaluate`", cpp["call/checked_evaluate/20x5"]),
        ("one call, 20 × 5", "Python `inst.evaluate(list)`", fastest(lambda: small.evaluate(seq20), reps, calls)),
        ("one call, 20 × 5", "Python `inst.evaluate(int32 array)`", fastest(lambda: small.evaluate(seq20_array), reps, calls)),
    ]
    per_sequence = [
        ("C++ loop, `Fm_Prmu_Rj_Cmax`, 1 thread", cpp["loop/Fm_Prmu_Rj_Cmax/50x20"]),
        ("C++ loop, checked `schedule::evaluate`, 1 thread", cpp["loop/checked_evaluate/50x20"]),
        ("C++ batch `Fm_Prmu_Rj_Cmax_many` (unchecked), 1 thread", cpp["batch/Fm_Prmu_Rj_Cmax_many/50x20"]),
        ("Python `evaluate_many`, 1 thread", fastest(lambda: large.evaluate_many(seqs, threads=1), reps)),
        ("Python `evaluate_many`, 2 threads", fastest(lambda: large.evaluate_many(seqs, threads=2), reps)),
        ("Python `evaluate_many`, int64 rows, 1 thread",
         fastest(lambda: large.evaluate_many(seqs.astype(np.int64), threads=1), reps)),
        ("NumPy vectorised recurrence", fastest(lambda: numpy_makespans(large_pt, seqs), max(3, reps // 5))),
        ("pure Python (200 sequences, scaled)",
         fastest(lambda: [python_makespan(pt_lists, s) for s in subset], 3) * args.sequences / len(subset)),
    ]

    print("| work | how | time per call |")
    print("|---|---|---:|")
    for work, how, seconds in rows:
        print(f"| {work} | {how} | {seconds * 1e9:.0f} ns |")
    base = per_sequence[0][1]
    print()
    print(f"| {args.sequences} sequences of a 50 × 20 flow shop, Cmax | total | per sequence | per cell | × C++ loop |")
    print("|---|---:|---:|---:|---:|")
    for how, seconds in per_sequence:
        per = seconds / args.sequences
        print(f"| {how} | {seconds * 1e3:.2f} ms | {per * 1e6:.2f} µs | {per / 1000 * 1e9:.2f} ns | {seconds / base:.2f} |")
    one, two = per_sequence[3][1], per_sequence[4][1]
    print()
    print(f"evaluate_many, 1 thread / C++ loop: {one / base:.2f} (target ≤ 1.2); speed-up on 2 threads: {one / two:.2f}")
    return 0 if one / base <= 1.2 else 1


if __name__ == "__main__":
    sys.exit(main())
