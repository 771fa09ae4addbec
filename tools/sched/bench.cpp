// sched bench: a method over a benchmark set, with relative deviations from
// the best known values, by the experiment runner of the heuristics library.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <thread>
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
    bool progress = false;
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
    app.add_option("--csv", csv, "write a row per run to FILE (shards' files concatenate into the whole)");
    app.add_option("--shard", shard, "I/K: run every K-th run from the I-th (1 <= I <= K)");
    app.add_option("-f,--format", format, "table (default) or csv: the rows on standard output");
    app.add_flag("--progress", progress, "draw the progress bar even when standard error is no terminal");
    if (!parse(app, args)) return 0;
    check_format(format, {"table", "csv"});
    if (settings.time_factor == 0 && settings.seconds == 0 && settings.iterations == 0) settings.time_factor = 1;
    settings.method = method.method;
    settings.parameters = parameter_values(method);
    settings.target = method.target;
    settings.stop_at_best_known = method.stop_at_best;
    long shard_index = 1, shard_count = 1;
    if (!shard.empty()) {
        const auto slash = shard.find('/');
        const auto first = parse_integers(shard.substr(0, slash == std::string::npos ? shard.size() : slash));
        const auto second = slash == std::string::npos ? std::nullopt : parse_integers(shard.substr(slash + 1));
        if (!first || !second || first->size() != 1 || second->size() != 1 || (*second)[0] < 1 || (*first)[0] < 1 ||
            (*first)[0] > (*second)[0])
            usage_error("--shard takes I/K with 1 <= I <= K, e.g. 2/8");
        shard_index = (*first)[0];
        shard_count = (*second)[0];
    }

    // The runs: every instance with every seed, then this shard's share.
    struct Task {
        const benchmarks::Entry* entry;
        std::uint64_t seed;
    };
    std::vector<Task> tasks;
    for (const benchmarks::Entry* entry : entries_of(arguments))
        for (int k = 0; k < seeds; ++k)
            tasks.push_back({entry, settings.seed + static_cast<std::uint64_t>(k)});
    std::vector<Task> mine;
    for (std::size_t k = static_cast<std::size_t>(shard_index - 1); k < tasks.size();
         k += static_cast<std::size_t>(shard_count))
        mine.push_back(tasks[k]);
    // The method, its parameters and the target checked once per set, on its first instance, before any run.
    std::vector<std::string> checked;
    for (const Task& task : mine) {
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

    // Threads take the runs in turn; the rows keep the runs' order.
    std::vector<experiment::Row> rows(mine.size());
    std::vector<std::string> errors(mine.size());
    std::atomic<std::size_t> next{0};
    std::size_t done = 0;
    std::mutex lock;
    const bool bar = progress || isatty(STDERR_FILENO);
    auto draw = [&] {
        const std::size_t width = 40, filled = mine.empty() ? width : width * done / mine.size();
        std::fprintf(stderr, "\r[%s%s] %zu/%zu", std::string(filled, '#').c_str(),
                     std::string(width - filled, ' ').c_str(), done, mine.size());
        if (done == mine.size()) std::fputc('\n', stderr);
        std::fflush(stderr);
    };
    auto worker = [&] {
        for (std::size_t k; (k = next++) < mine.size();) {
            experiment::Settings run = settings;
            run.seed = mine[k].seed;
            try {
                rows[k] = experiment::run(*mine[k].entry, run);
            } catch (const schedule::Error& e) {
                errors[k] = e.what();
            }
            const std::lock_guard<std::mutex> guard(lock);
            ++done;
            if (bar) draw();
        }
    };
    if (bar) draw();
    std::vector<std::thread> pool;
    for (int t = 1; t < std::min<int>(threads, static_cast<int>(mine.size())); ++t)
        pool.emplace_back(worker);
    worker();
    for (std::thread& thread : pool)
        thread.join();
    for (const std::string& error : errors)
        if (!error.empty()) failure(error);

    std::ostringstream table;
    if (!csv.empty() || format == "csv") {
        std::ostringstream text;
        experiment::write_csv_header(text);
        for (std::size_t k = 0; k < rows.size(); ++k) {
            experiment::Settings run = settings;
            run.seed = mine[k].seed;
            experiment::write_csv_row(text, rows[k], run);
        }
        if (!csv.empty()) write_output(csv, text.str());
        if (format == "csv") {
            write_output("", text.str());
            return 0;
        }
    }
    std::size_t name_width = 8;
    for (const experiment::Row& row : rows)
        name_width = std::max(name_width, row.instance.size());
    table << pad("instance", name_width) << "  " << pad("group", 8) << "  " << pad("best", 9) << "  "
          << pad("value", 12) << "  " << pad("RPD %", 8) << "  " << pad("seconds", 8) << "\n";
    for (const experiment::Row& row : rows)
        table << pad(row.instance, name_width) << "  " << pad(row.group, 8) << "  "
              << pad(std::to_string(row.best_known), 9) << "  " << pad(format_double(row.value), 12) << "  "
              << pad(number(row.rpd, "%.2f"), 8) << "  " << pad(number(row.seconds, "%.2f"), 8) << "\n";
    table << "\n";
    experiment::write_summary(table, experiment::summarise(rows), false);
    write_output("", table.str());
    return 0;
}

}  // namespace sched
