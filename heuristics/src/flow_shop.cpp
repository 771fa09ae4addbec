// Permutation flow shop, makespan: NEH and iterated greedy, both on the
// toolkit's best-insertion routine (Taillard's acceleration).
#include <algorithm>
#include <cmath>
#include <numeric>

#include "run.h"

namespace zurududo::heuristics {

namespace {

using internal::Random;
using internal::Run;

bool has_release_dates(const schedule::FLOWSHOP& instance) {
    if (instance.r == nullptr) return false;
    for (int j = 0; j < instance.jobs; ++j)
        if (instance.r[j] != 0) return true;
    return false;
}

// The makespans of every insertion position of a job, and the best of them.
class Insertion {
public:
    explicit Insertion(const schedule::FLOWSHOP& instance)
        : instance_(instance),
          released_(has_release_dates(instance)),
          makespans_(static_cast<std::size_t>(instance.jobs) + 1) {}

    // Inserts `job` into `sequence` at the first position of smallest makespan; returns that makespan.
    long insert_best(std::vector<int>& sequence, int job) {
        const int len = static_cast<int>(sequence.size());
        if (released_)
            schedule::Fm_Prmu_Rj_Insert_Cmax(sequence.data(), len, job, instance_, makespans_.data());
        else
            schedule::Fm_Prmu_Insert_Cmax(sequence.data(), len, job, instance_.machines, instance_.pt,
                                          makespans_.data());
        int best = 0;
        for (int l = 1; l <= len; ++l)
            if (makespans_[static_cast<std::size_t>(l)] < makespans_[static_cast<std::size_t>(best)]) best = l;
        sequence.insert(sequence.begin() + best, job);
        return makespans_[static_cast<std::size_t>(best)];
    }

    // The makespan of a sequence of some or all of the jobs.
    long makespan(const std::vector<int>& sequence) const {
        const int len = static_cast<int>(sequence.size());
        if (!released_) return schedule::Fm_Prmu_Cmax(sequence.data(), len, instance_.machines, instance_.pt);
        schedule::FLOWSHOP part = instance_;
        part.jobs = len;
        return schedule::Fm_Prmu_Rj_Cmax(sequence.data(), part);
    }

private:
    const schedule::FLOWSHOP& instance_;
    bool released_;
    std::vector<long> makespans_;
};

std::vector<int> neh_order(const schedule::FLOWSHOP& instance) {
    std::vector<long> total(static_cast<std::size_t>(instance.jobs), 0);
    for (int i = 0; i < instance.machines; ++i)
        for (int j = 0; j < instance.jobs; ++j) total[static_cast<std::size_t>(j)] += instance.pt[i][j];
    std::vector<int> order(static_cast<std::size_t>(instance.jobs));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return total[static_cast<std::size_t>(a)] > total[static_cast<std::size_t>(b)];
    });
    return order;
}

long neh_sequence(Insertion& insertion, const std::vector<int>& order, std::vector<int>& sequence) {
    sequence.clear();
    long makespan = 0;
    for (int job : order) makespan = insertion.insert_best(sequence, job);
    return makespan;
}

// Insertion local search: every job, in a new random order each pass, taken
// out and put back at its best position, until a pass improves nothing.
long improve(Insertion& insertion, std::vector<int>& sequence, long makespan, Random& random, Run& run) {
    std::vector<int> jobs = sequence;
    bool improved = true;
    while (improved) {
        improved = false;
        random.shuffle(jobs);
        for (int job : jobs) {
            if (run.time_up()) return makespan;
            sequence.erase(std::find(sequence.begin(), sequence.end(), job));
            const long found = insertion.insert_best(sequence, job);
            if (found < makespan) {
                makespan = found;
                improved = true;
            }
        }
    }
    return makespan;
}

}  // namespace

Result neh(const schedule::FLOWSHOP& instance) {
    schedule::validate(instance);
    const double start = internal::now(Clock::wall);
    Insertion insertion(instance);
    std::vector<int> sequence;
    neh_sequence(insertion, neh_order(instance), sequence);
    const double value = static_cast<double>(insertion.makespan(sequence));
    return internal::constructed(std::move(sequence), value, internal::now(Clock::wall) - start);
}

Result iterated_greedy(const schedule::FLOWSHOP& instance, const Options& options,
                       const IteratedGreedyParameters& parameters) {
    schedule::validate(instance);
    if (parameters.destruction < 1 || !(parameters.temperature >= 0))
        throw schedule::Error(schedule::ErrorKind::argument, 999,
                              "iterated_greedy: destruction at least 1, temperature at least 0");
    Insertion insertion(instance);
    Run run(options, [&](const std::vector<int>& s) { return static_cast<double>(insertion.makespan(s)); });
    Random random(options.seed);

    const int n = instance.jobs;
    long total = 0;
    for (int i = 0; i < instance.machines; ++i)
        for (int j = 0; j < n; ++j) total += instance.pt[i][j];
    const double temperature = parameters.temperature * static_cast<double>(total) / (n * instance.machines * 10.0);
    const int destruction = std::min(parameters.destruction, n);

    std::vector<int> current;
    long value = neh_sequence(insertion, neh_order(instance), current);
    run.offer(current, static_cast<double>(value));
    if (parameters.local_search) {
        value = improve(insertion, current, value, random, run);
        run.offer(current, static_cast<double>(value));
    }

    std::vector<int> candidate;
    std::vector<int> removed;
    while (!run.over()) {
        candidate = current;
        internal::destroy(candidate, destruction, random, removed);
        if (parameters.partial_local_search && parameters.local_search && !candidate.empty())
            improve(insertion, candidate, insertion.makespan(candidate), random, run);
        long found = 0;
        for (int job : removed) found = insertion.insert_best(candidate, job);
        if (parameters.local_search) found = improve(insertion, candidate, found, random, run);
        run.count_iteration();
        if (found < value) {
            current.swap(candidate);
            value = found;
            run.offer(current, static_cast<double>(value));
        } else if (internal::accept(static_cast<double>(found), static_cast<double>(value), temperature, random)) {
            current.swap(candidate);
            value = found;
        }
    }
    return run.finish();
}

}  // namespace zurududo::heuristics
