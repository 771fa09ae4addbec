"""pip install --no-build-isolation . into a fresh virtual environment that sees
Debian's packages, offline: the in-tree backend builds the core with CMake."""

import os
import subprocess
import sys


def test_pip_installs_the_package_offline(repository, tmp_path):
    venv = tmp_path / "venv"
    subprocess.run([sys.executable, "-m", "venv", "--system-site-packages", str(venv)], check=True)
    python = venv / "bin" / "python"
    env = dict(os.environ, PIP_NO_INDEX="1", PIP_DISABLE_PIP_VERSION_CHECK="1", PYTHONPATH="")
    env.setdefault("CMAKE_BUILD_PARALLEL_LEVEL", "2")
    subprocess.run(
        [str(python), "-m", "pip", "install", "--no-build-isolation", "--no-cache-dir", str(repository)],
        check=True, cwd=tmp_path, env=env,
    )
    probe = "import zurududo; print(zurududo.__file__); print(zurududo.Instance('flowshop', [[3, 2, 4], [2, 5, 1]]).evaluate([0, 1, 2]))"
    out = subprocess.run([str(python), "-c", probe], check=True, cwd=tmp_path, env=env, capture_output=True, text=True).stdout
    where, value = out.split()
    assert where.startswith(str(venv)) and value == "11"
