// sched list: the benchmark sets and their instances, one instance in full,
// and the table of methods.
#include <cstdio>

#include <CLI/CLI.hpp>

#include <zurududo/benchmarks.h>
#include <zurududo/solvers.h>

#include "commands.h"
#include "common.h"
#include "output.h"

namespace sched {

namespace {

namespace benchmarks = zurududo::benchmarks;
namespace solvers = zurududo::solvers;

// One instance in full: what the catalogue knows, and how sched solve takes it.
std::string described(const benchmarks::Entry& entry) {
    const auto line = [](const std::string& label, const std::string& value) {
        return label + std::string(label.size() < 20 ? 20 - label.size() : 1, ' ') + value + "\n";
    };
    const auto optional = [](const std::optional<long>& value) { return value ? std::to_string(*value) : "-"; };
    const schedule::AnyInstance instance = benchmarks::make_instance(entry);
    const std::string objective = solvers::default_objective(instance, &entry);
    std::string out = line("instance", entry.name);
    out += line("set", entry.set);
    out += line("environment", std::string(schedule::environment_name(entry.environment)));
    out += line("size", std::to_string(entry.jobs) + " job" + (entry.jobs == 1 ? "" : "s") + " x " +
                            std::to_string(entry.machines) + " machine" + (entry.machines == 1 ? "" : "s"));
    out += line("objective", entry.objective);
    out += line("best known", std::to_string(entry.best_known) + (entry.optimal ? " (optimal)" : ""));
    out += line("lower bound", optional(entry.lower_bound));
    if (entry.environment == schedule::Environment::flowshop) {
        out += line("NEH makespan", optional(entry.neh_makespan));
        out += line("best known, classic", optional(entry.best_known_classic));
    }
    out += line("default method", solvers::default_method(instance, objective).name);
    std::string fitting;
    for (const solvers::Method* method : solvers::fitting(instance, objective))
        fitting += (fitting.empty() ? "" : ", ") + method->name;
    out += line("methods", fitting);
    return out;
}

}  // namespace

int list_command(CLI::App& app, const std::vector<std::string>& args) {
    std::vector<std::string> chosen;
    bool methods = false;
    app.add_option("SET", chosen, "only these sets, or these instances described in full");
    app.add_flag("--methods", methods, "the table of methods instead: names, kinds, environments, parameters");
    if (!parse(app, args)) return 0;
    if (methods) {
        if (!chosen.empty()) usage_error("--methods lists the methods of every set; give no set with it");
        write_output("", solvers::table_text());
        return 0;
    }
    const std::vector<std::string> sets = benchmarks::sets();
    std::string out;
    for (const std::string& name : chosen) {
        if (!benchmarks::set_entries(name).empty()) continue;
        if (benchmarks::find(name) != nullptr) continue;
        const auto set = closest(name, sets);
        const auto instance = benchmarks::closest_instance(name);
        usage_error("no set or instance named '" + name + "'" +
                    (set        ? " (did you mean " + *set + "?)"
                     : instance ? " (did you mean " + *instance + "?)"
                                : " (sets: " + [&] {
                                      std::string list;
                                      for (const std::string& s : sets) list += (list.empty() ? "" : ", ") + s;
                                      return list;
                                  }() + ")"));
    }
    for (const std::string& name : chosen.empty() ? sets : chosen) {
        if (const benchmarks::Entry* entry = benchmarks::set_entries(name).empty() ? benchmarks::find(name) : nullptr) {
            out += (out.empty() ? "" : "\n") + described(*entry);
            continue;
        }
        const std::vector<const benchmarks::Entry*> entries = benchmarks::set_entries(name);
        const benchmarks::Entry& first = *entries.front();
        out += name + ": " + std::to_string(entries.size()) + " instances, " +
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

}  // namespace sched
