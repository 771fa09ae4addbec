// Reading Python array-likes into the library's plain types: integer
// sequences and tables of any integer dtype (or lists of ints), real vectors,
// each element checked against the range its record field can hold. Every
// failure is a ValueError naming the argument and the element.
#ifndef ZURUDUDO_PYTHON_ARRAYS_H
#define ZURUDUDO_PYTHON_ARRAYS_H

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace zurududo_python {

namespace py = pybind11;

// Integers read in C order, with the shape they had.
struct IntegerTable {
    std::vector<long long> values;
    py::ssize_t rows = 0;  // 1 for a one-dimensional argument
    py::ssize_t cols = 0;
};

// The entries of `object`, a one-dimensional (ndim 1) or two-dimensional
// (ndim 2) array-like of integers: an integer NumPy array, or a list or
// tuple of ints. Booleans and real numbers are refused, as is any element
// outside low … high.
IntegerTable integer_table(py::handle object, int ndim, const char* what, long long low = INT_MIN,
                           long long high = INT_MAX);

// The rows of a two-dimensional integer array (a list of lists is made one),
// one sequence a row, to be read by several threads without the GIL: a row
// of contiguous 32-bit integers is used where it lies, any other is copied
// into the caller's buffer.
class IntegerRows {
public:
    IntegerRows(py::handle object, const char* what);

    py::ssize_t rows() const noexcept { return rows_; }
    py::ssize_t cols() const noexcept { return cols_; }

    // Row `i` (resizing `buffer` when a copy is needed); an entry beyond the
    // range of int gives false and what is wrong with it in `problem`.
    bool row(py::ssize_t i, std::vector<int>& buffer, const int*& entries, std::string& problem) const;

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

// A Python int (or anything with __index__ but bool) within low … high.
long long integer_argument(py::handle object, const char* what, long long low, long long high);

// Raises ValueError with `message`.
[[noreturn]] void value_error(const std::string& message);

}  // namespace zurududo_python

#endif  // ZURUDUDO_PYTHON_ARRAYS_H
