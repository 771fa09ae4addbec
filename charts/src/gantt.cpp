// The Gantt chart of a schedule.
#include <algorithm>
#include <cmath>
#include <type_traits>
#include <variant>

#include <zurududo/charts.h>

#include "svg.h"

namespace zurududo::charts {

namespace {

using svg::fixed;

// The chart's geometry: a lane per machine, 40 high, from lanes_top; the bars
// 6 inside their lane; time from x = left over the plot's width.
constexpr double left = 100, right_margin = 60, lane = 40, bar_margin = 6;
constexpr double bar_width_per_bar = 24, least_plot_width = 800;
constexpr double label_row = 13;  // a row of date labels (font 10)
constexpr int date_rows = 3;

[[noreturn]] void refuse(const std::string& what) { throw schedule::Error(schedule::ErrorKind::argument, 999, what); }

std::string plural(long count, const char* word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

}  // namespace

std::string gantt_svg(int jobs, int machines, std::span<const schedule::Operation> operations,
                      const GanttOptions& options) {
    if (jobs < 0 || machines < 0) refuse("gantt: negative counts of jobs or machines");
    long makespan = 0;
    std::vector<int> bars(static_cast<std::size_t>(machines), 0);
    for (const schedule::Operation& op : operations) {
        if (op.machine < 0 || op.machine >= machines) refuse("gantt: an operation on machine " + std::to_string(op.machine));
        if (op.job < 0 || op.job >= jobs) refuse("gantt: an operation of job " + std::to_string(op.job));
        makespan = std::max(makespan, op.end);
        ++bars[static_cast<std::size_t>(op.machine)];
    }
    const bool due = !options.due_dates.empty(), released = !options.release_dates.empty();
    long axis_end = std::max(makespan, options.time_max);
    for (const long d : options.due_dates) axis_end = std::max(axis_end, d);
    for (const long r : options.release_dates) axis_end = std::max(axis_end, r);
    const int most_bars = bars.empty() ? 0 : *std::max_element(bars.begin(), bars.end());
    const double plot_width = std::max(least_plot_width, bar_width_per_bar * most_bars);
    const double span = axis_end > 0 ? static_cast<double>(axis_end) : 1.0;
    const double scale = plot_width / span;
    const auto x_of = [&](long t) { return left + static_cast<double>(std::max(0L, t)) * scale; };

    // From the top: the title, the line of counts and makespan, the rows of
    // due-date labels over their marks, the lanes, the axis and its numbers,
    // "time", the release-date marks and the rows of their labels.
    const double due_top = 50;
    const double lanes_top = due ? due_top + date_rows * label_row + 12 : 56;
    const double lanes_bottom = lanes_top + machines * lane;
    const double release_top = lanes_bottom + 46;
    const double height = released ? release_top + 8 + date_rows * label_row + 8 : lanes_bottom + 50;
    const double width = left + plot_width + right_margin;

    std::string out = svg::head(width, height);
    out += "<text x=\"" + fixed(left) + "\" y=\"24\" font-size=\"15\" font-weight=\"bold\">" +
           xml_escaped(options.title) + "</text>\n";
    out += "<text class=\"counts\" x=\"" + fixed(left) + "\" y=\"42\" fill=\"#333333\">" + plural(jobs, "job") + ", " +
           plural(machines, "machine") + "; Cmax = " + std::to_string(makespan) + "</text>\n";

    // Lanes: the grey background shows where a machine stands idle.
    out += "<g class=\"lanes\">\n";
    for (int i = 0; i < machines; ++i) {
        const double y = lanes_top + i * lane;
        out += "<rect x=\"" + fixed(left) + "\" y=\"" + fixed(y + 2) + "\" width=\"" + fixed(plot_width) +
               "\" height=\"" + fixed(lane - 4) + "\" fill=\"#eeeeee\"/>\n";
        out += "<text x=\"" + fixed(left - 10) + "\" y=\"" + fixed(y + lane / 2 + 4) + "\" text-anchor=\"end\">M" +
               std::to_string(i) + "</text>\n";
    }
    out += "</g>\n";

    // The time axis: ticks every 1, 2 or 5 times a power of ten, about ten of
    // them; a number where it keeps clear of the one before.
    const long step = std::max(1L, static_cast<long>(svg::tick_step(span)));
    out += "<g class=\"axis\" stroke=\"#555555\">\n";
    out += "<line x1=\"" + fixed(left) + "\" y1=\"" + fixed(lanes_bottom) + "\" x2=\"" + fixed(left + plot_width) +
           "\" y2=\"" + fixed(lanes_bottom) + "\"/>\n";
    svg::Rows numbers(1);
    for (long t = 0; static_cast<double>(t) <= span; t += step) {
        const double x = x_of(t);
        out += "<line x1=\"" + fixed(x) + "\" y1=\"" + fixed(lanes_bottom) + "\" x2=\"" + fixed(x) + "\" y2=\"" +
               fixed(lanes_bottom + 6) + "\"/>\n";
        const std::string number = std::to_string(t);
        const double half = text_width(number, 12) / 2;
        if (numbers.place(x - half, x + half) < 0) continue;
        out += "<text x=\"" + fixed(x) + "\" y=\"" + fixed(lanes_bottom + 20) +
               "\" text-anchor=\"middle\" stroke=\"none\" fill=\"#333333\">" + number + "</text>\n";
    }
    out += "<text x=\"" + fixed(left + plot_width / 2) + "\" y=\"" + fixed(lanes_bottom + 38) +
           "\" text-anchor=\"middle\" stroke=\"none\" fill=\"#333333\">time</text>\n";
    out += "</g>\n";

    // Bars: one per operation, in the order given, labelled with the job where the label fits.
    out += "<g class=\"operations\">\n";
    for (const schedule::Operation& op : operations) {
        const double x = x_of(op.start);
        const double w = static_cast<double>(op.end - op.start) * scale;
        const double y = lanes_top + op.machine * lane + bar_margin;
        const double h = lane - 2 * bar_margin;
        const std::string colour = job_colour(op.job);
        out += "<rect class=\"bar\" data-job=\"" + std::to_string(op.job) + "\" data-machine=\"" +
               std::to_string(op.machine) + "\" x=\"" + fixed(x) + "\" y=\"" + fixed(y) + "\" width=\"" + fixed(w) +
               "\" height=\"" + fixed(h) + "\" fill=\"" + colour +
               "\" stroke=\"#333333\" stroke-width=\"0.6\"><title>job " + std::to_string(op.job) + " on M" +
               std::to_string(op.machine) + ": " + std::to_string(op.start) + " to " + std::to_string(op.end) +
               "</title></rect>\n";
        const std::string label = std::to_string(op.job);
        if (text_width(label, 10) + 3 <= w)
            out += "<text x=\"" + fixed(x + w / 2) + "\" y=\"" + fixed(y + h / 2 + 4) +
                   "\" text-anchor=\"middle\" font-size=\"10\" fill=\"" + svg::text_on(colour) + "\">" + label +
                   "</text>\n";
    }
    out += "</g>\n";

    // The makespan.
    const double xm = x_of(makespan);
    out += "<line class=\"makespan\" x1=\"" + fixed(xm) + "\" y1=\"" + fixed(lanes_top - 4) + "\" x2=\"" + fixed(xm) +
           "\" y2=\"" + fixed(lanes_bottom) + "\" stroke=\"#cc0000\" stroke-width=\"2\" stroke-dasharray=\"6 3\"/>\n";

    // Dates: a mark in the job's colour, its label ("d3", "r3") in the first
    // of the rows that has room for it, none when no row has; the label of a
    // mark left without one is in the mark's title.
    const auto marks = [&](const std::vector<long>& dates, const char* kind, char letter, double mark_top,
                           double mark_bottom, double first_row, double row_step) {
        out += std::string("<g class=\"") + kind + "\">\n";
        svg::Rows rows(date_rows);
        for (std::size_t j = 0; j < dates.size(); ++j) {
            const double x = x_of(dates[j]);
            const std::string label = letter + std::to_string(j);
            out += "<line x1=\"" + fixed(x) + "\" y1=\"" + fixed(mark_top) + "\" x2=\"" + fixed(x) + "\" y2=\"" +
                   fixed(mark_bottom) + "\" stroke=\"" + job_colour(static_cast<int>(j)) +
                   "\" stroke-width=\"2\"><title>" + (letter == 'd' ? "due date of job " : "release date of job ") +
                   std::to_string(j) + ": " + std::to_string(dates[j]) + "</title></line>\n";
            const double half = text_width(label, 10) / 2;
            const int row = rows.place(x - half, x + half);
            if (row < 0) continue;
            out += "<text x=\"" + fixed(x) + "\" y=\"" + fixed(first_row + row * row_step) +
                   "\" text-anchor=\"middle\" font-size=\"10\" fill=\"#333333\">" + label + "</text>\n";
        }
        out += "</g>\n";
    };
    // The rows fill from the marks outwards: upwards for the due dates, downwards for the release dates.
    if (due) marks(options.due_dates, "due-dates", 'd', lanes_top - 10, lanes_top, lanes_top - 13, -label_row);
    if (released)
        marks(options.release_dates, "release-dates", 'r', release_top, release_top + 6, release_top + 18, label_row);
    out += "</svg>\n";
    return out;
}

std::string gantt_svg(const schedule::AnyInstance& instance, std::span<const int> sequence, bool dates,
                      std::string title) {
    return std::visit(
        [&](const auto& held) -> std::string {
            using Record = std::decay_t<decltype(held.get())>;
            if constexpr (schedule::EvaluatedRecord<Record>) {
                const Record& record = held.get();
                const std::vector<schedule::Operation> operations = schedule::schedule_operations(record, sequence);
                GanttOptions options;
                options.title = std::move(title);
                if (dates) {
                    if (record.dd != nullptr) options.due_dates.assign(record.dd, record.dd + record.jobs);
                    options.release_dates.assign(record.r, record.r + record.jobs);
                    if (std::all_of(options.release_dates.begin(), options.release_dates.end(),
                                    [](long r) { return r == 0; }))
                        options.release_dates.clear();
                }
                return gantt_svg(record.jobs, std::is_same_v<Record, schedule::SINGLE_MACHINE> ? 1 : record.machines,
                                 operations, options);
            } else {
                refuse("the open shop has no schedule to draw");
            }
        },
        instance);
}

}  // namespace zurududo::charts
