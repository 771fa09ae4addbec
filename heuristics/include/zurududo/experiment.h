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

// One run of `settings.method` on an instance, through solvers::solve (the
// toolkit's error of kind argument, naming the instance, for a method,
// parameter or target that does not fit it).
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

// The summary as a Markdown table, or (`markdown` false) as a table of
// aligned columns; the column of deviations from the classic best known
// values only when some group has them.
void write_summary(std::ostream& out, const std::vector<Group>& groups, bool markdown = true);

}  // namespace zurududo::experiment

#endif
