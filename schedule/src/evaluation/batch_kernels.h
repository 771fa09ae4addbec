// Batch evaluation: the flow-shop construction of many
// sequences of one instance at once, one sequence per SIMD lane, in 32-bit
// integers. The kernels live in translation units of their own, built for
// their instruction set (batch_kernels_avx2.cpp, batch_kernels_avx512.cpp),
// and are called only when the processor has it; they use nothing but the
// intrinsics and the walks of batch_kernels_walk.h, instantiated for a vector
// type of their own, so that no inline function compiled there for AVX can
// stand in for the ordinary build of it elsewhere.
//
// A kernel takes a group of `lanes` sequences transposed position-major:
// lane_jobs[k · lanes + l] is the job at position k of the group's l-th
// sequence. It fills completions[k · lanes + l] with that job's completion
// (on the last machine), for every position when `every_position`, otherwise
// for the last position only (at completions[0 … lanes − 1]).
//
// 32-bit arithmetic gives the schedule's exact values when every time the
// construction forms fits: each is the length of a path through the grid of
// operations from 0 or a release date, so at most the largest release date
// plus the sum of every processing time in magnitude (see fits_in_32_bits).
// "Before any time" is INT_MIN, below all of them.
#ifndef SCHEDULE_EVALUATION_BATCH_KERNELS_H
#define SCHEDULE_EVALUATION_BATCH_KERNELS_H

namespace schedule::batch {

// Flow shop: machines ≥ 1, `pt` one row per machine, `r` null for the
// plain-argument family (machine 0 free from 0) or the release dates (machine
// 0 free before any time, the job ready at its release date). `work` holds
// machines · lanes ints.
void flow_shop_avx2(const int* lane_jobs, int jobs, int machines, const int* const* pt, const int* r, int* work,
                    int* completions, bool every_position);
void flow_shop_avx512(const int* lane_jobs, int jobs, int machines, const int* const* pt, const int* r, int* work,
                      int* completions, bool every_position);

// The same from a job-major copy of the times: by_job[j · stride + i] is job
// j's time on machine i, stride a multiple of 8 at least `machines`, the row
// padded to it with zeros, and `work` holding stride · lanes ints. Each
// position's rows are transposed into lanes in registers, 8 machines at a
// time, which is several times faster than gathering every time on its own.
void flow_shop_avx2_job_major(const int* lane_jobs, int jobs, int machines, const int* by_job, int stride,
                              const int* r, int* work, int* completions, bool every_position);
void flow_shop_avx512_job_major(const int* lane_jobs, int jobs, int machines, const int* by_job, int stride,
                                const int* r, int* work, int* completions, bool every_position);

}  // namespace schedule::batch

#endif  // SCHEDULE_EVALUATION_BATCH_KERNELS_H
