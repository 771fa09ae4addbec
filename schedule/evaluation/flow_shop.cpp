// Permutation flow-shop evaluators.
#include "schedule/evaluation/flow_shop_schedule.h"
#include "schedule/evaluation/objective_catalogue.h"
#include "schedule/schedule.h"

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
    return catalogue::evaluate<Obj>(evaluator, conventions, {dd, nullptr, nullptr},
                                    completions(seq, jobs, machines, pt, FromTimeZero{}));
}

template <class Obj>
typename Obj::Result record(const char* evaluator, const int* seq, const FLOWSHOP& in) {
    return catalogue::evaluate<Obj>(evaluator, conventions, {in.dd, in.w, in.r},
                                    completions(seq, in.jobs, in.machines, in.pt, Released{in.r}));
}

}  // namespace

using namespace catalogue;

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

long Fm_Prmu_Rj_Cmax(const int* seq, FLOWSHOP instance) { return record<Cmax>(__func__, seq, instance); }
long Fm_Prmu_Rj_Emax(const int* seq, FLOWSHOP instance) { return record<Emax>(__func__, seq, instance); }
long Fm_Prmu_Rj_Fmax(const int* seq, FLOWSHOP instance) { return record<Fmax>(__func__, seq, instance); }
long Fm_Prmu_Rj_Lmax(const int* seq, FLOWSHOP instance) { return record<Lmax>(__func__, seq, instance); }
long Fm_Prmu_Rj_SumCj(const int* seq, FLOWSHOP instance) { return record<SumCj>(__func__, seq, instance); }
long Fm_Prmu_Rj_SumEj(const int* seq, FLOWSHOP instance) { return record<SumEj>(__func__, seq, instance); }
long Fm_Prmu_Rj_SumFj(const int* seq, FLOWSHOP instance) { return record<SumFj>(__func__, seq, instance); }
long Fm_Prmu_Rj_SumLj(const int* seq, FLOWSHOP instance) { return record<SumLj>(__func__, seq, instance); }
long Fm_Prmu_Rj_SumTj(const int* seq, FLOWSHOP instance) { return record<SumTj>(__func__, seq, instance); }
long Fm_Prmu_Rj_SumUj(const int* seq, FLOWSHOP instance) { return record<SumUj>(__func__, seq, instance); }
long Fm_Prmu_Rj_Tmax(const int* seq, FLOWSHOP instance) { return record<Tmax>(__func__, seq, instance); }
double Fm_Prmu_Rj_Wj_Cmax(const int* seq, FLOWSHOP instance) { return record<Wj_Cmax>(__func__, seq, instance); }
double Fm_Prmu_Rj_Wj_Emax(const int* seq, FLOWSHOP instance) { return record<Wj_Emax>(__func__, seq, instance); }
double Fm_Prmu_Rj_Wj_Fmax(const int* seq, FLOWSHOP instance) { return record<Wj_Fmax>(__func__, seq, instance); }
double Fm_Prmu_Rj_Wj_Lmax(const int* seq, FLOWSHOP instance) { return record<Wj_Lmax>(__func__, seq, instance); }
double Fm_Prmu_Rj_Wj_SumCj(const int* seq, FLOWSHOP instance) { return record<Wj_SumCj>(__func__, seq, instance); }
double Fm_Prmu_Rj_Wj_SumEj(const int* seq, FLOWSHOP instance) { return record<Wj_SumEj>(__func__, seq, instance); }
double Fm_Prmu_Rj_Wj_SumFj(const int* seq, FLOWSHOP instance) { return record<Wj_SumFj>(__func__, seq, instance); }
double Fm_Prmu_Rj_Wj_SumLj(const int* seq, FLOWSHOP instance) { return record<Wj_SumLj>(__func__, seq, instance); }
double Fm_Prmu_Rj_Wj_SumTj(const int* seq, FLOWSHOP instance) { return record<Wj_SumTj>(__func__, seq, instance); }
double Fm_Prmu_Rj_Wj_SumUj(const int* seq, FLOWSHOP instance) { return record<Wj_SumUj>(__func__, seq, instance); }
double Fm_Prmu_Rj_Wj_Tmax(const int* seq, FLOWSHOP instance) { return record<Wj_Tmax>(__func__, seq, instance); }

long* Fm_Prmu_Rj_Cj(const int* seq, FLOWSHOP instance) {
    return completion_times(instance.jobs,
                            completions(seq, instance.jobs, instance.machines, instance.pt, Released{instance.r}));
}

}  // namespace schedule
