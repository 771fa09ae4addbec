// The one table of the reference methods, and the runs made from it.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include <zurududo/solvers.h>

namespace zurududo::solvers {

namespace {

using schedule::AnyInstance;
using schedule::Environment;

[[noreturn]] void refuse(const std::string& what) { throw schedule::Error(schedule::ErrorKind::argument, 999, what); }

char folded(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool same_name(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return folded(x) == folded(y); });
}

std::string joined(const std::vector<std::string>& words, const char* separator = ", ") {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : separator) + word;
    return text;
}

// The shortest text that reads back as `value`; whole numbers without an exponent.
std::string shortest(double value) {
    if (value == std::floor(value) && std::fabs(value) < 1e15) return std::to_string(static_cast<long long>(value));
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

Environment environment_of(const AnyInstance& instance) {
    return std::visit([](const auto& held) { return schedule::environment_of<std::decay_t<decltype(held.get())>>; },
                      instance);
}

template <class Record>
const Record& record_of(const AnyInstance& instance) {
    return std::get<schedule::Instance<Record>>(instance).get();
}

// ---------------------------------------------------------------------------
// The parameters
// ---------------------------------------------------------------------------

Parameter integer(std::string name, long value, double low, double high, std::string doc) {
    return {std::move(name), ParameterType::integer, std::to_string(value), low, high, {}, std::move(doc)};
}
Parameter real(std::string name, double value, double low, double high, std::string doc) {
    return {std::move(name), ParameterType::real, shortest(value), low, high, {}, std::move(doc)};
}
Parameter flag(std::string name, bool value, std::string doc) {
    return {std::move(name), ParameterType::flag, value ? "true" : "false", 0, 1, {}, std::move(doc)};
}

std::optional<long> whole_number(std::string_view text) {
    long value = 0;
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<double> real_number(std::string_view text) {
    const std::string copy(text);
    char* end = nullptr;
    const double value = copy.empty() ? 0.0 : std::strtod(copy.c_str(), &end);
    if (copy.empty() || end != copy.c_str() + copy.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<bool> flag_value(std::string_view text) {
    for (const char* yes : {"true", "1", "yes", "on"})
        if (same_name(text, yes)) return true;
    for (const char* no : {"false", "0", "no", "off"})
        if (same_name(text, no)) return false;
    return std::nullopt;
}

// The value as its parameter takes it, written the one way; Error (argument)
// naming the method, the parameter and what it takes otherwise.
std::string checked_value(const Method& method, const Parameter& parameter, const std::string& text) {
    const std::string where = "parameter " + parameter.name + " of " + method.name;
    const std::string range = shortest(parameter.low) + " to " + shortest(parameter.high);
    switch (parameter.type) {
        case ParameterType::integer: {
            const auto value = whole_number(text);
            if (!value || static_cast<double>(*value) < parameter.low || static_cast<double>(*value) > parameter.high)
                refuse(where + " is a whole number from " + range + ", not '" + text + "'");
            return std::to_string(*value);
        }
        case ParameterType::real: {
            const auto value = real_number(text);
            if (!value || *value < parameter.low || *value > parameter.high)
                refuse(where + " is a number from " + range + ", not '" + text + "'");
            return shortest(*value);
        }
        case ParameterType::flag: {
            const auto value = flag_value(text);
            if (!value) refuse(where + " is true or false, not '" + text + "'");
            return *value ? "true" : "false";
        }
        case ParameterType::choice:
            for (const std::string& choice : parameter.choices)
                if (same_name(choice, text)) return choice;
            refuse(where + " is " + joined(parameter.choices, " or ") + ", not '" + text + "'");
    }
    return text;
}

// ---------------------------------------------------------------------------
// The table
// ---------------------------------------------------------------------------

const std::vector<Environment> evaluated = {Environment::single,    Environment::identical, Environment::uniform,
                                            Environment::unrelated, Environment::flowshop,  Environment::jobshop};

// What each job-shop rule orders by.
std::string rule_summary(heuristics::PriorityRule rule) {
    switch (rule) {
        case heuristics::PriorityRule::spt: return "shortest processing time of the operation first";
        case heuristics::PriorityRule::lpt: return "longest processing time of the operation first";
        case heuristics::PriorityRule::mwkr: return "most work remaining in the job first";
        case heuristics::PriorityRule::lwkr: return "least work remaining in the job first";
        case heuristics::PriorityRule::mopnr: return "most operations remaining in the job first";
        case heuristics::PriorityRule::fifo: return "the job waiting longest first";
        case heuristics::PriorityRule::random: return "an operation at random, from the seed";
    }
    return {};
}

std::vector<Method> build() {
    using heuristics::Result;
    using heuristics::Options;
    std::vector<Method> t;

    t.push_back({"neh", {}, Kind::construction, {Environment::flowshop}, {"Cmax"}, {}, {},
                 "NEH (Nawaz, Enscore & Ham) with Taillard's acceleration",
                 [](const AnyInstance& i, std::string_view, const Options&, const Settings&) {
                     return heuristics::neh(record_of<schedule::FLOWSHOP>(i));
                 }});
    t.push_back({"ig",
                 {"iterated_greedy"},
                 Kind::search,
                 {Environment::flowshop},
                 {"Cmax"},
                 {},
                 {integer("d", 2, 1, 100000, "jobs removed by each destruction"),
                  real("T", 0.7, 0, 1e6, "temperature, times the mean processing time / 10"),
                  flag("local_search", true, "insertion local search after each reconstruction"),
                  flag("partial_local_search", true, "local search on the partial sequence too")},
                 "iterated greedy in the style of Ruiz & Stützle, from NEH",
                 [](const AnyInstance& i, std::string_view, const Options& o, const Settings& s) {
                     heuristics::IteratedGreedyParameters p;
                     p.destruction = static_cast<int>(s.integer("d"));
                     p.temperature = s.real("T");
                     p.local_search = s.flag("local_search");
                     p.partial_local_search = s.flag("partial_local_search");
                     return heuristics::iterated_greedy(record_of<schedule::FLOWSHOP>(i), o, p);
                 }});
    const Needs tardiness{true, true};
    t.push_back({"edd", {}, Kind::rule, {Environment::single}, {}, tardiness, {},
                 "earliest due date first",
                 [](const AnyInstance& i, std::string_view, const Options&, const Settings&) {
                     return heuristics::edd(record_of<schedule::SINGLE_MACHINE>(i));
                 }});
    t.push_back({"wspt", {}, Kind::rule, {Environment::single}, {}, tardiness, {},
                 "weighted shortest processing time first",
                 [](const AnyInstance& i, std::string_view, const Options&, const Settings&) {
                     return heuristics::wspt(record_of<schedule::SINGLE_MACHINE>(i));
                 }});
    t.push_back({"atc", {}, Kind::rule, {Environment::single}, {}, tardiness,
                 {real("k", 0, 0, 1e6, "look-ahead; 0: the best of 0.5, 1, ..., 4")},
                 "apparent tardiness cost (Vepsalainen & Morton)",
                 [](const AnyInstance& i, std::string_view, const Options&, const Settings& s) {
                     return heuristics::atc(record_of<schedule::SINGLE_MACHINE>(i), s.real("k"));
                 }});
    t.push_back({"ils",
                 {"weighted_tardiness_search"},
                 Kind::search,
                 {Environment::single},
                 {"Wj_SumTj"},
                 tardiness,
                 {integer("kick", 6, 1, 100000, "random swaps of nearby jobs in each perturbation"),
                  integer("kick_window", 20, 1, 100000, "how far apart the swapped jobs may be"),
                  integer("restart_after", 0, 0, 1e12, "iterations without improvement before a restart; 0: 2n")},
                 "iterated local search by swaps and insertions, from the best of EDD, WSPT and ATC",
                 [](const AnyInstance& i, std::string_view, const Options& o, const Settings& s) {
                     heuristics::TardinessSearchParameters p;
                     p.kick = static_cast<int>(s.integer("kick"));
                     p.kick_window = static_cast<int>(s.integer("kick_window"));
                     p.restart_after = s.integer("restart_after");
                     return heuristics::weighted_tardiness_search(record_of<schedule::SINGLE_MACHINE>(i), o, p);
                 }});

    // The job shop's dispatching rules: active schedules under the rule's
    // name, non-delay ones with "-nd". LPT also list-schedules identical machines.
    for (const auto scheme : {heuristics::GenerationScheme::active, heuristics::GenerationScheme::non_delay}) {
        const bool active = scheme == heuristics::GenerationScheme::active;
        for (const heuristics::PriorityRule rule : heuristics::priority_rules) {
            const bool lpt = rule == heuristics::PriorityRule::lpt && active;
            Method m{std::string(heuristics::rule_name(rule)) + (active ? "" : "-nd"),
                     {},
                     Kind::rule,
                     lpt ? std::vector<Environment>{Environment::identical, Environment::jobshop}
                         : std::vector<Environment>{Environment::jobshop},
                     {},
                     {},
                     {},
                     rule_summary(rule) + (active ? ": active schedules" : ": non-delay schedules") +
                         (lpt ? "; on identical machines, each job to the machine free first" : ""),
                     [rule, scheme](const AnyInstance& i, std::string_view, const Options& o, const Settings&) {
                         if (std::holds_alternative<schedule::Instance<schedule::PARALLEL_MACHINES>>(i))
                             return heuristics::lpt(record_of<schedule::PARALLEL_MACHINES>(i));
                         return heuristics::dispatch(record_of<schedule::JOBSHOP>(i), rule, scheme, o.seed);
                     }};
            t.push_back(std::move(m));
        }
    }
    // The tabu search, and its variants under their own names with other
    // defaults: "-n5" N5 instead of N6, "-bj" back jumps instead of path
    // relinking (with the stagnation calibrated for them), "-2threads" two
    // threads exchanging their best.
    const struct {
        const char* name;
        const char* neighbourhood;
        const char* escape;
        long stagnation;
        long threads;
        const char* summary;
    } searches[] = {
        {"ts", "n6", "path_relinking", 10000, 1,
         "tabu search on the critical path: N6 moves, path relinking between elite solutions (TS/PR style)"},
        {"ts-n5", "n5", "path_relinking", 10000, 1, "the tabu search with N5 moves instead of N6"},
        {"ts-bj", "n6", "back_jump", 2500, 1, "the tabu search with TSAB's back jumps instead of path relinking"},
        {"ts-n5-bj", "n5", "back_jump", 2500, 1,
         "the tabu search with N5 and back jumps, in the style of Nowicki & Smutnicki's TSAB"},
        {"ts-2threads", "n6", "path_relinking", 10000, 2, "the tabu search on two threads exchanging their best"},
    };
    for (const auto& search : searches) {
        Parameter neighbourhood{"neighbourhood", ParameterType::choice, search.neighbourhood, 0, 0, {"n5", "n6"},
                                "moves of a critical path: N5 swaps, or N6 moves to a block's ends"};
        Parameter escape{"escape", ParameterType::choice, search.escape, 0, 0, {"path_relinking", "back_jump"},
                         "how the search leaves a region where it stagnates"};
        t.push_back({search.name,
                     std::string_view(search.name) == "ts" ? std::vector<std::string>{"tabu_search"}
                                                          : std::vector<std::string>{},
                     Kind::search,
                     {Environment::jobshop},
                     {"Cmax"},
                     {},
                     {integer("tenure", 0, 0, 1e6, "tabu tenure L, drawn in [L, 1.5 L]; 0: 10 + n/m"),
                      std::move(neighbourhood),
                      std::move(escape),
                      integer("stagnation", search.stagnation, 1, 1e12,
                              "moves without improvement before a back jump or the end of a tabu search"),
                      integer("elite", 5, 0, 1000, "elite solutions kept for back jumps"),
                      integer("kick", 3, 0, 1e6, "random moves of a restart from the best (back jumps)"),
                      integer("population", 10, 2, 1000, "elite solutions of path relinking"),
                      integer("threads", search.threads, 1, 256, "searches side by side, sharing their best"),
                      integer("exchange", 20000, 1, 1e12, "moves of each thread between exchanges")},
                     search.summary,
                     [](const AnyInstance& i, std::string_view, const Options& o, const Settings& s) {
                         heuristics::TabuSearchParameters p;
                         p.tenure = static_cast<int>(s.integer("tenure"));
                         p.neighbourhood = s.choice("neighbourhood") == "n5" ? heuristics::Neighbourhood::n5
                                                                             : heuristics::Neighbourhood::n6;
                         p.escape = s.choice("escape") == "back_jump" ? heuristics::Escape::back_jump
                                                                      : heuristics::Escape::path_relinking;
                         p.stagnation = s.integer("stagnation");
                         p.elite = static_cast<int>(s.integer("elite"));
                         p.kick = static_cast<int>(s.integer("kick"));
                         p.population = static_cast<int>(s.integer("population"));
                         p.threads = static_cast<int>(s.integer("threads"));
                         p.exchange = s.integer("exchange");
                         return heuristics::tabu_search(record_of<schedule::JOBSHOP>(i), o, p);
                     }});
    }
    t.push_back({"generic",
                 {},
                 Kind::search,
                 evaluated,
                 {},
                 {},
                 {integer("d", 4, 1, 100000, "entries removed by each destruction"),
                  real("T", 0.005, 0, 1e6, "temperature, relative to the value of the start"),
                  flag("local_search", true, "first-improvement insertion after each reconstruction")},
                 "iterated greedy over the evaluator of any objective, from the identity",
                 [](const AnyInstance& i, std::string_view objective, const Options& o, const Settings& s) {
                     heuristics::GenericParameters p;
                     p.destruction = static_cast<int>(s.integer("d"));
                     p.temperature = s.real("T");
                     p.local_search = s.flag("local_search");
                     return std::visit(
                         [&](const auto& held) -> Result {
                             using Record = std::decay_t<decltype(held.get())>;
                             if constexpr (schedule::EvaluatedRecord<Record>) {
                                 return heuristics::generic_search(held.get(), objective, o, p);
                             } else {
                                 refuse("the open shop has no evaluator");
                             }
                         },
                         i);
                 }});
    return t;
}

const std::vector<Method>& table() {
    static const std::vector<Method> rows = build();
    return rows;
}

bool applies_to(const Method& method, Environment environment) {
    return std::find(method.environments.begin(), method.environments.end(), environment) !=
           method.environments.end();
}

std::vector<std::string> environment_names(const std::vector<Environment>& environments) {
    std::vector<std::string> names;
    for (const Environment e : environments) names.emplace_back(schedule::environment_name(e));
    return names;
}

// The record's due dates and release dates, whatever its environment.
struct JobData {
    bool due_dates;
    bool released;
};
JobData job_data(const AnyInstance& instance) {
    return std::visit(
        [](const auto& held) {
            const auto& record = held.get();
            const bool released = record.r != nullptr && std::any_of(record.r, record.r + record.jobs,
                                                                     [](int r) { return r != 0; });
            return JobData{record.dd != nullptr, released};
        },
        instance);
}

// The catalogue's name of an objective, and whether it is weighted; Error
// (argument) for an unknown one or one that needs due dates the instance lacks.
std::pair<std::string, bool> checked_objective(const AnyInstance& instance, std::string_view objective) {
    return std::visit(
        [&](const auto& held) -> std::pair<std::string, bool> {
            using Record = std::decay_t<decltype(held.get())>;
            if constexpr (schedule::EvaluatedRecord<Record>) {
                const auto& entry = schedule::find_objective<Record>(objective);
                if (entry.needs_due_dates && held.get().dd == nullptr)
                    refuse(std::string(entry.name) + " needs due dates and the instance has none");
                return {std::string(entry.name), entry.weighted};
            } else {
                refuse("the open shop has no evaluator: nothing is solved on it");
            }
        },
        instance);
}

}  // namespace

// ---------------------------------------------------------------------------

std::string_view kind_name(Kind kind) noexcept {
    switch (kind) {
        case Kind::rule: return "rule";
        case Kind::construction: return "construction";
        case Kind::search: break;
    }
    return "search";
}

std::string_view type_name(ParameterType type) noexcept {
    switch (type) {
        case ParameterType::integer: return "integer";
        case ParameterType::real: return "real";
        case ParameterType::flag: return "flag";
        case ParameterType::choice: break;
    }
    return "choice";
}

const std::string& Settings::value(std::string_view name) const {
    const auto found = values_.find(name);
    if (found == values_.end()) refuse("no parameter " + std::string(name) + " in these settings");
    return found->second;
}

long Settings::integer(std::string_view name) const { return std::stol(value(name)); }
double Settings::real(std::string_view name) const { return std::strtod(value(name).c_str(), nullptr); }
bool Settings::flag(std::string_view name) const { return value(name) == "true"; }
const std::string& Settings::choice(std::string_view name) const { return value(name); }

std::span<const Method> methods() { return table(); }

const Method* find(std::string_view name) {
    for (const Method& method : table()) {
        if (same_name(method.name, name)) return &method;
        for (const std::string& alias : method.aliases)
            if (same_name(alias, name)) return &method;
    }
    return nullptr;
}

const Method& method_named(std::string_view name) {
    if (const Method* method = find(name)) return *method;
    std::vector<std::string> names, known;
    for (const Method& method : table()) {
        names.push_back(method.name);
        known.push_back(method.name);
        names.insert(names.end(), method.aliases.begin(), method.aliases.end());
    }
    const auto guess = schedule::closest_name(name, names);
    refuse("unknown method '" + std::string(name) + "'" +
           (guess ? " (did you mean " + *guess + "?)" : " (known: " + joined(known) + ")"));
}

Settings settings(const Method& method, const ParameterValues& given) {
    Settings made;
    for (const auto& assignment : given) {
        const std::string& name = assignment.first;
        const std::string& text = assignment.second;
        const auto parameter = std::find_if(method.parameters.begin(), method.parameters.end(),
                                            [&](const Parameter& p) { return p.name == name; });
        if (parameter == method.parameters.end()) {
            std::vector<std::string> names;
            for (const Parameter& p : method.parameters) names.push_back(p.name);
            const auto guess = schedule::closest_name(name, names);
            refuse("unknown parameter '" + name + "' of " + method.name +
                   (guess                 ? " (did you mean " + *guess + "?)"
                    : names.empty()       ? " (it has none)"
                                          : " (it has " + joined(names) + ")"));
        }
        made.values_[name] = checked_value(method, *parameter, text);
    }
    for (const Parameter& p : method.parameters) made.values_.emplace(p.name, p.default_value);
    return made;
}

std::pair<std::string, std::string> parameter_assignment(std::string_view text) {
    const auto equals = text.find('=');
    if (equals == std::string_view::npos || equals == 0)
        refuse("a parameter is given as NAME=VALUE, as d=4, not '" + std::string(text) + "'");
    return {std::string(text.substr(0, equals)), std::string(text.substr(equals + 1))};
}

std::string misfit(const Method& method, const AnyInstance& instance, std::string_view objective) {
    const Environment environment = environment_of(instance);
    if (!applies_to(method, environment))
        return "it solves " + joined(environment_names(method.environments), " and ") + " instances, not " +
               std::string(schedule::environment_name(environment)) + " ones";
    if (!method.objectives.empty() &&
        std::find(method.objectives.begin(), method.objectives.end(), objective) == method.objectives.end())
        return "it minimises " + joined(method.objectives, " or ") + ", not " + std::string(objective);
    const JobData data = job_data(instance);
    if (method.needs.due_dates && !data.due_dates) return "it needs due dates, which the instance has none of";
    if (method.needs.no_release_dates && data.released)
        return "it takes no release dates, and the instance has some";
    return {};
}

std::vector<const Method*> fitting(const AnyInstance& instance, std::string_view objective) {
    std::vector<const Method*> found;
    for (const Method& method : table())
        if (misfit(method, instance, objective).empty()) found.push_back(&method);
    return found;
}

std::string default_objective(const AnyInstance& instance, const benchmarks::Entry* entry) {
    if (entry != nullptr) return entry->objective;
    if (environment_of(instance) == Environment::single) return job_data(instance).due_dates ? "Wj_SumTj" : "Wj_SumCj";
    return "Cmax";
}

const Method& default_method(const AnyInstance& instance, std::string_view objective) {
    for (const Method& method : table())
        if (method.kind == Kind::search && !method.objectives.empty() && misfit(method, instance, objective).empty())
            return method;
    return *find("generic");
}

Plan plan(const AnyInstance& instance, const Request& request) {
    Plan made;
    const auto [objective, weighted] = checked_objective(
        instance, request.objective.empty() ? default_objective(instance, request.entry) : request.objective);
    made.objective = objective;
    made.weighted = weighted;
    made.method = request.method.empty() ? &default_method(instance, objective) : &method_named(request.method);
    const std::string why = misfit(*made.method, instance, objective);
    if (!why.empty()) {
        std::vector<std::string> others;
        for (const Method* method : fitting(instance, objective)) others.push_back(method->name);
        refuse("method " + made.method->name + " does not apply: " + why + "; for " + objective + " on this " +
               std::string(schedule::environment_name(environment_of(instance))) +
               " instance: " + joined(others));
    }
    made.settings = settings(*made.method, request.parameters);
    made.options = request.options;
    heuristics::Budget& budget = made.options.budget;
    if (made.method->kind == Kind::search && !(budget.seconds > 0) && budget.iterations <= 0) budget.seconds = 1.0;
    if (!std::isfinite(made.options.target)) refuse("the target must be a finite number");
    if (request.stop_at_best_known) {
        if (request.entry == nullptr)
            refuse("stopping at the best known value needs a benchmark instance (ta001, ft10, wt40_001, ...)");
        if (request.entry->objective != objective)
            refuse("the best known value of " + request.entry->name + " is of " + request.entry->objective + ", not " +
                   objective);
        made.options.target = std::max(made.options.target, static_cast<double>(request.entry->best_known));
    }
    return made;
}

Outcome run(const AnyInstance& instance, const Plan& plan) {
    Outcome outcome;
    outcome.method = plan.method;
    outcome.objective = plan.objective;
    outcome.result = plan.method->run(instance, plan.objective, plan.options, plan.settings);
    outcome.value = std::visit(
        [&](const auto& held) -> schedule::Value {
            using Record = std::decay_t<decltype(held.get())>;
            if constexpr (schedule::EvaluatedRecord<Record>) {
                return schedule::evaluate(held.get(), outcome.result.sequence, plan.objective);
            } else {
                refuse("the open shop has no evaluator");
            }
        },
        instance);
    outcome.result.value = std::visit([](auto v) { return static_cast<double>(v); }, outcome.value);
    return outcome;
}

Outcome solve(const AnyInstance& instance, const Request& request) { return run(instance, plan(instance, request)); }

std::string table_text() {
    const auto pad = [](std::string word, std::size_t width) {
        if (word.size() < width) word.append(width - word.size(), ' ');
        return word + "  ";
    };
    // One line of columns per method, the summary and the parameters under it.
    struct Line {
        std::string names, kind, environments, objectives;
    };
    std::vector<Line> lines{{"method, aliases", "kind", "environments", "objectives, needs"}};
    std::size_t widths[3] = {0, 0, 0};
    std::size_t parameter_width = 0;
    for (const Method& method : table()) {
        std::vector<std::string> names{method.name};
        names.insert(names.end(), method.aliases.begin(), method.aliases.end());
        std::string needs;
        if (method.needs.due_dates) needs += ", due dates";
        if (method.needs.no_release_dates) needs += ", no release dates";
        lines.push_back({joined(names), std::string(kind_name(method.kind)),
                         method.environments.size() == evaluated.size() ? "any"
                                                                        : joined(environment_names(method.environments)),
                         (method.objectives.empty() ? "any" : joined(method.objectives)) + needs});
        for (const Parameter& p : method.parameters)
            parameter_width = std::max(parameter_width, p.name.size() + 1 + p.default_value.size());
    }
    for (const Line& line : lines) {
        widths[0] = std::max(widths[0], line.names.size());
        widths[1] = std::max(widths[1], line.kind.size());
        widths[2] = std::max(widths[2], line.environments.size());
    }
    const auto row = [&](const Line& line) {
        return pad(line.names, widths[0]) + pad(line.kind, widths[1]) + pad(line.environments, widths[2]) +
               line.objectives + "\n";
    };
    std::string text = row(lines.front());
    for (std::size_t k = 0; k < table().size(); ++k) {
        const Method& method = table()[k];
        text += row(lines[k + 1]);
        text += "    " + method.summary + "\n";
        for (const Parameter& p : method.parameters)
            text += "    " + pad(p.name + "=" + p.default_value, parameter_width) + p.doc + "\n";
    }
    return text;
}

}  // namespace zurududo::solvers
