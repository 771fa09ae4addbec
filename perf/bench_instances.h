// Instances for the benchmarks, generated from fixed seeds so that every run
// measures the same data. Everything is allocated with the library's own
// allocators and lives until the process ends.
#ifndef ZURUDUDO_PERF_BENCH_INSTANCES_H
#define ZURUDUDO_PERF_BENCH_INSTANCES_H

#include <cstdint>
#include <cstdlib>

#include "schedule/schedule.h"

namespace bench {

// splitmix64: small, fast and the same on every platform.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

    // Uniform in low … high.
    int between(int low, int high) {
        return low + static_cast<int>(next() % static_cast<std::uint64_t>(high - low + 1));
    }

private:
    std::uint64_t state_;
};

// Processing times are drawn from 1 … 99, the usual range of benchmark sets.
inline constexpr int shortest_operation = 1;
inline constexpr int longest_operation = 99;

inline int* random_vector(Random& random, int len, int low, int high) {
    int* v = schedule::newIVector(len);
    for (int i = 0; i < len; ++i) v[i] = random.between(low, high);
    return v;
}

inline int** random_matrix(Random& random, int rows, int cols, int low, int high) {
    int** m = reinterpret_cast<int**>(schedule::dyn_mat(rows, cols, sizeof(int)));
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j) m[i][j] = random.between(low, high);
    return m;
}

// A permutation of 0 … len − 1.
inline int* random_sequence(Random& random, int len) {
    int* seq = schedule::newIVector(len);
    for (int i = 0; i < len; ++i) seq[i] = i;
    for (int i = len - 1; i > 0; --i) {
        const int other = random.between(0, i);
        const int kept = seq[i];
        seq[i] = seq[other];
        seq[other] = kept;
    }
    return seq;
}

// Each job `machines` times, shuffled: a job-shop operation sequence.
inline int* random_operation_sequence(Random& random, int jobs, int machines) {
    const int len = jobs * machines;
    int* order = random_sequence(random, len);
    for (int i = 0; i < len; ++i) order[i] %= jobs;
    return order;
}

// Every job visits every machine once, in its own random order.
inline int** random_routing(Random& random, int jobs, int machines) {
    int** rt = reinterpret_cast<int**>(schedule::dyn_mat(jobs, machines, sizeof(int)));
    for (int j = 0; j < jobs; ++j) {
        int* order = random_sequence(random, machines);
        for (int k = 0; k < machines; ++k) rt[j][k] = order[k];
        std::free(order);
    }
    return rt;
}

// Release dates over the first half of `horizon`, due dates over all of it
// (so that some jobs are late and some early), weights 0.25 … 5.0.
struct JobAttributes {
    long* dd;
    double* w;
    int* r;
};

inline JobAttributes random_attributes(Random& random, int jobs, long horizon) {
    const int h = static_cast<int>(horizon);
    JobAttributes a{schedule::newLVector(jobs), schedule::newDVector(jobs), schedule::newIVector(jobs)};
    for (int j = 0; j < jobs; ++j) {
        a.r[j] = random.between(0, h / 2);
        a.dd[j] = a.r[j] + random.between(0, h);
        a.w[j] = random.between(1, 20) / 4.0;
    }
    return a;
}

// An expected makespan, for spreading release and due dates: the mean
// processing time times the work on the busiest machine.
inline long horizon(int jobs_per_machine) {
    return static_cast<long>(jobs_per_machine) * (shortest_operation + longest_operation) / 2;
}

inline schedule::SINGLE_MACHINE single_machine(std::uint64_t seed, int jobs) {
    Random random(seed);
    int* pt = random_vector(random, jobs, shortest_operation, longest_operation);
    const JobAttributes a = random_attributes(random, jobs, horizon(jobs));
    return {jobs, 1, pt, a.dd, a.w, a.r};
}

inline schedule::PARALLEL_MACHINES parallel_machines(std::uint64_t seed, int jobs, int machines) {
    Random random(seed);
    int* pt = random_vector(random, jobs, shortest_operation, longest_operation);
    const JobAttributes a = random_attributes(random, jobs, horizon(jobs / machines));
    return {jobs, machines, pt, a.dd, a.w, a.r};
}

// Speeds 1 … 4, so that rounding p / v meets every remainder.
inline schedule::RELATED_MACHINES uniform_machines(std::uint64_t seed, int jobs, int machines) {
    Random random(seed);
    int* pt = random_vector(random, jobs, shortest_operation, longest_operation);
    int* v = random_vector(random, machines, 1, 4);
    const JobAttributes a = random_attributes(random, jobs, horizon(jobs / machines) / 2);
    return {jobs, machines, pt, v, a.dd, a.w, a.r};
}

inline schedule::UNRELATED_MACHINES unrelated_machines(std::uint64_t seed, int jobs, int machines) {
    Random random(seed);
    int** pt = random_matrix(random, machines, jobs, shortest_operation, longest_operation);
    const JobAttributes a = random_attributes(random, jobs, horizon(jobs / machines) / 2);
    return {jobs, machines, pt, a.dd, a.w, a.r};
}

inline schedule::FLOWSHOP flow_shop(std::uint64_t seed, int jobs, int machines) {
    Random random(seed);
    int** pt = random_matrix(random, machines, jobs, shortest_operation, longest_operation);
    const JobAttributes a = random_attributes(random, jobs, horizon(jobs + machines));
    return {jobs, machines, pt, a.dd, a.w, a.r};
}

inline schedule::JOBSHOP job_shop(std::uint64_t seed, int jobs, int machines) {
    Random random(seed);
    int** pt = random_matrix(random, machines, jobs, shortest_operation, longest_operation);
    int** rt = random_routing(random, jobs, machines);
    const JobAttributes a = random_attributes(random, jobs, horizon(jobs));
    return {jobs, machines, pt, rt, a.dd, a.w, a.r};
}

}  // namespace bench

#endif  // ZURUDUDO_PERF_BENCH_INSTANCES_H
