// What the sources of zurududo._core share: the Python Instance, which owns one
// of the seven records, the dispatch over environments, and the set-up
// function of each part of the module (one per source file).
#ifndef ZURUDUDO_PYTHON_BINDINGS_H
#define ZURUDUDO_PYTHON_BINDINGS_H

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <span>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

#include <schedule/checked.h>

#include "conversion.h"

namespace zurududo_python {

using schedule::AnyInstance;
using schedule::Environment;

template <class Record>
using Tag = std::type_identity<Record>;

// f(Tag<Record>{}) for the record of `environment`.
template <class F>
decltype(auto) with_record(Environment environment, F&& f) {
    switch (environment) {
        case Environment::single: return f(Tag<schedule::SINGLE_MACHINE>{});
        case Environment::identical: return f(Tag<schedule::PARALLEL_MACHINES>{});
        case Environment::uniform: return f(Tag<schedule::RELATED_MACHINES>{});
        case Environment::unrelated: return f(Tag<schedule::UNRELATED_MACHINES>{});
        case Environment::flowshop: return f(Tag<schedule::FLOWSHOP>{});
        case Environment::openshop: return f(Tag<schedule::OPENSHOP>{});
        case Environment::jobshop: break;
    }
    return f(Tag<schedule::JOBSHOP>{});
}

// The environment of a name; ValueError naming the known ones.
Environment environment_argument(const std::string& name);

// An objective's value as a Python int or float.
py::object python_value(const schedule::Value& value);

// A sequence as a new int32 array.
py::array sequence_array(std::span<const int> sequence);

// The Python Instance: one owning record of any environment.
class Instance {
public:
    // `name`: the benchmark instance it is, or empty.
    explicit Instance(AnyInstance data, std::string name = {}) : data_(std::move(data)), name_(std::move(name)) {}

    const AnyInstance& data() const noexcept { return data_; }
    const std::string& name() const noexcept { return name_; }
    // The same instance under a benchmark's name.
    Instance named(std::string name) && { return Instance(std::move(data_), std::move(name)); }

    template <class F>
    decltype(auto) visit(F&& f) const {
        return std::visit([&](const auto& owned) -> decltype(auto) { return f(owned.get()); }, data_);
    }

    // f(record) for an environment with evaluators; ValueError for the open shop.
    template <class F>
    decltype(auto) evaluated_visit(F&& f) const {
        return visit([&]<class Record>(const Record& record) -> decltype(auto) {
            if constexpr (schedule::EvaluatedRecord<Record>) {
                return f(record);
            } else {
                value_error("no objective is evaluated on an open shop: the library loads it but schedules nothing on it");
                return decltype(f(std::declval<const schedule::FLOWSHOP&>())){};
            }
        });
    }

    Environment environment() const {
        return visit([]<class Record>(const Record&) { return schedule::environment_of<Record>; });
    }
    int jobs() const { return visit([](const auto& r) { return r.jobs; }); }
    int machines() const { return visit([](const auto& r) { return r.machines; }); }
    // Whether an evaluation is long enough to let other threads run meanwhile.
    bool large() const;

    py::object evaluate(const py::object& seq, const std::string& objective) const;
    py::dict objectives(const py::object& seq) const;
    py::array completion_times(const py::object& seq) const;
    py::array evaluate_many(const py::object& seqs, const std::string& objective, const py::object& threads) const;
    py::array insertion_makespans(const py::object& partial, const py::object& job) const;
    py::array schedule(const py::object& seq) const;
    void write_schedule(const py::object& seq, const py::object& path) const;
    // The arrays the instance was made of, for pickling and for repr.
    py::tuple state() const;

private:
    AnyInstance data_;
    std::string name_;
};

// Whether `self`, a zurududo.Instance, holds an instance: one made by
// Instance.__new__ alone (as a crafted pickle does) does not.
bool holds_instance(py::handle self);

// The Instance behind `self`; TypeError for another object or an Instance
// that was never initialised. (pybind11 would hand such an Instance's
// uninitialised storage to a method taking Instance.)
const Instance& initialised(py::handle self);

// A method of Instance as a function of a `self` that is checked first.
template <class R, class... A>
auto checked_method(R (Instance::*method)(A...) const) {
    return [method](py::handle self, A... args) -> R { return (initialised(self).*method)(args...); };
}

// The areas of the module, each set up by its source file.
void init_conversion(py::module_& m);                           // conversion.cpp: errors
py::class_<Instance> init_instances(py::module_& m);           // instances.cpp
void init_batches(py::class_<Instance>& instance);             // batches.cpp: evaluate_many
void init_loading(py::module_& m);                              // loading.cpp: files and benchmarks
void init_solving(py::module_& m);                              // solving.cpp: the heuristics
void init_experiments(py::module_& m);                          // experiments.cpp: grids and reports
void init_charts(py::module_& m);                               // charts.cpp: Gantt charts

}  // namespace zurududo_python

#endif  // ZURUDUDO_PYTHON_BINDINGS_H
