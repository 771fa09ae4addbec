"""pip install into fresh virtual environments, offline: the wheel made from
the package the build compiled, what the backend compiles itself, and an
interpreter without NumPy and pybind11, stopped at once."""

import os
import pathlib
import subprocess
import sys

import zurududo

OFFLINE = dict(os.environ, PIP_NO_INDEX="1", PIP_DISABLE_PIP_VERSION_CHECK="1", PYTHONPATH="")


def _venv(path, *options):
    subprocess.run([sys.executable, "-m", "venv", *options, str(path)], check=True)
    return path / "bin" / "python"


def test_pip_installs_the_built_package(repository, tmp_path):
    python = _venv(tmp_path / "venv", "--system-site-packages")
    built = pathlib.Path(zurududo.__file__).parent  # <build>/python/zurududo
    subprocess.run(
        [str(python), "-m", "pip", "install", "--no-build-isolation", "--no-cache-dir",
         "--config-settings", f"core-dir={built}", str(repository)],
        check=True, cwd=tmp_path, env=OFFLINE,
    )
    probe = "import zurududo; print(zurududo.__file__); print(zurududo.Instance('flowshop', [[3, 2, 4], [2, 5, 1]]).evaluate([0, 1, 2]))"
    out = subprocess.run([str(python), "-c", probe], check=True, cwd=tmp_path, env=OFFLINE,
                         capture_output=True, text=True).stdout
    where, value = out.split()
    assert where.startswith(str(tmp_path / "venv")) and value == "11"


def test_backend_configures_a_build_of_the_extension(repository, tmp_path):
    sys.path.insert(0, str(repository / "python" / "build_backend"))
    try:
        import zurududo_build
    finally:
        sys.path.pop(0)
    run = subprocess.run(zurududo_build.configure_command(tmp_path / "build"), capture_output=True, text=True)
    assert run.returncode == 0, run.stdout + run.stderr
    assert (tmp_path / "build" / "python").is_dir()


def test_pip_stops_at_once_without_numpy_and_pybind11(repository, tmp_path):
    python = _venv(tmp_path / "bare")  # without the system's packages
    run = subprocess.run([str(python), "-m", "pip", "install", "--no-build-isolation", str(repository)],
                         cwd=tmp_path, env=OFFLINE, capture_output=True, text=True)
    assert run.returncode != 0
    assert f"pybind11 and NumPy not found for {python}" in run.stderr + run.stdout
    assert "sudo apt-get install python3-dev python3-numpy pybind11-dev python3-pybind11" in run.stderr + run.stdout
