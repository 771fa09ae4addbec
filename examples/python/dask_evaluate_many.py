"""A large evaluate_many spread over a dask.distributed cluster.

The instance is pickled once to every worker; each task evaluates one block of
sequences with Instance.evaluate_many, which releases the GIL, and the blocks
come back in order. Without a scheduler address the example starts a cluster
of two worker processes on 127.0.0.1 and stops it at the end.

    python3 examples/python/dask_evaluate_many.py [--sequences N] [--blocks B] [--scheduler ADDRESS]
"""

import argparse

import numpy as np
from distributed import Client, LocalCluster

import zurududo


def evaluate_block(instance, seqs, objective):
    return instance.evaluate_many(seqs, objective, threads=1)


def run(client, sequences, blocks, objective="Cmax"):
    rng = np.random.default_rng(2024)
    jobs, machines = 50, 20
    instance = zurududo.Instance("flowshop", rng.integers(1, 100, size=(machines, jobs)))
    seqs = rng.permuted(np.tile(np.arange(jobs, dtype=np.int32), (sequences, 1)), axis=1)
    shared = client.scatter(instance, broadcast=True)
    futures = [client.submit(evaluate_block, shared, block, objective) for block in np.array_split(seqs, blocks)]
    values = np.concatenate(client.gather(futures))
    best = int(np.argmin(values))
    print(f"{sequences} sequences of a {jobs} x {machines} flow shop in {blocks} blocks on "
          f"{len(client.scheduler_info()['workers'])} workers")
    print(f"best {objective}: {values[best]} (sequence {best})")
    agree = np.array_equal(values, instance.evaluate_many(seqs, objective))
    print("the cluster's values equal evaluate_many's on this process:", agree)
    return agree


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--sequences", type=int, default=100_000)
    parser.add_argument("--blocks", type=int, default=8)
    parser.add_argument("--scheduler", help="address of a running scheduler (default: a local cluster)")
    args = parser.parse_args()
    if args.scheduler:
        with Client(args.scheduler) as client:
            return run(client, args.sequences, args.blocks)
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True, host="127.0.0.1",
                      dashboard_address=None) as cluster, Client(cluster) as client:
        return run(client, args.sequences, args.blocks)


if __name__ == "__main__":
    raise SystemExit(0 if main() else 1)
