// sched list: the benchmark sets and their instances.
#include <cstdio>

#include <CLI/CLI.hpp>

#include <zurududo/benchmarks.h>

#include "commands.h"
#include "common.h"
#include "output.h"

namespace sched {

namespace {

int run_list(CLI::App& app, const std::vector<std::string>& args) {
    std::vector<std::string> chosen;
    app.add_option("SET", chosen, "only these sets");
    if (!parse(app, args)) return 0;
    namespace benchmarks = zurududo::benchmarks;
    const std::vector<std::string> sets = benchmarks::sets();
    for (const std::string& set : chosen)
        if (benchmarks::set_entries(set).empty()) {
            const auto guess = closest(set, sets);
            usage_error("unknown set '" + set + "'" + (guess ? " (did you mean '" + *guess + "'?)" : ""));
        }
    std::string out;
    for (const std::string& set : chosen.empty() ? sets : chosen) {
        const std::vector<const benchmarks::Entry*> entries = benchmarks::set_entries(set);
        const benchmarks::Entry& first = *entries.front();
        out += set + ": " + std::to_string(entries.size()) + " instances, " +
               std::string(schedule::environment_name(first.environment)) + ", " + first.objective + "\n";
        for (const benchmarks::Entry* entry : entries)
            out += "  " + entry->name + std::string(entry->name.size() < 10 ? 10 - entry->name.size() : 1, ' ') +
                   std::string(schedule::environment_name(entry->environment)) + "  " +
                   pad(std::to_string(entry->jobs) + "x" + std::to_string(entry->machines), 7) + "  " +
                   pad(std::to_string(entry->best_known), 8) + (entry->optimal ? " *" : "") + "\n";
    }
    write_output("", out);
    return 0;
}

}  // namespace

const Command list_command{
    .name = "list",
    .summary = "the benchmark sets and their instances",
    .usage = "sched list [SET...]",
    .description = "Lists the benchmark sets and their instances, each with its environment, size\n"
                   "(jobs x machines) and best known value ('*' when proven optimal). Any name\n"
                   "serves where an instance file does: sched evaluate ta001, sched solve la16.",
    .run = run_list,
};

}  // namespace sched
