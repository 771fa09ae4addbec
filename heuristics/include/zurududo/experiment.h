// Runs of the reference heuristics on named benchmark instances: the result
// row of one run, its CSV form (appended a whole row at a time, read back
// with the rows of earlier versions), the key a resumed grid skips by, the
// grid runner every front door shares (threads, a stop flag, progress), and
// the mean deviation per size group.
#ifndef ZURUDUDO_EXPERIMENT_H
#define ZURUDUDO_EXPERIMENT_H

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <zurududo/benchmarks.h>
#include <zurududo/heuristics.h>
#include <zurududo/solvers.h>

namespace zurududo::experiment {

// How the instances are run: a method of the table of <zurududo/solvers.h>
// (a name or alias) with its parameters, for each instance's own objective.
struct Settings {
    std::string method;
    solvers::ParameterValues parameters;
    double time_factor = 0;  // t: a time limit of t · n · m / 2 ms …
    double seconds = 0;      // … or a fixed one
    long iterations = 0;
    std::uint64_t seed = 1;
    heuristics::Clock clock = heuristics::Clock::thread_cpu;
    bool stop_at_best_known = false;  // end a run once it reaches the best known value
    std::optional<double> target;     // end a run once it reaches this value
};

// The budget of the settings as the rows name it: each limit and stop given, joined by
// ';' — "time_factor=30", "time_limit=2.5", "iterations=1000", then
// "target=930" or "stop_at_best" — or "none".
std::string budget_text(const Settings& settings);
// The settings' budget and stopping rule from that text (the inverse of
// budget_text); Error (argument) for text that is none of it.
void parse_budget(std::string_view text, Settings& settings);
// The time limit in seconds a run of the settings has on an instance, 0 for none.
double time_limit(const benchmarks::Entry& entry, const Settings& settings);
// "cpu" (the solving thread's processor time) or "wall".
std::string_view clock_name(heuristics::Clock clock) noexcept;
// The canonical name of the method and all its parameters with the values
// given or their defaults, "T=0.7;d=2;..." in name order (empty when it has
// none); Error (argument) as solvers::settings.
std::pair<std::string, std::string> method_and_parameters(const Settings& settings);

// The version of the toolkit that wrote a row, and the machine it ran on.
std::string_view toolkit_version() noexcept;
std::string machine_name();

struct Row {
    std::string instance;
    std::string group;  // n x m
    std::string method;
    std::uint64_t seed = 1;
    long best_known = 0;
    std::optional<long> best_known_classic;
    double value = 0;
    double rpd = 0;  // against best_known
    std::optional<double> rpd_classic;
    double seconds = 0;          // the whole run, on the row's clock
    double seconds_to_best = 0;  // when the value reported was first found
    long iterations = 0;
    // Written since rows carry their whole run (empty in rows read from
    // files of earlier versions).
    std::string parameters;  // as method_and_parameters
    std::string budget;      // as budget_text
    std::string clock;       // as clock_name
    std::string objective;
    std::string set;
    bool interrupted = false;  // stopped by the stop flag before its budget ran out
    std::string version;
    std::string machine;
    // The improvements of the best value: (seconds, value), at most
    // trace_limit of them (the first, the last, and evenly between).
    std::vector<std::pair<double, double>> trace;
};
inline constexpr std::size_t trace_limit = 200;

// What a resumed grid skips by: method, parameters, instance, seed, budget.
std::string run_key(const Row& row);

// One run of `settings.method` on an instance, through solvers::solve (the
// toolkit's error of kind argument, naming the instance, for a method,
// parameter or target that does not fit it). A search polls `stop` and, once
// it is set, ends with its best so far: the row is then `interrupted` unless
// the budget or target had ended the run anyway.
Row run(const benchmarks::Entry& entry, const Settings& settings, const std::atomic<bool>* stop = nullptr);

struct Group {
    std::string group;
    int instances = 0;
    double arpd = 0;
    std::optional<double> arpd_classic;
    int reached = 0;  // value at most the best known
    double mean_seconds = 0;
    double max_seconds_to_best = 0;
};

// Per size group in order of first appearance, then "all".
std::vector<Group> summarise(const std::vector<Row>& rows);

// The CSV form. The first twelve columns are those of the rows of earlier
// versions, in their order; the others follow.
std::string csv_header();  // one line, with its newline
std::string csv_line(const Row& row);
void write_csv_header(std::ostream& out);
void write_csv_row(std::ostream& out, const Row& row);
// The rows of CSV text; header lines (also those of concatenated files, and
// the shorter header of earlier versions) name the columns of the rows that
// follow. A last line without its newline is a row cut short by a crash, and
// is left out. A malformed line throws schedule::Error (instance) naming
// `origin` and the line.
std::vector<Row> read_csv_rows(std::string_view text, std::string_view origin);

// A CSV file that rows are appended to: each row one write of its whole line
// to a file opened for appending, so a row is in the file whole or not at
// all, whatever stops the process. Opening reads the rows already there (a
// line cut short by a crash is cut off first) and writes the header to a new
// or empty file. Safe to use from several threads.
class CsvFile {
public:
    // Error (io) when the file cannot be read or written, Error (instance)
    // when it holds something other than rows.
    explicit CsvFile(std::string path);
    ~CsvFile();
    CsvFile(const CsvFile&) = delete;
    CsvFile& operator=(const CsvFile&) = delete;

    const std::string& path() const noexcept { return path_; }
    // The rows the file held when opened.
    const std::vector<Row>& existing() const noexcept { return existing_; }
    // Whether a finished (not interrupted) row of this key is in the file.
    bool finished(const std::string& key) const;
    // Appends a row (its line); Error (io) when the write fails.
    void append(const Row& row);
    void append_line(std::string_view line);

private:
    std::string path_;
    int fd_ = -1;
    std::vector<Row> existing_;
    std::set<std::string> finished_;
    mutable std::mutex lock_;
};

// One run of a grid.
struct Task {
    const benchmarks::Entry* entry = nullptr;
    Settings settings;  // its seed included
};

// Where a grid stands, for its progress line.
struct Progress {
    std::size_t done = 0;     // runs finished in this process (interrupted ones included)
    std::size_t total = 0;    // runs to make in this process
    std::size_t skipped = 0;  // runs found finished in the CSV file, not made again
    std::size_t running = 0;
    double elapsed = 0;                   // wall seconds since the grid started
    std::optional<double> remaining;      // estimated wall seconds to the end
    std::optional<double> mean_rpd;       // over the finished runs
    bool stopping = false;                // the stop flag is set
};
// "12/40 runs · 0:01:23 elapsed · about 0:04:10 left · mean RPD 1.234 % (5 skipped, done before)".
std::string progress_line(const Progress& progress);
// An estimate of the wall seconds left: the time budgets of the runs not
// finished, spread over `threads`, scaled by how much longer than their
// budgets the finished runs took; without time budgets, the mean wall time
// of a finished run times the runs left. Nothing before a first estimate can
// be made.
std::optional<double> estimate_remaining(double planned_left, double planned_done, double wall_done_sum,
                                         std::size_t done, std::size_t left, int threads, bool all_timed);

struct GridOptions {
    int threads = 1;
    CsvFile* csv = nullptr;  // rows appended as they finish; its finished runs are skipped
    const std::atomic<bool>* stop = nullptr;
    // Called, one call at a time, after every finished run with its row …
    std::function<void(const Row& row, const Progress& progress)> on_row;
    // … and about every `tick_seconds` in between.
    std::function<void(const Progress& progress)> on_tick;
    double tick_seconds = 1;
};

struct GridResult {
    std::vector<Row> rows;  // the runs made, finished or interrupted, in the tasks' order
    // Every run of the grid in the tasks' order: the row made here, or the
    // finished row the CSV file holds for it (its last); a run neither made
    // nor found (a grid stopped early) has none.
    std::vector<Row> table;
    std::size_t skipped = 0;
    bool stopped = false;  // the stop flag ended the grid before all its runs were made
};

// Runs the tasks on `threads` threads, each run as run() does. An error of a
// run (a method that does not fit an instance) ends the grid: the runs in
// flight finish, then the first error is thrown.
GridResult run_grid(const std::vector<Task>& tasks, const GridOptions& options);

// SIGINT and SIGTERM, while a guard lives, set the stop flag a grid polls
// instead of ending the process; a second such signal ends it as the default
// would, unless `second_ends` is false (a worker process, which its parent
// may tell to stop more than once). The handlers before come back when the
// guard goes. One guard at a time per process.
class StopOnSignals {
public:
    explicit StopOnSignals(bool second_ends = true);
    ~StopOnSignals();
    StopOnSignals(const StopOnSignals&) = delete;
    StopOnSignals& operator=(const StopOnSignals&) = delete;

    // The flag the signals set (cleared when the guard is made).
    static const std::atomic<bool>& flag() noexcept;
    // The signal that set it, 0 for none; the exit status for it is 128 + it.
    static int signal() noexcept;
    // Sets the flag as a signal would (for a stop asked otherwise).
    static void request(int signal) noexcept;

private:
    struct Saved;
    Saved* saved_;
};

// The summary as a Markdown table, or (`markdown` false) as a table of
// aligned columns; the column of deviations from the classic best known
// values only when some group has them.
void write_summary(std::ostream& out, const std::vector<Group>& groups, bool markdown = true);

}  // namespace zurududo::experiment

#endif
