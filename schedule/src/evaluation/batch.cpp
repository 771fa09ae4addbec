// The batch driver's choice of instruction set and its range check.
#include "evaluation/batch.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdlib>

namespace schedule::batch {

namespace {

Isa detected() {
#if defined(SCHEDULE_X86_KERNELS) && (defined(__GNUC__) || defined(__clang__))
    if (__builtin_cpu_supports("avx512f")) return Isa::avx512;
    if (__builtin_cpu_supports("avx2")) return Isa::avx2;
#endif
    return Isa::scalar;
}

std::atomic<Isa> widest_allowed{Isa::avx512};

}  // namespace

Isa isa() {
    static const Isa processor = detected();
    const Isa allowed = widest_allowed.load(std::memory_order_relaxed);
    return static_cast<int>(processor) < static_cast<int>(allowed) ? processor : allowed;
}

void restrict_to(Isa widest) { widest_allowed.store(widest, std::memory_order_relaxed); }

bool fits_in_32_bits(int jobs, int machines, const int* const* pt, const int* r) {
    const long limit = INT_MAX - 1L;
    long total = 0;
    if (r != nullptr) {
        for (int j = 0; j < jobs; ++j) total = std::max(total, std::labs(static_cast<long>(r[j])));
    }
    for (int i = 0; i < machines; ++i) {
        const int* row = pt[i];
        for (int j = 0; j < jobs; ++j) total += std::labs(static_cast<long>(row[j]));
        if (total > limit) return false;  // no overflow: each row adds below 2^62
    }
    return total <= limit;
}

}  // namespace schedule::batch
