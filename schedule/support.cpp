// Vectors, matrices, scalar helpers, error reporting, console printing,
// sorting and sequence operators.
#include "schedule/schedule.h"

#include "schedule/fatal.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <type_traits>
#include <utility>

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
    if (v == nullptr) fatal_error(1, who);
    return v;
}

// Rows of the matrix are allocated in row order; row i has row_len(i) elements.
template <class RowLength>
void** new_matrix(int rows, RowLength row_len, int size, const char* who) {
    void** m = static_cast<void**>(allocate_block(rows, sizeof(void*)));
    if (m == nullptr || size < 0) fatal_error(1, who);
    for (int i = 0; i < rows; ++i) {
        m[i] = allocate_block(row_len(i), static_cast<std::size_t>(size));
        if (m[i] == nullptr) fatal_error(1, who);
    }
    return m;
}

template <class T>
void free_matrix(T** m, int rows) {
    for (int i = 0; i < rows; ++i) std::free(m[i]);
    std::free(m);
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

// Console output built up in a block and written at once. Integers are
// formatted here by hand, exactly as printf's "%<width>d" would, since the
// echo of a loaded instance is mostly integers and printf costs far more
// per element than reading them did. Other elements go through printf.
class ConsoleBlock {
public:
    ConsoleBlock() = default;
    ConsoleBlock(const ConsoleBlock&) = delete;
    ConsoleBlock& operator=(const ConsoleBlock&) = delete;
    ~ConsoleBlock() { flush(); }

    void put(char c) {
        if (used_ == sizeof text_) flush();
        text_[used_++] = c;
    }

    // `value` in the format `element_format`: "%<width>d" (or "ld") for an
    // integer, anything printf takes for the other types.
    template <class T>
    void element(const char* element_format, T value) {
        if constexpr (std::is_integral_v<T>) {
            integer(static_cast<long>(value), width_of(element_format));
        } else {
            flush();
            std::printf(element_format, value);
        }
    }

    void flush() {
        if (used_ > 0) std::fwrite(text_, 1, used_, stdout);
        used_ = 0;
    }

private:
    // The digits between "%" and the conversion of an integer format.
    static int width_of(const char* format) {
        int width = 0;
        for (const char* c = format + 1; *c >= '0' && *c <= '9'; ++c) width = width * 10 + (*c - '0');
        return width;
    }

    // Right-aligned in at least `width` characters, a minus sign in front of
    // the digits of a negative value.
    void integer(long value, int width) {
        char digits[24];
        int len = 0;
        unsigned long magnitude = value < 0 ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
        do {
            digits[len++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (value < 0) digits[len++] = '-';
        for (int pad = width - len; pad > 0; --pad) put(' ');
        while (len > 0) put(digits[--len]);
    }

    char text_[4096];
    std::size_t used_ = 0;
};

// "(" e0 "," e1 "," … e(len-1) ")\n", each element in `element_format`.
template <class T>
void print_vector(const T* vector, int len, const char* element_format) {
    ConsoleBlock out;
    out.put('(');
    for (int i = 0; i < len; ++i) {
        out.element(element_format, vector[i]);
        out.put(i + 1 < len ? ',' : ')');
    }
    if (len <= 0) out.put(')');
    out.put('\n');
}

template <class T>
void print_matrix(const T* const* matrix, int rows, int cols, const char* element_format) {
    ConsoleBlock out;
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < cols; ++j) out.element(element_format, matrix[i][j]);
        out.put('\n');
    }
}

}  // namespace

double* newDVector(int len) { return new_vector<double>(len, "Error in newDVector()"); }
float* newFVector(int len) { return new_vector<float>(len, "Error in newFVector()"); }
long* newLVector(int len) { return new_vector<long>(len, "Error in newLVector()"); }
int* newIVector(int len) {
    if (len <= 0) return static_cast<int*>(allocate_block(len, sizeof(int)));
    return new_vector<int>(len, "Error in newIVector()");
}

void** dyn_mat(int rows, int cols, int size) {
    return new_matrix(rows, [cols](int) { return cols; }, size, "Error in dyn_mat()\n");
}
void** dyn_var_mat(int rows, const int* vcol, int size) {
    return new_matrix(rows, [vcol](int i) { return vcol[i]; }, size, "Error in dyn_var_mat()\n");
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

// The comparisons are written out so that ties and NaN pick the argument the
// contract names (the second one whenever the comparison is false).
float fMax(float A, float B) { return A > B ? A : B; }
float fMin(float a, float b) { return a <= b ? a : b; }
double dMax(double a, double b) { return a >= b ? a : b; }
double dMin(double a, double b) { return a <= b ? a : b; }
int iMax(int A, int B) { return A > B ? A : B; }
int iMin(int a, int b) { return a <= b ? a : b; }
long lMax(long a, long b) { return a >= b ? a : b; }
long lMin(long a, long b) { return a <= b ? a : b; }

int sign(int number) { return number < 0 ? -1 : 1; }

long lround(double number) {
    if (std::isnan(number)) return 0;
    const double down = std::floor(number);
    const double rounded = 0.5 > number - down ? down : std::ceil(number);
    // Saturate instead of converting an out-of-range value (undefined).
    constexpr double lowest = static_cast<double>(std::numeric_limits<long>::min());
    constexpr double beyond_highest = -lowest;  // 2^63, the first value above LONG_MAX
    if (rounded < lowest) return std::numeric_limits<long>::min();
    if (rounded >= beyond_highest) return std::numeric_limits<long>::max();
    return static_cast<long>(rounded);
}

namespace {

// The message of an error code, then add_info on a line of its own.
void report_error(int code_error, const char* add_info) {
    switch (code_error) {
        case 1: std::printf("Memory is not enough\n"); break;
        case 2: std::printf("File not found: "); break;
        case 3: std::printf("Negatives values are not allowed in function "); break;
        case 4: std::printf("Number of arguments is not correct\n"); break;
        case 5: std::printf("Value not found in %s while it should\n", add_info); break;
        case 999: std::printf("Other error(s): "); break;
        default: std::printf("Unknown error\n"); break;
    }
    std::puts(add_info);
}

}  // namespace

void error(int code_error, int stop, const char* add_info) {
    if (stop != 0) fatal_error(code_error, add_info);
    report_error(code_error, add_info);
}

void fatal_error(int code_error, const char* add_info) {
    report_error(code_error, add_info);
    end_process(1);
}

void end_process(int status) {
    std::fflush(stdout);
#ifdef SCHEDULE_END_PROCESS_THROWS
    throw ProcessEnd{status};
#else
    std::exit(status);
#endif
}

void print_int_vector(const int* vector, int len) { print_vector(vector, len, "%5d"); }
void print_long_vector(const long* vector, int len) { print_vector(vector, len, "%8ld"); }
void print_float_vector(const float* vector, int len) { print_vector(vector, len, "%5f"); }
void print_double_vector(const double* vector, int len) { print_vector(vector, len, "%5lf"); }

void print_int_matrix(const int* const* matrix, int rows, int cols) { print_matrix(matrix, rows, cols, "%5d"); }
void print_long_matrix(const long* const* matrix, int rows, int cols) { print_matrix(matrix, rows, cols, "%5ld"); }
void print_float_matrix(const float* const* matrix, int rows, int cols) { print_matrix(matrix, rows, cols, "%5f"); }
void print_double_matrix(const double* const* matrix, int rows, int cols) { print_matrix(matrix, rows, cols, "%5lf"); }


// ---------------------------------------------------------------------------
// Sorting
// ---------------------------------------------------------------------------

namespace {

template <bool Ascending, class T>
bool goes_before(T a, T b) {
    if constexpr (Ascending) {
        return a < b;
    } else {
        return a > b;
    }
}

// Quicksort of positions left … right with the middle key as pivot value.
// Both scans stop on a key equal to the pivot, so equal keys are exchanged
// with one another: the order in which they leave the sort is part of the
// contract, and these partition steps are what fixes it.
//
// After a partition the stretches left … j and i … right are disjoint, so
// the order in which they are sorted does not matter: the shorter one is
// sorted by recursion and the longer one by the loop, which bounds the depth
// of recursion by log2 of the length. A stretch of fewer than two keys is
// already sorted and is not read.
template <bool Ascending, class T>
void quicksort(T* vector, int* index, int left, int right) {
    while (left < right) {
        const T pivot = vector[(static_cast<long>(left) + right) / 2];
        int i = left;
        int j = right;
        do {
            while (goes_before<Ascending>(vector[i], pivot) && i < right) ++i;
            while (goes_before<Ascending>(pivot, vector[j]) && j > left) --j;
            if (i <= j) {
                std::swap(vector[i], vector[j]);
                std::swap(index[i], index[j]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - left < right - i) {
            quicksort<Ascending>(vector, index, left, j);
            left = i;
        } else {
            quicksort<Ascending>(vector, index, i, right);
            right = j;
        }
    }
}

// index[k] = k, then positions 0 … rows − 1 sorted by `criterion`.
template <class T>
void sort_with_index(T* vector, int* index, int rows, char criterion) {
    for (int i = 0; i < rows; ++i) index[i] = i;
    if (criterion == 'A') {
        quicksort<true>(vector, index, 0, rows - 1);
    } else if (criterion == 'D') {
        quicksort<false>(vector, index, 0, rows - 1);
    } else {
        fatal_error(999, "Undefined sorting criterion\n");
    }
}

// The positions of `v` in sorted order of their values; `v` is not changed.
template <class T>
int* ordered_positions(const T* v, int length, char criterion, T* (*new_vector_of_type)(int)) {
    int* sequence = newIVector(length);
    T* keys = new_vector_of_type(length);
    copy_vector(v, keys, length);
    sort_with_index(keys, sequence, length, criterion);
    std::free(keys);
    return sequence;
}

}  // namespace

void brqsortDVectorA(double* vector, int* index, int left, int right) { quicksort<true>(vector, index, left, right); }
void brqsortFVectorA(float* vector, int* index, int left, int right) { quicksort<true>(vector, index, left, right); }
void brqsortIVectorA(int* vector, int* index, int left, int right) { quicksort<true>(vector, index, left, right); }
void brqsortLVectorA(long* vector, int* index, int left, int right) { quicksort<true>(vector, index, left, right); }
void brqsortDVectorD(double* vector, int* index, int left, int right) { quicksort<false>(vector, index, left, right); }
void brqsortFVectorD(float* vector, int* index, int left, int right) { quicksort<false>(vector, index, left, right); }
void brqsortIVectorD(int* vector, int* index, int left, int right) { quicksort<false>(vector, index, left, right); }
void brqsortLVectorD(long* vector, int* index, int left, int right) { quicksort<false>(vector, index, left, right); }

void sortDVector(double* vector, int* index, int rows, char criterion) { sort_with_index(vector, index, rows, criterion); }
void sortFVector(float* vector, int* index, int rows, char criterion) { sort_with_index(vector, index, rows, criterion); }
void sortIVector(int* vector, int* index, int rows, char criterion) { sort_with_index(vector, index, rows, criterion); }
void sortLVector(long* vector, int* index, int rows, char criterion) { sort_with_index(vector, index, rows, criterion); }

void sortIVector_noOrder(int* vector, int rows, char criterion) {
    int* index = newIVector(rows);
    sort_with_index(vector, index, rows, criterion);
    copy_vector(index, vector, rows);
    std::free(index);
}

int* ordered_sequence_VECTOR_DOUBLE(const double* v, int length, char criterion) {
    return ordered_positions(v, length, criterion, newDVector);
}
int* ordered_sequence_VECTOR_FLOAT(const float* v, int length, char criterion) {
    return ordered_positions(v, length, criterion, newFVector);
}
int* ordered_sequence_VECTOR_INT(const int* v, int length, char criterion) {
    return ordered_positions(v, length, criterion, newIVector);
}
int* ordered_sequence_VECTOR_LONG(const long* v, int length, char criterion) {
    return ordered_positions(v, length, criterion, newLVector);
}

// The totals are summed in long, so that jobs whose total leaves the range of
// int still come out in order; within that range they compare, and so leave
// the sort, exactly as int totals would.
int* sortPT(int jobs, int machs, const int* const* pt, char crit) {
    int* order = newIVector(jobs);
    long* totals = newLVector(jobs > 0 ? jobs : 0);
    for (int j = 0; j < jobs; ++j) {
        long total = 0;
        for (int i = 0; i < machs; ++i) total += pt[i][j];
        totals[j] = total;
    }
    sort_with_index(totals, order, jobs, crit);
    std::free(totals);
    return order;
}

// ---------------------------------------------------------------------------
// Sequence operators
// ---------------------------------------------------------------------------

namespace {

// Removes entry `pos` of a row of `len` entries; the last entry stays as it
// was. Moving upwards reads each entry before it is overwritten.
void remove_entry(int* row, int len, int pos) {
    for (int k = pos; k < len - 1; ++k) row[k] = row[k + 1];
}

template <class T>
void insert_entry(T* vector, int length, T value, int pos) {
    for (int k = length - 1; k > pos; --k) vector[k] = vector[k - 1];
    vector[pos] = value;
}

// First position in starting … end − 1 whose entry equals `number`, or −1.
template <class T, class V>
int find_from(const T* vector, int starting, int end, V number) {
    for (int i = starting; i < end; ++i) {
        if (vector[i] == number) return i;
    }
    return -1;
}

// `neighbor` = `original` with positions i and j exchanged. The two values
// are taken before the copy, so the vectors may be one and the same.
void exchanged_copy(const int* original, int* neighbor, int len, int i, int j) {
    const int at_i = original[i];
    const int at_j = original[j];
    copyIVector(original, neighbor, len);
    neighbor[i] = at_j;
    neighbor[j] = at_i;
}

}  // namespace

void API(const int* original, int* neighbor, int len) {
    if (len < 2) {
        copyIVector(original, neighbor, len);
        return;
    }
    const int i = std::rand() % (len - 1);
    exchanged_copy(original, neighbor, len, i, i + 1);
}

void GPI(const int* original, int* neighbor, int len) {
    if (len < 2) {
        copyIVector(original, neighbor, len);
        return;
    }
    const int i = std::rand() % len;
    int j = std::rand() % len;
    while (j == i) j = std::rand() % len;
    exchanged_copy(original, neighbor, len, i, j);
}

void randSequence(int* vector, int jobs) {
    for (int k = 0; k < jobs; ++k) {
        int number;
        do {
            number = std::rand() % jobs;
        } while (searchInIVector(vector, k, number) != -1);
        vector[k] = number;
    }
}

int extractIVector(int* vector, int len, int pos) {
    if (pos < 0 || pos >= len) {
        fatal_error(999, "\nError in extractIVector() - Third argument does not match");
    }
    remove_entry(vector, len, pos);
    return len - 1;
}

void extractIMatrix(int** mat, int /*n_rows*/, int n_col, int pos_row, int pos_col) {
    remove_entry(mat[pos_row], n_col, pos_col);
}

void insertDVector(double* vector, int length, double value, int pos) { insert_entry(vector, length, value, pos); }
void insertFVector(float* vector, int length, float value, int pos) { insert_entry(vector, length, value, pos); }
void insertIVector(int* vector, int length, int value, int pos) { insert_entry(vector, length, value, pos); }
void insertLVector(long* vector, int length, long value, int pos) { insert_entry(vector, length, value, pos); }

int findFirstDiff(const int* vector, int length, int number) {
    for (int i = 0; i < length; ++i) {
        if (vector[i] != number) return i;
    }
    return -1;
}

int searchInDVector(const double* vector, int longitud, double numero) { return find_from(vector, 0, longitud, numero); }
int searchInFVector(const float* vector, int longitud, float numero) { return find_from(vector, 0, longitud, numero); }
int searchInIVector(const int* vector, int rows, int number) { return find_from(vector, 0, rows, number); }
int searchInLVector(const long* vector, int rows, int number) { return find_from(vector, 0, rows, number); }
int searchOInIVector(const int* vector, int rows, int number, int starting) {
    return find_from(vector, starting, rows, number);
}

int search_colImatrix(const int* const* matrix, int no_col, int rows, int val) {
    for (int i = 0; i < rows; ++i) {
        if (matrix[i][no_col] == val) return i;
    }
    fatal_error(5, "search_colImatrix()\n");
}

}  // namespace schedule
