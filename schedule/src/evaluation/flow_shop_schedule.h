// The permutation flow-shop schedule of a sequence, built once for every
// consumer (completion-time vectors, objectives, schedule files).
#ifndef SCHEDULE_EVALUATION_FLOW_SHOP_SCHEDULE_H
#define SCHEDULE_EVALUATION_FLOW_SHOP_SCHEDULE_H

#include <algorithm>
#include <limits>
#include <type_traits>

#include "evaluation/construction.h"
#include "schedule/schedule.h"

namespace schedule::flow_shop {

// Reports nothing about single operations.
struct IgnoreOperations {
    void operator()(int /*machine*/, int /*job*/, long /*start*/, long /*end*/) const {}
};

// One job passed through machines 0, 1, …, machines − 1 after the jobs
// already on them: `machine_free`[i] is when machine i finishes the last of
// those jobs (on machine 0 `releases` decides from it when the job may start),
// and the job's completion on machine i goes to `ends`[i], which may be
// `machine_free` itself. An operation starts when the job has left the
// previous machine and the machine is free; operation(machine, job, start,
// end) is called for each machine in order. `machines` is at least 1.
template <class Releases, class Operation>
[[gnu::always_inline]] inline void pass_inlined(int job, int machines, const int* const* pt, Releases releases,
                                                const long* machine_free, long* ends, Operation&& operation) {
    long start = releases.ready(job, machine_free[0]);
    for (int i = 0;;) {
        const long end = start + pt[i][job];
        ends[i] = end;
        operation(i, job, start, end);
        if (++i == machines) break;
        start = std::max(end, machine_free[i]);
    }
}
template <class Releases, class Operation>
[[gnu::noinline]] void pass(int job, int machines, const int* const* pt, Releases releases,
                            const long* machine_free, long* ends, Operation&& operation) {
    pass_inlined(job, machines, pt, releases, machine_free, ends, operation);
}

// Up to how many machines build places a job with pass inlined. Out of line,
// pass suits shops of many machines (inlined, 100 × 20 and 500 × 20 took up to
// 35 % longer), but with a handful of machines the call per job and the
// objective's running value reloaded after it cost more than the job's few
// operations (20 × 5: 1.13 × the plain loop).
inline constexpr int inline_pass_up_to = 8;

// Sets the first `machines` entries of `machine_free` to the state of an
// empty shop: machine 0 as `releases` has it, the others free before any time.
template <class Releases>
void empty_shop(int machines, long* machine_free) {
    machine_free[0] = Releases::first_machine_free;
    for (int i = 1; i < machines; ++i) machine_free[i] = std::numeric_limits<long>::min();
}

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
    empty_shop<Releases>(machines, machine_free.data());
    // Copies of the loop, so that instances in the caches pay nothing for the
    // fetching ahead of large ones (see jobs_ahead), and shops of few machines
    // place each job without a call (see inline_pass_up_to).
    const int ahead = jobs_ahead(jobs, machines);
    const auto place_all = [&](auto fetch_ahead, auto inline_pass) __attribute__((always_inline)) {
        for (int k = 0; k < jobs; ++k) {
            if constexpr (decltype(fetch_ahead)::value) {
                if (k + ahead < jobs) {
                    const int later = seq[k + ahead];
                    for (int i = 0; i < machines; ++i) __builtin_prefetch(&pt[i][later]);
                }
            }
            if constexpr (decltype(inline_pass)::value) {
                pass_inlined(seq[k], machines, pt, releases, machine_free.data(), machine_free.data(), operation);
            } else {
                pass(seq[k], machines, pt, releases, machine_free.data(), machine_free.data(), operation);
            }
            completed(seq[k], machine_free[machines - 1]);
        }
    };
    if (ahead > 0) {
        place_all(std::true_type{}, std::false_type{});
    } else if (machines <= inline_pass_up_to) {
        place_all(std::false_type{}, std::true_type{});
    } else {
        place_all(std::false_type{}, std::false_type{});
    }
}

}  // namespace schedule::flow_shop

#endif  // SCHEDULE_EVALUATION_FLOW_SHOP_SCHEDULE_H
