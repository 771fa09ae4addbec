// Iterated greedy over any sequence, every value from the caller's evaluator;
// and list scheduling by LPT on identical machines.
#include <algorithm>
#include <cmath>
#include <numeric>
#include <type_traits>

#include "run.h"

namespace zurududo::heuristics {

namespace {

using internal::Random;
using internal::Run;

class Search {
public:
    Search(const Evaluator& evaluate, Run& run) : evaluate_(evaluate), run_(run) {}

    double value(const std::vector<int>& sequence) const { return evaluate_(sequence); }

    // Inserts `entry` at the first position of smallest value; returns that
    // value. The evaluator sees whole sequences only: the entries `pending`
    // a place wait at the end.
    double insert_best(std::vector<int>& sequence, int entry, std::span<const int> pending = {}) {
        trial_.assign(1, entry);
        trial_.insert(trial_.end(), sequence.begin(), sequence.end());
        trial_.insert(trial_.end(), pending.begin(), pending.end());
        double best = value(trial_);
        std::size_t best_at = 0;
        for (std::size_t at = 1; at <= sequence.size(); ++at) {
            std::swap(trial_[at - 1], trial_[at]);
            const double found = value(trial_);
            if (found < best) {
                best = found;
                best_at = at;
            }
        }
        sequence.insert(sequence.begin() + static_cast<std::ptrdiff_t>(best_at), entry);
        return best;
    }

    // Every position, in a new random order each pass, taken out and put back
    // at its best place, until a pass improves nothing.
    double improve(std::vector<int>& sequence, double current, Random& random) {
        std::vector<std::size_t> positions(sequence.size());
        bool improved = true;
        while (improved) {
            improved = false;
            std::iota(positions.begin(), positions.end(), 0);
            random.shuffle(positions);
            for (std::size_t at : positions) {
                if (run_.time_up()) return current;
                const int entry = sequence[at];
                sequence.erase(sequence.begin() + static_cast<std::ptrdiff_t>(at));
                const double found = insert_best(sequence, entry);
                if (found < current) {
                    current = found;
                    improved = true;
                }
            }
        }
        return current;
    }

private:
    const Evaluator& evaluate_;
    Run& run_;
    std::vector<int> trial_;
};

}  // namespace

Result generic_search(std::vector<int> start, const Evaluator& evaluate, const Options& options,
                      const GenericParameters& parameters) {
    if (parameters.destruction < 1 || !(parameters.temperature >= 0))
        throw schedule::Error(schedule::ErrorKind::argument, 999,
                              "generic_search: destruction at least 1, temperature at least 0");
    Run run(options, [&](const std::vector<int>& s) { return evaluate(s); });
    Random random(options.seed);
    Search search(evaluate, run);

    std::vector<int> current = std::move(start);
    double value = search.value(current);
    run.offer(current, value);
    if (current.size() < 2) return run.finish();
    if (parameters.local_search) {
        value = search.improve(current, value, random);
        run.offer(current, value);
    }
    const double temperature = parameters.temperature * std::fabs(value);
    const int destruction = std::min<int>(parameters.destruction, static_cast<int>(current.size()));

    std::vector<int> candidate;
    std::vector<int> removed;
    while (!run.over()) {
        candidate = current;
        internal::destroy(candidate, destruction, random, removed);
        double found = 0;
        for (std::size_t k = 0; k < removed.size(); ++k)
            found = search.insert_best(candidate, removed[k], std::span<const int>(removed).subspan(k + 1));
        if (parameters.local_search) found = search.improve(candidate, found, random);
        run.count_iteration();
        if (found < value) {
            current.swap(candidate);
            value = found;
            run.offer(current, value);
        } else if (internal::accept(found, value, temperature, random)) {
            current.swap(candidate);
            value = found;
        }
    }
    return run.finish();
}

template <schedule::EvaluatedRecord Record>
Result generic_search(const Record& record, std::string_view objective, const Options& options,
                      const GenericParameters& parameters) {
    schedule::validate(record);
    const auto& entry = schedule::find_objective<Record>(objective);
    std::vector<int> start;
    const int rounds = std::is_same_v<Record, schedule::JOBSHOP> ? record.machines : 1;
    for (int round = 0; round < rounds; ++round)
        for (int j = 0; j < record.jobs; ++j) start.push_back(j);
    (void)schedule::evaluate(record, start, entry);  // due dates present when needed
    const Record used = schedule::without_idle_machines(record);
    const Evaluator evaluate = [&used, &entry](std::span<const int> sequence) {
        return entry.integer != nullptr ? static_cast<double>(entry.integer(sequence.data(), used))
                                        : entry.real(sequence.data(), used);
    };
    return generic_search(std::move(start), evaluate, options, parameters);
}

template Result generic_search(const schedule::SINGLE_MACHINE&, std::string_view, const Options&,
                               const GenericParameters&);
template Result generic_search(const schedule::PARALLEL_MACHINES&, std::string_view, const Options&,
                               const GenericParameters&);
template Result generic_search(const schedule::RELATED_MACHINES&, std::string_view, const Options&,
                               const GenericParameters&);
template Result generic_search(const schedule::UNRELATED_MACHINES&, std::string_view, const Options&,
                               const GenericParameters&);
template Result generic_search(const schedule::FLOWSHOP&, std::string_view, const Options&, const GenericParameters&);
template Result generic_search(const schedule::JOBSHOP&, std::string_view, const Options&, const GenericParameters&);

Result lpt(const schedule::PARALLEL_MACHINES& instance) {
    schedule::validate(instance);
    const double start = internal::now(Clock::wall);
    std::vector<int> sequence(static_cast<std::size_t>(instance.jobs));
    std::iota(sequence.begin(), sequence.end(), 0);
    std::stable_sort(sequence.begin(), sequence.end(), [&](int a, int b) { return instance.pt[a] > instance.pt[b]; });
    // The toolkit's evaluator puts each job, in sequence order, on the machine free first.
    const double value = static_cast<double>(schedule::Pm_Cmax(
        sequence.data(), instance.jobs, schedule::without_idle_machines(instance).machines, instance.pt));
    return internal::constructed(std::move(sequence), value, internal::now(Clock::wall) - start);
}

}  // namespace zurududo::heuristics
