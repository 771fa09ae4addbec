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

#include "evaluation/batch_kernels.h"
#include "evaluation/batch_kernels_walk.h"

namespace schedule::batch {

namespace {

struct Avx512 {
    using Vec = __m512i;
    static constexpr int lanes = 16;
    static Vec set1(int x) { return _mm512_set1_epi32(x); }
    static Vec load(const int* p) { return _mm512_loadu_si512(p); }
    static void store(int* p, Vec v) { _mm512_storeu_si512(p, v); }
    static Vec max(Vec a, Vec b) { return _mm512_max_epi32(a, b); }
    static Vec add(Vec a, Vec b) { return _mm512_add_epi32(a, b); }
    static Vec gather(const int* base, Vec index) { return _mm512_i32gather_epi32(index, base, 4); }

    // Rows p and p + 8 share a register, one in each 256-bit half.
    static Vec row(const int* const* rows, int offset, int p) {
        const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[p] + offset));
        const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[p + 8] + offset));
        return _mm512_inserti64x4(_mm512_castsi256_si512(low), high, 1);
    }
    template <bool high>
    static Vec unpack32(Vec a, Vec b) { return high ? _mm512_unpackhi_epi32(a, b) : _mm512_unpacklo_epi32(a, b); }
    template <bool high>
    static Vec unpack64(Vec a, Vec b) { return high ? _mm512_unpackhi_epi64(a, b) : _mm512_unpacklo_epi64(a, b); }
    // A two-source permutation of 128-bit blocks.
    template <bool high>
    static Vec halves(Vec a, Vec b) {
        return high ? _mm512_permutex2var_epi64(a, _mm512_set_epi64(15, 14, 7, 6, 11, 10, 3, 2), b)
                    : _mm512_permutex2var_epi64(a, _mm512_set_epi64(13, 12, 5, 4, 9, 8, 1, 0), b);
    }
};

}  // namespace

void flow_shop_avx512(const int* lane_jobs, int jobs, int machines, const int* const* pt, const int* r, int* work,
                      int* completions, bool every_position) {
    walk::gathered<Avx512>(lane_jobs, jobs, machines, pt, r, work, completions, every_position);
}

void flow_shop_avx512_job_major(const int* lane_jobs, int jobs, int machines, const int* by_job, int stride,
                                const int* r, int* work, int* completions, bool every_position) {
    walk::job_major<Avx512>(lane_jobs, jobs, machines, by_job, stride, r, work, completions, every_position);
}

}  // namespace schedule::batch
