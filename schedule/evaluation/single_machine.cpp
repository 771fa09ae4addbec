// Single-machine evaluators, and the objective catalogue's shared pieces.
#include <cstddef>
#include <cstdio>
#include <string>
#include <type_traits>

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

void S1_Cmax_many(const int* seqs, int count, int jobs, const int* pt, long* out) {
    or_end_process([&] {
        many<Cmax>(__func__, seqs, count, jobs, {nullptr, nullptr, nullptr}, out, [&](const int* seq) {
            return catalogue::evaluate<Cmax>(__func__, conventions, {nullptr, nullptr, nullptr},
                                             completions(seq, jobs, pt, FromTimeZero{}));
        });
    });
}
void S1_Rj_Cmax_many(const int* seqs, int count, SINGLE_MACHINE instance, long* out) {
    or_end_process([&] { record_many<Cmax>(__func__, seqs, count, instance, out); });
}
void S1_Rj_Emax_many(const int* seqs, int count, SINGLE_MACHINE instance, long* out) {
    or_end_process([&] { record_many<Emax>(__func__, seqs, count, instance, out); });
}
void S1_Rj_Fmax_many(const int* seqs, int count, SINGLE_MACHINE instance, long* out) {
    or_end_process([&] { record_many<Fmax>(__func__, seqs, count, instance, out); });
}
void S1_Rj_Lmax_many(const int* seqs, int count, SINGLE_MACHINE instance, long* out) {
    or_end_process([&] { record_many<Lmax>(__func__, seqs, count, instance, out); });
}
void S1_Rj_SumCj_many(const int* seqs, int count, SINGLE_MACHINE instance, long* out) {
    or_end_process([&] { record_many<SumCj>(__func__, seqs, count, instance, out); });
}
void S1_Rj_SumEj_many(const int* seqs, int count, SINGLE_MACHINE instance, long* out) {
    or_end_process([&] { record_many<SumEj>(__func__, seqs, count, instance, out); });
}
void S1_Rj_SumFj_many(const int* seqs, int count, SINGLE_MACHINE instance, long* out) {
    or_end_process([&] { record_many<SumFj>(__func__, seqs, count, instance, out); });
}
void S1_Rj_SumLj_many(const int* seqs, int count, SINGLE_MACHINE instance, long* out) {
    or_end_process([&] { record_many<SumLj>(__func__, seqs, count, instance, out); });
}
void S1_Rj_SumTj_many(const int* seqs, int count, SINGLE_MACHINE instance, long* out) {
    or_end_process([&] { record_many<SumTj>(__func__, seqs, count, instance, out); });
}
void S1_Rj_SumUj_many(const int* seqs, int count, SINGLE_MACHINE instance, long* out) {
    or_end_process([&] { record_many<SumUj>(__func__, seqs, count, instance, out); });
}
void S1_Rj_Tmax_many(const int* seqs, int count, SINGLE_MACHINE instance, long* out) {
    or_end_process([&] { record_many<Tmax>(__func__, seqs, count, instance, out); });
}
void S1_Rj_Wj_Cmax_many(const int* seqs, int count, SINGLE_MACHINE instance, double* out) {
    or_end_process([&] { record_many<Wj_Cmax>(__func__, seqs, count, instance, out); });
}
void S1_Rj_Wj_Emax_many(const int* seqs, int count, SINGLE_MACHINE instance, double* out) {
    or_end_process([&] { record_many<Wj_Emax>(__func__, seqs, count, instance, out); });
}
void S1_Rj_Wj_Fmax_many(const int* seqs, int count, SINGLE_MACHINE instance, double* out) {
    or_end_process([&] { record_many<Wj_Fmax>(__func__, seqs, count, instance, out); });
}
void S1_Rj_Wj_Lmax_many(const int* seqs, int count, SINGLE_MACHINE instance, double* out) {
    or_end_process([&] { record_many<Wj_Lmax>(__func__, seqs, count, instance, out); });
}
void S1_Rj_Wj_SumCj_many(const int* seqs, int count, SINGLE_MACHINE instance, double* out) {
    or_end_process([&] { record_many<Wj_SumCj>(__func__, seqs, count, instance, out); });
}
void S1_Rj_Wj_SumEj_many(const int* seqs, int count, SINGLE_MACHINE instance, double* out) {
    or_end_process([&] { record_many<Wj_SumEj>(__func__, seqs, count, instance, out); });
}
void S1_Rj_Wj_SumFj_many(const int* seqs, int count, SINGLE_MACHINE instance, double* out) {
    or_end_process([&] { record_many<Wj_SumFj>(__func__, seqs, count, instance, out); });
}
void S1_Rj_Wj_SumLj_many(const int* seqs, int count, SINGLE_MACHINE instance, double* out) {
    or_end_process([&] { record_many<Wj_SumLj>(__func__, seqs, count, instance, out); });
}
void S1_Rj_Wj_SumTj_many(const int* seqs, int count, SINGLE_MACHINE instance, double* out) {
    or_end_process([&] { record_many<Wj_SumTj>(__func__, seqs, count, instance, out); });
}
void S1_Rj_Wj_SumUj_many(const int* seqs, int count, SINGLE_MACHINE instance, double* out) {
    or_end_process([&] { record_many<Wj_SumUj>(__func__, seqs, count, instance, out); });
}
void S1_Rj_Wj_Tmax_many(const int* seqs, int count, SINGLE_MACHINE instance, double* out) {
    or_end_process([&] { record_many<Wj_Tmax>(__func__, seqs, count, instance, out); });
}

}  // namespace schedule
