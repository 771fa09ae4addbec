// sched solve: a good sequence for an instance by a reference heuristic.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include <CLI/CLI.hpp>

#include <zurududo/benchmarks.h>
#include <zurududo/charts.h>
#include <zurududo/heuristics.h>
#include <zurududo/solvers.h>

#include "commands.h"
#include "instances.h"
#include "output.h"
#include "svg.h"

namespace sched {

int solve_command(CLI::App& app, const std::vector<std::string>& args) {
    namespace solvers = zurududo::solvers;
    InstanceOptions instance;
    MethodOptions method;
    std::string objective, output, format = "table", trace;
    double seconds = 0;
    long iterations = 0;
    std::uint64_t seed = 1;
    add_instance_options(app, instance, false);
    add_method_options(app, method, false);
    app.add_option("-o,--objective", objective,
                   "the objective to minimise (default: a benchmark's own; one machine: Wj_SumTj with due dates, "
                   "Wj_SumCj without; else Cmax)");
    add_search_options(app, seconds, iterations, seed);
    app.add_option("-O,--output", output, "also write the schedule file of the sequence found");
    app.add_option("-f,--format", format, "table (default) or json");
    app.add_option("--trace", trace, "draw the best value over time to FILE (.svg, or .png)");
    if (!parse(app, args)) return 0;
    check_format(format, {"table", "json"});
    const LoadedInstance loaded = load(instance);
    const zurududo::benchmarks::Entry* entry = loaded.entry;

    solvers::Request request;
    request.method = method.method;
    request.objective = objective;
    request.parameters = parameter_values(method);
    request.entry = entry;
    request.stop_at_best_known = method.stop_at_best;
    request.options.budget = {seconds, iterations, zurududo::heuristics::Clock::wall};
    request.options.seed = seed;
    if (method.target) request.options.target = *method.target;
    std::vector<std::pair<double, double>> points;
    request.options.on_improvement = [&points](const zurududo::heuristics::Improvement& improvement) {
        points.emplace_back(improvement.seconds, improvement.value);
    };
    solvers::Plan plan;
    try {
        plan = solvers::plan(loaded.instance, request);
    } catch (const schedule::Error& e) {
        usage_error(e.what());
    }
    solvers::Outcome outcome;
    try {
        outcome = solvers::run(loaded.instance, plan);
    } catch (const schedule::Error& e) {
        failure(e.what());
    }
    const zurududo::heuristics::Result& result = outcome.result;
    const std::string& name = outcome.method->name;
    if (points.empty() || points.back().second != result.value) points.emplace_back(result.seconds, result.value);

    return with_record(loaded.instance, [&]<class Record>(const Record& record) {
        constexpr schedule::Environment environment = schedule::environment_of<Record>;
        if (!output.empty()) write_output(output, schedule::schedule_file_text(record, result.sequence));
        if (!trace.empty())
            write_picture(trace, zurududo::charts::trace_svg(points, result.seconds, loaded.label + ": " + name + ", " + plan.objective));
        // The best known value of a named instance, when it is of this objective (else negative).
        const long best_known = entry != nullptr && entry->objective == plan.objective ? entry->best_known : -1;
        if (format == "json") {
            nlohmann::ordered_json json;
            json["instance"] = loaded.label;
            json["environment"] = std::string(schedule::environment_name(environment));
            json["algorithm"] = name;
            json["objective"] = plan.objective;
            json["value"] = value_json(outcome.value);
            json["sequence"] = result.sequence;
            json["seconds"] = result.seconds;
            json["iterations"] = result.iterations;
            json["seed"] = seed;
            json["parameters"] = plan.settings.values();
            if (best_known >= 0) json["best_known"] = best_known;
            write_output("", json.dump(2) + "\n");
            return 0;
        }
        std::string out = "instance    " + loaded.label + " (" + std::string(schedule::environment_name(environment)) +
                          ", " + std::to_string(record.jobs) + " job" + (record.jobs == 1 ? "" : "s") + ", " +
                          std::to_string(record.machines) + " machine" + (record.machines == 1 ? "" : "s") + ")\n";
        std::string settings;
        for (const zurududo::solvers::Parameter& parameter : outcome.method->parameters)
            settings += (settings.empty() ? "" : " ") + parameter.name + "=" + plan.settings.values().at(parameter.name);
        out += "algorithm   " + name + " (seed " + std::to_string(seed) + (settings.empty() ? "" : "; " + settings) +
               ")\n";
        out += plan.objective + std::string(plan.objective.size() < 12 ? 12 - plan.objective.size() : 1, ' ') +
               value_text(outcome.value);
        if (best_known >= 0) {
            char rpd[64];
            std::snprintf(rpd, sizeof rpd, " (best known %ld, %+.2f %%)", best_known,
                          zurududo::benchmarks::rpd(result.value, static_cast<double>(best_known)));
            out += rpd;
        }
        out += "\n" + std::string(operation_sequences<Record> ? "operations  " : "sequence    ") +
               join(result.sequence) + "\n";
        char timing[96];
        std::snprintf(timing, sizeof timing, "seconds     %.3f\niterations  %ld\n", result.seconds, result.iterations);
        write_output("", out + timing);
        return 0;
    });
}

}  // namespace sched
