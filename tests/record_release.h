// Releasing every vector and matrix of a loaded instance record, for the
// tests and the fuzz harness.
#ifndef SCHEDULE_TESTS_RECORD_RELEASE_H
#define SCHEDULE_TESTS_RECORD_RELEASE_H

#include <cstdlib>
#include <type_traits>

#include "schedule/schedule.h"

namespace testing_support {

template <class Record>
void release(Record& record) {
    std::free(record.dd);
    std::free(record.w);
    std::free(record.r);
    if constexpr (requires { record.v; }) std::free(record.v);
    if constexpr (requires { record.rt; }) schedule::free_mat_int(record.rt, record.jobs);
    if constexpr (std::is_same_v<decltype(record.pt), int*>) {
        std::free(record.pt);
    } else {
        schedule::free_mat_int(record.pt, record.machines);
    }
}

}  // namespace testing_support

#endif  // SCHEDULE_TESTS_RECORD_RELEASE_H
