// Solving: the reference heuristics run on an instance without the GIL,
// with a Python callback on each improvement.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <exception>
#include <iterator>
#include <optional>
#include <string>
#include <type_traits>

#include <schedule/checked.h>
#include <zurududo/benchmarks.h>
#include <zurududo/heuristics.h>
#include <zurududo/solvers.h>

#include "bindings.h"

namespace zurududo_python {

namespace {

namespace heuristics = zurududo::heuristics;

// The named-tuple types zurududo.SolveResult and zurududo.Improvement, made
// with the module.
PyObject* result_type = nullptr;
PyObject* improvement_type = nullptr;

// Raised through a search to end it when the Python callback raised; the
// Python exception itself is kept aside.
struct CallbackFailed {};

// A parameter's value as the table takes it, as text: an int, a float (its
// shortest repr), True or False, or a str.
std::string parameter_text(py::handle value, const std::string& name) {
    if (PyBool_Check(value.ptr())) return value.ptr() == Py_True ? "true" : "false";
    if (py::isinstance<py::str>(value)) return value.cast<std::string>();
    if (PyLong_Check(value.ptr()) || PyFloat_Check(value.ptr())) return py::repr(value).cast<std::string>();
    throw py::type_error("the parameter " + name + " must be an int, a float, a bool or a str, not " +
                         std::string(Py_TYPE(value.ptr())->tp_name));
}

zurududo::solvers::ParameterValues parameter_values(const py::object& params) {
    zurududo::solvers::ParameterValues values;
    if (params.is_none()) return values;
    if (!PyDict_Check(params.ptr()))
        throw py::type_error("params must be a dict of parameter names and values, not " +
                             std::string(Py_TYPE(params.ptr())->tp_name));
    for (const auto& [key, value] : py::reinterpret_borrow<py::dict>(params)) {
        const std::string name = string_argument(key, "name of a parameter");
        values.emplace(name, parameter_text(value, name));
    }
    return values;
}

py::object solve(py::handle self, const py::object& objective, const py::object& algorithm,
                 const py::object& time_limit, const py::object& iterations, const py::object& seed,
                 const py::object& on_improvement, const py::object& params, const py::object& target,
                 const py::object& stop_at_best) {
    namespace solvers = zurududo::solvers;
    const Instance& instance = initialised(self);
    solvers::Request request;
    if (!objective.is_none()) request.objective = string_argument(objective, "objective");
    if (!algorithm.is_none()) {
        request.method = string_argument(algorithm, "algorithm");
        if (request.method.empty()) (void)solvers::method_named(request.method);
    }
    request.parameters = parameter_values(params);
    request.entry = instance.name().empty() ? nullptr : zurududo::benchmarks::find(instance.name());
    request.stop_at_best_known = flag_argument(stop_at_best, "stop_at_best");
    heuristics::Options& options = request.options;
    if (!time_limit.is_none()) options.budget.seconds = seconds_argument(time_limit, "time_limit");
    if (!iterations.is_none()) options.budget.iterations = integer_argument(iterations, "iterations", 1, LONG_MAX);
    options.seed = static_cast<std::uint64_t>(integer_argument(seed, "seed", 0, LLONG_MAX));
    if (!target.is_none()) {
        if (PyBool_Check(target.ptr()) || !(PyLong_Check(target.ptr()) || PyFloat_Check(target.ptr())))
            throw py::type_error("target must be a number, not " + std::string(Py_TYPE(target.ptr())->tp_name));
        options.target = target.cast<double>();
    }

    // A signal (Ctrl-C) ends the search: the handler runs with the GIL taken
    // back, and what it raises (KeyboardInterrupt) is raised by solve, the
    // best sequence found so far discarded.
    std::optional<py::error_already_set> signal_error;
    options.cancelled = [&signal_error] {
        py::gil_scoped_acquire locked;
        if (PyErr_CheckSignals() == 0) return false;
        signal_error.emplace();
        return true;
    };

    std::exception_ptr callback_error;
    bool weighted = false;
    if (!on_improvement.is_none()) {
        if (!PyCallable_Check(on_improvement.ptr())) value_error("on_improvement must be callable");
        options.on_improvement = [&](const heuristics::Improvement& improvement) {
            py::gil_scoped_acquire locked;
            try {
                const py::object value = weighted ? py::object(py::float_(improvement.value))
                                                  : py::object(py::int_(static_cast<long>(improvement.value)));
                on_improvement(py::reinterpret_borrow<py::object>(improvement_type)(
                    value, improvement.seconds, improvement.iteration, sequence_array(improvement.sequence)));
            } catch (...) {
                callback_error = std::current_exception();
                throw CallbackFailed{};
            }
        };
    }

    const solvers::Plan plan = solvers::plan(instance.data(), request);
    weighted = plan.weighted;
    std::optional<solvers::Outcome> outcome;
    try {
        py::gil_scoped_release unlocked;
        outcome.emplace(solvers::run(instance.data(), plan));
    } catch (const CallbackFailed&) {
        std::rethrow_exception(callback_error);
    }
    if (signal_error) throw std::move(*signal_error);
    return py::reinterpret_borrow<py::object>(result_type)(sequence_array(outcome->result.sequence),
                                                           python_value(outcome->value), outcome->result.seconds,
                                                           outcome->result.iterations, outcome->method->name,
                                                           outcome->objective);
}

// zurududo.methods(): the table as named tuples.
PyObject* method_type = nullptr;
PyObject* parameter_type = nullptr;

py::list method_table() {
    namespace solvers = zurududo::solvers;
    const py::object make_method = py::reinterpret_borrow<py::object>(method_type);
    const py::object make_parameter = py::reinterpret_borrow<py::object>(parameter_type);
    const auto strings = [](const std::vector<std::string>& words) {
        py::list list;
        for (const std::string& word : words) list.append(word);
        return py::tuple(list);
    };
    py::list out;
    for (const solvers::Method& method : solvers::methods()) {
        std::vector<std::string> environments, needs;
        for (const schedule::Environment e : method.environments) environments.emplace_back(schedule::environment_name(e));
        if (method.needs.due_dates) needs.emplace_back("due dates");
        if (method.needs.no_release_dates) needs.emplace_back("no release dates");
        py::list parameters;
        for (const solvers::Parameter& p : method.parameters) {
            py::object default_value;
            switch (p.type) {
                case solvers::ParameterType::integer: default_value = py::int_(std::stol(p.default_value)); break;
                case solvers::ParameterType::real: default_value = py::float_(std::stod(p.default_value)); break;
                case solvers::ParameterType::flag: default_value = py::bool_(p.default_value == "true"); break;
                case solvers::ParameterType::choice: default_value = py::str(p.default_value); break;
            }
            parameters.append(make_parameter(p.name, std::string(solvers::type_name(p.type)), default_value, p.doc));
        }
        out.append(make_method(method.name, strings(method.aliases), std::string(solvers::kind_name(method.kind)),
                               strings(environments), strings(method.objectives), strings(needs),
                               py::tuple(parameters), method.summary));
    }
    return out;
}

}  // namespace

void init_solving(py::module_& m) {
    result_type = named_tuple(
        m, "SolveResult", "sequence value seconds iterations algorithm objective",
        "What solve found: the best sequence (int32 array), its value as Instance.evaluate gives it, the seconds "
        "and iterations the run took, the method's name (as the table of methods gives it) and the objective.");
    improvement_type = named_tuple(m, "Improvement", "value seconds iteration sequence",
                                   "An improvement of the best value during solve, as on_improvement sees it.");
    method_type = named_tuple(m, "Method", "name aliases kind environments objectives needs parameters summary",
                              "A row of the table of methods: its name and aliases, kind (rule, construction, "
                              "search), the environments and objectives it applies to (empty: any), what else it "
                              "needs of an instance, its parameters and a one-line summary.");
    parameter_type = named_tuple(m, "Parameter", "name type default doc",
                                 "A parameter of a method: its name, type (integer, real, flag, choice), default "
                                 "and what it is.");
    m.def("methods", &method_table, R"doc(
The table of methods that solve, sched and the experiment runner share, as a list of
Method named tuples, in the order `sched list --methods` prints them.
)doc");

    m.def("solve", &solve, py::arg("inst"), py::arg("objective") = py::none(), py::arg("algorithm") = py::none(),
          py::kw_only(), py::arg("time_limit") = py::none(), py::arg("iterations") = py::none(), py::arg("seed") = 1,
          py::arg("on_improvement") = py::none(), py::arg("params") = py::none(), py::arg("target") = py::none(),
          py::arg("stop_at_best") = false, R"doc(
Runs a method of the table (zurududo.methods(), `sched list --methods`) on an instance and
returns a SolveResult (sequence, value, seconds, iterations, algorithm, objective).

objective       a name of zurududo.OBJECTIVES; None: a benchmark instance's own (Cmax for
                Taillard's and the OR-Library job shops, Wj_SumTj for the wt sets), else
                Wj_SumTj on one machine with due dates, Wj_SumCj without, Cmax elsewhere.
algorithm       a method's name or alias ("ig" or "iterated_greedy", "ts" or "tabu_search",
                "ils" or "weighted_tardiness_search", "neh", "edd", "atc", "lpt", the job
                shop's rules "spt" ... "random-nd", "generic", ...). A rule's sequence is
                evaluated under `objective`; a construction or search minimises the objectives
                it lists. None: the search made for the objective when it fits (ig, ils, ts),
                else generic. An unknown name or one that does not fit raises ValueError
                naming the near name or the methods that fit.
time_limit      seconds of wall time; iterations: a count of iterations. A search stops at
                whichever comes first, or at the target; without either it runs for one
                second. Rules and constructions run once.
seed            the searches' random seed: with an iteration budget a run is reproducible.
on_improvement  called with an Improvement (value, seconds, iteration, sequence) each time the
                best value improves; an exception it raises ends the run and propagates.
params          the method's parameters by name, e.g. {"d": 4, "T": 0.4} for ig; the others
                keep their defaults (zurududo.methods() lists them).
target          end the search as soon as its value is at most this.
stop_at_best    end the search at the best known value of a benchmark instance
                (zurududo.benchmark("ft10") or zurududo.load("ft10")).
The GIL is released while the method runs (the callback takes it back). The value is
always inst.evaluate(result.sequence, objective): an int, or a float for the Wj_ objectives.
)doc");
}

}  // namespace zurududo_python
