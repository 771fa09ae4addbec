#!/usr/bin/env python3
"""The dispatching rules side by side, from the CSV files of
results/jobshop/sweeps.sh (other tables: zurududo-experiment --summarise).

  rules_table.py DIR   mean gap per Taillard size group of every rule
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


if __name__ == "__main__":
    rules(sys.argv[1])
