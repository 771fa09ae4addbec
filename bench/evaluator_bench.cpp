// Evaluator benchmarks: for each environment and size, Cmax, the weighted
// total tardiness and the completion-time vector, each next to its floor
// (same name under "floor/"). Before anything is timed, every floor is checked
// to return exactly what the library returns, bit for bit.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/bench_instances.h"
#include "bench/floors.h"
#include "bench/registration.h"
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

// A scalar evaluator and its floor, both called without arguments.
template <class Library, class Floor>
void scalar(const std::string& name, long cells, Library library, Floor floor) {
    if (!same_bits(library(), floor())) disagree(name);
    benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
        for (auto _ : state) benchmark::DoNotOptimize(library());
        count_cells(state, cells);
    });
    benchmark::RegisterBenchmark(("floor/" + name).c_str(), [=](benchmark::State& state) {
        for (auto _ : state) benchmark::DoNotOptimize(floor());
        count_cells(state, cells);
    });
}

// A completion-time evaluator, which returns a new vector the caller releases,
// and its floor, which fills a vector it is given. The result is part of what
// is asked for, so the floor too gets a new one from malloc at every call.
template <class Library, class Floor>
void completion_vector(const std::string& name, long cells, int jobs, Library library, Floor floor) {
    const std::size_t bytes = sizeof(long) * static_cast<std::size_t>(jobs);
    long* expected = library();
    long* out = static_cast<long*>(std::malloc(bytes));
    floor(out);
    if (std::memcmp(expected, out, bytes) != 0) disagree(name);
    std::free(expected);
    std::free(out);
    benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
        for (auto _ : state) {
            long* c = library();
            benchmark::DoNotOptimize(c);
            std::free(c);
        }
        count_cells(state, cells);
    });
    benchmark::RegisterBenchmark(("floor/" + name).c_str(), [=](benchmark::State& state) {
        for (auto _ : state) {
            long* c = static_cast<long*>(std::malloc(bytes));
            floor(c);
            benchmark::DoNotOptimize(c);
            std::free(c);
        }
        count_cells(state, cells);
    });
}

std::string shape(int jobs, int machines) { return "/" + std::to_string(jobs) + "x" + std::to_string(machines); }

void single_machine(int jobs) {
    const SINGLE_MACHINE in = bench::single_machine(1, jobs);
    bench::Random random(101);
    const int* seq = bench::random_sequence(random, jobs);
    const std::string size = shape(jobs, 1);
    scalar("S1_Cmax" + size, jobs, [=] { return S1_Cmax(seq, in.jobs, in.pt); },
           [=] { return floors::s1_cmax(seq, in.jobs, in.pt); });
    scalar("S1_Rj_Wj_SumTj" + size, jobs, [=] { return S1_Rj_Wj_SumTj(seq, in); },
           [=] { return floors::s1_rj_wj_sum_tj(seq, in); });
    completion_vector("S1_Rj_Cj" + size, jobs, jobs, [=] { return S1_Rj_Cj(seq, in); },
           [=](long* c) { floors::s1_rj_cj(seq, in, c); });
}

void flow_shop(int jobs, int machines) {
    const FLOWSHOP in = bench::flow_shop(2, jobs, machines);
    bench::Random random(102);
    const int* seq = bench::random_sequence(random, jobs);
    long* work = newLVector(machines);
    const std::string size = shape(jobs, machines);
    const long cells = static_cast<long>(jobs) * machines;
    scalar("Fm_Prmu_Cmax" + size, cells, [=] { return Fm_Prmu_Cmax(seq, in.jobs, in.machines, in.pt); },
           [=] { return floors::fm_cmax(seq, in.jobs, in.machines, in.pt, work); });
    scalar("Fm_Prmu_Rj_Wj_SumTj" + size, cells, [=] { return Fm_Prmu_Rj_Wj_SumTj(seq, in); },
           [=] { return floors::fm_rj_wj_sum_tj(seq, in, work); });
    completion_vector("Fm_Prmu_Rj_Cj" + size, cells, jobs, [=] { return Fm_Prmu_Rj_Cj(seq, in); },
           [=](long* c) { floors::fm_rj_cj(seq, in, work, c); });
}

void identical_machines(int jobs, int machines) {
    const PARALLEL_MACHINES in = bench::parallel_machines(3, jobs, machines);
    bench::Random random(103);
    const int* seq = bench::random_sequence(random, jobs);
    long* work = newLVector(machines);
    const std::string size = shape(jobs, machines);
    const long cells = static_cast<long>(jobs) * machines;
    scalar("Pm_Cmax" + size, cells, [=] { return Pm_Cmax(seq, in.jobs, in.machines, in.pt); },
           [=] { return floors::pm_cmax(seq, in.jobs, in.machines, in.pt, work); });
    scalar("Pm_Rj_Wj_SumTj" + size, cells, [=] { return Pm_Rj_Wj_SumTj(seq, in); },
           [=] { return floors::pm_rj_wj_sum_tj(seq, in, work); });
    completion_vector("Pm_Rj_Cj" + size, cells, jobs, [=] { return Pm_Rj_Cj(seq, in); },
           [=](long* c) { floors::pm_rj_cj(seq, in, work, c); });
}

void uniform_machines(int jobs, int machines) {
    const RELATED_MACHINES in = bench::uniform_machines(4, jobs, machines);
    bench::Random random(104);
    const int* seq = bench::random_sequence(random, jobs);
    long* work = newLVector(machines);
    const std::string size = shape(jobs, machines);
    const long cells = static_cast<long>(jobs) * machines;
    scalar("Qm_Cmax" + size, cells, [=] { return Qm_Cmax(seq, in.jobs, in.machines, in.pt, in.v); },
           [=] { return floors::qm_cmax(seq, in.jobs, in.machines, in.pt, in.v, work); });
    scalar("Qm_Rj_Wj_SumTj" + size, cells, [=] { return Qm_Rj_Wj_SumTj(seq, in); },
           [=] { return floors::qm_rj_wj_sum_tj(seq, in, work); });
    completion_vector("Qm_Rj_Cj" + size, cells, jobs, [=] { return Qm_Rj_Cj(seq, in); },
           [=](long* c) { floors::qm_rj_cj(seq, in, work, c); });
}

void unrelated_machines(int jobs, int machines) {
    const UNRELATED_MACHINES in = bench::unrelated_machines(5, jobs, machines);
    bench::Random random(105);
    const int* seq = bench::random_sequence(random, jobs);
    long* work = newLVector(machines);
    const std::string size = shape(jobs, machines);
    const long cells = static_cast<long>(jobs) * machines;
    scalar("Rm_Cmax" + size, cells, [=] { return Rm_Cmax(seq, in.jobs, in.machines, in.pt); },
           [=] { return floors::rm_cmax(seq, in.jobs, in.machines, in.pt, work); });
    scalar("Rm_Rj_Wj_SumTj" + size, cells, [=] { return Rm_Rj_Wj_SumTj(seq, in); },
           [=] { return floors::rm_rj_wj_sum_tj(seq, in, work); });
    completion_vector("Rm_Rj_Cj" + size, cells, jobs, [=] { return Rm_Rj_Cj(seq, in); },
           [=](long* c) { floors::rm_rj_cj(seq, in, work, c); });
}

void job_shop(int jobs, int machines) {
    const JOBSHOP in = bench::job_shop(6, jobs, machines);
    bench::Random random(106);
    const int* seq_ops = bench::random_operation_sequence(random, jobs, machines);
    const floors::JobShopWork work{newLVector(jobs), newIVector(jobs), newLVector(machines)};
    const std::string size = shape(jobs, machines);
    const long cells = static_cast<long>(jobs) * machines;
    scalar("Jm_Rj_Cmax" + size, cells, [=] { return Jm_Rj_Cmax(seq_ops, in); },
           [=] { return floors::jm_rj_cmax(seq_ops, in, work); });
    scalar("Jm_Rj_Wj_SumTj" + size, cells, [=] { return Jm_Rj_Wj_SumTj(seq_ops, in); },
           [=] { return floors::jm_rj_wj_sum_tj(seq_ops, in, work); });
    completion_vector("Jm_Rj_Cj" + size, cells, jobs, [=] { return Jm_Rj_Cj(seq_ops, in); },
           [=](long* c) { floors::jm_rj_cj(seq_ops, in, work, c); });
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
    job_shop(20, 15);
    job_shop(100, 20);
}
