// sched gantt: a schedule file drawn as an SVG (or PNG) Gantt chart.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <unistd.h>

#include <CLI/CLI.hpp>

#include <zurududo/charts.h>

#include "commands.h"
#include "instances.h"
#include "svg.h"

namespace sched {

namespace {

// The schedule file at `path` (- for standard input), read by the library;
// a file that is not one ends the command with status 1.
schedule::ScheduleFile read_schedule(const std::string& path) {
    const std::string text = read_input(path);
    try {
        return schedule::read_schedule_text(text, path);
    } catch (const schedule::Error& e) {
        throw Failure{1, e.what()};
    }
}

}  // namespace

int gantt_command(CLI::App& app, const std::vector<std::string>& args) {
    std::string path, output, title;
    InstanceOptions instance;
    zurududo::charts::GanttOptions chart;
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
    const schedule::ScheduleFile schedule = read_schedule(path);
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
    chart.title = title.empty() ? std::filesystem::path(path).filename().string() : title;
    write_picture(output, zurududo::charts::gantt_svg(schedule.jobs, schedule.machines, schedule.operations, chart));
    return 0;
}

}  // namespace sched
