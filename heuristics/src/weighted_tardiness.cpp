// One machine, total weighted tardiness: EDD, WSPT and ATC constructions and
// an iterated local search with swap and insertion moves evaluated from the
// completion times of the current sequence.
#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <string>

#include "run.h"

namespace zurududo::heuristics {

namespace {

using internal::Random;
using internal::Run;

void check(const schedule::SINGLE_MACHINE& instance, const char* what) {
    schedule::validate(instance);
    if (instance.dd == nullptr)
        throw schedule::Error(schedule::ErrorKind::argument, 999,
                              std::string(what) + ": the instance has no due dates");
    for (int j = 0; j < instance.jobs; ++j)
        if (instance.r[j] != 0)
            throw schedule::Error(schedule::ErrorKind::argument, 999,
                                  std::string(what) + ": release dates are not supported");
}

double total_weighted_tardiness(const schedule::SINGLE_MACHINE& instance, const std::vector<int>& sequence) {
    return schedule::S1_Rj_Wj_SumTj(sequence.data(), instance);
}

std::vector<int> by_key(int n, auto key) {
    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return key(a) < key(b); });
    return order;
}

std::vector<int> atc_sequence(const schedule::SINGLE_MACHINE& instance, double k) {
    const int n = instance.jobs;
    double mean = 0;
    for (int j = 0; j < n; ++j) mean += instance.pt[j];
    mean = std::max(mean / n, 1e-9);
    std::vector<bool> done(static_cast<std::size_t>(n), false);
    std::vector<int> sequence;
    long t = 0;
    for (int step = 0; step < n; ++step) {
        int chosen = -1;
        double best = -1;
        for (int j = 0; j < n; ++j) {
            if (done[static_cast<std::size_t>(j)]) continue;
            const double p = instance.pt[j];
            const double slack = std::max(static_cast<double>(instance.dd[j] - t) - p, 0.0);
            const double priority =
                p > 0 ? instance.w[j] / p * std::exp(-slack / (k * mean)) : std::numeric_limits<double>::infinity();
            if (chosen < 0 || priority > best) {
                chosen = j;
                best = priority;
            }
        }
        done[static_cast<std::size_t>(chosen)] = true;
        sequence.push_back(chosen);
        t += instance.pt[chosen];
    }
    return sequence;
}

// The current sequence with its completion times, and the value of moves.
class Tardiness {
public:
    explicit Tardiness(const schedule::SINGLE_MACHINE& instance) : x_(&instance), n_(instance.jobs) {}

    void set(std::vector<int> sequence) {
        sequence_ = std::move(sequence);
        completion_.resize(sequence_.size());
        refresh(0);
    }
    const std::vector<int>& sequence() const { return sequence_; }
    double value() const { return value_; }

    // Completion times and value again from position `from` on.
    void refresh(int from) {
        long t = from > 0 ? completion_[static_cast<std::size_t>(from) - 1] : 0;
        for (int k = from; k < n_; ++k) {
            t += x_->pt[sequence_[static_cast<std::size_t>(k)]];
            completion_[static_cast<std::size_t>(k)] = t;
        }
        value_ = 0;
        for (int k = 0; k < n_; ++k) value_ += cost(at(k), completion_[static_cast<std::size_t>(k)]);
    }

    // Descent until no move improves: each step applies the best set of
    // moves on disjoint stretches of the sequence (dynasearch, Congram, Potts
    // and van de Velde 2002), a move being the exchange of two jobs or the
    // move of one job to another position. A move changes completion times
    // within its stretch only, so the changes of disjoint moves add up.
    // False if stopped by the clock.
    bool descend(Run& run) {
        while (step()) {
            if (run.time_up()) return false;
        }
        return true;
    }

    void swap(int a, int b) {
        std::swap(sequence_[static_cast<std::size_t>(a)], sequence_[static_cast<std::size_t>(b)]);
        refresh(std::min(a, b));
    }

private:
    int at(int position) const { return sequence_[static_cast<std::size_t>(position)]; }
    long completion(int position) const { return completion_[static_cast<std::size_t>(position)]; }
    double cost(int job, long end) const {
        return end > x_->dd[job] ? x_->w[job] * static_cast<double>(end - x_->dd[job]) : 0.0;
    }
    static constexpr double improvement = -1e-9;

    enum Move : unsigned char { none, exchange, later, earlier };

    // The best change of a move on the stretch i … j (i < j), for every stretch.
    void moves() {
        const std::size_t n = static_cast<std::size_t>(n_);
        delta_.assign(n * n, 0.0);
        move_.assign(n * n, none);
        auto offer = [&](int i, int j, double delta, Move move) {
            const std::size_t k = static_cast<std::size_t>(i) * n + static_cast<std::size_t>(j);
            if (move_[k] == none || delta < delta_[k]) {
                delta_[k] = delta;
                move_[k] = move;
            }
        };
        for (int i = 0; i + 1 < n_; ++i) {
            const int a = at(i);
            const double here = cost(a, completion(i));
            // The job at i exchanged with the job at j.
            for (int j = i + 1; j < n_; ++j) {
                const int b = at(j);
                const long shift = static_cast<long>(x_->pt[b]) - x_->pt[a];
                double delta = cost(b, completion(i) + shift) - cost(b, completion(j)) + cost(a, completion(j)) - here;
                for (int k = i + 1; k < j; ++k)
                    delta += cost(at(k), completion(k) + shift) - cost(at(k), completion(k));
                offer(i, j, delta, exchange);
            }
            // The job at i moved to j: the jobs between move forward by p, it ends where j ended.
            const long p = x_->pt[a];
            double shifted = 0;
            for (int j = i + 1; j < n_; ++j) {
                shifted += cost(at(j), completion(j) - p) - cost(at(j), completion(j));
                offer(i, j, shifted + cost(a, completion(j)) - here, later);
            }
        }
        // The job at j moved to i: the jobs from i on move back by p, it ends p after position i − 1.
        for (int j = 1; j < n_; ++j) {
            const int b = at(j);
            const long p = x_->pt[b];
            const double here = cost(b, completion(j));
            double shifted = 0;
            for (int i = j - 1; i >= 0; --i) {
                shifted += cost(at(i), completion(i) + p) - cost(at(i), completion(i));
                const long end = (i > 0 ? completion(i - 1) : 0) + p;
                offer(i, j, shifted + cost(b, end) - here, earlier);
            }
        }
    }

    // One dynasearch step; false when no set of moves improves.
    bool step() {
        moves();
        const std::size_t n = static_cast<std::size_t>(n_);
        // best_[j]: the best change of the first j positions; from_[j]: where its last move starts, or −1.
        best_.assign(n + 1, 0.0);
        from_.assign(n + 1, -1);
        for (std::size_t j = 1; j <= n; ++j) {
            best_[j] = best_[j - 1];
            for (std::size_t i = 0; i + 1 < j; ++i) {
                const double value = best_[i] + delta_[i * n + j - 1];
                if (value < best_[j] + improvement) {
                    best_[j] = value;
                    from_[j] = static_cast<int>(i);
                }
            }
        }
        if (!(best_[n] < improvement)) return false;
        for (std::size_t j = n; j > 0;) {
            if (from_[j] < 0) {
                --j;
                continue;
            }
            const int i = from_[j];
            const int last = static_cast<int>(j) - 1;
            const auto first = sequence_.begin() + i;
            switch (move_[static_cast<std::size_t>(i) * n + j - 1]) {
                case exchange:
                    std::iter_swap(first, sequence_.begin() + last);
                    break;
                case later:
                    std::rotate(first, first + 1, sequence_.begin() + last + 1);
                    break;
                case earlier:
                    std::rotate(first, sequence_.begin() + last, sequence_.begin() + last + 1);
                    break;
                case none:
                    break;
            }
            j = static_cast<std::size_t>(i);
        }
        refresh(0);
        return true;
    }

    std::vector<double> delta_;
    std::vector<Move> move_;
    std::vector<double> best_;
    std::vector<int> from_;
    const schedule::SINGLE_MACHINE* x_;
    int n_;
    std::vector<int> sequence_;
    std::vector<long> completion_;
    double value_ = 0;
};

}  // namespace

Result edd(const schedule::SINGLE_MACHINE& instance) {
    check(instance, "edd");
    const double start = internal::now(Clock::wall);
    std::vector<int> sequence = by_key(instance.jobs, [&](int j) { return instance.dd[j]; });
    const double value = total_weighted_tardiness(instance, sequence);
    return internal::constructed(std::move(sequence), value, internal::now(Clock::wall) - start);
}

Result wspt(const schedule::SINGLE_MACHINE& instance) {
    check(instance, "wspt");
    const double start = internal::now(Clock::wall);
    // Largest w/p first, compared as products so that p = 0 comes first.
    std::vector<int> sequence(static_cast<std::size_t>(instance.jobs));
    std::iota(sequence.begin(), sequence.end(), 0);
    std::stable_sort(sequence.begin(), sequence.end(),
                     [&](int a, int b) { return instance.w[a] * instance.pt[b] > instance.w[b] * instance.pt[a]; });
    const double value = total_weighted_tardiness(instance, sequence);
    return internal::constructed(std::move(sequence), value, internal::now(Clock::wall) - start);
}

Result atc(const schedule::SINGLE_MACHINE& instance, double k) {
    check(instance, "atc");
    if (!(k >= 0))
        throw schedule::Error(schedule::ErrorKind::argument, 999,
                              "atc: the look-ahead k must be positive (or 0 for the best of several)");
    const double start = internal::now(Clock::wall);
    std::vector<int> best;
    double best_value = 0;
    for (double tried = 0.5; tried <= 4.0; tried += 0.5) {
        std::vector<int> sequence = atc_sequence(instance, k > 0 ? k : tried);
        const double value = total_weighted_tardiness(instance, sequence);
        if (best.empty() || value < best_value) {
            best = std::move(sequence);
            best_value = value;
        }
        if (k > 0) break;
    }
    return internal::constructed(std::move(best), best_value, internal::now(Clock::wall) - start);
}

Result weighted_tardiness_search(const schedule::SINGLE_MACHINE& instance, const Options& options,
                                 const TardinessSearchParameters& parameters) {
    check(instance, "weighted_tardiness_search");
    if (parameters.kick < 1 || parameters.kick_window < 1 || parameters.restart_after < 0)
        throw schedule::Error(schedule::ErrorKind::argument, 999,
                              "weighted_tardiness_search: kick and window at least 1, restart_after at least 0");
    const int n = instance.jobs;
    Run run(options, [&](const std::vector<int>& s) { return total_weighted_tardiness(instance, s); });
    Random random(options.seed);
    const long restart_after = parameters.restart_after > 0 ? parameters.restart_after : 2L * n;

    Tardiness current(instance);
    {
        Result start = edd(instance);
        for (Result other : {wspt(instance), atc(instance)})
            if (other.value < start.value) start = std::move(other);
        current.set(std::move(start.sequence));
    }
    run.offer(current.sequence(), current.value());
    current.descend(run);
    run.offer(current.sequence(), current.value());

    Tardiness trial(instance);
    long since_best = 0;
    while (!run.over() && n > 1) {
        // A restart: from the best sequence, shaken by a kick over the whole sequence.
        const bool restart = since_best >= restart_after;
        trial.set(restart ? run.best() : current.sequence());
        if (restart) since_best = 0;
        const int kick = restart ? std::max(parameters.kick, n / 10) : parameters.kick;
        const int window = restart ? n - 1 : std::min(parameters.kick_window, n - 1);
        for (int k = 0; k < kick; ++k) {
            const int a = random.below(n);
            const int distance = 1 + random.below(window);
            int b = a + distance < n ? a + distance : a - distance;
            if (b < 0) b = a == 0 ? 1 : 0;
            trial.swap(a, b);
        }
        trial.descend(run);
        run.count_iteration();
        ++since_best;
        if (restart || trial.value() <= current.value()) {
            if (run.offer(trial.sequence(), trial.value())) since_best = 0;
            std::swap(current, trial);
        }
    }
    return run.finish();
}

}  // namespace zurududo::heuristics
