"""The Dask example on a local cluster of two worker processes on 127.0.0.1,
started and stopped by the example itself."""

import os
import subprocess
import sys

import pytest


def test_dask_example_agrees_with_one_process(repository):
    pytest.importorskip("distributed")
    example = repository / "examples" / "python" / "dask_evaluate_many.py"
    done = subprocess.run([sys.executable, str(example), "--sequences", "4000", "--blocks", "4"],
                          capture_output=True, text=True, timeout=180, env=dict(os.environ))
    assert done.returncode == 0, done.stderr
    assert "on 2 workers" in done.stdout
    assert "equal evaluate_many's on this process: True" in done.stdout
