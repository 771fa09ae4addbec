"""Grids of runs through their front doors (sched bench and zurududo.experiments.run):
stopped by SIGINT and resumed, a Dask worker killed mid-grid, the Wilcoxon test against
known values, and the report — the same bytes from sched and Python, the numbers of its
ARPD table those of the CSV, and a page headless Chromium draws without errors."""

import csv
import html.parser
import os
import pathlib
import shutil
import signal
import struct
import subprocess
import sys
import threading
import time
import zlib

import pytest

import zurududo.experiments as experiments

SCHED = os.environ.get("ZURUDUDO_SCHED")
# Runs of a second or so each (iteration budgets: every value is exact), long enough to be cut short.
INSTANCES = ["ta051", "ta052", "ta053"]
# Under the sanitizers (their runtime preloaded) a search runs several times slower.
ITERATIONS = 200 if "asan" in os.environ.get("LD_PRELOAD", "") else 900
TIMING = {"seconds", "seconds_to_best", "trace", "machine"}
# sched carries its own sanitizer runtime in a sanitized build: not the one preloaded into Python.
SCHED_ENV = {k: v for k, v in os.environ.items() if k != "LD_PRELOAD"}


def environment(front_door):
    return SCHED_ENV if front_door == "sched" else None


def command(front_door, csv_path):
    if front_door == "sched":
        return [SCHED, "bench", *INSTANCES, "-a", "ig", "--iterations", str(ITERATIONS), "--csv", str(csv_path)]
    script = (f"import zurududo.experiments as e; e.run(['ig'], {INSTANCES!r}, seeds=1, "
              f"budgets=['iterations={ITERATIONS}'], csv={str(csv_path)!r}, workers=1)")
    return [sys.executable, "-c", script]


def rows(path):
    with open(path, newline="") as handle:
        return list(csv.DictReader(handle))


def without_timing(table):
    return sorted(tuple(sorted((k, v) for k, v in row.items() if k not in TIMING)) for row in table)


def wait_for(predicate, timeout):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if predicate():
            return True
        time.sleep(0.05)
    return False


def done_rows(path):
    return [row for row in rows(path) if row["status"] == "done"] if path.exists() else []


@pytest.mark.parametrize("front_door", ["sched", "python"])
def test_sigint_stops_the_grid_and_a_second_run_resumes_it(tmp_path, front_door):
    if front_door == "sched" and not SCHED:
        pytest.skip("sched is not built")
    whole = tmp_path / "whole.csv"
    done = subprocess.run(command(front_door, whole), capture_output=True, text=True, timeout=600,
                          env=environment(front_door))
    assert done.returncode == 0, done.stderr

    cut = tmp_path / "cut.csv"
    # Ctrl-C as a terminal sends it: to the whole process group.
    process = subprocess.Popen(command(front_door, cut), stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                               start_new_session=True, env=environment(front_door))
    assert wait_for(lambda: len(done_rows(cut)) >= 1, 300), "no row was written"
    time.sleep(0.2)
    os.killpg(process.pid, signal.SIGINT)
    out, err = process.communicate(timeout=300)
    # sched exits with 130; Python ends itself by the signal, which a shell reports as 130.
    assert process.returncode in (130, -signal.SIGINT), err
    assert "stopped by SIGINT" in out, out
    assert "ARPD" in out, out  # the table of what finished
    stopped = rows(cut)
    finished = [row for row in stopped if row["status"] == "done"]
    interrupted = [row for row in stopped if row["status"] == "interrupted"]
    assert 1 <= len(finished) < len(INSTANCES)
    assert len(interrupted) == 1
    assert 0 < int(interrupted[0]["iterations"]) < ITERATIONS
    assert float(interrupted[0]["value"]) >= int(interrupted[0]["best_known"])

    again = subprocess.run(command(front_door, cut), capture_output=True, text=True, timeout=600,
                           env=environment(front_door))
    assert again.returncode == 0, again.stderr
    final = rows(cut)
    # Nothing finished ran twice, and the finished rows are those of the run never stopped.
    assert final[: len(stopped)] == stopped
    assert len([row for row in final if row["status"] == "done"]) == len(INSTANCES)
    assert without_timing(r for r in final if r["status"] == "done") == without_timing(rows(whole))
    # A third run finds everything done.
    third = subprocess.run(command(front_door, cut), capture_output=True, text=True, timeout=600,
                           env=environment(front_door))
    assert third.returncode == 0 and rows(cut) == final


def test_a_half_written_row_is_dropped_and_the_grid_completes(tmp_path):
    path = tmp_path / "runs.csv"
    experiments.run(["neh"], ["ta001", "ta002"], csv=path, progress=False, workers=1)
    text = path.read_text()
    path.write_text(text + text.splitlines()[1][:25])  # a crash in the middle of a row
    table = experiments.run(["neh"], ["ta001", "ta002", "ta003"], csv=path, progress=False, workers=1)
    assert [row["instance"] for row in table] == ["ta001", "ta002", "ta003"]
    assert [row["instance"] for row in rows(path)] == ["ta001", "ta002", "ta003"]


def test_a_killed_dask_worker_costs_only_its_run(tmp_path):
    distributed = pytest.importorskip("distributed")
    path = tmp_path / "dask.csv"
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, host="127.0.0.1",
                                  dashboard_address=None, silence_logs=40) as cluster, \
            distributed.Client(cluster) as client:
        pids = client.run(os.getpid)
        killed = []

        def kill_one():
            if wait_for(lambda: path.exists() and len(rows(path)) >= 2, 120):
                victim = sorted(pids.values())[0]
                os.kill(victim, signal.SIGKILL)
                killed.append(victim)

        killer = threading.Thread(target=kill_one)
        killer.start()
        grid = ["ta001", "ta002", "ta011", "ta012", "ta021", "ta022"]
        table = experiments.run(["ig", ("ig", {"d": 4})], grid, seeds=2, budgets=["iterations=150"], csv=path,
                                client=client, progress=False)
        killer.join()
    assert killed, "no worker was killed"
    written = rows(path)
    keys = [(r["method"], r["parameters"], r["instance"], r["seed"], r["budget"]) for r in written]
    assert len(keys) == len(set(keys)) == 2 * len(grid) * 2
    assert all(row["status"] == "done" for row in written)
    assert len(table) == len(written)
    # The values do not depend on where a run ran: the same grid on local processes agrees.
    local = experiments.run(["ig", ("ig", {"d": 4})], grid, seeds=2, budgets=["iterations=150"], progress=False,
                            workers=2)
    assert without_timing(local) == without_timing(written)


def test_the_readmes_grid_runs_as_written(repository, tmp_path, monkeypatch):
    """The README's Python grid, the same calls on a smaller grid, with a client of a local cluster
    where the README connects to a scheduler."""
    distributed = pytest.importorskip("distributed")
    readme = (repository / "README.md").read_text()
    block = readme.split("## Experiments", 1)[1].split("```python\n", 1)[1].split("```", 1)[0]
    small = block.replace('["taillard-flowshop"]', '["ta001", "ta002"]').replace('"time_factor=5"', '"iterations=20"')
    assert small.count("iterations=20") == 2 and '"ta001", "ta002"' in small
    monkeypatch.chdir(tmp_path)
    assert 'client=Client("tcp://scheduler:8786")' in small
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, host="127.0.0.1",
                                  dashboard_address=None, silence_logs=40) as cluster, \
            distributed.Client(cluster) as client:
        exec(small.replace('client=Client("tcp://scheduler:8786")', "client=client"), {"client": client})
    written = rows(tmp_path / "grid.csv")
    # The second call (on the cluster) found every run of the first one done: 3 methods x 2 x 3 seeds.
    assert len(written) == 18 and all(row["status"] == "done" for row in written)
    assert "id=\"arpd-table\"" in (tmp_path / "report.html").read_text()


@pytest.mark.parametrize("n, critical", [(6, 0), (7, 2), (8, 3), (9, 5), (10, 8), (12, 13), (15, 25), (20, 52),
                                         (25, 89)])
def test_wilcoxon_exact_p_meets_the_published_critical_values(n, critical):
    # Two-sided α = 0.05: T ≤ critical is significant, critical + 1 is not (standard tables).
    def p(t):
        # n differences 1 … n whose negative ones have ranks summing to t.
        negative, rest = set(), t
        for rank in range(n, 0, -1):
            if rank <= rest:
                negative.add(rank)
                rest -= rank
        return experiments.wilcoxon([-r if r in negative else r for r in range(1, n + 1)])

    assert p(critical)["exact"] and p(critical)["statistic"] == critical
    assert p(critical)["p"] <= 0.05 < p(critical + 1)["p"]


def test_wilcoxon_known_values():
    # Every difference positive: p = 2 / 2^n exactly.
    assert experiments.wilcoxon([1, 2, 3, 4, 5])["p"] == pytest.approx(2 / 32)
    assert experiments.wilcoxon([0.5] * 0 + [3, -1, 2, 0, 0])["zeros"] == 2
    # With ties, by hand: |d| = 1 1 2 2 2 3, ranks 1.5 1.5 4 4 4 6; W+ = 1.5 + 4 + 4 + 6 = 15.5,
    # W− = 1.5 + 4 = 5.5; mean 10.5, variance 6·7·13/24 − (2³−2 + 3³−3)/48 = 22.75 − 0.625 = 22.125;
    # z = (15.5 − 10.5 − 0.5) / √22.125 = 0.9567, p = 0.3387.
    test = experiments.wilcoxon([1, -1, 2, 2, -2, 3])
    assert not test["exact"]
    assert (test["w_plus"], test["w_minus"]) == (15.5, 5.5)
    assert test["z"] == pytest.approx(4.5 / 22.125 ** 0.5)
    assert test["p"] == pytest.approx(0.33868, abs=1e-4)
    assert experiments.wilcoxon([0, 0])["p"] == 1


class _Tables(html.parser.HTMLParser):
    """The cells of each table by id, and the count of svg elements."""

    def __init__(self):
        super().__init__()
        self.tables, self.svgs, self.scripts = {}, 0, 0
        self._table, self._cell = None, None

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "table":
            self._table = self.tables.setdefault(attrs.get("id"), [])
        elif tag == "tr" and self._table is not None:
            self._table.append([])
        elif tag in ("td", "th") and self._table is not None:
            self._cell = [attrs.get("data-arpd"), ""]
        elif tag == "svg":
            self.svgs += 1
        elif tag in ("script", "link", "img", "iframe"):
            self.scripts += 1

    def handle_endtag(self, tag):
        if tag in ("td", "th") and self._cell is not None:
            self._table[-1].append(self._cell)
            self._cell = None
        elif tag == "table":
            self._table = None

    def handle_data(self, data):
        if self._cell is not None:
            self._cell[1] += data


@pytest.fixture(scope="module")
def results(tmp_path_factory):
    path = tmp_path_factory.mktemp("report") / "runs.csv"
    experiments.run(["ig", ("ig", {"d": 4, "T": 0.4}), "neh"], ["ta001", "ta002", "ta011", "ta012"], seeds=3,
                    budgets=["iterations=60"], csv=path, progress=False, workers=2)
    return path


def test_the_reports_arpd_table_is_the_csvs(results, tmp_path):
    page = experiments.report(results, tmp_path / "report.html")
    parsed = _Tables()
    parsed.feed(page)
    assert parsed.scripts == 0 and parsed.svgs >= 3
    assert "http://" not in page.replace('xmlns="http://www.w3.org/2000/svg"', "")
    table = parsed.tables["arpd-table"]
    labels = [cell[1] for cell in table[0][1:]]
    assert labels == ["ig", "ig T=0.4 d=4", "neh"]
    methods = {"ig": ("ig", "d=2"), "ig T=0.4 d=4": ("ig", "d=4"), "neh": ("neh", "")}
    written = rows(results)
    for line in table[1:]:
        group = line[0][1]
        for label, (exact, text) in zip(labels, line[1:]):
            method, part = methods[label]
            mine = [float(r["rpd"]) for r in written
                    if r["method"] == method and part in r["parameters"] and group in ("all", r["group"])]
            assert float(exact) == pytest.approx(sum(mine) / len(mine), abs=1e-6)
            assert text.split()[0] == f"{sum(mine) / len(mine):.3f}"
    comparisons = parsed.tables["comparison-table"]
    assert len(comparisons) == 1 + 3
    # Markdown and CSV tables for papers.
    assert experiments.report(results, tmp_path / "t.md").startswith("| group | ig | ig T=0.4 d=4 | neh |")
    assert experiments.report(results, tmp_path / "t.csv").startswith("group,ig ARPD,ig spread,")
    with pytest.raises(ValueError, match=r"\.html, \.md or \.csv"):
        experiments.report(results, tmp_path / "t.pdf")


def test_sched_report_writes_the_same_bytes(results, tmp_path):
    if not SCHED:
        pytest.skip("sched is not built")
    for name in ("r.html", "r.md", "r.csv"):
        done = subprocess.run([SCHED, "report", str(results), "-o", str(tmp_path / ("sched-" + name))],
                              capture_output=True, text=True, env=SCHED_ENV)
        assert done.returncode == 0, done.stderr
        experiments.report(str(results), tmp_path / ("python-" + name))
        assert (tmp_path / ("sched-" + name)).read_bytes() == (tmp_path / ("python-" + name)).read_bytes()


def _png_colours(path):
    """The distinct pixel values of an 8-bit RGB(A) PNG (no interlace)."""
    data = pathlib.Path(path).read_bytes()
    position, idat, header = 8, b"", None
    while position < len(data):
        length, kind = struct.unpack(">I4s", data[position:position + 8])
        body = data[position + 8:position + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        position += 12 + length
    width, height, depth, colour_type = header[:4]
    assert depth == 8 and colour_type in (2, 6)
    step = 3 if colour_type == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * step
    previous = bytearray(stride)
    colours = set()
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            left = line[x - step] if x >= step else 0
            up = previous[x]
            corner = previous[x - step] if x >= step else 0
            if kind == 1:
                line[x] = (line[x] + left) & 255
            elif kind == 2:
                line[x] = (line[x] + up) & 255
            elif kind == 3:
                line[x] = (line[x] + (left + up) // 2) & 255
            elif kind == 4:
                estimate = left + up - corner
                pa, pb, pc = abs(estimate - left), abs(estimate - up), abs(estimate - corner)
                line[x] = (line[x] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        if y % 4 == 0:
            colours.update(bytes(line[x:x + 3]) for x in range(0, stride, step * 4))
        previous = line
    return colours


def test_headless_chromium_draws_the_report(results, tmp_path):
    chromium = shutil.which("chromium")
    if chromium is None:
        pytest.skip("chromium is not installed (Debian: chromium)")
    page = tmp_path / "report.html"
    experiments.report(results, page)
    flags = [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
             "--disable-component-update", "--disable-sync", "--no-first-run", f"--user-data-dir={tmp_path / 'profile'}",
             "--hide-scrollbars", "--enable-logging=stderr", "--v=0"]
    # The browser runs without the sanitizers' runtime that a sanitized build preloads into Python.
    env = {k: v for k, v in os.environ.items() if k not in ("LD_PRELOAD", "ASAN_OPTIONS", "UBSAN_OPTIONS")}
    dom = subprocess.run(flags + ["--dump-dom", page.as_uri()], capture_output=True, text=True, timeout=120, env=env)
    assert dom.returncode == 0, dom.stderr
    assert 'id="arpd-table"' in dom.stdout and dom.stdout.count("<svg") >= 3
    assert "CONSOLE" not in dom.stderr and "Uncaught" not in dom.stderr, dom.stderr
    shot = tmp_path / "report.png"
    done = subprocess.run(flags + ["--window-size=1280,1600", f"--screenshot={shot}", page.as_uri()],
                          capture_output=True, text=True, timeout=120, env=env)
    assert done.returncode == 0 and shot.exists(), done.stderr
    assert len(_png_colours(shot)) > 20  # not a blank page
