// A counting allocator for the memory figures: malloc and its relatives are
// replaced in the benchmark program by glibc's own, with the bytes in use and
// their peak counted (as malloc_usable_size reports them). Everything the
// process allocates goes through here, the library's vectors and operator
// new alike; the memory/ benchmarks read the peak around one evaluation.
//
// Under a sanitizer, which brings its own allocator, nothing is replaced and
// the counts stay 0.
#include <malloc.h>

#include <atomic>
#include <cstddef>
#include <cstring>

#include "perf/counting_allocator.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define SCHEDULE_BENCH_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define SCHEDULE_BENCH_SANITIZED 1
#endif

#ifndef SCHEDULE_BENCH_SANITIZED
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void __libc_free(void*);
void* __libc_memalign(std::size_t, std::size_t);
}
#endif  // SCHEDULE_BENCH_SANITIZED

namespace {

std::atomic<long> in_use{0};
std::atomic<long> peak{0};

#ifndef SCHEDULE_BENCH_SANITIZED

void count(void* p) {
    if (p == nullptr) return;
    const long now = in_use.fetch_add(static_cast<long>(malloc_usable_size(p)), std::memory_order_relaxed) +
                     static_cast<long>(malloc_usable_size(p));
    long seen = peak.load(std::memory_order_relaxed);
    while (now > seen && !peak.compare_exchange_weak(seen, now, std::memory_order_relaxed)) {
    }
}

void uncount(void* p) {
    if (p != nullptr) in_use.fetch_sub(static_cast<long>(malloc_usable_size(p)), std::memory_order_relaxed);
}

#endif  // SCHEDULE_BENCH_SANITIZED

}  // namespace

namespace counting_allocator {

long bytes_in_use() { return in_use.load(std::memory_order_relaxed); }

void reset_peak() { peak.store(in_use.load(std::memory_order_relaxed), std::memory_order_relaxed); }

long peak_bytes() { return peak.load(std::memory_order_relaxed); }

}  // namespace counting_allocator

#ifndef SCHEDULE_BENCH_SANITIZED
extern "C" {

void* malloc(std::size_t size) {
    void* p = __libc_malloc(size);
    count(p);
    return p;
}

void* calloc(std::size_t n, std::size_t size) {
    void* p = __libc_calloc(n, size);
    count(p);
    return p;
}

void* realloc(void* old, std::size_t size) {
    uncount(old);
    void* p = __libc_realloc(old, size);
    count(p == nullptr && size != 0 ? old : p);
    return p;
}

void free(void* p) {
    uncount(p);
    __libc_free(p);
}

void* memalign(std::size_t alignment, std::size_t size) {
    void* p = __libc_memalign(alignment, size);
    count(p);
    return p;
}

void* aligned_alloc(std::size_t alignment, std::size_t size) { return memalign(alignment, size); }

int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
    void* p = memalign(alignment, size);
    if (p == nullptr) return 12;  // ENOMEM
    *out = p;
    return 0;
}

}  // extern "C"
#endif  // SCHEDULE_BENCH_SANITIZED
