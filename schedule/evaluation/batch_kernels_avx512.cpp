// The batch kernels for AVX-512 (16 lanes of 32-bit integers); this file alone
// is built with -mavx512f, and nothing here runs unless the processor has it.
// See batch_kernels.h.
//
// GCC 12 warns that the intrinsics' own "undefined" source vectors may be used
// uninitialised inside its avx512fintrin.h; they are not.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

#include <climits>

#include "schedule/evaluation/batch_kernels.h"

namespace schedule::batch {

void flow_shop_avx512(const int* lane_jobs, int jobs, int machines, const int* const* pt, const int* r, int* work,
                      int* completions, bool every_position) {
    constexpr int lanes = 16;
    const __m512i before_any_time = _mm512_set1_epi32(INT_MIN);
    _mm512_storeu_si512(work, r == nullptr ? _mm512_set1_epi32(0) : before_any_time);
    for (int i = 1; i < machines; ++i) _mm512_storeu_si512(work + i * lanes, before_any_time);
    __m512i e = before_any_time;
    for (int k = 0; k < jobs; ++k) {
        const __m512i job = _mm512_loadu_si512(lane_jobs + k * lanes);
        e = _mm512_loadu_si512(work);
        if (r != nullptr) e = _mm512_max_epi32(e, _mm512_i32gather_epi32(job, r, 4));
        e = _mm512_add_epi32(e, _mm512_i32gather_epi32(job, pt[0], 4));
        _mm512_storeu_si512(work, e);
        for (int i = 1; i < machines; ++i) {
            const __m512i machine_free = _mm512_loadu_si512(work + i * lanes);
            e = _mm512_add_epi32(_mm512_max_epi32(e, machine_free), _mm512_i32gather_epi32(job, pt[i], 4));
            _mm512_storeu_si512(work + i * lanes, e);
        }
        if (every_position) _mm512_storeu_si512(completions + k * lanes, e);
    }
    if (!every_position) _mm512_storeu_si512(completions, e);
}

namespace {

// The 16 × 8 block of job-major times rows[l][0 … 7], l = 0 … 15, turned into
// 8 vectors of 16 lanes: out[i] = (rows[0][i], …, rows[15][i]). Rows l and
// l + 8 share a register, one in each 256-bit half; an 8 × 8 transpose within
// the halves (unpacks of 32 and 64 bits, then a two-source permutation of 128-bit
// blocks) leaves the lanes in order.
inline void transpose_16x8(const int* const* rows, __m512i* out) {
    __m512i z[8];
    for (int p = 0; p < 8; ++p) {
        const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[p]));
        const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[p + 8]));
        z[p] = _mm512_inserti64x4(_mm512_castsi256_si512(low), high, 1);
    }
    __m512i t[8], u[8];
    for (int p = 0; p < 8; p += 2) {
        t[p] = _mm512_unpacklo_epi32(z[p], z[p + 1]);
        t[p + 1] = _mm512_unpackhi_epi32(z[p], z[p + 1]);
    }
    for (int q = 0; q < 8; q += 4) {
        u[q] = _mm512_unpacklo_epi64(t[q], t[q + 2]);
        u[q + 1] = _mm512_unpackhi_epi64(t[q], t[q + 2]);
        u[q + 2] = _mm512_unpacklo_epi64(t[q + 1], t[q + 3]);
        u[q + 3] = _mm512_unpackhi_epi64(t[q + 1], t[q + 3]);
    }
    const __m512i first = _mm512_set_epi64(13, 12, 5, 4, 9, 8, 1, 0);
    const __m512i second = _mm512_set_epi64(15, 14, 7, 6, 11, 10, 3, 2);
    for (int i = 0; i < 4; ++i) {
        out[i] = _mm512_permutex2var_epi64(u[i], first, u[i + 4]);
        out[i + 4] = _mm512_permutex2var_epi64(u[i], second, u[i + 4]);
    }
}

}  // namespace

void flow_shop_avx512_job_major(const int* lane_jobs, int jobs, int machines, const int* by_job, int stride,
                                const int* r, int* work, int* completions, bool every_position) {
    constexpr int lanes = 16;
    const __m512i before_any_time = _mm512_set1_epi32(INT_MIN);
    _mm512_storeu_si512(work, r == nullptr ? _mm512_set1_epi32(0) : before_any_time);
    for (int i = 1; i < machines; ++i) _mm512_storeu_si512(work + i * lanes, before_any_time);
    __m512i e = before_any_time;
    for (int k = 0; k < jobs; ++k) {
        const int* job_of_lane = lane_jobs + k * lanes;
        const int* rows[lanes];
        for (int l = 0; l < lanes; ++l) rows[l] = by_job + static_cast<long>(job_of_lane[l]) * stride;
        e = _mm512_loadu_si512(work);
        if (r != nullptr) e = _mm512_max_epi32(e, _mm512_i32gather_epi32(_mm512_loadu_si512(job_of_lane), r, 4));
        for (int block = 0; block < machines; block += 8) {
            __m512i p[8];
            transpose_16x8(rows, p);
            for (int l = 0; l < lanes; ++l) rows[l] += 8;
            const int end = machines - block < 8 ? machines - block : 8;
            for (int i = 0; i < end; ++i) {
                int* machine_free = work + (block + i) * lanes;
                if (block + i > 0) e = _mm512_max_epi32(e, _mm512_loadu_si512(machine_free));
                e = _mm512_add_epi32(e, p[i]);
                _mm512_storeu_si512(machine_free, e);
            }
        }
        if (every_position) _mm512_storeu_si512(completions + k * lanes, e);
    }
    if (!every_position) _mm512_storeu_si512(completions, e);
}

}  // namespace schedule::batch
