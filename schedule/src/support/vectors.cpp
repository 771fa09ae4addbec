// Vectors and matrices: allocation, release, copies and filling.
#include <cstddef>
#include <cstdlib>
#include <string>

#include "schedule/checked.h"
#include "schedule/schedule.h"
#include "support/allocation.h"
#include "support/failure.h"

namespace schedule {

namespace {

// A block of `count` elements of `element_size` bytes, or null when the
// request is negative or cannot be met. Sizes are formed in size_t, so no
// product overflows.
void* allocate_block(int count, std::size_t element_size) {
    if (count < 0) return nullptr;
    return std::malloc(static_cast<std::size_t>(count) * element_size);
}

template <class T>
T* new_vector(int len, const char* who) {
    T* v = static_cast<T*>(allocate_block(len, sizeof(T)));
    if (v == nullptr) fail(ErrorKind::memory, 1, who);
    return v;
}

template <class T>
void free_matrix(T** m, int rows) {
    for (int i = 0; i < rows; ++i) std::free(m[i]);
    std::free(m);
}

// Rows of the matrix are allocated in row order; row i has row_len(i)
// elements. When a row cannot be had, the rows before it are released.
template <class RowLength>
void** new_matrix(int rows, RowLength row_len, int size, const char* who) {
    void** m = static_cast<void**>(allocate_block(rows, sizeof(void*)));
    if (m == nullptr || size < 0) {
        std::free(m);
        fail(ErrorKind::memory, 1, who);
    }
    for (int i = 0; i < rows; ++i) {
        m[i] = allocate_block(row_len(i), static_cast<std::size_t>(size));
        if (m[i] == nullptr) {
            free_matrix(m, i);
            fail(ErrorKind::memory, 1, who);
        }
    }
    return m;
}

template <class T>
void copy_vector(const T* source, T* destination, int len) {
    for (int i = 0; i < len; ++i) destination[i] = source[i];
}

template <class T>
void fill_vector(T* vector, int len, T val) {
    for (int i = 0; i < len; ++i) vector[i] = val;
}

template <class T>
void fill_matrix(T** matrix, int rows, int cols, T val) {
    for (int i = 0; i < rows; ++i) fill_vector(matrix[i], cols, val);
}

void** new_rectangular(int rows, int cols, int size, const char* who) {
    return new_matrix(rows, [cols](int) { return cols; }, size, who);
}

}  // namespace

template <>
double* vector_or_throw<double>(int len) { return new_vector<double>(len, "Error in newDVector()"); }
template <>
float* vector_or_throw<float>(int len) { return new_vector<float>(len, "Error in newFVector()"); }
template <>
long* vector_or_throw<long>(int len) { return new_vector<long>(len, "Error in newLVector()"); }
template <>
int* vector_or_throw<int>(int len) { return new_vector<int>(len, "Error in newIVector()"); }

int** int_matrix_or_throw(int rows, int cols) {
    return reinterpret_cast<int**>(new_rectangular(rows, cols, sizeof(int), "Error in dyn_mat()\n"));
}

double* newDVector(int len) { return or_end_process([&] { return vector_or_throw<double>(len); }); }
float* newFVector(int len) { return or_end_process([&] { return vector_or_throw<float>(len); }); }
long* newLVector(int len) { return or_end_process([&] { return vector_or_throw<long>(len); }); }
int* newIVector(int len) {
    if (len <= 0) return static_cast<int*>(allocate_block(len, sizeof(int)));
    return or_end_process([&] { return vector_or_throw<int>(len); });
}

void** dyn_mat(int rows, int cols, int size) {
    return or_end_process([&] { return new_rectangular(rows, cols, size, "Error in dyn_mat()\n"); });
}
void** dyn_var_mat(int rows, const int* vcol, int size) {
    return or_end_process(
        [&] { return new_matrix(rows, [vcol](int i) { return vcol[i]; }, size, "Error in dyn_var_mat()\n"); });
}

template <class T>
Vector<T> allocate_vector(int len) {
    return Vector<T>(vector_or_throw<T>(len > 0 ? len : 1));
}
template Vector<int> allocate_vector<int>(int);
template Vector<long> allocate_vector<long>(int);
template Vector<double> allocate_vector<double>(int);

Matrix Matrix::allocate(int rows, int cols) { return Matrix(int_matrix_or_throw(rows, cols), rows); }

void Matrix::reset() noexcept {
    if (data_ != nullptr) free_matrix(data_, rows_);
    data_ = nullptr;
}

void free_mat_double(double** m, int rows) { free_matrix(m, rows); }
void free_mat_float(float** m, int rows) { free_matrix(m, rows); }
void free_mat_int(int** m, int rows) { free_matrix(m, rows); }
void free_mat_long(long** m, int rows) { free_matrix(m, rows); }

void copyDVector(const double* source, double* destination, int len) { copy_vector(source, destination, len); }
void copyFVector(const float* source, float* destination, int len) { copy_vector(source, destination, len); }
void copyIVector(const int* source, int* destination, int len) { copy_vector(source, destination, len); }
void copyLVector(const long* source, long* destin, int length) { copy_vector(source, destin, length); }

void copyrowDmatrix(const double* const* matrix, double* vector, int row, int cols) { copy_vector(matrix[row], vector, cols); }
void copyrowFmatrix(const float* const* matrix, float* vector, int row, int cols) { copy_vector(matrix[row], vector, cols); }
void copyrowImatrix(const int* const* matrix, int* vector, int row, int cols) { copy_vector(matrix[row], vector, cols); }
void copyrowLmatrix(const long* const* matrix, long* vector, int row, int cols) { copy_vector(matrix[row], vector, cols); }
void pasterowImatrix(int** matrix, const int* vector, int row, int cols) { copy_vector(vector, matrix[row], cols); }

void setval_Dvector(double* vector, int len, double val) { fill_vector(vector, len, val); }
void setval_Fvector(float* vector, int len, float val) { fill_vector(vector, len, val); }
void setval_Ivector(int* vector, int len, int val) { fill_vector(vector, len, val); }
void setval_Lvector(long* vector, int len, long val) { fill_vector(vector, len, val); }
void setval_Dmatrix(double** matrix, int rows, int cols, double val) { fill_matrix(matrix, rows, cols, val); }
void setval_Fmatrix(float** matrix, int rows, int cols, float val) { fill_matrix(matrix, rows, cols, val); }
void setval_Imatrix(int** matrix, int rows, int cols, int val) { fill_matrix(matrix, rows, cols, val); }
void setval_Lmatrix(long** matrix, int rows, int cols, long val) { fill_matrix(matrix, rows, cols, val); }

}  // namespace schedule
