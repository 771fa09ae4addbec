// The floor loops. Each is written out for its environment: no callbacks
// beyond the one inlined sink that folds the completion times, no checks, no
// allocation.
#include "perf/floors.h"

#include <algorithm>
#include <limits>

namespace floors {

namespace {

constexpr long before_any_time = std::numeric_limits<long>::min();

// What becomes of each completion time.
struct Last {  // Cmax of a machine that takes the jobs in sequence order
    long value = 0;
    void operator()(int, long c) { value = c; }
};

struct Largest {  // Cmax as the largest completion time
    long value = before_any_time;
    void operator()(int, long c) {
        if (c > value) value = c;
    }
};

struct WeightedTardiness {  // Wj_SumTj, terms added in the order they come
    const long* dd;
    const double* w;
    double sum;
    void operator()(int job, long c) {
        const long late = c - dd[job];
        sum += static_cast<double>(late > 0 ? late : 0) * w[job];
    }
};

struct ByJob {  // the completion-time vector
    long* c;
    void operator()(int job, long value) { c[job] = value; }
};

// lround(p / v) for v ≥ 1, halves upwards, in integers: the remainder of the
// floored division decides.
inline long rounded_quotient(int p, int v) {
    long q = p / v;
    long rest = p % v;
    if (rest < 0) {
        --q;
        rest += v;
    }
    return q + (2 * rest >= v ? 1 : 0);
}

template <bool released, class Sink>
void single_machine(const int* seq, int jobs, const int* pt, const int* r, Sink& sink) {
    long t = released ? before_any_time : 0;
    for (int k = 0; k < jobs; ++k) {
        const int j = seq[k];
        if constexpr (released) t = std::max<long>(t, r[j]);
        t += pt[j];
        sink(j, t);
    }
}

template <bool released, class Sink>
void flow_shop(const int* seq, int jobs, int machines, const int* const* pt, const int* r, long* f, Sink& sink) {
    f[0] = released ? before_any_time : 0;
    for (int i = 1; i < machines; ++i) f[i] = before_any_time;
    for (int k = 0; k < jobs; ++k) {
        const int j = seq[k];
        long e = f[0];
        if constexpr (released) e = std::max<long>(e, r[j]);
        e += pt[0][j];
        f[0] = e;
        for (int i = 1; i < machines; ++i) {
            e = std::max(e, f[i]) + pt[i][j];
            f[i] = e;
        }
        sink(j, e);
    }
}

// Each job to the lowest machine among those free first.
template <bool released, class Duration, class Sink>
void earliest_free(const int* seq, int jobs, int machines, const int* r, Duration duration, long* f, Sink& sink) {
    for (int i = 0; i < machines; ++i) f[i] = 0;
    for (int k = 0; k < jobs; ++k) {
        const int j = seq[k];
        int best = 0;
        long key = f[0];
        for (int i = 1; i < machines; ++i) {
            if (f[i] < key) {
                key = f[i];
                best = i;
            }
        }
        if constexpr (released) key = std::max<long>(key, r[j]);
        const long c = key + duration(best, j);
        f[best] = c;
        sink(j, c);
    }
}

// The same rule through a binary min-heap of (free time, machine): the root
// is the lowest machine among those free first; after it takes the job, its
// new free time is sifted down. O(log m) per job.
template <bool released, class Duration, class Sink>
void earliest_free_heap(const int* seq, int jobs, int machines, const int* r, Duration duration, HeapEntry* heap,
                        Sink& sink) {
    for (int i = 0; i < machines; ++i) heap[i] = {0, i};  // all free at 0: ordered by machine
    for (int k = 0; k < jobs; ++k) {
        const int j = seq[k];
        const int best = heap[0].machine;
        long start = heap[0].free;
        if constexpr (released) start = std::max<long>(start, r[j]);
        const long c = start + duration(best, j);
        const HeapEntry moved{c, best};
        int at = 0;
        for (;;) {
            int child = 2 * at + 1;
            if (child >= machines) break;
            if (child + 1 < machines && heap[child + 1] < heap[child]) ++child;
            if (!(heap[child] < moved)) break;
            heap[at] = heap[child];
            at = child;
        }
        heap[at] = moved;
        sink(j, c);
    }
}

// Each job to the lowest machine among those where it would complete first.
template <bool released, class Duration, class Sink>
void earliest_completion(const int* seq, int jobs, int machines, const int* r, Duration duration, long* f,
                         Sink& sink) {
    for (int i = 0; i < machines; ++i) f[i] = 0;
    for (int k = 0; k < jobs; ++k) {
        const int j = seq[k];
        int best = 0;
        long best_duration = duration(0, j);
        long key = f[0] + best_duration;
        for (int i = 1; i < machines; ++i) {
            const long d = duration(i, j);
            if (f[i] + d < key) {
                key = f[i] + d;
                best = i;
                best_duration = d;
            }
        }
        const long start = released ? std::max<long>(f[best], r[j]) : f[best];
        f[best] = start + best_duration;
        sink(j, f[best]);
    }
}

template <class Sink>
void job_shop(const int* seq_ops, const JOBSHOP& in, const JobShopWork& work, Sink& sink) {
    long* job_free = work.job_free;
    int* done = work.operations_done;
    long* machine_free = work.machine_free;
    for (int j = 0; j < in.jobs; ++j) {
        job_free[j] = in.r[j];
        done[j] = 0;
    }
    for (int i = 0; i < in.machines; ++i) machine_free[i] = 0;
    const long operations = static_cast<long>(in.jobs) * in.machines;
    for (long o = 0; o < operations; ++o) {
        const int j = seq_ops[o];
        const int machine = in.rt[j][done[j]++];
        const long end = std::max(job_free[j], machine_free[machine]) + in.pt[machine][j];
        job_free[j] = end;
        machine_free[machine] = end;
    }
    for (int j = 0; j < in.jobs; ++j) sink(j, job_free[j]);
}

}  // namespace

long s1_cmax(const int* seq, int jobs, const int* pt) {
    Last sink;
    single_machine<false>(seq, jobs, pt, nullptr, sink);
    return sink.value;
}

double s1_rj_wj_sum_tj(const int* seq, const SINGLE_MACHINE& in) {
    WeightedTardiness sink{in.dd, in.w, -0.0};
    single_machine<true>(seq, in.jobs, in.pt, in.r, sink);
    return sink.sum;
}

void s1_rj_cj(const int* seq, const SINGLE_MACHINE& in, long* c) {
    ByJob sink{c};
    single_machine<true>(seq, in.jobs, in.pt, in.r, sink);
}

long fm_cmax(const int* seq, int jobs, int machines, const int* const* pt, long* machine_free) {
    Last sink;
    flow_shop<false>(seq, jobs, machines, pt, nullptr, machine_free, sink);
    return sink.value;
}

double fm_rj_wj_sum_tj(const int* seq, const FLOWSHOP& in, long* machine_free) {
    WeightedTardiness sink{in.dd, in.w, 0.0};
    flow_shop<true>(seq, in.jobs, in.machines, in.pt, in.r, machine_free, sink);
    return sink.sum;
}

void fm_rj_cj(const int* seq, const FLOWSHOP& in, long* machine_free, long* c) {
    ByJob sink{c};
    flow_shop<true>(seq, in.jobs, in.machines, in.pt, in.r, machine_free, sink);
}

long pm_cmax(const int* seq, int jobs, int machines, const int* pt, long* machine_free) {
    Largest sink;
    earliest_free<false>(seq, jobs, machines, nullptr, [pt](int, int j) -> long { return pt[j]; }, machine_free, sink);
    return sink.value;
}

double pm_rj_wj_sum_tj(const int* seq, const PARALLEL_MACHINES& in, long* machine_free) {
    WeightedTardiness sink{in.dd, in.w, 0.0};
    const int* pt = in.pt;
    earliest_free<true>(seq, in.jobs, in.machines, in.r, [pt](int, int j) -> long { return pt[j]; }, machine_free,
                        sink);
    return sink.sum;
}

void pm_rj_cj(const int* seq, const PARALLEL_MACHINES& in, long* machine_free, long* c) {
    ByJob sink{c};
    const int* pt = in.pt;
    earliest_free<true>(seq, in.jobs, in.machines, in.r, [pt](int, int j) -> long { return pt[j]; }, machine_free,
                        sink);
}

long qm_cmax(const int* seq, int jobs, int machines, const int* pt, const int* v, long* machine_free) {
    Largest sink;
    earliest_completion<false>(
        seq, jobs, machines, nullptr, [pt, v](int i, int j) { return rounded_quotient(pt[j], v[i]); }, machine_free,
        sink);
    return sink.value;
}

double qm_rj_wj_sum_tj(const int* seq, const RELATED_MACHINES& in, long* machine_free) {
    WeightedTardiness sink{in.dd, in.w, 0.0};
    const int* pt = in.pt;
    const int* v = in.v;
    earliest_free<true>(
        seq, in.jobs, in.machines, in.r, [pt, v](int i, int j) { return rounded_quotient(pt[j], v[i]); },
        machine_free, sink);
    return sink.sum;
}

void qm_rj_cj(const int* seq, const RELATED_MACHINES& in, long* machine_free, long* c) {
    ByJob sink{c};
    const int* pt = in.pt;
    const int* v = in.v;
    earliest_free<true>(
        seq, in.jobs, in.machines, in.r, [pt, v](int i, int j) { return rounded_quotient(pt[j], v[i]); },
        machine_free, sink);
}

long pm_cmax_heap(const int* seq, int jobs, int machines, const int* pt, HeapEntry* heap) {
    Largest sink;
    earliest_free_heap<false>(seq, jobs, machines, nullptr, [pt](int, int j) -> long { return pt[j]; }, heap, sink);
    return sink.value;
}

double pm_rj_wj_sum_tj_heap(const int* seq, const PARALLEL_MACHINES& in, HeapEntry* heap) {
    WeightedTardiness sink{in.dd, in.w, 0.0};
    const int* pt = in.pt;
    earliest_free_heap<true>(seq, in.jobs, in.machines, in.r, [pt](int, int j) -> long { return pt[j]; }, heap,
                             sink);
    return sink.sum;
}

void pm_rj_cj_heap(const int* seq, const PARALLEL_MACHINES& in, HeapEntry* heap, long* c) {
    ByJob sink{c};
    const int* pt = in.pt;
    earliest_free_heap<true>(seq, in.jobs, in.machines, in.r, [pt](int, int j) -> long { return pt[j]; }, heap,
                             sink);
}

double qm_rj_wj_sum_tj_heap(const int* seq, const RELATED_MACHINES& in, HeapEntry* heap) {
    WeightedTardiness sink{in.dd, in.w, 0.0};
    const int* pt = in.pt;
    const int* v = in.v;
    earliest_free_heap<true>(
        seq, in.jobs, in.machines, in.r, [pt, v](int i, int j) { return rounded_quotient(pt[j], v[i]); }, heap,
        sink);
    return sink.sum;
}

void qm_rj_cj_heap(const int* seq, const RELATED_MACHINES& in, HeapEntry* heap, long* c) {
    ByJob sink{c};
    const int* pt = in.pt;
    const int* v = in.v;
    earliest_free_heap<true>(
        seq, in.jobs, in.machines, in.r, [pt, v](int i, int j) { return rounded_quotient(pt[j], v[i]); }, heap,
        sink);
}

long rm_cmax(const int* seq, int jobs, int machines, const int* const* pt, long* machine_free) {
    Largest sink;
    earliest_completion<false>(
        seq, jobs, machines, nullptr, [pt](int i, int j) -> long { return pt[i][j]; }, machine_free, sink);
    return sink.value;
}

double rm_rj_wj_sum_tj(const int* seq, const UNRELATED_MACHINES& in, long* machine_free) {
    WeightedTardiness sink{in.dd, in.w, 0.0};
    const int* const* pt = in.pt;
    earliest_completion<true>(
        seq, in.jobs, in.machines, in.r, [pt](int i, int j) -> long { return pt[i][j]; }, machine_free, sink);
    return sink.sum;
}

void rm_rj_cj(const int* seq, const UNRELATED_MACHINES& in, long* machine_free, long* c) {
    ByJob sink{c};
    const int* const* pt = in.pt;
    earliest_completion<true>(
        seq, in.jobs, in.machines, in.r, [pt](int i, int j) -> long { return pt[i][j]; }, machine_free, sink);
}

long jm_rj_cmax(const int* seq_ops, const JOBSHOP& in, const JobShopWork& work) {
    Largest sink;
    job_shop(seq_ops, in, work, sink);
    return sink.value;
}

double jm_rj_wj_sum_tj(const int* seq_ops, const JOBSHOP& in, const JobShopWork& work) {
    WeightedTardiness sink{in.dd, in.w, 0.0};
    job_shop(seq_ops, in, work, sink);
    return sink.sum;
}

void jm_rj_cj(const int* seq_ops, const JOBSHOP& in, const JobShopWork& work, long* c) {
    ByJob sink{c};
    job_shop(seq_ops, in, work, sink);
}

}  // namespace floors
