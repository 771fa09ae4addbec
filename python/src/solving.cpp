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
#include <zurududo/heuristics.h>

#include "bindings.h"

namespace zurududo_python {

namespace {

namespace heuristics = zurududo::heuristics;
using schedule::FLOWSHOP;

// The named-tuple types zurududo.SolveResult and zurududo.Improvement, made
// with the module.
PyObject* result_type = nullptr;
PyObject* improvement_type = nullptr;

// Raised through a search to end it when the Python callback raised; the
// Python exception itself is kept aside.
struct CallbackFailed {};

struct SolveArguments {
    std::string objective;
    std::string algorithm;  // empty: the default of the environment and objective
    heuristics::Options options;
};

// Searches run on a budget; the constructions and rules run once.
constexpr const char* searches[] = {"iterated_greedy", "weighted_tardiness_search", "tabu_search", "generic"};
constexpr const char* algorithms =
    "neh, iterated_greedy (flow shop, Cmax); edd, wspt, atc, weighted_tardiness_search (single machine with due "
    "dates); lpt (identical machines); tabu_search (job shop, Cmax) and the job shop's dispatching rules spt, lpt, "
    "mwkr, lwkr, mopnr, fifo, random; generic (any environment and objective)";

template <class Record>
std::string default_algorithm(const std::string& objective) {
    if constexpr (std::is_same_v<Record, FLOWSHOP>) {
        if (objective == "Cmax") return "iterated_greedy";
    } else if constexpr (std::is_same_v<Record, schedule::SINGLE_MACHINE>) {
        if (objective == "Wj_SumTj") return "weighted_tardiness_search";
    } else if constexpr (std::is_same_v<Record, schedule::JOBSHOP>) {
        if (objective == "Cmax") return "tabu_search";
    }
    return "generic";
}

template <class Record>
heuristics::Result run_algorithm(const Record& record, const SolveArguments& a) {
    const std::string& name = a.algorithm;
    const auto wrong = [&](const char* needs) -> heuristics::Result {
        value_error("the algorithm " + name + " " + needs + ", not " + a.objective + " on a " +
                    std::string(schedule::environment_name(schedule::environment_of<Record>)) + " instance");
    };
    if (name == "generic") return heuristics::generic_search(record, a.objective, a.options);
    if constexpr (std::is_same_v<Record, FLOWSHOP>) {
        if (name == "neh" || name == "iterated_greedy") {
            if (a.objective != "Cmax") return wrong("minimises Cmax on the flow shop");
            return name == "neh" ? heuristics::neh(record) : heuristics::iterated_greedy(record, a.options);
        }
    }
    if constexpr (std::is_same_v<Record, schedule::SINGLE_MACHINE>) {
        if (name == "edd" || name == "wspt" || name == "atc" || name == "weighted_tardiness_search") {
            if (record.dd == nullptr) value_error("the algorithm " + name + " needs due dates and the instance has none");
            if (name == "edd") return heuristics::edd(record);
            if (name == "wspt") return heuristics::wspt(record);
            if (name == "atc") return heuristics::atc(record);
            if (a.objective != "Wj_SumTj") return wrong("minimises Wj_SumTj on a single machine");
            if (std::any_of(record.r, record.r + record.jobs, [](int r) { return r != 0; }))
                value_error("the algorithm weighted_tardiness_search assumes release dates 0; use algorithm=\"generic\"");
            return heuristics::weighted_tardiness_search(record, a.options);
        }
    }
    if constexpr (std::is_same_v<Record, schedule::PARALLEL_MACHINES>) {
        if (name == "lpt") return heuristics::lpt(record);
    }
    if constexpr (std::is_same_v<Record, schedule::JOBSHOP>) {
        if (name == "tabu_search") {
            if (a.objective != "Cmax") return wrong("minimises Cmax on the job shop");
            return heuristics::tabu_search(record, a.options);
        }
        for (const heuristics::PriorityRule rule : heuristics::priority_rules) {
            if (name == heuristics::rule_name(rule))
                return heuristics::dispatch(record, rule, heuristics::GenerationScheme::active, a.options.seed);
        }
    }
    value_error("the algorithm '" + name + "' does not apply to a " +
                std::string(schedule::environment_name(schedule::environment_of<Record>)) + " instance (" + algorithms +
                ")");
}

py::object solve(py::handle self, const std::string& objective, const py::object& algorithm,
                 const py::object& time_limit, const py::object& iterations, const py::object& seed,
                 const py::object& on_improvement) {
    const Instance& instance = initialised(self);
    SolveArguments a;
    a.objective = objective;
    if (!algorithm.is_none()) {
        a.algorithm = string_argument(algorithm, "algorithm");
        if (a.algorithm.empty()) value_error(std::string("the algorithm '' is none of ") + algorithms);
    }
    heuristics::Budget& budget = a.options.budget;
    if (!time_limit.is_none()) budget.seconds = seconds_argument(time_limit, "time_limit");
    if (!iterations.is_none()) budget.iterations = integer_argument(iterations, "iterations", 1, LONG_MAX);
    a.options.seed = static_cast<std::uint64_t>(integer_argument(seed, "seed", 0, LLONG_MAX));

    // A signal (Ctrl-C) ends the search: the handler runs with the GIL taken
    // back, and what it raises (KeyboardInterrupt) is raised by solve, the
    // best sequence found so far discarded.
    std::optional<py::error_already_set> signal_error;
    a.options.cancelled = [&signal_error] {
        py::gil_scoped_acquire locked;
        if (PyErr_CheckSignals() == 0) return false;
        signal_error.emplace();
        return true;
    };

    std::exception_ptr callback_error;
    bool weighted = false;
    if (!on_improvement.is_none()) {
        if (!PyCallable_Check(on_improvement.ptr())) value_error("on_improvement must be callable");
        a.options.on_improvement = [&](const heuristics::Improvement& improvement) {
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

    return instance.evaluated_visit([&]<class Record>(const Record& record) -> py::object {
        const schedule::Objective<Record>& entry = schedule::find_objective<Record>(objective);
        weighted = entry.weighted;
        if (entry.needs_due_dates && record.dd == nullptr)
            value_error(std::string(entry.name) + " needs due dates and the instance has none");
        if (a.algorithm.empty()) a.algorithm = default_algorithm<Record>(a.objective);
        const bool search = std::find(std::begin(searches), std::end(searches), a.algorithm) != std::end(searches);
        if (search && budget.seconds == 0 && budget.iterations == 0) budget.seconds = 1.0;
        std::optional<heuristics::Result> result;
        std::optional<schedule::Value> value;
        try {
            py::gil_scoped_release unlocked;
            result.emplace(run_algorithm(record, a));
            value.emplace(schedule::evaluate(record, result->sequence, entry));
        } catch (const CallbackFailed&) {
            std::rethrow_exception(callback_error);
        }
        if (signal_error) throw std::move(*signal_error);
        return py::reinterpret_borrow<py::object>(result_type)(sequence_array(result->sequence), python_value(*value),
                                                               result->seconds, result->iterations, a.algorithm,
                                                               a.objective);
    });
}

}  // namespace

void init_solving(py::module_& m) {
    result_type = named_tuple(
        m, "SolveResult", "sequence value seconds iterations algorithm objective",
        "What solve found: the best sequence (int32 array), its value as Instance.evaluate gives it, the seconds "
        "and iterations the run took, the algorithm and objective.");
    improvement_type = named_tuple(m, "Improvement", "value seconds iteration sequence",
                                              "An improvement of the best value during solve, as on_improvement sees it.");

    m.def("solve", &solve, py::arg("inst"), py::arg("objective") = "Cmax",
          py::arg("algorithm") = py::none(), py::kw_only(), py::arg("time_limit") = py::none(),
          py::arg("iterations") = py::none(), py::arg("seed") = 1, py::arg("on_improvement") = py::none(), R"doc(
Runs one of the library's reference heuristics on an instance and returns a SolveResult
(sequence, value, seconds, iterations, algorithm, objective).

objective       any name of zurududo.OBJECTIVES the algorithm minimises.
algorithm       "neh", "iterated_greedy" (flow shop, Cmax); "edd", "wspt", "atc" (dispatching
                rules of the single machine with due dates: the value is of `objective`),
                "weighted_tardiness_search" (single machine, Wj_SumTj, release dates 0);
                "lpt" (identical machines); "tabu_search" (job shop, Cmax) and the job
                shop's dispatching rules "spt", "lpt", "mwkr", "lwkr", "mopnr", "fifo",
                "random" (active schedules; the value is of `objective`); "generic"
                (iterated greedy for any environment with evaluators and any objective).
                None: iterated_greedy for the flow shop's Cmax, weighted_tardiness_search
                for the single machine's Wj_SumTj, tabu_search for the job shop's Cmax,
                generic otherwise.
time_limit      seconds of wall time; iterations: a count of iterations. The searches stop at
                whichever comes first; without either they run for one second. The
                constructions and rules run once.
seed            the searches' random seed: with an iteration budget a run is reproducible.
on_improvement  called with an Improvement (value, seconds, iteration, sequence) each time the
                best value improves; an exception it raises ends the run and propagates.
The GIL is released while the heuristic runs (the callback takes it back). The value is
always inst.evaluate(result.sequence, objective).
)doc");
}

}  // namespace zurududo_python
