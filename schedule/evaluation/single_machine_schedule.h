// The single-machine schedule of a sequence, built once for every consumer
// (completion-time vectors, objectives, schedule files).
#ifndef SCHEDULE_EVALUATION_SINGLE_MACHINE_SCHEDULE_H
#define SCHEDULE_EVALUATION_SINGLE_MACHINE_SCHEDULE_H

#include <limits>

#include "schedule/schedule.h"

namespace schedule::single_machine {

// The semi-active schedule: jobs in sequence order, each started as soon as
// the machine is free and the job released; the first job starts exactly at
// its release date. `r` may be null, meaning every release date is 0.
// Calls place(job, start, completion) for positions 0, 1, …, jobs − 1.
template <class Place>
void build(const int* seq, int jobs, const int* pt, const int* r, Place&& place) {
    long machine_free = std::numeric_limits<long>::min();
    for (int k = 0; k < jobs; ++k) {
        const int job = seq[k];
        const long release = r != nullptr ? r[job] : 0;
        const long start = lMax(machine_free, release);
        machine_free = start + pt[job];
        place(job, start, machine_free);
    }
}

}  // namespace schedule::single_machine

#endif  // SCHEDULE_EVALUATION_SINGLE_MACHINE_SCHEDULE_H
