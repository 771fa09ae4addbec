// Pieces the schedule constructions share: how the two evaluator families
// treat release dates, small work storage, and the check that there is a
// machine to schedule on.
#ifndef SCHEDULE_EVALUATION_CONSTRUCTION_H
#define SCHEDULE_EVALUATION_CONSTRUCTION_H

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>

#include "support/allocation.h"
#include "support/failure.h"
#include "schedule/schedule.h"

namespace schedule {

// Start times are the later of two times. The constructions take it with
// std::max, which the compiler sees through in their innermost loops, where
// lMax, defined in another translation unit, would cost a call per
// operation; for integers the two give the same value.

// Plain-argument family: no release dates. The first machine is free from
// time 0 and takes the jobs back to back.
struct FromTimeZero {
    static constexpr long first_machine_free = 0;
    long ready(int /*job*/, long machine_free) const { return machine_free; }
};

// Record family: a job starts once the machine is free and the job released.
// The machine starts free "before any time", so the first job starts exactly
// at its release date, even a negative one.
struct Released {
    const int* r;
    static constexpr long first_machine_free = std::numeric_limits<long>::min();
    long ready(int job, long machine_free) const { return std::max<long>(machine_free, r[job]); }
};

// Work storage of `len` elements, uninitialised: inside the object up to
// 4 KiB (512 longs, 1024 ints), on the heap beyond that. That covers the
// machines of any shop in use and the jobs of the usual job-shop instances,
// so an evaluation allocates nothing but its result; untouched, the inline
// block costs only stack address space.
template <class T, int Inline = 4096 / sizeof(T)>
class WorkVector {
public:
    explicit WorkVector(int len) : data_(len <= Inline ? inline_ : heap(len)) {}
    ~WorkVector() {
        if (data_ != inline_) std::free(data_);
    }
    WorkVector(const WorkVector&) = delete;
    WorkVector& operator=(const WorkVector&) = delete;

    T& operator[](int i) { return data_[i]; }
    T* data() { return data_; }

private:
    static T* heap(int len);
    T inline_[Inline];
    T* data_;
};

template <>
inline long* WorkVector<long>::heap(int len) { return vector_or_throw<long>(len); }
template <>
inline int* WorkVector<int>::heap(int len) { return vector_or_throw<int>(len); }

// Matrix constructions that read a column of times per job (one line of the
// cache per machine, at a new place for every job of a random sequence) ask
// for the times of a job some positions ahead once the matrix outgrows the
// second-level cache (1 MiB here: 2^18 times), so that they arrive while the
// jobs before it are placed. How far ahead: enough jobs that about 128 times
// are on their way.
inline constexpr long prefetch_from_entries = 1L << 18;
inline int jobs_ahead(int jobs, int machines) {
    if (machines < 1 || static_cast<long>(jobs) * machines < prefetch_from_entries) return 0;
    return std::max(1, 128 / machines);
}

// Throws Error (argument, 999), naming `routine`, unless the number of
// `what` ("jobs", "machines") is at least `least`.
inline void require_count(const char* routine, const char* what, int count, int least) {
    if (count >= least) return;
    const std::string info = std::string(routine) + ": the number of " + what + " must be at least " +
                             std::to_string(least) + " (" + what + "=" + std::to_string(count) + ")";
    fail(ErrorKind::argument, 999, info);
}

// Throws unless there is a machine to schedule on.
inline void require_machines(const char* routine, int machines) { require_count(routine, "machines", machines, 1); }

}  // namespace schedule

#endif  // SCHEDULE_EVALUATION_CONSTRUCTION_H
