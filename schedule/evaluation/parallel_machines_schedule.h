// The list schedule of a sequence on parallel machines (identical, uniform or
// unrelated), built once for every consumer (completion-time vectors,
// objectives, schedule files). The three environments differ only in the
// dispatch key that ranks the machines and in the processing time of a job on
// the machine it goes to.
#ifndef SCHEDULE_EVALUATION_PARALLEL_MACHINES_SCHEDULE_H
#define SCHEDULE_EVALUATION_PARALLEL_MACHINES_SCHEDULE_H

#include <string>

#include "schedule/evaluation/construction.h"
#include "schedule/evaluation/objective_catalogue.h"
#include "schedule/support/failure.h"
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

// List scheduling in sequence order: every machine is free from time 0; each
// job goes whole to the machine the assignment rule picks by `dispatch` and
// starts there once the machine has finished its earlier jobs and `releases`
// lets it (FromTimeZero or Released; the machines are free from 0 either way,
// so a job released before 0 starts at 0). Release dates never enter the
// dispatch key. duration(machine, job) is the processing time of the job on
// the machine. Calls place(job, machine, start, completion) for positions
// 0, 1, …, jobs − 1. Needs machines ≥ 1 (see require_machines).
template <Dispatch dispatch, class Duration, class Releases, class Place>
void build(const int* seq, int jobs, int machines, const Duration& duration, Releases releases, Place&& place) {
    WorkVector<long> machine_free(machines);
    for (int i = 0; i < machines; ++i) machine_free[i] = 0;
    for (int k = 0; k < jobs; ++k) {
        const int job = seq[k];
        int chosen;
        long time;  // the job's processing time on the chosen machine
        if constexpr (dispatch == Dispatch::earliest_free) {
            chosen = assign(machines, [&](int i) { return machine_free[i]; });
            time = duration(chosen, job);
        } else {
            // The key's duration is kept for the chosen machine, not computed again.
            const auto choice = choose(machines, [&](int i) {
                const long d = duration(i, job);
                return Candidate{machine_free[i] + d, d};
            });
            chosen = choice.machine;
            time = choice.value.duration;
        }
        const long start = releases.ready(job, machine_free[chosen]);
        const long completion = start + time;
        machine_free[chosen] = completion;
        place(job, chosen, start, completion);
    }
}

// Processing times of the three environments.
struct IdenticalTimes {
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
    const int* const* pt;  // machine rows, job columns
    long operator()(int machine, int job) const { return pt[machine][job]; }
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

// The schedule of a sequence as the catalogue consumes it.
template <Dispatch dispatch, class Duration, class Releases>
auto completions(const int* seq, int jobs, int machines, Duration duration, Releases releases) {
    return [=](auto&& completed) {
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
