// Runs of the reference heuristics on named benchmark instances: one row per
// instance with its relative deviation from the best known value, the mean
// per size group, and CSV rows that concatenate across runs.
#ifndef ZURUDUDO_EXPERIMENT_H
#define ZURUDUDO_EXPERIMENT_H

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <zurududo/benchmarks.h>
#include <zurududo/heuristics.h>

namespace zurududo::experiment {

// The methods a set can be run with, the one list of them: neh and ig (flow
// shop); edd, wspt, atc and ils (weighted tardiness); the dispatching rules
// spt, lpt, mwkr, lwkr, mopnr, fifo and random building active schedules,
// the same with "-nd" building non-delay ones, and ts, the tabu search, with
// its variants ts-n5 (N5 instead of N6), ts-bj (back jumps instead of path
// relinking), ts-n5-bj (both: the search before N6) and ts-2threads (two
// threads) (job shop).
std::vector<std::string> methods();
// Those that solve instances of an environment.
std::vector<std::string> methods(schedule::Environment environment);

// One run of a method of the list on an instance of any origin (the
// toolkit's error of kind argument for a method that does not solve the
// instance's environment).
heuristics::Result solve(const schedule::AnyInstance& instance, const std::string& method,
                         const heuristics::Options& options);

struct Settings {
    std::string method;
    double time_factor = 0;  // t: a time limit of t · n · m / 2 ms …
    double seconds = 0;      // … or a fixed one
    long iterations = 0;
    std::uint64_t seed = 1;
    heuristics::Clock clock = heuristics::Clock::thread_cpu;
    bool stop_at_best_known = false;  // end a run once it reaches the best known value
};

struct Row {
    std::string instance;
    std::string group;  // n x m
    long best_known;
    std::optional<long> best_known_classic;
    double value;
    double rpd;  // against best_known
    std::optional<double> rpd_classic;
    double seconds;          // the whole run, on the settings' clock
    double seconds_to_best;  // when the value reported was first found
    long iterations;
};

// One run of `settings.method` on an instance (the toolkit's error of kind
// argument for a method that does not fit the instance).
Row run(const benchmarks::Entry& entry, const Settings& settings);

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

void write_csv_header(std::ostream& out);
void write_csv_row(std::ostream& out, const Row& row, const Settings& settings);
// The rows of CSV text written by the above; header lines (also those of
// concatenated files) are skipped. A malformed line throws schedule::Error
// (instance) naming `origin` and the line.
std::vector<Row> read_csv_rows(std::string_view text, std::string_view origin);

// The summary as a Markdown table.
void write_summary(std::ostream& out, const std::vector<Group>& groups);

}  // namespace zurududo::experiment

#endif
