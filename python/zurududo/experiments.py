"""Grids of runs of the reference methods on benchmark instances, and their report.

``run(methods, instances, seeds, budgets, csv=...)`` makes every run of methods ×
instances × seeds × budgets — each one solver run, on a local process pool or on a
``dask.distributed`` cluster when a ``Client`` is given — and appends each finished
run's row to the CSV file at once, in the format ``sched bench --csv`` writes. A
run into a file that holds rows skips the runs finished there, so a grid that was
stopped (Ctrl-C, a lost job) is resumed by running it again. ``report`` makes the
rows into the HTML report that ``sched report`` makes.

The methods and their parameters are named as in the one table of methods
(``zurududo.methods()``, ``sched list --methods``): ``"ig"``, ``("ig", {"d": 4})``.
A budget is ``"time_factor=30"`` (a time limit of 30·n·m/2 ms of the solving
thread's processor time), ``"time_limit=2"`` (seconds), ``"iterations=1000"``, or
such parts joined by ``;`` with ``target=V`` or ``stop_at_best``; or a dict
``{"iterations": 1000}``.
"""

import concurrent.futures
import csv as _csv
import io
import math
import multiprocessing
import os
import signal
import sys
import threading
import time

from . import _core

__all__ = ["run", "report", "wilcoxon"]


class _Stop(BaseException):
    """SIGTERM, raised in the main thread while a grid runs."""

    def __init__(self, signum):
        super().__init__(signum)
        self.signum = signum


def _methods(methods):
    """(name, {parameter: text}) for each method given."""
    if isinstance(methods, (str, tuple, dict)):
        methods = [methods]
    made = []
    for method in methods:
        if isinstance(method, str):
            name, params = method, {}
        elif isinstance(method, dict):
            name, params = method.get("method"), method.get("params") or {}
        elif isinstance(method, tuple) and len(method) == 2:
            name, params = method
        else:
            raise TypeError(f"a method is a name, (name, params) or {{'method': ..., 'params': ...}}, not {method!r}")
        if not isinstance(name, str) or not isinstance(params, dict):
            raise TypeError(f"a method is a name and a dict of parameters, not {method!r}")
        made.append((name, {str(k): _text(v) for k, v in params.items()}))
    return made


def _text(value):
    if isinstance(value, bool):
        return "true" if value else "false"
    return str(value)


def _instances(instances):
    if isinstance(instances, str):
        instances = [instances]
    names = []
    sets = {entry.set for entry in _core.benchmarks()}
    for name in instances:
        if not isinstance(name, str):
            name = getattr(name, "name", None)
            if not name:
                raise TypeError("an instance of a grid is a benchmark name or set (its rows need the best known value)")
        if name in sets:
            names.extend(entry.name for entry in _core.benchmarks(name))
        else:
            names.append(_core.benchmark(name).name)
    return names


def _budgets(budgets):
    if isinstance(budgets, (str, dict)):
        budgets = [budgets]
    made = []
    for budget in budgets:
        if isinstance(budget, dict):
            parts = []
            for key, value in budget.items():
                if key == "stop_at_best":
                    if value:
                        parts.append("stop_at_best")
                else:
                    parts.append(f"{key}={value}")
            budget = ";".join(parts) or "none"
        if not isinstance(budget, str):
            raise TypeError(f"a budget is a text such as 'iterations=1000' or a dict, not {budget!r}")
        made.append(budget)
    return made


def _seeds(seeds):
    if isinstance(seeds, int):
        return list(range(1, seeds + 1))
    return [int(seed) for seed in seeds]


def _task(method, params, instance, seed, budget, clock):
    """One run, in a worker: its CSV line, or None when stopped before it began."""
    return _core._experiment_task(method, params, instance, seed, budget, clock)


def _worker_start():
    # SIGINT and SIGTERM stop the run in flight at its best; the parent records it.
    _core._stop_on_signals()


def _parse(lines):
    reader = _csv.DictReader(io.StringIO(_core._csv_header() + "".join(lines)))
    return list(reader)


class _Progress:
    """The progress line on standard error: live on a terminal, else a line per
    finished run (at most one a second) and one a minute."""

    def __init__(self, enabled, total, skipped, width, planned):
        self.enabled = enabled
        self.live = enabled and sys.stderr.isatty()
        self.total, self.skipped, self.width = total, skipped, width
        self.planned = planned  # seconds of budget of each run, 0 when not timed
        self.all_timed = bool(planned) and all(p > 0 for p in planned.values())
        self.start = time.monotonic()
        self.done = 0
        self.rpd = []
        self.planned_done = 0.0
        self.seconds_done = 0.0
        self.last = -math.inf
        self.stopping = False

    def line(self):
        left = self.total - self.done
        planned_left = sum(self.planned.values())
        # The workers' time used so far: the finished runs' wall time and a share of those in flight.
        used = (time.monotonic() - self.start) * self.width
        remaining = _core._estimate_remaining(planned_left, self.planned_done, used, self.done, left, self.width,
                                              self.all_timed)
        mean = sum(self.rpd) / len(self.rpd) if self.rpd else None
        return _core._progress_line(self.done, self.total, self.skipped, time.monotonic() - self.start, remaining, mean,
                                    self.stopping)

    def finished(self, key, row):
        self.done += 1
        self.planned_done += self.planned.pop(key, 0.0)
        self.seconds_done += float(row["seconds"])
        if row["status"] == "done":
            self.rpd.append(float(row["rpd"]))
        if not self.enabled:
            return
        now = time.monotonic()
        if self.live:
            self._draw()
        elif now - self.last >= 1 or self.done == self.total:
            status = " (interrupted)" if row["status"] != "done" else ""
            print(f"{row['method']} {row['instance']} seed {row['seed']}: {row['value']}{status} · {self.line()}",
                  file=sys.stderr, flush=True)
            self.last = now

    def tick(self):
        if not self.enabled:
            return
        if self.live:
            self._draw()
        elif time.monotonic() - self.last >= 60:
            print(self.line(), file=sys.stderr, flush=True)
            self.last = time.monotonic()

    def _draw(self):
        print("\r" + self.line() + "   ", end="", file=sys.stderr, flush=True)

    def close(self):
        if self.live:
            print("\r" + self.line(), file=sys.stderr, flush=True)


def run(methods, instances, seeds=1, budgets="time_factor=1", csv=None, *, client=None, workers=None, clock="cpu",
        progress=True, retries=2):
    """Runs every method × instance × seed × budget, each run one task, and returns the grid's rows.

    ``methods``: names of the table of methods, or (name, params) pairs. ``instances``:
    benchmark names or sets (``"taillard-flowshop"``). ``seeds``: a count k (seeds 1 … k) or
    the seeds. ``budgets``: texts such as ``"time_factor=30"`` or ``"iterations=1000"``, or
    dicts. ``csv``: the file rows are appended to as runs finish; the runs finished there
    are not made again. ``client``: a ``dask.distributed.Client`` to run the tasks on its
    cluster (a worker lost mid-run costs only its run, which Dask makes again elsewhere);
    ``None`` runs them on ``workers`` local processes (default: the cores). ``clock``:
    ``"cpu"`` (the solving thread's processor time) or ``"wall"``.

    Returns the rows (dicts of the CSV's columns) of every run of the grid, those found
    finished in the file included, in the grid's order. SIGINT (Ctrl-C) or SIGTERM stops
    the runs in flight at their best so far (on local processes; a cluster's are
    cancelled): they are recorded as interrupted, the summary of what finished is
    printed, and ``KeyboardInterrupt`` (SIGINT) or ``SystemExit(143)`` (SIGTERM) is raised.
    """
    grid = []
    for name, params in _methods(methods):
        for budget in _budgets(budgets):
            for instance in _instances(instances):
                for seed in _seeds(seeds):
                    key, method, parameters, budget_text, limit = _core._experiment_key(name, params, instance, seed,
                                                                                         budget)
                    grid.append((key, (name, params, instance, seed, budget, clock), limit))
    if clock not in ("cpu", "wall"):
        raise ValueError(f"the clock is 'cpu' or 'wall', not {clock!r}")
    file = _core._CsvFile(os.fspath(csv)) if csv is not None else None
    found = {}
    if file is not None:
        for line in file.existing_lines():
            row_key, interrupted, *_ = _core._row_key(line)
            if not interrupted:
                found[row_key] = line
    todo = [(key, task, limit) for key, task, limit in grid if key not in found]
    made = {}
    width = workers or (len(client.scheduler_info()["workers"]) if client is not None else os.cpu_count() or 1)
    shown = _Progress(progress, len(todo), len(grid) - len(todo), max(1, width),
                      {key: (limit if "iterations=" not in task[4] else 0.0) for key, task, limit in todo})
    stopped = None

    def record(key, line):
        if line is None:
            return
        if file is not None:
            file.append_line(line)
        made.setdefault(key, []).append(line)
        shown.finished(key, _parse([line])[0])

    previous_term = None
    if threading.current_thread() is threading.main_thread():

        def on_term(signum, frame):
            raise _Stop(signum)

        previous_term = signal.signal(signal.SIGTERM, on_term)
    executor = None
    try:
        if client is None:
            executor = concurrent.futures.ProcessPoolExecutor(
                max_workers=width, mp_context=multiprocessing.get_context("forkserver"), initializer=_worker_start)
            futures = {executor.submit(_task, *task): key for key, task, _ in todo}
        else:
            futures = {client.submit(_task, *task, pure=False, retries=retries, key=f"zurududo-run-{_safe(key)}"): key
                       for key, task, _ in todo}
        pending = set(futures)
        order = {future: k for k, future in enumerate(futures)}
        try:
            while pending:
                done = _wait(pending, client)
                # Runs that finished together are recorded in the grid's order.
                for future in sorted(done, key=order.__getitem__):
                    pending.discard(future)
                    record(futures[future], future.result())
                if not done:
                    shown.tick()
        except (KeyboardInterrupt, _Stop) as stop:
            stopped = getattr(stop, "signum", signal.SIGINT)
            shown.stopping = True
            if client is None:
                # The workers stop their runs at their best; those not begun are dropped.
                for process in list(getattr(executor, "_processes", {}).values()):
                    try:
                        os.kill(process.pid, signal.SIGINT)
                    except (ProcessLookupError, AttributeError):
                        pass
                for future in pending:
                    future.cancel()
                for future in pending:
                    if future.cancelled():
                        continue
                    try:
                        record(futures[future], future.result())
                    except Exception:
                        pass
            else:
                client.cancel(list(pending))
    finally:
        if executor is not None:
            executor.shutdown(wait=True, cancel_futures=True)
        if previous_term is not None:
            signal.signal(signal.SIGTERM, previous_term)
        shown.close()

    lines = []
    for key, _, _ in grid:
        if key in found:
            lines.append(found[key])
        lines.extend(made.get(key, []))
    finished = [line for line in lines if _core._row_key(line)[1] is False]
    if progress or stopped:
        print("ARPD % per size group (mean RPD over instances and seeds):", file=sys.stdout)
        print(_core._report([(_core._csv_header() + "".join(finished), "rows")], "md", ""), end="", file=sys.stdout,
              flush=True)
    if stopped is not None:
        where = f"; run it again to resume from {csv}" if csv is not None else ""
        print(f"stopped by {'SIGTERM' if stopped == signal.SIGTERM else 'SIGINT'}: "
              f"{len(finished)} of {len(grid)} runs finished{where}", file=sys.stdout, flush=True)
        if stopped == signal.SIGTERM:
            raise SystemExit(128 + signal.SIGTERM)
        raise KeyboardInterrupt
    return _parse(lines)


def _safe(key):
    return "".join(c if c.isalnum() or c in "._=-" else "-" for c in key.replace("\x1f", "|"))


def _wait(pending, client, timeout=1.0):
    if client is None:
        return concurrent.futures.wait(pending, timeout=timeout, return_when=concurrent.futures.FIRST_COMPLETED).done
    import distributed

    try:
        distributed.wait(list(pending), timeout=timeout, return_when="FIRST_COMPLETED")
    except (TimeoutError, distributed.TimeoutError if hasattr(distributed, "TimeoutError") else TimeoutError):
        pass
    return {future for future in pending if future.done()}


def report(results, output=None, *, title="Experiment report"):
    """The report of result rows: the CSV files ``results`` (a path or several) made into
    one self-contained HTML page (inline SVG, nothing fetched) — what ``sched report``
    writes — or, for an ``output`` ending in ``.md`` or ``.csv``, the tables as Markdown or
    the ARPD table as CSV. Writes ``output`` when given, and returns the text."""
    if isinstance(results, (str, os.PathLike)):
        results = [results]
    texts = []
    for path in results:
        with open(path, encoding="utf-8", newline="") as handle:
            texts.append((handle.read(), os.fspath(path)))
    format = "html"
    if output is not None:
        extension = os.path.splitext(os.fspath(output))[1]
        if extension not in (".html", ".htm", ".md", ".csv"):
            raise ValueError(f"{output}: the report is written as .html, .md or .csv")
        format = {".md": "md", ".csv": "csv"}.get(extension, "html")
    text = _core._report(texts, format, title)
    if output is not None:
        with open(output, "w", encoding="utf-8", newline="") as handle:
            handle.write(text)
    return text


def wilcoxon(differences):
    """The two-sided Wilcoxon signed-rank test of paired differences, as the report makes it:
    a dict of n (non-zero differences), zeros, w_plus, w_minus, statistic, z, p and whether
    p is exact (no ties, n ≤ 50) or the normal approximation with the ties' correction."""
    return _core._wilcoxon([float(d) for d in differences])
