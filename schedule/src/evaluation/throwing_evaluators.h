// The record evaluators as the checked interface runs them: the same work as
// the named evaluators of <schedule/schedule.h>, with the same names in
// namespace schedule::throwing, throwing Error where those end the process
// (storage that cannot be had, above all). Defined beside the named ones in
// each environment's source; the tables below are made from the one list of
// objectives, in the order of objective_table.
#ifndef SCHEDULE_EVALUATION_THROWING_EVALUATORS_H
#define SCHEDULE_EVALUATION_THROWING_EVALUATORS_H

#include <array>
#include <cstddef>

#include "schedule/checked/objectives.h"
#include "schedule/schedule.h"

namespace schedule::throwing {

#define SCHEDULE_DECLARE_THROWING(NAME, NEEDS_DUE_DATES, P, RECORD) \
    decltype(::schedule::P##_Rj_##NAME(nullptr, RECORD{})) P##_Rj_##NAME(const int* seq, RECORD instance);
#define SCHEDULE_DECLARE_THROWING_MANY(NAME, NEEDS_DUE_DATES, P, RECORD) \
    void P##_Rj_##NAME##_many(const int* seqs, int count, RECORD instance, \
                              decltype(::schedule::P##_Rj_##NAME(nullptr, RECORD{}))* out);
#define SCHEDULE_DECLARE_ENVIRONMENT(P, RECORD)                        \
    SCHEDULE_OBJECTIVES(SCHEDULE_DECLARE_THROWING, P, RECORD)          \
    long* P##_Rj_Cj(const int* seq, RECORD instance);
SCHEDULE_DECLARE_ENVIRONMENT(S1, SINGLE_MACHINE)
SCHEDULE_DECLARE_ENVIRONMENT(Pm, PARALLEL_MACHINES)
SCHEDULE_DECLARE_ENVIRONMENT(Qm, RELATED_MACHINES)
SCHEDULE_DECLARE_ENVIRONMENT(Rm, UNRELATED_MACHINES)
SCHEDULE_DECLARE_ENVIRONMENT(Fm_Prmu, FLOWSHOP)
SCHEDULE_DECLARE_ENVIRONMENT(Jm, JOBSHOP)
SCHEDULE_OBJECTIVES(SCHEDULE_DECLARE_THROWING_MANY, S1, SINGLE_MACHINE)
SCHEDULE_OBJECTIVES(SCHEDULE_DECLARE_THROWING_MANY, Fm_Prmu, FLOWSHOP)
#undef SCHEDULE_DECLARE_ENVIRONMENT
#undef SCHEDULE_DECLARE_THROWING_MANY
#undef SCHEDULE_DECLARE_THROWING

// Each environment's objectives with these evaluators, in the order of
// objective_table<Record>, and its completion times.
template <class Record>
struct Evaluators;
#define SCHEDULE_THROWING_ENTRY(NAME, NEEDS_DUE_DATES, P) ::schedule::detail::objective_entry(#NAME, NEEDS_DUE_DATES, P##_Rj_##NAME),
#define SCHEDULE_THROWING_TABLE(RECORD, P)                                                          \
    template <>                                                                                     \
    struct Evaluators<RECORD> {                                                                     \
        static constexpr std::array<Objective<RECORD>, detail::objective_count> objectives{          \
            {SCHEDULE_OBJECTIVES(SCHEDULE_THROWING_ENTRY, P)}};                                      \
        static long* completion_times(const int* seq, RECORD instance) { return throwing::P##_Rj_Cj(seq, instance); } \
    };
SCHEDULE_THROWING_TABLE(SINGLE_MACHINE, S1)
SCHEDULE_THROWING_TABLE(PARALLEL_MACHINES, Pm)
SCHEDULE_THROWING_TABLE(RELATED_MACHINES, Qm)
SCHEDULE_THROWING_TABLE(UNRELATED_MACHINES, Rm)
SCHEDULE_THROWING_TABLE(FLOWSHOP, Fm_Prmu)
SCHEDULE_THROWING_TABLE(JOBSHOP, Jm)
#undef SCHEDULE_THROWING_TABLE
#undef SCHEDULE_THROWING_ENTRY

// The position of `objective` in the environment's table (the entry with
// the same evaluators), or the table's size when it is not one of them.
template <class Record>
std::size_t position(const Objective<Record>& objective) noexcept {
    const auto& named = objective_table<Record>;
    std::size_t k = 0;
    while (k < named.size() && !(named[k].integer == objective.integer && named[k].real == objective.real)) ++k;
    return k;
}

// The evaluator the checked interface runs for `objective`: its counterpart
// here when it is an entry of the environment's table, else `objective`
// itself.
template <class Record>
const Objective<Record>& counterpart(const Objective<Record>& objective) noexcept {
    const std::size_t k = position(objective);
    return k < Evaluators<Record>::objectives.size() ? Evaluators<Record>::objectives[k] : objective;
}

}  // namespace schedule::throwing

#endif  // SCHEDULE_EVALUATION_THROWING_EVALUATORS_H
