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

// One 8-machine block of a position: the 16 × 8 job-major times at
// rows[l] + offset, l = 0 … 15, turned into 8 vectors of 16 lanes (machine i of
// the block in lane l is rows[l][offset + i]), then the block's machines in
// turn: each operation starts when both the job (`e`, its completion on the
// machine before) and the machine (free[i · 16 …]) are free.
//
// Rows l and l + 8 share a register, one in each 256-bit half; an 8 × 8
// transpose within the halves (unpacks of 32 and 64 bits, then a two-source
// permutation of 128-bit blocks) leaves the lanes in order. Everything is a
// named value rather than an array indexed in a loop, so that the block stays
// in registers whatever the compiler's unrolling (an array of vectors indexed
// in loops went through the stack at -O2 and made the kernel three times
// slower).
inline __m512i block_of_8(const int* const* rows, int offset, int* free, __m512i e) {
    const auto pair = [&](int p) {
        const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[p] + offset));
        const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[p + 8] + offset));
        return _mm512_inserti64x4(_mm512_castsi256_si512(low), high, 1);
    };
    const __m512i z0 = pair(0), z1 = pair(1), z2 = pair(2), z3 = pair(3);
    const __m512i z4 = pair(4), z5 = pair(5), z6 = pair(6), z7 = pair(7);
    const __m512i t0 = _mm512_unpacklo_epi32(z0, z1), t1 = _mm512_unpackhi_epi32(z0, z1);
    const __m512i t2 = _mm512_unpacklo_epi32(z2, z3), t3 = _mm512_unpackhi_epi32(z2, z3);
    const __m512i t4 = _mm512_unpacklo_epi32(z4, z5), t5 = _mm512_unpackhi_epi32(z4, z5);
    const __m512i t6 = _mm512_unpacklo_epi32(z6, z7), t7 = _mm512_unpackhi_epi32(z6, z7);
    const __m512i u0 = _mm512_unpacklo_epi64(t0, t2), u1 = _mm512_unpackhi_epi64(t0, t2);
    const __m512i u2 = _mm512_unpacklo_epi64(t1, t3), u3 = _mm512_unpackhi_epi64(t1, t3);
    const __m512i u4 = _mm512_unpacklo_epi64(t4, t6), u5 = _mm512_unpackhi_epi64(t4, t6);
    const __m512i u6 = _mm512_unpacklo_epi64(t5, t7), u7 = _mm512_unpackhi_epi64(t5, t7);
    const __m512i first = _mm512_set_epi64(13, 12, 5, 4, 9, 8, 1, 0);
    const __m512i second = _mm512_set_epi64(15, 14, 7, 6, 11, 10, 3, 2);
    const auto step = [&](int i, __m512i time) {
        int* machine_free = free + i * 16;
        e = _mm512_add_epi32(_mm512_max_epi32(e, _mm512_loadu_si512(machine_free)), time);
        _mm512_storeu_si512(machine_free, e);
    };
    step(0, _mm512_permutex2var_epi64(u0, first, u4));
    step(1, _mm512_permutex2var_epi64(u1, first, u5));
    step(2, _mm512_permutex2var_epi64(u2, first, u6));
    step(3, _mm512_permutex2var_epi64(u3, first, u7));
    step(4, _mm512_permutex2var_epi64(u0, second, u4));
    step(5, _mm512_permutex2var_epi64(u1, second, u5));
    step(6, _mm512_permutex2var_epi64(u2, second, u6));
    step(7, _mm512_permutex2var_epi64(u3, second, u7));
    return e;
}

}  // namespace

void flow_shop_avx512_job_major(const int* lane_jobs, int jobs, int machines, const int* by_job, int stride,
                                const int* r, int* work, int* completions, bool every_position) {
    constexpr int lanes = 16;
    const __m512i before_any_time = _mm512_set1_epi32(INT_MIN);
    _mm512_storeu_si512(work, r == nullptr ? _mm512_set1_epi32(0) : before_any_time);
    for (int i = 1; i < stride; ++i) _mm512_storeu_si512(work + i * lanes, before_any_time);
    // Every block is worked out whole: the machines past the last one (time 0
    // in the padding) come after it and so never change it; its completion is
    // read back from `work`.
    const int* last_machine = work + (machines - 1) * lanes;
    __m512i e = before_any_time;
    for (int k = 0; k < jobs; ++k) {
        const int* job_of_lane = lane_jobs + k * lanes;
        const int* rows[lanes];
        for (int l = 0; l < lanes; ++l) rows[l] = by_job + static_cast<long>(job_of_lane[l]) * stride;
        // Machine 0 takes the job when it is released; the first step's max
        // with machine 0's free time is then a repeat, which changes nothing.
        e = _mm512_loadu_si512(work);
        if (r != nullptr) e = _mm512_max_epi32(e, _mm512_i32gather_epi32(_mm512_loadu_si512(job_of_lane), r, 4));
        for (int block = 0; block < stride; block += 8) e = block_of_8(rows, block, work + block * lanes, e);
        e = _mm512_loadu_si512(last_machine);
        if (every_position) _mm512_storeu_si512(completions + k * lanes, e);
    }
    if (!every_position) _mm512_storeu_si512(completions, e);
}

}  // namespace schedule::batch
