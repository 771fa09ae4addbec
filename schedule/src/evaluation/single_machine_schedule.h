// The single-machine schedule of a sequence, built once for every consumer
// (completion-time vectors, objectives, schedule files).
#ifndef SCHEDULE_EVALUATION_SINGLE_MACHINE_SCHEDULE_H
#define SCHEDULE_EVALUATION_SINGLE_MACHINE_SCHEDULE_H

#include "evaluation/construction.h"
#include "schedule/schedule.h"

namespace schedule::single_machine {

// The semi-active schedule: jobs in sequence order, each started as soon as
// `releases` lets it on the machine. Calls place(job, start, completion) for
// positions 0, 1, …, jobs − 1.
// Always inlined: called out of line from inside the process-ending
// wrappers, the construction kept its objective's running value in memory
// and read the catalogue's conventions at run time (S1_Cmax took 1.6 × its
// floor).
template <class Releases, class Place>
[[gnu::always_inline]] inline void build(const int* seq, int jobs, const int* pt, Releases releases, Place&& place) {
    long machine_free = Releases::first_machine_free;
    for (int k = 0; k < jobs; ++k) {
        const int job = seq[k];
        const long start = releases.ready(job, machine_free);
        machine_free = start + pt[job];
        place(job, start, machine_free);
    }
}

}  // namespace schedule::single_machine

#endif  // SCHEDULE_EVALUATION_SINGLE_MACHINE_SCHEDULE_H
