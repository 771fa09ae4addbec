"""The recorded grid of docs/results.md: 3 methods × 12 Taillard flow shops × 3 seeds at
t = 5 (5·n·m/2 ms of the solving thread's CPU per run), on local processes and on a local
Dask cluster of two single-threaded workers, each into its own CSV, then the report.

    PYTHONPATH=build/python /usr/bin/python3 results/experiments/grid.py results/experiments
"""

import os
import sys
import time

import zurududo.experiments as experiments

METHODS = ["ig", ("ig", {"d": 4, "T": 0.4}), "generic"]
INSTANCES = ["ta001", "ta002", "ta003", "ta011", "ta012", "ta013", "ta031", "ta032", "ta033", "ta041", "ta042", "ta043"]


def main(directory):
    start = time.monotonic()
    experiments.run(METHODS, INSTANCES, seeds=3, budgets=["time_factor=5"], csv=os.path.join(directory, "local.csv"),
                    workers=2, progress=True)
    print(f"local processes (2): {time.monotonic() - start:.1f} s wall", flush=True)

    import distributed

    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, host="127.0.0.1", dashboard_address=None,
                                  silence_logs=40) as cluster, distributed.Client(cluster) as client:
        start = time.monotonic()
        experiments.run(METHODS, INSTANCES, seeds=3, budgets=["time_factor=5"], csv=os.path.join(directory, "dask.csv"),
                        client=client, progress=True)
        print(f"local Dask cluster (2 workers): {time.monotonic() - start:.1f} s wall", flush=True)
    experiments.report([os.path.join(directory, "local.csv")], os.path.join(directory, "report.html"),
                       title="3 methods × 12 Taillard flow shops × 3 seeds, t = 5")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else ".")
