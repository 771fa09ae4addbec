// Pieces of the SVG pictures the tool draws (Gantt charts, anytime curves),
// and their output as SVG or, through rsvg-convert, as PNG.
#ifndef SCHED_TOOL_SVG_H
#define SCHED_TOOL_SVG_H

#include <string>

namespace sched {

// A colour per job, the same wherever the job appears.
std::string job_colour(int job);
// A coordinate with at most two decimals.
std::string fixed(double value);
std::string xml_escape(const std::string& text);
// A tick step of 1, 2 or 5 times a power of ten giving about ten ticks over `span`.
double tick_step(double span);

// Writes an SVG picture to `path` (standard output when empty or "-"); a path
// ending in ".png" is rendered by rsvg-convert, a failure when it is missing.
void write_picture(const std::string& path, const std::string& svg);

}  // namespace sched

#endif
