"""The three front doors of the table of methods — C++ (solvers::solve, through a small
program), sched and Python — walked row by row: on a small instance of each environment a
row lists, the same name, seed and iteration budget give the same method, objective, value
and sequence through each of them."""

import json
import os
import subprocess

import pytest

import zurududo

SCHED = os.environ.get("ZURUDUDO_SCHED")
PROBE = os.environ.get("ZURUDUDO_SOLVE_PROBE")
RUNNER = os.environ.get("ZURUDUDO_EXPERIMENT")

pytestmark = pytest.mark.skipif(not (SCHED and PROBE), reason="sched and solve_probe are built with the tools")

# The programs run without what the interpreter was given to preload (the
# sanitizers' runtime, which a program built with them has already).
ENVIRONMENT = {name: value for name, value in os.environ.items() if name != "LD_PRELOAD"}


def run(args, check=False):
    return subprocess.run([str(a) for a in args], capture_output=True, text=True, check=check, env=ENVIRONMENT)

# A small instance of each environment: a benchmark name, or a tagged file and its environment.
FILES = {
    "identical": "[JOBS=7]\n[MACHINES=3]\n[PT=3,2,4,6,1,5,2]\n[DD=5,6,7,20,3,9,9]\n",
    "uniform": "[JOBS=7]\n[MACHINES=3]\n[V=1,2,3]\n[PT=4,2,4,6,1,5,2]\n",
    "unrelated": "[JOBS=6]\n[MACHINES=2]\n[PT=3,2,4,6,1,5;4,1,3,2,6,2]\n[DD=5,6,7,20,3,9]\n",
}
NAMES = {"flowshop": "ta001", "single": "wt40_001", "jobshop": "ft06"}


def instance_argument(environment, tmp_path):
    """What each door is given: a name, or a file with its environment."""
    if environment in NAMES:
        return NAMES[environment], None
    path = tmp_path / f"{environment}.txt"
    path.write_text(FILES[environment])
    return str(path), environment


def through_cpp(instance, env, method, params):
    args = [PROBE, instance, "--iterations", "20", "--seed", "7"]
    args += ["-e", env] if env else []
    args += ["-a", method] if method else []
    for name, value in params.items():
        args += ["-p", f"{name}={value}"]
    out = run(args, check=True).stdout.split()
    return out[0], out[1], float(out[2]), [int(j) for j in out[3].split(",")]


def through_sched(instance, env, method, params):
    args = [SCHED, "solve", "-f", "json", "--iterations", "20", "--seed", "7", instance]
    args += ["-e", env] if env else []
    args += ["-a", method] if method else []
    for name, value in params.items():
        args += ["-p", f"{name}={value}"]
    done = run(args)
    assert done.returncode == 0, done.stderr
    out = json.loads(done.stdout)
    return out["algorithm"], out["objective"], out["value"], out["sequence"]


def through_python(instance, env, method, params):
    inst = zurududo.load(instance, env)
    result = zurududo.solve(inst, algorithm=method, iterations=20, seed=7, params=params or None)
    return result.algorithm, result.objective, result.value, result.sequence.tolist()


def rows():
    for method in zurududo.methods():
        for environment in method.environments:
            yield pytest.param(method.name, environment, {}, id=f"{method.name}-{environment}")
    # The default method of each environment, aliases, and parameters set through each door.
    for environment in ("flowshop", "single", "jobshop", "identical", "uniform", "unrelated"):
        yield pytest.param(None, environment, {}, id=f"default-{environment}")
    yield pytest.param("iterated_greedy", "flowshop", {"d": 4, "T": 0.4}, id="ig-parameters")
    yield pytest.param("tabu_search", "jobshop", {"tenure": 7, "stagnation": 50}, id="ts-parameters")
    yield pytest.param("generic", "uniform", {"d": 2, "local_search": False}, id="generic-parameters")
    yield pytest.param("atc", "single", {"k": 2.5}, id="atc-parameters")


@pytest.mark.parametrize("method, environment, params", rows())
def test_every_row_the_same_through_every_door(method, environment, params, tmp_path):
    instance, env = instance_argument(environment, tmp_path)
    cpp = through_cpp(instance, env, method, params)
    sched = through_sched(instance, env, method, params)
    python = through_python(instance, env, method, params)
    assert sched[:2] == cpp[:2] == python[:2]
    assert sched[3] == cpp[3] == python[3]
    assert float(sched[2]) == cpp[2] == float(python[2])
    # The evaluator's own type: int for the unweighted objectives, float for the weighted.
    assert type(sched[2]) is type(python[2]) is (float if python[1].startswith("Wj_") else int)
    if method is not None:
        assert zurududo.methods()[[m.name for m in zurududo.methods()].index(python[0])].name == python[0]


def test_unknown_and_unfit_names_are_said_alike(tmp_path):
    for method, message in [
        ("igg", "unknown method 'igg' (did you mean ig?)"),
        ("ts", "method ts does not apply: it solves jobshop instances, not flowshop ones; "
               "for Cmax on this flowshop instance: neh, ig, generic"),
    ]:
        done = run([SCHED, "solve", "ta001", "-a", method])
        assert (done.returncode, done.stderr) == (2, f"sched: {message}\n")
        probe = run([PROBE, "ta001", "-a", method])
        assert (probe.returncode, probe.stderr) == (2, f"solve_probe: {message}\n")
        with pytest.raises(ValueError) as error:
            zurududo.solve(zurududo.load("ta001"), algorithm=method)
        assert str(error.value) == message


def test_the_table_is_the_same_in_every_door(repository):
    printed = run([SCHED, "list", "--methods"], check=True).stdout
    names = [line.split()[0].rstrip(",") for line in printed.splitlines()[1:] if not line.startswith(" ")]
    assert names == [m.name for m in zurududo.methods()]
    # The heuristics guide shows the table as sched prints it.
    guide = (repository / "docs" / "heuristics.md").read_text()
    assert printed in guide


@pytest.mark.parametrize("name, dates", [("ft06", False), ("wt40_001", True), ("ta056", False)])
def test_the_same_chart_through_sched_and_python(name, dates, tmp_path):
    inst = zurududo.load(name)
    sequence = zurududo.solve(inst, iterations=10).sequence
    svg = zurududo.gantt(inst, sequence, tmp_path / "python.svg", dates=dates, title=name)
    assert (tmp_path / "python.svg").read_text() == svg
    assert svg.startswith("<?xml") and svg.endswith("</svg>\n")
    seq = ",".join(map(str, sequence))
    run([SCHED, "schedule", "-O", tmp_path / "s.sched", "--seq", seq, name], check=True)
    args = [SCHED, "gantt", "--title", name, "-O", str(tmp_path / "sched.svg"), str(tmp_path / "s.sched")]
    run(args + (["--dates", name] if dates else []), check=True)
    assert (tmp_path / "sched.svg").read_text() == svg
    jobs = f"{inst.jobs} jobs, {inst.machines} machine{'s' if inst.machines > 1 else ''}"
    assert f">{jobs}; Cmax = {inst.evaluate(sequence)}</text>" in svg
    with pytest.raises(ValueError, match="appears twice|more than"):
        zurududo.gantt(inst, [0] * len(sequence))


def test_the_runner_and_bench_take_the_same_names_options_and_values(tmp_path):
    """The experiment runner beside sched bench and Python: the same method, parameters and
    budget give the same value; its unknown names and former --seconds are said alike."""
    if not RUNNER:
        pytest.skip("the runner is built with the tools")
    csv = tmp_path / "runner.csv"
    run([RUNNER, "-a", "iterated_greedy", "--param", "d=4", "--iterations", "20", "--seed", "7", "--csv", csv, "ta001"],
        check=True)
    row = csv.read_text().splitlines()[1].split(",")
    bench = run([SCHED, "bench", "ta001", "-a", "ig", "-p", "d=4", "--iterations", "20", "--seed", "7", "-f", "csv"],
                check=True).stdout.splitlines()[1].split(",")
    python = zurududo.solve(zurududo.load("ta001"), algorithm="ig", params={"d": 4}, iterations=20, seed=7)
    assert row[2] == bench[2] == python.algorithm == "ig"
    assert float(row[6]) == float(bench[6]) == python.value
    for args, message in [
        (["-a", "igg", "ta001"], "zurududo-experiment: unknown method 'igg' (did you mean ig?)"),
        (["-a", "ig", "--param", "dd=3", "ta001"], "zurududo-experiment: unknown parameter 'dd' of ig (did you mean d?)"),
        (["-a", "ig", "ta0566"], "zurududo-experiment: no set or instance named ta0566 (did you mean ta056?)"),
        (["-a", "ts", "ta001"], "zurududo-experiment: ta001: method ts does not apply: it solves jobshop"),
    ]:
        done = run([RUNNER] + args)
        assert done.returncode == 2 and done.stderr.startswith(message), done.stderr
    stopped = run([RUNNER, "-a", "ts", "--seconds", "30", "--stop-at-best", "ft06"], check=True)
    assert "--seconds is deprecated; the time limit is --time-limit" in stopped.stderr
    assert " 55 " in stopped.stdout.splitlines()[1]


def test_a_resumed_grid_is_summarised_whole_by_the_runner_and_bench(tmp_path):
    """Run again into its CSV file with one instance more, each program makes only the new run
    and summarises the whole grid, the runs found in the file included."""
    if not RUNNER:
        pytest.skip("the runner is built with the tools")
    summaries = []
    for program, args in [(RUNNER, ["-a", "neh", "--csv"]), (SCHED, ["bench", "-a", "neh", "--csv"])]:
        csv = tmp_path / f"{os.path.basename(program)}.csv"
        run([program, *args, csv, "ta001", "ta002"], check=True)
        done = run([program, *args, csv, "ta001", "ta002", "ta003"], check=True)
        assert len(csv.read_text().splitlines()) == 4
        summaries.append([line.replace("|", " ").split()[:3] for line in done.stdout.splitlines()
                          if line.replace("|", " ").split()[:1] in (["20x5"], ["all"])])
    assert summaries[0] == summaries[1] == [["20x5", "3", "2.761"], ["all", "3", "2.761"]]
