"""zurududo: deterministic machine scheduling, evaluated in compiled code.

Load or build an instance of one of seven machine environments and evaluate
job sequences on it: one objective (``Instance.evaluate``), the whole catalogue
(``Instance.objectives``), the completion times, a batch of sequences on
several threads (``Instance.evaluate_many``), the schedule itself. The
literature's benchmark instances come by name (``benchmark``, ``benchmarks``)
and the reference methods run on any instance (``solve``; ``methods`` is their
table, the one ``sched`` and the experiment runner read).

>>> import zurududo
>>> inst = zurududo.Instance("flowshop", [[3, 2, 4], [2, 5, 1]])
>>> inst.evaluate([0, 1, 2])
11
"""

import functools

from ._core import (
    DUE_DATE_OBJECTIVES,
    LAYOUTS,
    OBJECTIVES,
    BenchmarkEntry,
    Error,
    Improvement,
    Instance,
    Method,
    Parameter,
    SolveResult,
    __version__,
    benchmark,
    benchmarks,
    gantt,
    list_instances,
    load,
    methods,
    solve,
)

from ._core import _holds_instance

# Named where users meet them (tracebacks, repr, pickles): zurududo.Error, zurududo.Instance.
Error.__module__ = Instance.__module__ = __name__


def _once(method):
    """`method` (__init__ or __setstate__) refusing an Instance already made:
    the compiled class would ignore the call, and an Instance does not change."""

    @functools.wraps(method)
    def once(self, *args, **kwargs):
        if _holds_instance(self):
            raise TypeError(f"Instance.{method.__name__} was called on an initialised Instance; an Instance does not change")
        return method(self, *args, **kwargs)

    return once


Instance.__init__ = _once(Instance.__init__)
Instance.__setstate__ = _once(Instance.__setstate__)

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
    "Method",
    "OBJECTIVES",
    "Parameter",
    "SolveResult",
    "benchmark",
    "benchmarks",
    "gantt",
    "list_instances",
    "load",
    "methods",
    "solve",
]
