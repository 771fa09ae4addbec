// The benchmark program's counting allocator (counting_allocator.cpp).
#ifndef ZURUDUDO_PERF_COUNTING_ALLOCATOR_H
#define ZURUDUDO_PERF_COUNTING_ALLOCATOR_H

namespace counting_allocator {

// Bytes allocated and not yet released.
long bytes_in_use();

// Starts a new peak from what is in use now.
void reset_peak();

// The most bytes in use at once since the last reset_peak.
long peak_bytes();

}  // namespace counting_allocator

#endif  // ZURUDUDO_PERF_COUNTING_ALLOCATOR_H
