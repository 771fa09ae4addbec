// zurududo heuristics — reference methods built on the toolkit's public API:
// the baseline that users of the toolkit compare their own methods against.
//
// Every solver has one shape: it takes a record, a budget (a time limit, an
// iteration count, or both; whichever is reached first ends the run), a seed
// and an optional callback, and returns the best sequence it found with its
// value, the time it took and the iterations it ran. The value reported is
// always what the toolkit's evaluator returns for the sequence reported.
// With the same seed and an iteration budget a run is exactly reproducible;
// a time limit makes the stopping point depend on the machine.
#ifndef ZURUDUDO_HEURISTICS_H
#define ZURUDUDO_HEURISTICS_H

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <schedule/checked.h>

namespace zurududo::heuristics {

// The clock a time limit is measured on. `thread_cpu` is the processor time
// of the solving thread (CLOCK_THREAD_CPUTIME_ID): on a shared machine it
// does not count the time other processes take from the run, so results at
// a given limit do not depend on the machine's load.
enum class Clock { wall, thread_cpu };

struct Budget {
    double seconds = 0;   // time limit; 0: none
    long iterations = 0;  // iteration limit; 0: none
    Clock clock = Clock::wall;
};

// One improvement of the best value, as the callback sees it.
struct Improvement {
    double value;
    double seconds;  // since the start, on the budget's clock
    long iteration;
    std::span<const int> sequence;
};

struct Options {
    Budget budget;
    std::uint64_t seed = 1;
    // Called on each improvement of the best sequence (the first included).
    std::function<void(const Improvement&)> on_improvement;
    // The run ends as soon as the best value is at most this (a known optimum, say).
    double target = -1e300;
};

struct Result {
    std::vector<int> sequence;
    double value = 0;    // the toolkit's evaluator on `sequence`
    double seconds = 0;  // on the budget's clock
    long iterations = 0;
};

// ---------------------------------------------------------------------------
// Permutation flow shop, makespan (release dates honoured)
// ---------------------------------------------------------------------------

// NEH (Nawaz, Enscore, Ham 1983) with Taillard's acceleration: jobs by
// non-increasing total processing time, equal totals in increasing job
// index; each inserted at the first position of smallest partial makespan.
Result neh(const schedule::FLOWSHOP& instance);

// Iterated greedy in the style of Ruiz & Stützle (2007): remove `destruction`
// random jobs, improve what is left by insertion local search (Dubois-Lacoste,
// López-Ibáñez and Stützle 2017), reinsert the removed jobs one by one at
// their best positions, improve the whole by insertion local search, and
// accept a worse sequence with probability exp(−Δ/T), the temperature
// T = temperature · Σp / (n · m · 10). Starts from NEH improved by the local
// search. One iteration is one destruction and reconstruction.
//
// The defaults (d = 2, T = 0.7, partial local search on) did better than Ruiz
// & Stützle's calibrated d = 4, T = 0.4 without it in a short calibration on
// the hardest groups of Taillard's set (RESULTS.md); those are one setting away.
struct IteratedGreedyParameters {
    int destruction = 2;
    double temperature = 0.7;
    bool local_search = true;
    // Improve the partial sequence left by the destruction before rebuilding it.
    bool partial_local_search = true;
};
Result iterated_greedy(const schedule::FLOWSHOP& instance, const Options& options,
                       const IteratedGreedyParameters& parameters = {});

// ---------------------------------------------------------------------------
// Single machine, total weighted tardiness (no release dates)
// ---------------------------------------------------------------------------

// Earliest due date first; equal due dates in increasing job index.
Result edd(const schedule::SINGLE_MACHINE& instance);
// Weighted shortest processing time first (largest w/p); ties by job index.
Result wspt(const schedule::SINGLE_MACHINE& instance);
// Apparent tardiness cost (Vepsalainen & Morton 1987): at each step the job
// of largest w/p · exp(−max(d − t − p, 0) / (k · p̄)); the best of the
// look-ahead values k = 0.5, 1, …, 4 when `k` is 0.
Result atc(const schedule::SINGLE_MACHINE& instance, double k = 0);

// Iterated local search: descent by swap and insertion moves whose changes
// of value are computed from the completion times of the current sequence,
// a perturbation of `kick` random swaps of nearby jobs, and a restart from
// the best sequence after `restart_after` iterations without improvement.
// Starts from the best of EDD, WSPT and ATC. One iteration is one
// perturbation and descent.
// The defaults did best among a few settings on the wt100 instances that
// resisted longest (RESULTS.md).
struct TardinessSearchParameters {
    int kick = 6;
    int kick_window = 20;
    long restart_after = 0;  // 0: 2 · n
};
Result weighted_tardiness_search(const schedule::SINGLE_MACHINE& instance, const Options& options,
                                 const TardinessSearchParameters& parameters = {});

// ---------------------------------------------------------------------------
// Identical parallel machines, makespan
// ---------------------------------------------------------------------------

// Longest processing time first, each job to the machine free first.
Result lpt(const schedule::PARALLEL_MACHINES& instance);

// ---------------------------------------------------------------------------
// Any sequence, any objective
// ---------------------------------------------------------------------------

// The value of a sequence; smaller is better.
using Evaluator = std::function<double(std::span<const int> sequence)>;

// Iterated greedy over sequences of any length (a permutation of the jobs, or
// the job shop's operation sequence, where a job appears once per
// operation): remove `destruction` random entries, reinsert each at its best
// position, improve by first-improvement insertion, accept as above with a
// temperature relative to the start's value. Every value comes from
// `evaluate`, always on a whole sequence (the start's length): while a
// destroyed sequence is rebuilt, the entries still to be placed wait at its
// end. One iteration is one destruction and reconstruction.
struct GenericParameters {
    int destruction = 4;
    double temperature = 0.005;  // relative to the value of the start
    bool local_search = true;
};
Result generic_search(std::vector<int> start, const Evaluator& evaluate, const Options& options,
                      const GenericParameters& parameters = {});

// The same for an objective of the toolkit's catalogue ("Cmax", "Wj_SumTj",
// …) on a record of any environment that has evaluators, from the identity
// permutation (the job shop: the jobs in turn, once per operation). The
// record, the objective and its need of due dates are checked first
// (schedule::Error, argument).
template <schedule::EvaluatedRecord Record>
Result generic_search(const Record& record, std::string_view objective, const Options& options,
                      const GenericParameters& parameters = {});

}  // namespace zurududo::heuristics

#endif  // ZURUDUDO_HEURISTICS_H
