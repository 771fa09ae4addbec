"""The library's own worked examples (README, examples/), through the package."""

import numpy as np

import zurududo


def test_driver_sample(repository):
    inst = zurududo.load(repository / "examples" / "zurududo" / "test_single_machine.txt", "single")
    assert inst.completion_times([0, 1, 2]).tolist() == [3, 7, 11]
    assert (inst.jobs, inst.machines, inst.env) == (3, 1, "single")


def test_job_shop_schedule_file_of_the_readme(tmp_path):
    # Routings (0, 1) and (1, 0); times (3, 2) on machine 0, (4, 1) on machine 1; job 1 released at 1.
    inst = zurududo.Instance("jobshop", [[3, 2], [4, 1]], rt=[[0, 1], [1, 0]], r=[0, 1])
    seq = [0, 1, 1, 0]
    path = tmp_path / "example.sched"
    inst.write_schedule(seq, path)
    assert path.read_text() == "[JOBS=2]\n[MACHINES=2]\n[SCHEDULE_DATA=0,0,3,1,3,4;1,1,1,0,3,2]\n[JOB_ORDER=0,1]\n"
    ops = inst.schedule(seq)
    assert ops.dtype.names == ("job", "machine", "start", "end")
    assert [tuple(op) for op in ops] == [(0, 0, 0, 3), (0, 1, 3, 7), (1, 1, 1, 2), (1, 0, 3, 5)]
    assert inst.evaluate(seq) == 7


def test_neh_example(repository):
    inst = zurududo.load(repository / "examples" / "data" / "flow_shop_20x5.txt", "flowshop", layout="machine_rows")
    by_total_time = [5, 14, 12, 15, 19, 2, 18, 7, 1, 17, 8, 10, 0, 16, 3, 13, 9, 6, 4, 11]
    neh = [8, 6, 16, 1, 9, 13, 19, 14, 0, 18, 5, 4, 12, 17, 15, 7, 2, 10, 11, 3]
    assert inst.evaluate_many(np.array([by_total_time, neh])).tolist() == [1545, 1315]
    # Insertion makespans: the last job of the NEH sequence, at its position, gives 1315.
    assert inst.insertion_makespans(neh[:-1], neh[-1])[-1] == 1315


def test_tardiness_search_example(repository):
    inst = zurududo.load(repository / "examples" / "data" / "single_machine_20.txt", "single")
    stages = {
        1783.0: [12, 2, 19, 0, 16, 10, 6, 15, 7, 3, 1, 18, 9, 8, 4, 13, 14, 5, 17, 11],
        1171.0: [12, 2, 19, 0, 16, 10, 6, 15, 7, 3, 1, 9, 8, 4, 13, 5, 17, 18, 14, 11],
        756.0: [12, 2, 19, 0, 16, 10, 6, 15, 7, 8, 18, 9, 14, 4, 13, 5, 17, 3, 1, 11],
    }
    for value, seq in stages.items():
        assert inst.evaluate(seq, "Wj_SumTj") == value
