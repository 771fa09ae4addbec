// Single-machine evaluators, and the objective catalogue's shared pieces.
#include <cstddef>
#include <cstdio>
#include <string>
#include <type_traits>

#include "evaluation/objective_catalogue.h"
#include "evaluation/single_machine_schedule.h"
#include "schedule/schedule.h"
#include "support/failure.h"

namespace schedule {

namespace catalogue {

void missing_due_dates(const char* evaluator) {
    const std::string info = std::string(evaluator) + ": the instance has no due dates (dd is null)";
    fail(ErrorKind::argument, 999, info);
}

}  // namespace catalogue

namespace {

// Weighted sums begin with the first job's term; Cmax is the completion time
// of the last job of the sequence.
constexpr catalogue::Conventions conventions{true, -0.0, 0};

// The schedule of a sequence as the catalogue consumes it.
template <class Releases>
auto completions(const int* seq, int jobs, const int* pt, Releases releases) {
    return [=](auto&& completed) {
        single_machine::build(seq, jobs, pt, releases, [&completed](int job, long, long end) { completed(job, end); });
    };
}

template <class Obj>
long plain(const char* evaluator, const int* seq, int jobs, const int* pt, const long* dd = nullptr) {
    return or_end_process([&] { return catalogue::evaluate<Obj>(evaluator, conventions, {dd, nullptr, nullptr},
                                    completions(seq, jobs, pt, FromTimeZero{})); });
}

template <class Obj, class Run = EndingProcess>
typename Obj::Result record(const char* evaluator, const int* seq, const SINGLE_MACHINE& in) {
    return Run{}([&] { return catalogue::evaluate<Obj>(evaluator, conventions, {in.dd, in.w, in.r},
                                    completions(seq, in.jobs, in.pt, Released{in.r})); });
}


// Batch evaluation: one sequence at a time. Across sequences, SIMD lanes
// would gather one time per job, which costs about what the scalar loop does
// (measured: 0.7 to 0.8 × its speed), so the single machine's batch forms are
// plain loops over the one-at-a-time construction, with its results.
template <class Obj, class One>
void many(const char* evaluator, const int* seqs, int count, int jobs, const catalogue::JobData& data,
          typename Obj::Result* out, One&& one) {
    if constexpr (Obj::needs_due_dates) {
        if (data.dd == nullptr) catalogue::missing_due_dates(evaluator);
    }
    for (int s = 0; s < count; ++s) out[s] = one(seqs + static_cast<std::size_t>(s) * jobs);
}

template <class Obj>
void record_many(const char* evaluator, const int* seqs, int count, const SINGLE_MACHINE& in,
                 typename Obj::Result* out) {
    many<Obj>(evaluator, seqs, count, in.jobs, {in.dd, in.w, in.r}, out,
              [&](const int* seq) {
                  return catalogue::evaluate<Obj>(evaluator, conventions, {in.dd, in.w, in.r},
                                                  completions(seq, in.jobs, in.pt, Released{in.r}));
              });
}

}  // namespace

using namespace catalogue;

long S1_Cmax(const int* seq, int jobs, const int* pt) { return plain<Cmax>(__func__, seq, jobs, pt); }
long S1_Emax(const int* seq, int jobs, const int* pt, const long* dd) { return plain<Emax>(__func__, seq, jobs, pt, dd); }
long S1_Lmax(const int* seq, int jobs, const int* pt, const long* dd) { return plain<Lmax>(__func__, seq, jobs, pt, dd); }
long S1_SumCj(const int* seq, int jobs, const int* pt) { return plain<SumCj>(__func__, seq, jobs, pt); }
long S1_SumEj(const int* seq, int jobs, const int* pt, const long* dd) { return plain<SumEj>(__func__, seq, jobs, pt, dd); }
long S1_SumLj(const int* seq, int jobs, const int* pt, const long* dd) { return plain<SumLj>(__func__, seq, jobs, pt, dd); }
long S1_SumTj(const int* seq, int jobs, const int* pt, const long* dd) { return plain<SumTj>(__func__, seq, jobs, pt, dd); }
long S1_SumUj(const int* seq, int jobs, const int* pt, const long* dd) { return plain<SumUj>(__func__, seq, jobs, pt, dd); }
long S1_Tmax(const int* seq, int jobs, const int* pt, const long* dd) { return plain<Tmax>(__func__, seq, jobs, pt, dd); }

SCHEDULE_RECORD_EVALUATORS(S1, SINGLE_MACHINE)

// The completion times of a sequence, by either interface.
template <class Run>
static long* record_cj(const char* routine, const int* seq, const SINGLE_MACHINE& instance) {
    (void)routine;
    return Run{}([&] { return completion_times(instance.jobs, completions(seq, instance.jobs, instance.pt, Released{instance.r})); });
}

long* S1_Rj_Cj(const int* seq, SINGLE_MACHINE instance) { return record_cj<EndingProcess>(__func__, seq, instance); }

SCHEDULE_THROWING_EVALUATORS(S1, SINGLE_MACHINE)

void S1_Cmax_many(const int* seqs, int count, int jobs, const int* pt, long* out) {
    or_end_process([&] {
        many<Cmax>(__func__, seqs, count, jobs, {nullptr, nullptr, nullptr}, out, [&](const int* seq) {
            return catalogue::evaluate<Cmax>(__func__, conventions, {nullptr, nullptr, nullptr},
                                             completions(seq, jobs, pt, FromTimeZero{}));
        });
    });
}
SCHEDULE_RECORD_BATCH_EVALUATORS(S1, SINGLE_MACHINE)
SCHEDULE_THROWING_BATCH_EVALUATORS(S1, SINGLE_MACHINE)

}  // namespace schedule
