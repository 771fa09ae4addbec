// schedule — the checked interface: checks of records and sequences.
// Part of <schedule/checked.h>, which includes every part.
#ifndef SCHEDULE_CHECKED_CHECKS_H
#define SCHEDULE_CHECKED_CHECKS_H

#include <span>

#include "schedule/checked/records.h"

namespace schedule {

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
