// Identical parallel-machine evaluators.
#include "evaluation/objective_catalogue.h"
#include "evaluation/parallel_machines_schedule.h"
#include "schedule/schedule.h"
#include "support/failure.h"

namespace schedule {

namespace {

using namespace parallel_machines;

// Every machine takes job j in pt[j]; a job goes to the machine that is free
// first.
template <class Obj>
long plain(const char* evaluator, const int* seq, int jobs, int machs, const int* pt, const long* dd = nullptr) {
    return or_end_process([&] { return evaluate<Obj, Dispatch::earliest_free>(evaluator, seq, jobs, machs, IdenticalTimes{pt}, FromTimeZero{},
                                                  {dd, nullptr, nullptr}); });
}

template <class Obj, class Run = EndingProcess>
typename Obj::Result record(const char* evaluator, const int* seq, const PARALLEL_MACHINES& in) {
    return Run{}([&] { return evaluate<Obj, Dispatch::earliest_free>(evaluator, seq, in.jobs, in.machines, IdenticalTimes{in.pt},
                                                  Released{in.r}, {in.dd, in.w, in.r}); });
}

}  // namespace

using namespace catalogue;

long Pm_Cmax(const int* seq, int jobs, int machs, const int* pt) { return plain<Cmax>(__func__, seq, jobs, machs, pt); }
long Pm_Emax(const int* seq, int jobs, int machs, const int* pt, const long* dd) {
    return plain<Emax>(__func__, seq, jobs, machs, pt, dd);
}
long Pm_Lmax(const int* seq, int jobs, int machs, const int* pt, const long* dd) {
    return plain<Lmax>(__func__, seq, jobs, machs, pt, dd);
}
long Pm_SumCj(const int* seq, int jobs, int machs, const int* pt) {
    return plain<SumCj>(__func__, seq, jobs, machs, pt);
}
long Pm_SumEj(const int* seq, int jobs, int machs, const int* pt, const long* dd) {
    return plain<SumEj>(__func__, seq, jobs, machs, pt, dd);
}
long Pm_SumLj(const int* seq, int jobs, int machs, const int* pt, const long* dd) {
    return plain<SumLj>(__func__, seq, jobs, machs, pt, dd);
}
long Pm_SumTj(const int* seq, int jobs, int machs, const int* pt, const long* dd) {
    return plain<SumTj>(__func__, seq, jobs, machs, pt, dd);
}
long Pm_SumUj(const int* seq, int jobs, int machs, const int* pt, const long* dd) {
    return plain<SumUj>(__func__, seq, jobs, machs, pt, dd);
}
long Pm_Tmax(const int* seq, int jobs, int machs, const int* pt, const long* dd) {
    return plain<Tmax>(__func__, seq, jobs, machs, pt, dd);
}

SCHEDULE_RECORD_EVALUATORS(Pm, PARALLEL_MACHINES)

// The completion times of a sequence, by either interface.
template <class Run>
static long* record_cj(const char* routine, const int* seq, const PARALLEL_MACHINES& instance) {
    return Run{}([&] { return completion_times<Dispatch::earliest_free>(routine, seq, instance.jobs, instance.machines,
                                                     IdenticalTimes{instance.pt}, Released{instance.r}); });
}

long* Pm_Rj_Cj(const int* seq, PARALLEL_MACHINES instance) { return record_cj<EndingProcess>(__func__, seq, instance); }

SCHEDULE_THROWING_EVALUATORS(Pm, PARALLEL_MACHINES)

}  // namespace schedule
