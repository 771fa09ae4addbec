// sched bench: a method over a benchmark set, with relative deviations from
// the best known values, by the grid runner of the heuristics library: rows
// appended to the CSV file as runs finish, a resumed run skipping those
// there, SIGINT and SIGTERM stopping the runs in flight at their best.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <unistd.h>

#include <CLI/CLI.hpp>

#include <zurududo/benchmarks.h>
#include <zurududo/experiment.h>

#include "commands.h"
#include "common.h"
#include "output.h"
namespace sched {

namespace {

namespace benchmarks = zurududo::benchmarks;
namespace experiment = zurududo::experiment;

// The entries of the arguments: sets, names, or files listing names.
std::vector<const benchmarks::Entry*> entries_of(const std::vector<std::string>& arguments) {
    std::vector<const benchmarks::Entry*> entries;
    for (const std::string& argument : arguments) {
        std::vector<const benchmarks::Entry*> set = benchmarks::set_entries(argument);
        if (!set.empty()) {
            entries.insert(entries.end(), set.begin(), set.end());
        } else if (const benchmarks::Entry* entry = benchmarks::find(argument)) {
            entries.push_back(entry);
        } else if (std::error_code ec; std::filesystem::exists(argument, ec) || argument == "-") {
            std::istringstream names(read_input(argument));
            for (std::string name; names >> name;) {
                const benchmarks::Entry* listed = benchmarks::find(name);
                if (listed == nullptr)
                    failure("'" + argument + "' names '" + name + "', which is no benchmark instance");
                entries.push_back(listed);
            }
        } else {
            std::vector<std::string> known = benchmarks::sets();
            std::string list;
            for (const std::string& set_name : known)
                list += (list.empty() ? "" : ", ") + set_name;
            const auto guess = closest(argument, known);
            usage_error("'" + argument + "' is no set, benchmark name or file (sets: " + list + ")" +
                        (guess ? "; did you mean '" + *guess + "'?" : ""));
        }
    }
    return entries;
}

std::string number(double value, const char* format) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}


}  // namespace

int bench_command(CLI::App& app, const std::vector<std::string>& args) {
    std::vector<std::string> arguments;
    experiment::Settings settings;
    int seeds = 1, threads = 1;
    std::string csv, shard, format = "table";
    bool progress = false, quiet = false, resume = false;
    MethodOptions method;
    app.add_option("SET", arguments, "sets, names or files of names")->required();
    add_method_options(app, method, true);
    auto* factor =
        app.add_option("--time-factor", settings.time_factor, "a time limit of t·n·m/2 ms per run (the default, t = 1)")
            ->check(time_factor_option());
    add_search_options(app, settings.seconds, settings.iterations, settings.seed, factor);
    app.add_option("--seeds", seeds, "runs per instance, with seeds seed, seed+1, ... (default: 1)")
        ->check(count_option(1000000));
    app.add_option("-j,--threads", threads, "instances run side by side (default: 1)")->check(count_option(1024));
    app.add_option("--csv", csv,
                   "append a row per run to FILE as it finishes; runs already there are skipped "
                   "(shards' files concatenate into the whole)");
    app.add_flag("--resume", resume, "resume the run whose rows are in the --csv FILE (which must exist)");
    app.add_option("--shard", shard, "I/K: run every K-th run from the I-th (1 <= I <= K)");
    app.add_option("-f,--format", format, "table (default) or csv: the rows on standard output");
    app.add_flag("--progress", progress, "draw the live progress line even when standard error is no terminal");
    app.add_flag("-q,--quiet", quiet, "no progress on standard error");
    if (!parse(app, args)) return 0;
    check_format(format, {"table", "csv"});
    if (resume && csv.empty()) usage_error("--resume needs the --csv FILE of the run to resume");
    if (resume && !std::filesystem::exists(csv)) failure("nothing to resume: " + csv + " does not exist");
    if (settings.time_factor == 0 && settings.seconds == 0 && settings.iterations == 0) settings.time_factor = 1;
    settings.method = method.method;
    settings.parameters = parameter_values(method);
    settings.target = method.target;
    settings.stop_at_best_known = method.stop_at_best;
    long shard_index = 1, shard_count = 1;
    if (!shard.empty()) {
        const auto slash = shard.find('/');
        const auto first = schedule::integer_list(shard.substr(0, slash == std::string::npos ? shard.size() : slash));
        const auto second = slash == std::string::npos ? std::nullopt : schedule::integer_list(shard.substr(slash + 1));
        if (!first || !second || first->size() != 1 || second->size() != 1 || (*second)[0] < 1 || (*first)[0] < 1 ||
            (*first)[0] > (*second)[0])
            usage_error("--shard takes I/K with 1 <= I <= K, e.g. 2/8");
        shard_index = (*first)[0];
        shard_count = (*second)[0];
    }

    // The runs: every instance with every seed, then this shard's share.
    std::vector<experiment::Task> tasks;
    for (const benchmarks::Entry* entry : entries_of(arguments))
        for (int k = 0; k < seeds; ++k) {
            experiment::Task task{entry, settings};
            task.settings.seed = settings.seed + static_cast<std::uint64_t>(k);
            tasks.push_back(task);
        }
    std::vector<experiment::Task> mine;
    for (std::size_t k = static_cast<std::size_t>(shard_index - 1); k < tasks.size();
         k += static_cast<std::size_t>(shard_count))
        mine.push_back(tasks[k]);
    // The method, its parameters and the target checked once per set, on its first instance, before any run.
    std::vector<std::string> checked;
    for (const experiment::Task& task : mine) {
        if (std::find(checked.begin(), checked.end(), task.entry->set) != checked.end()) continue;
        checked.push_back(task.entry->set);
        zurududo::solvers::Request request;
        request.method = settings.method;
        request.objective = task.entry->objective;
        request.parameters = settings.parameters;
        request.entry = task.entry;
        request.stop_at_best_known = settings.stop_at_best_known;
        request.options.budget.iterations = 1;
        try {
            (void)zurududo::solvers::plan(benchmarks::make_instance(*task.entry), request);
        } catch (const schedule::Error& e) {
            if (e.kind() == schedule::ErrorKind::argument) usage_error(task.entry->name + ": " + e.what());
            failure(e.what());
        }
    }

    std::unique_ptr<experiment::CsvFile> file;
    if (!csv.empty()) {
        try {
            file = std::make_unique<experiment::CsvFile>(csv);
        } catch (const schedule::Error& e) {
            failure(e.what());
        }
    }

    // Progress on standard error: a live line on a terminal, else a line per
    // finished run (at most one a second) and one a minute while runs go on.
    const bool live = !quiet && (progress || isatty(STDERR_FILENO));
    const bool lines = !quiet && !live;
    double last_line = -1e9;
    std::size_t width = 0;
    auto draw = [&](const experiment::Progress& p, bool final) {
        const std::size_t bar = 24, filled = p.total == 0 ? bar : bar * p.done / p.total;
        std::string text = "[" + std::string(filled, '#') + std::string(bar - filled, ' ') + "] " +
                           experiment::progress_line(p);
        const std::size_t shown = text.size();
        if (shown < width) text += std::string(width - shown, ' ');
        width = shown;
        std::fprintf(stderr, "\r%s%s", text.c_str(), final ? "\n" : "");
        std::fflush(stderr);
    };
    experiment::GridOptions grid;
    grid.threads = threads;
    grid.csv = file.get();
    grid.stop = &experiment::StopOnSignals::flag();
    grid.on_row = [&](const experiment::Row& row, const experiment::Progress& p) {
        if (live) draw(p, false);
        if (lines && (p.elapsed - last_line >= 1 || p.done == p.total)) {
            std::fprintf(stderr, "%s seed %llu: %s%s · %s\n", row.instance.c_str(),
                         static_cast<unsigned long long>(row.seed), format_double(row.value).c_str(),
                         row.interrupted ? " (interrupted)" : "", experiment::progress_line(p).c_str());
            std::fflush(stderr);
            last_line = p.elapsed;
        }
    };
    grid.on_tick = [&](const experiment::Progress& p) {
        if (live) draw(p, false);
        if (lines && p.elapsed - last_line >= 60) {
            std::fprintf(stderr, "%s\n", experiment::progress_line(p).c_str());
            std::fflush(stderr);
            last_line = p.elapsed;
        }
    };
    experiment::GridResult result;
    int stopped_by = 0;
    {
        const experiment::StopOnSignals handlers;
        try {
            result = experiment::run_grid(mine, grid);
        } catch (const schedule::Error& e) {
            if (live) std::fputc('\n', stderr);
            failure(e.what());
        }
        stopped_by = experiment::StopOnSignals::signal();
    }
    if (live) {
        experiment::Progress last;
        last.done = result.rows.size();
        last.total = mine.size() - result.skipped;
        last.skipped = result.skipped;
        draw(last, true);
    }

    // The table: the runs of this grid, those found in the file included, in the grid's order.
    const std::vector<experiment::Row>& rows = result.table;
    if (format == "csv") {
        std::string text = experiment::csv_header();
        for (const experiment::Row& row : rows)
            text += experiment::csv_line(row);
        write_output("", text);
    } else {
        std::ostringstream table;
        std::size_t name_width = 8;
        for (const experiment::Row& row : rows)
            name_width = std::max(name_width, row.instance.size());
        table << pad("instance", name_width) << "  " << pad("group", 8) << "  " << pad("best", 9) << "  "
              << pad("value", 12) << "  " << pad("RPD %", 8) << "  " << pad("seconds", 8) << "\n";
        std::vector<experiment::Row> finished;
        for (const experiment::Row& row : rows) {
            table << pad(row.instance, name_width) << "  " << pad(row.group, 8) << "  "
                  << pad(std::to_string(row.best_known), 9) << "  " << pad(format_double(row.value), 12) << "  "
                  << pad(number(row.rpd, "%.2f"), 8) << "  " << pad(number(row.seconds, "%.2f"), 8)
                  << (row.interrupted ? "  interrupted" : "") << "\n";
            if (!row.interrupted) finished.push_back(row);
        }
        table << "\n";
        experiment::write_summary(table, experiment::summarise(finished), false);
        if (result.stopped)
            table << "\nstopped by " << (stopped_by == SIGTERM ? "SIGTERM" : "SIGINT") << ": "
                  << finished.size() << " of " << mine.size() << " runs finished"
                  << (csv.empty() ? "" : "; run the same command again to resume from " + csv) << "\n";
        write_output("", table.str());
    }
    if (result.stopped) return 128 + (stopped_by == SIGTERM ? SIGTERM : SIGINT);
    return 0;
}

}  // namespace sched
