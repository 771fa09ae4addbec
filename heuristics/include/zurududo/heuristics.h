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
    // Asked about every 20 ms while a search runs (never by the constructions
    // and rules, which run once): true ends the run with the best found so far,
    // as a time limit does. The caller tells the result is cut short (Python
    // answers a pending signal through it).
    std::function<bool()> cancelled;
};

// `value` is a double for every objective, the one type every solver, its
// callback and its target share; the values of the unweighted objectives are
// whole numbers, exact in a double far beyond any makespan (2^53).
// zurududo::solvers::solve gives the evaluator's own type beside it
// (Outcome::value, a long for Cmax).
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
// the hardest groups of Taillard's set (docs/results.md); those are one setting away.
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
// resisted longest (docs/results.md).
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
// Job shop, makespan (release dates honoured)
// ---------------------------------------------------------------------------
// Every result is an operation sequence of the toolkit's encoding (job j
// named once per operation) and its value is Jm_Rj_Cmax of that sequence.

// The priority of a dispatching rule among the operations that may go next;
// ties go to the smallest job index.
enum class PriorityRule {
    spt,     // shortest processing time of the operation
    lpt,     // longest processing time of the operation
    mwkr,    // most work remaining in the job, the operation's included
    lwkr,    // least work remaining
    mopnr,   // most operations remaining, the operation included
    fifo,    // the job waiting longest: earliest end of its previous operation (or release date)
    random,  // uniformly at random, from the seed
};
inline constexpr PriorityRule priority_rules[] = {PriorityRule::spt,   PriorityRule::lpt,  PriorityRule::mwkr,
                                                  PriorityRule::lwkr,  PriorityRule::mopnr, PriorityRule::fifo,
                                                  PriorityRule::random};
// "spt", "lpt", "mwkr", "lwkr", "mopnr", "fifo", "random".
std::string_view rule_name(PriorityRule rule);

// Which operations compete when the next one is chosen.
enum class GenerationScheme {
    // Giffler & Thompson: the machine of the operation that can end first,
    // and on it every operation that can start before that end.
    active,
    // Every operation that can start at the earliest start of any.
    non_delay,
};

// A schedule generated operation by operation, each appended to its
// machine's order and started as early as its job and machine allow (its
// job's release date included): the schedule Jm_Rj_Cmax builds for the
// resulting sequence. `seed` drives the random rule only.
Result dispatch(const schedule::JOBSHOP& instance, PriorityRule rule,
                GenerationScheme scheme = GenerationScheme::active, std::uint64_t seed = 1);

// Tabu search on the critical path in the style of Nowicki & Smutnicki's
// TSAB (1996) and of the tabu searches that followed it. One iteration is
// one move of the neighbourhood of a critical path (below): the move of
// smallest makespan as estimated from heads and tails (ties at random),
// allowed when it re-creates no tabu arc or when its estimate beats the
// best makespan; when every move is tabu, the one whose tabu ends first. A
// move that takes an operation u past others on its machine makes the arcs
// from u to them (or from them to u) tabu for a tenure drawn in [L, 1.5 L]
// (L = 10 + n/m). Heads and tails are brought up to date only where the move
// made can change them, and its makespan is exact. An empty N5 proves the
// schedule optimal and ends the run.
//
// Neighbourhoods (see DisjunctiveGraph):
enum class Neighbourhood {
    // The first two and the last two operations of every block swapped,
    // except the first two of the first block (unless the path starts at a
    // release date) and the last two of the last.
    n5,
    // Balas & Vazacopoulos: an operation of a block moved right before the
    // block's first operation or right after its last, when heads and tails
    // show the move closes no cycle; N5 where that leaves no move.
    n6,
};
// How the search leaves a region where it stagnates: after `stagnation`
// moves without improvement,
enum class Escape {
    // TSAB's back jump tracking: back to the latest of the last `elite` best
    // solutions (each used once), the tabu list cleared, away from it by a
    // random move; with no elite solution left, from the best one after
    // `kick` random moves. The random moves swap two neighbours of a critical
    // path (N1 of van Laarhoven et al.), which reaches schedules N5 and N6
    // cannot.
    back_jump,
    // Path relinking between elite solutions in the style of Peng, Lü & Cheng's
    // TS/PR (2015): a population of `population` solutions, each the end of a
    // tabu search stopped after `stagnation` moves without improving its own
    // best (from the start, then from random dispatching); then, over and
    // over, a walk from one member towards another by swaps of machine
    // neighbours that the other has in the opposite order, a tabu search
    // from the best schedule between a quarter and half of the way, and its
    // result in place of the worst member when it is better and new.
    path_relinking,
};
//
// With `threads` above 1, as many searches run side by side, thread k drawing
// from seed + k, all from the same start; after every `exchange` moves of
// each, they wait for one another and each takes the best solution of all
// among its elite solutions (or into its population) when it beats its own.
// An iteration budget is shared out among them (and no more threads start
// than it has iterations); a time limit holds for each (on the thread_cpu
// clock, each thread's own processor time). The result is the best of all
// (ties to the lowest thread) with the iterations of all; with an iteration
// budget it is exactly reproducible. The callback is called from the
// threads, one at a time, for each improvement of the best of all.
//
// The defaults were chosen by measurement (docs/results.md, "Defaults of the tabu
// search"): N6 and path relinking, stagnation 10 000 and a population of 10;
// L as in Zhang et al. 2007. Back jumps did best with stagnation 2 500 (set
// it when choosing them).
struct TabuSearchParameters {
    int tenure = 0;             // L; 0: 10 + n/m
    Neighbourhood neighbourhood = Neighbourhood::n6;
    Escape escape = Escape::path_relinking;
    long stagnation = 10000;
    int elite = 5;              // back jumps
    int kick = 3;               // back jumps
    int population = 10;        // path relinking
    int threads = 1;
    long exchange = 20000;      // moves of each thread between exchanges
    // The starting operation sequence; empty: the best of the dispatching
    // rules other than random, active and non-delay.
    std::vector<int> start;
};
Result tabu_search(const schedule::JOBSHOP& instance, const Options& options,
                   const TabuSearchParameters& parameters = {});

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
