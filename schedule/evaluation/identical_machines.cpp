// Identical parallel-machine evaluators.
#include "schedule/evaluation/objective_catalogue.h"
#include "schedule/evaluation/parallel_machines_schedule.h"
#include "schedule/schedule.h"
#include "schedule/support/failure.h"

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

template <class Obj>
typename Obj::Result record(const char* evaluator, const int* seq, const PARALLEL_MACHINES& in) {
    return or_end_process([&] { return evaluate<Obj, Dispatch::earliest_free>(evaluator, seq, in.jobs, in.machines, IdenticalTimes{in.pt},
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

long Pm_Rj_Cmax(const int* seq, PARALLEL_MACHINES instance) { return record<Cmax>(__func__, seq, instance); }
long Pm_Rj_Emax(const int* seq, PARALLEL_MACHINES instance) { return record<Emax>(__func__, seq, instance); }
long Pm_Rj_Fmax(const int* seq, PARALLEL_MACHINES instance) { return record<Fmax>(__func__, seq, instance); }
long Pm_Rj_Lmax(const int* seq, PARALLEL_MACHINES instance) { return record<Lmax>(__func__, seq, instance); }
long Pm_Rj_SumCj(const int* seq, PARALLEL_MACHINES instance) { return record<SumCj>(__func__, seq, instance); }
long Pm_Rj_SumEj(const int* seq, PARALLEL_MACHINES instance) { return record<SumEj>(__func__, seq, instance); }
long Pm_Rj_SumFj(const int* seq, PARALLEL_MACHINES instance) { return record<SumFj>(__func__, seq, instance); }
long Pm_Rj_SumLj(const int* seq, PARALLEL_MACHINES instance) { return record<SumLj>(__func__, seq, instance); }
long Pm_Rj_SumTj(const int* seq, PARALLEL_MACHINES instance) { return record<SumTj>(__func__, seq, instance); }
long Pm_Rj_SumUj(const int* seq, PARALLEL_MACHINES instance) { return record<SumUj>(__func__, seq, instance); }
long Pm_Rj_Tmax(const int* seq, PARALLEL_MACHINES instance) { return record<Tmax>(__func__, seq, instance); }
double Pm_Rj_Wj_Cmax(const int* seq, PARALLEL_MACHINES instance) { return record<Wj_Cmax>(__func__, seq, instance); }
double Pm_Rj_Wj_Emax(const int* seq, PARALLEL_MACHINES instance) { return record<Wj_Emax>(__func__, seq, instance); }
double Pm_Rj_Wj_Fmax(const int* seq, PARALLEL_MACHINES instance) { return record<Wj_Fmax>(__func__, seq, instance); }
double Pm_Rj_Wj_Lmax(const int* seq, PARALLEL_MACHINES instance) { return record<Wj_Lmax>(__func__, seq, instance); }
double Pm_Rj_Wj_SumCj(const int* seq, PARALLEL_MACHINES instance) { return record<Wj_SumCj>(__func__, seq, instance); }
double Pm_Rj_Wj_SumEj(const int* seq, PARALLEL_MACHINES instance) { return record<Wj_SumEj>(__func__, seq, instance); }
double Pm_Rj_Wj_SumFj(const int* seq, PARALLEL_MACHINES instance) { return record<Wj_SumFj>(__func__, seq, instance); }
double Pm_Rj_Wj_SumLj(const int* seq, PARALLEL_MACHINES instance) { return record<Wj_SumLj>(__func__, seq, instance); }
double Pm_Rj_Wj_SumTj(const int* seq, PARALLEL_MACHINES instance) { return record<Wj_SumTj>(__func__, seq, instance); }
double Pm_Rj_Wj_SumUj(const int* seq, PARALLEL_MACHINES instance) { return record<Wj_SumUj>(__func__, seq, instance); }
double Pm_Rj_Wj_Tmax(const int* seq, PARALLEL_MACHINES instance) { return record<Wj_Tmax>(__func__, seq, instance); }

long* Pm_Rj_Cj(const int* seq, PARALLEL_MACHINES instance) {
    const char* routine = __func__;
    return or_end_process([&] { return completion_times<Dispatch::earliest_free>(routine, seq, instance.jobs, instance.machines,
                                                     IdenticalTimes{instance.pt}, Released{instance.r}); });
}

}  // namespace schedule
