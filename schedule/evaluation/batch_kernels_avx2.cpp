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

namespace {

// One 8-machine block of a position, as in the AVX-512 kernel with 8 lanes:
// the 8 × 8 job-major times at rows[l] + offset transposed into lanes (unpacks
// of 32 and 64 bits within the 128-bit halves, then a permutation of the
// halves), then the block's machines in turn. Named values, not arrays, so
// that the block stays in registers.
inline __m256i block_of_8(const int* const* rows, int offset, int* free, __m256i e) {
    const auto row = [&](int l) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[l] + offset)); };
    const __m256i z0 = row(0), z1 = row(1), z2 = row(2), z3 = row(3);
    const __m256i z4 = row(4), z5 = row(5), z6 = row(6), z7 = row(7);
    const __m256i t0 = _mm256_unpacklo_epi32(z0, z1), t1 = _mm256_unpackhi_epi32(z0, z1);
    const __m256i t2 = _mm256_unpacklo_epi32(z2, z3), t3 = _mm256_unpackhi_epi32(z2, z3);
    const __m256i t4 = _mm256_unpacklo_epi32(z4, z5), t5 = _mm256_unpackhi_epi32(z4, z5);
    const __m256i t6 = _mm256_unpacklo_epi32(z6, z7), t7 = _mm256_unpackhi_epi32(z6, z7);
    const __m256i u0 = _mm256_unpacklo_epi64(t0, t2), u1 = _mm256_unpackhi_epi64(t0, t2);
    const __m256i u2 = _mm256_unpacklo_epi64(t1, t3), u3 = _mm256_unpackhi_epi64(t1, t3);
    const __m256i u4 = _mm256_unpacklo_epi64(t4, t6), u5 = _mm256_unpackhi_epi64(t4, t6);
    const __m256i u6 = _mm256_unpacklo_epi64(t5, t7), u7 = _mm256_unpackhi_epi64(t5, t7);
    const auto step = [&](int i, __m256i time) {
        __m256i* machine_free = reinterpret_cast<__m256i*>(free + i * 8);
        e = _mm256_add_epi32(_mm256_max_epi32(e, _mm256_loadu_si256(machine_free)), time);
        _mm256_storeu_si256(machine_free, e);
    };
    step(0, _mm256_permute2x128_si256(u0, u4, 0x20));
    step(1, _mm256_permute2x128_si256(u1, u5, 0x20));
    step(2, _mm256_permute2x128_si256(u2, u6, 0x20));
    step(3, _mm256_permute2x128_si256(u3, u7, 0x20));
    step(4, _mm256_permute2x128_si256(u0, u4, 0x31));
    step(5, _mm256_permute2x128_si256(u1, u5, 0x31));
    step(6, _mm256_permute2x128_si256(u2, u6, 0x31));
    step(7, _mm256_permute2x128_si256(u3, u7, 0x31));
    return e;
}

}  // namespace

void flow_shop_avx2_job_major(const int* lane_jobs, int jobs, int machines, const int* by_job, int stride,
                              const int* r, int* work, int* completions, bool every_position) {
    constexpr int lanes = 8;
    const __m256i before_any_time = _mm256_set1_epi32(INT_MIN);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(work), r == nullptr ? _mm256_set1_epi32(0) : before_any_time);
    for (int i = 1; i < stride; ++i) _mm256_storeu_si256(reinterpret_cast<__m256i*>(work + i * lanes), before_any_time);
    // As in the AVX-512 kernel: whole blocks, the padding after the last
    // machine, its completion read back from `work`.
    const __m256i* last_machine = reinterpret_cast<const __m256i*>(work + (machines - 1) * lanes);
    __m256i e = before_any_time;
    for (int k = 0; k < jobs; ++k) {
        const int* job_of_lane = lane_jobs + k * lanes;
        const int* rows[lanes];
        for (int l = 0; l < lanes; ++l) rows[l] = by_job + static_cast<long>(job_of_lane[l]) * stride;
        e = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(work));
        if (r != nullptr) {
            const __m256i job = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(job_of_lane));
            e = _mm256_max_epi32(e, _mm256_i32gather_epi32(r, job, 4));
        }
        for (int block = 0; block < stride; block += 8) e = block_of_8(rows, block, work + block * lanes, e);
        e = _mm256_loadu_si256(last_machine);
        if (every_position) _mm256_storeu_si256(reinterpret_cast<__m256i*>(completions + k * lanes), e);
    }
    if (!every_position) _mm256_storeu_si256(reinterpret_cast<__m256i*>(completions), e);
}

}  // namespace schedule::batch
