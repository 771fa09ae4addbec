// Printing vectors and matrices on standard output.
#include <cstdio>

#include "schedule/schedule.h"
#include "support/text_out.h"

namespace schedule {

namespace {

template <class T>
void print_vector(const T* vector, int len) {
    TextOut out(stdout);
    put_vector(out, vector, len);
}

template <class T>
void print_matrix(const T* const* matrix, int rows, int cols) {
    TextOut out(stdout);
    put_matrix(out, matrix, rows, cols);
}

}  // namespace

void print_int_vector(const int* vector, int len) { print_vector(vector, len); }
void print_long_vector(const long* vector, int len) { print_vector(vector, len); }
void print_float_vector(const float* vector, int len) { print_vector(vector, len); }
void print_double_vector(const double* vector, int len) { print_vector(vector, len); }

void print_int_matrix(const int* const* matrix, int rows, int cols) { print_matrix(matrix, rows, cols); }
void print_long_matrix(const long* const* matrix, int rows, int cols) { print_matrix(matrix, rows, cols); }
void print_float_matrix(const float* const* matrix, int rows, int cols) { print_matrix(matrix, rows, cols); }
void print_double_matrix(const double* const* matrix, int rows, int cols) { print_matrix(matrix, rows, cols); }

}  // namespace schedule
