"""The build backend of ``pip install .``: the project's own CMake build, offline.

It needs nothing beyond what the CMake build needs (CMake, a C++20 compiler,
the Python headers and pybind11): the wheel is assembled here with the
standard library. ``--config-settings build-dir=DIR`` keeps the CMake build in
DIR (to be reused by the next install); otherwise it is made in a temporary
directory and removed.
"""

import base64
import hashlib
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
PACKAGE_FILES = ("__init__.py", "__init__.pyi", "py.typed")


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


def get_requires_for_build_wheel(config_settings=None):
    return []


def prepare_metadata_for_build_wheel(metadata_directory, config_settings=None):
    target = pathlib.Path(metadata_directory) / _dist_info()
    target.mkdir(parents=True, exist_ok=True)
    for name, content in _metadata_files().items():
        (target / name).write_bytes(content)
    return _dist_info()


def _build_core(build_dir):
    """Configures and builds the extension alone; returns the package directory it fills."""
    configure = [
        "cmake", "-S", str(ROOT), "-B", str(build_dir),
        "-DCMAKE_BUILD_TYPE=Release",
        f"-DPython3_EXECUTABLE={sys.executable}",
        "-DZURUDUDO_PYTHON=ON", "-DZURUDUDO_TESTS=OFF", "-DZURUDUDO_TOOLS=OFF", "-DZURUDUDO_INSTALL=OFF",
    ]
    jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", "2")
    subprocess.run(configure, check=True, stdout=sys.stderr)
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


def build_wheel(wheel_directory, config_settings=None, metadata_directory=None):
    build_dir = (config_settings or {}).get("build-dir")
    if build_dir:
        return _write_wheel(wheel_directory, _build_core(pathlib.Path(build_dir).resolve()))
    with tempfile.TemporaryDirectory(prefix="zurududo-build-") as temporary:
        return _write_wheel(wheel_directory, _build_core(pathlib.Path(temporary)))
