// Best insertion on the flow shop: the makespans of all n insertion positions
// of the last job into a sequence of the other n − 1, by the insertion
// routines ("<routine>/<n>x<m>") and by the loop a heuristic would otherwise
// write ("scratch/<routine>/<n>x<m>"): move the job one position at a time
// and evaluate each whole sequence. Both are checked to give the same values
// before anything is timed.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "perf/bench_instances.h"
#include "perf/registration.h"
#include "schedule/schedule.h"

namespace {

using namespace schedule;

// Fills makespans[l], l = 0 … len, from the whole sequences: the job starts
// after the last position and steps one place towards the front each time.
template <class Evaluate>
void from_scratch(const int* seq, int len, int job, std::vector<int>& whole, long* makespans, Evaluate evaluate) {
    for (int k = 0; k < len; ++k) whole[k] = seq[k];
    whole[len] = job;
    for (int l = len;; --l) {
        makespans[l] = evaluate(whole.data());
        if (l == 0) break;
        std::swap(whole[l - 1], whole[l]);
    }
}

template <class Routine, class Evaluate>
void insertion(const std::string& name, const int* seq, int len, int job, Routine routine, Evaluate evaluate) {
    std::vector<long> fast(len + 1), slow(len + 1);
    std::vector<int> whole(len + 1);
    routine(fast.data());
    from_scratch(seq, len, job, whole, slow.data(), evaluate);
    if (fast != slow) {
        std::fprintf(stderr, "%s: the insertion routine and the whole sequences disagree\n", name.c_str());
        std::exit(1);
    }
    benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
        std::vector<long> makespans(len + 1);
        for (auto _ : state) {
            routine(makespans.data());
            benchmark::DoNotOptimize(makespans.data());
            benchmark::ClobberMemory();
        }
    });
    benchmark::RegisterBenchmark(("scratch/" + name).c_str(), [=](benchmark::State& state) {
        std::vector<long> makespans(len + 1);
        std::vector<int> work(len + 1);
        for (auto _ : state) {
            from_scratch(seq, len, job, work, makespans.data(), evaluate);
            benchmark::DoNotOptimize(makespans.data());
            benchmark::ClobberMemory();
        }
    });
}

void flow_shop_insertion(int jobs, int machines) {
    const FLOWSHOP in = bench::flow_shop(7, jobs, machines);
    bench::Random random(107);
    const int* order = bench::random_sequence(random, jobs);
    const int* seq = order;  // the first n − 1 jobs of the order
    const int len = jobs - 1;
    const int job = order[len];
    const std::string size = "/" + std::to_string(jobs) + "x" + std::to_string(machines);
    insertion(
        "Fm_Prmu_Insert_Cmax" + size, seq, len, job,
        [=](long* makespans) { Fm_Prmu_Insert_Cmax(seq, len, job, in.machines, in.pt, makespans); },
        [=](const int* whole) { return Fm_Prmu_Cmax(whole, in.jobs, in.machines, in.pt); });
    insertion(
        "Fm_Prmu_Rj_Insert_Cmax" + size, seq, len, job,
        [=](long* makespans) { Fm_Prmu_Rj_Insert_Cmax(seq, len, job, in, makespans); },
        [=](const int* whole) { return Fm_Prmu_Rj_Cmax(whole, in); });
}

}  // namespace

void register_insertion_benchmarks() {
    flow_shop_insertion(50, 20);
    flow_shop_insertion(500, 20);
}
