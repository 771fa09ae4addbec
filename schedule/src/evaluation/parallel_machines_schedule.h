// The list schedule of a sequence on parallel machines (identical, uniform or
// unrelated), built once for every consumer (completion-time vectors,
// objectives, schedule files). The three environments differ only in the
// dispatch key that ranks the machines and in the processing time of a job on
// the machine it goes to.
#ifndef SCHEDULE_EVALUATION_PARALLEL_MACHINES_SCHEDULE_H
#define SCHEDULE_EVALUATION_PARALLEL_MACHINES_SCHEDULE_H

#include <limits>
#include <string>
#include <type_traits>

#include "evaluation/construction.h"
#include "evaluation/objective_catalogue.h"
#include "support/failure.h"
#include "schedule/schedule.h"

namespace schedule::parallel_machines {

// The assignment rule: the lowest-numbered machine among those whose key(i),
// i in 0 … machines − 1, is the smallest. Ranking the machines by key and
// scanning the run of smallest keys for the lowest number gives the same
// machine, whatever order the ranking leaves equal keys in; one pass does it,
// a machine displacing the one found so far only with a strictly smaller key.
//
// key(i) returns the key itself, or a Candidate that carries along what was
// computed with the key; choose() returns the chosen machine together with
// what key() returned for it.
struct Candidate {
    long key;
    long duration;  // of the job on the machine
};

inline long key_of(long key) { return key; }
inline long key_of(const Candidate& candidate) { return candidate.key; }

template <class Value>
struct Choice {
    int machine;
    Value value;
};

template <class Key>
auto choose(int machines, Key&& key) {
    Choice<decltype(key(0))> best{0, key(0)};
    for (int i = 1; i < machines; ++i) {
        const auto candidate = key(i);
        if (key_of(candidate) < key_of(best.value)) best = {i, candidate};
    }
    return best;
}

template <class Key>
int assign(int machines, Key&& key) {
    return choose(machines, key).machine;
}

// How the machines are ranked for the job about to be placed.
enum class Dispatch {
    earliest_free,        // by the time from which each machine is free
    earliest_completion,  // by the time the job would complete there
};

// The earliest-free rule for many machines: a tournament over the machines'
// free times. Leaf P + i stands for machine i (P, a power of two, at least
// the number of machines; the leaves beyond the machines are free at the
// largest time and, numbered higher, never win a tie against a machine);
// every inner node holds the winner of its two subtrees, the machine free
// first and among equal free times the one with the lower number, so the root
// is exactly the machine the assignment rule picks. After the winner's free
// time changes, only the nodes on its path to the root are played again, one
// comparison each: O(log m) per job where a scan costs O(m).
class Tournament {
public:
    explicit Tournament(int machines) : size_(leaves(machines)), free_(size_), node_(2 * size_) {
        for (int i = 0; i < size_; ++i) {
            free_[i] = i < machines ? 0 : std::numeric_limits<long>::max();
            node_[size_ + i] = i;
        }
        // All machines free at 0: every subtree is won by its lowest machine.
        for (int n = size_ - 1; n >= 1; --n) node_[n] = node_[2 * n];
    }

    // The machine the rule picks now, and the time from which it is free.
    struct Winner {
        int machine;
        long free;
    };
    Winner winner() { return {node_[1], free_[node_[1]]}; }

    // `current`, the winner, becomes free at `time`: the matches on its path
    // are played again. Returns the new winner, which the caller keeps at
    // hand for the next job instead of reading it back from the tree.
    Winner reschedule(Winner current, long time) {
        int machine = current.machine;
        long key = time;
        free_[machine] = time;
        // Ranked by free time, then by machine number: one comparison of
        // (free time · 2³² + machine) in 128 bits, and a select without a
        // branch, since which side wins is as good as random; with many
        // machines a branch would be mispredicted at every other level.
        __extension__ using Rank = __int128;
        auto rank = [](long free, int m) { return static_cast<Rank>(free) * (Rank{1} << 32) + m; };
        Rank best = rank(key, machine);
        for (int n = size_ + machine; n > 1; n >>= 1) {
            const int rival = node_[n ^ 1];
            const Rank rival_rank = rank(free_[rival], rival);
            best = rival_rank < best ? rival_rank : best;
            node_[n >> 1] = static_cast<int>(static_cast<unsigned long>(best) & 0xffffffffUL);
        }
        machine = static_cast<int>(static_cast<unsigned long>(best) & 0xffffffffUL);
        key = static_cast<long>(best >> 32);
        return {machine, key};
    }

private:
    static int leaves(int machines) {
        int p = 1;
        while (p < machines) p *= 2;
        return p;
    }

    int size_;
    WorkVector<long> free_;
    WorkVector<int> node_;
};

// From how many machines the tournament replaces the scan for the
// earliest-free rule. Set from the benchmark's crossover/ group (see
// docs/performance.md): with sequences that change from call to call, the scan is
// faster up to 6 machines, the two are even at 8, and the tournament is twice
// as fast at 12 and pulls away from there. Beyond tournament_up_to machines
// the tree's size would not fit an int, and the scan takes over.
inline constexpr int tournament_from = 8;
inline constexpr int tournament_up_to = 1 << 28;

// From how many machines the earliest-completion scan keeps its smallest key
// with a branch instead of selects (measured: see docs/performance.md).
inline constexpr int branch_from = 16;

// Which construction realises the earliest-free rule: chosen by the number of
// machines, or forced (the benchmark and the tests compare them). Both pick
// the same machine for every job.
enum class Search { by_machines, scan, tournament };

// List scheduling in sequence order: every machine is free from time 0; each
// job goes whole to the machine the assignment rule picks by `dispatch` and
// starts there once the machine has finished its earlier jobs and `releases`
// lets it (FromTimeZero or Released; the machines are free from 0 either way,
// so a job released before 0 starts at 0). Release dates never enter the
// dispatch key. duration(machine, job) is the processing time of the job on
// the machine. Calls place(job, machine, start, completion) for positions
// 0, 1, …, jobs − 1. Needs machines ≥ 1 (see require_machines). Always
// inlined, so that the objective's running value stays in a register (see
// single_machine::build).
template <Dispatch dispatch, Search search = Search::by_machines, class Duration, class Releases, class Place>
[[gnu::always_inline]] inline void build(const int* seq, int jobs, int machines, const Duration& duration, Releases releases,
                                         Place&& place) {
    if constexpr (dispatch == Dispatch::earliest_free && search != Search::scan) {
        if (search == Search::tournament ||
            (search == Search::by_machines && machines >= tournament_from && machines <= tournament_up_to)) {
            Tournament machines_by_free(machines);
            auto chosen = machines_by_free.winner();
            for (int k = 0; k < jobs; ++k) {
                const int job = seq[k];
                const int machine = chosen.machine;
                const long start = releases.ready(job, chosen.free);
                const long completion = start + duration(machine, job);
                chosen = machines_by_free.reschedule(chosen, completion);
                place(job, machine, start, completion);
            }
            return;
        }
    }
    WorkVector<long> machine_free(machines);
    for (int i = 0; i < machines; ++i) machine_free[i] = 0;
    // Unrelated machines read a column of times per job: two copies of the
    // loop, one fetching ahead for matrices beyond the caches (see
    // jobs_ahead), so that the others pay nothing for it.
    const int ahead = jobs_ahead(jobs, machines);
    const auto place_all = [&](auto fetch_ahead) __attribute__((always_inline)) {
        for (int k = 0; k < jobs; ++k) {
            const int job = seq[k];
            if constexpr (Duration::reads_a_matrix) {
                if constexpr (decltype(fetch_ahead)::value) {
                    if (k + ahead < jobs) {
                        const int later = seq[k + ahead];
                        for (int i = 0; i < machines; ++i) duration.prefetch(i, later);
                    }
                }
            }
            int chosen;
            long chosen_free;  // when the chosen machine is free
            long time;         // the job's processing time on the chosen machine
            if constexpr (dispatch == Dispatch::earliest_free) {
                // assign() over the free times, written so that the compiler
                // keeps the smallest key and its machine in registers and selects
                // without a branch: which machine is free first is as good as
                // random, and a mispredicted branch costs more than the selects.
                chosen = 0;
                chosen_free = machine_free[0];
                for (int i = 1; i < machines; ++i) {
                    const long f = machine_free[i];
                    const bool smaller = f < chosen_free;
                    chosen_free = smaller ? f : chosen_free;
                    chosen = smaller ? i : chosen;
                }
                time = duration(chosen, job);
            } else {
                // choose() over the completion times, written out so that the
                // smallest key, its machine and the job's duration there stay in
                // registers: the duration is kept, not computed again, and the
                // chosen machine's free time is the key less the duration. With
                // few machines, which one wins is as good as random and selects
                // beat a mispredicted branch; with many, a new smallest key turns
                // up ever more rarely along the scan, the branch is predicted, and
                // the selects' chain through the smallest key would cost more.
                chosen = 0;
                time = duration(0, job);
                long best = machine_free[0] + time;
                if (machines < branch_from) {
                    for (int i = 1; i < machines; ++i) {
                        const long d = duration(i, job);
                        const long key = machine_free[i] + d;
                        const bool smaller = key < best;
                        best = smaller ? key : best;
                        chosen = smaller ? i : chosen;
                        time = smaller ? d : time;
                    }
                } else {
                    for (int i = 1; i < machines; ++i) {
                        const long d = duration(i, job);
                        const long key = machine_free[i] + d;
                        // Rare along a long scan. The empty statement keeps
                        // GCC from turning the branch into selects, which it
                        // did for some objectives (Rm_Cmax at 1 000 × 200
                        // took up to 1.24 × its floor).
                        if (__builtin_expect(key < best, 0)) {
                            asm volatile("");
                            best = key;
                            chosen = i;
                            time = d;
                        }
                    }
                }
                chosen_free = best - time;
            }
            const long start = releases.ready(job, chosen_free);
            const long completion = start + time;
            machine_free[chosen] = completion;
            place(job, chosen, start, completion);
        }
    };
    if constexpr (Duration::reads_a_matrix) {
        if (ahead > 0) {
            place_all(std::true_type{});
            return;
        }
    }
    place_all(std::false_type{});
}

// Processing times of the three environments. Only unrelated machines read a
// matrix, whose times prefetch(machine, job) asks for ahead of need.
struct IdenticalTimes {
    static constexpr bool reads_a_matrix = false;
    const int* pt;  // by job
    long operator()(int /*machine*/, int job) const { return pt[job]; }
};

// On uniform machines a job takes lround(p / v): its processing time at
// speed 1 divided by the machine's speed, rounded to the nearest integer with
// halves upwards. With the speed checked to be at least 1 (uniform_times),
// that is computed in integers, without the division in double and the calls
// into lround that would otherwise come m times per job: the floored quotient,
// plus one when twice the remainder reaches v.
//
// The two agree for every int p and v ≥ 1. The exact quotient x = p / v is
// below 2³¹ in magnitude, so the double division is off by less than
// 2⁻²² / v. The points where rounding changes, integers and halves, are
// multiples of 1 / (2v) like x itself, so x is either on one of them (and
// then exactly representable, so the division is exact) or at least 1 / (2v)
// away from each, farther than the error; either way the double quotient
// rounds as x does.
struct UniformTimes {
    static constexpr bool reads_a_matrix = false;
    const int* pt;  // by job, at speed 1
    const int* v;   // speed of each machine, at least 1
    long operator()(int machine, int job) const {
        const int p = pt[job];
        const int speed = v[machine];
        long quotient = p / speed;
        long remainder = p % speed;
        if (remainder < 0) {  // truncated towards 0: step down to the floor
            quotient -= 1;
            remainder += speed;
        }
        return 2 * remainder >= speed ? quotient + 1 : quotient;
    }
};

struct UnrelatedTimes {
    static constexpr bool reads_a_matrix = true;
    const int* const* pt;  // machine rows, job columns
    long operator()(int machine, int job) const { return pt[machine][job]; }
    // Always inlined: left as a call, GCC finds the function free of effects
    // and drops the call, prefetch and all.
    [[gnu::always_inline]] void prefetch(int machine, int job) const { __builtin_prefetch(&pt[machine][job]); }
};

// The processing times of uniform machines, for an evaluator named
// `evaluator`; throws Error (argument) unless every speed is at
// least 1, since a speed of 0 or below gives no meaningful processing time.
inline UniformTimes uniform_times(const char* evaluator, int machines, const int* pt, const int* v) {
    for (int i = 0; i < machines; ++i) {
        if (v[i] >= 1) continue;
        const std::string info = std::string(evaluator) + ": the speed of machine " + std::to_string(i) +
                                 " must be at least 1 (v=" + std::to_string(v[i]) + ")";
        fail(ErrorKind::argument, 999, info);
    }
    return {pt, v};
}

// Maxima are the largest term over all jobs, whatever order the jobs are
// met in; weighted sums start from 0.0; without jobs, Lmax and Wj_Lmax are
// −2147483647.
constexpr catalogue::Conventions conventions{false, 0.0, -2147483647};

// The schedule of a sequence as the catalogue consumes it. Always inlined
// into the catalogue's fold, like build: kept out of line, the fold's running
// value lived in memory, and a weighted sum over 1 000 jobs on 50 unrelated
// machines took 1.2 × its floor.
template <Dispatch dispatch, class Duration, class Releases>
auto completions(const int* seq, int jobs, int machines, Duration duration, Releases releases) {
    return [=](auto&& completed) __attribute__((always_inline)) {
        build<dispatch>(seq, jobs, machines, duration, releases,
                        [&completed](int job, int, long, long end) { completed(job, end); });
    };
}

// Objective `Obj` of the schedule, for an evaluator named `evaluator`.
template <class Obj, Dispatch dispatch, class Duration, class Releases>
typename Obj::Result evaluate(const char* evaluator, const int* seq, int jobs, int machines, Duration duration,
                              Releases releases, const catalogue::JobData& data) {
    require_machines(evaluator, machines);
    return catalogue::evaluate<Obj>(evaluator, conventions, data,
                                    completions<dispatch>(seq, jobs, machines, duration, releases));
}

// The completion times of the schedule, a new vector indexed by job.
template <Dispatch dispatch, class Duration, class Releases>
long* completion_times(const char* evaluator, const int* seq, int jobs, int machines, Duration duration,
                       Releases releases) {
    require_machines(evaluator, machines);
    return catalogue::completion_times(jobs, completions<dispatch>(seq, jobs, machines, duration, releases));
}

}  // namespace schedule::parallel_machines

#endif  // SCHEDULE_EVALUATION_PARALLEL_MACHINES_SCHEDULE_H
