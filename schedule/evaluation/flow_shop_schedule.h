// The permutation flow-shop schedule of a sequence, built once for every
// consumer (completion-time vectors, objectives, schedule files).
#ifndef SCHEDULE_EVALUATION_FLOW_SHOP_SCHEDULE_H
#define SCHEDULE_EVALUATION_FLOW_SHOP_SCHEDULE_H

#include <algorithm>
#include <limits>

#include "schedule/evaluation/construction.h"
#include "schedule/schedule.h"

namespace schedule::flow_shop {

// Reports nothing about single operations.
struct IgnoreOperations {
    void operator()(int /*machine*/, int /*job*/, long /*start*/, long /*end*/) const {}
};

// The semi-active permutation schedule: jobs in sequence order through
// machines 0, 1, …, machines − 1, buffers unlimited. An operation starts when
// the job has left the previous machine (on machine 0: when `releases` lets
// it) and the machine has finished the previous job. For positions
// 0, 1, …, jobs − 1 calls operation(machine, job, start, end) for each
// machine in order, then completed(job, completion on the last machine). A
// shop without machines lets each job complete when it is ready to start.
template <class Releases, class Operation, class Completed>
void build(const int* seq, int jobs, int machines, const int* const* pt, Releases releases,
           Operation&& operation, Completed&& completed) {
    if (machines < 1) {
        for (int k = 0; k < jobs; ++k) completed(seq[k], releases.ready(seq[k], Releases::first_machine_free));
        return;
    }
    WorkVector<long> machine_free(machines);  // completion of the previous job on each machine
    machine_free[0] = Releases::first_machine_free;
    for (int i = 1; i < machines; ++i) machine_free[i] = std::numeric_limits<long>::min();
    for (int k = 0; k < jobs; ++k) {
        const int job = seq[k];
        long start = releases.ready(job, machine_free[0]);
        for (int i = 0;;) {
            const long end = start + pt[i][job];
            machine_free[i] = end;
            operation(i, job, start, end);
            if (++i == machines) break;
            start = std::max(end, machine_free[i]);
        }
        completed(job, machine_free[machines - 1]);
    }
}

}  // namespace schedule::flow_shop

#endif  // SCHEDULE_EVALUATION_FLOW_SHOP_SCHEDULE_H
