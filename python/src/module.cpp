// zurududo._core: the library's checked interface as a Python extension.
//
// An Instance owns one of the seven records. Everything that can fail goes
// through the checked interface, whose schedule::Error becomes a Python
// exception; long work runs without the GIL. Each part of the module is set
// up by its own source file (bindings.h).
#include <pybind11/pybind11.h>

#include <cstddef>
#include <string_view>

#include <schedule/checked.h>

#include "bindings.h"

namespace py = pybind11;

PYBIND11_MODULE(_core, m) {
    m.doc() = "The compiled core of zurududo: instances and evaluators of the schedule library.";
    m.attr("__version__") = ZURUDUDO_VERSION;

    py::tuple names(schedule::objective_table<schedule::SINGLE_MACHINE>.size());
    for (std::size_t k = 0; k < names.size(); ++k) {
        const std::string_view name = schedule::objective_table<schedule::SINGLE_MACHINE>[k].name;
        names[k] = py::str(name.data(), name.size());
    }
    m.attr("OBJECTIVES") = names;
    py::list due_date_names;
    for (const auto& entry : schedule::objective_table<schedule::SINGLE_MACHINE>)
        if (entry.needs_due_dates) due_date_names.append(py::str(entry.name.data(), entry.name.size()));
    m.attr("DUE_DATE_OBJECTIVES") = py::tuple(due_date_names);

    zurududo_python::init_conversion(m);
    py::class_<zurududo_python::Instance> instance = zurududo_python::init_instances(m);
    zurududo_python::init_batches(instance);
    zurududo_python::init_loading(m);
    zurududo_python::init_solving(m);
    zurududo_python::init_experiments(m);
    zurududo_python::init_charts(m);
}
