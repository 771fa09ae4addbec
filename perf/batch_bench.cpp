// Batch entry points against calling the one-at-a-time evaluator in a loop
// over the same sequences: 512 random sequences of one instance per call,
// time per sequence. Before anything is timed, the batch results are checked
// to be bit for bit those of the loop.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "perf/bench_instances.h"
#include "perf/registration.h"
#include "evaluation/batch.h"
#include "schedule/schedule.h"

namespace {

using namespace schedule;

constexpr int count = 512;

void per_sequence(benchmark::State& state) {
    state.counters["per_sequence"] = benchmark::Counter(
        count, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// batch(out) fills `count` results; one(s, out) the result of sequence s.
template <class T, class Batch, class One>
void pair(const std::string& name, Batch batch, One one) {
    std::vector<T> a(count), b(count);
    batch(a.data());
    for (int s = 0; s < count; ++s) b[s] = one(s);
    if (std::memcmp(a.data(), b.data(), sizeof(T) * count) != 0) {
        std::fprintf(stderr, "%s: the batch and the loop disagree\n", name.c_str());
        std::exit(1);
    }
    benchmark::RegisterBenchmark(("batch/" + name).c_str(), [=](benchmark::State& state) {
        std::vector<T> out(count);
        for (auto _ : state) {
            batch(out.data());
            benchmark::DoNotOptimize(out.data());
        }
        per_sequence(state);
    });
    benchmark::RegisterBenchmark(("loop/" + name).c_str(), [=](benchmark::State& state) {
        std::vector<T> out(count);
        for (auto _ : state) {
            for (int s = 0; s < count; ++s) out[s] = one(s);
            benchmark::DoNotOptimize(out.data());
        }
        per_sequence(state);
    });
}

const int* sequences(std::uint64_t seed, int jobs) {
    bench::Random random(seed);
    int* seqs = newIVector(count * jobs);
    for (int s = 0; s < count; ++s) {
        int* seq = bench::random_sequence(random, jobs);
        for (int k = 0; k < jobs; ++k) seqs[s * jobs + k] = seq[k];
        std::free(seq);
    }
    return seqs;
}

void flow_shop(int jobs, int machines) {
    const FLOWSHOP in = bench::flow_shop(2, jobs, machines);
    const int* seqs = sequences(108, jobs);
    const std::string size = "/" + std::to_string(jobs) + "x" + std::to_string(machines);
    pair<long>("Fm_Prmu_Cmax" + size,
               [=](long* out) { Fm_Prmu_Cmax_many(seqs, count, in.jobs, in.machines, in.pt, out); },
               [=](int s) { return Fm_Prmu_Cmax(seqs + s * jobs, in.jobs, in.machines, in.pt); });
    pair<double>("Fm_Prmu_Rj_Wj_SumTj" + size, [=](double* out) { Fm_Prmu_Rj_Wj_SumTj_many(seqs, count, in, out); },
                 [=](int s) { return Fm_Prmu_Rj_Wj_SumTj(seqs + s * jobs, in); });
    pair<long>("Fm_Prmu_Rj_SumCj" + size, [=](long* out) { Fm_Prmu_Rj_SumCj_many(seqs, count, in, out); },
               [=](int s) { return Fm_Prmu_Rj_SumCj(seqs + s * jobs, in); });
}

void single_machine(int jobs) {
    const SINGLE_MACHINE in = bench::single_machine(1, jobs);
    const int* seqs = sequences(109, jobs);
    const std::string size = "/" + std::to_string(jobs) + "x1";
    pair<long>("S1_Cmax" + size, [=](long* out) { S1_Cmax_many(seqs, count, in.jobs, in.pt, out); },
               [=](int s) { return S1_Cmax(seqs + s * jobs, in.jobs, in.pt); });
    pair<double>("S1_Rj_Wj_SumTj" + size, [=](double* out) { S1_Rj_Wj_SumTj_many(seqs, count, in, out); },
                 [=](int s) { return S1_Rj_Wj_SumTj(seqs + s * jobs, in); });
}

}  // namespace

void register_batch_benchmarks() {
    flow_shop(50, 20);
    flow_shop(500, 20);
    single_machine(100);
    single_machine(1000);
}

const char* batch_instruction_set() {
    switch (schedule::batch::isa()) {
        case schedule::batch::Isa::avx512: return "AVX-512";
        case schedule::batch::Isa::avx2: return "AVX2";
        default: return "scalar";
    }
}
