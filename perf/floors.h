// Floors: for each evaluator family the plainest loop that computes the same
// value as the library, with its work storage handed in by the caller (made
// once, outside the timing loop). A completion-time floor fills the vector it
// is given; the benchmark allocates that at every call, as the library must. The ratio of an evaluator's time to its
// floor's is what the benchmarks watch: it tells the cost of the library's
// generality and checks, whatever the machine.
//
// The floors assume what the library checks or tolerates: a sequence that is
// a permutation, at least one job and one machine, speeds of at least 1, an
// operation sequence and routing that describe a schedule.
#ifndef ZURUDUDO_PERF_FLOORS_H
#define ZURUDUDO_PERF_FLOORS_H

#include "schedule/schedule.h"

namespace floors {

using schedule::FLOWSHOP;
using schedule::JOBSHOP;
using schedule::PARALLEL_MACHINES;
using schedule::RELATED_MACHINES;
using schedule::SINGLE_MACHINE;
using schedule::UNRELATED_MACHINES;

// Single machine.
long s1_cmax(const int* seq, int jobs, const int* pt);
double s1_rj_wj_sum_tj(const int* seq, const SINGLE_MACHINE& in);
void s1_rj_cj(const int* seq, const SINGLE_MACHINE& in, long* c);

// Permutation flow shop; `machine_free` holds m entries.
long fm_cmax(const int* seq, int jobs, int machines, const int* const* pt, long* machine_free);
double fm_rj_wj_sum_tj(const int* seq, const FLOWSHOP& in, long* machine_free);
void fm_rj_cj(const int* seq, const FLOWSHOP& in, long* machine_free, long* c);

// Parallel machines; `machine_free` holds m entries.
long pm_cmax(const int* seq, int jobs, int machines, const int* pt, long* machine_free);
double pm_rj_wj_sum_tj(const int* seq, const PARALLEL_MACHINES& in, long* machine_free);
void pm_rj_cj(const int* seq, const PARALLEL_MACHINES& in, long* machine_free, long* c);

// The earliest-free rule through a binary heap on (free time, machine), the
// floor where m is large; `heap` holds m entries.
struct HeapEntry {
    long free;
    int machine;
    bool operator<(const HeapEntry& other) const {
        return free < other.free || (free == other.free && machine < other.machine);
    }
};
long pm_cmax_heap(const int* seq, int jobs, int machines, const int* pt, HeapEntry* heap);
double pm_rj_wj_sum_tj_heap(const int* seq, const PARALLEL_MACHINES& in, HeapEntry* heap);
void pm_rj_cj_heap(const int* seq, const PARALLEL_MACHINES& in, HeapEntry* heap, long* c);
double qm_rj_wj_sum_tj_heap(const int* seq, const RELATED_MACHINES& in, HeapEntry* heap);
void qm_rj_cj_heap(const int* seq, const RELATED_MACHINES& in, HeapEntry* heap, long* c);

long qm_cmax(const int* seq, int jobs, int machines, const int* pt, const int* v, long* machine_free);
double qm_rj_wj_sum_tj(const int* seq, const RELATED_MACHINES& in, long* machine_free);
void qm_rj_cj(const int* seq, const RELATED_MACHINES& in, long* machine_free, long* c);

long rm_cmax(const int* seq, int jobs, int machines, const int* const* pt, long* machine_free);
double rm_rj_wj_sum_tj(const int* seq, const UNRELATED_MACHINES& in, long* machine_free);
void rm_rj_cj(const int* seq, const UNRELATED_MACHINES& in, long* machine_free, long* c);

// Job shop: n entries of job_free and operations_done, m of machine_free.
struct JobShopWork {
    long* job_free;
    int* operations_done;
    long* machine_free;
};

long jm_rj_cmax(const int* seq_ops, const JOBSHOP& in, const JobShopWork& work);
double jm_rj_wj_sum_tj(const int* seq_ops, const JOBSHOP& in, const JobShopWork& work);
void jm_rj_cj(const int* seq_ops, const JOBSHOP& in, const JobShopWork& work, long* c);

}  // namespace floors

#endif  // ZURUDUDO_PERF_FLOORS_H
