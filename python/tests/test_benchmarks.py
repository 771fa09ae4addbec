"""Benchmark files and the named instances, and the reference heuristics run on them."""

import pickle

import numpy as np
import pytest

import zurududo

RULE = " +++++++++++++++++++++++++++++\n"


def classic_file(names):
    text = " Two job shops of the catalogue.\n"
    for name in names:
        inst = zurududo.benchmark(name)
        rows = [" ".join(f"{m} {inst.pt[m][j]}" for m in inst.rt[j]) for j in range(inst.jobs)]
        text += f"{RULE} instance {name}\n{RULE} {name} again\n {inst.jobs} {inst.machines}\n" + "\n".join(rows) + "\n"
    return text + RULE


def taillard_file(names):
    text = ""
    for seed, name in enumerate(names, start=11):
        inst, entry = zurududo.benchmark(name), zurududo.benchmarks("taillard-flowshop")[seed - 11]
        text += "number of jobs, number of machines, initial seed, upper bound and lower bound :\n"
        text += f" {inst.jobs} {inst.machines} {seed} {entry.best_known} {entry.lower_bound}\nprocessing times :\n"
        text += "\n".join(" ".join(map(str, row)) for row in inst.pt) + "\n"
    return text


@pytest.mark.parametrize(
    "layout, names, write",
    [("classic", ["ft06", "la01"], classic_file), ("taillard", ["ta001", "ta002"], taillard_file)],
)
def test_benchmark_layout_round_trip_with_instance_choice(tmp_path, layout, names, write):
    path = tmp_path / "set.txt"
    path.write_text(write(names))
    listed = zurududo.list_instances(path, layout)
    assert [(e["jobs"], e["machines"]) for e in listed] == [
        (zurududo.benchmark(n).jobs, zurududo.benchmark(n).machines) for n in names
    ]
    if layout == "classic":
        assert [e["name"] for e in listed] == names
    else:
        assert [(e["name"], e["upper_bound"]) for e in listed] == [("11", 1278), ("12", 1359)]
    for position, name in enumerate(names):
        expected = zurududo.benchmark(name)
        for choice in (position, listed[position]["name"]):
            inst = zurududo.load(path, layout=layout, instance=choice)  # the environment is the layout's
            assert inst.env == expected.env
            for field in ("pt", "rt", "r", "w"):
                np.testing.assert_array_equal(getattr(inst, field), getattr(expected, field))
    with pytest.raises(ValueError, match="2"):  # several instances: one must be chosen
        zurududo.load(path, layout=layout)
    with pytest.raises(ValueError):
        zurududo.load(path, layout=layout, instance=5)
    with pytest.raises(ValueError, match="holds one instance"):
        zurududo.load(path, "flowshop", "mrows", instance=0)


def test_catalogue():
    entries = zurududo.benchmarks()
    by_name = {e.name: e for e in entries}
    assert len(by_name) == len(entries) and {"ta001", "ta01", "ft06", "wt40_001"} <= set(by_name)
    ft06 = by_name["ft06"]
    assert (ft06.env, ft06.objective, ft06.jobs, ft06.machines, ft06.best_known, ft06.optimal) == (
        "jobshop", "Cmax", 6, 6, 55, True)
    assert by_name["ta001"].neh_makespan == 1286 and by_name["wt40_001"].objective == "Wj_SumTj"
    assert all(e.set == "wt40" for e in zurududo.benchmarks("wt40"))
    inst = zurududo.benchmark("wt40_001")
    assert (inst.env, inst.jobs, inst.dd is not None) == ("single", 40, True)
    with pytest.raises(ValueError, match=r"no benchmark instance is named 'ta0001' \(did you mean ta001\?\)"):
        zurududo.benchmark("ta0001")
    with pytest.raises(ValueError, match="no benchmark set"):
        zurududo.benchmarks("ta")


def test_load_resolves_files_then_benchmark_names(tmp_path, monkeypatch):
    for name in ("ta056", "TA056"):
        inst = zurududo.load(name)
        assert (inst.name, inst.env, inst.jobs, inst.machines) == ("ta056", "flowshop", 50, 20)
        np.testing.assert_array_equal(inst.pt, zurududo.benchmark("ta056").pt)
    assert repr(zurududo.load("wt40_001")) == "<zurududo.Instance wt40_001, single, 40 jobs, 1 machine>"
    copy = pickle.loads(pickle.dumps(zurududo.load("ft06")))
    assert copy.name == "ft06" and repr(copy) == repr(zurududo.benchmark("ft06"))
    with pytest.raises(FileNotFoundError, match=r"no file or benchmark named 'ta0566' \(did you mean ta056\?\)"):
        zurududo.load("ta0566")
    with pytest.raises(ValueError, match="ft06 is a jobshop instance, not a flowshop"):
        zurududo.load("ft06", "flowshop")
    # A file of that name comes first.
    monkeypatch.chdir(tmp_path)
    (tmp_path / "ft06").write_text("[JOBS=2]\n[PT=3,4]\n")
    mine = zurududo.load("ft06")
    assert (mine.name, mine.env, mine.jobs) == (None, "single", 2)


@pytest.mark.parametrize(
    "name, objective, algorithm",
    [
        ("ta001", "Cmax", None),
        ("ta001", "Cmax", "neh"),
        ("ta001", "Wj_SumCj", "generic"),
        ("ft06", "Cmax", None),
        ("ft06", "SumCj", "mwkr"),
        ("ft06", "Cmax", "generic"),
        ("wt40_001", "Wj_SumTj", None),
        ("wt40_001", "SumTj", "atc"),
    ],
)
def test_solve_reports_what_the_evaluator_gives_and_repeats_with_a_seed(name, objective, algorithm):
    inst = zurududo.benchmark(name)
    seen = []
    result = zurududo.solve(inst, objective, algorithm, iterations=30, seed=5, on_improvement=seen.append)
    assert result.value == inst.evaluate(result.sequence, objective) and type(result.value) is type(
        inst.evaluate(result.sequence, objective))
    assert result.sequence.dtype == np.int32 and result.objective == objective
    entry = next(e for e in zurududo.benchmarks() if e.name == name)
    if objective == entry.objective:
        assert result.value >= entry.best_known
    if seen:  # the searches report their improvements, the last one the result
        assert [s.value for s in seen] == sorted((s.value for s in seen), reverse=True)
        assert seen[-1].value == result.value and list(seen[-1].sequence) == list(result.sequence)
    again = zurududo.solve(inst, objective, algorithm, iterations=30, seed=5)
    assert again.value == result.value and again.sequence.tolist() == result.sequence.tolist()


def test_solve_refusals_and_a_failing_callback():
    flow = zurududo.benchmark("ta001")
    for kwargs, message in [
        (dict(objective="SumTj"), "SumTj needs due dates"),
        (dict(algorithm="neh", objective="SumCj"), "method neh does not apply: it minimises Cmax, not SumCj"),
        (dict(algorithm="lpt"), "it solves identical and jobshop instances, not flowshop ones; .* neh, ig, generic"),
        (dict(algorithm="ig"), None),
        (dict(algorithm="igg"), r"unknown method 'igg' \(did you mean ig\?\)"),
        (dict(algorithm="ig", params={"dd": 3}), r"unknown parameter 'dd' of ig \(did you mean d\?\)"),
        (dict(algorithm="ig", params={"d": 0}), "parameter d of ig is a whole number from 1 to 100000, not '0'"),
        (dict(stop_at_best=True, objective="SumCj", algorithm="generic"), "the best known value of ta001 is of Cmax"),
        (dict(iterations=0), "iterations"),
        (dict(time_limit=-1), "time_limit"),
    ]:
        if message is None:
            zurududo.solve(flow, iterations=1, **kwargs)
            continue
        with pytest.raises(ValueError, match=message):
            zurududo.solve(flow, **kwargs)

    def stop(improvement):
        raise KeyboardInterrupt(improvement.iteration)

    with pytest.raises(KeyboardInterrupt):
        zurududo.solve(flow, iterations=50, on_improvement=stop)
