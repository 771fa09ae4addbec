"""The build backend of ``pip install .``: the project's own CMake build, offline.

It needs nothing beyond what the CMake build needs (CMake, a C++20 compiler,
the Python headers, pybind11 and NumPy for the interpreter running it): the
wheel is assembled here with the standard library. Without pybind11 or NumPy
it stops before pip looks for anything, with the line that installs them.

``--config-settings build-dir=DIR`` keeps the CMake build in DIR (to be reused
by the next install); otherwise it is made in a temporary directory and
removed. ``--config-settings core-dir=DIR`` takes the package a CMake build of
the project made (``<build>/python/zurududo``) and compiles nothing.
"""

import base64
import hashlib
import importlib.util
import os
import pathlib
import subprocess
import sys
import sysconfig
import tempfile
import zipfile

ROOT = pathlib.Path(__file__).resolve().parents[2]
PACKAGE = ROOT / "python" / "zurududo"
NAME = "zurududo"
PACKAGE_FILES = ("__init__.py", "__init__.pyi", "py.typed", "experiments.py")


def _version():
    return (ROOT / "VERSION").read_text().strip()


def _dist_info():
    return f"{NAME}-{_version()}.dist-info"


def _tag():
    interpreter = f"cp{sys.version_info.major}{sys.version_info.minor}"
    platform = sysconfig.get_platform().replace("-", "_").replace(".", "_")
    return f"{interpreter}-{interpreter}{sys.abiflags}-{platform}"


def _metadata_files():
    metadata = (
        "Metadata-Version: 2.1\n"
        f"Name: {NAME}\n"
        f"Version: {_version()}\n"
        "Summary: Deterministic machine scheduling: instances and evaluators in compiled code\n"
        "License: MIT\n"
        "Requires-Python: >=3.9\n"
        "Requires-Dist: numpy\n"
    )
    wheel = f"Wheel-Version: 1.0\nGenerator: zurududo_build\nRoot-Is-Purelib: false\nTag: {_tag()}\n"
    return {"METADATA": metadata.encode(), "WHEEL": wheel.encode()}


def _check_build_packages():
    """Stops the install at once when this interpreter lacks pybind11 or NumPy."""
    missing = [name for name, module in (("pybind11", "pybind11"), ("NumPy", "numpy"))
               if importlib.util.find_spec(module) is None]
    if missing:
        raise SystemExit(
            f"zurududo: {' and '.join(missing)} not found for {sys.executable} (Python "
            f"{sys.version_info.major}.{sys.version_info.minor}), which runs this build.\n"
            "zurududo is built with Debian's Python and its packages, offline:\n"
            "  sudo apt-get install python3-dev python3-numpy pybind11-dev python3-pybind11 python3-venv\n"
            "  /usr/bin/python3 -m venv --system-site-packages .venv\n"
            "  .venv/bin/python -m pip install --no-build-isolation .\n"
            "(without --no-build-isolation, pip hides the system's packages from the build)")


def get_requires_for_build_wheel(config_settings=None):
    _check_build_packages()
    return []


def prepare_metadata_for_build_wheel(metadata_directory, config_settings=None):
    _check_build_packages()
    target = pathlib.Path(metadata_directory) / _dist_info()
    target.mkdir(parents=True, exist_ok=True)
    for name, content in _metadata_files().items():
        (target / name).write_bytes(content)
    return _dist_info()


def configure_command(build_dir):
    """The configuration of a build that makes the extension alone."""
    return [
        "cmake", "-S", str(ROOT), "-B", str(build_dir),
        # -O2, as the project's default build, at which its performance
        # figures are measured (docs/performance.md), without debug information.
        # pybind11 would add link-time optimisation to a release build: the
        # default build has none, and only the bindings' own code would get it.
        "-DCMAKE_BUILD_TYPE=Release", "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG",
        "-DCMAKE_INTERPROCEDURAL_OPTIMIZATION=OFF",
        f"-DPython3_EXECUTABLE={sys.executable}",
        "-DZURUDUDO_PYTHON=ON", "-DZURUDUDO_TESTS=OFF", "-DZURUDUDO_TOOLS=OFF", "-DZURUDUDO_INSTALL=OFF",
    ]


def _build_core(build_dir):
    """Configures and builds the extension alone; returns the package directory it fills."""
    jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", str(os.cpu_count() or 2))
    subprocess.run(configure_command(build_dir), check=True, stdout=sys.stderr)
    subprocess.run(["cmake", "--build", str(build_dir), "--target", "_core", "-j", jobs], check=True, stdout=sys.stderr)
    return pathlib.Path(build_dir) / "python" / NAME


def _record_line(arcname, data):
    digest = base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode()
    return f"{arcname},sha256={digest},{len(data)}\n"


def _write_wheel(wheel_directory, built):
    entries = {f"{NAME}/{name}": (PACKAGE / name).read_bytes() for name in PACKAGE_FILES}
    for core in built.glob("_core*.so"):
        entries[f"{NAME}/{core.name}"] = core.read_bytes()
    if not any(name.startswith(f"{NAME}/_core") for name in entries):
        raise RuntimeError(f"the build left no compiled core in {built}")
    for name, content in _metadata_files().items():
        entries[f"{_dist_info()}/{name}"] = content
    record = "".join(_record_line(name, data) for name, data in entries.items())
    record += f"{_dist_info()}/RECORD,,\n"
    entries[f"{_dist_info()}/RECORD"] = record.encode()
    wheel_name = f"{NAME}-{_version()}-{_tag()}.whl"
    with zipfile.ZipFile(pathlib.Path(wheel_directory) / wheel_name, "w", zipfile.ZIP_DEFLATED) as wheel:
        for name, data in entries.items():
            info = zipfile.ZipInfo(name, date_time=(1980, 1, 1, 0, 0, 0))
            info.external_attr = (0o755 if name.endswith(".so") else 0o644) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            wheel.writestr(info, data)
    return wheel_name


def _prebuilt_core(core_dir):
    """The package a CMake build made, checked to be for this interpreter."""
    built = pathlib.Path(core_dir).resolve()
    suffix = sysconfig.get_config_var("EXT_SUFFIX")
    if not (built / f"_core{suffix}").is_file():
        found = ", ".join(sorted(core.name for core in built.glob("_core*"))) or "nothing"
        raise SystemExit(f"zurududo: core-dir {built} holds no _core{suffix} for {sys.executable} (found: {found})")
    return built


def build_wheel(wheel_directory, config_settings=None, metadata_directory=None):
    _check_build_packages()
    core_dir = (config_settings or {}).get("core-dir")
    if core_dir:
        return _write_wheel(wheel_directory, _prebuilt_core(core_dir))
    build_dir = (config_settings or {}).get("build-dir")
    if build_dir:
        return _write_wheel(wheel_directory, _build_core(pathlib.Path(build_dir).resolve()))
    with tempfile.TemporaryDirectory(prefix="zurududo-build-") as temporary:
        return _write_wheel(wheel_directory, _build_core(pathlib.Path(temporary)))
