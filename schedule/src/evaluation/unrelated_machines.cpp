// Unrelated parallel-machine evaluators.
#include "evaluation/objective_catalogue.h"
#include "evaluation/parallel_machines_schedule.h"
#include "schedule/schedule.h"
#include "support/failure.h"

namespace schedule {

namespace {

using namespace parallel_machines;

// Machine i takes job j in pt[i][j]; a job goes to the machine where it would
// complete first, its release date aside.
template <class Obj>
long plain(const char* evaluator, const int* seq, int jobs, int machs, const int* const* pt,
           const long* dd = nullptr) {
    return or_end_process([&] { return evaluate<Obj, Dispatch::earliest_completion>(evaluator, seq, jobs, machs, UnrelatedTimes{pt},
                                                        FromTimeZero{}, {dd, nullptr, nullptr}); });
}

template <class Obj, class Run = EndingProcess>
typename Obj::Result record(const char* evaluator, const int* seq, const UNRELATED_MACHINES& in) {
    return Run{}([&] { return evaluate<Obj, Dispatch::earliest_completion>(evaluator, seq, in.jobs, in.machines, UnrelatedTimes{in.pt},
                                                        Released{in.r}, {in.dd, in.w, in.r}); });
}

}  // namespace

using namespace catalogue;

long Rm_Cmax(const int* seq, int jobs, int machs, const int* const* pt) {
    return plain<Cmax>(__func__, seq, jobs, machs, pt);
}
long Rm_Emax(const int* seq, int jobs, int machs, const int* const* pt, const long* dd) {
    return plain<Emax>(__func__, seq, jobs, machs, pt, dd);
}
long Rm_Lmax(const int* seq, int jobs, int machs, const int* const* pt, const long* dd) {
    return plain<Lmax>(__func__, seq, jobs, machs, pt, dd);
}
long Rm_SumCj(const int* seq, int jobs, int machs, const int* const* pt) {
    return plain<SumCj>(__func__, seq, jobs, machs, pt);
}
long Rm_SumEj(const int* seq, int jobs, int machs, const int* const* pt, const long* dd) {
    return plain<SumEj>(__func__, seq, jobs, machs, pt, dd);
}
long Rm_SumLj(const int* seq, int jobs, int machs, const int* const* pt, const long* dd) {
    return plain<SumLj>(__func__, seq, jobs, machs, pt, dd);
}
long Rm_SumTj(const int* seq, int jobs, int machs, const int* const* pt, const long* dd) {
    return plain<SumTj>(__func__, seq, jobs, machs, pt, dd);
}
long Rm_SumUj(const int* seq, int jobs, int machs, const int* const* pt, const long* dd) {
    return plain<SumUj>(__func__, seq, jobs, machs, pt, dd);
}
long Rm_Tmax(const int* seq, int jobs, int machs, const int* const* pt, const long* dd) {
    return plain<Tmax>(__func__, seq, jobs, machs, pt, dd);
}

SCHEDULE_RECORD_EVALUATORS(Rm, UNRELATED_MACHINES)

// The completion times of a sequence, by either interface.
template <class Run>
static long* record_cj(const char* routine, const int* seq, const UNRELATED_MACHINES& instance) {
    return Run{}([&] { return completion_times<Dispatch::earliest_completion>(routine, seq, instance.jobs, instance.machines,
                                                           UnrelatedTimes{instance.pt}, Released{instance.r}); });
}

long* Rm_Rj_Cj(const int* seq, UNRELATED_MACHINES instance) { return record_cj<EndingProcess>(__func__, seq, instance); }

SCHEDULE_THROWING_EVALUATORS(Rm, UNRELATED_MACHINES)

}  // namespace schedule
