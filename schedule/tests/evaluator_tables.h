// Tables of evaluators and random instances shared by the evaluator tests.
#ifndef SCHEDULE_TESTS_EVALUATOR_TABLES_H
#define SCHEDULE_TESTS_EVALUATOR_TABLES_H

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <random>
#include <vector>

#include "schedule/checked.h"
#include "schedule/schedule.h"

namespace evaluator_tables {

using namespace schedule;

// The record objectives of one environment, in the order of objective_names,
// taken from the library's objective table: the expected values the tests
// compute by index check the table's names and evaluators as well.
template <class Record>
struct RecordFamily {
    long (*integer[11])(const int*, Record);
    double (*weighted[11])(const int*, Record);
};

template <class Record>
RecordFamily<Record> family_of() {
    RecordFamily<Record> family{};
    for (int o = 0; o < 11; ++o) {
        family.integer[o] = objective_table<Record>[static_cast<std::size_t>(o)].integer;
        family.weighted[o] = objective_table<Record>[static_cast<std::size_t>(11 + o)].real;
    }
    return family;
}

inline const char* const objective_names[11] = {"Cmax", "Emax", "Fmax", "Lmax", "SumCj", "SumEj",
                                         "SumFj", "SumLj", "SumTj", "SumUj", "Tmax"};

inline const RecordFamily<SINGLE_MACHINE> single_machine_records = family_of<SINGLE_MACHINE>();

inline const RecordFamily<FLOWSHOP> flow_shop_records = family_of<FLOWSHOP>();

// Plain-argument objectives: Cmax, SumCj without due dates, the rest with.
inline const char* const plain_names[9] = {"Cmax", "SumCj", "Emax", "Lmax", "SumEj", "SumLj", "SumTj", "SumUj", "Tmax"};
inline long (*const single_machine_plain_nodd[2])(const int*, int, const int*) = {S1_Cmax, S1_SumCj};
inline long (*const single_machine_plain_dd[7])(const int*, int, const int*, const long*) = {
    S1_Emax, S1_Lmax, S1_SumEj, S1_SumLj, S1_SumTj, S1_SumUj, S1_Tmax};
inline long (*const flow_shop_plain_nodd[2])(const int*, int, int, const int* const*) = {Fm_Prmu_Cmax, Fm_Prmu_SumCj};
inline long (*const flow_shop_plain_dd[7])(const int*, int, int, const int* const*, const long*) = {
    Fm_Prmu_Emax, Fm_Prmu_Lmax, Fm_Prmu_SumEj, Fm_Prmu_SumLj, Fm_Prmu_SumTj, Fm_Prmu_SumUj, Fm_Prmu_Tmax};

// The catalogue computed the long way from completion times by job: terms in
// sequence order, true maxima; Cmax is the completion time of the last job of
// the sequence when `makespan_is_last`, else the largest.
struct Expected {
    long integer[11];
    double weighted[11];
};

inline Expected catalogue_of(const std::vector<long>& c, const std::vector<int>& seq, const std::vector<long>& d,
                             const std::vector<int>& r, const std::vector<double>& w, bool makespan_is_last = true) {
    Expected e{};
    const int n = static_cast<int>(seq.size());
    for (int k = 0; k < n; ++k) {
        const int j = seq[k];
        const long L = c[j] - d[j];
        const long q[11] = {c[j], std::max(-L, 0L), c[j] - r[j], L, c[j], std::max(-L, 0L),
                            c[j] - r[j], L, std::max(L, 0L), L > 0 ? 1L : 0L, std::max(L, 0L)};
        for (int o = 0; o < 11; ++o) {
            const bool is_sum = objective_names[o][0] == 'S';
            const double wq = o == 9 ? (L > 0 ? w[j] : 0.0) : static_cast<double>(q[o]) * w[j];
            if (is_sum) {
                e.integer[o] += q[o];
                e.weighted[o] += wq;
            } else {
                if (k == 0 || q[o] > e.integer[o]) e.integer[o] = q[o];
                if (k == 0 || wq > e.weighted[o]) e.weighted[o] = wq;
            }
        }
    }
    if (makespan_is_last) e.integer[0] = n > 0 ? c[seq[n - 1]] : 0;
    return e;
}

// A random instance: m machine rows of processing times, and job data whose
// due dates fall around the completion times so that every quantity varies.
struct RandomInstance {
    int n = 0, m = 0;
    std::vector<std::vector<int>> pt;
    std::vector<int*> rows;
    std::vector<int> r, seq;
    std::vector<long> dd;
    std::vector<double> w;

    RandomInstance(std::mt19937& rng, int jobs, int machines, bool releases, bool negative_weights) : n(jobs), m(machines) {
        std::uniform_int_distribution<int> p(0, 9), rel(0, 15), due(0, 10 * (machines + jobs));
        std::uniform_int_distribution<int> weight(negative_weights ? -6 : 0, 8);
        pt.assign(m, std::vector<int>(n));
        for (auto& row : pt) {
            for (int& x : row) x = p(rng);
            rows.push_back(row.data());
        }
        for (int j = 0; j < n; ++j) {
            r.push_back(releases ? rel(rng) : 0);
            dd.push_back(due(rng));
            w.push_back(weight(rng) * 0.25);
        }
        seq.resize(n);
        std::iota(seq.begin(), seq.end(), 0);
        std::shuffle(seq.begin(), seq.end(), rng);
    }
    SINGLE_MACHINE single(int row = 0) {
        return {n, 1, pt[row].data(), dd.data(), w.data(), r.data()};
    }
    FLOWSHOP flow_shop() { return {n, m, rows.data(), dd.data(), w.data(), r.data()}; }
    PARALLEL_MACHINES parallel(int row = 0) { return {n, m, pt[row].data(), dd.data(), w.data(), r.data()}; }
    RELATED_MACHINES related(int* v, int row = 0) { return {n, m, pt[row].data(), v, dd.data(), w.data(), r.data()}; }
    UNRELATED_MACHINES unrelated() { return {n, m, rows.data(), dd.data(), w.data(), r.data()}; }
};

inline std::vector<long> take(long* ct, int n) {
    std::vector<long> v(ct, ct + n);
    std::free(ct);
    return v;
}

inline const RecordFamily<PARALLEL_MACHINES> identical_machines_records = family_of<PARALLEL_MACHINES>();

inline const RecordFamily<RELATED_MACHINES> uniform_machines_records = family_of<RELATED_MACHINES>();

inline const RecordFamily<UNRELATED_MACHINES> unrelated_machines_records = family_of<UNRELATED_MACHINES>();

// Plain-argument objectives of the parallel machines, in the order of
// plain_names.
inline long (*const identical_machines_plain_nodd[2])(const int*, int, int, const int*) = {Pm_Cmax, Pm_SumCj};
inline long (*const identical_machines_plain_dd[7])(const int*, int, int, const int*, const long*) = {
    Pm_Emax, Pm_Lmax, Pm_SumEj, Pm_SumLj, Pm_SumTj, Pm_SumUj, Pm_Tmax};
inline long (*const uniform_machines_plain_nodd[2])(const int*, int, int, const int*, const int*) = {Qm_Cmax,
                                                                                                   Qm_SumCj};
inline long (*const uniform_machines_plain_dd[7])(const int*, int, int, const int*, const int*, const long*) = {
    Qm_Emax, Qm_Lmax, Qm_SumEj, Qm_SumLj, Qm_SumTj, Qm_SumUj, Qm_Tmax};
inline long (*const unrelated_machines_plain_nodd[2])(const int*, int, int, const int* const*) = {Rm_Cmax,
                                                                                                Rm_SumCj};
inline long (*const unrelated_machines_plain_dd[7])(const int*, int, int, const int* const*, const long*) = {
    Rm_Emax, Rm_Lmax, Rm_SumEj, Rm_SumLj, Rm_SumTj, Rm_SumUj, Rm_Tmax};

inline const RecordFamily<JOBSHOP> job_shop_records = family_of<JOBSHOP>();

// A job shop over the machine rows of a RandomInstance: every job visits the
// machines in an order of its own, drawn at random (or 0, 1, …, m − 1 for
// all when `in_machine_order`), and `seq_ops` holds each job m times in a
// random order.
struct JobShop {
    std::vector<std::vector<int>> routing;
    std::vector<int*> rt;
    std::vector<int> seq_ops;

    JobShop(std::mt19937& rng, int jobs, int machines, bool in_machine_order = false) {
        routing.assign(jobs, std::vector<int>(machines));
        for (auto& row : routing) {
            std::iota(row.begin(), row.end(), 0);
            if (!in_machine_order) std::shuffle(row.begin(), row.end(), rng);
            rt.push_back(row.data());
        }
        for (int j = 0; j < jobs; ++j) seq_ops.insert(seq_ops.end(), machines, j);
        std::shuffle(seq_ops.begin(), seq_ops.end(), rng);
    }
    JOBSHOP record(RandomInstance& in) { return {in.n, in.m, in.rows.data(), rt.data(), in.dd.data(), in.w.data(), in.r.data()}; }
};

}  // namespace evaluator_tables

#endif  // SCHEDULE_TESTS_EVALUATOR_TABLES_H
