#!/usr/bin/env python3
"""Tables for docs/performance.md from a schedule_bench JSON report.

    schedule_perf --benchmark_repetitions=20 --benchmark_display_aggregates_only=true \
        --benchmark_out=bench.json --benchmark_out_format=json
    python3 perf/ratios.py bench.json

Uses the fastest of the repetitions kept in the report (the median when the
report holds aggregates only), in CPU time. On a machine whose speed drifts
while the benchmark runs, the fastest repetition is the least disturbed one
of each benchmark, so library and floor are compared at the same speed. An evaluator "X" is compared with its floor "floor/X"; a loader
with reading the same file's bytes through fgetc and with reading and parsing them (its floor); an insertion routine
"X_Insert_Cmax" with evaluating every insertion whole, "scratch/X_Insert_Cmax". Exits with status 1 when an
evaluator or a loader misses its target ratio.
"""
import json
import sys

# Largest allowed library/floor ratio, by evaluator name prefix.
TARGETS = {"S1_": 1.1, "Fm_": 1.1, "Pm_": 1.2, "Qm_": 1.2, "Rm_": 1.2, "Jm_": 1.2}
# Smallest speed-up per sequence of a batch entry point over a loop of
# one-at-a-time evaluations, for the flow shop.
BATCH_TARGET = 3.0
BYTES_YARDSTICK = "read_bytes/fgetc/500x20"
# The floor of a load, and the largest allowed load/floor ratio.
LOAD_FLOOR = "read_and_parse/500x20"
LOAD_TARGET = 3.0


def fastest(report):
    times = {}
    runs = {}
    for run in report["benchmarks"]:
        name = run.get("run_name", run["name"])
        if run.get("run_type") == "aggregate":
            if run.get("aggregate_name") == "median":
                runs.setdefault(name + "#median", run)
            continue
        ns = run["cpu_time"] * {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[run["time_unit"]]
        if name not in runs or ns < runs[name][0]:
            runs[name] = (ns, run)
    for key, value in runs.items():
        if key.endswith("#median"):
            name = key.removesuffix("#median")
            if name in runs:
                continue
            run = value
            ns = run["cpu_time"] * {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[run["time_unit"]]
        else:
            name = key
            ns, run = value
        times[name] = ns
        times[name + "#cells"] = run.get("per_cell")
        times[name + "#bytes"] = run.get("per_byte")
        for counter in ("per_unit", "per_job", "per_sequence", "peak_bytes", "instance_bytes"):
            if counter in run:
                times[name + "#" + counter] = run[counter]
    return times


FAMILIES = list(TARGETS) + ["read_bytes/", "read_and_parse/", "load_tag_content", "load_", "sortLVector"]
GROUPS = ("crossover/", "crossover0/", "batch/", "loop/", "scale/", "scale-in-order/", "memory/")
OBJECTIVES = ["Cmax", "Wj_SumTj", "Cj"]


def is_insertion(name):
    return "_Insert_" in name


def order(name):
    """Environments in a fixed order, then by size, then Cmax, Wj_SumTj, Cj."""
    if name.startswith(GROUPS):
        return (len(FAMILIES), 0, 0, name)
    base = name.removeprefix("floor-heap/").removeprefix("floor/").removeprefix("scratch/")
    family = next(i for i, prefix in enumerate(FAMILIES) if base.startswith(prefix))
    evaluator, _, size = base.rpartition("/")
    cells = 0
    if "x" in size:
        n, m = size.split("x")
        cells = int(n) * int(m)
    objective = next((i for i, o in enumerate(OBJECTIVES) if evaluator.endswith(o)), 0)
    return (family, cells, objective, base)


def show_ns(ns):
    if ns >= 1e6:
        return f"{ns / 1e6:.2f} ms"
    if ns >= 1e3:
        return f"{ns / 1e3:.2f} µs"
    return f"{ns:.0f} ns"


def main(path):
    with open(path) as f:
        report = json.load(f)
    times = fastest(report)
    names = sorted((n for n in times if "#" not in n), key=order)
    missed = []
    print("| evaluator | n×m | library per call | library per cell | floor per call | floor per cell "
          "| library/floor | target | holds |")
    print("|---|---|---:|---:|---:|---:|---:|---:|---|")
    for name in names:
        floor = "floor/" + name
        if floor not in times:
            continue
        # The earliest-free rule has two floors, the scan and the heap: the
        # faster one counts.
        heap = "floor-heap/" + name
        if heap in times and times[heap] < times[floor]:
            floor = heap
        evaluator, size = name.split("/")
        target = next(t for prefix, t in TARGETS.items() if evaluator.startswith(prefix))
        ratio = times[name] / times[floor]
        holds = ratio <= target
        if not holds:
            missed.append(name)
        print(f"| `{evaluator}` | {size} | {show_ns(times[name])} | {times[name + '#cells'] * 1e9:.2f} ns "
              f"| {show_ns(times[floor])}{' (heap)' if floor.startswith('floor-heap/') else ''} "
              f"| {times[floor + '#cells'] * 1e9:.2f} ns | {ratio:.2f} "
              f"| ≤ {target} | {'yes' if holds else 'NO'} |")
    print()
    print("| input routine | per call | per byte | × reading the bytes (fgetc) | × reading and parsing them "
          "| target | holds |")
    print("|---|---:|---:|---:|---:|---:|---|")
    for name in names:
        if times[name + "#cells"] is not None or is_insertion(name) or name.startswith(GROUPS):
            continue  # an evaluator, a floor, an insertion or another table's
        per_byte = times.get(name + "#bytes")
        if per_byte is not None and BYTES_YARDSTICK in times:
            row = (f"| `{name}` | {show_ns(times[name])} | {per_byte * 1e9:.2f} ns "
                   f"| {times[name] / times[BYTES_YARDSTICK]:.2f} |")
            if LOAD_FLOOR in times:
                ratio = times[name] / times[LOAD_FLOOR]
                row += f" {ratio:.2f} |"
                if name.startswith("load_") and name != "load_tag_content/500x20":
                    holds = ratio <= LOAD_TARGET
                    if not holds:
                        missed.append(name)
                    row += f" ≤ {LOAD_TARGET} | {'yes' if holds else 'NO'} |"
                else:
                    row += " | |"
            print(row)
        else:
            print(f"| `{name}` | {show_ns(times[name])} | | | | | |")
    insertions = [n for n in names if is_insertion(n) and "scratch/" + n in times]
    if insertions:
        print()
        print("| insertion routine | n×m | all n positions | evaluating each whole | speed-up |")
        print("|---|---|---:|---:|---:|")
        for name in insertions:
            routine, size = name.split("/")
            scratch = times["scratch/" + name]
            print(f"| `{routine}` | {size} | {show_ns(times[name])} | {show_ns(scratch)} "
                  f"| {scratch / times[name]:.1f} × |")
    missed += more_tables(times, names)
    if missed:
        print("\nmissed the target: " + ", ".join(missed), file=sys.stderr)
        return 1
    return 0


def more_tables(times, names):
    """The crossover, batch, scaling and memory tables; returns what missed."""
    missed = []
    for group, releases in (("crossover/", "with release dates"), ("crossover0/", "without release dates")):
        crossover = [n for n in names if n.startswith(group)]
        if not crossover:
            continue
        kinds = ["scan", "tournament", "floor-scan", "floor-heap"]
        machines = sorted({int(n.rsplit("/", 1)[1]) for n in crossover})
        print()
        print(f"| m ({releases}) | " + " | ".join(kinds) + " | library's choice |")
        print("|---:|" + "---:|" * len(kinds) + "---|")
        for m in machines:
            cells = []
            for kind in kinds:
                per_job = times.get(f"{group}{kind}/{m}#per_job")
                cells.append(f"{per_job * 1e9:.1f} ns" if per_job is not None else "")
            print(f"| {m} | " + " | ".join(cells) + f" | {'tournament' if m >= 8 else 'scan'} |")
    batches = [n for n in names if n.startswith("batch/") and "loop/" + n.removeprefix("batch/") in times]
    if batches:
        print()
        print("| batch entry point | n×m | per sequence, batch | per sequence, loop | speed-up |")
        print("|---|---|---:|---:|---:|")
        for name in batches:
            routine, size = name.removeprefix("batch/").split("/")
            batch = times[name + "#per_sequence"]
            loop = times["loop/" + name.removeprefix("batch/") + "#per_sequence"]
            speedup = loop / batch
            mark = ""
            if routine.startswith("Fm_"):
                mark = " (target ≥ 3)" if speedup >= BATCH_TARGET else " (target ≥ 3: NO)"
                if speedup < BATCH_TARGET:
                    missed.append(name)
            print(f"| `{routine}_many` | {size} | {show_ns(batch * 1e9)} | {show_ns(loop * 1e9)} "
                  f"| {speedup:.1f} ×{mark} |")
    scale = [n for n in names if n.startswith(("scale/", "scale-in-order/"))]
    if scale:
        table = {}
        for name in scale:
            group, evaluator, size = name.split("/")
            n, m = (int(x) for x in size.split("x"))
            order = "in order" if group == "scale-in-order" else "random"
            table.setdefault((evaluator, m, order), {})[n] = times[name + "#per_unit"]
        ns = sorted({n for row in table.values() for n in row})
        print()
        print("| evaluator | m | sequences | unit | " + " | ".join(f"n = {n:,}".replace(",", " ") for n in ns) + " |")
        print("|---|---:|---|---|" + "---:|" * len(ns))
        units = {"S1_": "job", "Pm_": "job", "Qm_": "job", "Rm_": "job·machine", "Fm_": "job·machine",
                 "Jm_": "operation"}
        environments = list(units)
        ordered = sorted(table.items(), key=lambda item: (
            next(i for i, p in enumerate(environments) if item[0][0].startswith(p)), item[0][2] != "random", item[0][1]))
        for (evaluator, m, order), row in ordered:
            unit = next(u for p, u in units.items() if evaluator.startswith(p))
            cells = [f"{row[n] * 1e9:.2f} ns" if n in row else "" for n in ns]
            print(f"| `{evaluator}` | {m} | {order} | {unit} | " + " | ".join(cells) + " |")
    memory = [n for n in names if n.startswith("memory/")]
    if memory:
        print()
        print("| evaluation | n×m | instance | peak allocated beyond it | per job |")
        print("|---|---|---:|---:|---:|")
        for name in memory:
            _, evaluator, size = name.split("/")
            n = int(size.split("x")[0])
            peak = times[name + "#peak_bytes"]
            print(f"| `{evaluator}` | {size} | {times[name + '#instance_bytes'] / 1e6:.1f} MB "
                  f"| {peak / 1e6:.2f} MB | {peak / n:.1f} B |")
    return missed


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))
