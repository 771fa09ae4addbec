// Instances as the commands take them: a file in one of the library's
// layouts, standard input ("-"), or the name of a benchmark instance; and
// the sequences given for them.
#ifndef SCHED_TOOL_INSTANCES_H
#define SCHED_TOOL_INSTANCES_H

#include <climits>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include <zurududo/benchmarks.h>

#include "common.h"
#include "schedule/checked.h"

namespace CLI {
class App;
}

namespace sched {

struct InstanceOptions {
    std::string path;  // a file, "-" or a benchmark name
    std::string env;
    std::string layout = "tagged";
    std::string instance;  // --instance: a name or a position; empty when not given
    std::string seq;
    std::string seq_file;
    bool verbose = false;
};

// Adds -e, --layout, --instance, -v and (with `sequences`) --seq and --seq-file.
void add_instance_options(CLI::App& app, InstanceOptions& options, bool sequences);

// The instance, its label (the file's path or the benchmark's name) and its
// benchmark entry when it is named.
using LoadedInstance = zurududo::benchmarks::Resolved;

// The instance, by the one resolver (a file, "-", or a benchmark name),
// loaded strictly and checked; the environment inferred from a tagged file's
// tags, or from the name, when -e is not given.
LoadedInstance load(const InstanceOptions& options);

// Calls `f` with the record of an instance whose environment has evaluators.
template <class F>
decltype(auto) with_record(const schedule::AnyInstance& instance, F&& f) {
    return std::visit(
        [&](const auto& held) -> decltype(auto) {
            using Record = std::decay_t<decltype(held.get())>;
            if constexpr (schedule::EvaluatedRecord<Record>) {
                return f(held.get());
            } else {
                usage_error("the open shop has no evaluator");
                return f(std::get<0>(instance).get());
            }
        },
        instance);
}

template <schedule::EvaluatedRecord Record>
inline constexpr bool operation_sequences = std::is_same_v<Record, schedule::JOBSHOP>;

// One sequence from text; a sequence that does not fit the record is a usage error.
template <schedule::EvaluatedRecord Record>
std::vector<int> sequence_from(const std::vector<long>& numbers, const Record& record) {
    std::vector<int> sequence;
    for (std::size_t k = 0; k < numbers.size(); ++k) {
        const long job = numbers[k];
        if (job < INT_MIN || job > INT_MAX)
            usage_error("entry " + std::to_string(k) + " of the " +
                        (operation_sequences<Record> ? "operation sequence" : "sequence") + " is job " +
                        std::to_string(job) + "; jobs are 0.." + std::to_string(record.jobs - 1));
        sequence.push_back(static_cast<int>(job));
    }
    try {
        schedule::validate_sequence(record, sequence);
    } catch (const schedule::Error& e) {
        usage_error(e.what());
    }
    return sequence;
}

// The sequences of --seq or --seq-file, or the default one (0, 1, …, n − 1;
// the job shop's jobs in turn, once per operation). A --seq-file whose
// numbers make one sequence is one sequence, wherever its lines break;
// otherwise each non-empty line is one.
template <schedule::EvaluatedRecord Record>
std::vector<std::vector<int>> read_sequences(const InstanceOptions& options, const Record& record) {
    const long length = operation_sequences<Record> ? static_cast<long>(record.jobs) * record.machines : record.jobs;
    if (!options.seq.empty() && !options.seq_file.empty())
        usage_error("give the sequence with --seq or --seq-file, not both");
    if (options.seq.empty() && options.seq_file.empty()) {
        std::vector<int> sequence;
        for (long k = 0; k < length; ++k)
            sequence.push_back(static_cast<int>(k % record.jobs));
        return {sequence};
    }
    const bool from_file = options.seq.empty();
    const std::string text = from_file ? read_input(options.seq_file) : options.seq;
    const std::string source = from_file ? options.seq_file : "--seq";
    const auto numbers = schedule::integer_list(text);
    if (!numbers) usage_error("the sequence (" + source + ") is not a list of integers");
    if (!from_file || static_cast<long>(numbers->size()) == length) return {sequence_from(*numbers, record)};
    std::vector<std::vector<int>> sequences;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const auto line = schedule::integer_list(std::string_view(text).substr(start, end - start));
        if (line && !line->empty()) sequences.push_back(sequence_from(*line, record));
        start = end + 1;
    }
    if (sequences.empty()) return {sequence_from(*numbers, record)};
    return sequences;
}

}  // namespace sched

#endif
