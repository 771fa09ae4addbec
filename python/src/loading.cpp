// Loading: instance files in every layout, the instances of a benchmark
// file, and the named benchmark instances compiled into the library.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <schedule/checked.h>
#include <zurududo/benchmarks.h>

#include "bindings.h"

namespace zurududo_python {

namespace {

namespace benchmarks = zurududo::benchmarks;

// zurududo.BenchmarkEntry, made with the module.
PyObject* entry_type = nullptr;

// The loader's echo, gathered in memory and then written to sys.stdout, so
// that it goes where Python's own output goes.
class EchoCapture {
public:
    explicit EchoCapture(bool on) {
        if (on && (stream_ = open_memstream(&buffer_, &size_)) == nullptr) throw std::bad_alloc();
    }
    EchoCapture(const EchoCapture&) = delete;
    EchoCapture& operator=(const EchoCapture&) = delete;
    ~EchoCapture() {
        if (stream_ != nullptr) std::fclose(stream_);
        std::free(buffer_);
    }

    std::FILE* stream() const noexcept { return stream_; }

    // Writes what was gathered to sys.stdout (the GIL held).
    void deliver() {
        if (stream_ == nullptr) return;
        std::fclose(stream_);
        stream_ = nullptr;
        if (size_ > 0) py::module_::import("sys").attr("stdout").attr("write")(text(std::string(buffer_, size_)));
    }

private:
    std::FILE* stream_ = nullptr;
    char* buffer_ = nullptr;
    std::size_t size_ = 0;
};

// The names the package gave the processing-time layouts before the library
// named them; still read.
struct LayoutAlias {
    const char* name;
    schedule::Layout layout;
};
constexpr LayoutAlias layout_aliases[] = {
    {"machine_rows", schedule::Layout::machine_rows},
    {"machine_rows_due_dates", schedule::Layout::machine_rows_due_dates},
    {"job_rows", schedule::Layout::job_rows},
    {"job_rows_due_dates", schedule::Layout::job_rows_due_dates},
};
constexpr schedule::Layout all_layouts[] = {
    schedule::Layout::tagged,       schedule::Layout::taillard,
    schedule::Layout::classic,      schedule::Layout::taillard_jobshop,
    schedule::Layout::machine_rows, schedule::Layout::machine_rows_due_dates,
    schedule::Layout::job_rows,     schedule::Layout::job_rows_due_dates,
};

schedule::Layout layout_argument(const std::string& name) {
    if (const auto layout = schedule::layout_named(name)) return *layout;
    for (const LayoutAlias& alias : layout_aliases)
        if (name == alias.name) return alias.layout;
    std::string known;
    for (const schedule::Layout layout : all_layouts)
        known += (known.empty() ? "" : ", ") + std::string(schedule::layout_name(layout));
    value_error("unknown layout '" + name + "' (" + known + ")");
}

std::optional<Environment> optional_environment(const py::object& env) {
    if (env.is_none()) return std::nullopt;
    return environment_argument(string_argument(env, "environment env"));
}

// instance=: None, a position in the file (an int) or a name.
schedule::InstanceChoice instance_choice(const py::object& instance) {
    if (instance.is_none()) return {};
    if (py::isinstance<py::str>(instance)) return instance.cast<std::string>();
    if (!PyIndex_Check(instance.ptr()) || PyBool_Check(instance.ptr()))
        type_error("instance must be a name (str) or a position (int), not " + type_name(instance));
    return static_cast<std::size_t>(integer_argument(instance, "instance position", 0, LLONG_MAX));
}

Instance benchmark_instance(const std::string& name) {
    const benchmarks::Entry* entry = benchmarks::find(name);
    if (entry == nullptr) {
        const auto guess = benchmarks::closest_instance(name);
        value_error("no benchmark instance is named '" + name + "'" + (guess ? " (did you mean " + *guess + "?)" : "") +
                    "; zurududo.benchmarks() lists them");
    }
    py::gil_scoped_release unlocked;
    return Instance(benchmarks::make_instance(*entry), entry->name);
}

py::object optional_int(const std::optional<long>& value) { return value ? py::object(py::int_(*value)) : py::none(); }

py::list benchmark_entries(const py::object& set) {
    std::vector<const benchmarks::Entry*> entries;
    if (set.is_none()) {
        for (const benchmarks::Entry& entry : benchmarks::catalogue()) entries.push_back(&entry);
    } else {
        const std::string name = string_argument(set, "benchmark set");
        entries = benchmarks::set_entries(name);
        if (entries.empty()) {
            std::string known;
            for (const std::string& s : benchmarks::sets()) known += (known.empty() ? "" : ", ") + s;
            value_error("no benchmark set is named '" + name + "' (" + known + ")");
        }
    }
    const py::object make = py::reinterpret_borrow<py::object>(entry_type);
    py::list out;
    for (const benchmarks::Entry* e : entries) {
        out.append(make(e->name, e->set, std::string(schedule::environment_name(e->environment)), e->objective, e->jobs,
                        e->machines, e->best_known, optional_int(e->lower_bound), e->optimal,
                        optional_int(e->neh_makespan), optional_int(e->best_known_classic)));
    }
    return out;
}

}  // namespace

void init_loading(py::module_& m) {
    py::list layouts;
    for (const schedule::Layout layout : all_layouts) {
        const std::string_view name = schedule::layout_name(layout);
        layouts.append(py::str(name.data(), name.size()));
    }
    m.attr("LAYOUTS") = py::tuple(layouts);

    m.def(
        "load",
        [](py::object path, py::object env, const std::string& layout, py::object echo_flag, py::object strict_flag,
           py::object instance) {
            const std::string what = path_argument(path);
            const bool echo = flag_argument(echo_flag, "echo");
            const bool strict = flag_argument(strict_flag, "strict");
            benchmarks::ResolveOptions options;
            options.environment = optional_environment(env);
            options.layout = layout_argument(layout);
            options.choice = instance_choice(instance);
            EchoCapture capture(echo);
            options.load = schedule::LoadOptions{capture.stream(), strict};
            try {
                std::optional<benchmarks::Resolved> loaded;
                {
                    py::gil_scoped_release unlocked;
                    loaded.emplace(benchmarks::resolve(what, options));
                }
                capture.deliver();
                return Instance(std::move(loaded->instance), loaded->entry != nullptr ? loaded->entry->name : "");
            } catch (...) {
                capture.deliver();
                throw;
            }
        },
        py::arg("path"), py::arg("env") = py::none(), py::arg("layout") = "tagged", py::arg("echo") = false,
        py::kw_only(), py::arg("strict") = true, py::arg("instance") = py::none(), R"doc(
Loads an instance: a file, "-" for standard input, or the name of a benchmark instance
("ta056", case ignored), tried in that order (the one resolver of sched and the runner).

path      a file name (str, bytes or os.PathLike), "-", or a benchmark name.
env       "single", "identical", "uniform", "unrelated", "flowshop", "openshop" or "jobshop";
          None: the file's own (a tagged file's from its tags, unless its matrix of times
          fits several environments; the benchmark layouts' theirs; the processing-time
          layouts give the flow shop).
layout    one of zurududo.LAYOUTS: "tagged" (the library's instance files), "taillard"
          (Taillard's flow-shop files), "classic" (the OR-Library and JSPLIB job shops),
          "taillard-jobshop", or a processing-time layout, pt[machine][job] ("mrows",
          "mrows-dd" with due dates) or pt[job][machine] ("nrows", "nrows-dd"), for the
          flow shop, unrelated machines or the open shop. The former names "machine_rows",
          "machine_rows_due_dates", "job_rows" and "job_rows_due_dates" are still read.
echo      write the loader's echo and report to sys.stdout, as the library's loaders print them.
strict    also reject what the library's loaders read leniently: a tag no record knows, a
          file without tag entries, an entry that is not a whole number where an integer is
          expected ("x" read as 0, "6.5" as 6), a negative processing time, a speed below 1,
          a routing entry that is not a machine.
instance  which instance of a benchmark file holding several: its position (from 0) or
          its name (see list_instances); required for such a file.
Raises FileNotFoundError for what is neither a file nor a name ("no file or benchmark
named 'ta0566' (did you mean ta056?)"), zurududo.Error (a ValueError) for a rejected file:
its message one line with the file, the line and the fault, its `report` the loader's
whole report; ValueError for an unknown environment or layout, an environment the layout
cannot hold, or an instance the file does not have.
)doc");

    m.def(
        "list_instances",
        [](py::object path, const std::string& layout) {
            const std::string file = path_argument(path);
            const schedule::Layout format = layout_argument(layout);
            std::vector<schedule::BenchmarkInstance> listed;
            {
                py::gil_scoped_release unlocked;
                listed = schedule::list_instances(file, format);
            }
            py::list out;
            const auto optional = [](const std::optional<long>& v) { return v ? py::object(py::int_(*v)) : py::none(); };
            for (const auto& entry : listed) {
                py::dict d;
                d["name"] = text(entry.name);
                d["description"] = text(entry.description);
                d["jobs"] = entry.jobs;
                d["machines"] = entry.machines;
                d["line"] = entry.line;
                d["upper_bound"] = optional(entry.upper_bound);
                d["lower_bound"] = optional(entry.lower_bound);
                out.append(d);
            }
            return out;
        },
        py::arg("path"), py::arg("layout"), R"doc(
The instances of a benchmark file ("taillard", "classic" or "taillard-jobshop" layout), in
file order: a list of dicts with name (the file's, or Taillard's time seed; may be empty),
description, jobs, machines, line (where the instance begins, from 1), upper_bound and
lower_bound (Taillard's files give them; None otherwise). load(..., instance=) takes a
name or a position in this list.
)doc");

    entry_type = named_tuple(
        m, "BenchmarkEntry",
        "name set env objective jobs machines best_known lower_bound optimal neh_makespan best_known_classic",
        "A named benchmark instance: its set, environment, the objective its values refer to, its size, the best "
        "known value (proven optimal when `optimal`), the lower bound if any; flow shop only: NEH's makespan and "
        "the best known value most papers up to 2023 measured against.");
    m.def("benchmark", &benchmark_instance, py::arg("name"), R"doc(
The named benchmark instance as an Instance: Taillard's flow shops ta001 … ta120 and job shops
ta01 … ta80 (generated from their seeds), the OR-Library job shops (ft06, la01, …) and
weighted-tardiness sets (wt40_001 … wt100_125), compiled into the library. Raises ValueError
for an unknown name.
)doc");
    m.def("benchmarks", &benchmark_entries, py::arg("set") = py::none(), R"doc(
The catalogue of named instances, in set order (or those of one set: "taillard-flowshop",
"taillard-jobshop", "orlib-jobshop", "wt40", "wt50", "wt100"), as BenchmarkEntry named tuples.
)doc");
}

}  // namespace zurududo_python
