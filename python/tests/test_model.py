"""Property tests: the compiled evaluators against the pure-Python model, and the
batch evaluator against one call per sequence, on any number of threads."""

import numpy as np
import pytest
from hypothesis import given, settings
from hypothesis import strategies as st

import zurududo
from models import flow_shop_completions, objectives, single_machine_completions


@st.composite
def instances(draw, env):
    n = draw(st.integers(1, 8))
    m = 1 if env == "single" else draw(st.integers(1, 4))
    times = st.integers(0, 20)
    pt = draw(st.lists(times, min_size=n, max_size=n)) if env == "single" else [
        draw(st.lists(times, min_size=n, max_size=n)) for _ in range(m)
    ]
    r = draw(st.lists(st.integers(0, 30), min_size=n, max_size=n))
    dd = draw(st.none() | st.lists(st.integers(-5, 80), min_size=n, max_size=n))
    w = draw(st.lists(st.integers(0, 12).map(lambda k: k / 4), min_size=n, max_size=n))
    seq = draw(st.permutations(range(n)))
    return pt, r, dd, w, list(seq)


MODELS = {"single": single_machine_completions, "flowshop": flow_shop_completions}


@pytest.mark.parametrize("env", sorted(MODELS))
@settings(max_examples=150, deadline=None)
@given(data=st.data())
def test_every_objective_matches_the_model(env, data):
    pt, r, dd, w, seq = data.draw(instances(env))
    inst = zurududo.Instance(env, pt, r=r, dd=dd, w=w)
    completion = MODELS[env](seq, pt, r)
    assert inst.completion_times(seq).tolist() == completion
    expected = objectives(seq, completion, r, dd, w)
    got = inst.objectives(seq)
    assert set(got) == set(zurududo.OBJECTIVES)
    for name in zurududo.OBJECTIVES:
        assert got[name] == expected.get(name), name
        if name in expected:
            assert inst.evaluate(np.array(seq), name) == expected[name]


@settings(max_examples=60, deadline=None)
@given(data=st.data())
def test_insertion_makespans_are_the_makespans_of_each_insertion(data):
    pt, r, _, _, seq = data.draw(instances("flowshop"))
    inst = zurududo.Instance("flowshop", pt, r=r)
    job, partial = seq[0], seq[1:]
    expected = [max(flow_shop_completions(partial[:k] + [job] + partial[k:], pt, r)) for k in range(len(partial) + 1)]
    assert inst.insertion_makespans(partial, job).tolist() == expected


@pytest.fixture(scope="module")
def shops():
    rng = np.random.default_rng(7)
    n, m = 30, 6
    pt = rng.integers(1, 99, size=(m, n))
    flow = zurududo.Instance("flowshop", pt, dd=rng.integers(100, 1500, n), w=rng.random(n), r=rng.integers(0, 50, n))
    routing = np.array([rng.permutation(m) for _ in range(n)])
    job = zurududo.Instance("jobshop", pt, rt=routing, dd=rng.integers(100, 1500, n), w=rng.random(n))
    single = zurududo.Instance("single", pt[0], dd=rng.integers(100, 1500, n), w=rng.random(n), r=rng.integers(0, 500, n))
    flow_seqs = np.array([rng.permutation(n) for _ in range(300)])
    job_seqs = np.array([rng.permutation(np.repeat(np.arange(n), m)) for _ in range(300)])
    return {"flowshop": (flow, flow_seqs), "jobshop": (job, job_seqs), "single": (single, flow_seqs)}


# The single machine and the flow shop go through the library's batch
# evaluators, the job shop one sequence at a time: the same values, bit for bit.
@pytest.mark.parametrize("env", ["single", "flowshop", "jobshop"])
@pytest.mark.parametrize("objective", zurududo.OBJECTIVES)
def test_evaluate_many_gives_the_same_values_on_any_number_of_threads(shops, env, objective):
    inst, seqs = shops[env]
    one_by_one = [inst.evaluate(s, objective) for s in seqs]
    for threads, rows in [(1, seqs), (2, seqs), (0, seqs), (7, seqs.astype(np.int16)), (3, seqs.T.copy().T)]:
        values = inst.evaluate_many(rows, objective, threads=threads)
        assert values.dtype == (np.float64 if objective.startswith("Wj_") else np.int64)
        assert values.tolist() == one_by_one
    assert inst.evaluate_many(np.empty((0, seqs.shape[1]), dtype=np.int32), objective).shape == (0,)
