// The batch kernels for AVX2 (8 lanes of 32-bit integers); this file alone
// is built with -mavx2, and nothing here runs unless the processor has it.
// See batch_kernels.h.
#include <immintrin.h>

#include <climits>

#include "schedule/evaluation/batch_kernels.h"

namespace schedule::batch {

void flow_shop_avx2(const int* lane_jobs, int jobs, int machines, const int* const* pt, const int* r, int* work,
                    int* completions, bool every_position) {
    constexpr int lanes = 8;
    const __m256i before_any_time = _mm256_set1_epi32(INT_MIN);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(work), r == nullptr ? _mm256_set1_epi32(0) : before_any_time);
    for (int i = 1; i < machines; ++i) _mm256_storeu_si256(reinterpret_cast<__m256i*>(work + i * lanes), before_any_time);
    __m256i e = before_any_time;
    for (int k = 0; k < jobs; ++k) {
        const __m256i job = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lane_jobs + k * lanes));
        e = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(work));
        if (r != nullptr) e = _mm256_max_epi32(e, _mm256_i32gather_epi32(r, job, 4));
        e = _mm256_add_epi32(e, _mm256_i32gather_epi32(pt[0], job, 4));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(work), e);
        for (int i = 1; i < machines; ++i) {
            const __m256i machine_free = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(work + i * lanes));
            e = _mm256_add_epi32(_mm256_max_epi32(e, machine_free), _mm256_i32gather_epi32(pt[i], job, 4));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(work + i * lanes), e);
        }
        if (every_position) _mm256_storeu_si256(reinterpret_cast<__m256i*>(completions + k * lanes), e);
    }
    if (!every_position) _mm256_storeu_si256(reinterpret_cast<__m256i*>(completions), e);
}

}  // namespace schedule::batch
