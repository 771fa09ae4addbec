// schedule — the checked interface: the objective catalogue of each machine environment.
// Part of <schedule/checked.h>, which includes every part.
#ifndef SCHEDULE_CHECKED_OBJECTIVES_H
#define SCHEDULE_CHECKED_OBJECTIVES_H

#include <array>
#include <cstddef>
#include <string_view>
#include <variant>

#include "schedule/checked/records.h"

namespace schedule {

// One objective of the catalogue and the record evaluator that computes it:
// `integer` for the unweighted ones (long), `real` for the weighted (double).
template <EvaluatedRecord Record>
struct Objective {
    std::string_view name;
    bool weighted;
    bool needs_due_dates;
    long (*integer)(const int*, Record);
    double (*real)(const int*, Record);
};

// The objective catalogue, written once: X(NAME, NEEDS_DUE_DATES, ...) for
// every objective in the order of the tables, the arguments after
// NEEDS_DUE_DATES passed through. The unweighted objectives come first (their
// values a long), then their Wj_ forms (a double). The tables of every
// environment and the library's definitions of the record evaluators are made
// from this list; <schedule/schedule.h> declares each evaluator by name.
#define SCHEDULE_OBJECTIVES(X, ...)                                                                              \
    X(Cmax, false, __VA_ARGS__) X(Emax, true, __VA_ARGS__) X(Fmax, false, __VA_ARGS__) X(Lmax, true, __VA_ARGS__) \
    X(SumCj, false, __VA_ARGS__) X(SumEj, true, __VA_ARGS__) X(SumFj, false, __VA_ARGS__)                        \
    X(SumLj, true, __VA_ARGS__) X(SumTj, true, __VA_ARGS__) X(SumUj, true, __VA_ARGS__) X(Tmax, true, __VA_ARGS__) \
    X(Wj_Cmax, false, __VA_ARGS__) X(Wj_Emax, true, __VA_ARGS__) X(Wj_Fmax, false, __VA_ARGS__)                  \
    X(Wj_Lmax, true, __VA_ARGS__) X(Wj_SumCj, false, __VA_ARGS__) X(Wj_SumEj, true, __VA_ARGS__)                 \
    X(Wj_SumFj, false, __VA_ARGS__) X(Wj_SumLj, true, __VA_ARGS__) X(Wj_SumTj, true, __VA_ARGS__)                \
    X(Wj_SumUj, true, __VA_ARGS__) X(Wj_Tmax, true, __VA_ARGS__)

namespace detail {

#define SCHEDULE_OBJECTIVE_COUNT(NAME, NEEDS_DUE_DATES, P) +1
inline constexpr std::size_t objective_count = 0 SCHEDULE_OBJECTIVES(SCHEDULE_OBJECTIVE_COUNT, _);
#undef SCHEDULE_OBJECTIVE_COUNT

// An entry of a table; the evaluator's result type tells a weighted objective.
template <class Record>
constexpr Objective<Record> objective_entry(std::string_view name, bool needs_due_dates,
                                            long (*evaluator)(const int*, Record)) noexcept {
    return {name, false, needs_due_dates, evaluator, nullptr};
}
template <class Record>
constexpr Objective<Record> objective_entry(std::string_view name, bool needs_due_dates,
                                            double (*evaluator)(const int*, Record)) noexcept {
    return {name, true, needs_due_dates, nullptr, evaluator};
}

template <class Record>
struct ObjectiveTable;
#define SCHEDULE_OBJECTIVE_ENTRY(NAME, NEEDS_DUE_DATES, P) objective_entry(#NAME, NEEDS_DUE_DATES, P##_Rj_##NAME),
#define SCHEDULE_OBJECTIVE_TABLE(RECORD, P)                                                   \
    template <>                                                                               \
    struct ObjectiveTable<RECORD> {                                                           \
        static constexpr std::array<Objective<RECORD>, objective_count> entries{               \
            {SCHEDULE_OBJECTIVES(SCHEDULE_OBJECTIVE_ENTRY, P)}};                               \
    };
SCHEDULE_OBJECTIVE_TABLE(SINGLE_MACHINE, S1)
SCHEDULE_OBJECTIVE_TABLE(PARALLEL_MACHINES, Pm)
SCHEDULE_OBJECTIVE_TABLE(RELATED_MACHINES, Qm)
SCHEDULE_OBJECTIVE_TABLE(UNRELATED_MACHINES, Rm)
SCHEDULE_OBJECTIVE_TABLE(FLOWSHOP, Fm_Prmu)
SCHEDULE_OBJECTIVE_TABLE(JOBSHOP, Jm)
#undef SCHEDULE_OBJECTIVE_TABLE
#undef SCHEDULE_OBJECTIVE_ENTRY

}  // namespace detail

// The catalogue of an environment, in this order: Cmax, Emax, Fmax, Lmax,
// SumCj, SumEj, SumFj, SumLj, SumTj, SumUj, Tmax, then the Wj_ forms of
// Cmax … Tmax likewise. The names are the same in every environment.
template <EvaluatedRecord Record>
inline constexpr const std::array<Objective<Record>, detail::objective_count>& objective_table = detail::ObjectiveTable<Record>::entries;

// The entry called `name`; throws Error (argument) naming the known ones.
template <EvaluatedRecord Record>
const Objective<Record>& find_objective(std::string_view name);

// The value of an objective: long for the unweighted ones, double for the
// weighted.
using Value = std::variant<long, double>;

}  // namespace schedule

#endif  // SCHEDULE_CHECKED_OBJECTIVES_H
