// The benchmark program's counting allocator (counting_allocator.cpp).
#ifndef SCHEDULE_BENCH_COUNTING_ALLOCATOR_H
#define SCHEDULE_BENCH_COUNTING_ALLOCATOR_H

namespace counting_allocator {

// Bytes allocated and not yet released.
long bytes_in_use();

// Starts a new peak from what is in use now.
void reset_peak();

// The most bytes in use at once since the last reset_peak.
long peak_bytes();

}  // namespace counting_allocator

#endif  // SCHEDULE_BENCH_COUNTING_ALLOCATOR_H
