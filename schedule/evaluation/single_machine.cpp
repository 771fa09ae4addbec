// Single-machine evaluators.
#include "schedule/evaluation/single_machine_schedule.h"
#include "schedule/schedule.h"

namespace schedule {

long* S1_Rj_Cj(const int* seq, SINGLE_MACHINE instance) {
    long* completion = newLVector(instance.jobs);
    single_machine::build(seq, instance.jobs, instance.pt, instance.r,
                          [completion](int job, long, long end) { completion[job] = end; });
    return completion;
}

}  // namespace schedule
