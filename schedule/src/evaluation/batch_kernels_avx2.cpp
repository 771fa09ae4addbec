// The batch kernels for AVX2 (8 lanes of 32-bit integers); this file alone
// is built with -mavx2, and nothing here runs unless the processor has it.
// See batch_kernels.h.
#include <immintrin.h>

#include "evaluation/batch_kernels.h"
#include "evaluation/batch_kernels_walk.h"

namespace schedule::batch {

namespace {

struct Avx2 {
    using Vec = __m256i;
    static constexpr int lanes = 8;
    static Vec set1(int x) { return _mm256_set1_epi32(x); }
    static Vec load(const int* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
    static void store(int* p, Vec v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
    static Vec max(Vec a, Vec b) { return _mm256_max_epi32(a, b); }
    static Vec add(Vec a, Vec b) { return _mm256_add_epi32(a, b); }
    static Vec gather(const int* base, Vec index) { return _mm256_i32gather_epi32(base, index, 4); }

    static Vec row(const int* const* rows, int offset, int p) { return load(rows[p] + offset); }
    template <bool high>
    static Vec unpack32(Vec a, Vec b) { return high ? _mm256_unpackhi_epi32(a, b) : _mm256_unpacklo_epi32(a, b); }
    template <bool high>
    static Vec unpack64(Vec a, Vec b) { return high ? _mm256_unpackhi_epi64(a, b) : _mm256_unpacklo_epi64(a, b); }
    template <bool high>
    static Vec halves(Vec a, Vec b) {
        return high ? _mm256_permute2x128_si256(a, b, 0x31) : _mm256_permute2x128_si256(a, b, 0x20);
    }
};

}  // namespace

void flow_shop_avx2(const int* lane_jobs, int jobs, int machines, const int* const* pt, const int* r, int* work,
                    int* completions, bool every_position) {
    walk::gathered<Avx2>(lane_jobs, jobs, machines, pt, r, work, completions, every_position);
}

void flow_shop_avx2_job_major(const int* lane_jobs, int jobs, int machines, const int* by_job, int stride,
                              const int* r, int* work, int* completions, bool every_position) {
    walk::job_major<Avx2>(lane_jobs, jobs, machines, by_job, stride, r, work, completions, every_position);
}

}  // namespace schedule::batch
