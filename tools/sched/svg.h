// The output of the pictures the tool draws (zurududo::charts: Gantt charts,
// anytime curves) as SVG or, through rsvg-convert, as PNG.
#ifndef SCHED_TOOL_SVG_H
#define SCHED_TOOL_SVG_H

#include <string>

namespace sched {

// Writes an SVG picture to `path` (standard output when empty or "-"); a path
// ending in ".png" is rendered by rsvg-convert, a failure when it is missing.
void write_picture(const std::string& path, const std::string& svg);

}  // namespace sched

#endif
