// Permutation flow-shop evaluators.
#include <climits>
#include <string>
#include <type_traits>

#include "evaluation/batch.h"
#include "evaluation/flow_shop_schedule.h"
#include "evaluation/objective_catalogue.h"
#include "schedule/schedule.h"
#include "support/failure.h"

namespace schedule {

namespace {

// Weighted sums start from 0.0; Cmax is the completion time of the last job
// of the sequence on the last machine.
constexpr catalogue::Conventions conventions{true, 0.0, 0};

// The schedule of a sequence as the catalogue consumes it.
template <class Releases>
auto completions(const int* seq, int jobs, int machines, const int* const* pt, Releases releases) {
    return [=](auto&& completed) {
        flow_shop::build(seq, jobs, machines, pt, releases, flow_shop::IgnoreOperations{}, completed);
    };
}

template <class Obj>
long plain(const char* evaluator, const int* seq, int jobs, int machines, const int* const* pt,
           const long* dd = nullptr) {
    return or_end_process([&] { return catalogue::evaluate<Obj>(evaluator, conventions, {dd, nullptr, nullptr},
                                    completions(seq, jobs, machines, pt, FromTimeZero{})); });
}

template <class Obj, class Run = EndingProcess>
typename Obj::Result record(const char* evaluator, const int* seq, const FLOWSHOP& in) {
    return Run{}([&] { return catalogue::evaluate<Obj>(evaluator, conventions, {in.dd, in.w, in.r},
                                    completions(seq, in.jobs, in.machines, in.pt, Released{in.r})); });
}

// The makespan of each insertion of `job` into seq[0 … len − 1], by heads
// and tails (Taillard's method), in O(len · machines) for all of them.
//
// A schedule's makespan is its longest path through the grid of operations
// (position, machine), stepping to the next machine or to the next position,
// each operation weighing its processing time. Paths start at machine 0 of the
// first position, or, with release dates, at machine 0 of any position, from
// its job's release date. Inserted at position l, the job's completions f
// continue the heads of the jobs before it: one `pass` through the machines.
// Every path through it leaves it on some machine i for the job that follows,
// and from there the tail, the longest path to the end of the partial
// schedule, does not depend on what came before. So the makespan at l is the
// largest f[i] + tail(l, i), or f[machines − 1] at the end; with release
// dates, also the longest path that starts at a later job's release date and
// so never meets the inserted job. Each value is exactly the makespan that
// the schedule construction gives the whole sequence, whatever the signs of
// the times.
template <class Releases>
void insertion_makespans(const char* routine, const int* seq, int len, int job, int machines,
                         const int* const* pt, Releases releases, long* makespans) {
    require_count(routine, "jobs", len, 0);
    if (machines < 1) {  // as in the construction, a job completes when it is ready
        for (int l = 0; l <= len; ++l)
            makespans[l] = releases.ready(l == len ? job : seq[len - 1], Releases::first_machine_free);
        return;
    }
    const int m = machines;
    if (static_cast<long>(len) * m > INT_MAX) {
        const std::string info = std::string(routine) + ": " + std::to_string(len) + " jobs on " +
                                 std::to_string(m) + " machines need more work storage than one vector holds";
        fail(ErrorKind::argument, 999, info);
    }

    // tails[k·m + i]: the longest path from operation (k, i) to the last job
    // on the last machine, the operation's own time included.
    WorkVector<long> tails(len * m);
    for (int k = len - 1; k >= 0; --k) {
        const int s = seq[k];
        long* tail = &tails[k * m];
        if (k == len - 1) {
            tail[m - 1] = pt[m - 1][s];
            for (int i = m - 2; i >= 0; --i) tail[i] = tail[i + 1] + pt[i][s];
        } else {
            const long* next = tail + m;
            tail[m - 1] = next[m - 1] + pt[m - 1][s];
            for (int i = m - 2; i >= 0; --i) tail[i] = std::max(next[i], tail[i + 1]) + pt[i][s];
        }
    }

    // With release dates, makespans[l] first holds the longest path that
    // starts at the release date of position l or a later one.
    constexpr bool released = std::is_same_v<Releases, Released>;
    if constexpr (released) {
        long later = LONG_MIN;
        for (int k = len - 1; k >= 0; --k) {
            later = std::max(later, releases.r[seq[k]] + tails[k * m]);
            makespans[k] = later;
        }
    }

    WorkVector<long> heads(m);     // completions of seq[0 … l − 1]
    WorkVector<long> inserted(m);  // completions of `job` after them
    flow_shop::empty_shop<Releases>(m, heads.data());
    for (int l = 0;; ++l) {
        flow_shop::pass(job, m, pt, releases, heads.data(), inserted.data(), flow_shop::IgnoreOperations{});
        if (l == len) {
            makespans[l] = inserted[m - 1];
            return;
        }
        const long* tail = &tails[l * m];
        long makespan = inserted[0] + tail[0];
        for (int i = 1; i < m; ++i) makespan = std::max(makespan, inserted[i] + tail[i]);
        if constexpr (released) makespan = std::max(makespan, makespans[l]);
        makespans[l] = makespan;
        flow_shop::pass(seq[l], m, pt, releases, heads.data(), heads.data(), flow_shop::IgnoreOperations{});
    }
}


// Batch evaluation (see batch.h): the kernel of a group of sequences. It reads
// the times from a job-major copy, `by_job`, when there is one, and gathers
// them otherwise.
struct FlowShopKernel {
    int jobs, machines;
    const int* const* pt;
    const int* r;        // null for the plain-argument family
    int* work;           // stride · 16 ints
    const int* by_job;   // null, or by_job[j · stride + i] = pt[i][j]
    int stride;
    void operator()([[maybe_unused]] batch::Isa isa, [[maybe_unused]] const int* lane_jobs,
                    [[maybe_unused]] int* completions, [[maybe_unused]] bool every_position) const {
#ifdef SCHEDULE_X86_KERNELS
        if (isa == batch::Isa::avx512 && by_job != nullptr) {
            batch::flow_shop_avx512_job_major(lane_jobs, jobs, machines, by_job, stride, r, work, completions,
                                              every_position);
        } else if (by_job != nullptr) {
            batch::flow_shop_avx2_job_major(lane_jobs, jobs, machines, by_job, stride, r, work, completions,
                                            every_position);
        } else if (isa == batch::Isa::avx512) {
            batch::flow_shop_avx512(lane_jobs, jobs, machines, pt, r, work, completions, every_position);
        } else {
            batch::flow_shop_avx2(lane_jobs, jobs, machines, pt, r, work, completions, every_position);
        }
#endif
    }
};

// Objective `Obj` of `count` sequences into out, for a batch entry point named
// `evaluator` (throwing Error like the constructions; the entry points end
// the process on it); `one` evaluates a sequence alone. Cmax is the last job's
// completion, which the kernels give without keeping the others.
template <class Obj, class One>
void many(const char* evaluator, const int* seqs, int count, int jobs, int machines, const int* const* pt,
          const catalogue::JobData& data, typename Obj::Result* out, One&& one) {
    if constexpr (Obj::needs_due_dates) {
        if (data.dd == nullptr) catalogue::missing_due_dates(evaluator);
    }
    constexpr bool last_only = std::is_same_v<Obj, catalogue::Cmax>;
    const bool fits = machines >= 1 && machines <= INT_MAX / 32 && batch::fits_in_32_bits(jobs, machines, pt, data.r);
    // The job-major copy of the times for the kernels: as large as the
    // instance's times, made once per call, when there is a whole group of
    // sequences to pay for it.
    const int stride = (machines + 7) / 8 * 8;
    batch::Storage work(fits ? stride * 16 : 1);
    const batch::Isa isa = batch::isa();
    const bool job_major = fits && isa != batch::Isa::scalar && count >= batch::lanes(isa) &&
                           static_cast<long>(jobs) * stride <= INT_MAX;
    batch::Storage by_job(job_major ? jobs * stride : 1);
    if (job_major) {
        for (int j = 0; j < jobs; ++j) {
            int* row = by_job.data() + static_cast<long>(j) * stride;
            for (int i = 0; i < machines; ++i) row[i] = pt[i][j];
            for (int i = machines; i < stride; ++i) row[i] = 0;
        }
    }
    batch::in_groups(
        seqs, count, jobs, fits, !last_only, out, one,
        [&](const int* seq, batch::Lane lane) -> typename Obj::Result {
            if constexpr (last_only) {
                return lane.at(0);
            } else {
                return catalogue::evaluate<Obj>(evaluator, conventions, data, [&](auto&& completed) {
                    for (int k = 0; k < jobs; ++k) completed(seq[k], lane.at(k));
                });
            }
        },
        FlowShopKernel{jobs, machines, pt, data.r, work.data(), job_major ? by_job.data() : nullptr, stride});
}

template <class Obj>
void record_many(const char* evaluator, const int* seqs, int count, const FLOWSHOP& in, typename Obj::Result* out) {
    many<Obj>(evaluator, seqs, count, in.jobs, in.machines, in.pt, {in.dd, in.w, in.r}, out,
              [&](const int* seq) {
                  return catalogue::evaluate<Obj>(evaluator, conventions, {in.dd, in.w, in.r},
                                                  completions(seq, in.jobs, in.machines, in.pt, Released{in.r}));
              });
}

}  // namespace

using namespace catalogue;

void Fm_Prmu_Insert_Cmax(const int* seq, int len, int job, int machs, const int* const* pt, long* makespans) {
    const char* routine = __func__;
    or_end_process([&] { insertion_makespans(routine, seq, len, job, machs, pt, FromTimeZero{}, makespans); });
}
void Fm_Prmu_Rj_Insert_Cmax(const int* seq, int len, int job, FLOWSHOP instance, long* makespans) {
    const char* routine = __func__;
    or_end_process([&] { insertion_makespans(routine, seq, len, job, instance.machines, instance.pt, Released{instance.r}, makespans); });
}

long Fm_Prmu_Cmax(const int* seq, int jobs, int machs, const int* const* pt) { return plain<Cmax>(__func__, seq, jobs, machs, pt); }
long Fm_Prmu_Emax(const int* seq, int jobs, int machs, const int* const* pt, const long* dd) {
    return plain<Emax>(__func__, seq, jobs, machs, pt, dd);
}
long Fm_Prmu_Lmax(const int* seq, int jobs, int machs, const int* const* pt, const long* dd) {
    return plain<Lmax>(__func__, seq, jobs, machs, pt, dd);
}
long Fm_Prmu_SumCj(const int* seq, int jobs, int machs, const int* const* pt) { return plain<SumCj>(__func__, seq, jobs, machs, pt); }
long Fm_Prmu_SumEj(const int* seq, int jobs, int machs, const int* const* pt, const long* dd) {
    return plain<SumEj>(__func__, seq, jobs, machs, pt, dd);
}
long Fm_Prmu_SumLj(const int* seq, int jobs, int machs, const int* const* pt, const long* dd) {
    return plain<SumLj>(__func__, seq, jobs, machs, pt, dd);
}
long Fm_Prmu_SumTj(const int* seq, int jobs, int machs, const int* const* pt, const long* dd) {
    return plain<SumTj>(__func__, seq, jobs, machs, pt, dd);
}
long Fm_Prmu_SumUj(const int* seq, int jobs, int machs, const int* const* pt, const long* dd) {
    return plain<SumUj>(__func__, seq, jobs, machs, pt, dd);
}
long Fm_Prmu_Tmax(const int* seq, int jobs, int machs, const int* const* pt, const long* dd) {
    return plain<Tmax>(__func__, seq, jobs, machs, pt, dd);
}

SCHEDULE_RECORD_EVALUATORS(Fm_Prmu, FLOWSHOP)

// The completion times of a sequence, by either interface.
template <class Run>
static long* record_cj(const char* routine, const int* seq, const FLOWSHOP& instance) {
    (void)routine;
    return Run{}([&] { return completion_times(instance.jobs,
                            completions(seq, instance.jobs, instance.machines, instance.pt, Released{instance.r})); });
}

long* Fm_Prmu_Rj_Cj(const int* seq, FLOWSHOP instance) { return record_cj<EndingProcess>(__func__, seq, instance); }

SCHEDULE_THROWING_EVALUATORS(Fm_Prmu, FLOWSHOP)

void Fm_Prmu_Cmax_many(const int* seqs, int count, int jobs, int machs, const int* const* pt, long* out) {
    or_end_process([&] {
        many<Cmax>(__func__, seqs, count, jobs, machs, pt, {nullptr, nullptr, nullptr}, out, [&](const int* seq) {
            return catalogue::evaluate<Cmax>(__func__, conventions, {nullptr, nullptr, nullptr},
                                             completions(seq, jobs, machs, pt, FromTimeZero{}));
        });
    });
}
SCHEDULE_RECORD_BATCH_EVALUATORS(Fm_Prmu, FLOWSHOP)
SCHEDULE_THROWING_BATCH_EVALUATORS(Fm_Prmu, FLOWSHOP)

}  // namespace schedule
