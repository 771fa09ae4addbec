// sched — evaluate sequences, write schedules and draw Gantt charts from the
// shell, on top of the schedule library.
//
// Exit status: 0 success, 1 failure (a file that cannot be read or is not
// what it should be), 2 usage (an unknown command, flag, environment or
// objective, or a sequence that does not fit the instance).
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>
#include <type_traits>
#include <vector>

#include "schedule/schedule.h"

namespace {

const char* const program = "sched";

// A condition that ends the command: `status` is 1 (failure) or 2 (usage).
struct Failure {
    int status;
    std::string message;
};

[[noreturn]] void usage_error(const std::string& message) { throw Failure{2, message}; }
[[noreturn]] void failure(const std::string& message) { throw Failure{1, message}; }

// ---------------------------------------------------------------------------
// Help texts
// ---------------------------------------------------------------------------

const char* const main_help =
    "usage: sched <command> [options]\n"
    "\n"
    "Evaluate sequences, write schedules and draw Gantt charts.\n"
    "\n"
    "commands:\n"
    "  evaluate   completion times and objectives of a sequence on an instance\n"
    "  schedule   write the schedule file of a sequence\n"
    "  gantt      draw a schedule file as an SVG Gantt chart\n"
    "\n"
    "'sched <command> --help' describes a command.\n"
    "Exit status: 0 success, 1 failure, 2 usage error.\n";

const char* const instance_options_help =
    "instance options:\n"
    "  -e, --env ENV       single, identical, uniform, unrelated, flowshop or jobshop\n"
    "                      (default: single)\n"
    "  --layout LAYOUT     tagged (default), taillard (a flow shop in Taillard's\n"
    "                      layout) or classic (a job shop: description line, \"n m\",\n"
    "                      then per job m \"machine time\" pairs)\n"
    "  --seq LIST          the sequence, e.g. 2,0,1 (default: 0,1,...,n-1; for the\n"
    "                      job shop an operation sequence naming each job m times,\n"
    "                      default 0,1,...,n-1 repeated m times)\n"
    "  --seq-file FILE     read the sequence from FILE (numbers separated by\n"
    "                      commas or white space)\n"
    "  -v, --verbose       show what the instance loader reports, on standard error\n";

const char* const evaluate_help =
    "usage: sched evaluate [options] INSTANCE\n"
    "\n"
    "Prints the completion time of every job and every objective of the\n"
    "catalogue for the sequence. Objectives that need due dates are shown as '-'\n"
    "when the instance has none.\n"
    "\n"
    "  -o, --objective NAME  print only this objective (e.g. Cmax, SumTj, Wj_SumTj)\n"
    "  -f, --format FORMAT   table (default), tsv or json\n"
    "  -h, --help            show this help\n";

const char* const schedule_help =
    "usage: sched schedule [options] -O FILE INSTANCE\n"
    "\n"
    "Writes the schedule the sequence gives on the instance to FILE, as four\n"
    "tagged lines: [JOBS=n], [MACHINES=m], [SCHEDULE_DATA=...], [JOB_ORDER=...].\n"
    "\n"
    "  -O, --output FILE   the schedule file to write (required)\n"
    "  -h, --help          show this help\n";

const char* const gantt_help =
    "usage: sched gantt [-O FILE] SCHEDULE\n"
    "\n"
    "Draws a schedule file as a standalone SVG Gantt chart: one lane per machine,\n"
    "one colour per job, a time axis and the makespan marked. The chart goes to\n"
    "standard output unless -O is given.\n"
    "\n"
    "  -O, --output FILE   write the chart to FILE\n"
    "  --title TEXT        the chart's title (default: the schedule file's name)\n"
    "  -h, --help          show this help\n";

// ---------------------------------------------------------------------------
// Command lines
// ---------------------------------------------------------------------------

struct Options {
    std::map<std::string, std::string> values;  // by long name
    std::vector<std::string> positional;
    bool help = false;
};

struct Flag {
    const char* long_name;
    char short_name;  // 0 when none
    bool takes_value;
};

Options parse_options(const std::vector<std::string>& args, const std::vector<Flag>& flags,
                      const char* command) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            options.help = true;
            continue;
        }
        if (arg.size() < 2 || arg[0] != '-') {
            options.positional.push_back(arg);
            continue;
        }
        std::string name = arg;
        std::optional<std::string> inline_value;
        if (arg.rfind("--", 0) == 0) {
            const auto eq = arg.find('=');
            if (eq != std::string::npos) {
                inline_value = arg.substr(eq + 1);
                name = arg.substr(0, eq);
            }
        }
        const Flag* found = nullptr;
        for (const Flag& flag : flags) {
            if (name == std::string("--") + flag.long_name ||
                (flag.short_name != 0 && name == std::string{'-', flag.short_name}))
                found = &flag;
        }
        if (found == nullptr) usage_error(std::string("unknown option '") + name + "' for " + command);
        if (!found->takes_value) {
            if (inline_value) usage_error(std::string("option --") + found->long_name + " takes no value");
            options.values[found->long_name] = "1";
            continue;
        }
        if (inline_value) {
            options.values[found->long_name] = *inline_value;
        } else if (i + 1 < args.size()) {
            options.values[found->long_name] = args[++i];
        } else {
            usage_error(std::string("option --") + found->long_name + " needs a value");
        }
    }
    return options;
}

std::string value_or(const Options& options, const std::string& name, const std::string& fallback) {
    const auto it = options.values.find(name);
    return it == options.values.end() ? fallback : it->second;
}

// ---------------------------------------------------------------------------
// Numbers and files
// ---------------------------------------------------------------------------

std::string read_file(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) failure("cannot read '" + path + "': no such file");
    std::ifstream in(path, std::ios::binary);
    if (!in) failure("cannot read '" + path + "'");
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Integers separated by commas and/or white space; nullopt when anything else
// is found.
std::optional<std::vector<long>> parse_integers(std::string_view text) {
    std::vector<long> numbers;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == ',' || c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            ++i;
            continue;
        }
        long value = 0;
        const auto [end, ec] = std::from_chars(text.data() + i, text.data() + text.size(), value);
        if (ec != std::errc{} || end == text.data() + i) return std::nullopt;
        numbers.push_back(value);
        i = static_cast<std::size_t>(end - text.data());
        if (i < text.size() && std::string_view(",\t\n\r ").find(text[i]) == std::string_view::npos)
            return std::nullopt;
    }
    return numbers;
}

std::string format_double(double value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// Writes `bytes` to `path` through a temporary file in the same directory, so
// that a failure leaves no half-written file behind.
void write_file_atomically(const std::string& path, const std::string& bytes) {
    const std::string temporary = path + ".tmp-sched";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) failure("cannot write '" + path + "'");
        out << bytes;
        out.flush();
        if (!out) {
            out.close();
            std::remove(temporary.c_str());
            failure("cannot write '" + path + "'");
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::remove(temporary.c_str());
        failure("cannot write '" + path + "': " + ec.message());
    }
}

// ---------------------------------------------------------------------------
// Keeping the library's standard output aside
// ---------------------------------------------------------------------------

// While active, what the library writes on standard output goes to a
// temporary file. When the library ends the process (a loader rejecting its
// file), the kept text is shown on standard error with a one-line summary, so
// the loader's reasons are not lost; otherwise it is shown only on request.
class QuietStdout {
public:
    // `partial_file`, when given, is removed if the process ends meanwhile.
    explicit QuietStdout(std::string what_failed, std::string partial_file = "") {
        std::fflush(stdout);
        kept_ = std::tmpfile();
        saved_ = dup(STDOUT_FILENO);
        if (kept_ == nullptr || saved_ < 0) failure("cannot create a temporary file");
        dup2(fileno(kept_), STDOUT_FILENO);
        what_failed_ = std::move(what_failed);
        partial_file_ = std::move(partial_file);
        active_ = this;
        static const bool registered = (std::atexit(on_exit) == 0);
        (void)registered;
    }
    ~QuietStdout() { finish(false); }
    QuietStdout(const QuietStdout&) = delete;
    QuietStdout& operator=(const QuietStdout&) = delete;

    // Restores standard output; the kept text goes to standard error when
    // `show` is set.
    void finish(bool show) {
        if (active_ != this) return;
        active_ = nullptr;
        std::fflush(stdout);
        dup2(saved_, STDOUT_FILENO);
        close(saved_);
        if (show) replay();
        std::fclose(kept_);
        kept_ = nullptr;
    }

private:
    void replay() {
        std::rewind(kept_);
        char block[4096];
        std::size_t got;
        while ((got = std::fread(block, 1, sizeof block, kept_)) > 0) std::fwrite(block, 1, got, stderr);
        std::fflush(stderr);
    }

    static void on_exit() {
        QuietStdout* quiet = active_;
        if (quiet == nullptr) return;
        quiet->finish(true);
        if (!quiet->partial_file_.empty()) std::remove(quiet->partial_file_.c_str());
        std::fprintf(stderr, "%s: %s\n", program, quiet->what_failed_.c_str());
    }

    static inline QuietStdout* active_ = nullptr;
    std::FILE* kept_ = nullptr;
    int saved_ = -1;
    std::string what_failed_;
    std::string partial_file_;
};

// ---------------------------------------------------------------------------
// Environments
// ---------------------------------------------------------------------------

template <class Record>
struct Objective {
    const char* name;
    long (*integer)(const int*, Record);
    double (*weighted)(const int*, Record);
    bool needs_due_dates;
};

#define SCHED_CATALOGUE(P)                                                                 \
    {                                                                                      \
        {"Cmax", P##_Rj_Cmax, nullptr, false}, {"Emax", P##_Rj_Emax, nullptr, true},       \
            {"Fmax", P##_Rj_Fmax, nullptr, false}, {"Lmax", P##_Rj_Lmax, nullptr, true},   \
            {"SumCj", P##_Rj_SumCj, nullptr, false}, {"SumEj", P##_Rj_SumEj, nullptr, true}, \
            {"SumFj", P##_Rj_SumFj, nullptr, false}, {"SumLj", P##_Rj_SumLj, nullptr, true}, \
            {"SumTj", P##_Rj_SumTj, nullptr, true}, {"SumUj", P##_Rj_SumUj, nullptr, true},  \
            {"Tmax", P##_Rj_Tmax, nullptr, true}, {"Wj_Cmax", nullptr, P##_Rj_Wj_Cmax, false}, \
            {"Wj_Emax", nullptr, P##_Rj_Wj_Emax, true},                                    \
            {"Wj_Fmax", nullptr, P##_Rj_Wj_Fmax, false},                                   \
            {"Wj_Lmax", nullptr, P##_Rj_Wj_Lmax, true},                                    \
            {"Wj_SumCj", nullptr, P##_Rj_Wj_SumCj, false},                                 \
            {"Wj_SumEj", nullptr, P##_Rj_Wj_SumEj, true},                                  \
            {"Wj_SumFj", nullptr, P##_Rj_Wj_SumFj, false},                                 \
            {"Wj_SumLj", nullptr, P##_Rj_Wj_SumLj, true},                                  \
            {"Wj_SumTj", nullptr, P##_Rj_Wj_SumTj, true},                                  \
            {"Wj_SumUj", nullptr, P##_Rj_Wj_SumUj, true},                                  \
            {"Wj_Tmax", nullptr, P##_Rj_Wj_Tmax, true},                                    \
    }

template <class Record>
struct Environment {
    const char* name;
    Record (*load)(const char*);
    long* (*completion)(const int*, Record);
    void (*write_schedule)(const int*, Record, const char*);
    std::vector<Objective<Record>> catalogue;
};

using namespace schedule;

const Environment<SINGLE_MACHINE> single_env{"single", load_SINGLE_MACHINE, S1_Rj_Cj, S1_Rj_GenSchedule,
                                             SCHED_CATALOGUE(S1)};
const Environment<PARALLEL_MACHINES> identical_env{"identical", load_PARALLEL_MACHINES, Pm_Rj_Cj,
                                                   Pm_Rj_GenSchedule, SCHED_CATALOGUE(Pm)};
const Environment<RELATED_MACHINES> uniform_env{"uniform", load_RELATED_MACHINES, Qm_Rj_Cj,
                                                Qm_Rj_GenSchedule, SCHED_CATALOGUE(Qm)};
const Environment<UNRELATED_MACHINES> unrelated_env{"unrelated", load_UNRELATED_MACHINES, Rm_Rj_Cj,
                                                    Rm_Rj_GenSchedule, SCHED_CATALOGUE(Rm)};
const Environment<FLOWSHOP> flowshop_env{"flowshop", load_FLOWSHOP, Fm_Prmu_Rj_Cj, Fm_Prmu_Rj_GenSchedule,
                                         SCHED_CATALOGUE(Fm_Prmu)};
const Environment<JOBSHOP> jobshop_env{"jobshop", load_JOBSHOP, Jm_Rj_Cj, Jm_Rj_GenSchedule,
                                       SCHED_CATALOGUE(Jm)};

const std::vector<std::string> objective_names = [] {
    std::vector<std::string> names;
    for (const auto& objective : single_env.catalogue) names.emplace_back(objective.name);
    return names;
}();

// An instance record that releases its vectors and matrices when it goes.
template <class Record>
struct OwnedRecord {
    Record record{};
    bool loaded = false;
    OwnedRecord() = default;
    OwnedRecord(const OwnedRecord&) = delete;
    OwnedRecord& operator=(const OwnedRecord&) = delete;
    ~OwnedRecord() {
        if (!loaded) return;
        std::free(record.dd);
        std::free(record.w);
        std::free(record.r);
        if constexpr (requires { record.v; }) std::free(record.v);
        if constexpr (requires { record.rt; }) free_mat_int(record.rt, record.jobs);
        if constexpr (std::is_same_v<decltype(record.pt), int*>) {
            std::free(record.pt);
        } else {
            free_mat_int(record.pt, record.machines);
        }
    }
};

// Default weights (1.0) and release dates (0) for records read from the
// plain benchmark layouts, which carry neither.
template <class Record>
void set_plain_defaults(Record& record) {
    record.dd = nullptr;
    record.w = newDVector(std::max(record.jobs, 1));
    setval_Dvector(record.w, record.jobs, 1.0);
    record.r = newIVector(std::max(record.jobs, 1));
    setval_Ivector(record.r, record.jobs, 0);
}

// The whitespace-separated integers of `text` (from `from` on), or a failure
// naming the file.
std::vector<long> integers_of(const std::string& text, const std::string& path) {
    const auto numbers = parse_integers(text);
    if (!numbers) failure("'" + path + "' is not a list of integers where numbers are expected");
    return *numbers;
}

void check_count(long value, const char* what, const std::string& path) {
    if (value < 1 || value > 100000) failure("'" + path + "': " + what + " must be between 1 and 100000");
}

// Taillard's flow-shop layout: a header line, then jobs, machines, seed, upper
// and lower bound; a "processing times :" line; then one row of n times per
// machine. Only the first instance of a file holding several is read.
void read_taillard(const std::string& path, OwnedRecord<FLOWSHOP>& owned) {
    std::istringstream in(read_file(path));
    std::string header, numbers_line, label;
    std::getline(in, header);
    std::getline(in, numbers_line);
    std::getline(in, label);
    const auto head = parse_integers(numbers_line);
    if (!head || head->size() < 2 || label.find("processing times") == std::string::npos)
        failure("'" + path + "' is not in Taillard's layout (header, \"n m seed upper lower\", "
                "\"processing times :\", machine rows)");
    const long n = (*head)[0], m = (*head)[1];
    check_count(n, "the number of jobs", path);
    check_count(m, "the number of machines", path);
    std::vector<long> times;
    std::string line;
    while (static_cast<long>(times.size()) < n * m && std::getline(in, line)) {
        const auto row = parse_integers(line);
        if (!row) failure("'" + path + "': a machine row holds something other than integers");
        times.insert(times.end(), row->begin(), row->end());
    }
    if (static_cast<long>(times.size()) != n * m)
        failure("'" + path + "': expected " + std::to_string(m) + " rows of " + std::to_string(n) +
                " processing times");
    for (long t : times)
        if (t < 0 || t > 1000000000) failure("'" + path + "': a processing time is out of range");
    FLOWSHOP& record = owned.record;
    record.jobs = static_cast<int>(n);
    record.machines = static_cast<int>(m);
    record.pt = reinterpret_cast<int**>(dyn_mat(record.machines, record.jobs, sizeof(int)));
    for (long i = 0; i < m; ++i)
        for (long j = 0; j < n; ++j) record.pt[i][j] = static_cast<int>(times[i * n + j]);
    set_plain_defaults(record);
    owned.loaded = true;
}

// The classic job-shop layout: an optional description line, "n m", then per
// job m pairs "machine time" in routing order.
void read_classic_job_shop(const std::string& path, OwnedRecord<JOBSHOP>& owned) {
    std::string text = read_file(path);
    const auto first_break = text.find('\n');
    const std::string first_line = text.substr(0, first_break);
    const auto first = parse_integers(first_line);
    if (!first || first->size() != 2) text = first_break == std::string::npos ? "" : text.substr(first_break + 1);
    const std::vector<long> numbers = integers_of(text, path);
    if (numbers.size() < 2) failure("'" + path + "' does not start with \"n m\" (jobs and machines)");
    const long n = numbers[0], m = numbers[1];
    check_count(n, "the number of jobs", path);
    check_count(m, "the number of machines", path);
    if (static_cast<long>(numbers.size()) != 2 + 2 * n * m)
        failure("'" + path + "': expected " + std::to_string(n) + " jobs of " + std::to_string(m) +
                " \"machine time\" pairs");
    JOBSHOP& record = owned.record;
    record.jobs = static_cast<int>(n);
    record.machines = static_cast<int>(m);
    record.pt = reinterpret_cast<int**>(dyn_mat(record.machines, record.jobs, sizeof(int)));
    record.rt = reinterpret_cast<int**>(dyn_mat(record.jobs, record.machines, sizeof(int)));
    set_plain_defaults(record);
    owned.loaded = true;
    for (long j = 0; j < n; ++j) {
        std::vector<bool> seen(static_cast<std::size_t>(m), false);
        for (long k = 0; k < m; ++k) {
            const long machine = numbers[2 + 2 * (j * m + k)];
            const long time = numbers[3 + 2 * (j * m + k)];
            if (machine < 0 || machine >= m || seen[static_cast<std::size_t>(machine)])
                failure("'" + path + "': job " + std::to_string(j) +
                        " does not visit each machine 0.." + std::to_string(m - 1) + " once");
            if (time < 0 || time > 1000000000)
                failure("'" + path + "': a processing time of job " + std::to_string(j) + " is out of range");
            seen[static_cast<std::size_t>(machine)] = true;
            record.rt[j][k] = static_cast<int>(machine);
            record.pt[machine][j] = static_cast<int>(time);
        }
    }
}

// A tagged instance through the library's loader, its echo kept aside.
template <class Record>
void load_tagged(const Environment<Record>& env, const std::string& path, bool verbose,
                 OwnedRecord<Record>& owned) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) failure("cannot read '" + path + "': no such file");
    QuietStdout quiet("cannot load '" + path + "' as a " + env.name + " instance (the loader's report is above)");
    owned.record = env.load(path.c_str());
    owned.loaded = true;
    quiet.finish(verbose);
}

// Checks the library would end the process on, made here with a clear message.
template <class Record>
void check_record(const Record& record, const std::string& path) {
    if (record.jobs < 0) failure("'" + path + "': negative number of jobs");
    if (record.machines < 1) failure("'" + path + "': fewer than one machine");
    if constexpr (requires { record.v; }) {
        for (int i = 0; i < record.machines; ++i)
            if (record.v[i] < 1) failure("'" + path + "': machine " + std::to_string(i) + " has a speed below 1");
    }
    if constexpr (requires { record.rt; }) {
        for (int j = 0; j < record.jobs; ++j)
            for (int k = 0; k < record.machines; ++k)
                if (record.rt[j][k] < 0 || record.rt[j][k] >= record.machines)
                    failure("'" + path + "': job " + std::to_string(j) + " is routed to machine " +
                            std::to_string(record.rt[j][k]) + ", which does not exist");
    }
}

// ---------------------------------------------------------------------------
// Sequences
// ---------------------------------------------------------------------------

std::vector<int> read_sequence(const Options& options, int jobs, int machines, bool operations) {
    const long length = operations ? static_cast<long>(jobs) * machines : jobs;
    std::optional<std::string> text;
    std::string source;
    if (options.values.count("seq") != 0 && options.values.count("seq-file") != 0)
        usage_error("give the sequence with --seq or --seq-file, not both");
    if (options.values.count("seq") != 0) {
        text = options.values.at("seq");
        source = "--seq";
    } else if (options.values.count("seq-file") != 0) {
        source = options.values.at("seq-file");
        text = read_file(source);
    }
    std::vector<int> sequence;
    if (!text) {
        for (long k = 0; k < length; ++k) sequence.push_back(static_cast<int>(k % std::max(jobs, 1)));
        return sequence;
    }
    const auto numbers = parse_integers(*text);
    if (!numbers) usage_error("the sequence (" + source + ") is not a list of integers");
    const std::string kind = operations ? "operation sequence" : "sequence";
    if (static_cast<long>(numbers->size()) != length)
        usage_error("the " + kind + " has " + std::to_string(numbers->size()) + " entries; the instance needs " +
                    std::to_string(length) +
                    (operations ? " (each of the " + std::to_string(jobs) + " jobs " + std::to_string(machines) +
                                      " times)"
                                : " (a permutation of 0.." + std::to_string(jobs - 1) + ")"));
    std::vector<long> count(static_cast<std::size_t>(jobs), 0);
    const long allowed = operations ? machines : 1;
    for (long job : *numbers) {
        if (job < 0 || job >= jobs)
            usage_error("the " + kind + " names job " + std::to_string(job) + "; jobs are 0.." +
                        std::to_string(jobs - 1));
        if (++count[static_cast<std::size_t>(job)] > allowed)
            usage_error(operations ? "the operation sequence names job " + std::to_string(job) + " more than " +
                                         std::to_string(machines) + " times"
                                   : "the sequence is not a permutation: job " + std::to_string(job) +
                                         " appears twice");
        sequence.push_back(static_cast<int>(job));
    }
    return sequence;
}

std::string join(const std::vector<int>& values) {
    std::string text;
    for (std::size_t k = 0; k < values.size(); ++k) text += (k ? "," : "") + std::to_string(values[k]);
    return text;
}

// ---------------------------------------------------------------------------
// evaluate and schedule
// ---------------------------------------------------------------------------

struct InstanceSource {
    std::string path;
    std::string layout;
    bool verbose;
};

template <class Record>
void load_instance(const Environment<Record>& env, const InstanceSource& source, OwnedRecord<Record>& owned) {
    if (source.layout == "tagged") {
        load_tagged(env, source.path, source.verbose, owned);
    } else if constexpr (std::is_same_v<Record, FLOWSHOP>) {
        read_taillard(source.path, owned);
    } else if constexpr (std::is_same_v<Record, JOBSHOP>) {
        read_classic_job_shop(source.path, owned);
    }
    check_record(owned.record, source.path);
}

std::string objective_value(long value) { return std::to_string(value); }
std::string objective_value(double value) { return format_double(value); }

template <class Record>
int evaluate(const Environment<Record>& env, const InstanceSource& source, const Options& options) {
    const std::string format = value_or(options, "format", "table");
    if (format != "table" && format != "tsv" && format != "json")
        usage_error("unknown format '" + format + "' (table, tsv or json)");
    const Objective<Record>* only = nullptr;
    if (options.values.count("objective") != 0) {
        const std::string& name = options.values.at("objective");
        for (const auto& objective : env.catalogue)
            if (name == objective.name) only = &objective;
        if (only == nullptr) {
            std::string known;
            for (const auto& n : objective_names) known += (known.empty() ? "" : ", ") + n;
            usage_error("unknown objective '" + name + "' (known: " + known + ")");
        }
    }
    OwnedRecord<Record> owned;
    load_instance(env, source, owned);
    const Record& record = owned.record;
    const bool operations = std::is_same_v<Record, JOBSHOP>;
    const std::vector<int> sequence = read_sequence(options, record.jobs, record.machines, operations);
    const bool has_due_dates = record.dd != nullptr;

    if (only != nullptr && only->needs_due_dates && !has_due_dates)
        failure(std::string(only->name) + " needs due dates and '" + source.path + "' gives none");

    auto value_of = [&](const Objective<Record>& objective) -> std::optional<std::string> {
        if (objective.needs_due_dates && !has_due_dates) return std::nullopt;
        if (objective.integer != nullptr) return objective_value(objective.integer(sequence.data(), record));
        return objective_value(objective.weighted(sequence.data(), record));
    };

    std::string out;
    if (only != nullptr) {
        const std::string value = *value_of(*only);
        if (format == "json")
            out = "{\"" + std::string(only->name) + "\": " + value + "}\n";
        else
            out = value + "\n";
        std::fputs(out.c_str(), stdout);
        return 0;
    }

    long* raw = env.completion(sequence.data(), record);
    std::vector<long> completion(raw, raw + record.jobs);
    std::free(raw);
    std::vector<std::pair<std::string, std::optional<std::string>>> values;
    for (const auto& objective : env.catalogue) values.emplace_back(objective.name, value_of(objective));

    if (format == "tsv") {
        out += "name\tvalue\n";
        for (int j = 0; j < record.jobs; ++j)
            out += "C_" + std::to_string(j) + "\t" + std::to_string(completion[static_cast<std::size_t>(j)]) + "\n";
        for (const auto& [name, value] : values) out += name + "\t" + value.value_or("NA") + "\n";
    } else if (format == "json") {
        out += "{\n  \"environment\": \"" + std::string(env.name) + "\",\n";
        out += "  \"jobs\": " + std::to_string(record.jobs) + ",\n";
        out += "  \"machines\": " + std::to_string(record.machines) + ",\n";
        out += "  \"sequence\": [" + join(sequence) + "],\n";
        out += "  \"completion\": [";
        for (std::size_t j = 0; j < completion.size(); ++j) out += (j ? "," : "") + std::to_string(completion[j]);
        out += "],\n  \"objectives\": {\n";
        for (std::size_t k = 0; k < values.size(); ++k)
            out += "    \"" + values[k].first + "\": " + values[k].second.value_or("null") +
                   (k + 1 < values.size() ? ",\n" : "\n");
        out += "  }\n}\n";
    } else {
        out += "instance  " + source.path + " (" + env.name + ", " + std::to_string(record.jobs) + " jobs, " +
               std::to_string(record.machines) + " machine" + (record.machines == 1 ? "" : "s") + ")\n";
        out += std::string(operations ? "operations" : "sequence") + "  " + join(sequence) + "\n\n";
        std::size_t width = 3;
        for (long c : completion) width = std::max(width, std::to_string(c).size());
        auto pad = [](const std::string& text, std::size_t w) {
            return std::string(w > text.size() ? w - text.size() : 0, ' ') + text;
        };
        const std::size_t job_width = std::max<std::size_t>(3, std::to_string(record.jobs).size());
        out += pad("job", job_width) + "  " + pad("C_j", width) + "\n";
        for (int j = 0; j < record.jobs; ++j)
            out += pad(std::to_string(j), job_width) + "  " +
                   pad(std::to_string(completion[static_cast<std::size_t>(j)]), width) + "\n";
        out += "\n";
        std::size_t value_width = 1;
        for (const auto& [name, value] : values) value_width = std::max(value_width, value.value_or("-").size());
        for (const auto& [name, value] : values)
            out += name + std::string(10 - name.size(), ' ') + pad(value.value_or("-"), value_width) + "\n";
        if (!has_due_dates) out += "\n- : the instance gives no due dates\n";
    }
    std::fputs(out.c_str(), stdout);
    return 0;
}

template <class Record>
int write_schedule(const Environment<Record>& env, const InstanceSource& source, const Options& options) {
    if (options.values.count("output") == 0) usage_error("schedule needs --output FILE");
    const std::string output = options.values.at("output");
    OwnedRecord<Record> owned;
    load_instance(env, source, owned);
    const std::vector<int> sequence =
        read_sequence(options, owned.record.jobs, owned.record.machines, std::is_same_v<Record, JOBSHOP>);
    // The writer goes to a temporary file first: the file named by the user
    // appears whole or not at all.
    std::error_code ec;
    const std::filesystem::path target(output);
    const std::filesystem::path directory = target.has_parent_path() ? target.parent_path() : ".";
    if (!std::filesystem::is_directory(directory, ec)) failure("cannot write '" + output + "': no such directory");
    const std::string temporary = output + ".tmp-sched";
    {
        QuietStdout quiet("cannot write the schedule to '" + output + "'", temporary);
        env.write_schedule(sequence.data(), owned.record, temporary.c_str());
        quiet.finish(source.verbose);
    }
    std::filesystem::rename(temporary, output, ec);
    if (ec) {
        std::remove(temporary.c_str());
        failure("cannot write '" + output + "': " + ec.message());
    }
    return 0;
}

int run_instance_command(const std::string& command, const std::vector<std::string>& args) {
    const bool is_evaluate = command == "evaluate";
    std::vector<Flag> flags = {{"env", 'e', true}, {"layout", 0, true}, {"seq", 0, true},
                                   {"seq-file", 0, true}, {"verbose", 'v', false}};
    if (is_evaluate) {
        flags.push_back({"objective", 'o', true});
        flags.push_back({"format", 'f', true});
    } else {
        flags.push_back({"output", 'O', true});
    }
    const Options options = parse_options(args, flags, command.c_str());
    if (options.help) {
        std::fputs(is_evaluate ? evaluate_help : schedule_help, stdout);
        std::fputs("\n", stdout);
        std::fputs(instance_options_help, stdout);
        return 0;
    }
    if (options.positional.size() != 1)
        usage_error(command + " needs exactly one instance file (see 'sched " + command + " --help')");
    InstanceSource source{options.positional[0], value_or(options, "layout", "tagged"),
                          options.values.count("verbose") != 0};
    std::string env = value_or(options, "env", "");
    if (source.layout == "taillard") {
        if (env.empty()) env = "flowshop";
        if (env != "flowshop") usage_error("the taillard layout holds a flow shop (--env flowshop)");
    } else if (source.layout == "classic") {
        if (env.empty()) env = "jobshop";
        if (env != "jobshop") usage_error("the classic layout holds a job shop (--env jobshop)");
    } else if (source.layout != "tagged") {
        usage_error("unknown layout '" + source.layout + "' (tagged, taillard or classic)");
    }
    if (env.empty()) env = "single";
    auto dispatch = [&](const auto& environment) {
        return is_evaluate ? evaluate(environment, source, options) : write_schedule(environment, source, options);
    };
    if (env == "single") return dispatch(single_env);
    if (env == "identical") return dispatch(identical_env);
    if (env == "uniform") return dispatch(uniform_env);
    if (env == "unrelated") return dispatch(unrelated_env);
    if (env == "flowshop") return dispatch(flowshop_env);
    if (env == "jobshop") return dispatch(jobshop_env);
    usage_error("unknown environment '" + env + "' (single, identical, uniform, unrelated, flowshop or jobshop)");
}

// ---------------------------------------------------------------------------
// gantt
// ---------------------------------------------------------------------------

struct Operation {
    int job;
    int machine;
    long start;
    long duration;
};

struct Schedule {
    int jobs = 0;
    int machines = 0;
    std::vector<Operation> operations;
};

Schedule read_schedule(const std::string& path) {
    const std::string text = read_file(path);
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    const char* const tags[] = {"JOBS", "MACHINES", "SCHEDULE_DATA", "JOB_ORDER"};
    auto bad = [&](const std::string& why) -> Failure {
        return Failure{1, "'" + path + "' is not a schedule file: " + why};
    };
    if (lines.size() != 4) throw bad("expected four tagged lines, found " + std::to_string(lines.size()));
    std::string content[4];
    for (int k = 0; k < 4; ++k) {
        const std::string open = std::string("[") + tags[k] + "=";
        if (lines[k].rfind(open, 0) != 0 || lines[k].back() != ']')
            throw bad("line " + std::to_string(k + 1) + " should be " + open + "...]");
        content[k] = lines[k].substr(open.size(), lines[k].size() - open.size() - 1);
    }
    auto count = [&](const std::string& value, const char* tag) {
        const auto numbers = parse_integers(value);
        if (!numbers || numbers->size() != 1 || (*numbers)[0] < 0 || (*numbers)[0] > 100000)
            throw bad(std::string(tag) + " is not a count");
        return static_cast<int>((*numbers)[0]);
    };
    Schedule schedule;
    schedule.jobs = count(content[0], "JOBS");
    schedule.machines = count(content[1], "MACHINES");
    const auto order = parse_integers(content[3]);
    if (!order || static_cast<int>(order->size()) != schedule.jobs)
        throw bad("JOB_ORDER does not list " + std::to_string(schedule.jobs) + " jobs");
    std::vector<bool> seen(static_cast<std::size_t>(schedule.jobs), false);
    for (long job : *order) {
        if (job < 0 || job >= schedule.jobs || seen[static_cast<std::size_t>(job)])
            throw bad("JOB_ORDER is not a permutation of the jobs");
        seen[static_cast<std::size_t>(job)] = true;
    }
    std::vector<std::string> groups;
    if (schedule.jobs > 0) {
        std::string group;
        std::istringstream data(content[2]);
        while (std::getline(data, group, ';')) groups.push_back(group);
        if (!content[2].empty() && content[2].back() == ';') groups.emplace_back();
    } else if (!content[2].empty()) {
        throw bad("SCHEDULE_DATA lists operations of no job");
    }
    if (static_cast<int>(groups.size()) != schedule.jobs)
        throw bad("SCHEDULE_DATA has " + std::to_string(groups.size()) + " groups for " +
                  std::to_string(schedule.jobs) + " jobs");
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const int job = static_cast<int>((*order)[g]);
        const auto numbers = parse_integers(groups[g]);
        if (!numbers || numbers->empty() || numbers->size() % 3 != 0)
            throw bad("the group of job " + std::to_string(job) + " is not machine,start,duration triples");
        for (std::size_t k = 0; k < numbers->size(); k += 3) {
            const long machine = (*numbers)[k], start = (*numbers)[k + 1], duration = (*numbers)[k + 2];
            if (machine < 0 || machine >= schedule.machines)
                throw bad("job " + std::to_string(job) + " runs on machine " + std::to_string(machine) +
                          ", which does not exist");
            if (start < 0 || duration < 0 || start > 4000000000000L || duration > 4000000000000L)
                throw bad("job " + std::to_string(job) + " has a negative or huge start or duration");
            schedule.operations.push_back({job, static_cast<int>(machine), start, duration});
        }
    }
    // No machine runs two operations at once.
    std::vector<const Operation*> by_machine;
    for (const Operation& op : schedule.operations) by_machine.push_back(&op);
    std::sort(by_machine.begin(), by_machine.end(), [](const Operation* a, const Operation* b) {
        return a->machine != b->machine ? a->machine < b->machine : a->start < b->start;
    });
    for (std::size_t k = 1; k < by_machine.size(); ++k) {
        const Operation& before = *by_machine[k - 1];
        const Operation& after = *by_machine[k];
        if (before.machine == after.machine && after.start < before.start + before.duration && after.duration > 0 &&
            before.duration > 0)
            throw bad("machine " + std::to_string(after.machine) + " runs jobs " + std::to_string(before.job) +
                      " and " + std::to_string(after.job) + " at once");
    }
    return schedule;
}

// A colour per job, the same wherever the job appears: hues spread by the
// golden angle, converted to RGB so that every SVG renderer reads them.
std::string job_colour(int job) {
    const double hue = std::fmod(job * 137.508, 360.0) / 60.0;
    const double saturation = 0.55, lightness = job % 2 == 0 ? 0.62 : 0.50;
    const double chroma = (1 - std::fabs(2 * lightness - 1)) * saturation;
    const double x = chroma * (1 - std::fabs(std::fmod(hue, 2.0) - 1));
    double r = 0, g = 0, b = 0;
    switch (static_cast<int>(hue)) {
        case 0: r = chroma, g = x; break;
        case 1: r = x, g = chroma; break;
        case 2: g = chroma, b = x; break;
        case 3: g = x, b = chroma; break;
        case 4: r = x, b = chroma; break;
        default: r = chroma, b = x; break;
    }
    const double offset = lightness - chroma / 2;
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", static_cast<int>(std::lround((r + offset) * 255)),
                  static_cast<int>(std::lround((g + offset) * 255)), static_cast<int>(std::lround((b + offset) * 255)));
    return text;
}

std::string fixed(double value) {
    char text[48];
    std::snprintf(text, sizeof text, "%.2f", value);
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

std::string xml_escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

// The chart's geometry: time t sits at x = left + t * plot_width / span, where
// span is the makespan (1 for an empty schedule); lane i (machine i) spans
// y = top + i * lane .. top + (i + 1) * lane.
constexpr double chart_left = 100, chart_plot_width = 800, chart_right = 60;
constexpr double chart_top = 50, chart_lane = 40, chart_bar_margin = 6;

std::string render_svg(const Schedule& schedule, const std::string& title) {
    long makespan = 0;
    for (const Operation& op : schedule.operations) makespan = std::max(makespan, op.start + op.duration);
    const double span = makespan > 0 ? static_cast<double>(makespan) : 1.0;
    const double scale = chart_plot_width / span;
    const double width = chart_left + chart_plot_width + chart_right;
    const double lanes_bottom = chart_top + schedule.machines * chart_lane;
    const double height = lanes_bottom + 50;
    auto x_of = [&](long t) { return chart_left + static_cast<double>(t) * scale; };

    std::string svg;
    svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + fixed(width) + "\" height=\"" + fixed(height) +
           "\" viewBox=\"0 0 " + fixed(width) + " " + fixed(height) +
           "\" font-family=\"DejaVu Sans, Arial, sans-serif\" font-size=\"12\">\n";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    svg += "<text x=\"" + fixed(chart_left) + "\" y=\"24\" font-size=\"15\" font-weight=\"bold\">" +
           xml_escape(title) + "</text>\n";
    svg += "<text x=\"" + fixed(chart_left + chart_plot_width) + "\" y=\"24\" text-anchor=\"end\">" +
           std::to_string(schedule.jobs) + " jobs, " + std::to_string(schedule.machines) + " machines</text>\n";

    // Lanes: the grey background shows where a machine stands idle.
    svg += "<g class=\"lanes\">\n";
    for (int i = 0; i < schedule.machines; ++i) {
        const double y = chart_top + i * chart_lane;
        svg += "<rect x=\"" + fixed(chart_left) + "\" y=\"" + fixed(y + 2) + "\" width=\"" + fixed(chart_plot_width) +
               "\" height=\"" + fixed(chart_lane - 4) + "\" fill=\"#eeeeee\"/>\n";
        svg += "<text x=\"" + fixed(chart_left - 10) + "\" y=\"" + fixed(y + chart_lane / 2 + 4) +
               "\" text-anchor=\"end\">M" + std::to_string(i) + "</text>\n";
    }
    svg += "</g>\n";

    // Time axis: ticks every 1, 2 or 5 times a power of ten, about ten of them.
    long step = 1;
    while (span / static_cast<double>(step) > 10) {
        if (span / static_cast<double>(step * 2) <= 10) { step *= 2; break; }
        if (span / static_cast<double>(step * 5) <= 10) { step *= 5; break; }
        step *= 10;
    }
    svg += "<g class=\"axis\" stroke=\"#555555\">\n";
    svg += "<line x1=\"" + fixed(chart_left) + "\" y1=\"" + fixed(lanes_bottom) + "\" x2=\"" +
           fixed(chart_left + chart_plot_width) + "\" y2=\"" + fixed(lanes_bottom) + "\"/>\n";
    for (long t = 0; static_cast<double>(t) <= span; t += step) {
        const double x = x_of(t);
        svg += "<line x1=\"" + fixed(x) + "\" y1=\"" + fixed(lanes_bottom) + "\" x2=\"" + fixed(x) + "\" y2=\"" +
               fixed(lanes_bottom + 6) + "\"/>\n";
        svg += "<text x=\"" + fixed(x) + "\" y=\"" + fixed(lanes_bottom + 20) +
               "\" text-anchor=\"middle\" stroke=\"none\" fill=\"#333333\">" + std::to_string(t) + "</text>\n";
    }
    svg += "<text x=\"" + fixed(chart_left + chart_plot_width / 2) + "\" y=\"" + fixed(lanes_bottom + 40) +
           "\" text-anchor=\"middle\" stroke=\"none\" fill=\"#333333\">time</text>\n";
    svg += "</g>\n";

    // Bars: one per operation, in the order the file lists them.
    svg += "<g class=\"operations\">\n";
    for (const Operation& op : schedule.operations) {
        const double x = x_of(op.start);
        const double w = static_cast<double>(op.duration) * scale;
        const double y = chart_top + op.machine * chart_lane + chart_bar_margin;
        const double h = chart_lane - 2 * chart_bar_margin;
        svg += "<rect class=\"bar\" data-job=\"" + std::to_string(op.job) + "\" data-machine=\"" +
               std::to_string(op.machine) + "\" x=\"" + fixed(x) + "\" y=\"" + fixed(y) + "\" width=\"" + fixed(w) +
               "\" height=\"" + fixed(h) + "\" fill=\"" + job_colour(op.job) +
               "\" stroke=\"#333333\" stroke-width=\"0.8\"><title>job " + std::to_string(op.job) + " on M" +
               std::to_string(op.machine) + ": " + std::to_string(op.start) + " to " +
               std::to_string(op.start + op.duration) + "</title></rect>\n";
        const std::string label = "J" + std::to_string(op.job);
        if (w >= 7.5 * static_cast<double>(label.size()))
            svg += "<text x=\"" + fixed(x + w / 2) + "\" y=\"" + fixed(y + h / 2 + 4) +
                   "\" text-anchor=\"middle\" fill=\"#111111\">" + label + "</text>\n";
    }
    svg += "</g>\n";

    // The makespan.
    const double xm = x_of(makespan);
    svg += "<g class=\"makespan\">\n";
    svg += "<line x1=\"" + fixed(xm) + "\" y1=\"" + fixed(chart_top - 8) + "\" x2=\"" + fixed(xm) + "\" y2=\"" +
           fixed(lanes_bottom) + "\" stroke=\"#cc0000\" stroke-width=\"2\" stroke-dasharray=\"6 3\"/>\n";
    svg += "<text x=\"" + fixed(xm) + "\" y=\"" + fixed(chart_top - 12) +
           "\" text-anchor=\"middle\" fill=\"#cc0000\">Cmax = " + std::to_string(makespan) + "</text>\n";
    svg += "</g>\n";
    svg += "</svg>\n";
    return svg;
}

int gantt(const std::vector<std::string>& args) {
    const Options options = parse_options(args, {{"output", 'O', true}, {"title", 0, true}}, "gantt");
    if (options.help) {
        std::fputs(gantt_help, stdout);
        return 0;
    }
    if (options.positional.size() != 1) usage_error("gantt needs exactly one schedule file (see 'sched gantt --help')");
    const std::string& path = options.positional[0];
    const Schedule schedule = read_schedule(path);
    const std::string title = value_or(options, "title", std::filesystem::path(path).filename().string());
    const std::string svg = render_svg(schedule, title);
    if (options.values.count("output") != 0)
        write_file_atomically(options.values.at("output"), svg);
    else
        std::fputs(svg.c_str(), stdout);
    return 0;
}

int run(const std::vector<std::string>& args) {
    if (args.empty()) usage_error("no command given (see 'sched --help')");
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "-h" || command == "--help" || command == "help") {
        std::fputs(main_help, stdout);
        return 0;
    }
    if (command == "evaluate" || command == "schedule") return run_instance_command(command, rest);
    if (command == "gantt") return gantt(rest);
    usage_error("unknown command '" + command + "' (evaluate, schedule or gantt; see 'sched --help')");
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const Failure& f) {
        std::fflush(stdout);
        std::fprintf(stderr, "%s: %s\n", program, f.message.c_str());
        return f.status;
    }
}
