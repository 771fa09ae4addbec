"""Type hints of zurududo; the docstrings of the compiled functions say more (help())."""

import os
from typing import Callable, Literal, NamedTuple, Sequence, TypedDict, Union, overload

import numpy as np
import numpy.typing as npt

__version__: str

Environment = Literal["single", "identical", "uniform", "unrelated", "flowshop", "openshop", "jobshop"]
Layout = Literal[
    "tagged", "taillard", "classic", "taillard-jobshop", "mrows", "mrows-dd", "nrows", "nrows-dd",
    # the former names of the processing-time layouts, still read
    "machine_rows", "machine_rows_due_dates", "job_rows", "job_rows_due_dates",
]
Path = Union[str, bytes, os.PathLike[str], os.PathLike[bytes]]
IntegerArray = Union[npt.NDArray[np.integer], Sequence[int]]
IntegerTable = Union[npt.NDArray[np.integer], Sequence[Sequence[int]]]
RealArray = Union[npt.NDArray[np.floating], npt.NDArray[np.integer], Sequence[float]]

#: The objectives whose values are whole numbers (int) ...
IntegerObjective = Literal[
    "Cmax", "Emax", "Fmax", "Lmax", "SumCj", "SumEj", "SumFj", "SumLj", "SumTj", "SumUj", "Tmax",
]
#: ... and their weighted forms, whose values are real (float).
WeightedObjective = Literal[
    "Wj_Cmax", "Wj_Emax", "Wj_Fmax", "Wj_Lmax", "Wj_SumCj", "Wj_SumEj", "Wj_SumFj", "Wj_SumLj",
    "Wj_SumTj", "Wj_SumUj", "Wj_Tmax",
]

ENVIRONMENTS: tuple[str, ...]
LAYOUTS: tuple[str, ...]
#: Every objective name, the same in every environment: Cmax, Emax, Fmax, Lmax, SumCj,
#: SumEj, SumFj, SumLj, SumTj, SumUj, Tmax and their weighted forms Wj_….
OBJECTIVES: tuple[str, ...]
#: The objectives that need due dates.
DUE_DATE_OBJECTIVES: tuple[str, ...]

class Error(ValueError):
    """An instance file the loader rejected; the message is the loader's whole report."""

    report: str
    code: int

class Instance:
    """A scheduling instance of one machine environment; it owns a copy of its data."""

    def __init__(
        self,
        env: Environment,
        pt: Union[IntegerArray, IntegerTable],
        *,
        machines: int | None = None,
        dd: IntegerArray | None = None,
        w: RealArray | None = None,
        r: IntegerArray | None = None,
        v: IntegerArray | None = None,
        rt: IntegerTable | None = None,
    ) -> None:
        """pt[job] on single, identical and uniform machines, pt[machine][job] elsewhere;
        machines= for identical machines, v (speeds) for uniform ones, rt[job][k] for the job shop."""
    @property
    def env(self) -> str: ...
    @property
    def jobs(self) -> int: ...
    @property
    def machines(self) -> int: ...
    @property
    def pt(self) -> npt.NDArray[np.int32]:
        """Processing times, a read-only copy."""
    @property
    def dd(self) -> npt.NDArray[np.int64] | None: ...
    @property
    def w(self) -> npt.NDArray[np.float64]: ...
    @property
    def r(self) -> npt.NDArray[np.int32]: ...
    @property
    def v(self) -> npt.NDArray[np.int32] | None: ...
    @property
    def rt(self) -> npt.NDArray[np.int32] | None: ...
    @property
    def name(self) -> str | None:
        """The benchmark instance it is ("ta056"), or None."""
    @overload
    def evaluate(self, seq: IntegerArray) -> int: ...
    @overload
    def evaluate(self, seq: IntegerArray, objective: IntegerObjective) -> int: ...
    @overload
    def evaluate(self, seq: IntegerArray, objective: WeightedObjective) -> float: ...
    @overload
    def evaluate(self, seq: IntegerArray, objective: str) -> int | float:
        """One objective of a sequence: int, or float for the Wj_ objectives."""
    def objectives(self, seq: IntegerArray) -> dict[str, int | float | None]:
        """Every objective; None for due-date objectives on an instance without due dates."""
    def completion_times(self, seq: IntegerArray) -> npt.NDArray[np.int64]:
        """Completion time of every job, indexed by job."""
    def evaluate_many(
        self, seqs: IntegerTable, objective: str = "Cmax", threads: int = 0
    ) -> npt.NDArray[np.int64] | npt.NDArray[np.float64]:
        """One objective of every row of seqs, on `threads` threads (0: every core), without the GIL."""
    def insertion_makespans(self, partial_seq: IntegerArray, job: int) -> npt.NDArray[np.int64]:
        """Flow shop: the makespans of inserting `job` at each of the len + 1 positions."""
    def schedule(self, seq: IntegerArray) -> np.ndarray:
        """The operations as a structured array with fields job, machine, start, end."""
    def write_schedule(self, seq: IntegerArray, path: Path) -> None:
        """Writes the schedule file of a sequence, atomically."""

def load(
    path: Path,
    env: Environment | None = None,
    layout: Layout = "tagged",
    echo: bool = False,
    *,
    strict: bool = True,
    instance: int | str | None = None,
) -> Instance:
    """Loads an instance file (env None: the file's own; instance=: which one of a benchmark file
    holding several); FileNotFoundError, or zurududo.Error with the loader's report."""

class ListedInstance(TypedDict):
    name: str
    description: str
    jobs: int
    machines: int
    line: int
    upper_bound: int | None
    lower_bound: int | None

def list_instances(path: Path, layout: Layout) -> list[ListedInstance]:
    """The instances of a benchmark file (taillard, classic, taillard-jobshop), in file order."""

class BenchmarkEntry(NamedTuple):
    name: str
    set: str
    env: Environment
    objective: str
    jobs: int
    machines: int
    best_known: int
    lower_bound: int | None
    optimal: bool
    neh_makespan: int | None
    best_known_classic: int | None

def benchmark(name: str) -> Instance:
    """A named benchmark instance: ta001, ta01, ft06, wt40_001, …"""

def benchmarks(set: str | None = None) -> list[BenchmarkEntry]:
    """The catalogue of named instances (or those of one set)."""

#: The names and aliases of the table of methods (zurududo.methods()); any spelling of a
#: name's case is taken.
Algorithm = Literal[
    "neh", "ig", "iterated_greedy", "edd", "wspt", "atc", "ils", "weighted_tardiness_search",
    "spt", "lpt", "mwkr", "lwkr", "mopnr", "fifo", "random",
    "spt-nd", "lpt-nd", "mwkr-nd", "lwkr-nd", "mopnr-nd", "fifo-nd", "random-nd",
    "ts", "tabu_search", "generic",
]

class Parameter(NamedTuple):
    name: str
    type: Literal["integer", "real", "flag", "choice"]
    default: int | float | bool | str
    doc: str

class Method(NamedTuple):
    name: str
    aliases: tuple[str, ...]
    kind: Literal["rule", "construction", "search"]
    environments: tuple[str, ...]
    objectives: tuple[str, ...]
    needs: tuple[str, ...]
    parameters: tuple[Parameter, ...]
    summary: str

def methods() -> list[Method]:
    """The table of methods that solve, sched and the experiment runner share."""

class Improvement(NamedTuple):
    value: int | float
    seconds: float
    iteration: int
    sequence: npt.NDArray[np.int32]

class SolveResult(NamedTuple):
    sequence: npt.NDArray[np.int32]
    value: int | float
    seconds: float
    iterations: int
    algorithm: str
    objective: str

def solve(
    inst: Instance,
    objective: str | None = None,
    algorithm: Algorithm | str | None = None,
    *,
    time_limit: float | None = None,
    iterations: int | None = None,
    seed: int = 1,
    on_improvement: Callable[[Improvement], object] | None = None,
    params: dict[str, int | float | bool | str] | None = None,
    target: float | None = None,
    stop_at_best: bool = False,
) -> SolveResult:
    """Runs a method of the table without the GIL; value == inst.evaluate(sequence, objective).
    objective None: the instance's default; algorithm None: the default method of the objective."""

def gantt(
    inst: Instance,
    sequence: IntegerArray,
    path: Path | None = None,
    dates: bool = False,
    *,
    title: str | None = None,
) -> str:
    """The Gantt chart of a sequence as SVG text (also written to `path`); `dates` marks due and release dates."""
