// Evaluator benchmarks: for each environment and size, Cmax, the weighted
// total tardiness and the completion-time vector, each next to its floor
// (same name under "floor/"). Before anything is timed, every floor is checked
// to return exactly what the library returns, bit for bit.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cstdint>
#include <string>

#include "perf/bench_instances.h"
#include "perf/floors.h"
#include "perf/registration.h"
#include "schedule/schedule.h"

namespace {

using namespace schedule;

// Time per job-machine cell (n · m), in seconds; shown next to time per call.
void count_cells(benchmark::State& state, long cells) {
    state.counters["per_cell"] = benchmark::Counter(static_cast<double>(cells),
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}

template <class T>
bool same_bits(T a, T b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

[[noreturn]] void disagree(const std::string& name) {
    std::fprintf(stderr, "%s: the floor and the library disagree\n", name.c_str());
    std::exit(1);
}

// The sequences an evaluator is timed on: `count` random permutations (job
// sequences, or operation sequences for the job shop), taken in turn, one per
// call. With a single sequence called over and over, the processor's branch
// predictor learns the whole run of a thousand-job schedule by heart, and a
// branchy loop then looks far faster than it is on the sequences a heuristic
// evaluates, each new. Sixteen in turn were still learnt in part (a binary
// heap over 5 machines came out twice as fast as on fresh sequences); with
// 64 the figures match those of 10 000-job runs, which no predictor holds.
struct Sequences {
    static constexpr int count = 64;
    const int* seq[count];
    const int* operator[](std::size_t i) const { return seq[i % count]; }
};

Sequences job_sequences(std::uint64_t seed, int jobs) {
    bench::Random random(seed);
    Sequences s{};
    for (auto& seq : s.seq) seq = bench::random_sequence(random, jobs);
    return s;
}

Sequences operation_sequences(std::uint64_t seed, int jobs, int machines) {
    bench::Random random(seed);
    Sequences s{};
    for (auto& seq : s.seq) seq = bench::random_operation_sequence(random, jobs, machines);
    return s;
}

// A scalar evaluator and its floor, both called with a sequence.
template <class Library, class Floor>
void scalar(const std::string& name, long cells, const Sequences& seqs, Library library, Floor floor,
            const std::string& floor_prefix = "floor/") {
    for (const int* seq : seqs.seq) {
        if (!same_bits(library(seq), floor(seq))) disagree(floor_prefix + name);
    }
    if (floor_prefix == "floor/") {
        benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
            std::size_t i = 0;
            for (auto _ : state) benchmark::DoNotOptimize(library(seqs[i++]));
            count_cells(state, cells);
        });
    }
    benchmark::RegisterBenchmark((floor_prefix + name).c_str(), [=](benchmark::State& state) {
        std::size_t i = 0;
        for (auto _ : state) benchmark::DoNotOptimize(floor(seqs[i++]));
        count_cells(state, cells);
    });
}

// A completion-time evaluator, which returns a new vector the caller releases,
// and its floor, which fills a vector it is given. The result is part of what
// is asked for, so the floor too gets a new one from malloc at every call.
template <class Library, class Floor>
void completion_vector(const std::string& name, long cells, int jobs, const Sequences& seqs, Library library,
                       Floor floor, const std::string& floor_prefix = "floor/") {
    const std::size_t bytes = sizeof(long) * static_cast<std::size_t>(jobs);
    for (const int* seq : seqs.seq) {
        long* expected = library(seq);
        long* out = static_cast<long*>(std::malloc(bytes));
        floor(seq, out);
        if (std::memcmp(expected, out, bytes) != 0) disagree(floor_prefix + name);
        std::free(expected);
        std::free(out);
    }
    if (floor_prefix == "floor/") {
        benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
            std::size_t i = 0;
            for (auto _ : state) {
                long* c = library(seqs[i++]);
                benchmark::DoNotOptimize(c);
                std::free(c);
            }
            count_cells(state, cells);
        });
    }
    benchmark::RegisterBenchmark((floor_prefix + name).c_str(), [=](benchmark::State& state) {
        std::size_t i = 0;
        for (auto _ : state) {
            long* c = static_cast<long*>(std::malloc(bytes));
            floor(seqs[i++], c);
            benchmark::DoNotOptimize(c);
            std::free(c);
        }
        count_cells(state, cells);
    });
}

std::string shape(int jobs, int machines) { return "/" + std::to_string(jobs) + "x" + std::to_string(machines); }

void single_machine(int jobs) {
    const SINGLE_MACHINE in = bench::single_machine(1, jobs);
    const Sequences seqs = job_sequences(101, jobs);
    const std::string size = shape(jobs, 1);
    scalar("S1_Cmax" + size, jobs, seqs, [=](const int* seq) { return S1_Cmax(seq, in.jobs, in.pt); },
           [=](const int* seq) { return floors::s1_cmax(seq, in.jobs, in.pt); });
    scalar("S1_Rj_Wj_SumTj" + size, jobs, seqs, [=](const int* seq) { return S1_Rj_Wj_SumTj(seq, in); },
           [=](const int* seq) { return floors::s1_rj_wj_sum_tj(seq, in); });
    completion_vector("S1_Rj_Cj" + size, jobs, jobs, seqs, [=](const int* seq) { return S1_Rj_Cj(seq, in); },
           [=](const int* seq, long* c) { floors::s1_rj_cj(seq, in, c); });
}

void flow_shop(int jobs, int machines) {
    const FLOWSHOP in = bench::flow_shop(2, jobs, machines);
    const Sequences seqs = job_sequences(102, jobs);
    long* work = newLVector(machines);
    const std::string size = shape(jobs, machines);
    const long cells = static_cast<long>(jobs) * machines;
    scalar("Fm_Prmu_Cmax" + size, cells, seqs, [=](const int* seq) { return Fm_Prmu_Cmax(seq, in.jobs, in.machines, in.pt); },
           [=](const int* seq) { return floors::fm_cmax(seq, in.jobs, in.machines, in.pt, work); });
    scalar("Fm_Prmu_Rj_Wj_SumTj" + size, cells, seqs, [=](const int* seq) { return Fm_Prmu_Rj_Wj_SumTj(seq, in); },
           [=](const int* seq) { return floors::fm_rj_wj_sum_tj(seq, in, work); });
    completion_vector("Fm_Prmu_Rj_Cj" + size, cells, jobs, seqs, [=](const int* seq) { return Fm_Prmu_Rj_Cj(seq, in); },
           [=](const int* seq, long* c) { floors::fm_rj_cj(seq, in, work, c); });
}

void identical_machines(int jobs, int machines) {
    const PARALLEL_MACHINES in = bench::parallel_machines(3, jobs, machines);
    const Sequences seqs = job_sequences(103, jobs);
    long* work = newLVector(machines);
    const std::string size = shape(jobs, machines);
    const long cells = static_cast<long>(jobs) * machines;
    scalar("Pm_Cmax" + size, cells, seqs, [=](const int* seq) { return Pm_Cmax(seq, in.jobs, in.machines, in.pt); },
           [=](const int* seq) { return floors::pm_cmax(seq, in.jobs, in.machines, in.pt, work); });
    scalar("Pm_Rj_Wj_SumTj" + size, cells, seqs, [=](const int* seq) { return Pm_Rj_Wj_SumTj(seq, in); },
           [=](const int* seq) { return floors::pm_rj_wj_sum_tj(seq, in, work); });
    completion_vector("Pm_Rj_Cj" + size, cells, jobs, seqs, [=](const int* seq) { return Pm_Rj_Cj(seq, in); },
           [=](const int* seq, long* c) { floors::pm_rj_cj(seq, in, work, c); });
    auto* heap = new floors::HeapEntry[machines];
    scalar("Pm_Cmax" + size, cells, seqs, [=](const int* seq) { return Pm_Cmax(seq, in.jobs, in.machines, in.pt); },
           [=](const int* seq) { return floors::pm_cmax_heap(seq, in.jobs, in.machines, in.pt, heap); },
           "floor-heap/");
    scalar("Pm_Rj_Wj_SumTj" + size, cells, seqs, [=](const int* seq) { return Pm_Rj_Wj_SumTj(seq, in); },
           [=](const int* seq) { return floors::pm_rj_wj_sum_tj_heap(seq, in, heap); },
           "floor-heap/");
    completion_vector("Pm_Rj_Cj" + size, cells, jobs, seqs, [=](const int* seq) { return Pm_Rj_Cj(seq, in); },
           [=](const int* seq, long* c) { floors::pm_rj_cj_heap(seq, in, heap, c); },
           "floor-heap/");
}

void uniform_machines(int jobs, int machines) {
    const RELATED_MACHINES in = bench::uniform_machines(4, jobs, machines);
    const Sequences seqs = job_sequences(104, jobs);
    long* work = newLVector(machines);
    const std::string size = shape(jobs, machines);
    const long cells = static_cast<long>(jobs) * machines;
    scalar("Qm_Cmax" + size, cells, seqs, [=](const int* seq) { return Qm_Cmax(seq, in.jobs, in.machines, in.pt, in.v); },
           [=](const int* seq) { return floors::qm_cmax(seq, in.jobs, in.machines, in.pt, in.v, work); });
    scalar("Qm_Rj_Wj_SumTj" + size, cells, seqs, [=](const int* seq) { return Qm_Rj_Wj_SumTj(seq, in); },
           [=](const int* seq) { return floors::qm_rj_wj_sum_tj(seq, in, work); });
    completion_vector("Qm_Rj_Cj" + size, cells, jobs, seqs, [=](const int* seq) { return Qm_Rj_Cj(seq, in); },
           [=](const int* seq, long* c) { floors::qm_rj_cj(seq, in, work, c); });
    auto* heap = new floors::HeapEntry[machines];
    scalar("Qm_Rj_Wj_SumTj" + size, cells, seqs, [=](const int* seq) { return Qm_Rj_Wj_SumTj(seq, in); },
           [=](const int* seq) { return floors::qm_rj_wj_sum_tj_heap(seq, in, heap); },
           "floor-heap/");
    completion_vector("Qm_Rj_Cj" + size, cells, jobs, seqs, [=](const int* seq) { return Qm_Rj_Cj(seq, in); },
           [=](const int* seq, long* c) { floors::qm_rj_cj_heap(seq, in, heap, c); },
           "floor-heap/");
}

void unrelated_machines(int jobs, int machines) {
    const UNRELATED_MACHINES in = bench::unrelated_machines(5, jobs, machines);
    const Sequences seqs = job_sequences(105, jobs);
    long* work = newLVector(machines);
    const std::string size = shape(jobs, machines);
    const long cells = static_cast<long>(jobs) * machines;
    scalar("Rm_Cmax" + size, cells, seqs, [=](const int* seq) { return Rm_Cmax(seq, in.jobs, in.machines, in.pt); },
           [=](const int* seq) { return floors::rm_cmax(seq, in.jobs, in.machines, in.pt, work); });
    scalar("Rm_Rj_Wj_SumTj" + size, cells, seqs, [=](const int* seq) { return Rm_Rj_Wj_SumTj(seq, in); },
           [=](const int* seq) { return floors::rm_rj_wj_sum_tj(seq, in, work); });
    completion_vector("Rm_Rj_Cj" + size, cells, jobs, seqs, [=](const int* seq) { return Rm_Rj_Cj(seq, in); },
           [=](const int* seq, long* c) { floors::rm_rj_cj(seq, in, work, c); });
}

void job_shop(int jobs, int machines) {
    const JOBSHOP in = bench::job_shop(6, jobs, machines);
    const Sequences seqs = operation_sequences(106, jobs, machines);
    const floors::JobShopWork work{newLVector(jobs), newIVector(jobs), newLVector(machines)};
    const std::string size = shape(jobs, machines);
    const long cells = static_cast<long>(jobs) * machines;
    scalar("Jm_Rj_Cmax" + size, cells, seqs, [=](const int* seq) { return Jm_Rj_Cmax(seq, in); },
           [=](const int* seq) { return floors::jm_rj_cmax(seq, in, work); });
    scalar("Jm_Rj_Wj_SumTj" + size, cells, seqs, [=](const int* seq) { return Jm_Rj_Wj_SumTj(seq, in); },
           [=](const int* seq) { return floors::jm_rj_wj_sum_tj(seq, in, work); });
    completion_vector("Jm_Rj_Cj" + size, cells, jobs, seqs, [=](const int* seq) { return Jm_Rj_Cj(seq, in); },
           [=](const int* seq, long* c) { floors::jm_rj_cj(seq, in, work, c); });
}

}  // namespace

void register_evaluator_benchmarks() {
    single_machine(10000);
    flow_shop(20, 5);
    flow_shop(100, 20);
    flow_shop(500, 20);
    for (const int machines : {5, 50}) {
        identical_machines(1000, machines);
        uniform_machines(1000, machines);
        unrelated_machines(1000, machines);
    }
    // Many machines: the earliest-free rule's tournament against the heap.
    identical_machines(20000, 200);
    uniform_machines(20000, 200);
    unrelated_machines(20000, 200);
    unrelated_machines(1000, 200);
    for (const int machines : {10, 20, 30}) {
        uniform_machines(1000, machines);
        unrelated_machines(1000, machines);
    }
    job_shop(20, 15);
    job_shop(100, 20);
}
