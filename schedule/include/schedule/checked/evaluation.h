// schedule — the checked interface: checked evaluation: objectives, completion times and schedules
// of sequences.
// Part of <schedule/checked.h>, which includes every part.
#ifndef SCHEDULE_CHECKED_EVALUATION_H
#define SCHEDULE_CHECKED_EVALUATION_H

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "schedule/checked/objectives.h"

namespace schedule {

// Checked evaluation: validate(record), validate_sequence(record, seq), and
// due dates present when the objective needs them — each failure an Error
// (argument) — then the record evaluator's value.
template <EvaluatedRecord Record>
Value evaluate(const Record& record, std::span<const int> seq, std::string_view objective);
template <EvaluatedRecord Record>
Value evaluate(const Record& record, std::span<const int> seq, const Objective<Record>& objective);

// Evaluates many sequences of one record: `sequences` holds out.size() rows
// of `length` entries, one after another, and out[i] receives the value of
// row i, exactly what evaluate() gives it. Each row is checked as evaluate()
// checks it; the first that fails (the lowest i, whatever the number of
// threads) is an Error (argument) "row i: ...". Rows are copied a block at a
// time before they are checked and evaluated, so what is evaluated is what was
// checked even if the caller's storage changes meanwhile. `threads` workers
// share the rows (0: one per core; fewer when the system cannot start them);
// the values do not depend on their number. On the single machine and the
// flow shop a block of checked rows goes to the batch evaluators (the `_many`
// routines) at once. `out` is long for the unweighted objectives and double for
// the weighted, or the call is an Error (argument).
template <EvaluatedRecord Record>
void evaluate_many(const Record& record, std::span<const int> sequences, std::size_t length,
                   const Objective<Record>& objective, std::span<long> out, unsigned threads = 1);
template <EvaluatedRecord Record>
void evaluate_many(const Record& record, std::span<const int> sequences, std::size_t length,
                   const Objective<Record>& objective, std::span<double> out, unsigned threads = 1);

// The completion time of every job, indexed by job (the Rj_Cj evaluator).
template <EvaluatedRecord Record>
std::vector<long> completion_times(const Record& record, std::span<const int> seq);

// One placed operation of a schedule.
struct Operation {
    int job;
    int machine;
    long start;
    long end;
};

// The schedule the sequence gives, as its schedule file lists it: the jobs
// in the file's JOB_ORDER, each job's operations in its order there.
template <EvaluatedRecord Record>
std::vector<Operation> schedule_operations(const Record& record, std::span<const int> seq);

// The order of the jobs in the schedule file: the sequence, or 0 … n − 1 for
// the job shop.
template <EvaluatedRecord Record>
std::vector<int> schedule_job_order(const Record& record, std::span<const int> seq);

// The bytes of the schedule file the record's GenSchedule writer writes.
template <EvaluatedRecord Record>
std::string schedule_file_text(const Record& record, std::span<const int> seq);

// Writes the schedule file atomically: the named file appears whole or not
// at all. Throws Error (file) when it cannot be written.
template <EvaluatedRecord Record>
void write_schedule(const Record& record, std::span<const int> seq, const std::string& path);

// The whole numbers of a list separated by commas and white space (spaces,
// tabs, line ends), as sequences and schedule files write them; none for
// anything else (a sign alone, a number beyond a long, another character).
std::optional<std::vector<long>> integer_list(std::string_view text);

// A schedule file read back: its counts, its JOB_ORDER and its operations,
// each job's in its order there.
struct ScheduleFile {
    int jobs = 0;
    int machines = 0;
    std::vector<int> job_order;
    std::vector<Operation> operations;
};

// Reads the text of a schedule file, four tagged lines as schedule_file_text
// writes them ([JOBS=n], [MACHINES=m], [SCHEDULE_DATA=…], [JOB_ORDER=…]),
// named `name` in messages. Throws Error (instance) "'NAME' is not a schedule
// file: …" for anything else: counts beyond 100 000, an order that is not a
// permutation of the jobs, a group that is not machine, start, duration
// triples, a machine that does not exist, a negative time or one beyond
// 4·10^12, or a machine running two operations at once.
ScheduleFile read_schedule_text(std::string_view text, const std::string& name);

// Fm_Prmu_Rj_Insert_Cmax after checking that `partial` holds distinct jobs
// of the record and `job` is another one: the len + 1 makespans.
std::vector<long> insertion_makespans(const FLOWSHOP& record, std::span<const int> partial, int job);

}  // namespace schedule

#endif  // SCHEDULE_CHECKED_EVALUATION_H
