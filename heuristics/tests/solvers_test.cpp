// The table of methods: every row run on a small instance of each
// environment it lists, its names and aliases, the defaults it gives, what it
// refuses and how, its parameters, and a target that ends a run.
#include <algorithm>
#include <string>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include <zurududo/benchmarks.h>
#include <zurududo/solvers.h>

long readme_snippet();  // readme_snippet.cpp, made from the README

namespace {

using namespace zurududo;
using schedule::AnyInstance;
using schedule::Environment;

// A small instance of each environment: the named ones, or tagged text.
AnyInstance small(Environment environment, bool released = false) {
    switch (environment) {
        case Environment::flowshop: return benchmarks::resolve("ta001").instance;
        case Environment::jobshop: return benchmarks::resolve("ft06").instance;
        case Environment::single:
            if (!released) return benchmarks::resolve("wt40_001").instance;
            return schedule::load_text<schedule::SINGLE_MACHINE>(
                "[JOBS=5][PT=3,2,4,6,1][R=0,4,0,2,0][DD=5,6,7,20,3][W=1,2,1,3,1]", "released");
        case Environment::identical:
            return schedule::load_text<schedule::PARALLEL_MACHINES>(
                "[JOBS=7][MACHINES=3][PT=3,2,4,6,1,5,2][DD=5,6,7,20,3,9,9]", "identical");
        case Environment::uniform:
            return schedule::load_text<schedule::RELATED_MACHINES>(
                "[JOBS=7][MACHINES=3][PT=3,2,4,6,1,5,2][DD=5,6,7,20,3,9,9][V=1,2,3]", "uniform");
        default:
            return schedule::load_text<schedule::UNRELATED_MACHINES>(
                "[JOBS=7][MACHINES=3][PT=3,2,4,6,1,5,2;4,1,3,2,6,2,5;2,2,2,3,1,4,4][DD=5,6,7,20,3,9,9]", "unrelated");
    }
}

// Every row on every environment it lists, under an objective it takes: the
// value is the evaluator's, in its own type, and the same seed and budget
// give the same run.
TEST(Solvers, EveryRowRunsOnEveryEnvironmentItLists) {
    int runs = 0;
    for (const solvers::Method& method : solvers::methods()) {
        EXPECT_EQ(solvers::find(method.name), &method);
        for (const std::string& alias : method.aliases) EXPECT_EQ(solvers::find(alias), &method) << alias;
        EXPECT_FALSE(method.summary.empty()) << method.name;
        for (const Environment environment : method.environments) {
            const AnyInstance instance = small(environment);
            solvers::Request request;
            request.method = method.name;
            request.objective = method.objectives.empty() ? solvers::default_objective(instance)
                                                          : method.objectives.front();
            request.options.budget.iterations = 20;
            request.options.seed = 3;
            const solvers::Outcome outcome = solvers::solve(instance, request);
            const std::string where = method.name + " on " + std::string(schedule::environment_name(environment));
            EXPECT_EQ(outcome.method, &method) << where;
            EXPECT_EQ(outcome.objective, request.objective) << where;
            std::visit(
                [&](const auto& held) {
                    using Record = std::decay_t<decltype(held.get())>;
                    if constexpr (schedule::EvaluatedRecord<Record>) {
                        EXPECT_EQ(outcome.value, schedule::evaluate(held.get(), outcome.result.sequence,
                                                                    outcome.objective))
                            << where;
                    }
                },
                instance);
            EXPECT_EQ(outcome.result.value, std::visit([](auto v) { return static_cast<double>(v); }, outcome.value));
            EXPECT_EQ(std::holds_alternative<double>(outcome.value), outcome.objective.starts_with("Wj_")) << where;
            if (method.kind != solvers::Kind::search) {
                EXPECT_EQ(outcome.result.iterations, 0) << where;
            }
            const solvers::Outcome again = solvers::solve(instance, request);
            EXPECT_EQ(again.result.sequence, outcome.result.sequence) << where;
            ++runs;
        }
    }
    EXPECT_GE(runs, 28);
}

// The defaults: a named instance's own objective, else the documented rules;
// the search made for the objective when it fits, else generic.
TEST(Solvers, DefaultObjectiveAndMethod) {
    struct Case {
        const char* instance;  // a name, or "released" / "identical" / "nodd"
        const char* objective;
        const char* method;
    };
    const Case cases[] = {
        {"ta001", "Cmax", "ig"},     {"wt40_001", "Wj_SumTj", "ils"}, {"ft06", "Cmax", "ts"},
        {"ta01", "Cmax", "ts"},      {"released", "Wj_SumTj", "generic"}, {"identical", "Cmax", "generic"},
        {"nodd", "Wj_SumCj", "generic"},
    };
    for (const Case& c : cases) {
        const std::string name = c.instance;
        const benchmarks::Entry* entry = benchmarks::find(name);
        const AnyInstance instance =
            entry != nullptr      ? benchmarks::make_instance(*entry)
            : name == "released"  ? small(Environment::single, true)
            : name == "identical" ? small(Environment::identical)
                                  : AnyInstance(schedule::load_text<schedule::SINGLE_MACHINE>("[JOBS=2][PT=3,4]", "n"));
        const std::string objective = solvers::default_objective(instance, entry);
        EXPECT_EQ(objective, c.objective) << name;
        EXPECT_EQ(solvers::default_method(instance, objective).name, c.method) << name;
        solvers::Request request;
        request.entry = entry;
        request.options.budget.iterations = 1;
        const solvers::Plan plan = solvers::plan(instance, request);
        EXPECT_EQ(plan.method->name, c.method) << name;
        EXPECT_EQ(plan.objective, c.objective) << name;
    }
    // Without a budget a search gets one second; a rule none.
    const AnyInstance flow = small(Environment::flowshop);
    EXPECT_EQ(solvers::plan(flow, {}).options.budget.seconds, 1.0);
    solvers::Request neh;
    neh.method = "neh";
    EXPECT_EQ(solvers::plan(flow, neh).options.budget.seconds, 0.0);
}

// Names that are none, and names that do not fit, each said in one line that
// names what does.
TEST(Solvers, RefusalsNameWhatFits) {
    const AnyInstance flow = small(Environment::flowshop);
    const AnyInstance single = small(Environment::single, true);
    struct Case {
        const AnyInstance* instance;
        const char* method;
        const char* objective;
        solvers::ParameterValues parameters;
        const char* message;
    };
    const Case cases[] = {
        {&flow, "igg", "", {}, "unknown method 'igg' (did you mean ig?)"},
        {&flow, "iterated_gredy", "", {}, "unknown method 'iterated_gredy' (did you mean iterated_greedy?)"},
        {&flow, "zz", "", {}, "unknown method 'zz' (known: neh, ig, edd"},
        {&flow, "ts", "", {},
         "method ts does not apply: it solves jobshop instances, not flowshop ones; for Cmax on this flowshop "
         "instance: neh, ig, generic"},
        {&flow, "TABU_SEARCH", "", {}, "method ts does not apply: it solves jobshop instances"},
        {&flow, "neh", "SumCj", {},
         "method neh does not apply: it minimises Cmax, not SumCj; for SumCj on this flowshop instance: generic"},
        {&single, "ils", "", {},
         "method ils does not apply: it takes no release dates, and the instance has some; for Wj_SumTj on this "
         "single instance: generic"},
        {&flow, "", "cmax", {}, "unknown objective 'cmax' (did you mean Cmax?)"},
        {&flow, "", "Cmix", {}, "unknown objective 'Cmix' (did you mean Cmax?)"},
        {&flow, "", "SumTj", {}, "SumTj needs due dates and the instance has none"},
        {&flow, "ig", "", {{"dd", "3"}}, "unknown parameter 'dd' of ig (did you mean d?)"},
        {&flow, "neh", "", {{"d", "3"}}, "unknown parameter 'd' of neh (it has none)"},
        {&flow, "ig", "", {{"d", "0"}}, "parameter d of ig is a whole number from 1 to 100000, not '0'"},
        {&flow, "ig", "", {{"T", "warm"}}, "parameter T of ig is a number from 0 to 1000000, not 'warm'"},
        {&flow, "ig", "", {{"local_search", "perhaps"}}, "parameter local_search of ig is true or false, not 'perhaps'"},
    };
    for (const Case& c : cases) {
        solvers::Request request;
        request.method = c.method;
        request.objective = c.objective;
        request.parameters = c.parameters;
        request.options.budget.iterations = 1;
        try {
            (void)solvers::plan(*c.instance, request);
            ADD_FAILURE() << "accepted: " << c.method << " " << c.objective;
        } catch (const schedule::Error& e) {
            EXPECT_EQ(e.kind(), schedule::ErrorKind::argument);
            EXPECT_TRUE(std::string(e.what()).starts_with(c.message)) << e.what() << "\nexpected: " << c.message;
        }
    }
}

// Parameters: the defaults unless given, each value written the one way, and
// "NAME=VALUE" as the front doors give it.
TEST(Solvers, ParametersTakeTheirDefaultsAndCheckedValues) {
    const solvers::Method& ig = solvers::method_named("iterated_greedy");
    const solvers::Settings defaults = solvers::settings(ig, {});
    EXPECT_EQ(defaults.integer("d"), 2);
    EXPECT_EQ(defaults.real("T"), 0.7);
    EXPECT_TRUE(defaults.flag("partial_local_search"));
    const solvers::Settings given = solvers::settings(ig, {{"d", "+4"}, {"T", "0.40"}, {"local_search", "OFF"}});
    EXPECT_EQ(given.values().at("d"), "4");
    EXPECT_EQ(given.values().at("T"), "0.4");
    EXPECT_EQ(given.values().at("local_search"), "false");
    EXPECT_EQ(solvers::parameter_assignment("d=4"), (std::pair<std::string, std::string>{"d", "4"}));
    EXPECT_THROW(solvers::parameter_assignment("d4"), schedule::Error);
    // A parameter reaches the method: no local search, no improvement over the construction on ta001 at d = 1 ...
    const AnyInstance flow = small(Environment::flowshop);
    solvers::Request request;
    request.method = "ig";
    request.options.budget.iterations = 30;
    const double with = solvers::solve(flow, request).result.value;
    request.parameters = {{"local_search", "false"}, {"partial_local_search", "false"}, {"d", "1"}, {"T", "0"}};
    const double without = solvers::solve(flow, request).result.value;
    EXPECT_LT(with, without);
    // Every row's table line and parameter lines are in the text the front doors print.
    const std::string text = solvers::table_text();
    for (const solvers::Method& method : solvers::methods()) {
        EXPECT_NE(text.find(method.summary), std::string::npos) << method.name;
        for (const solvers::Parameter& p : method.parameters)
            EXPECT_NE(text.find(p.name + "=" + p.default_value), std::string::npos) << method.name << " " << p.name;
    }
}

// A target, or the best known value, ends a search as soon as it is reached.
TEST(Solvers, TargetEndsTheRun) {
    const benchmarks::Entry* ft06 = benchmarks::find("ft06");
    const AnyInstance shop = benchmarks::make_instance(*ft06);
    solvers::Request request;
    request.options.budget.iterations = 1000000;
    request.options.target = 60;
    const solvers::Outcome at_60 = solvers::solve(shop, request);
    EXPECT_LE(std::get<long>(at_60.value), 60);
    EXPECT_LT(at_60.result.iterations, 1000000);
    request.options.target = heuristics::Options{}.target;
    request.stop_at_best_known = true;
    request.entry = ft06;
    const solvers::Outcome at_best = solvers::solve(shop, request);
    EXPECT_EQ(std::get<long>(at_best.value), 55);
    EXPECT_LT(at_best.result.iterations, 1000000);
    request.entry = nullptr;
    EXPECT_THROW(solvers::plan(shop, request), schedule::Error);  // no best known value without a name
    request.entry = ft06;
    request.objective = "SumCj";
    request.method = "generic";
    EXPECT_THROW(solvers::plan(shop, request), schedule::Error);  // ft06's best known value is of Cmax
}

}  // namespace

namespace {

// The README's C++ snippet, compiled from the README (readme_snippet.cpp):
// the value it says it finds.
TEST(Solvers, TheReadmeRun) { EXPECT_EQ(readme_snippet(), 1278L); }

}  // namespace
