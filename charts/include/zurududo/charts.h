// zurududo charts — pictures of schedules as SVG text, on the toolkit's
// public headers: the Gantt chart that sched and the Python package draw, and
// the curve of a search's best value over time.
//
// The SVG is standalone (no script, no external font or style) and the same
// input gives the same bytes. Every text is placed where it overlaps no other:
// a bar's label only where the bar is wide enough for it, the labels of due
// dates and release dates staggered over a few rows and left out where no row
// has room, the axis' numbers thinned to what fits.
#ifndef ZURUDUDO_CHARTS_H
#define ZURUDUDO_CHARTS_H

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <schedule/checked.h>

namespace zurududo::charts {

struct GanttOptions {
    std::string title;
    long time_max = 0;                // end of the time axis (at least the makespan); 0: the makespan
    std::vector<long> due_dates;      // a job's due date marked above the lanes; empty: none
    std::vector<long> release_dates;  // a job's release date marked below the axis; empty: none
};

// The chart of placed operations (schedule::Operation: job, machine, start,
// end) of `jobs` jobs on `machines` machines: a lane per machine, grey where
// the machine stands idle; a bar per operation in its job's colour (jobs_colour),
// labelled with the job where it is wide enough; the time axis; the makespan
// as a dashed line, its value in the line under the title with the counts of
// jobs and machines. Time t is at x = 100 + t · width / span, where span is
// the makespan, time_max or the latest date marked, and width is 800, or 24
// per bar of the machine that has most beyond 33. Error (argument) for an operation on no lane or a job
// that is none.
std::string gantt_svg(int jobs, int machines, std::span<const schedule::Operation> operations,
                      const GanttOptions& options = {});

// The chart of a sequence on an instance (schedule::schedule_operations), with
// its due dates and release dates (those other than all 0) marked when `dates`.
std::string gantt_svg(const schedule::AnyInstance& instance, std::span<const int> sequence, bool dates = false,
                      std::string title = {});

// The colour of a job (as "#rrggbb"): hues a golden angle apart, and six
// shades of lightness and saturation in turn, so that jobs whose hues come
// close (5, 8, 13, 21, 34, 55, 89 apart) differ in shade.
std::string job_colour(int job);

// The best value of a search over time (seconds, value), a step per
// improvement, up to `seconds`.
std::string trace_svg(std::span<const std::pair<double, double>> points, double seconds, const std::string& title);

// `text` with &, <, > and " written as entities, for the text and the
// attributes of SVG and HTML.
std::string xml_escaped(std::string_view text);

// The width a text takes in DejaVu Sans (the charts' font) at `size`, as the
// charts reckon it to keep texts apart.
double text_width(std::string_view text, double size);

}  // namespace zurududo::charts

#endif  // ZURUDUDO_CHARTS_H
