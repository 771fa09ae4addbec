// schedule — the checked interface: owning storage for the library's vectors and matrices.
// Part of <schedule/checked.h>, which includes every part.
#ifndef SCHEDULE_CHECKED_STORAGE_H
#define SCHEDULE_CHECKED_STORAGE_H

#include <cstdlib>
#include <memory>

#include "schedule/checked/error.h"

namespace schedule {

// Vectors from the library's allocators, released with std::free.
struct FreeBlock {
    void operator()(void* block) const noexcept { std::free(block); }
};
template <class T>
using Vector = std::unique_ptr<T[], FreeBlock>;

// An int matrix from dyn_mat, released with free_mat_int.
class Matrix {
public:
    Matrix() noexcept = default;
    Matrix(int** rows_data, int rows) noexcept : data_(rows_data), rows_(rows) {}
    Matrix(Matrix&& other) noexcept : data_(other.data_), rows_(other.rows_) { other.data_ = nullptr; }
    Matrix& operator=(Matrix&& other) noexcept {
        if (this != &other) {
            reset();
            data_ = other.data_;
            rows_ = other.rows_;
            other.data_ = nullptr;
        }
        return *this;
    }
    Matrix(const Matrix&) = delete;
    Matrix& operator=(const Matrix&) = delete;
    ~Matrix() { reset(); }

    // A new rows × cols matrix; throws Error (memory) when it cannot be had.
    [[nodiscard]] static Matrix allocate(int rows, int cols);

    int** get() const noexcept { return data_; }
    int* operator[](int row) const noexcept { return data_[row]; }
    int rows() const noexcept { return rows_; }
    explicit operator bool() const noexcept { return data_ != nullptr; }
    [[nodiscard]] int** release() noexcept {
        int** out = data_;
        data_ = nullptr;
        return out;
    }
    void reset() noexcept;

private:
    int** data_ = nullptr;
    int rows_ = 0;
};

// A new vector of `len` elements (at least one is allocated); throws Error
// (memory) when it cannot be had.
template <class T>
[[nodiscard]] Vector<T> allocate_vector(int len);

}  // namespace schedule

#endif  // SCHEDULE_CHECKED_STORAGE_H
