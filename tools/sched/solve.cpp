// sched solve: a good sequence for an instance by a reference heuristic.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include <CLI/CLI.hpp>

#include <zurududo/benchmarks.h>
#include <zurududo/experiment.h>
#include <zurududo/heuristics.h>

#include "commands.h"
#include "instances.h"
#include "output.h"
#include "svg.h"

namespace sched {

namespace {

// The objective the methods of the experiment's list minimise in an environment.
std::string method_objective(schedule::Environment environment) {
    return environment == schedule::Environment::single ? "Wj_SumTj" : "Cmax";
}

bool listed(const std::string& method, schedule::Environment environment) {
    const std::vector<std::string> names = zurududo::experiment::methods(environment);
    return std::find(names.begin(), names.end(), method) != names.end();
}

// The anytime curve: the best value over time, a step per improvement.
std::string trace_svg(const std::vector<std::pair<double, double>>& points, double seconds, const std::string& title) {
    const double left = 90, top = 40, width = 640, height = 300;
    double low = points.front().second, high = low, end = std::max(seconds, points.back().first);
    for (const auto& [t, v] : points)
        low = std::min(low, v), high = std::max(high, v);
    if (high == low) high = low + 1;
    if (end <= 0) end = 1;
    auto x_of = [&](double t) { return left + t / end * width; };
    auto y_of = [&](double v) { return top + (high - v) / (high - low) * height; };
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      fixed(left + width + 40) + "\" height=\"" + fixed(top + height + 60) +
                      "\" font-family=\"DejaVu Sans, Arial, sans-serif\" font-size=\"12\">\n"
                      "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    svg += "<text x=\"" + fixed(left) + "\" y=\"24\" font-size=\"15\" font-weight=\"bold\">" + xml_escape(title) +
           "</text>\n";
    svg += "<g class=\"axes\" stroke=\"#555555\">\n<line x1=\"" + fixed(left) + "\" y1=\"" + fixed(top + height) +
           "\" x2=\"" + fixed(left + width) + "\" y2=\"" + fixed(top + height) + "\"/>\n<line x1=\"" + fixed(left) +
           "\" y1=\"" + fixed(top) + "\" x2=\"" + fixed(left) + "\" y2=\"" + fixed(top + height) + "\"/>\n";
    const double t_step = tick_step(end);
    auto label = [](double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", value);
        return std::string(text);
    };
    for (int k = 0; k * t_step <= end * 1.0001; ++k)
        svg += "<text x=\"" + fixed(x_of(k * t_step)) + "\" y=\"" + fixed(top + height + 18) +
               "\" text-anchor=\"middle\" stroke=\"none\" fill=\"#333333\">" + label(k * t_step) + "</text>\n";
    const double v_step = tick_step(high - low);
    for (double k = std::ceil(low / v_step); k * v_step <= high; ++k)
        svg += "<text x=\"" + fixed(left - 8) + "\" y=\"" + fixed(y_of(k * v_step) + 4) +
               "\" text-anchor=\"end\" stroke=\"none\" fill=\"#333333\">" + label(k * v_step) + "</text>\n";
    svg += "<text x=\"" + fixed(left + width / 2) + "\" y=\"" + fixed(top + height + 40) +
           "\" text-anchor=\"middle\" stroke=\"none\" fill=\"#333333\">seconds</text>\n</g>\n";
    std::string path;
    for (std::size_t k = 0; k < points.size(); ++k) {
        path += (k == 0 ? "M" : " H") + fixed(x_of(points[k].first));
        path += (k == 0 ? " " : " V") + fixed(y_of(points[k].second));
    }
    path += " H" + fixed(x_of(end));
    svg += "<path class=\"best\" d=\"" + path + "\" fill=\"none\" stroke=\"#1f5fbf\" stroke-width=\"2\"/>\n</svg>\n";
    return svg;
}

int run_solve(CLI::App& app, const std::vector<std::string>& args) {
    InstanceOptions instance;
    std::string algorithm, objective, output, format = "table", trace;
    double seconds = 0;
    long iterations = 0;
    std::uint64_t seed = 1;
    add_instance_options(app, instance, false);
    app.add_option(
        "-a,--algorithm", algorithm, "generic, or a method of the list: " + [] {
            std::string names;
            for (const std::string& name : zurududo::experiment::methods())
                names += name + " ";
            return names;
        }());
    app.add_option(
        "-o,--objective", objective,
        "the objective to minimise (default: Cmax; Wj_SumTj on one machine with due dates, Wj_SumCj without)");
    add_search_options(app, seconds, iterations, seed);
    app.add_option("-O,--output", output, "also write the schedule file of the sequence found");
    app.add_option("-f,--format", format, "table (default) or json");
    app.add_option("--trace", trace, "draw the best value over time to FILE (.svg, or .png)");
    if (!parse(app, args)) return 0;
    check_format(format, {"table", "json"});
    if (seconds == 0 && iterations == 0) seconds = 1;
    const LoadedInstance loaded = load(instance);
    const zurududo::benchmarks::Entry* entry = loaded.entry;

    return with_record(loaded.instance, [&]<class Record>(const Record& record) {
        constexpr schedule::Environment environment = schedule::environment_of<Record>;
        if (objective.empty())
            objective = environment != schedule::Environment::single ? "Cmax"
                        : record.dd != nullptr                       ? "Wj_SumTj"
                                                                     : "Wj_SumCj";
        try {
            objective = std::string(schedule::find_objective<Record>(objective).name);
        } catch (const schedule::Error& e) {
            usage_error(e.what());
        }
        const bool native = objective == method_objective(environment);
        const bool chosen = !algorithm.empty();
        if (algorithm.empty()) {
            algorithm = environment == schedule::Environment::flowshop && native ? "ig"
                        : environment == schedule::Environment::single && native ? "ils"
                        : environment == schedule::Environment::jobshop && native && listed("ts", environment)
                            ? "ts"
                            : "generic";
        }
        if (algorithm != "generic") {
            if (!listed(algorithm, environment)) {
                std::vector<std::string> names = zurududo::experiment::methods(environment);
                names.push_back("generic");
                std::string list;
                for (const std::string& name : names)
                    list += (list.empty() ? "" : ", ") + name;
                const auto guess = closest(algorithm, zurududo::experiment::methods());
                usage_error("unknown algorithm '" + algorithm + "' for a " +
                            std::string(schedule::environment_name(environment)) + " instance (" + list + ")" +
                            (guess && *guess != algorithm ? "; did you mean '" + *guess + "'?" : ""));
            }
            if (!native)
                usage_error(algorithm + " minimises " + method_objective(environment) +
                            "; -a generic minimises any objective");
        }

        std::vector<std::pair<double, double>> points;
        zurududo::heuristics::Options options;
        options.budget = {seconds, iterations, zurududo::heuristics::Clock::wall};
        options.seed = seed;
        options.on_improvement = [&points](const zurududo::heuristics::Improvement& improvement) {
            points.emplace_back(improvement.seconds, improvement.value);
        };
        zurududo::heuristics::Result result;
        try {
            result = algorithm == "generic" ? zurududo::heuristics::generic_search(record, objective, options)
                                            : zurududo::experiment::solve(loaded.instance, algorithm, options);
        } catch (const schedule::Error& e) {
            if (e.kind() != schedule::ErrorKind::argument) failure(e.what());
            if (chosen) usage_error(e.what());
            // The default method does not take this instance (release dates, say): the generic search does.
            algorithm = "generic";
            points.clear();
            result = zurududo::heuristics::generic_search(record, objective, options);
        }
        if (points.empty() || points.back().second != result.value) points.emplace_back(result.seconds, result.value);

        if (!output.empty()) write_output(output, schedule::schedule_file_text(record, result.sequence));
        if (!trace.empty())
            write_picture(trace, trace_svg(points, result.seconds, loaded.label + ": " + algorithm + ", " + objective));
        // The best known value of a named instance, when it is of this objective (else negative).
        const long best_known = entry != nullptr && entry->objective == objective ? entry->best_known : -1;
        const schedule::Value value = schedule::evaluate(record, result.sequence, objective);
        if (format == "json") {
            nlohmann::ordered_json json;
            json["instance"] = loaded.label;
            json["environment"] = std::string(schedule::environment_name(environment));
            json["algorithm"] = algorithm;
            json["objective"] = objective;
            json["value"] = value_json(value);
            json["sequence"] = result.sequence;
            json["seconds"] = result.seconds;
            json["iterations"] = result.iterations;
            json["seed"] = seed;
            if (best_known >= 0) json["best_known"] = best_known;
            write_output("", json.dump(2) + "\n");
            return 0;
        }
        std::string out = "instance    " + loaded.label + " (" + std::string(schedule::environment_name(environment)) +
                          ", " + std::to_string(record.jobs) + " jobs, " + std::to_string(record.machines) +
                          " machine" + (record.machines == 1 ? "" : "s") + ")\n";
        out += "algorithm   " + algorithm + " (seed " + std::to_string(seed) + ")\n";
        out += objective + std::string(objective.size() < 12 ? 12 - objective.size() : 1, ' ') + value_text(value);
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

}  // namespace

const Command solve_command{
    .name = "solve",
    .summary = "find a good sequence with a reference heuristic",
    .usage = "sched solve [options] INSTANCE|NAME",
    .description = "Looks for a sequence of small objective value with a reference heuristic and\n"
                   "prints its value, the sequence, the time and the iterations. The default\n"
                   "method: ig for the flow shop's Cmax, ils for weighted tardiness, ts for the job\n"
                   "shop's Cmax, generic (iterated greedy over the evaluator) otherwise. Without\n"
                   "--time-limit or --iterations, it searches for one second.",
    .run = run_solve,
};

}  // namespace sched
