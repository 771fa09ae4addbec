// How cost grows: every environment's Rj_Wj_SumTj evaluator (the flow shop's
// and the job shop's too) for n = 10², 10³, …, 10⁶ jobs and m = 2, 10, 50,
// 200, 1000 machines, reported per unit of work: per job on one machine and
// on identical and uniform machines (whose earliest-free rule costs O(log m)
// per job), per job · machine on unrelated machines (earliest completion,
// O(m) per job) and on the flow shop, per operation on the job shop. Shapes
// with fewer jobs than machines are left out for the parallel machines, and
// matrices beyond 10⁷ entries (40 MB of times) everywhere. The instances are
// made when first timed and released when the next shape is, so that only
// one is in memory at a time. The same on 10 machines with the jobs in index
// order ("scale-in-order/"), to tell the algorithm's cost from the caches'.
//
// And memory: the peak of the bytes allocated while one evaluation runs, over
// what was in use before it, next to the size of the instance (the counting
// allocator, counting_allocator.cpp). Stack storage is not counted: the
// constructions keep up to 4 KiB of work storage there (WorkVector).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "perf/bench_instances.h"
#include "perf/counting_allocator.h"
#include "perf/registration.h"
#include "schedule/checked.h"
#include "schedule/schedule.h"

namespace {

using namespace schedule;

// The one instance in memory, with what releases it and what evaluates it.
struct Slot {
    std::string key;
    std::function<void()> release;
    std::function<double(std::size_t)> evaluate;
    void take(const std::string& k, std::function<void()> r) {
        if (release) release();
        key = k;
        release = std::move(r);
    }
};
Slot slot;

// Sequences taken in turn (as in the evaluator benchmarks): 4, or 1 for the
// largest shapes. In order, the one sequence 0, 1, …, n − 1 (on the job shop
// the jobs in index order m times over): every job's data is then read in
// address order, which shows the cost without the cache misses of a random
// order. Which of the two the key of the shape says.
std::vector<int*> sequences(const std::string& key, std::uint64_t seed, int len, int jobs, bool operations,
                            int machines) {
    if (key.starts_with("scale-in-order/")) {
        int* seq = newIVector(len);
        for (int k = 0; k < len; ++k) seq[k] = k % jobs;
        return {seq};
    }
    bench::Random random(seed);
    std::vector<int*> out(len <= 1000000 ? 4 : 1);
    for (auto& seq : out)
        seq = operations ? bench::random_operation_sequence(random, jobs, machines) : bench::random_sequence(random, jobs);
    return out;
}

void free_all(const std::vector<int*>& seqs) {
    for (int* s : seqs) std::free(s);
}

void per_unit(benchmark::State& state, double units) {
    state.counters["per_unit"] =
        benchmark::Counter(units, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Registers "scale/<name>/<n>x<m>" (random sequences) or
// "scale-in-order/<name>/<n>x<m>": make() builds the instance into the slot
// and returns a callable evaluating sequence i.
template <class Make>
void scale(const std::string& name, int jobs, int machines, double units, Make make, bool ordered = false) {
    const std::string key = (ordered ? "scale-in-order/" : "scale/") + name + "/" + std::to_string(jobs) + "x" +
                            std::to_string(machines);
    benchmark::RegisterBenchmark(key.c_str(), [=](benchmark::State& state) {
        if (slot.key != key) slot.evaluate = make(key);
        std::size_t i = 0;
        for (auto _ : state) benchmark::DoNotOptimize(slot.evaluate(i++));
        per_unit(state, units);
    });
}

// Puts `record` and its sequences in the slot, released with the library's
// own release(); the callable evaluates sequence i with `evaluate`.
template <class Record, class Evaluate>
std::function<double(std::size_t)> hold(const std::string& key, const Record& record, std::vector<int*> seqs,
                                        Evaluate evaluate) {
    auto* in = new Record(record);
    slot.take(key, [in, seqs] {
        release(*in);
        delete in;
        free_all(seqs);
    });
    return [in, seqs, evaluate](std::size_t i) { return evaluate(seqs[i % seqs.size()], *in); };
}

std::function<double(std::size_t)> single(const std::string& key, int jobs) {
    return hold(key, bench::single_machine(1, jobs), sequences(key, 201, jobs, jobs, false, 1), S1_Rj_Wj_SumTj);
}

std::function<double(std::size_t)> identical(const std::string& key, int jobs, int machines) {
    return hold(key, bench::parallel_machines(3, jobs, machines), sequences(key, 202, jobs, jobs, false, 1),
                Pm_Rj_Wj_SumTj);
}

std::function<double(std::size_t)> uniform(const std::string& key, int jobs, int machines) {
    return hold(key, bench::uniform_machines(4, jobs, machines), sequences(key, 203, jobs, jobs, false, 1),
                Qm_Rj_Wj_SumTj);
}

std::function<double(std::size_t)> unrelated(const std::string& key, int jobs, int machines) {
    return hold(key, bench::unrelated_machines(5, jobs, machines), sequences(key, 204, jobs, jobs, false, 1),
                Rm_Rj_Wj_SumTj);
}

std::function<double(std::size_t)> flow(const std::string& key, int jobs, int machines) {
    return hold(key, bench::flow_shop(2, jobs, machines), sequences(key, 205, jobs, jobs, false, 1),
                Fm_Prmu_Rj_Wj_SumTj);
}

std::function<double(std::size_t)> job(const std::string& key, int jobs, int machines) {
    return hold(key, bench::job_shop(6, jobs, machines), sequences(key, 206, jobs * machines, jobs, true, machines),
                Jm_Rj_Wj_SumTj);
}

// "memory/<name>/<n>x<m>": extra peak bytes of one evaluation, and the
// instance's bytes; timed as well.
template <class Evaluate>
void memory(const std::string& name, long instance_bytes, Evaluate evaluate) {
    benchmark::RegisterBenchmark(("memory/" + name).c_str(), [=](benchmark::State& state) {
        const long before = counting_allocator::bytes_in_use();
        counting_allocator::reset_peak();
        evaluate();
        const long peak = counting_allocator::peak_bytes() - before;
        for (auto _ : state) evaluate();
        state.counters["peak_bytes"] = static_cast<double>(peak);
        state.counters["instance_bytes"] = static_cast<double>(instance_bytes);
    });
}

void memory_benchmarks() {
    // The instances of the memory figures live until the end.
    const int n1 = 1000000;
    const SINGLE_MACHINE s1 = bench::single_machine(1, n1);
    bench::Random random(207);
    const int* seq1 = bench::random_sequence(random, n1);
    const long s1_bytes = static_cast<long>(n1) * (sizeof(int) + sizeof(long) + sizeof(double) + sizeof(int));
    memory("S1_Rj_Wj_SumTj/1000000x1", s1_bytes, [=] { benchmark::DoNotOptimize(S1_Rj_Wj_SumTj(seq1, s1)); });
    memory("S1_Rj_Cj/1000000x1", s1_bytes, [=] { std::free(S1_Rj_Cj(seq1, s1)); });

    const int n2 = 100000, m2 = 20;
    const FLOWSHOP fm = bench::flow_shop(2, n2, m2);
    const int* seq2 = bench::random_sequence(random, n2);
    const long fm_bytes = static_cast<long>(n2) * m2 * sizeof(int) + m2 * sizeof(int*) +
                          static_cast<long>(n2) * (sizeof(long) + sizeof(double) + sizeof(int));
    memory("Fm_Prmu_Rj_Wj_SumTj/100000x20", fm_bytes, [=] { benchmark::DoNotOptimize(Fm_Prmu_Rj_Wj_SumTj(seq2, fm)); });
    memory("Fm_Prmu_Rj_Cj/100000x20", fm_bytes, [=] { std::free(Fm_Prmu_Rj_Cj(seq2, fm)); });
    const int batch = 64;
    int* seqs = newIVector(batch * n2);
    for (int s = 0; s < batch; ++s) {
        int* seq = bench::random_sequence(random, n2);
        for (int k = 0; k < n2; ++k) seqs[s * n2 + k] = seq[k];
        std::free(seq);
    }
    memory("Fm_Prmu_Rj_Wj_SumTj_many/100000x20", fm_bytes, [=] {
        double out[batch];
        Fm_Prmu_Rj_Wj_SumTj_many(seqs, batch, fm, out);
        benchmark::DoNotOptimize(out);
    });

    const JOBSHOP jm = bench::job_shop(6, n2, m2);
    const int* ops = bench::random_operation_sequence(random, n2, m2);
    const long jm_bytes = 2 * fm_bytes - static_cast<long>(n2) * (sizeof(long) + sizeof(double) + sizeof(int)) +
                          static_cast<long>(n2) * sizeof(int*) - m2 * sizeof(int*);
    memory("Jm_Rj_Wj_SumTj/100000x20", jm_bytes, [=] { benchmark::DoNotOptimize(Jm_Rj_Wj_SumTj(ops, jm)); });

    const PARALLEL_MACHINES pm = bench::parallel_machines(3, n1, 1000);
    memory("Pm_Rj_Wj_SumTj/1000000x1000", s1_bytes, [=] { benchmark::DoNotOptimize(Pm_Rj_Wj_SumTj(seq1, pm)); });
    const UNRELATED_MACHINES rm = bench::unrelated_machines(5, n2, m2);
    memory("Rm_Rj_Wj_SumTj/100000x20", fm_bytes, [=] { benchmark::DoNotOptimize(Rm_Rj_Wj_SumTj(seq2, rm)); });
}

}  // namespace

void register_scaling_benchmarks() {
    const long most_entries = 10000000;
    for (const int jobs : {100, 1000, 10000, 100000, 1000000}) {
        scale("S1_Rj_Wj_SumTj", jobs, 1, jobs, [=](const std::string& key) { return single(key, jobs); });
    }
    for (const int machines : {2, 10, 50, 200, 1000}) {
        for (const int jobs : {100, 1000, 10000, 100000, 1000000}) {
            const long entries = static_cast<long>(jobs) * machines;
            if (jobs >= machines) {
                scale("Pm_Rj_Wj_SumTj", jobs, machines, jobs,
                      [=](const std::string& key) { return identical(key, jobs, machines); });
                scale("Qm_Rj_Wj_SumTj", jobs, machines, jobs,
                      [=](const std::string& key) { return uniform(key, jobs, machines); });
                if (entries <= most_entries)
                    scale("Rm_Rj_Wj_SumTj", jobs, machines, entries,
                          [=](const std::string& key) { return unrelated(key, jobs, machines); });
            }
            if (entries <= most_entries) {
                scale("Fm_Prmu_Rj_Wj_SumTj", jobs, machines, entries,
                      [=](const std::string& key) { return flow(key, jobs, machines); });
                scale("Jm_Rj_Wj_SumTj", jobs, machines, entries,
                      [=](const std::string& key) { return job(key, jobs, machines); });
            }
        }
    }
    // In order, on 10 machines (one for the single machine).
    for (const int jobs : {100, 1000, 10000, 100000, 1000000}) {
        const int machines = 10;
        const long entries = static_cast<long>(jobs) * machines;
        scale("S1_Rj_Wj_SumTj", jobs, 1, jobs, [=](const std::string& key) { return single(key, jobs); }, true);
        scale("Pm_Rj_Wj_SumTj", jobs, machines, jobs,
              [=](const std::string& key) { return identical(key, jobs, machines); }, true);
        scale("Qm_Rj_Wj_SumTj", jobs, machines, jobs,
              [=](const std::string& key) { return uniform(key, jobs, machines); }, true);
        scale("Rm_Rj_Wj_SumTj", jobs, machines, entries,
              [=](const std::string& key) { return unrelated(key, jobs, machines); }, true);
        scale("Fm_Prmu_Rj_Wj_SumTj", jobs, machines, entries,
              [=](const std::string& key) { return flow(key, jobs, machines); }, true);
        scale("Jm_Rj_Wj_SumTj", jobs, machines, entries,
              [=](const std::string& key) { return job(key, jobs, machines); }, true);
    }
    memory_benchmarks();
}
