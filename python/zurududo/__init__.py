"""zurududo: deterministic machine scheduling, evaluated in compiled code.

Load or build an instance of one of seven machine environments and evaluate
job sequences on it: one objective (``Instance.evaluate``), the whole catalogue
(``Instance.objectives``), the completion times, a batch of sequences on
several threads (``Instance.evaluate_many``), the schedule itself. The
literature's benchmark instances come by name (``benchmark``, ``benchmarks``)
and the library's reference heuristics run on any instance (``solve``).

>>> import zurududo
>>> inst = zurududo.Instance("flowshop", [[3, 2, 4], [2, 5, 1]])
>>> inst.evaluate([0, 1, 2])
11
"""

from ._core import (
    DUE_DATE_OBJECTIVES,
    LAYOUTS,
    OBJECTIVES,
    BenchmarkEntry,
    Error,
    Improvement,
    Instance,
    SolveResult,
    __version__,
    benchmark,
    benchmarks,
    list_instances,
    load,
    solve,
)

# Named where users meet them (tracebacks, repr, pickles): zurududo.Error, zurududo.Instance.
Error.__module__ = Instance.__module__ = __name__

#: The machine environments, by the names ``load`` and ``Instance`` take.
ENVIRONMENTS = ("single", "identical", "uniform", "unrelated", "flowshop", "openshop", "jobshop")

__all__ = [
    "BenchmarkEntry",
    "DUE_DATE_OBJECTIVES",
    "ENVIRONMENTS",
    "Error",
    "Improvement",
    "Instance",
    "LAYOUTS",
    "OBJECTIVES",
    "SolveResult",
    "benchmark",
    "benchmarks",
    "list_instances",
    "load",
    "solve",
]
