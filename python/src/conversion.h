// Reading Python arguments into the library's plain types: integer
// sequences and tables of any integer dtype and byte order (or lists of
// ints), real vectors, each element checked against the range its record
// field can hold; strings, flags, numbers of seconds and file names. An
// argument of the wrong type is a TypeError naming the argument and the type
// received; a value out of range a ValueError naming the argument and the
// element. The library's own errors become Python exceptions through the
// translator init_conversion installs.
#ifndef ZURUDUDO_PYTHON_CONVERSION_H
#define ZURUDUDO_PYTHON_CONVERSION_H

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <climits>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include <schedule/checked.h>

namespace zurududo_python {

namespace py = pybind11;

// Integers read in C order, with the shape they had.
struct IntegerTable {
    std::vector<long long> values;
    py::ssize_t rows = 0;  // 1 for a one-dimensional argument
    py::ssize_t cols = 0;
};

// The most entries an integer argument may have (and rows, and columns):
// every count of the library's records is an int.
constexpr long long max_entries = INT_MAX;

// The entries of `object`, a one-dimensional (ndim 1) or two-dimensional
// (ndim 2) array-like of integers: an integer NumPy array of either byte
// order, or a list or tuple of ints. Booleans and real numbers are refused,
// as is any element outside low … high, and more than max_entries entries
// (before anything is copied). None, a str, a set, a generator and other
// objects that are no array-like are a TypeError.
IntegerTable integer_table(py::handle object, int ndim, const char* what, long long low = INT_MIN,
                           long long high = INT_MAX);

// The rows of a two-dimensional integer array (a list of lists is made one;
// an array of the other byte order is converted), one sequence a row.
class IntegerRows {
public:
    IntegerRows(py::handle object, const char* what);

    py::ssize_t rows() const noexcept { return rows_; }
    py::ssize_t cols() const noexcept { return cols_; }

    // Every entry, row after row: the array's own memory when it holds
    // C-ordered 32-bit integers, else a copy made in `storage`. ValueError for
    // an entry beyond the range of int, naming it.
    std::span<const int> entries(std::vector<int>& storage) const;

private:
    py::array array_;
    const char* what_;
    const char* base_ = nullptr;
    py::ssize_t rows_ = 0;
    py::ssize_t cols_ = 0;
    py::ssize_t row_stride_ = 0;
    py::ssize_t col_stride_ = 0;
    bool direct_ = false;
    bool (*read_)(const char* row, py::ssize_t stride, py::ssize_t cols, int* out, py::ssize_t& bad) = nullptr;
};

// A one-dimensional integer sequence as the library's int entries.
std::vector<int> int_sequence(py::handle object, const char* what = "sequence");

// The entries of a one-dimensional array-like of real numbers, each finite
// and at least `low`.
std::vector<double> real_vector(py::handle object, const char* what, double low);

// A Python int (or anything with __index__ but bool) within low … high:
// TypeError for another type, ValueError outside the range.
long long integer_argument(py::handle object, const char* what, long long low, long long high);

// A str: TypeError for another type.
std::string string_argument(py::handle object, const char* what);

// True or False (not None, nor another object that has a truth value).
bool flag_argument(py::handle object, const char* what);

// A number of seconds, an int or a float other than bool: positive and
// finite (ValueError otherwise, an int too large for a float included).
double seconds_argument(py::handle object, const char* what);

// Text from the library, which may hold bytes of a file that are not UTF-8;
// a NUL byte shows as \0.
py::str text(const std::string& bytes);

// A file name given as str, bytes or os.PathLike, as the file system takes
// it; ValueError for an embedded NUL byte, as Python's own open() gives.
std::string path_argument(py::handle path);

// A named-tuple type zurududo.NAME with the fields, set on the module.
PyObject* named_tuple(py::module_& m, const char* name, const char* fields, const char* doc);

// Raises ValueError (TypeError) with `message`.
[[noreturn]] void value_error(const std::string& message);
[[noreturn]] void type_error(const std::string& message);

// The name of an object's type, for a message.
std::string type_name(py::handle object);

}  // namespace zurududo_python

#endif  // ZURUDUDO_PYTHON_CONVERSION_H
