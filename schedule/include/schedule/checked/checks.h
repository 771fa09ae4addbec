// schedule — the checked interface: checks of records and sequences.
// Part of <schedule/checked.h>, which includes every part.
#ifndef SCHEDULE_CHECKED_CHECKS_H
#define SCHEDULE_CHECKED_CHECKS_H

#include <span>
#include <type_traits>

#include "schedule/checked/records.h"

namespace schedule {

// The record as its schedules use it. Identical machines beyond the number
// of jobs never receive a job (each job goes to the lowest-numbered of the
// machines free first, and one that never had a job is free from 0), so
// every value and schedule of the record is that of the same record with as
// many machines as jobs. The checked routines and the heuristics evaluate
// that one, so that their work storage grows with the jobs, not with a count
// of machines no job can use. Any other record is returned as it is.
template <class Record>
constexpr Record without_idle_machines(const Record& record) noexcept {
    Record used = record;
    if constexpr (std::is_same_v<Record, PARALLEL_MACHINES>) {
        if (used.jobs >= 1 && used.machines > used.jobs) used.machines = used.jobs;
    }
    return used;
}

// Throws Error (argument) unless the record can be evaluated: at least one
// job and one machine (exactly one on a single machine), non-null pt, w and
// r (and v, rt where the record has them), speeds of at least 1, routing
// entries that are machines.
template <InstanceRecord Record>
void validate(const Record& record);

// Throws Error (argument) unless `seq` is a sequence of the record: a
// permutation of 0 … n − 1, or for the job shop an operation sequence that
// names each job exactly `machines` times.
template <InstanceRecord Record>
void validate_sequence(const Record& record, std::span<const int> seq);

}  // namespace schedule

#endif  // SCHEDULE_CHECKED_CHECKS_H
