// Sorting with an index vector, and orderings built on it.
#include <cstdlib>
#include <utility>

#include "schedule/checked.h"
#include "schedule/schedule.h"
#include "support/failure.h"

namespace schedule {

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
        fail(ErrorKind::argument, 999, "Undefined sorting criterion\n");
    }
}

// The positions of `v` in sorted order of their values; `v` is not changed.
// The sequence comes from newIVector, as the caller of the ordering routines
// expects of a vector it releases.
template <class T>
int* ordered_positions(const T* v, int length, char criterion, T* (*new_vector_of_type)(int)) {
    Vector<int> sequence(newIVector(length));
    Vector<T> keys(new_vector_of_type(length));
    for (int i = 0; i < length; ++i) keys[i] = v[i];
    sort_with_index(keys.get(), sequence.get(), length, criterion);
    return sequence.release();
}

template <class Work>
decltype(auto) sorting(Work&& work) {
    return or_end_process(std::forward<Work>(work));
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

void sortDVector(double* vector, int* index, int rows, char criterion) {
    sorting([&] { sort_with_index(vector, index, rows, criterion); });
}
void sortFVector(float* vector, int* index, int rows, char criterion) {
    sorting([&] { sort_with_index(vector, index, rows, criterion); });
}
void sortIVector(int* vector, int* index, int rows, char criterion) {
    sorting([&] { sort_with_index(vector, index, rows, criterion); });
}
void sortLVector(long* vector, int* index, int rows, char criterion) {
    sorting([&] { sort_with_index(vector, index, rows, criterion); });
}

void sortIVector_noOrder(int* vector, int rows, char criterion) {
    sorting([&] {
        Vector<int> index(newIVector(rows));
        sort_with_index(vector, index.get(), rows, criterion);
        for (int i = 0; i < rows; ++i) vector[i] = index[i];
    });
}

int* ordered_sequence_VECTOR_DOUBLE(const double* v, int length, char criterion) {
    return sorting([&] { return ordered_positions(v, length, criterion, newDVector); });
}
int* ordered_sequence_VECTOR_FLOAT(const float* v, int length, char criterion) {
    return sorting([&] { return ordered_positions(v, length, criterion, newFVector); });
}
int* ordered_sequence_VECTOR_INT(const int* v, int length, char criterion) {
    return sorting([&] { return ordered_positions(v, length, criterion, newIVector); });
}
int* ordered_sequence_VECTOR_LONG(const long* v, int length, char criterion) {
    return sorting([&] { return ordered_positions(v, length, criterion, newLVector); });
}

// The totals are summed in long, so that jobs whose total leaves the range of
// int still come out in order; within that range they compare, and so leave
// the sort, exactly as int totals would.
int* sortPT(int jobs, int machs, const int* const* pt, char crit) {
    return sorting([&] {
        Vector<int> order(newIVector(jobs));
        Vector<long> totals(newLVector(jobs > 0 ? jobs : 0));
        for (int j = 0; j < jobs; ++j) {
            long total = 0;
            for (int i = 0; i < machs; ++i) total += pt[i][j];
            totals[j] = total;
        }
        sort_with_index(totals.get(), order.get(), jobs, crit);
        return order.release();
    });
}

}  // namespace schedule
