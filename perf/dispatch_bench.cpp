// Where the earliest-free rule changes construction: the library's scan of
// the machines and its tournament over their free times, each
// forced, on identical machines (the total completion time of 10 000 jobs),
// with release dates ("crossover/") and without ("crossover0/"), for growing
// numbers of machines; beside them the floors' scan and heap (folding the
// weighted tardiness, or Cmax without release dates, instead). Sixteen
// sequences are taken in turn, as in the evaluator benchmarks.
// parallel_machines::tournament_from and its companions are set from these
// figures.
#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <string>

#include "perf/bench_instances.h"
#include "perf/floors.h"
#include "perf/registration.h"
#include "evaluation/parallel_machines_schedule.h"
#include "schedule/schedule.h"

namespace {

using namespace schedule;
using namespace schedule::parallel_machines;

template <Search search, class Releases>
long total_completion(const int* seq, const PARALLEL_MACHINES& in, Releases releases) {
    long sum = 0;
    build<Dispatch::earliest_free, search>(seq, in.jobs, in.machines, IdenticalTimes{in.pt}, releases,
                                           [&sum](int, int, long, long end) { sum += end; });
    return sum;
}

void per_job(benchmark::State& state, int jobs) {
    state.counters["per_job"] = benchmark::Counter(
        static_cast<double>(jobs), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

template <class Evaluate>
void timed(const std::string& name, int jobs, Evaluate evaluate) {
    benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
        std::size_t i = 0;
        for (auto _ : state) benchmark::DoNotOptimize(evaluate(i++ % 16));
        per_job(state, jobs);
    });
}

}  // namespace

void register_dispatch_benchmarks() {
    const int jobs = 10000;
    for (const int machines : {2, 3, 4, 6, 8, 12, 16, 20, 24, 28, 32, 48, 64, 128, 1000}) {
        const PARALLEL_MACHINES in = bench::parallel_machines(7, jobs, machines);
        bench::Random random(107);
        std::array<const int*, 16> seqs;
        for (auto& seq : seqs) seq = bench::random_sequence(random, jobs);
        long* work = newLVector(machines);
        auto* heap = new floors::HeapEntry[machines];
        const Released released{in.r};
        const std::string m = "/" + std::to_string(machines);
        timed("crossover/scan" + m, jobs,
              [=](std::size_t i) { return total_completion<Search::scan>(seqs[i], in, released); });
        timed("crossover/tournament" + m, jobs,
              [=](std::size_t i) { return total_completion<Search::tournament>(seqs[i], in, released); });
        timed("crossover/floor-scan" + m, jobs,
              [=](std::size_t i) { return floors::pm_rj_wj_sum_tj(seqs[i], in, work); });
        timed("crossover/floor-heap" + m, jobs,
              [=](std::size_t i) { return floors::pm_rj_wj_sum_tj_heap(seqs[i], in, heap); });
        timed("crossover0/scan" + m, jobs,
              [=](std::size_t i) { return total_completion<Search::scan>(seqs[i], in, FromTimeZero{}); });
        timed("crossover0/tournament" + m, jobs,
              [=](std::size_t i) { return total_completion<Search::tournament>(seqs[i], in, FromTimeZero{}); });
        timed("crossover0/floor-scan" + m, jobs,
              [=](std::size_t i) { return floors::pm_cmax(seqs[i], jobs, machines, in.pt, work); });
        timed("crossover0/floor-heap" + m, jobs,
              [=](std::size_t i) { return floors::pm_cmax_heap(seqs[i], jobs, machines, in.pt, heap); });
    }
}
