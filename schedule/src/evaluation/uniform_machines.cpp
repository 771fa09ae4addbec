// Uniform parallel-machine evaluators.
#include "evaluation/objective_catalogue.h"
#include "evaluation/parallel_machines_schedule.h"
#include "schedule/schedule.h"
#include "support/failure.h"

namespace schedule {

namespace {

using namespace parallel_machines;

// Machine i takes job j in lround(pt[j] / v[i]). The plain family sends a
// job to the machine where it would complete first; the record family to the
// machine that is free first, whatever its speed.
template <class Obj>
long plain(const char* evaluator, const int* seq, int jobs, int machs, const int* pt, const int* v,
           const long* dd = nullptr) {
    return or_end_process([&] { return evaluate<Obj, Dispatch::earliest_completion>(evaluator, seq, jobs, machs,
                                                        uniform_times(evaluator, machs, pt, v), FromTimeZero{},
                                                        {dd, nullptr, nullptr}); });
}

template <class Obj, class Run = EndingProcess>
typename Obj::Result record(const char* evaluator, const int* seq, const RELATED_MACHINES& in) {
    return Run{}([&] { return evaluate<Obj, Dispatch::earliest_free>(evaluator, seq, in.jobs, in.machines,
                                                  uniform_times(evaluator, in.machines, in.pt, in.v), Released{in.r},
                                                  {in.dd, in.w, in.r}); });
}

}  // namespace

using namespace catalogue;

long Qm_Cmax(const int* seq, int jobs, int machs, const int* pt, const int* v) {
    return plain<Cmax>(__func__, seq, jobs, machs, pt, v);
}
long Qm_Emax(const int* seq, int jobs, int machs, const int* pt, const int* v, const long* dd) {
    return plain<Emax>(__func__, seq, jobs, machs, pt, v, dd);
}
long Qm_Lmax(const int* seq, int jobs, int machs, const int* pt, const int* v, const long* dd) {
    return plain<Lmax>(__func__, seq, jobs, machs, pt, v, dd);
}
long Qm_SumCj(const int* seq, int jobs, int machs, const int* pt, const int* v) {
    return plain<SumCj>(__func__, seq, jobs, machs, pt, v);
}
long Qm_SumEj(const int* seq, int jobs, int machs, const int* pt, const int* v, const long* dd) {
    return plain<SumEj>(__func__, seq, jobs, machs, pt, v, dd);
}
long Qm_SumLj(const int* seq, int jobs, int machs, const int* pt, const int* v, const long* dd) {
    return plain<SumLj>(__func__, seq, jobs, machs, pt, v, dd);
}
long Qm_SumTj(const int* seq, int jobs, int machs, const int* pt, const int* v, const long* dd) {
    return plain<SumTj>(__func__, seq, jobs, machs, pt, v, dd);
}
long Qm_SumUj(const int* seq, int jobs, int machs, const int* pt, const int* v, const long* dd) {
    return plain<SumUj>(__func__, seq, jobs, machs, pt, v, dd);
}
long Qm_Tmax(const int* seq, int jobs, int machs, const int* pt, const int* v, const long* dd) {
    return plain<Tmax>(__func__, seq, jobs, machs, pt, v, dd);
}

SCHEDULE_RECORD_EVALUATORS(Qm, RELATED_MACHINES)

// The completion times of a sequence, by either interface.
template <class Run>
static long* record_cj(const char* routine, const int* seq, const RELATED_MACHINES& instance) {
    return Run{}([&] { return completion_times<Dispatch::earliest_free>(
        routine, seq, instance.jobs, instance.machines,
        uniform_times(routine, instance.machines, instance.pt, instance.v), Released{instance.r}); });
}

long* Qm_Rj_Cj(const int* seq, RELATED_MACHINES instance) { return record_cj<EndingProcess>(__func__, seq, instance); }

SCHEDULE_THROWING_EVALUATORS(Qm, RELATED_MACHINES)

}  // namespace schedule
