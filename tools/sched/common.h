// Shared pieces of the sched tool: how a command ends, its command line,
// files and standard streams, numbers.
#ifndef SCHED_TOOL_COMMON_H
#define SCHED_TOOL_COMMON_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <zurududo/solvers.h>

namespace CLI {
class App;
class Validator;
class Option;
}

namespace sched {

// A condition that ends the command: `status` is 1 (failure) or 2 (usage).
struct Failure {
    int status;
    std::string message;
};

[[noreturn]] void usage_error(const std::string& message);
[[noreturn]] void failure(const std::string& message);

// Parses a command's arguments; false when the help was asked for and printed.
// A parse error is a usage error of one line, with a did-you-mean for an
// unknown option.
bool parse(CLI::App& app, const std::vector<std::string>& args);

// Checks of numeric options, as CLI11 validators: each refuses NaN, an
// infinity, a sign where none belongs and a value beyond what a run can use.
// Seconds of a time limit: 0.001 to 10^7 (about four months).
CLI::Validator seconds_option();
// A time factor (t·n·m/2 ms): 0.001 to 10^6.
CLI::Validator time_factor_option();
// A seed: a whole number 0 to 2^64 − 1 in digits alone (CLI11 would wrap −1
// to 2^64 − 1).
CLI::Validator seed_option();
// A count of runs or threads: 1 to `most`.
CLI::Validator count_option(long most);
// The budget and seed of the commands that search (solve, bench): --time-limit
// S and --iterations N per run, which exclude each other and `other` (a
// further budget option, or null), and --seed.
void add_search_options(CLI::App& app, double& seconds, long& iterations, std::uint64_t& seed,
                        CLI::Option* other = nullptr);

// The method a command runs and how (solve, bench): -a METHOD (a name or
// alias of the table of methods), -p NAME=VALUE (repeated), --target V,
// --stop-at-best.
struct MethodOptions {
    std::string method;
    std::vector<std::string> parameters;  // NAME=VALUE
    std::optional<double> target;
    bool stop_at_best = false;
};
void add_method_options(CLI::App& app, MethodOptions& options, bool required);
// The parameters given, by name; a usage error for one not NAME=VALUE or given twice.
zurududo::solvers::ParameterValues parameter_values(const MethodOptions& options);

// The word of `candidates` closest to `word`, when it is close enough to be a
// likely typing error (schedule::closest_name).
std::optional<std::string> closest(const std::string& word, const std::vector<std::string>& candidates);

// The bytes of a file the user named; "-" is standard input. A directory or a
// missing file is a failure naming it.
std::string read_input(const std::string& path);
// The failure of a file the library could not read: what the system said,
// in the tool's words.
[[noreturn]] void file_failure(const schedule::Error& e, const std::string& path);
// Writes what a command produces to the file `path`, whole or not at all, or
// to standard output when `path` is empty or "-"; a failed write is a failure.
void write_output(const std::string& path, std::string_view bytes);

// The shortest text that reads back as `value`.
std::string format_double(double value);
std::string join(const std::vector<int>& values);

// Runs an external program with arguments (no shell); its exit status, -1 when it cannot start.
int run_program(const std::vector<std::string>& argv);
// Whether a program is found on PATH.
bool program_available(const std::string& name);

}  // namespace sched

#endif
