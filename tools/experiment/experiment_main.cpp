// Runs one method over benchmark sets or named instances, one instance after
// another on this thread, and prints a row per instance and the mean
// relative deviation per size group.
//
//   zurududo-experiment -a METHOD [--param NAME=VALUE]... [--time-factor T | --time-limit S] [--iterations N]
//                       [--seed N] [--clock cpu|wall] [--target V] [--stop-at-best] [--csv FILE] SET|NAME...
//   zurududo-experiment --summarise FILE.csv...
//
// The methods, their names and parameters are those of <zurududo/solvers.h>,
// as in sched and Python, and the rows, the CSV file and the stopping on
// SIGINT and SIGTERM those of sched bench: each row is appended as its run
// finishes, a run into a file that holds rows skips the runs finished there,
// and a signal stops the run in flight at its best (exit 130 or 143). The
// CSV rows of several runs (shards of a set, say) concatenate; the second
// form prints the summary of such rows. It stays beside sched bench for the
// recorded commands that name it and for --clock wall.
#include <cmath>
#include <csignal>
#include <memory>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include <zurududo/experiment.h>
#include <zurududo/solvers.h>

using namespace zurududo;

namespace {

const char* const usage_text =
    "usage: zurududo-experiment -a METHOD [--param NAME=VALUE]... [--time-factor T | --time-limit S]\n"
    "                           [--iterations N] [--seed N] [--clock cpu|wall] [--target V] [--stop-at-best]\n"
    "                           [--csv FILE] SET|NAME...\n"
    "       zurududo-experiment --summarise FILE.csv...\n"
    "The methods and their parameters: sched list --methods.\n";

[[noreturn]] void usage(const std::string& problem) {
    std::cerr << "zurududo-experiment: " << problem << "\n" << usage_text;
    std::exit(2);
}

const std::vector<std::string> options = {"-a",      "--param", "--time-factor", "--time-limit", "--iterations",
                                          "--seed",  "--clock", "--target",      "--stop-at-best", "--csv",
                                          "--summarise", "--help"};

double finite(const std::string& text, const std::string& option) {
    std::size_t used = 0;
    const double value = std::stod(text, &used);
    if (used != text.size() || !std::isfinite(value)) usage("not a number after " + option + ": '" + text + "'");
    return value;
}

}  // namespace

int main(int argc, char** argv) {
    experiment::Settings settings;
    std::string csv;
    std::vector<std::string> summarise;
    std::vector<const benchmarks::Entry*> entries;
    for (int k = 1; k < argc; ++k) {
        const std::string arg = argv[k];
        auto value = [&]() -> std::string {
            if (k + 1 >= argc) usage(arg + " needs a value");
            return argv[++k];
        };
        try {
            if (arg == "-h" || arg == "--help") {
                std::cout << usage_text;
                return 0;
            } else if (arg == "-a") {
                settings.method = value();
            } else if (arg == "--param") {
                const auto [name, text] = solvers::parameter_assignment(value());
                if (!settings.parameters.emplace(name, text).second) usage("the parameter " + name + " is given twice");
            } else if (arg == "--time-factor") {
                settings.time_factor = finite(value(), arg);
            } else if (arg == "--time-limit" || arg == "--seconds") {
                if (arg == "--seconds")
                    std::cerr << "zurududo-experiment: --seconds is deprecated; the time limit is --time-limit\n";
                settings.seconds = finite(value(), arg);
            } else if (arg == "--iterations") {
                settings.iterations = std::stol(value());
            } else if (arg == "--seed") {
                settings.seed = std::stoull(value());
            } else if (arg == "--clock") {
                const std::string clock = value();
                if (clock != "cpu" && clock != "wall") usage("--clock is cpu or wall");
                settings.clock = clock == "cpu" ? heuristics::Clock::thread_cpu : heuristics::Clock::wall;
            } else if (arg == "--target") {
                settings.target = finite(value(), arg);
            } else if (arg == "--stop-at-best") {
                settings.stop_at_best_known = true;
            } else if (arg == "--csv") {
                csv = value();
            } else if (arg == "--summarise") {
                summarise.push_back(value());
            } else if (!arg.empty() && arg[0] == '-') {
                const auto guess = schedule::closest_name(arg, options);
                usage("unknown option " + arg + (guess ? " (did you mean " + *guess + "?)" : ""));
            } else {
                auto in_set = benchmarks::set_entries(arg);
                if (in_set.empty()) {
                    const benchmarks::Entry* entry = benchmarks::find(arg);
                    if (entry == nullptr) {
                        std::vector<std::string> names = benchmarks::sets();
                        const auto set = schedule::closest_name(arg, names);
                        const auto name = benchmarks::closest_instance(arg);
                        usage("no set or instance named " + arg +
                              (name ? " (did you mean " + *name + "?)" : set ? " (did you mean " + *set + "?)" : ""));
                    }
                    in_set.push_back(entry);
                }
                entries.insert(entries.end(), in_set.begin(), in_set.end());
            }
        } catch (const schedule::Error& error) {
            usage(error.what());
        } catch (const std::logic_error&) {
            usage("not a number after " + arg);
        }
    }
    if (!summarise.empty()) {
        // Only the summary of rows written before (by one run, or by several concatenated).
        try {
            std::vector<experiment::Row> rows;
            for (const std::string& file : summarise) {
                const auto more = experiment::read_csv_rows(schedule::read_file(file), file);
                for (const experiment::Row& row : more)
                    if (!row.interrupted) rows.push_back(row);
            }
            experiment::write_summary(std::cout, experiment::summarise(rows));
        } catch (const schedule::Error& error) {
            std::fprintf(stderr, "zurududo-experiment: %s\n", error.what());
            return 1;
        }
        return 0;
    }
    if (settings.method.empty()) usage("no method (-a)");
    if (entries.empty()) usage("no set or instance");
    try {
        (void)solvers::settings(solvers::method_named(settings.method), settings.parameters);
    } catch (const schedule::Error& error) {
        usage(error.what());
    }

    std::unique_ptr<experiment::CsvFile> csv_file;
    try {
        if (!csv.empty()) csv_file = std::make_unique<experiment::CsvFile>(csv);
    } catch (const schedule::Error& error) {
        std::fprintf(stderr, "zurududo-experiment: %s\n", error.what());
        return 1;
    }
    std::vector<experiment::Task> tasks;
    for (const benchmarks::Entry* entry : entries)
        tasks.push_back({entry, settings});
    std::printf("%-10s %-8s %10s %12s %8s %9s %9s %10s\n", "instance", "group", "best", "value", "rpd", "seconds",
                "to_best", "iterations");
    std::fflush(stdout);
    experiment::GridOptions grid;
    grid.csv = csv_file.get();
    grid.stop = &experiment::StopOnSignals::flag();
    grid.on_row = [](const experiment::Row& row, const experiment::Progress&) {
        std::printf("%-10s %-8s %10ld %12.0f %8.3f %9.3f %9.3f %10ld%s\n", row.instance.c_str(), row.group.c_str(),
                    row.best_known, row.value, row.rpd, row.seconds, row.seconds_to_best, row.iterations,
                    row.interrupted ? " interrupted" : "");
        std::fflush(stdout);
    };
    int stopped_by = 0;
    std::size_t skipped = 0;
    bool stopped = false;
    std::vector<experiment::Row> finished;  // the grid's, those found in the CSV file included
    try {
        const experiment::StopOnSignals handlers;
        const experiment::GridResult result = experiment::run_grid(tasks, grid);
        stopped_by = experiment::StopOnSignals::signal();
        skipped = result.skipped;
        stopped = result.stopped;
        for (const experiment::Row& row : result.table)
            if (!row.interrupted) finished.push_back(row);
    } catch (const schedule::Error& error) {
        std::fprintf(stderr, "zurududo-experiment: %s\n", error.what());
        return error.kind() == schedule::ErrorKind::argument ? 2 : 1;
    }
    if (skipped > 0) std::printf("(%zu runs found finished in %s, not made again)\n", skipped, csv.c_str());
    std::printf("\n");
    std::fflush(stdout);
    experiment::write_summary(std::cout, experiment::summarise(finished));
    if (stopped) {
        std::printf("\nstopped by %s; run the same command again to resume\n", stopped_by == SIGTERM ? "SIGTERM" : "SIGINT");
        std::fflush(stdout);
        return 128 + (stopped_by == SIGTERM ? SIGTERM : SIGINT);
    }
    return 0;
}
