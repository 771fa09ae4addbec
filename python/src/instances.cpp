// Instances: made from arrays (and from a pickle's state), their attributes,
// and the evaluation of one sequence at a time.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include <schedule/checked.h>
#include <schedule/schedule.h>

#include "bindings.h"

namespace zurududo_python {

using schedule::FLOWSHOP;

Environment environment_argument(const std::string& name) {
    if (const auto environment = schedule::environment_named(name)) return *environment;
    value_error("unknown environment '" + name +
                "' (single, identical, uniform, unrelated, flowshop, openshop or jobshop)");
}

py::object python_value(const schedule::Value& value) {
    return std::visit([](auto v) -> py::object { return py::cast(v); }, value);
}

py::array sequence_array(std::span<const int> sequence) {
    return py::array_t<std::int32_t>(static_cast<py::ssize_t>(sequence.size()), sequence.data());
}

namespace {

template <class Record>
constexpr bool has_vector_pt = std::is_same_v<decltype(Record::pt), int*>;

struct Arrays {
    py::object pt, machines, dd, w, r, v, rt;
    // The state of a pickled instance: what a lenient load accepted (negative
    // times or weights) is restored as it was, not refused.
    bool restored = false;
};

template <class T>
T* vector_of(const std::vector<long long>& values) {
    schedule::Vector<T> block = schedule::allocate_vector<T>(static_cast<int>(values.size()));
    std::copy(values.begin(), values.end(), block.get());
    return block.release();
}

int** matrix_of(const IntegerTable& table) {
    schedule::Matrix matrix = schedule::Matrix::allocate(static_cast<int>(table.rows), static_cast<int>(table.cols));
    for (py::ssize_t i = 0; i < table.rows; ++i)
        std::copy_n(table.values.begin() + i * table.cols, table.cols, matrix[static_cast<int>(i)]);
    return matrix.release();
}

void check_length(const char* what, std::size_t length, int jobs) {
    if (length != static_cast<std::size_t>(jobs))
        value_error(std::string("the ") + what + " has " + std::to_string(length) + " entries; the instance has " +
                    std::to_string(jobs) + " jobs");
}

int count_of(py::ssize_t count, const char* what) {
    if (count > INT_MAX) value_error(std::string("too many ") + what);
    return static_cast<int>(count);
}

template <class Record>
schedule::Instance<Record> from_arrays(const Arrays& a) {
    constexpr Environment environment = schedule::environment_of<Record>;
    const std::string env(schedule::environment_name(environment));
    Record record{};
    IntegerTable pt;
    std::optional<IntegerTable> v;
    if constexpr (has_vector_pt<Record>) {
        pt = integer_table(a.pt, 1, "pt", a.restored ? INT_MIN : 0, INT_MAX);
        record.jobs = count_of(pt.cols, "jobs");
        if constexpr (requires { record.v; }) {
            if (a.v.is_none()) value_error("a uniform-machine instance needs the speeds v");
            v = integer_table(a.v, 1, "v", 1, INT_MAX);
            record.machines = count_of(v->cols, "machines");
        } else if constexpr (environment == Environment::identical) {
            if (a.machines.is_none()) value_error("an identical-machine instance needs machines=");
            record.machines = static_cast<int>(integer_argument(a.machines, "number of machines", 1, INT_MAX));
        } else {
            record.machines = 1;
        }
    } else {
        pt = integer_table(a.pt, 2, "pt", a.restored ? INT_MIN : 0, INT_MAX);
        record.machines = count_of(pt.rows, "machines");
        record.jobs = count_of(pt.cols, "jobs");
    }
    if (!a.machines.is_none() && environment != Environment::identical &&
        integer_argument(a.machines, "number of machines", 0, INT_MAX) != record.machines)
        value_error("machines=" + std::string(py::str(a.machines)) + " but the " + env + " instance has " +
                    std::to_string(record.machines) + " (from " + (v ? "v" : "pt") + ")");
    if (!a.v.is_none() && !v) value_error("speeds v belong to uniform machines, not to a " + env + " instance");
    if constexpr (!requires { record.rt; }) {
        if (!a.rt.is_none()) value_error("a routing rt belongs to the job shop, not to a " + env + " instance");
    }

    schedule::Instance<Record> instance(record);
    Record& owned = instance.get();
    if constexpr (has_vector_pt<Record>) {
        owned.pt = vector_of<int>(pt.values);
    } else {
        owned.pt = matrix_of(pt);
    }
    if constexpr (requires { record.v; }) owned.v = vector_of<int>(v->values);
    if constexpr (requires { record.rt; }) {
        if (a.rt.is_none()) value_error("a job-shop instance needs the routing rt (jobs × machines)");
        const IntegerTable rt = integer_table(a.rt, 2, "rt", 0, record.machines - 1L);
        if (rt.rows != record.jobs || rt.cols != record.machines)
            value_error("the routing rt is " + std::to_string(rt.rows) + " × " + std::to_string(rt.cols) +
                        "; the instance needs jobs × machines, " + std::to_string(record.jobs) + " × " +
                        std::to_string(record.machines));
        owned.rt = matrix_of(rt);
    }
    if (!a.dd.is_none()) {
        const IntegerTable dd = integer_table(a.dd, 1, "dd", LLONG_MIN, LLONG_MAX);
        check_length("due dates dd", dd.values.size(), record.jobs);
        owned.dd = vector_of<long>(dd.values);
    }
    std::vector<long long> r(static_cast<std::size_t>(record.jobs), 0);
    if (!a.r.is_none()) {
        r = integer_table(a.r, 1, "r", INT_MIN, INT_MAX).values;
        check_length("release dates r", r.size(), record.jobs);
    }
    owned.r = vector_of<int>(r);
    std::vector<double> w(static_cast<std::size_t>(record.jobs), 1.0);
    if (!a.w.is_none()) {
        w = real_vector(a.w, "w", a.restored ? -HUGE_VAL : 0.0);
        check_length("weights w", w.size(), record.jobs);
    }
    schedule::Vector<double> weights = schedule::allocate_vector<double>(record.jobs);
    std::copy(w.begin(), w.end(), weights.get());
    owned.w = weights.release();
    schedule::validate(owned);
    return instance;
}

// A read-only NumPy copy of `count` elements of `data`.
template <class Out, class In>
py::array frozen(const In* data, std::vector<py::ssize_t> shape, const In* const* rows = nullptr) {
    py::array_t<Out> array(shape);
    Out* out = array.mutable_data();
    if (rows == nullptr) {
        std::copy_n(data, array.size(), out);
    } else {
        for (py::ssize_t i = 0; i < shape[0]; ++i) std::copy_n(rows[i], shape[1], out + i * shape[1]);
    }
    array.attr("flags").attr("writeable") = false;
    return array;
}

template <class Record>
py::object pt_of(const Record& record) {
    if constexpr (has_vector_pt<Record>) {
        return frozen<std::int32_t>(record.pt, {record.jobs});
    } else {
        return frozen<std::int32_t, int>(nullptr, {record.machines, record.jobs}, record.pt);
    }
}

Instance make_instance(const std::string& env, const Arrays& arrays) {
    return Instance(with_record(environment_argument(env), [&]<class Record>(Tag<Record>) {
        return AnyInstance(from_arrays<Record>(arrays));
    }));
}

// The state is the eight arrays and counts of state(), then the benchmark
// name (None when it is none; pickles made before it have eight entries).
Instance from_state(const py::tuple& state) {
    if (state.size() != 8 && state.size() != 9) value_error("not the state of a zurududo.Instance");
    Instance made = make_instance(string_argument(state[0], "environment of the state"),
                                  Arrays{state[1], state[2], state[3], state[4], state[5], state[6], state[7], true});
    if (state.size() == 9 && !state[8].is_none())
        return std::move(made).named(string_argument(state[8], "name of the state"));
    return made;
}

}  // namespace

bool holds_instance(py::handle self) {
    auto* instance = reinterpret_cast<py::detail::instance*>(self.ptr());
    return instance->get_value_and_holder(py::detail::get_type_info(typeid(Instance))).holder_constructed();
}

const Instance& initialised(py::handle self) {
    if (!py::isinstance<Instance>(self)) type_error("a zurududo.Instance is needed, not " + type_name(self));
    if (!holds_instance(self))
        type_error("the zurududo.Instance is not initialised (made by Instance.__new__ without __init__)");
    return self.cast<const Instance&>();
}

// Above this many processing times an evaluation lets other threads run.
constexpr long long gil_free_cells = 1 << 14;

bool Instance::large() const { return static_cast<long long>(jobs()) * machines() >= gil_free_cells; }

py::object Instance::evaluate(const py::object& seq, const std::string& objective) const {
    const std::vector<int> entries = int_sequence(seq);
    return evaluated_visit([&]<class Record>(const Record& record) {
        const auto& entry = schedule::find_objective<Record>(objective);
        std::optional<py::gil_scoped_release> unlocked;
        if (large()) unlocked.emplace();
        const schedule::Value value = schedule::evaluate(record, entries, entry);
        unlocked.reset();
        return python_value(value);
    });
}

py::dict Instance::objectives(const py::object& seq) const {
    const std::vector<int> entries = int_sequence(seq);
    return evaluated_visit([&]<class Record>(const Record& record) {
        py::dict values;
        schedule::validate(record);
        schedule::validate_sequence(record, entries);
        for (const auto& entry : schedule::objective_table<Record>) {
            const py::str name(entry.name.data(), entry.name.size());
            if (entry.needs_due_dates && record.dd == nullptr) {
                values[name] = py::none();
            } else {
                values[name] = python_value(schedule::evaluate(record, entries, entry));
            }
        }
        return values;
    });
}

py::array Instance::completion_times(const py::object& seq) const {
    const std::vector<int> entries = int_sequence(seq);
    return evaluated_visit([&]<class Record>(const Record& record) {
        const std::vector<long> times = schedule::completion_times(record, entries);
        return py::array(py::array_t<std::int64_t>(static_cast<py::ssize_t>(times.size()), times.data()));
    });
}

py::array Instance::insertion_makespans(const py::object& partial, const py::object& job) const {
    const std::vector<int> entries = int_sequence(partial, "partial sequence");
    const int inserted = static_cast<int>(integer_argument(job, "job to insert", INT_MIN, INT_MAX));
    return visit([&]<class Record>(const Record& record) -> py::array {
        if constexpr (std::is_same_v<Record, FLOWSHOP>) {
            const std::vector<long> makespans = schedule::insertion_makespans(record, entries, inserted);
            return py::array_t<std::int64_t>(static_cast<py::ssize_t>(makespans.size()), makespans.data());
        } else {
            value_error("insertion makespans are computed for the flow shop, not for a " +
                        std::string(schedule::environment_name(schedule::environment_of<Record>)) + " instance");
        }
    });
}

py::array Instance::schedule(const py::object& seq) const {
    const std::vector<int> entries = int_sequence(seq);
    return evaluated_visit([&]<class Record>(const Record& record) {
        const std::vector<schedule::Operation> operations = schedule::schedule_operations(record, entries);
        return py::array(py::array_t<schedule::Operation>(static_cast<py::ssize_t>(operations.size()),
                                                          operations.data()));
    });
}

void Instance::write_schedule(const py::object& seq, const py::object& path) const {
    const std::vector<int> entries = int_sequence(seq);
    const std::string file = path_argument(path);
    evaluated_visit([&]<class Record>(const Record& record) {
        py::gil_scoped_release unlocked;
        schedule::write_schedule(record, entries, file);
        return 0;
    });
}

py::tuple Instance::state() const {
    return visit([&]<class Record>(const Record& record) {
        py::object v = py::none();
        py::object rt = py::none();
        py::object dd = py::none();
        if constexpr (requires { record.v; }) v = frozen<std::int32_t>(record.v, {record.machines});
        if constexpr (requires { record.rt; })
            rt = frozen<std::int32_t, int>(nullptr, {record.jobs, record.machines}, record.rt);
        if (record.dd != nullptr) dd = frozen<std::int64_t>(record.dd, {record.jobs});
        return py::make_tuple(std::string(schedule::environment_name(schedule::environment_of<Record>)),
                              pt_of(record), record.machines, dd, frozen<double>(record.w, {record.jobs}),
                              frozen<std::int32_t>(record.r, {record.jobs}), v, rt);
    });
}

py::class_<Instance> init_instances(py::module_& m) {
    PYBIND11_NUMPY_DTYPE(schedule::Operation, job, machine, start, end);
    py::class_<Instance> instance(m, "Instance", R"doc(
A scheduling instance that owns its data: one of the seven machine environments.

Instance(env, pt, *, machines=None, dd=None, w=None, r=None, v=None, rt=None)

env  "single", "identical", "uniform", "unrelated", "flowshop", "openshop" or "jobshop".
pt   processing times: a vector pt[job] for single, identical and uniform machines,
     a matrix pt[machine][job] for the others.
machines  the number of identical machines (required there; elsewhere it must agree).
dd   due dates (none by default: the due-date objectives are then unavailable).
w    weights (1.0 by default); r  release dates (0 by default).
v    speeds of the uniform machines; rt  routing rt[job][k] of the job shop.
Integer arrays must hold integers; processing times are at least 0, speeds at least 1,
weights finite and at least 0. The instance copies what it is given.
)doc");
    instance
        .def(py::init([](const std::string& env, py::object pt, py::object machines, py::object dd, py::object w,
                         py::object r, py::object v, py::object rt) {
                 return make_instance(env, {pt, machines, dd, w, r, v, rt});
             }),
             py::arg("env"), py::arg("pt"), py::kw_only(), py::arg("machines") = py::none(),
             py::arg("dd") = py::none(), py::arg("w") = py::none(), py::arg("r") = py::none(),
             py::arg("v") = py::none(), py::arg("rt") = py::none())
        .def_property_readonly(
            "env", [](py::handle i) { return std::string(schedule::environment_name(initialised(i).environment())); },
            "The machine environment's name.")
        .def_property_readonly("jobs", checked_method(&Instance::jobs), "The number of jobs n.")
        .def_property_readonly("machines", checked_method(&Instance::machines), "The number of machines m.")
        .def_property_readonly(
            "pt", [](py::handle i) -> py::object { return initialised(i).state()[1]; },
            "Processing times (int32, read-only copy): pt[job], or pt[machine][job] for the matrix environments.")
        .def_property_readonly(
            "dd", [](py::handle i) -> py::object { return initialised(i).state()[3]; }, "Due dates (int64, read-only copy), or None.")
        .def_property_readonly(
            "w", [](py::handle i) -> py::object { return initialised(i).state()[4]; }, "Weights (float64, read-only copy).")
        .def_property_readonly(
            "r", [](py::handle i) -> py::object { return initialised(i).state()[5]; }, "Release dates (int32, read-only copy).")
        .def_property_readonly(
            "v", [](py::handle i) -> py::object { return initialised(i).state()[6]; }, "Machine speeds of uniform machines, else None.")
        .def_property_readonly(
            "rt", [](py::handle i) -> py::object { return initialised(i).state()[7]; },
            "Routing rt[job][k] (the machine of job's k-th operation) of the job shop, else None.")
        .def("evaluate", checked_method(&Instance::evaluate), py::arg("seq"), py::arg("objective") = "Cmax", R"doc(
The value of one objective for a sequence.

seq        a permutation of 0 … n−1 (the job shop: an operation sequence naming each
           job m times, its k-th occurrence the job's k-th operation).
objective  any name of zurududo.OBJECTIVES, e.g. "Cmax", "SumTj", "Wj_SumTj".
Returns an int, or a float for the weighted (Wj_) objectives. Release dates and weights
are honoured. Raises ValueError for a sequence that is not one of the instance, an
unknown objective, or a due-date objective on an instance without due dates.
)doc")
        .def("objectives", checked_method(&Instance::objectives), py::arg("seq"),
             "Every objective of the catalogue for a sequence, as a dict by name; the due-date objectives are None when the instance has no due dates.")
        .def("completion_times", checked_method(&Instance::completion_times), py::arg("seq"),
             "The completion time of every job (int64 array indexed by job, not by position).")
        .def("insertion_makespans", checked_method(&Instance::insertion_makespans), py::arg("partial_seq"), py::arg("job"), R"doc(
Flow shop: the makespans of inserting `job` into each position of a partial sequence.

Entry l is the makespan of partial_seq[:l] + [job] + partial_seq[l:], all len + 1 values
computed together by heads and tails (release dates honoured).
)doc")
        .def("schedule", checked_method(&Instance::schedule), py::arg("seq"), R"doc(
The schedule a sequence gives: a structured array of operations with fields
job, machine (int32), start and end (int64), in the order of the schedule file
(the jobs in sequence order; by index for the job shop).
)doc")
        .def("write_schedule", checked_method(&Instance::write_schedule), py::arg("seq"), py::arg("path"),
             "Writes the schedule file of a sequence to `path`, which appears whole or not at all.")
        .def_property_readonly(
            "name", [](const Instance& i) -> py::object { return i.name().empty() ? py::object(py::none()) : py::object(py::str(i.name())); },
            "The benchmark instance it is (\"ta056\"), or None for one loaded from a file or made from arrays.")
        .def("__repr__",
             [](py::handle self) -> std::string {
                 if (!py::isinstance<Instance>(self) || !holds_instance(self)) return "<zurududo.Instance, not initialised>";
                 const Instance& i = initialised(self);
                 return "<zurududo.Instance " + (i.name().empty() ? std::string() : i.name() + ", ") +
                        std::string(schedule::environment_name(i.environment())) + ", " + std::to_string(i.jobs()) +
                        " job" + (i.jobs() == 1 ? "" : "s") + ", " + std::to_string(i.machines()) + " machine" +
                        (i.machines() == 1 ? "" : "s") + ">";
             })
        .def(py::pickle(
                 [](py::handle self) {
                     const Instance& i = initialised(self);
                     const py::object name = i.name().empty() ? py::object(py::none()) : py::object(py::str(i.name()));
                     return py::tuple(i.state() + py::make_tuple(name));
                 },
                 [](const py::tuple& state) { return from_state(state); }));
    // zurududo/__init__.py wraps __init__ and __setstate__ to refuse an
    // instance already initialised (pybind11 ignores a second call, and an
    // Instance does not change).
    m.def("_holds_instance", [](py::handle self) { return py::isinstance<Instance>(self) && holds_instance(self); });
    return instance;
}

}  // namespace zurududo_python
