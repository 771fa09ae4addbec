# The Python package (python/): needs Python 3 with its headers, pybind11 and
# NumPy, and the heuristics, which it exposes. Debian's interpreter is
# preferred, since it is the one whose packages (pybind11, NumPy) are
# installed; -DPython3_EXECUTABLE=... picks another. A sanitized library
# cannot be loaded into an interpreter built without the sanitizer unless the
# sanitizer's runtime is preloaded, so those builds leave the package out
# unless it is asked for (-DZURUDUDO_PYTHON=ON; with ZURUDUDO_SANITIZE its
# tests then run with the runtime preloaded, python/CMakeLists.txt).
string(TOUPPER "${ZURUDUDO_PYTHON}" zurududo_python_value)
if(zurududo_python_value STREQUAL "AUTO" AND (ZURUDUDO_SANITIZE OR ZURUDUDO_THREAD_SANITIZE OR ZURUDUDO_FUZZ))
  return()
endif()
if(NOT ZURUDUDO_HEURISTICS)
  zurududo_missing(ZURUDUDO_PYTHON "the Python package needs ZURUDUDO_HEURISTICS" "")
  return()
endif()
if(NOT DEFINED Python3_EXECUTABLE AND EXISTS /usr/bin/python3)
  set(Python3_EXECUTABLE /usr/bin/python3)
endif()
find_package(Python3 COMPONENTS Interpreter Development.Module QUIET)
if(NOT Python3_FOUND)
  zurududo_missing(ZURUDUDO_PYTHON "Python 3 with its headers is not found" "python3-dev")
  return()
endif()
if(NOT pybind11_DIR)
  execute_process(COMMAND ${Python3_EXECUTABLE} -c "import pybind11; print(pybind11.get_cmake_dir())"
    OUTPUT_VARIABLE zurududo_pybind11_dir OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
find_package(pybind11 CONFIG QUIET HINTS ${zurududo_pybind11_dir})
execute_process(COMMAND ${Python3_EXECUTABLE} -c "import numpy"
  RESULT_VARIABLE zurududo_numpy_missing OUTPUT_QUIET ERROR_QUIET)
if(NOT pybind11_FOUND OR zurududo_numpy_missing)
  zurududo_missing(ZURUDUDO_PYTHON "pybind11 or NumPy is not found for ${Python3_EXECUTABLE}"
                   "pybind11-dev python3-pybind11 python3-numpy")
  return()
endif()
set(ZURUDUDO_PYTHON_ENABLED ON)
add_subdirectory(python)
