// Where the earliest-free rule changes construction: the library's scan of
// the machines and its tournament over their free times, each forced, on
// identical machines with release dates (the total completion time of 10 000
// jobs), for growing numbers of machines; beside them the plain binary heap of
// the floors and their scan (both folding the weighted tardiness instead).
// parallel_machines::tournament_from is set from these figures.
#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <string>

#include "bench/bench_instances.h"
#include "bench/floors.h"
#include "bench/registration.h"
#include "schedule/evaluation/parallel_machines_schedule.h"
#include "schedule/schedule.h"

namespace {

using namespace schedule;
using namespace schedule::parallel_machines;

template <Search search>
long total_completion(const int* seq, const PARALLEL_MACHINES& in) {
    long sum = 0;
    build<Dispatch::earliest_free, search>(seq, in.jobs, in.machines, IdenticalTimes{in.pt}, Released{in.r},
                                           [&sum](int, int, long, long end) { sum += end; });
    return sum;
}

void per_job(benchmark::State& state, int jobs) {
    state.counters["per_job"] = benchmark::Counter(
        static_cast<double>(jobs), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

void register_dispatch_benchmarks() {
    const int jobs = 10000;
    for (const int machines : {2, 3, 4, 6, 8, 12, 16, 20, 24, 28, 32, 48, 64, 128, 1000}) {
        const PARALLEL_MACHINES in = bench::parallel_machines(7, jobs, machines);
        bench::Random random(107);
        const int* seqs[16];  // taken in turn, as in the evaluator benchmarks
        for (auto& seq : seqs) seq = bench::random_sequence(random, jobs);
        const std::string m = "/" + std::to_string(machines);
        benchmark::RegisterBenchmark(("crossover/scan" + m).c_str(), [=, seqs = std::to_array(seqs)](benchmark::State& state) {
            std::size_t i = 0;
            for (auto _ : state) benchmark::DoNotOptimize(total_completion<Search::scan>(seqs[i++ % 16], in));
            per_job(state, jobs);
        });
        benchmark::RegisterBenchmark(("crossover/tournament" + m).c_str(), [=, seqs = std::to_array(seqs)](benchmark::State& state) {
            std::size_t i = 0;
            for (auto _ : state) benchmark::DoNotOptimize(total_completion<Search::tournament>(seqs[i++ % 16], in));
            per_job(state, jobs);
        });
        long* work = newLVector(machines);
        benchmark::RegisterBenchmark(("crossover/floor-scan" + m).c_str(), [=, seqs = std::to_array(seqs)](benchmark::State& state) {
            std::size_t i = 0;
            for (auto _ : state) benchmark::DoNotOptimize(floors::pm_rj_wj_sum_tj(seqs[i++ % 16], in, work));
            per_job(state, jobs);
        });
        auto* heap = new floors::HeapEntry[machines];
        benchmark::RegisterBenchmark(("crossover/floor-heap" + m).c_str(), [=, seqs = std::to_array(seqs)](benchmark::State& state) {
            std::size_t i = 0;
            for (auto _ : state) benchmark::DoNotOptimize(floors::pm_rj_wj_sum_tj_heap(seqs[i++ % 16], in, heap));
            per_job(state, jobs);
        });
    }
}
