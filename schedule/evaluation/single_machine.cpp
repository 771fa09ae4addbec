// Single-machine evaluators, and the objective catalogue's shared pieces.
#include <cstdio>
#include <string>

#include "schedule/evaluation/objective_catalogue.h"
#include "schedule/evaluation/single_machine_schedule.h"
#include "schedule/schedule.h"
#include "schedule/support/failure.h"

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

template <class Obj>
typename Obj::Result record(const char* evaluator, const int* seq, const SINGLE_MACHINE& in) {
    return or_end_process([&] { return catalogue::evaluate<Obj>(evaluator, conventions, {in.dd, in.w, in.r},
                                    completions(seq, in.jobs, in.pt, Released{in.r})); });
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

long S1_Rj_Cmax(const int* seq, SINGLE_MACHINE instance) { return record<Cmax>(__func__, seq, instance); }
long S1_Rj_Emax(const int* seq, SINGLE_MACHINE instance) { return record<Emax>(__func__, seq, instance); }
long S1_Rj_Fmax(const int* seq, SINGLE_MACHINE instance) { return record<Fmax>(__func__, seq, instance); }
long S1_Rj_Lmax(const int* seq, SINGLE_MACHINE instance) { return record<Lmax>(__func__, seq, instance); }
long S1_Rj_SumCj(const int* seq, SINGLE_MACHINE instance) { return record<SumCj>(__func__, seq, instance); }
long S1_Rj_SumEj(const int* seq, SINGLE_MACHINE instance) { return record<SumEj>(__func__, seq, instance); }
long S1_Rj_SumFj(const int* seq, SINGLE_MACHINE instance) { return record<SumFj>(__func__, seq, instance); }
long S1_Rj_SumLj(const int* seq, SINGLE_MACHINE instance) { return record<SumLj>(__func__, seq, instance); }
long S1_Rj_SumTj(const int* seq, SINGLE_MACHINE instance) { return record<SumTj>(__func__, seq, instance); }
long S1_Rj_SumUj(const int* seq, SINGLE_MACHINE instance) { return record<SumUj>(__func__, seq, instance); }
long S1_Rj_Tmax(const int* seq, SINGLE_MACHINE instance) { return record<Tmax>(__func__, seq, instance); }
double S1_Rj_Wj_Cmax(const int* seq, SINGLE_MACHINE instance) { return record<Wj_Cmax>(__func__, seq, instance); }
double S1_Rj_Wj_Emax(const int* seq, SINGLE_MACHINE instance) { return record<Wj_Emax>(__func__, seq, instance); }
double S1_Rj_Wj_Fmax(const int* seq, SINGLE_MACHINE instance) { return record<Wj_Fmax>(__func__, seq, instance); }
double S1_Rj_Wj_Lmax(const int* seq, SINGLE_MACHINE instance) { return record<Wj_Lmax>(__func__, seq, instance); }
double S1_Rj_Wj_SumCj(const int* seq, SINGLE_MACHINE instance) { return record<Wj_SumCj>(__func__, seq, instance); }
double S1_Rj_Wj_SumEj(const int* seq, SINGLE_MACHINE instance) { return record<Wj_SumEj>(__func__, seq, instance); }
double S1_Rj_Wj_SumFj(const int* seq, SINGLE_MACHINE instance) { return record<Wj_SumFj>(__func__, seq, instance); }
double S1_Rj_Wj_SumLj(const int* seq, SINGLE_MACHINE instance) { return record<Wj_SumLj>(__func__, seq, instance); }
double S1_Rj_Wj_SumTj(const int* seq, SINGLE_MACHINE instance) { return record<Wj_SumTj>(__func__, seq, instance); }
double S1_Rj_Wj_SumUj(const int* seq, SINGLE_MACHINE instance) { return record<Wj_SumUj>(__func__, seq, instance); }
double S1_Rj_Wj_Tmax(const int* seq, SINGLE_MACHINE instance) { return record<Wj_Tmax>(__func__, seq, instance); }

long* S1_Rj_Cj(const int* seq, SINGLE_MACHINE instance) {
    return or_end_process([&] { return completion_times(instance.jobs, completions(seq, instance.jobs, instance.pt, Released{instance.r})); });
}

}  // namespace schedule
