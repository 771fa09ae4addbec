#!/usr/bin/env python3
"""Tables of RESULTS.md from the CSV files of results/jobshop/sweeps.sh.

  summarise.py rules DIR     mean gap per Taillard size group of every rule
  summarise.py runs FILE...  mean relative error per size group of runs
"""
import csv
import sys
from collections import OrderedDict


def rows(path):
    with open(path, newline="") as f:
        return list(csv.DictReader(f))


def groups(data):
    out = OrderedDict()
    for r in data:
        out.setdefault(r["group"], []).append(r)
    return out


def rules(directory):
    names = ["spt", "lpt", "mwkr", "lwkr", "mopnr", "fifo", "random"]
    tables = {}
    for name in names:
        for variant in ("", "-nd"):
            tables[name + variant] = rows(f"{directory}/rules-{name}{variant}.csv")
    sizes = list(groups(tables["spt"]).keys())
    print("| rule | " + " | ".join(sizes) + " | all | ta01–10 mean makespan |")
    print("|---|" + "---:|" * (len(sizes) + 2))
    for method, data in tables.items():
        by = groups(data)
        cells = [f"{sum(float(r['rpd']) for r in by[s]) / len(by[s]):.1f}" for s in sizes]
        overall = sum(float(r["rpd"]) for r in data) / len(data)
        first = [float(r["value"]) for r in data[:10]]
        print(f"| {method} | " + " | ".join(cells) + f" | {overall:.1f} | {sum(first) / 10:.1f} |")


def runs(paths):
    data = [r for p in paths for r in rows(p)]
    print("| group | instances | mean RE % | reached bkv | mean s | max s to best |")
    print("|---|---:|---:|---:|---:|---:|")
    by = groups(data)
    by["all"] = data
    for g, rs in by.items():
        n = len(rs)
        re = sum(float(r["rpd"]) for r in rs) / n
        reached = sum(1 for r in rs if float(r["value"]) <= float(r["best_known"]))
        secs = sum(float(r["seconds"]) for r in rs) / n
        to_best = max(float(r["seconds_to_best"]) for r in rs)
        print(f"| {g} | {n} | {re:.3f} | {reached} | {secs:.2f} | {to_best:.2f} |")


if __name__ == "__main__":
    if sys.argv[1] == "rules":
        rules(sys.argv[2])
    else:
        runs(sys.argv[2:])
