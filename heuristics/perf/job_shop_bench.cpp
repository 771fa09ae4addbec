// The job shop's tabu search, timed on ta51 (50 × 15) and ta71 (100 × 20):
//   step/<name>/<neighbourhood>/<update>
//                      one step of the search's loop on the disjunctive graph —
//                      the N5 or N6 moves of a critical path, each estimated
//                      from heads and tails, the best one not undone within
//                      the last 10 steps made, heads and tails brought up to
//                      date incrementally or recomputed in full (as every step
//                      did before the incremental update);
//                      "neighbours" counts the estimated moves per second;
//   estimate/<name>    the estimates alone, for every N5 move of one schedule;
//   evaluation/<name>  Jm_Rj_Cmax of a whole operation sequence: what each
//                      neighbour would cost if the schedule were rebuilt;
//   tabu_search/<name>/<variant>
//                      the whole search with an iteration budget of 2 000 moves
//                      (moves per second): N5 with back jumps (the search before
//                      N6 and path relinking) and the defaults.
// All start from the active schedule of the MWKR rule.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include <zurududo/benchmarks.h>
#include <zurududo/disjunctive_graph.h>
#include <zurududo/heuristics.h>

namespace {

using namespace zurududo;

struct Shop {
    schedule::Instance<schedule::JOBSHOP> instance;
    std::vector<int> start;
};

Shop shop(const std::string& name) {
    Shop s{benchmarks::make_jobshop(*benchmarks::find(name)), {}};
    s.start = heuristics::dispatch(s.instance.get(), heuristics::PriorityRule::mwkr).sequence;
    return s;
}

// One step of the search's loop; `update` says how heads and tails follow
// the move made (Update::full is the way of every step before they were
// brought up to date incrementally).
void step(benchmark::State& state, const std::string& name, heuristics::Neighbourhood neighbourhood,
          heuristics::Update update) {
    using heuristics::DisjunctiveGraph;
    using heuristics::Move;
    const Shop s = shop(name);
    DisjunctiveGraph graph(s.instance.get());
    graph.assign(s.start);
    std::deque<std::pair<int, int>> recent;
    std::vector<Move> moves;
    long neighbours = 0;
    for (auto _ : state) {
        moves.clear();
        if (neighbourhood == heuristics::Neighbourhood::n6) moves = graph.n6_moves();
        if (moves.empty())
            for (int u : graph.n5_moves())
                if (!graph.swap_closes_cycle(u)) moves.push_back(DisjunctiveGraph::swap_move(u, graph.machine_successor(u)));
        std::optional<Move> chosen;
        long chosen_value = 0;
        for (const Move& move : moves) {
            const long value = graph.estimate(move);
            ++neighbours;
            const std::pair<int, int> arc{move.target, move.operation};
            if (std::find(recent.begin(), recent.end(), arc) != recent.end()) continue;
            if (!chosen || value < chosen_value) chosen = move, chosen_value = value;
        }
        if (!chosen) {
            graph.assign(s.start);
            recent.clear();
            continue;
        }
        recent.emplace_back(chosen->operation, chosen->target);
        if (recent.size() > 10) recent.pop_front();
        graph.move(*chosen, update);
        benchmark::DoNotOptimize(graph.makespan());
    }
    state.counters["neighbours"] = benchmark::Counter(static_cast<double>(neighbours), benchmark::Counter::kIsRate);
    state.counters["per_step"] = static_cast<double>(neighbours) / static_cast<double>(state.iterations());
}

void estimate(benchmark::State& state, const std::string& name) {
    const Shop s = shop(name);
    heuristics::DisjunctiveGraph graph(s.instance.get());
    graph.assign(s.start);
    const std::vector<int> moves = graph.n5_moves();
    for (auto _ : state)
        for (int u : moves) benchmark::DoNotOptimize(graph.swap_estimate(u));
    state.counters["neighbours"] =
        benchmark::Counter(static_cast<double>(moves.size()) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}

void evaluation(benchmark::State& state, const std::string& name) {
    const Shop s = shop(name);
    for (auto _ : state) benchmark::DoNotOptimize(schedule::Jm_Rj_Cmax(s.start.data(), s.instance.get()));
    state.counters["neighbours"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void search(benchmark::State& state, const std::string& name, heuristics::Neighbourhood neighbourhood,
            heuristics::Escape escape) {
    const Shop s = shop(name);
    heuristics::Options options;
    options.budget.iterations = 2000;
    heuristics::TabuSearchParameters parameters;
    parameters.neighbourhood = neighbourhood;
    parameters.escape = escape;
    parameters.start = s.start;
    long moves = 0;
    for (auto _ : state) {
        const heuristics::Result result = heuristics::tabu_search(s.instance.get(), options, parameters);
        moves += result.iterations;
        benchmark::DoNotOptimize(result.value);
    }
    state.counters["moves"] = benchmark::Counter(static_cast<double>(moves), benchmark::Counter::kIsRate);
}

const bool registered = [] {
    for (const std::string name : {"ta51", "ta71"}) {
        using heuristics::Neighbourhood;
        using heuristics::Update;
        for (const auto& [label, neighbourhood] : {std::pair{"n5", Neighbourhood::n5}, std::pair{"n6", Neighbourhood::n6}})
            for (const auto& [kind, update] : {std::pair{"full", Update::full}, std::pair{"incremental", Update::incremental}})
                benchmark::RegisterBenchmark(("step/" + name + "/" + label + "/" + kind).c_str(), step, name,
                                             neighbourhood, update);
        benchmark::RegisterBenchmark(("estimate/" + name).c_str(), estimate, name);
        benchmark::RegisterBenchmark(("evaluation/" + name).c_str(), evaluation, name);
        benchmark::RegisterBenchmark(("tabu_search/" + name + "/n5-back-jumps").c_str(), search, name,
                                     Neighbourhood::n5, heuristics::Escape::back_jump)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("tabu_search/" + name + "/defaults").c_str(), search, name, Neighbourhood::n6,
                                     heuristics::Escape::path_relinking)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

}  // namespace

BENCHMARK_MAIN();
