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
    chart.title = title.empty() ? std::filesystem::path(path).filename().string() : title;
    write_picture(output, zurududo::charts::gantt_svg(schedule.jobs, schedule.machines, schedule.operations, chart));
    return 0;
}

}  // namespace sched
