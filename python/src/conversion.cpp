// Python values to the library's plain types and back, and its errors as
// Python exceptions.
#include "conversion.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <exception>
#include <limits>
#include <type_traits>
#include <utility>

namespace zurududo_python {

namespace {

// `message` with each NUL byte written \0: Python would cut it there.
std::string nul_shown(std::string message) {
    for (std::size_t at = message.find('\0'); at != std::string::npos; at = message.find('\0', at + 2))
        message.replace(at, 1, "\\0");
    return message;
}

}  // namespace

void value_error(const std::string& message) { throw py::value_error(nul_shown(message)); }
void type_error(const std::string& message) { throw py::type_error(nul_shown(message)); }

std::string type_name(py::handle object) { return Py_TYPE(object.ptr())->tp_name; }

namespace {

std::string position(const char* what, py::ssize_t row, py::ssize_t col, int ndim) {
    std::string at = std::string(what) + "[";
    if (ndim == 2) at += std::to_string(row) + "][";
    return at + std::to_string(col) + "]";
}

// A Python int, or an object with __index__ other than bool; sets `ok`.
long long python_integer(PyObject* item, bool& ok, bool& overflow) {
    ok = false;
    overflow = false;
    if (PyBool_Check(item) || !PyIndex_Check(item)) return 0;
    py::object index = py::reinterpret_steal<py::object>(PyNumber_Index(item));
    if (!index) throw py::error_already_set();
    int over = 0;
    const long long value = PyLong_AsLongLongAndOverflow(index.ptr(), &over);
    if (value == -1 && PyErr_Occurred()) throw py::error_already_set();
    ok = true;
    overflow = over != 0;
    return value;
}

void check_range(long long value, bool overflow, const char* what, py::ssize_t row, py::ssize_t col, int ndim,
                 long long low, long long high) {
    if (overflow || value < low || value > high)
        value_error(position(what, row, col, ndim) + " is " + (overflow ? std::string("too large") : std::to_string(value)) +
                    "; it must be between " + std::to_string(low) + " and " + std::to_string(high));
}

template <class T>
void read_cells(const py::array& array, IntegerTable& table, const char* what, int ndim, long long low,
                long long high) {
    const auto* base = static_cast<const char*>(array.data());
    const py::ssize_t row_stride = ndim == 2 ? array.strides(0) : 0;
    const py::ssize_t col_stride = array.strides(ndim - 1);
    table.values.resize(static_cast<std::size_t>(table.rows * table.cols));
    long long* out = table.values.data();
    for (py::ssize_t i = 0; i < table.rows; ++i) {
        const char* row = base + i * row_stride;
        for (py::ssize_t j = 0; j < table.cols; ++j) {
            T cell;
            std::memcpy(&cell, row + j * col_stride, sizeof cell);
            bool overflow = false;
            if constexpr (std::is_unsigned_v<T> && sizeof(T) >= sizeof(long long))
                overflow = cell > static_cast<T>(std::numeric_limits<long long>::max());
            const long long value = static_cast<long long>(cell);
            if (overflow || value < low || value > high) check_range(value, overflow, what, i, j, ndim, low, high);
            *out++ = value;
        }
    }
}

template <class... Types>
bool read_typed(const py::array& array, IntegerTable& table, const char* what, int ndim, long long low,
                long long high) {
    const char kind = array.dtype().kind();
    const auto size = array.dtype().itemsize();
    return ((kind == (std::is_signed_v<Types> ? 'i' : 'u') && size == static_cast<py::ssize_t>(sizeof(Types)) &&
             (read_cells<Types>(array, table, what, ndim, low, high), true)) ||
            ...);
}

// Entries of one row as ints; false at the first beyond int's range.
template <class T>
bool read_row(const char* row, py::ssize_t stride, py::ssize_t cols, int* out, py::ssize_t& bad) {
    for (py::ssize_t j = 0; j < cols; ++j) {
        T cell;
        std::memcpy(&cell, row + j * stride, sizeof cell);
        if (std::cmp_less(cell, INT_MIN) || std::cmp_greater(cell, INT_MAX)) {
            bad = j;
            return false;
        }
        out[j] = static_cast<int>(cell);
    }
    return true;
}

template <class T>
bool choose_reader(char kind, py::ssize_t size,
                   bool (*&read)(const char*, py::ssize_t, py::ssize_t, int*, py::ssize_t&)) {
    if (kind != (std::is_signed_v<T> ? 'i' : 'u') || size != static_cast<py::ssize_t>(sizeof(T))) return false;
    read = read_row<T>;
    return true;
}

const char* dimensions(int ndim) { return ndim == 1 ? "one-dimensional" : "two-dimensional"; }

// TypeError unless `object` is an array-like NumPy reads as an array of
// numbers: an array, a list, a tuple, a range or another sequence, or an
// object with an array interface or a buffer. A str or bytes, a set, a dict,
// a generator, None and a lone number are not.
void require_array_like(py::handle object, const char* what, int ndim) {
    PyObject* o = object.ptr();
    const bool text = PyUnicode_Check(o) || PyBytes_Check(o) || PyByteArray_Check(o);
    const bool array_like = py::isinstance<py::array>(object) || PyList_Check(o) || PyTuple_Check(o) ||
                            (!text && (PySequence_Check(o) || PyObject_CheckBuffer(o) ||
                                       PyObject_HasAttrString(o, "__array__") ||
                                       PyObject_HasAttrString(o, "__array_interface__")));
    if (!array_like)
        type_error(std::string("the ") + what + " must be a " + dimensions(ndim) +
                   " array-like of integers (a list, a tuple or a NumPy array), not " + type_name(object));
}

// The array itself, or a copy in native byte order when it has the other.
py::array native_order(py::array array) {
    if (array.dtype().attr("isnative").cast<bool>()) return array;
    return array.attr("astype")(array.dtype().attr("newbyteorder")("="));
}

// ValueError when an argument has more entries than a record can take,
// before any is copied.
void check_count(const char* what, py::ssize_t rows, py::ssize_t cols) {
    if (rows > max_entries || cols > max_entries || (rows > 0 && cols > max_entries / rows))
        value_error(std::string("the ") + what + " has " +
                    (rows == 1 ? std::to_string(cols) : std::to_string(rows) + " × " + std::to_string(cols)) +
                    " entries; at most " + std::to_string(max_entries) + " are taken");
}

}  // namespace

IntegerTable integer_table(py::handle object, int ndim, const char* what, long long low, long long high) {
    IntegerTable table;
    require_array_like(object, what, ndim);
    // A list or tuple of ints, read without building an array. A list is
    // read from a tuple of its items: an item's __index__ may change the list
    // while it is read, but not the tuple, which also keeps the items alive.
    if (ndim == 1 && (PyList_Check(object.ptr()) || PyTuple_Check(object.ptr()))) {
        const py::tuple held = py::reinterpret_steal<py::tuple>(PySequence_Tuple(object.ptr()));
        if (!held) throw py::error_already_set();
        const py::ssize_t n = PyTuple_GET_SIZE(held.ptr());
        check_count(what, 1, n);
        PyObject** items = &PyTuple_GET_ITEM(held.ptr(), 0);
        table.rows = 1;
        table.cols = n;
        table.values.resize(static_cast<std::size_t>(n));
        bool all_integers = true;
        for (py::ssize_t k = 0; k < n && all_integers; ++k) {
            bool ok = false;
            bool overflow = false;
            const long long value = python_integer(items[k], ok, overflow);
            if (!ok) {
                // A nested list is an array of the wrong shape: let NumPy say.
                if (PyList_Check(items[k]) || PyTuple_Check(items[k])) {
                    all_integers = false;
                    break;
                }
                value_error(position(what, 0, k, 1) + " is not an integer (" + type_name(items[k]) + ")");
            }
            check_range(value, overflow, what, 0, k, 1, low, high);
            table.values[static_cast<std::size_t>(k)] = value;
        }
        if (all_integers) return table;
        table = IntegerTable{};
    }
    py::array array = py::array::ensure(object);
    if (!array) value_error(std::string("the ") + what + " must be a " + dimensions(ndim) + " array of integers");
    if (array.ndim() == ndim) check_count(what, ndim == 2 ? array.shape(0) : 1, array.shape(ndim - 1));
    array = native_order(array);
    const char kind = array.dtype().kind();
    // An empty list comes out of NumPy as reals: no element, nothing to refuse.
    const bool empty_numbers = array.size() == 0 && (kind == 'f' || kind == 'i' || kind == 'u');
    if (ndim == 2 && array.ndim() == 1 && empty_numbers) return table;
    if (array.ndim() != ndim)
        value_error(std::string("the ") + what + " must be a " + dimensions(ndim) + " array of integers; it has " +
                    std::to_string(array.ndim()) + " dimension" + (array.ndim() == 1 ? "" : "s"));
    table.rows = ndim == 2 ? array.shape(0) : 1;
    table.cols = array.shape(ndim - 1);
    if (empty_numbers) return table;
    if (kind != 'i' && kind != 'u')
        value_error(std::string("the ") + what + " must hold integers, not " +
                    std::string(py::str(array.dtype())));
    if (!read_typed<std::int8_t, std::int16_t, std::int32_t, std::int64_t, std::uint8_t, std::uint16_t,
                    std::uint32_t, std::uint64_t>(array, table, what, ndim, low, high))
        value_error(std::string("the ") + what + " has an integer type that is not supported (" +
                    std::string(py::str(array.dtype())) + ")");
    return table;
}

IntegerRows::IntegerRows(py::handle object, const char* what) : what_(what) {
    require_array_like(object, what, 2);
    array_ = py::array::ensure(object);
    if (!array_) value_error(std::string("the ") + what + " must be a two-dimensional array of integers");
    array_ = native_order(array_);
    const char kind = array_.dtype().kind();
    const bool empty_numbers = array_.size() == 0 && (kind == 'f' || kind == 'i' || kind == 'u');
    if (array_.ndim() == 1 && empty_numbers) return;
    if (array_.ndim() != 2)
        value_error(std::string("the ") + what + " must be a two-dimensional array of integers, one sequence a row; it has " +
                    std::to_string(array_.ndim()) + " dimension" + (array_.ndim() == 1 ? "" : "s"));
    rows_ = array_.shape(0);
    cols_ = array_.shape(1);
    if (empty_numbers) return;
    if (kind != 'i' && kind != 'u')
        value_error(std::string("the ") + what + " must hold integers, not " + std::string(py::str(array_.dtype())));
    base_ = static_cast<const char*>(array_.data());
    row_stride_ = array_.strides(0);
    col_stride_ = array_.strides(1);
    const auto size = array_.dtype().itemsize();
    direct_ = kind == 'i' && size == static_cast<py::ssize_t>(sizeof(int)) &&
              col_stride_ == static_cast<py::ssize_t>(sizeof(int)) &&
              reinterpret_cast<std::uintptr_t>(base_) % alignof(int) == 0 && row_stride_ % alignof(int) == 0;
    if (!(choose_reader<std::int8_t>(kind, size, read_) || choose_reader<std::int16_t>(kind, size, read_) ||
          choose_reader<std::int32_t>(kind, size, read_) || choose_reader<std::int64_t>(kind, size, read_) ||
          choose_reader<std::uint8_t>(kind, size, read_) || choose_reader<std::uint16_t>(kind, size, read_) ||
          choose_reader<std::uint32_t>(kind, size, read_) || choose_reader<std::uint64_t>(kind, size, read_)))
        value_error(std::string("the ") + what + " has an integer type that is not supported (" +
                    std::string(py::str(array_.dtype())) + ")");
}

std::span<const int> IntegerRows::entries(std::vector<int>& storage) const {
    if (rows_ == 0 || cols_ == 0) return {};
    const std::size_t count = static_cast<std::size_t>(rows_) * static_cast<std::size_t>(cols_);
    if (direct_ && row_stride_ == cols_ * static_cast<py::ssize_t>(sizeof(int)))
        return {reinterpret_cast<const int*>(base_), count};
    storage.resize(count);
    for (py::ssize_t i = 0; i < rows_; ++i) {
        py::ssize_t bad = 0;
        if (!read_(base_ + i * row_stride_, col_stride_, cols_, storage.data() + i * cols_, bad))
            value_error(position(what_, i, bad, 2) + " is beyond the range of job indices");
    }
    return {storage.data(), count};
}

std::vector<int> int_sequence(py::handle object, const char* what) {
    const IntegerTable table = integer_table(object, 1, what);
    return std::vector<int>(table.values.begin(), table.values.end());
}

std::vector<double> real_vector(py::handle object, const char* what, double low) {
    require_array_like(object, what, 1);
    py::array array = py::array::ensure(object);
    if (!array || array.ndim() != 1)
        value_error(std::string("the ") + what + " must be a one-dimensional array of numbers");
    const char kind = array.dtype().kind();
    if (array.size() > 0 && kind != 'f' && kind != 'i' && kind != 'u')
        value_error(std::string("the ") + what + " must hold real numbers, not " + std::string(py::str(array.dtype())));
    check_count(what, 1, array.size());
    const auto reals = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(array);
    if (!reals) throw py::error_already_set();
    std::vector<double> values(reals.data(), reals.data() + reals.size());
    for (std::size_t k = 0; k < values.size(); ++k) {
        if (!std::isfinite(values[k]) || values[k] < low)
            value_error(std::string(what) + "[" + std::to_string(k) + "] is " + std::string(py::str(py::float_(values[k]))) +
                        "; it must be a finite number of at least " + std::string(py::str(py::float_(low))));
    }
    return values;
}

long long integer_argument(py::handle object, const char* what, long long low, long long high) {
    bool ok = false;
    bool overflow = false;
    const long long value = python_integer(object.ptr(), ok, overflow);
    if (!ok) type_error(std::string("the ") + what + " must be an integer, not " + type_name(object));
    if (overflow || value < low || value > high)
        value_error(std::string("the ") + what + " is " + (overflow ? std::string("too large") : std::to_string(value)) +
                    "; it must be between " + std::to_string(low) + " and " + std::to_string(high));
    return value;
}

std::string string_argument(py::handle object, const char* what) {
    if (!PyUnicode_Check(object.ptr())) type_error(std::string("the ") + what + " must be a str, not " + type_name(object));
    return object.cast<std::string>();
}

bool flag_argument(py::handle object, const char* what) {
    if (!PyBool_Check(object.ptr())) type_error(std::string(what) + " must be True or False, not " + type_name(object));
    return object.ptr() == Py_True;
}

double seconds_argument(py::handle object, const char* what) {
    PyObject* o = object.ptr();
    if (PyBool_Check(o) || !(PyFloat_Check(o) || PyLong_Check(o)))
        type_error(std::string(what) + " must be a number of seconds (an int or a float), not " + type_name(object));
    const double seconds = PyFloat_AsDouble(o);
    if (seconds == -1.0 && PyErr_Occurred()) {
        PyErr_Clear();  // an int beyond the floats
        value_error(std::string(what) + " is too large: it must be a positive, finite number of seconds");
    }
    if (!(seconds > 0) || !std::isfinite(seconds))
        value_error(std::string(what) + " is " + std::string(py::str(py::float_(seconds))) +
                    ": it must be a positive, finite number of seconds");
    return seconds;
}

// ---------------------------------------------------------------------------
// The library's errors as Python exceptions
// ---------------------------------------------------------------------------

namespace {

// zurududo.Error, set up with the module.
PyObject* error_type = nullptr;

// A file the system refused is the OSError of its error number (Python
// picks the subclass: FileNotFoundError, PermissionError, IsADirectoryError,
// ...), with the file's name; an open or read a signal interrupted raises
// what the signal's handler raises (KeyboardInterrupt), else
// InterruptedError. Another file failure is OSError, a rejected instance
// zurududo.Error (its message the one line that names the file, the place
// and the fault; `report` the loader's whole report), a bad
// argument ValueError, storage MemoryError.
void raise_python_error(const schedule::Error& e) {
    const py::str message = text(e.what());
    switch (e.kind()) {
        case schedule::ErrorKind::file:
            if (e.os_error() == EINTR && PyErr_CheckSignals() != 0) return;
            if (e.os_error() == 0 && e.code() == 2 && e.what() != "File not found: " + e.info()) {
                // Neither a file nor a benchmark name: the message says which name is near.
                const py::tuple args = py::make_tuple(ENOENT, message);
                PyErr_SetObject(PyExc_OSError, args.ptr());
            } else if (e.os_error() != 0 || e.code() == 2) {
                const int number = e.os_error() != 0 ? e.os_error() : ENOENT;
                const py::tuple args =
                    py::make_tuple(number, std::strerror(number), text(e.path().empty() ? e.info() : e.path()));
                PyErr_SetObject(PyExc_OSError, args.ptr());
            } else {
                PyErr_SetObject(PyExc_OSError, message.ptr());
            }
            return;
        case schedule::ErrorKind::instance: {
            const py::object error = py::reinterpret_borrow<py::object>(error_type)(message);
            error.attr("report") = text(e.report());
            error.attr("code") = e.code();
            error.attr("kind") = std::string(schedule::error_kind_name(e.kind()));
            PyErr_SetObject(error_type, error.ptr());
            return;
        }
        case schedule::ErrorKind::memory:
            PyErr_SetObject(PyExc_MemoryError, message.ptr());
            return;
        case schedule::ErrorKind::argument:
            PyErr_SetObject(PyExc_ValueError, message.ptr());
            return;
    }
}

}  // namespace

std::string path_argument(py::handle path) {
    const py::bytes encoded = py::module_::import("os").attr("fsencode")(path);
    std::string file = encoded;
    if (file.find('\0') != std::string::npos) value_error("embedded null byte");
    return file;
}

PyObject* named_tuple(py::module_& m, const char* name, const char* fields, const char* doc) {
    py::object type = py::module_::import("collections").attr("namedtuple")(name, fields, py::arg("module") = "zurududo");
    type.attr("__doc__") = doc;
    m.attr(name) = type;
    return type.release().ptr();
}

py::str text(const std::string& bytes) {
    const std::string shown = nul_shown(bytes);
    return py::reinterpret_steal<py::str>(
        PyUnicode_DecodeUTF8(shown.data(), static_cast<py::ssize_t>(shown.size()), "replace"));
}

void init_conversion(py::module_& m) {
    static py::exception<schedule::Error> error(m, "Error", PyExc_ValueError);
    error.doc() =
        "An instance file the loader rejected. The message is one line naming the file, the place and the fault "
        "(ta.txt:3: PT[1][2] is not an integer (\"x\")); `report` is the loader's whole report.";
    error_type = error.ptr();
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (const schedule::Error& e) {
            raise_python_error(e);
        }
    });
}

}  // namespace zurududo_python
