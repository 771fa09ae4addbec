// The allocators' work: what newDVector, newFVector, newIVector, newLVector
// and dyn_mat do, throwing Error (memory, code 1, the same words) where they
// end the process. A matrix that cannot be completed releases its rows first.
#ifndef SCHEDULE_SUPPORT_ALLOCATION_H
#define SCHEDULE_SUPPORT_ALLOCATION_H

namespace schedule {

template <class T>
T* vector_or_throw(int len);

int** int_matrix_or_throw(int rows, int cols);

}  // namespace schedule

#endif  // SCHEDULE_SUPPORT_ALLOCATION_H
