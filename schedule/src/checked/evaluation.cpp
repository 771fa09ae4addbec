// Checked evaluation: records and sequences validated, then the record
// evaluators of the objective table, run so that they throw.
#include <cstdlib>
#include <string>
#include <vector>

#include "schedule/checked.h"
#include "schedule/schedule.h"
#include "evaluation/throwing_evaluators.h"
#include "support/failure.h"

namespace schedule {

namespace {

[[noreturn]] void bad_argument(const std::string& what) { fail(ErrorKind::argument, 999, what); }

template <EvaluatedRecord Record>
void check(const Record& record, std::span<const int> seq) {
    validate(record);
    validate_sequence(record, seq);
}

}  // namespace

template <EvaluatedRecord Record>
const Objective<Record>& find_objective(std::string_view name) {
    for (const Objective<Record>& objective : objective_table<Record>) {
        if (objective.name == name) return objective;
    }
    std::vector<std::string> known;
    for (const Objective<Record>& objective : objective_table<Record>) known.emplace_back(objective.name);
    bad_argument(unknown_name("objective", name, known));
}

template <EvaluatedRecord Record>
Value evaluate(const Record& record, std::span<const int> seq, const Objective<Record>& objective) {
    check(record, seq);
    if (objective.needs_due_dates && record.dd == nullptr)
        bad_argument(std::string(objective.name) + " needs due dates and the instance has none");
    const Record used = without_idle_machines(record);
    const Objective<Record>& run = throwing::counterpart(objective);
    if (run.weighted) return run.real(seq.data(), used);
    return run.integer(seq.data(), used);
}

template <EvaluatedRecord Record>
Value evaluate(const Record& record, std::span<const int> seq, std::string_view objective) {
    return evaluate(record, seq, find_objective<Record>(objective));
}

template <EvaluatedRecord Record>
std::vector<long> completion_times(const Record& record, std::span<const int> seq) {
    check(record, seq);
    const Vector<long> completion(throwing::Evaluators<Record>::completion_times(seq.data(), without_idle_machines(record)));
    return std::vector<long>(completion.get(), completion.get() + record.jobs);
}

std::vector<long> insertion_makespans(const FLOWSHOP& record, std::span<const int> partial, int job) {
    validate(record);
    if (job < 0 || job >= record.jobs)
        bad_argument("the job to insert, " + std::to_string(job) + ", is not a job (0.." +
                     std::to_string(record.jobs - 1) + ")");
    if (static_cast<long>(partial.size()) >= record.jobs)
        bad_argument("the partial sequence has " + std::to_string(partial.size()) + " entries; with the job to insert it may have at most " +
                     std::to_string(record.jobs));
    std::vector<bool> seen(static_cast<std::size_t>(record.jobs), false);
    seen[static_cast<std::size_t>(job)] = true;
    for (std::size_t k = 0; k < partial.size(); ++k) {
        const int j = partial[k];
        if (j < 0 || j >= record.jobs || seen[static_cast<std::size_t>(j)])
            bad_argument("entry " + std::to_string(k) + " of the partial sequence, " + std::to_string(j) +
                         ", is not a job or appears twice (the job to insert included)");
        seen[static_cast<std::size_t>(j)] = true;
    }
    std::vector<long> makespans(partial.size() + 1);
    Fm_Prmu_Rj_Insert_Cmax(partial.data(), static_cast<int>(partial.size()), job, record, makespans.data());
    return makespans;
}

#define SCHEDULE_CHECKED_EVALUATION(RECORD)                                                                  \
    template const Objective<RECORD>& find_objective<RECORD>(std::string_view);                              \
    template Value evaluate<RECORD>(const RECORD&, std::span<const int>, const Objective<RECORD>&);           \
    template Value evaluate<RECORD>(const RECORD&, std::span<const int>, std::string_view);                  \
    template std::vector<long> completion_times<RECORD>(const RECORD&, std::span<const int>);
SCHEDULE_CHECKED_EVALUATION(SINGLE_MACHINE)
SCHEDULE_CHECKED_EVALUATION(PARALLEL_MACHINES)
SCHEDULE_CHECKED_EVALUATION(RELATED_MACHINES)
SCHEDULE_CHECKED_EVALUATION(UNRELATED_MACHINES)
SCHEDULE_CHECKED_EVALUATION(FLOWSHOP)
SCHEDULE_CHECKED_EVALUATION(JOBSHOP)
#undef SCHEDULE_CHECKED_EVALUATION

}  // namespace schedule
