// Charts: the Gantt chart of a sequence, the library's SVG text.
#include <optional>
#include <string>
#include <vector>

#include <zurududo/charts.h>

#include "bindings.h"

namespace zurududo_python {

namespace {

py::str gantt(py::handle self, const py::object& seq, const py::object& path, const py::object& dates,
              const py::object& title) {
    const Instance& instance = initialised(self);
    const std::vector<int> sequence = int_sequence(seq);
    const bool marked = flag_argument(dates, "dates");
    std::string heading = instance.name();
    if (!title.is_none()) heading = string_argument(title, "title");
    std::optional<std::string> file;
    if (!path.is_none()) file = path_argument(path);
    std::string svg;
    {
        py::gil_scoped_release unlocked;
        svg = zurududo::charts::gantt_svg(instance.data(), sequence, marked, heading);
        if (file) schedule::write_file_atomically(*file, svg);
    }
    return text(svg);
}

}  // namespace

void init_charts(py::module_& m) {
    m.def("gantt", &gantt, py::arg("inst"), py::arg("sequence"), py::arg("path") = py::none(),
          py::arg("dates") = false, py::kw_only(), py::arg("title") = py::none(), R"doc(
The Gantt chart of a sequence on an instance, as SVG text (the chart `sched gantt` draws, from
the same library): a lane per machine, a bar per operation in its job's colour, labelled with
the job where it fits, the time axis and the makespan.

sequence  a sequence of the instance (the job shop: an operation sequence).
path      also write the SVG to this file (str, bytes or os.PathLike), whole or not at all.
dates     mark the due dates above the lanes and the release dates below the axis.
title     the chart's title (default: the benchmark's name, or none).
Returns the SVG text. Raises ValueError for a sequence that is not one of the instance, and
for the open shop, which has no schedule.
)doc");
}

}  // namespace zurududo_python
