// sched gantt: a schedule file drawn as an SVG (or PNG) Gantt chart.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <unistd.h>

#include <CLI/CLI.hpp>

#include "commands.h"
#include "instances.h"
#include "svg.h"

namespace sched {

namespace {

// An operation as the library places it: job, machine, start and end.
using schedule::Operation;

struct Schedule {
    int jobs = 0;
    int machines = 0;
    std::vector<Operation> operations;
};

Schedule read_schedule(const std::string& path) {
    const std::string text = read_input(path);
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    const char* const tags[] = {"JOBS", "MACHINES", "SCHEDULE_DATA", "JOB_ORDER"};
    auto bad = [&](const std::string& why) -> Failure {
        return Failure{1, "'" + path + "' is not a schedule file: " + why};
    };
    if (lines.size() != 4) throw bad("expected four tagged lines, found " + std::to_string(lines.size()));
    std::string content[4];
    for (int k = 0; k < 4; ++k) {
        const std::string open = std::string("[") + tags[k] + "=";
        if (lines[k].rfind(open, 0) != 0 || lines[k].back() != ']')
            throw bad("line " + std::to_string(k + 1) + " should be " + open + "...]");
        content[k] = lines[k].substr(open.size(), lines[k].size() - open.size() - 1);
    }
    auto count = [&](const std::string& value, const char* tag) {
        const auto numbers = parse_integers(value);
        if (!numbers || numbers->size() != 1 || (*numbers)[0] < 0 || (*numbers)[0] > 100000)
            throw bad(std::string(tag) + " is not a count");
        return static_cast<int>((*numbers)[0]);
    };
    Schedule schedule;
    schedule.jobs = count(content[0], "JOBS");
    schedule.machines = count(content[1], "MACHINES");
    const auto order = parse_integers(content[3]);
    if (!order || static_cast<int>(order->size()) != schedule.jobs)
        throw bad("JOB_ORDER does not list " + std::to_string(schedule.jobs) + " jobs");
    std::vector<bool> seen(static_cast<std::size_t>(schedule.jobs), false);
    for (long job : *order) {
        if (job < 0 || job >= schedule.jobs || seen[static_cast<std::size_t>(job)])
            throw bad("JOB_ORDER is not a permutation of the jobs");
        seen[static_cast<std::size_t>(job)] = true;
    }
    std::vector<std::string> groups;
    if (schedule.jobs > 0) {
        std::string group;
        std::istringstream data(content[2]);
        while (std::getline(data, group, ';'))
            groups.push_back(group);
        if (!content[2].empty() && content[2].back() == ';') groups.emplace_back();
    } else if (!content[2].empty()) {
        throw bad("SCHEDULE_DATA lists operations of no job");
    }
    if (static_cast<int>(groups.size()) != schedule.jobs)
        throw bad("SCHEDULE_DATA has " + std::to_string(groups.size()) + " groups for " +
                  std::to_string(schedule.jobs) + " jobs");
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const int job = static_cast<int>((*order)[g]);
        const auto numbers = parse_integers(groups[g]);
        if (!numbers || numbers->empty() || numbers->size() % 3 != 0)
            throw bad("the group of job " + std::to_string(job) + " is not machine,start,duration triples");
        for (std::size_t k = 0; k < numbers->size(); k += 3) {
            const long machine = (*numbers)[k], start = (*numbers)[k + 1], duration = (*numbers)[k + 2];
            if (machine < 0 || machine >= schedule.machines)
                throw bad("job " + std::to_string(job) + " runs on machine " + std::to_string(machine) +
                          ", which does not exist");
            if (start < 0 || duration < 0 || start > 4000000000000L || duration > 4000000000000L)
                throw bad("job " + std::to_string(job) + " has a negative or huge start or duration");
            schedule.operations.push_back({job, static_cast<int>(machine), start, start + duration});
        }
    }
    // No machine runs two operations at once: an operation of some length
    // starts no earlier than every earlier one of some length on its machine
    // ends (operations of no length overlap nothing).
    std::vector<const Operation*> by_machine;
    for (const Operation& op : schedule.operations)
        if (op.end > op.start) by_machine.push_back(&op);
    std::sort(by_machine.begin(), by_machine.end(), [](const Operation* a, const Operation* b) {
        return a->machine != b->machine ? a->machine < b->machine : a->start < b->start;
    });
    const Operation* latest = nullptr;  // of the machine so far, the one that ends last
    for (const Operation* op : by_machine) {
        if (latest != nullptr && latest->machine == op->machine && op->start < latest->end)
            throw bad("machine " + std::to_string(op->machine) + " runs jobs " + std::to_string(latest->job) + " and " +
                      std::to_string(op->job) + " at once");
        if (latest == nullptr || latest->machine != op->machine || op->end > latest->end) latest = op;
    }
    return schedule;
}

// What a chart shows beside the schedule: a fixed end of the time axis (0:
// the makespan), and the instance's due dates and release dates (empty: none).
struct ChartOptions {
    long time_max = 0;
    std::vector<long> due_dates;
    std::vector<long> release_dates;
};

// The chart's geometry: time t sits at x = left + t * plot_width / span, where
// span is the makespan or the fixed end of the axis (1 for an empty
// schedule); lane i (machine i) spans y = top + i * lane .. top + (i + 1) *
// lane. The plot is 800 wide, wider when a machine has more than 50 bars.
constexpr double chart_left = 100, chart_right = 60;
constexpr double chart_top = 50, chart_lane = 40, chart_bar_margin = 6;

std::string render_svg(const Schedule& schedule, const std::string& title, const ChartOptions& chart) {
    long makespan = 0;
    for (const Operation& op : schedule.operations)
        makespan = std::max(makespan, op.end);
    std::vector<int> bars(static_cast<std::size_t>(schedule.machines), 0);
    for (const Operation& op : schedule.operations)
        ++bars[static_cast<std::size_t>(op.machine)];
    const int most_bars = bars.empty() ? 0 : *std::max_element(bars.begin(), bars.end());
    const double chart_plot_width = std::max(800.0, 16.0 * most_bars);
    const long axis_end = std::max(makespan, chart.time_max);
    const double span = axis_end > 0 ? static_cast<double>(axis_end) : 1.0;
    const double scale = chart_plot_width / span;
    const double width = chart_left + chart_plot_width + chart_right;
    const double lanes_bottom = chart_top + schedule.machines * chart_lane;
    const double height = lanes_bottom + 50;
    auto x_of = [&](long t) { return chart_left + static_cast<double>(t) * scale; };

    std::string svg;
    svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + fixed(width) + "\" height=\"" + fixed(height) +
           "\" viewBox=\"0 0 " + fixed(width) + " " + fixed(height) +
           "\" font-family=\"DejaVu Sans, Arial, sans-serif\" font-size=\"12\">\n";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    svg += "<text x=\"" + fixed(chart_left) + "\" y=\"24\" font-size=\"15\" font-weight=\"bold\">" + xml_escape(title) +
           "</text>\n";
    svg += "<text x=\"" + fixed(chart_left + chart_plot_width) + "\" y=\"24\" text-anchor=\"end\">" +
           std::to_string(schedule.jobs) + " jobs, " + std::to_string(schedule.machines) + " machines</text>\n";

    // Lanes: the grey background shows where a machine stands idle.
    svg += "<g class=\"lanes\">\n";
    for (int i = 0; i < schedule.machines; ++i) {
        const double y = chart_top + i * chart_lane;
        svg += "<rect x=\"" + fixed(chart_left) + "\" y=\"" + fixed(y + 2) + "\" width=\"" + fixed(chart_plot_width) +
               "\" height=\"" + fixed(chart_lane - 4) + "\" fill=\"#eeeeee\"/>\n";
        svg += "<text x=\"" + fixed(chart_left - 10) + "\" y=\"" + fixed(y + chart_lane / 2 + 4) +
               "\" text-anchor=\"end\">M" + std::to_string(i) + "</text>\n";
    }
    svg += "</g>\n";

    // Time axis: ticks every 1, 2 or 5 times a power of ten, about ten of them.
    const long step = std::max(1L, static_cast<long>(tick_step(span)));
    svg += "<g class=\"axis\" stroke=\"#555555\">\n";
    svg += "<line x1=\"" + fixed(chart_left) + "\" y1=\"" + fixed(lanes_bottom) + "\" x2=\"" +
           fixed(chart_left + chart_plot_width) + "\" y2=\"" + fixed(lanes_bottom) + "\"/>\n";
    for (long t = 0; static_cast<double>(t) <= span; t += step) {
        const double x = x_of(t);
        svg += "<line x1=\"" + fixed(x) + "\" y1=\"" + fixed(lanes_bottom) + "\" x2=\"" + fixed(x) + "\" y2=\"" +
               fixed(lanes_bottom + 6) + "\"/>\n";
        svg += "<text x=\"" + fixed(x) + "\" y=\"" + fixed(lanes_bottom + 20) +
               "\" text-anchor=\"middle\" stroke=\"none\" fill=\"#333333\">" + std::to_string(t) + "</text>\n";
    }
    svg += "<text x=\"" + fixed(chart_left + chart_plot_width / 2) + "\" y=\"" + fixed(lanes_bottom + 40) +
           "\" text-anchor=\"middle\" stroke=\"none\" fill=\"#333333\">time</text>\n";
    svg += "</g>\n";

    // Bars: one per operation, in the order the file lists them.
    svg += "<g class=\"operations\">\n";
    for (const Operation& op : schedule.operations) {
        const double x = x_of(op.start);
        const double w = static_cast<double>(op.end - op.start) * scale;
        const double y = chart_top + op.machine * chart_lane + chart_bar_margin;
        const double h = chart_lane - 2 * chart_bar_margin;
        svg += "<rect class=\"bar\" data-job=\"" + std::to_string(op.job) + "\" data-machine=\"" +
               std::to_string(op.machine) + "\" x=\"" + fixed(x) + "\" y=\"" + fixed(y) + "\" width=\"" + fixed(w) +
               "\" height=\"" + fixed(h) + "\" fill=\"" + job_colour(op.job) +
               "\" stroke=\"#333333\" stroke-width=\"0.8\"><title>job " + std::to_string(op.job) + " on M" +
               std::to_string(op.machine) + ": " + std::to_string(op.start) + " to " + std::to_string(op.end) +
               "</title></rect>\n";
        const std::string label = "J" + std::to_string(op.job);
        if (w >= 7.5 * static_cast<double>(label.size()))
            svg += "<text x=\"" + fixed(x + w / 2) + "\" y=\"" + fixed(y + h / 2 + 4) +
                   "\" text-anchor=\"middle\" fill=\"#111111\">" + label + "</text>\n";
    }
    svg += "</g>\n";

    // The makespan.
    const double xm = x_of(makespan);
    svg += "<g class=\"makespan\">\n";
    svg += "<line x1=\"" + fixed(xm) + "\" y1=\"" + fixed(chart_top - 8) + "\" x2=\"" + fixed(xm) + "\" y2=\"" +
           fixed(lanes_bottom) + "\" stroke=\"#cc0000\" stroke-width=\"2\" stroke-dasharray=\"6 3\"/>\n";
    svg += "<text x=\"" + fixed(xm) + "\" y=\"" + fixed(chart_top - 12) +
           "\" text-anchor=\"middle\" fill=\"#cc0000\">Cmax = " + std::to_string(makespan) + "</text>\n";
    svg += "</g>\n";

    // Due dates above the lanes, release dates below the axis, each labelled by its job.
    auto marks = [&](const std::vector<long>& dates, const char* kind, const char* colour, double y0, double y1,
                     double text_y) {
        if (dates.empty()) return;
        svg += std::string("<g class=\"") + kind + "\">\n";
        for (std::size_t j = 0; j < dates.size(); ++j) {
            const double x = x_of(dates[j]);
            svg += "<line x1=\"" + fixed(x) + "\" y1=\"" + fixed(y0) + "\" x2=\"" + fixed(x) + "\" y2=\"" + fixed(y1) +
                   "\" stroke=\"" + colour + "\" stroke-width=\"1.5\"/>\n";
            svg += "<text x=\"" + fixed(x) + "\" y=\"" + fixed(text_y) +
                   "\" text-anchor=\"middle\" font-size=\"9\" fill=\"" + colour + "\">" + (kind[0] == 'd' ? "d" : "r") +
                   std::to_string(j) + "</text>\n";
        }
        svg += "</g>\n";
    };
    marks(chart.due_dates, "due-dates", "#1f5fbf", chart_top - 6, chart_top + 2, chart_top - 9);
    marks(chart.release_dates, "release-dates", "#2e8b57", lanes_bottom + 24, lanes_bottom + 30, lanes_bottom + 48);
    svg += "</svg>\n";
    return svg;
}

}  // namespace

int gantt_command(CLI::App& app, const std::vector<std::string>& args) {
    std::string path, output, title;
    InstanceOptions instance;
    ChartOptions chart;
    app.add_option("SCHEDULE", path, "the schedule file (- for standard input)")->required();
    app.add_option("-O,--output", output, "write the chart to FILE (.svg or .png)");
    app.add_option("--title", title, "the chart's title (default: the schedule file's name)");
    app.add_option("--time-max", chart.time_max,
                   "end the time axis here (at least the makespan): one scale across charts")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--dates", instance.path, "mark the due dates and release dates of this instance (file or name)");
    app.add_option("-e,--env", instance.env, "the instance's environment (default: from its tags)");
    app.add_option("--layout", instance.layout, "the instance's layout (default: tagged)");
    if (!parse(app, args)) return 0;
    const Schedule schedule = read_schedule(path);
    if (!instance.path.empty()) {
        const LoadedInstance loaded = load(instance);
        with_record(loaded.instance, [&](const auto& record) {
            if (record.jobs != schedule.jobs)
                usage_error("'" + instance.path + "' has " + std::to_string(record.jobs) + " jobs, the schedule " +
                            std::to_string(schedule.jobs));
            for (int j = 0; j < record.jobs; ++j) {
                if (record.dd != nullptr) chart.due_dates.push_back(record.dd[j]);
                if (record.r != nullptr) chart.release_dates.push_back(record.r[j]);
            }
            if (std::all_of(chart.release_dates.begin(), chart.release_dates.end(), [](long r) { return r == 0; }))
                chart.release_dates.clear();
            return 0;
        });
    }
    if (title.empty()) title = std::filesystem::path(path).filename().string();
    write_picture(output, render_svg(schedule, title, chart));
    return 0;
}

}  // namespace sched
