// The job-shop schedule of an operation sequence, built once for every
// consumer (completion-time vectors, objectives, schedule files).
#ifndef SCHEDULE_EVALUATION_JOB_SHOP_SCHEDULE_H
#define SCHEDULE_EVALUATION_JOB_SHOP_SCHEDULE_H

#include <algorithm>

#include "evaluation/construction.h"
#include "schedule/schedule.h"

namespace schedule::job_shop {

// Throw Error (argument, 999), naming `routine`, when the operation
// sequence or the routing cannot describe a schedule.
[[noreturn]] void job_out_of_range(const char* routine, long position, int job, int jobs);
[[noreturn]] void too_many_operations(const char* routine, long position, int job, int machines);
[[noreturn]] void machine_out_of_range(const char* routine, int job, int operation, int machine, int machines);

// The semi-active schedule of `seq_ops`, jobs × machines entries in which the
// k-th occurrence of job j stands for its k-th operation, on machine
// rt[j][k]. Operations are placed in sequence order, each as soon as its job
// has finished its previous operation (the first one: once the job is
// released) and its machine the operation placed on it before; machines are
// free from time 0, and no operation fills an idle gap left earlier.
//
// Calls operation(job, k, machine, start, end) as each operation is placed,
// then completed(job, C_j) for every job in index order. An entry that is not
// a job, a job met more than `machines` times or a routing entry that is not
// a machine is refused (an Error) before anything out of range is read.
template <class Operation, class Completed>
void build(const char* routine, const int* seq_ops, int jobs, int machines, const int* const* pt,
           const int* const* rt, const int* r, Operation&& operation, Completed&& completed) {
    WorkVector<long> job_free(jobs);        // completion of each job's latest operation
    WorkVector<int> operations_done(jobs);  // operations of each job placed so far
    WorkVector<long> machine_free(machines);
    for (int j = 0; j < jobs; ++j) {
        job_free[j] = r[j];
        operations_done[j] = 0;
    }
    for (int i = 0; i < machines; ++i) machine_free[i] = 0;

    // Operations are placed only when there are jobs and machines, so each
    // range check below is one unsigned comparison: a negative entry turns
    // into one beyond every count. A pointer runs along the sequence (the
    // position is worked out only for a report), and the loop is unrolled:
    // with the three checks the loop keeps more than the registers hold, and
    // four operations a round gave the processor more to overlap (about 5 %
    // on a 100 × 20 instance).
    const long operations = jobs > 0 && machines > 0 ? static_cast<long>(jobs) * machines : 0;
    const int* const end_of_sequence = seq_ops + operations;
#pragma GCC unroll 4
    for (const int* entry = seq_ops; entry != end_of_sequence; ++entry) {
        const int job = *entry;
        if (static_cast<unsigned>(job) >= static_cast<unsigned>(jobs))
            job_out_of_range(routine, entry - seq_ops, job, jobs);
        const int k = operations_done[job];
        if (k == machines) too_many_operations(routine, entry - seq_ops, job, machines);
        const int machine = rt[job][k];
        if (static_cast<unsigned>(machine) >= static_cast<unsigned>(machines))
            machine_out_of_range(routine, job, k, machine, machines);
        const long start = std::max(job_free[job], machine_free[machine]);
        const long end = start + pt[machine][job];
        job_free[job] = end;
        machine_free[machine] = end;
        operations_done[job] = k + 1;
        operation(job, k, machine, start, end);
    }
    for (int j = 0; j < jobs; ++j) completed(j, job_free[j]);
}

// Reports nothing about single operations.
struct IgnoreOperations {
    void operator()(int /*job*/, int /*k*/, int /*machine*/, long /*start*/, long /*end*/) const {}
};

}  // namespace schedule::job_shop

#endif  // SCHEDULE_EVALUATION_JOB_SHOP_SCHEDULE_H
