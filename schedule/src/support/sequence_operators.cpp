// Sequence operators: neighbourhood moves, random sequences, insertion,
// extraction and searches.
#include <cstdlib>

#include "schedule/checked.h"
#include "schedule/schedule.h"
#include "support/failure.h"

namespace schedule {

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
    return or_end_process([&] {
        if (pos < 0 || pos >= len) {
            fail(ErrorKind::argument, 999, "\nError in extractIVector() - Third argument does not match");
        }
        remove_entry(vector, len, pos);
        return len - 1;
    });
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
    end_process_on(Error(ErrorKind::argument, 5, "search_colImatrix()\n"));
}

}  // namespace schedule
