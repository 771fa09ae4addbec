// schedule — the checked interface.
//
// The routines of <schedule/schedule.h> end the process on any fatal
// condition, which suits a program written around them but not one that
// embeds the library: an interpreter, a long-running search, a service. The
// routines here do the same work and report every failure by throwing
// schedule::Error instead; they print nothing unless asked to, hand out owning
// records that release their blocks, and check records and sequences before
// evaluating them, so a bad sequence is an error and never a read out of
// bounds.
#ifndef SCHEDULE_CHECKED_H
#define SCHEDULE_CHECKED_H

#include "schedule/checked/error.h"
#include "schedule/checked/names.h"
#include "schedule/checked/storage.h"
#include "schedule/checked/records.h"
#include "schedule/checked/loading.h"
#include "schedule/checked/plain_files.h"
#include "schedule/checked/checks.h"
#include "schedule/checked/objectives.h"
#include "schedule/checked/evaluation.h"
#include "schedule/checked/files.h"
#include "schedule/checked/layouts.h"
#include "schedule/schedule.h"

#endif  // SCHEDULE_CHECKED_H
