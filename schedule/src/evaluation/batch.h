// Batch evaluation of many sequences of one instance: the driver of the
// flow-shop batch entry points. Sequences go through
// the SIMD kernels (batch_kernels.h) in groups of one per lane when the
// processor has AVX2 or AVX-512 and the instance's times fit in 32 bits;
// otherwise, and for what the kernels do not cover, one at a time through the
// ordinary construction. Each sequence's completion times are then folded by
// the objective catalogue exactly as the one-at-a-time evaluator folds them,
// so every result is bit for bit the one that evaluator returns.
#ifndef SCHEDULE_EVALUATION_BATCH_H
#define SCHEDULE_EVALUATION_BATCH_H

#include <climits>
#include <cstddef>
#include <cstdlib>

#include "evaluation/batch_kernels.h"
#include "schedule/schedule.h"
#include "support/allocation.h"

namespace schedule::batch {

// The instruction sets the batch entry points can use.
enum class Isa { scalar, avx2, avx512 };

// The widest the processor offers (detected once), unless `restrict_to` has
// narrowed it.
Isa isa();

// Uses at most `widest` from now on (the tests run every path on one
// processor); Isa::avx512 restores the default.
void restrict_to(Isa widest);

inline int lanes(Isa isa) { return isa == Isa::avx512 ? 16 : isa == Isa::avx2 ? 8 : 1; }

// Whether the kernels' 32-bit arithmetic is exact for this instance (see
// batch_kernels.h): the largest release date in magnitude (none when `r` is
// null) plus the sum of every processing time in magnitude stays below
// INT_MAX. `pt` has `machines` rows of `jobs` entries.
bool fits_in_32_bits(int jobs, int machines, const int* const* pt, const int* r);

// A group's work storage, made once per call by the library's allocator
// (throwing Error when memory runs out).
class Storage {
public:
    explicit Storage(int ints) : data_(vector_or_throw<int>(ints)) {}
    ~Storage() { std::free(data_); }
    Storage(const Storage&) = delete;
    Storage& operator=(const Storage&) = delete;
    int* data() { return data_; }

private:
    int* data_;
};

// The completions of one lane of a group, as the catalogue reads them.
struct Lane {
    const int* completions;  // completions[k · lanes] for position k
    int lanes;
    long at(int k) const { return completions[static_cast<std::size_t>(k) * lanes]; }
};

// Evaluates `count` sequences of `jobs` jobs, seqs[s · jobs … (s + 1) · jobs − 1]
// for sequence s, into out[s]. one(seq) evaluates a sequence alone;
// fold(seq, lane) the value of a sequence from its completions in a kernel
// lane; kernel(isa, lane_jobs, completions, every_position) runs a group; `fits`
// says whether the kernels' arithmetic is exact for the instance. With
// `every_position` false only the last position's completion is kept, at
// position 0 of the lane.
template <class T, class One, class Fold, class Kernel>
void in_groups(const int* seqs, int count, int jobs, bool fits, bool every_position, T* out, One&& one, Fold&& fold,
               Kernel&& kernel) {
    const Isa chosen = isa();
    const int width = lanes(chosen);
    const bool vector = chosen != Isa::scalar && fits && jobs >= 1 && count >= 2 &&
                        static_cast<long>(jobs) * width <= INT_MAX / 2;
    if (!vector) {
        for (int s = 0; s < count; ++s) out[s] = one(seqs + static_cast<std::size_t>(s) * jobs);
        return;
    }
    const int cells = jobs * width;
    Storage lane_jobs(cells);
    Storage completions(every_position ? cells : width);
    for (int first = 0; first < count; first += width) {
        // Lanes beyond the last sequence repeat it; their results are dropped.
        for (int l = 0; l < width; ++l) {
            const int s = first + l < count ? first + l : count - 1;
            const int* seq = seqs + static_cast<std::size_t>(s) * jobs;
            int* column = lane_jobs.data() + l;
            for (int k = 0; k < jobs; ++k) column[static_cast<std::size_t>(k) * width] = seq[k];
        }
        kernel(chosen, lane_jobs.data(), completions.data(), every_position);
        for (int l = 0; l < width && first + l < count; ++l) {
            const int s = first + l;
            out[s] = fold(seqs + static_cast<std::size_t>(s) * jobs, Lane{completions.data() + l, width});
        }
    }
}

}  // namespace schedule::batch

#endif  // SCHEDULE_EVALUATION_BATCH_H
