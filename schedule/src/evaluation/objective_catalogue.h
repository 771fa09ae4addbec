// The objective catalogue: from the completion time of each job to every
// objective the evaluators offer. An environment's schedule construction
// reports each job's completion time, in the order the environment meets the
// jobs, to an accumulator of the objective asked for; the named evaluators are
// bindings of an objective onto a construction.
#ifndef SCHEDULE_EVALUATION_OBJECTIVE_CATALOGUE_H
#define SCHEDULE_EVALUATION_OBJECTIVE_CATALOGUE_H

#include <algorithm>
#include <limits>
#include <type_traits>

#include "schedule/checked/objectives.h"
#include "support/allocation.h"
#include "support/failure.h"
#include "schedule/schedule.h"

namespace schedule::catalogue {

// Per-job quantities.
enum class Quantity {
    completion,  // C_j
    lateness,    // L_j = C_j − d_j
    tardiness,   // T_j = max(L_j, 0)
    earliness,   // E_j = max(−L_j, 0)
    flow_time,   // F_j = C_j − r_j
    tardy,       // U_j = 1 when C_j > d_j
};

// How the terms of all jobs become one value.
enum class Fold {
    makespan,  // Cmax: see Conventions::makespan_is_last
    maximum,   // the largest term; a later term wins only when strictly greater
    sum,       // the sum of the terms in the order they are met
};

template <Quantity Q, Fold F, bool Weighted>
struct Objective {
    static constexpr Quantity quantity = Q;
    static constexpr Fold fold = F;
    static constexpr bool weighted = Weighted;
    static constexpr bool needs_due_dates = Q != Quantity::completion && Q != Quantity::flow_time;
    using Result = std::conditional_t<Weighted, double, long>;
};

using Cmax = Objective<Quantity::completion, Fold::makespan, false>;
using Emax = Objective<Quantity::earliness, Fold::maximum, false>;
using Fmax = Objective<Quantity::flow_time, Fold::maximum, false>;
using Lmax = Objective<Quantity::lateness, Fold::maximum, false>;
using Tmax = Objective<Quantity::tardiness, Fold::maximum, false>;
using SumCj = Objective<Quantity::completion, Fold::sum, false>;
using SumEj = Objective<Quantity::earliness, Fold::sum, false>;
using SumFj = Objective<Quantity::flow_time, Fold::sum, false>;
using SumLj = Objective<Quantity::lateness, Fold::sum, false>;
using SumTj = Objective<Quantity::tardiness, Fold::sum, false>;
using SumUj = Objective<Quantity::tardy, Fold::sum, false>;
using Wj_Cmax = Objective<Quantity::completion, Fold::maximum, true>;
using Wj_Emax = Objective<Quantity::earliness, Fold::maximum, true>;
using Wj_Fmax = Objective<Quantity::flow_time, Fold::maximum, true>;
using Wj_Lmax = Objective<Quantity::lateness, Fold::maximum, true>;
using Wj_Tmax = Objective<Quantity::tardiness, Fold::maximum, true>;
using Wj_SumCj = Objective<Quantity::completion, Fold::sum, true>;
using Wj_SumEj = Objective<Quantity::earliness, Fold::sum, true>;
using Wj_SumFj = Objective<Quantity::flow_time, Fold::sum, true>;
using Wj_SumLj = Objective<Quantity::lateness, Fold::sum, true>;
using Wj_SumTj = Objective<Quantity::tardiness, Fold::sum, true>;
using Wj_SumUj = Objective<Quantity::tardy, Fold::sum, true>;

// Where environments differ in folding the same terms.
struct Conventions {
    // Cmax is the completion time of the last job met (environments whose
    // machines take the jobs in sequence order) instead of the largest.
    bool makespan_is_last;
    // What a weighted sum starts from: −0.0 makes the sum begin with its
    // first term exactly (−0.0 + x is x for every x), 0.0 starts it at zero.
    // The total weight of the tardy jobs always starts at 0.0.
    double weighted_sum_origin;
    // Lmax and Wj_Lmax of an empty schedule; every other objective is 0.
    long empty_lateness_max;
};

// The job data the quantities read; `dd` is null when there are no due
// dates, `w` and `r` are read only by weighted and flow-time objectives.
struct JobData {
    const long* dd;
    const double* w;
    const int* r;
};

// Clipping at 0 uses std::max, which inlines into the constructions' loops;
// it gives the same value as lMax.
template <Quantity Q>
long quantity(long completion, int job, const JobData& data) {
    if constexpr (Q == Quantity::completion) {
        return completion;
    } else if constexpr (Q == Quantity::lateness) {
        return completion - data.dd[job];
    } else if constexpr (Q == Quantity::tardiness) {
        return std::max(completion - data.dd[job], 0L);
    } else if constexpr (Q == Quantity::earliness) {
        return std::max(data.dd[job] - completion, 0L);
    } else if constexpr (Q == Quantity::flow_time) {
        return completion - data.r[job];
    } else {
        return completion > data.dd[job] ? 1 : 0;
    }
}

// Folds the terms of the jobs, one job at a time.
template <class Obj>
class Accumulator {
public:
    using Result = typename Obj::Result;

    Accumulator(const Conventions& conventions, const JobData& data)
        : conventions_(conventions), data_(data), value_(origin()) {}

    void add(int job, long completion) {
        const Result t = term(job, completion);
        if constexpr (Obj::fold == Fold::sum) {
            value_ += t;
        } else if constexpr (integer_maximum) {
            // From the smallest long, the first term always wins (or equals
            // it), so no "empty so far" test is needed, and std::max becomes
            // a conditional move: whether a term is a new largest is as good
            // as random on parallel machines, and a branch on it mispredicts.
            if (Obj::fold == Fold::makespan && conventions_.makespan_is_last) {
                value_ = t;
            } else {
                value_ = std::max(value_, t);
            }
        } else {
            const bool take_last = Obj::fold == Fold::makespan && conventions_.makespan_is_last;
            if (take_last || empty_ || t > value_) value_ = t;
        }
        empty_ = false;
    }

    Result result() const {
        if (!empty_) return value_;
        if constexpr (Obj::fold == Fold::maximum && Obj::quantity == Quantity::lateness) {
            return static_cast<Result>(conventions_.empty_lateness_max);
        }
        return 0;
    }

private:
    static constexpr bool integer_maximum = Obj::fold != Fold::sum && !Obj::weighted;

    Result origin() const {
        if constexpr (integer_maximum) return std::numeric_limits<long>::min();
        if constexpr (Obj::fold == Fold::sum && Obj::weighted && Obj::quantity != Quantity::tardy) {
            return conventions_.weighted_sum_origin;
        }
        return 0;
    }

    Result term(int job, long completion) const {
        if constexpr (Obj::weighted && Obj::quantity == Quantity::tardy) {
            return completion > data_.dd[job] ? data_.w[job] : 0.0;
        } else if constexpr (Obj::weighted) {
            return static_cast<double>(quantity<Obj::quantity>(completion, job, data_)) * data_.w[job];
        } else {
            return quantity<Obj::quantity>(completion, job, data_);
        }
    }

    const Conventions& conventions_;
    const JobData& data_;
    Result value_;
    bool empty_ = true;
};

// Throws Error (argument): `evaluator` was asked for a due-date objective
// without due dates.
[[noreturn]] void missing_due_dates(const char* evaluator);

// The value of objective `Obj` over the schedule that `construct` builds.
// `construct` is called once with a callable completed(job, completion) that
// it must call for every job, in the order the environment meets the jobs.
template <class Obj, class Construct>
typename Obj::Result evaluate(const char* evaluator, const Conventions& conventions, const JobData& data,
                              Construct&& construct) {
    if constexpr (Obj::needs_due_dates) {
        if (data.dd == nullptr) missing_due_dates(evaluator);
    }
    Accumulator<Obj> accumulator(conventions, data);
    construct([&accumulator](int job, long completion) { accumulator.add(job, completion); });
    return accumulator.result();
}

// A new vector of `jobs` completion times, indexed by job, filled by
// `construct` as in evaluate; released again if the construction fails.
template <class Construct>
long* completion_times(int jobs, Construct&& construct) {
    Vector<long> completion(vector_or_throw<long>(jobs));
    long* c = completion.get();
    construct([c](int job, long end) { c[job] = end; });
    return completion.release();
}

}  // namespace schedule::catalogue

// The record evaluators of an environment, one per objective of the catalogue
// (SCHEDULE_OBJECTIVES): P_Rj_NAME(seq, instance), by the environment's own
// record<Objective>(routine, seq, instance).
#define SCHEDULE_RECORD_EVALUATOR(NAME, NEEDS_DUE_DATES, P, RECORD)                 \
    catalogue::NAME::Result P##_Rj_##NAME(const int* seq, RECORD instance) {         \
        return record<catalogue::NAME>(__func__, seq, instance);                     \
    }
#define SCHEDULE_RECORD_EVALUATORS(P, RECORD) SCHEDULE_OBJECTIVES(SCHEDULE_RECORD_EVALUATOR, P, RECORD)

// And their batch forms, P_Rj_NAME_many(seqs, count, instance, out), by the
// environment's record_many<Objective>(routine, seqs, count, instance, out).
#define SCHEDULE_RECORD_BATCH_EVALUATOR(NAME, NEEDS_DUE_DATES, P, RECORD)                                      \
    void P##_Rj_##NAME##_many(const int* seqs, int count, RECORD instance, catalogue::NAME::Result* out) {     \
        or_end_process([&] { record_many<catalogue::NAME>(__func__, seqs, count, instance, out); });           \
    }
#define SCHEDULE_RECORD_BATCH_EVALUATORS(P, RECORD) SCHEDULE_OBJECTIVES(SCHEDULE_RECORD_BATCH_EVALUATOR, P, RECORD)

// The same evaluators for the checked interface, in namespace
// schedule::throwing (declared in throwing_evaluators.h): they throw Error
// where the named ones end the process. record<Objective, Throwing> and the
// environment's record_cj<Throwing>(routine, seq, instance) do the work.
#define SCHEDULE_THROWING_EVALUATOR(NAME, NEEDS_DUE_DATES, P, RECORD)              \
    catalogue::NAME::Result P##_Rj_##NAME(const int* seq, RECORD instance) {         \
        return record<catalogue::NAME, Throwing>(__func__, seq, instance);           \
    }
#define SCHEDULE_THROWING_EVALUATORS(P, RECORD)                                                            \
    namespace throwing {                                                                                   \
    SCHEDULE_OBJECTIVES(SCHEDULE_THROWING_EVALUATOR, P, RECORD)                                            \
    long* P##_Rj_Cj(const int* seq, RECORD instance) { return record_cj<Throwing>(__func__, seq, instance); } \
    }
#define SCHEDULE_THROWING_BATCH_EVALUATOR(NAME, NEEDS_DUE_DATES, P, RECORD)                                   \
    void P##_Rj_##NAME##_many(const int* seqs, int count, RECORD instance, catalogue::NAME::Result* out) {     \
        record_many<catalogue::NAME>(__func__, seqs, count, instance, out);                                    \
    }
#define SCHEDULE_THROWING_BATCH_EVALUATORS(P, RECORD) \
    namespace throwing {                              \
    SCHEDULE_OBJECTIVES(SCHEDULE_THROWING_BATCH_EVALUATOR, P, RECORD) \
    }

#endif  // SCHEDULE_EVALUATION_OBJECTIVE_CATALOGUE_H
