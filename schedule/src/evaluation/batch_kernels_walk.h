// The batch kernels' walk through the positions of a group, written once for
// every instruction set. Included only by the kernels' own files
// (batch_kernels_avx2.cpp, batch_kernels_avx512.cpp), each of which describes
// its vectors by a type V in an unnamed namespace:
//
//   Vec                          the vector of `lanes` 32-bit integers
//   set1(x), load(p), store(p, v), max(a, b), add(a, b)
//   gather(base, index)          base[index[l]] in lane l
//   row(rows, offset, p)         the 8 times at rows[p] + offset, in each
//                                128-bit-aligned half of 8 lanes (with 16
//                                lanes, rows[p + 8]'s in the upper half)
//   unpack32<high>(a, b), unpack64<high>(a, b)
//                                the interleaving unpacks within 128 bits
//   halves<high>(a, b)           in each half of 8 lanes, the lower (or
//                                upper) 128 bits of a's half, then of b's
//
// Every instantiation therefore has internal linkage: the code built for one
// instruction set can never stand in for another's (see batch_kernels.h).
// Contracts of the two walks: batch_kernels.h.
#ifndef SCHEDULE_EVALUATION_BATCH_KERNELS_WALK_H
#define SCHEDULE_EVALUATION_BATCH_KERNELS_WALK_H

#include <climits>
#include <cstddef>
#include <utility>

namespace schedule::batch::walk {

// Machine 0 free from 0 without release dates, every other machine (and
// machine 0 with them) before any time.
template <class V>
void empty_shop(int machines, bool released, int* work) {
    V::store(work, V::set1(released ? INT_MIN : 0));
    for (int i = 1; i < machines; ++i) V::store(work + static_cast<std::size_t>(i) * V::lanes, V::set1(INT_MIN));
}

// The operation of the job in each lane on the machine whose free times are at
// machine_free: it starts when the job is through the machine before (`e`)
// and the machine is free, and the machine is busy until it ends.
template <class V>
typename V::Vec step(typename V::Vec e, int* machine_free, typename V::Vec time) {
    e = V::add(V::max(e, V::load(machine_free)), time);
    V::store(machine_free, e);
    return e;
}

// The 8 machines from `offset` of the job-major rows[0 … lanes − 1] turned
// into lanes: out[i] = (rows[0][offset + i], …, rows[lanes − 1][offset + i]).
// Within each half of 8 lanes it is an 8 × 8 transpose: unpacks of 32 and 64
// bits, then the 128-bit halves put together.
template <class V>
void transpose(const int* const* rows, int offset, typename V::Vec* out) {
    using Vec = typename V::Vec;
    const Vec z0 = V::row(rows, offset, 0), z1 = V::row(rows, offset, 1), z2 = V::row(rows, offset, 2);
    const Vec z3 = V::row(rows, offset, 3), z4 = V::row(rows, offset, 4), z5 = V::row(rows, offset, 5);
    const Vec z6 = V::row(rows, offset, 6), z7 = V::row(rows, offset, 7);
    const Vec t0 = V::template unpack32<false>(z0, z1), t1 = V::template unpack32<true>(z0, z1);
    const Vec t2 = V::template unpack32<false>(z2, z3), t3 = V::template unpack32<true>(z2, z3);
    const Vec t4 = V::template unpack32<false>(z4, z5), t5 = V::template unpack32<true>(z4, z5);
    const Vec t6 = V::template unpack32<false>(z6, z7), t7 = V::template unpack32<true>(z6, z7);
    const Vec u0 = V::template unpack64<false>(t0, t2), u1 = V::template unpack64<true>(t0, t2);
    const Vec u2 = V::template unpack64<false>(t1, t3), u3 = V::template unpack64<true>(t1, t3);
    const Vec u4 = V::template unpack64<false>(t4, t6), u5 = V::template unpack64<true>(t4, t6);
    const Vec u6 = V::template unpack64<false>(t5, t7), u7 = V::template unpack64<true>(t5, t7);
    out[0] = V::template halves<false>(u0, u4);
    out[1] = V::template halves<false>(u1, u5);
    out[2] = V::template halves<false>(u2, u6);
    out[3] = V::template halves<false>(u3, u7);
    out[4] = V::template halves<true>(u0, u4);
    out[5] = V::template halves<true>(u1, u5);
    out[6] = V::template halves<true>(u2, u6);
    out[7] = V::template halves<true>(u3, u7);
}

// Every time gathered from the machine-major rows `pt`.
template <class V>
void gathered(const int* lane_jobs, int jobs, int machines, const int* const* pt, const int* r, int* work,
              int* completions, bool every_position) {
    constexpr int lanes = V::lanes;
    empty_shop<V>(machines, r != nullptr, work);
    typename V::Vec e = V::set1(INT_MIN);
    for (int k = 0; k < jobs; ++k) {
        const typename V::Vec job = V::load(lane_jobs + static_cast<std::size_t>(k) * lanes);
        e = V::load(work);
        if (r != nullptr) e = V::max(e, V::gather(r, job));
        // The repeated max with machine 0's free time changes nothing.
        for (int i = 0; i < machines; ++i)
            e = step<V>(e, work + static_cast<std::size_t>(i) * lanes, V::gather(pt[i], job));
        if (every_position) V::store(completions + static_cast<std::size_t>(k) * lanes, e);
    }
    if (!every_position) V::store(completions, e);
}

// The times read from the job-major copy `by_job`, 8 machines at a time
// transposed into lanes. Every block is worked out whole: the machines past
// the last one (time 0 in the padding) come after it and so never change it,
// and its completion is read back from `work`. The 8 steps of a block are
// spelt out at compile time, so that the transposed times stay in registers
// whatever the compiler's unrolling (left to -O2, an array of vectors indexed
// in loops went through the stack and made the kernel three times slower).
template <class V>
void job_major(const int* lane_jobs, int jobs, int machines, const int* by_job, int stride, const int* r, int* work,
               int* completions, bool every_position) {
    constexpr int lanes = V::lanes;
    empty_shop<V>(stride, r != nullptr, work);
    const int* last_machine = work + static_cast<std::size_t>(machines - 1) * lanes;
    typename V::Vec e = V::set1(INT_MIN);
    for (int k = 0; k < jobs; ++k) {
        const int* job_of_lane = lane_jobs + static_cast<std::size_t>(k) * lanes;
        const int* rows[lanes];
        for (int l = 0; l < lanes; ++l) rows[l] = by_job + static_cast<long>(job_of_lane[l]) * stride;
        e = V::load(work);
        if (r != nullptr) e = V::max(e, V::gather(r, V::load(job_of_lane)));
        for (int block = 0; block < stride; block += 8) {
            typename V::Vec time[8];
            transpose<V>(rows, block, time);
            int* machine_free = work + static_cast<std::size_t>(block) * lanes;
            [&]<int... i>(std::integer_sequence<int, i...>) {
                ((e = step<V>(e, machine_free + i * lanes, time[i])), ...);
            }(std::make_integer_sequence<int, 8>{});
        }
        e = V::load(last_machine);
        if (every_position) V::store(completions + static_cast<std::size_t>(k) * lanes, e);
    }
    if (!every_position) V::store(completions, e);
}

}  // namespace schedule::batch::walk

#endif  // SCHEDULE_EVALUATION_BATCH_KERNELS_WALK_H
