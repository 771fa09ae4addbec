// zurududo solvers — the one table of the reference methods.
//
// Every front door — sched solve and bench, the experiment runner, Python's
// solve, the README — reads this table and keeps no list of its own. A row
// gives a method's name and aliases, its kind, the environments and
// objectives it applies to, what else it needs of an instance, its
// parameters with their defaults, and how it runs. The default objective of
// an instance and the default method of an objective come from here too.
//
//   const auto instance = zurududo::benchmarks::resolve("ta001").instance;
//   zurududo::solvers::Request request;
//   request.method = "ig";                       // or "iterated_greedy"; empty: the default
//   request.parameters = {{"d", "4"}, {"T", "0.4"}};
//   request.options.budget.iterations = 1000;
//   const zurududo::solvers::Outcome outcome = zurududo::solvers::solve(instance, request);
//   // outcome.value is the evaluator's own value (a long for Cmax)
#ifndef ZURUDUDO_SOLVERS_H
#define ZURUDUDO_SOLVERS_H

#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <schedule/checked.h>
#include <zurududo/benchmarks.h>
#include <zurududo/heuristics.h>

namespace zurududo::solvers {

// A rule orders the jobs (or operations) by a priority, whatever the
// objective: its sequence is evaluated under the objective asked for. A
// construction builds one sequence for its objective; a search improves
// sequences for its objective within a budget.
enum class Kind { rule, construction, search };
// "rule", "construction", "search".
std::string_view kind_name(Kind kind) noexcept;

enum class ParameterType { integer, real, flag, choice };
// "integer", "real", "flag", "choice".
std::string_view type_name(ParameterType type) noexcept;

struct Parameter {
    std::string name;
    ParameterType type;
    std::string default_value;  // as text: "2", "0.7", "true", "n6"
    double low = 0;             // integer and real: the range, both ends included
    double high = 0;
    std::vector<std::string> choices;  // choice: the values it takes
    std::string doc;                   // what it is, in one line
};

// Values of parameters by name, as text ("4", "0.4", "false", "n5"). Each
// front door turns its own shape into this: sched and the runner
// "--param d=4", Python params={"d": 4}.
using ParameterValues = std::map<std::string, std::string, std::less<>>;

struct Method;

// The parameters of a run: each the value given or its default, checked
// against its type and range.
class Settings {
public:
    Settings() = default;
    long integer(std::string_view name) const;
    double real(std::string_view name) const;
    bool flag(std::string_view name) const;
    const std::string& choice(std::string_view name) const;
    // Every parameter of the method with its value, given or default.
    const ParameterValues& values() const noexcept { return values_; }

private:
    friend Settings settings(const Method& method, const ParameterValues& given);
    const std::string& value(std::string_view name) const;
    ParameterValues values_;
};

// What a method needs of an instance besides its environment.
struct Needs {
    bool due_dates = false;
    bool no_release_dates = false;  // every release date 0
};

struct Method {
    std::string name;
    std::vector<std::string> aliases;
    Kind kind;
    std::vector<schedule::Environment> environments;
    std::vector<std::string> objectives;  // those it minimises; empty: any (the rules, the generic search)
    Needs needs;
    std::vector<Parameter> parameters;
    std::string summary;  // one line
    // One run on an instance of one of `environments` under the objective
    // (the sequence is evaluated under it by solve()), with the settings of
    // `parameters`.
    std::function<heuristics::Result(const schedule::AnyInstance& instance, std::string_view objective,
                                     const heuristics::Options& options, const Settings& settings)>
        run;
};

// The table, in the order the front doors list it.
std::span<const Method> methods();

// The method of a name or alias (case ignored), or null.
const Method* find(std::string_view name);
// The same, or Error (argument): "unknown method 'igg' (did you mean ig?)".
const Method& method_named(std::string_view name);

// The settings of a method: the values given, the defaults for the rest.
// Error (argument) for a parameter the method does not have ("unknown
// parameter 'tenur' of ts (did you mean tenure?)") or a value that is not of
// its type and range.
Settings settings(const Method& method, const ParameterValues& given);
// "d=4" as a name and a value; Error (argument) without "=".
std::pair<std::string, std::string> parameter_assignment(std::string_view text);

// Empty when the method fits the instance and objective, otherwise why not
// ("it solves flowshop instances, not jobshop ones", "it minimises Cmax, not
// SumCj", "it needs due dates, which the instance has none of").
std::string misfit(const Method& method, const schedule::AnyInstance& instance, std::string_view objective);
// The methods that fit, in table order.
std::vector<const Method*> fitting(const schedule::AnyInstance& instance, std::string_view objective);

// The objective an instance is solved for by default: a named benchmark's
// own (Taillard and OR-Library job shops Cmax, the wt sets Wj_SumTj); else on
// one machine Wj_SumTj with due dates and Wj_SumCj without; else Cmax.
std::string default_objective(const schedule::AnyInstance& instance, const benchmarks::Entry* entry = nullptr);
// The method used by default: the first search of the table made for the
// objective (it lists it) that fits the instance — ig for the flow shop's
// Cmax, ils for the single machine's Wj_SumTj without release dates, ts for
// the job shop's Cmax — else generic.
const Method& default_method(const schedule::AnyInstance& instance, std::string_view objective);

// A run to make: every field but the options may be left empty for its default.
struct Request {
    std::string method;     // a name or alias; empty: default_method
    std::string objective;  // empty: default_objective
    ParameterValues parameters;
    // Budget, seed, callback, target and cancellation. A search given neither
    // a time limit nor an iteration count runs for one second of wall time.
    heuristics::Options options;
    const benchmarks::Entry* entry = nullptr;  // the named instance it is, if any
    // End the run at the entry's best known value (a target of that value);
    // needs an entry whose values are of the objective.
    bool stop_at_best_known = false;
};

// A request checked and completed: what solve() will run.
struct Plan {
    const Method* method = nullptr;
    std::string objective;  // the catalogue's name
    bool weighted = false;  // the objective's values are real (Wj_…), else whole numbers
    Settings settings;
    heuristics::Options options;
};

// Checks a request against the instance and completes it: the method and
// objective (defaults filled in), the settings, the budget and target.
// Error (argument) for an unknown method, objective or parameter, a method
// that does not fit ("method ts does not apply: it solves jobshop instances,
// not flowshop ones; these do: neh, ig, generic"), an objective that needs
// due dates the instance lacks, a target that is not a finite number, or
// stopping at a best known value that the instance does not have.
Plan plan(const schedule::AnyInstance& instance, const Request& request);

struct Outcome {
    const Method* method = nullptr;
    std::string objective;
    // The evaluator's value of the sequence, in its own type: a long for the
    // unweighted objectives, a double for the weighted.
    schedule::Value value;
    // The sequence, seconds and iterations; result.value is the same value as
    // a double (exact for whole numbers up to 2^53), the type every method
    // and callback shares.
    heuristics::Result result;
};

Outcome run(const schedule::AnyInstance& instance, const Plan& plan);
// plan() then run().
Outcome solve(const schedule::AnyInstance& instance, const Request& request);

// The table as text, a block per method: its names, kind, environments,
// objectives and needs, its summary, and a line per parameter with its
// default. What `sched list --methods` prints and the README shows.
std::string table_text();

}  // namespace zurududo::solvers

#endif  // ZURUDUDO_SOLVERS_H
