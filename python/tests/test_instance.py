"""Instances: their data as arrays, copies that cannot be written through, and pickling."""

import pickle

import numpy as np
import pytest

import zurududo

ENVIRONMENTS = {
    "single": dict(pt=[3, 2, 4]),
    "identical": dict(pt=[3, 2, 4], machines=2),
    "uniform": dict(pt=[3, 2, 4], v=[1, 3]),
    "unrelated": dict(pt=[[3, 2, 4], [1, 6, 2]]),
    "flowshop": dict(pt=[[3, 2, 4], [1, 6, 2]]),
    "openshop": dict(pt=[[3, 2, 4], [1, 6, 2]]),
    "jobshop": dict(pt=[[3, 2, 4], [1, 6, 2]], rt=[[0, 1], [1, 0], [1, 0]]),
}


@pytest.mark.parametrize("env", zurududo.ENVIRONMENTS)
def test_data_round_trips_and_pickles(env):
    args = dict(ENVIRONMENTS[env], dd=np.array([4, 6, 12], dtype=np.uint8), w=[1, 2, 0.1], r=(0, 5, 1))
    inst = zurududo.Instance(env, **args)
    assert (inst.env, inst.jobs) == (env, 3)
    assert inst.machines == {"single": 1, "identical": 2}.get(env, 2)
    assert inst.pt.tolist() == args["pt"] and inst.pt.dtype == np.int32
    assert inst.dd.tolist() == [4, 6, 12] and inst.dd.dtype == np.int64
    assert inst.w.tolist() == [1.0, 2.0, 0.1] and inst.r.tolist() == [0, 5, 1]
    assert (inst.v is None) == (env != "uniform") and (inst.rt is None) == (env != "jobshop")
    with pytest.raises(ValueError, match="read-only"):
        inst.pt[0] = 9
    copy = pickle.loads(pickle.dumps(inst))
    assert repr(copy) == repr(inst)
    for name in ("pt", "dd", "w", "r", "v", "rt"):
        np.testing.assert_array_equal(getattr(copy, name), getattr(inst, name))
    if env != "openshop":
        seq = [0, 1, 2] * (2 if env == "jobshop" else 1)
        assert copy.objectives(seq) == inst.objectives(seq)


def test_defaults_and_array_types():
    inst = zurududo.Instance("flowshop", np.array([[3, 2], [1, 6]], dtype=np.int64).T)  # any strides
    assert inst.pt.tolist() == [[3, 1], [2, 6]]
    assert inst.dd is None and inst.w.tolist() == [1.0, 1.0] and inst.r.tolist() == [0, 0]
    for seq in ([1, 0], (1, 0), np.array([1, 0], dtype=np.uint16), range(1, -1, -1), [np.int64(1), np.int8(0)]):
        assert inst.evaluate(seq) == 9
    assert inst.insertion_makespans([], 1).tolist() == [7]


def test_plain_layout_with_due_dates(tmp_path, capfd):
    path = tmp_path / "times.txt"
    path.write_text("2 3\n3 2 4\n1 6 2\n10 20 30\n")
    inst = zurududo.load(path, "unrelated", layout="machine_rows_due_dates")
    assert inst.pt.tolist() == [[3, 2, 4], [1, 6, 2]] and inst.dd.tolist() == [10, 20, 30]
    assert inst.evaluate([0, 1, 2], "SumTj") == 0
    assert capfd.readouterr().out == ""
    zurududo.load(path, "flowshop", layout="machine_rows_due_dates", echo=True)
    assert capfd.readouterr().out.startswith(f"Instance {path} - n: 3    m: 2")


def test_what_a_lenient_load_accepts_survives_pickling(tmp_path):
    path = tmp_path / "times.txt"
    path.write_text("2 2\n3 -1\n1 2\n")
    with pytest.raises(zurududo.Error, match="at least 0"):
        zurududo.load(path, layout="mrows")
    inst = zurududo.load(path, layout="mrows", strict=False)  # env None: a flow shop
    copy = pickle.loads(pickle.dumps(inst))
    assert copy.env == "flowshop" and copy.pt.tolist() == [[3, -1], [1, 2]]
    assert copy.evaluate([0, 1]) == inst.evaluate([0, 1])
    with pytest.raises(ValueError, match="pt"):
        zurududo.Instance("flowshop", copy.pt)  # built by hand, times are at least 0


def test_the_type_hints_declare_every_public_name_and_type_evaluate_by_objective():
    """The stub file parses, names everything the package exports, and types evaluate by
    objective: an int for the unweighted objectives, a float for the Wj_ ones."""
    import ast
    import pathlib

    stub = pathlib.Path(zurududo.__file__).with_name("__init__.pyi").read_text()
    tree = ast.parse(stub)
    declared = {node.name for node in tree.body if isinstance(node, (ast.FunctionDef, ast.ClassDef))}
    declared |= {target.id for node in tree.body if isinstance(node, ast.AnnAssign) for target in [node.target]}
    declared |= {t.id for node in tree.body if isinstance(node, ast.Assign) for t in node.targets}
    assert set(zurududo.__all__) - {"__version__"} <= declared
    literals = {}
    for node in tree.body:
        if isinstance(node, ast.Assign) and node.targets[0].id in ("IntegerObjective", "WeightedObjective"):
            literals[node.targets[0].id] = {e.value for e in node.value.slice.elts}
    assert literals["IntegerObjective"] | literals["WeightedObjective"] == set(zurududo.OBJECTIVES)
    inst = zurududo.Instance("single", [3, 2, 4], dd=[4, 6, 12])
    for name in zurududo.OBJECTIVES:
        expected = float if name in literals["WeightedObjective"] else int
        assert type(inst.evaluate([0, 1, 2], name)) is expected, name
