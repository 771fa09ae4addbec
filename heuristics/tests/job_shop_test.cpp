// The job shop's schedule generation and tabu search: small shops whose
// optimum is found by enumerating every operation sequence (release dates
// and zero-length operations among them) for every variant of the search,
// ft06, the moves of the disjunctive graph against a full acyclicity test,
// a full recomputation of heads and tails and the toolkit's schedule, and
// the schedules the generation schemes promise.
#include <algorithm>
#include <ostream>
#include <random>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include <zurududo/benchmarks.h>
#include <zurududo/disjunctive_graph.h>
#include <zurududo/experiment.h>
#include <zurududo/solvers.h>
#include <zurududo/heuristics.h>

namespace {

using namespace zurududo;
using namespace zurududo::heuristics;
using Shop = schedule::Instance<schedule::JOBSHOP>;

// A shop of `jobs` × `machines` whose blocks are to be filled in.
Shop blank_shop(int jobs, int machines) {
    schedule::JOBSHOP x{};
    x.jobs = jobs;
    x.machines = machines;
    x.pt = reinterpret_cast<int**>(schedule::dyn_mat(machines, jobs, sizeof(int)));
    x.rt = reinterpret_cast<int**>(schedule::dyn_mat(jobs, machines, sizeof(int)));
    x.r = schedule::newIVector(jobs);
    x.w = schedule::newDVector(jobs);
    for (int j = 0; j < jobs; ++j) x.r[j] = 0, x.w[j] = 1;
    return Shop(x);
}

// A random shop: times in `low` … 20, routings shuffled, release dates up to `release`.
Shop random_shop(unsigned seed, int jobs, int machines, int low, int release) {
    std::mt19937 rng(seed);
    auto draw = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng); };
    Shop shop = blank_shop(jobs, machines);
    schedule::JOBSHOP& x = shop.get();
    for (int j = 0; j < jobs; ++j) {
        std::vector<int> route(static_cast<std::size_t>(machines));
        for (int k = 0; k < machines; ++k) route[static_cast<std::size_t>(k)] = k;
        std::shuffle(route.begin(), route.end(), rng);
        for (int k = 0; k < machines; ++k) {
            x.rt[j][k] = route[static_cast<std::size_t>(k)];
            x.pt[k][j] = std::max(draw(low, 20), 0);
        }
        x.r[j] = draw(0, release);
    }
    return shop;
}

long cmax(const Shop& shop, const std::vector<int>& sequence) {
    return schedule::Jm_Rj_Cmax(sequence.data(), shop.get());
}

long optimum(const Shop& shop) {
    std::vector<int> s;
    for (int j = 0; j < shop.jobs(); ++j) s.insert(s.end(), static_cast<std::size_t>(shop.machines()), j);
    long best = cmax(shop, s);
    while (std::next_permutation(s.begin(), s.end())) best = std::min(best, cmax(shop, s));
    return best;
}

void expect_reported(const Shop& shop, const Result& result) {
    ASSERT_NO_THROW(schedule::validate_sequence(shop.get(), result.sequence));
    EXPECT_EQ(result.value, static_cast<double>(cmax(shop, result.sequence)));
}

struct Shape {
    const char* name;
    int jobs, machines, low, release;
};

void PrintTo(const Shape& shape, std::ostream* out) { *out << shape.name; }

struct Variant {
    const char* name;
    Neighbourhood neighbourhood;
    Escape escape;
    int threads;
};

void PrintTo(const Variant& variant, std::ostream* out) { *out << variant.name; }

const Variant variants[] = {{"N6PathRelinking", Neighbourhood::n6, Escape::path_relinking, 1},
                            {"N5PathRelinking", Neighbourhood::n5, Escape::path_relinking, 1},
                            {"N6BackJumps", Neighbourhood::n6, Escape::back_jump, 1},
                            {"N5BackJumps", Neighbourhood::n5, Escape::back_jump, 1},
                            {"N6PathRelinkingThreeThreads", Neighbourhood::n6, Escape::path_relinking, 3},
                            {"N5BackJumpsTwoThreads", Neighbourhood::n5, Escape::back_jump, 2}};

TabuSearchParameters parameters_of(const Variant& variant) {
    TabuSearchParameters parameters;
    parameters.neighbourhood = variant.neighbourhood;
    parameters.escape = variant.escape;
    parameters.threads = variant.threads;
    parameters.stagnation = 100;  // the default suits shops of a hundred operations and more
    parameters.exchange = 150;
    return parameters;
}

class SmallShops : public testing::TestWithParam<std::tuple<Shape, Variant>> {};

// Every variant reaches the optimum, reports its own sequence's makespan, and
// repeats itself for an iteration budget; every rule reports its own
// sequence's makespan.
TEST_P(SmallShops, SearchReachesTheOptimumAndEveryValueIsTheEvaluators) {
    const auto [shape, variant] = GetParam();
    for (unsigned seed = 1; seed <= 4; ++seed) {
        const Shop shop = random_shop(seed, shape.jobs, shape.machines, shape.low, shape.release);
        const long best = optimum(shop);
        Options options;
        options.budget.iterations = 2000;
        options.seed = seed;
        options.target = static_cast<double>(best);
        long last = -1;
        options.on_improvement = [&](const Improvement& i) {
            EXPECT_EQ(i.value, static_cast<double>(schedule::Jm_Rj_Cmax(i.sequence.data(), shop.get())));
            EXPECT_TRUE(last < 0 || i.value < static_cast<double>(last));
            last = static_cast<long>(i.value);
        };
        const TabuSearchParameters parameters = parameters_of(variant);
        const Result result = tabu_search(shop.get(), options, parameters);
        expect_reported(shop, result);
        EXPECT_EQ(result.value, static_cast<double>(best)) << "seed " << seed;
        EXPECT_EQ(result.value, static_cast<double>(last));

        // Without the target every thread runs its whole budget, exchanges included.
        options.target = -1;
        options.on_improvement = nullptr;
        const Result first = tabu_search(shop.get(), options, parameters);
        const Result second = tabu_search(shop.get(), options, parameters);
        EXPECT_EQ(first.sequence, second.sequence);
        EXPECT_EQ(first.iterations, second.iterations);
        EXPECT_LE(first.iterations, 2000);
        if (variant.threads > 1) continue;
        for (GenerationScheme scheme : {GenerationScheme::active, GenerationScheme::non_delay})
            for (PriorityRule rule : priority_rules) {
                const Result rule_result = dispatch(shop.get(), rule, scheme, seed);
                expect_reported(shop, rule_result);
                EXPECT_GE(rule_result.value, static_cast<double>(best));
            }
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, SmallShops,
                         testing::Combine(testing::Values(Shape{"ThreeByThree", 3, 3, 1, 0},
                                                          Shape{"ReleasedFourByTwo", 4, 2, 1, 30},
                                                          Shape{"ReleasedThreeByFour", 3, 4, 1, 25},
                                                          Shape{"ZeroLengthOperations", 3, 4, -8, 10}),
                                          testing::ValuesIn(variants)),
                         [](const testing::TestParamInfo<std::tuple<Shape, Variant>>& info) {
                             return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name;
                         });

TEST(TabuSearch, Ft06ReachesItsOptimum) {
    const Shop shop = benchmarks::make_jobshop(*benchmarks::find("ft06"));
    Options fixed;
    fixed.budget.iterations = 3000;
    fixed.seed = 5;
    const Result first = tabu_search(shop.get(), fixed);
    expect_reported(shop, first);
    EXPECT_EQ(first.value, 55);
    EXPECT_EQ(first.iterations, 3000);

    // From a given start, and stopped at a target.
    Options options;
    options.budget.iterations = 100000;
    options.target = 55;
    TabuSearchParameters parameters;
    parameters.start = dispatch(shop.get(), PriorityRule::lpt).sequence;
    const Result result = tabu_search(shop.get(), options, parameters);
    EXPECT_EQ(result.value, 55);
    EXPECT_LT(result.iterations, 100000);
}

// The machine orders of a graph, and an acyclicity test of its own: Kahn's
// algorithm on the job and machine arcs.
using Orders = std::vector<std::vector<int>>;

Orders orders_of(const DisjunctiveGraph& graph) {
    Orders orders;
    for (int m = 0; m < graph.machines(); ++m)
        orders.emplace_back(graph.machine_order(m).begin(), graph.machine_order(m).end());
    return orders;
}

bool acyclic(const DisjunctiveGraph& graph, const Orders& orders) {
    const int m = graph.machines();
    std::vector<std::vector<int>> next(static_cast<std::size_t>(graph.operations()));
    std::vector<int> in(static_cast<std::size_t>(graph.operations()), 0);
    auto arc = [&](int a, int b) {
        next[static_cast<std::size_t>(a)].push_back(b);
        ++in[static_cast<std::size_t>(b)];
    };
    for (int op = 0; op < graph.operations(); ++op)
        if ((op + 1) % m != 0) arc(op, op + 1);
    for (const auto& order : orders)
        for (std::size_t k = 0; k + 1 < order.size(); ++k) arc(order[k], order[k + 1]);
    std::vector<int> ready;
    for (int op = 0; op < graph.operations(); ++op)
        if (in[static_cast<std::size_t>(op)] == 0) ready.push_back(op);
    int reached = 0;
    while (!ready.empty()) {
        const int op = ready.back();
        ready.pop_back();
        ++reached;
        for (int after : next[static_cast<std::size_t>(op)])
            if (--in[static_cast<std::size_t>(after)] == 0) ready.push_back(after);
    }
    return reached == graph.operations();
}

// The machine orders once a move is made, computed here.
Orders moved(const DisjunctiveGraph& graph, const Move& move) {
    Orders orders = orders_of(graph);
    auto& order = orders[static_cast<std::size_t>(graph.machine(move.operation))];
    order.erase(std::find(order.begin(), order.end(), move.operation));
    const auto at = std::find(order.begin(), order.end(), move.target);
    order.insert(move.after ? at + 1 : at, move.operation);
    return orders;
}

// Where the moves of a test come from.
enum class Kind { random_swap, random_move, n5, n6 };

struct MoveKind {
    const char* name;
    Kind kind;
};

void PrintTo(const MoveKind& kind, std::ostream* out) { *out << kind.name; }

class GraphMoves : public testing::TestWithParam<MoveKind> {};

// After every move of a random walk: the heads are the toolkit's start times
// of the graph's sequence, heads and tails equal those of a full
// recomputation, the critical path is as long as the makespan, a move
// refused for a cycle closes one and a move offered closes none (by a full
// acyclicity test); a swap's estimate is a lower bound of the new makespan
// and equal to it when it does not fall below the old one, and any move's
// estimate is at least the moved operation's longest path afterwards.
TEST_P(GraphMoves, AgainstAFullRecomputation) {
    const Kind kind = GetParam().kind;
    std::mt19937 rng(17);
    auto below = [&](int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(rng); };
    int exact = 0;
    int made = 0;
    for (unsigned seed = 1; seed <= 6; ++seed) {
        const Shop shop = random_shop(seed, 8, 5, seed % 2 ? 1 : -3, seed % 3 ? 40 : 0);
        DisjunctiveGraph graph(shop.get());
        DisjunctiveGraph full(shop.get());
        const std::vector<int> start = dispatch(shop.get(), PriorityRule::random, GenerationScheme::active, seed).sequence;
        graph.assign(start);
        full.assign(start);
        for (int step = 0; step < 80; ++step) {
            const long before = graph.makespan();
            const std::vector<int> now = graph.sequence();
            ASSERT_EQ(before, cmax(shop, now));
            ASSERT_EQ(before, full.makespan());
            const auto operations = schedule::schedule_operations(shop.get(), now);
            for (std::size_t k = 0; k < operations.size(); ++k) {
                const int op = operations[k].job * graph.machines() + static_cast<int>(k) % graph.machines();
                ASSERT_EQ(graph.head(op), operations[k].start);
                ASSERT_EQ(graph.tail(op), full.tail(op));
                ASSERT_LE(graph.head(op) + graph.duration(op) + graph.tail(op), before);
            }
            for (int op : graph.critical_path())
                EXPECT_EQ(graph.head(op) + graph.duration(op) + graph.tail(op), before);

            std::vector<Move> offered;
            if (kind == Kind::n6) offered = graph.n6_moves();
            if (kind == Kind::n5)
                for (int u : graph.n5_moves())
                    if (!graph.swap_closes_cycle(u)) offered.push_back(DisjunctiveGraph::swap_move(u, graph.machine_successor(u)));
            for (const Move& move : offered) {
                EXPECT_FALSE(graph.closes_cycle(move));
                EXPECT_TRUE(acyclic(graph, moved(graph, move)));
            }
            Move move{};
            if (kind == Kind::random_swap || kind == Kind::random_move) {
                const int machine = below(graph.machines());
                const int from = below(graph.jobs());
                int to = below(graph.jobs() - 1);
                if (kind == Kind::random_swap) to = from == graph.jobs() - 1 ? from - 1 : from + 1;
                else if (to >= from) ++to;
                const std::span<const int> order = graph.machine_order(machine);
                move = Move{order[static_cast<std::size_t>(from)], order[static_cast<std::size_t>(to)], to > from};
                const bool cycle = !acyclic(graph, moved(graph, move));
                ASSERT_EQ(graph.closes_cycle(move), cycle);
                if (cycle) {
                    EXPECT_THROW(graph.move(move), schedule::Error);
                    continue;
                }
            } else {
                if (offered.empty()) break;  // an optimum, or no move N6's tests admit
                move = offered[static_cast<std::size_t>(below(static_cast<int>(offered.size())))];
            }
            const Orders expected = moved(graph, move);
            const long estimate = graph.estimate(move);
            const int u = move.operation;
            const bool swap = graph.machine_predecessor(u) == move.target || graph.machine_successor(u) == move.target;
            graph.move(move);
            full.move(move, Update::full);
            ++made;
            EXPECT_EQ(orders_of(graph), expected);
            EXPECT_EQ(orders_of(full), expected);
            const long after = graph.makespan();
            EXPECT_GE(estimate, graph.head(u) + graph.duration(u) + graph.tail(u));
            if (swap) {
                EXPECT_GE(after, estimate);
                if (estimate >= before) {
                    EXPECT_EQ(after, estimate);
                    ++exact;
                }
            }
        }
    }
    EXPECT_GT(made, 100);
    if (kind == Kind::random_swap) {
        EXPECT_GT(exact, 50);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, GraphMoves,
                         testing::Values(MoveKind{"RandomSwaps", Kind::random_swap},
                                         MoveKind{"RandomMoves", Kind::random_move}, MoveKind{"N5", Kind::n5},
                                         MoveKind{"N6", Kind::n6}),
                         [](const testing::TestParamInfo<MoveKind>& info) { return std::string(info.param.name); });

// u → (zero-length) → (zero-length) → v: swapping u and v would close a cycle.
TEST(DisjunctiveGraph, RefusesASwapClosingACycle) {
    Shop shop = blank_shop(2, 2);
    schedule::JOBSHOP& x = shop.get();
    // Job 0: machine 0 for 5, then machine 1 for 0; job 1: machine 1 for 0, then machine 0 for 4.
    x.rt[0][0] = 0, x.rt[0][1] = 1, x.rt[1][0] = 1, x.rt[1][1] = 0;
    x.pt[0][0] = 5, x.pt[1][0] = 0, x.pt[1][1] = 0, x.pt[0][1] = 4;
    DisjunctiveGraph graph(x);
    graph.assign(std::vector<int>{0, 0, 1, 1});
    EXPECT_EQ(graph.makespan(), 9);
    EXPECT_TRUE(graph.swap_closes_cycle(0));
    EXPECT_THROW(graph.swap(0), schedule::Error);
    EXPECT_FALSE(graph.swap_closes_cycle(1));

    Options options;
    options.budget.iterations = 50;
    const Result result = tabu_search(x, options);
    EXPECT_EQ(result.value, 9);
}

// Active: no operation fits into an idle gap before it on its machine.
// Non-delay: no machine idles while an operation waiting for it could run.
TEST(Dispatch, SchedulesAreActiveOrNonDelay) {
    for (unsigned seed = 1; seed <= 4; ++seed) {
        const Shop shop = random_shop(seed, 10, 6, 1, seed % 2 ? 60 : 0);
        for (GenerationScheme scheme : {GenerationScheme::active, GenerationScheme::non_delay})
            for (PriorityRule rule : priority_rules) {
                const Result result = dispatch(shop.get(), rule, scheme, seed);
                const auto ops = schedule::schedule_operations(shop.get(), result.sequence);
                std::vector<std::vector<schedule::Operation>> machine(static_cast<std::size_t>(shop.machines()));
                for (const auto& o : ops) machine[static_cast<std::size_t>(o.machine)].push_back(o);
                for (auto& on : machine)
                    std::sort(on.begin(), on.end(), [](const auto& a, const auto& b) { return a.start < b.start; });
                for (std::size_t k = 0; k < ops.size(); ++k) {
                    const auto& o = ops[k];
                    const long ready = k % static_cast<std::size_t>(shop.machines()) == 0
                                           ? std::max(shop->r[o.job], 0)
                                           : ops[k - 1].end;
                    long free_from = 0;
                    for (const auto& other : machine[static_cast<std::size_t>(o.machine)]) {
                        if (other.start >= o.start) break;
                        const long idle_start = std::max(free_from, ready);
                        if (scheme == GenerationScheme::active)
                            EXPECT_GT(idle_start + (o.end - o.start), other.start) << rule_name(rule) << " active";
                        else
                            EXPECT_GE(idle_start, other.start) << rule_name(rule) << " non-delay";
                        free_from = other.end;
                    }
                    if (scheme == GenerationScheme::non_delay) {
                        EXPECT_EQ(o.start, std::max(free_from, ready));
                    }
                }
            }
    }
}

TEST(Dispatch, RulesPickAsTheyPromise) {
    // One machine, three jobs released at 0: the order is the rule's.
    Shop shop = blank_shop(3, 1);
    schedule::JOBSHOP& x = shop.get();
    const int p[] = {4, 2, 7};
    for (int j = 0; j < 3; ++j) x.pt[0][j] = p[j], x.rt[j][0] = 0;
    EXPECT_EQ(dispatch(x, PriorityRule::spt).sequence, (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(dispatch(x, PriorityRule::lpt).sequence, (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(dispatch(x, PriorityRule::mwkr).sequence, (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(dispatch(x, PriorityRule::lwkr).sequence, (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(dispatch(x, PriorityRule::fifo).sequence, (std::vector<int>{0, 1, 2}));
    // Released at 3, 0, 1: non-delay starts job 1 at 0; active lets LPT start job 2 at 1, before it.
    x.r[0] = 3, x.r[1] = 0, x.r[2] = 1;
    EXPECT_EQ(dispatch(x, PriorityRule::lpt, GenerationScheme::non_delay).sequence, (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(dispatch(x, PriorityRule::lpt, GenerationScheme::active).sequence, (std::vector<int>{2, 0, 1}));
}

TEST(JobShop, RefusesWhatItCannotSolve) {
    Shop shop = random_shop(1, 3, 3, 1, 0);
    Options options;
    options.budget.iterations = 10;
    TabuSearchParameters bad_start;
    bad_start.start = {0, 1, 2};
    EXPECT_THROW(tabu_search(shop.get(), options, bad_start), schedule::Error);
    EXPECT_THROW(tabu_search(shop.get(), Options{}), schedule::Error);
    shop.get().rt[1][2] = shop.get().rt[1][0];  // job 1 visits a machine twice
    EXPECT_THROW(dispatch(shop.get(), PriorityRule::spt), schedule::Error);
    shop = random_shop(1, 3, 3, 1, 0);
    shop.get().pt[0][0] = -1;
    EXPECT_THROW(tabu_search(shop.get(), options), schedule::Error);
}

// Every job-shop method of the registry runs on a named instance.
TEST(JobShop, RegistryRunsEveryJobShopMethod) {
    std::vector<std::string> names;
    for (const solvers::Method& method : solvers::methods())
        if (std::find(method.environments.begin(), method.environments.end(), schedule::Environment::jobshop) !=
            method.environments.end())
            names.push_back(method.name);
    EXPECT_EQ(names.size(), 20u);  // 14 rules, ts and its 4 variants, generic
    for (const std::string& name : names) {
        experiment::Settings settings;
        settings.method = name;
        settings.iterations = 2000;
        const experiment::Row row = experiment::run(*benchmarks::find("ft06"), settings);
        EXPECT_GE(row.value, 55) << name;
        if (name.rfind("ts", 0) == 0) {
            EXPECT_EQ(row.value, 55);
        }
    }
}

}  // namespace
