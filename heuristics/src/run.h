// What every solver shares: the random generator, the clock and budget, and
// the record of the best sequence with its improvement callback.
#ifndef ZURUDUDO_HEURISTICS_RUN_H
#define ZURUDUDO_HEURISTICS_RUN_H

#include <cmath>
#include <cstdint>
#include <ctime>
#include <functional>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include <zurududo/heuristics.h>

namespace zurududo::heuristics::internal {

// A seeded generator; the draws depend on the seed alone, not on the standard library.
class Random {
public:
    explicit Random(std::uint64_t seed) : engine_(seed) {}
    // An integer in 0 … bound − 1 (bound ≥ 1).
    int below(int bound) { return static_cast<int>(engine_() % static_cast<std::uint64_t>(bound)); }
    // A real number in [0, 1).
    double unit() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }
    template <class T>
    void shuffle(std::vector<T>& v) {
        for (std::size_t k = v.size(); k > 1; --k)
            std::swap(v[k - 1], v[static_cast<std::size_t>(below(static_cast<int>(k)))]);
    }

private:
    std::mt19937_64 engine_;
};

inline double now(Clock clock) {
    timespec t{};
    clock_gettime(clock == Clock::thread_cpu ? CLOCK_THREAD_CPUTIME_ID : CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// The run of one solver: budget, best sequence, callback. `Value` is the
// solver's own measure of a sequence (which must order sequences as the
// toolkit's evaluator does); `evaluate` is the toolkit's evaluator, which
// gives every value reported.
class Run {
public:
    using Evaluate = std::function<double(const std::vector<int>&)>;

    // A budget with neither a time nor an iteration limit is refused.
    Run(const Options& options, Evaluate evaluate)
        : options_(options), evaluate_(std::move(evaluate)), start_(now(options.budget.clock)) {
        if (!(options.budget.seconds > 0) && options.budget.iterations <= 0)
            throw schedule::Error(schedule::ErrorKind::argument, 999,
                                  "a search needs a time limit or an iteration limit");
    }

    double elapsed() const { return now(options_.budget.clock) - start_; }

    // The time limit has passed, or the run was cancelled; the clock is read
    // on every 16th call only.
    bool time_up() {
        if (expired_) return true;
        if (options_.budget.seconds <= 0 && !options_.cancelled) return false;
        if (++calls_ % 16 != 0) return false;
        return expire(elapsed());
    }

    // The run should stop before starting iteration `iterations` + 1.
    bool over() {
        if (best_internal_ <= options_.target) return true;
        if (options_.budget.iterations > 0 && iterations_ >= options_.budget.iterations) return true;
        if (expired_) return true;
        if (options_.budget.seconds <= 0 && !options_.cancelled) return false;
        return expire(elapsed());
    }

    void count_iteration() { ++iterations_; }
    long iterations() const { return iterations_; }

    // Offers a sequence of the solver's value `internal`; kept when better than the best.
    bool offer(const std::vector<int>& sequence, double internal) {
        if (!best_.empty() && internal >= best_internal_) return false;
        best_ = sequence;
        best_internal_ = internal;
        best_value_ = evaluate_(best_);
        if (options_.on_improvement) options_.on_improvement(Improvement{best_value_, elapsed(), iterations_, best_});
        return true;
    }

    double best_internal() const { return best_internal_; }
    bool cancelled() const { return cancelled_; }
    const std::vector<int>& best() const { return best_; }

    Result finish() const { return Result{best_, best_value_, elapsed(), iterations_}; }

private:
    // Whether the run ends at `t` seconds: its time is up, or the
    // cancellation, asked every cancel_poll_seconds, says so.
    bool expire(double t) {
        if (options_.budget.seconds > 0 && t >= options_.budget.seconds) expired_ = true;
        if (!expired_ && options_.cancelled && t >= next_poll_) {
            next_poll_ = t + cancel_poll_seconds;
            cancelled_ = expired_ = options_.cancelled();
        }
        return expired_;
    }

    static constexpr double cancel_poll_seconds = 0.02;

    const Options& options_;
    Evaluate evaluate_;
    double start_;
    std::vector<int> best_;
    double best_internal_ = std::numeric_limits<double>::infinity();
    double best_value_ = 0;
    long iterations_ = 0;
    long calls_ = 0;
    double next_poll_ = 0;
    bool expired_ = false;
    bool cancelled_ = false;
};

// The destruction of iterated greedy: `count` entries taken out of
// `sequence` at random positions, into `removed` in the order drawn.
inline void destroy(std::vector<int>& sequence, int count, Random& random, std::vector<int>& removed) {
    removed.clear();
    for (int k = 0; k < count; ++k) {
        const int at = random.below(static_cast<int>(sequence.size()));
        removed.push_back(sequence[static_cast<std::size_t>(at)]);
        sequence.erase(sequence.begin() + at);
    }
}

// The acceptance of iterated greedy: a value at most the current one always,
// a worse one with probability exp(−Δ/T) (never at T = 0).
inline bool accept(double found, double value, double temperature, Random& random) {
    return found <= value || (temperature > 0 && random.unit() <= std::exp(-(found - value) / temperature));
}

// A construction's result: one sequence, evaluated, no iterations.
inline Result constructed(std::vector<int> sequence, double value, double seconds) {
    return Result{std::move(sequence), value, seconds, 0};
}

}  // namespace zurududo::heuristics::internal

#endif
