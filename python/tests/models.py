"""A small pure-Python model of the single machine and the permutation flow shop:
completion times by the textbook recurrences, and the objective catalogue over them."""


def single_machine_completions(seq, pt, r):
    completion = [0] * len(pt)
    t = None
    for j in seq:
        t = (r[j] if t is None else max(t, r[j])) + pt[j]
        completion[j] = t
    return completion


def flow_shop_completions(seq, pt, r):
    machines = len(pt)
    free = [0] * machines  # when each machine finishes its previous job
    completion = [0] * len(pt[0])
    for j in seq:
        t = r[j]
        for i in range(machines):
            t = max(t, free[i]) + pt[i][j]
            free[i] = t
        completion[j] = t
    return completion


def objectives(seq, completion, r, dd, w):
    """Every objective of the catalogue, weighted sums taken in sequence order."""
    terms = {"C": [completion[j] for j in seq], "F": [completion[j] - r[j] for j in seq]}
    if dd is not None:
        lateness = [completion[j] - dd[j] for j in seq]
        terms["L"] = lateness
        terms["T"] = [max(x, 0) for x in lateness]
        terms["E"] = [max(-x, 0) for x in lateness]
        terms["U"] = [1 if x > 0 else 0 for x in lateness]
    weights = [w[j] for j in seq]
    values = {}
    for name, series in terms.items():
        weighted = [wj * float(x) for wj, x in zip(weights, series)]
        total = 0.0
        for x in weighted:
            total += x
        values[f"Sum{name}j"] = sum(series)
        values[f"Wj_Sum{name}j"] = total
        if name != "U":
            values[f"{name}max"] = max(series)
            values[f"Wj_{name}max"] = max(weighted)
    return values
