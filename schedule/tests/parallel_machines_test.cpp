// Identical, uniform and unrelated parallel machines: the assignment rule,
// worked schedules, the edges of the catalogue, and agreement between the
// environments over random instances.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <numeric>
#include <random>
#include <vector>

#include "evaluator_tables.h"
#include "evaluation/parallel_machines_schedule.h"
#include "schedule/schedule.h"
#include "test_support.h"

using namespace schedule;
using namespace evaluator_tables;
using testing_support::stdout_to_stderr;

namespace {

// The assignment rule as ranking and tie scan: sort the keys ascending with
// sortLVector, then walk the run of smallest keys for the lowest machine.
int ranked_assignment(const std::vector<long>& keys) {
    const int m = static_cast<int>(keys.size());
    std::vector<long> load = keys;
    std::vector<int> machines(m);
    sortLVector(load.data(), machines.data(), m, 'A');
    int chosen = machines[0];
    for (int ties = 0; ties + 1 < m && load[ties] == load[ties + 1];) {
        ++ties;
        if (machines[ties] < chosen) chosen = machines[ties];
    }
    return chosen;
}

// List scheduling written out step by step with the ranked assignment:
// key(machine, job, machine_free) ranks the machines, duration(machine, job)
// is the processing time, `r` (null for none) delays the start. Returns the
// completion times by job.
std::vector<long> reference_schedule(const std::vector<int>& seq, int m,
                                     const std::function<long(int, int, long)>& key,
                                     const std::function<long(int, int)>& duration, const int* r) {
    std::vector<long> free_at(m, 0), completion(seq.size(), 0);
    for (int job : seq) {
        std::vector<long> keys(m);
        for (int i = 0; i < m; ++i) keys[i] = key(i, job, free_at[i]);
        const int chosen = ranked_assignment(keys);
        const long start = r == nullptr ? free_at[chosen] : std::max(free_at[chosen], static_cast<long>(r[job]));
        free_at[chosen] = start + duration(chosen, job);
        completion[job] = free_at[chosen];
    }
    return completion;
}

// Every record objective of an environment for one sequence.
template <class Record>
Expected record_objectives(const RecordFamily<Record>& family, const int* seq, const Record& in) {
    Expected e{};
    for (int o = 0; o < 11; ++o) {
        e.integer[o] = family.integer[o](seq, in);
        e.weighted[o] = family.weighted[o](seq, in);
    }
    return e;
}

void expect_same(const Expected& actual, const Expected& expected, const char* what) {
    for (int o = 0; o < 11; ++o) {
        EXPECT_EQ(actual.integer[o], expected.integer[o]) << what << " " << objective_names[o];
        EXPECT_EQ(actual.weighted[o], expected.weighted[o]) << what << " Wj_" << objective_names[o];
    }
}

// Speeds of 1 to 3 for m machines.
std::vector<int> random_speeds(std::mt19937& rng, int m) {
    std::vector<int> v(m);
    for (int& s : v) s = 1 + static_cast<int>(rng() % 3);
    return v;
}

// The jobs of the worked examples: four jobs on two machines.
struct WorkedJobs : testing::Test {
    std::vector<int> p{4, 3, 2, 5}, r{0, 0, 6, 1}, seq{0, 1, 2, 3};
    std::vector<long> dd{5, 2, 7, 12};
    std::vector<double> w{1.0, 2.0, 0.5, 1.5};
    std::vector<int> v{1, 2};
    std::vector<int> row0{4, 3, 4, 5}, row1{2, 6, 3, 3};
    int* rows[2] = {row0.data(), row1.data()};
    PARALLEL_MACHINES identical{4, 2, p.data(), dd.data(), w.data(), r.data()};
    RELATED_MACHINES uniform{4, 2, p.data(), v.data(), dd.data(), w.data(), r.data()};
    UNRELATED_MACHINES unrelated{4, 2, rows, dd.data(), w.data(), r.data()};

    // The plain objectives in the order of plain_names.
    template <class NoDueDates, class WithDueDates, class... Data>
    std::vector<long> plain(const NoDueDates& nodd, const WithDueDates& withdd, Data... data) {
        std::vector<long> values;
        for (int o = 0; o < 2; ++o) values.push_back(nodd[o](seq.data(), 4, 2, data...));
        for (int o = 0; o < 7; ++o) values.push_back(withdd[o](seq.data(), 4, 2, data..., dd.data()));
        return values;
    }
};

}  // namespace

// ---------------------------------------------------------------------------
// The assignment rule
// ---------------------------------------------------------------------------

TEST(AssignmentRule, LowestMachineAmongTheSmallestKeys) {
    auto assign = [](std::vector<long> keys) {
        return parallel_machines::assign(static_cast<int>(keys.size()), [&](int i) { return keys[i]; });
    };
    EXPECT_EQ(assign({5, 3, 3}), 1);
    EXPECT_EQ(ranked_assignment({5, 3, 3}), 1);
    EXPECT_EQ(assign({4, 4, 4, 4}), 0);
    EXPECT_EQ(assign({9}), 0);
    EXPECT_EQ(assign({2, 7, 1, 1, 8, 1}), 2);
    EXPECT_EQ(assign({-3, 0, -3}), 0);
}

TEST(AssignmentRule, AgreesWithRankingAndTieScanOnRandomKeysWithManyTies) {
    std::mt19937 rng(4);
    for (int trial = 0; trial < 5000; ++trial) {
        const int m = 1 + static_cast<int>(rng() % 12);
        const long range = 1 + static_cast<long>(rng() % 4);
        std::vector<long> keys(m);
        for (long& k : keys) k = static_cast<long>(rng() % range) - 1;
        const int chosen = parallel_machines::assign(m, [&](int i) { return keys[i]; });
        ASSERT_EQ(chosen, ranked_assignment(keys)) << "trial " << trial;
    }
}

TEST(AssignmentRule, WholeSchedulesAgreeWithTheStepByStepConstruction) {
    std::mt19937 rng(99);
    // Small shapes, then the scan with a branch (16 machines and more) and the
    // one that fetches the next job's times ahead (2^18 times and more).
    const std::pair<int, int> large[] = {{40, 20}, {30, 16}, {700, 400}};
    for (int trial = 0; trial < 303; ++trial) {
        const bool small = trial < 300;
        RandomInstance in(rng, small ? 1 + trial % 13 : large[trial - 300].first,
                          small ? 1 + trial % 6 : large[trial - 300].second, trial % 2 == 0, false);
        std::vector<int> v = random_speeds(rng, in.m);
        const int* r = in.r.data();
        const std::vector<int>& p = in.pt[0];
        auto free_time = [](int, int, long free) { return free; };
        auto identical = [&](int, int j) { return static_cast<long>(p[j]); };
        auto uniform = [&](int i, int j) { return schedule::lround(static_cast<double>(p[j]) / v[i]); };
        auto unrelated = [&](int i, int j) { return static_cast<long>(in.pt[i][j]); };
        auto completes = [](auto duration) {
            return [duration](int i, int j, long free) { return free + duration(i, j); };
        };
        const int* seq = in.seq.data();
        EXPECT_EQ(take(Pm_Rj_Cj(seq, in.parallel()), in.n), reference_schedule(in.seq, in.m, free_time, identical, r));
        EXPECT_EQ(take(Qm_Rj_Cj(seq, in.related(v.data())), in.n),
                  reference_schedule(in.seq, in.m, free_time, uniform, r));
        EXPECT_EQ(take(Rm_Rj_Cj(seq, in.unrelated()), in.n),
                  reference_schedule(in.seq, in.m, completes(unrelated), unrelated, r));
        // The plain families, through the sum and the largest completion.
        const auto qm = reference_schedule(in.seq, in.m, completes(uniform), uniform, nullptr);
        const auto rm = reference_schedule(in.seq, in.m, completes(unrelated), unrelated, nullptr);
        EXPECT_EQ(Qm_SumCj(seq, in.n, in.m, p.data(), v.data()), std::accumulate(qm.begin(), qm.end(), 0L));
        EXPECT_EQ(Qm_Cmax(seq, in.n, in.m, p.data(), v.data()), *std::max_element(qm.begin(), qm.end()));
        EXPECT_EQ(Rm_SumCj(seq, in.n, in.m, in.rows.data()), std::accumulate(rm.begin(), rm.end(), 0L));
        EXPECT_EQ(Rm_Cmax(seq, in.n, in.m, in.rows.data()), *std::max_element(rm.begin(), rm.end()));
    }
}

// ---------------------------------------------------------------------------
// Worked schedules
// ---------------------------------------------------------------------------

TEST_F(WorkedJobs, IdenticalMachines) {
    // Job 2 waits on machine 1 from 3 until its release at 6.
    EXPECT_EQ(take(Pm_Rj_Cj(seq.data(), identical), 4), (std::vector<long>{4, 3, 8, 9}));
    expect_same(record_objectives(identical_machines_records, seq.data(), identical),
                {{9, 3, 8, 1, 24, 4, 17, -2, 2, 2, 1}, {13.5, 4.5, 12.0, 2.0, 27.5, 5.5, 23.0, -3.0, 2.5, 2.5, 2.0}},
                "Pm_Rj");
    // Without release dates job 2 starts at 3: C = (4, 3, 5, 9).
    EXPECT_EQ(plain(identical_machines_plain_nodd, identical_machines_plain_dd, p.data()),
              (std::vector<long>{9, 21, 3, 1, 6, -5, 1, 1, 1}));
}

TEST_F(WorkedJobs, UniformMachines) {
    // The record family takes the machine free first: job 0 goes to the slow
    // machine 0 and completes at 4, although machine 1 would complete it at 2.
    EXPECT_EQ(take(Qm_Rj_Cj(seq.data(), uniform), 4), (std::vector<long>{4, 2, 7, 9}));
    expect_same(record_objectives(uniform_machines_records, seq.data(), uniform),
                {{9, 3, 8, 0, 22, 4, 15, -4, 0, 0, 0}, {13.5, 4.5, 12.0, 0.0, 25.0, 5.5, 20.5, -5.5, 0.0, 0.0, 0.0}},
                "Qm_Rj");
    // The plain family takes the machine where the job completes first:
    // C = (2, 3, 3, 6), L = (−3, 1, −4, −6). Its due-date objectives are the
    // catalogue's: the largest lateness is 1, one job is tardy.
    EXPECT_EQ(plain(uniform_machines_plain_nodd, uniform_machines_plain_dd, p.data(), v.data()),
              (std::vector<long>{6, 14, 6, 1, 13, -12, 1, 1, 1}));
}

TEST_F(WorkedJobs, UnrelatedMachines) {
    EXPECT_EQ(take(Rm_Rj_Cj(seq.data(), unrelated), 4), (std::vector<long>{2, 3, 9, 8}));
    expect_same(record_objectives(unrelated_machines_records, seq.data(), unrelated),
                {{9, 4, 7, 2, 22, 7, 15, -4, 3, 2, 2}, {12.0, 6.0, 10.5, 2.0, 24.5, 9.0, 20.0, -6.0, 3.0, 2.5, 2.0}},
                "Rm_Rj");
    // Job 3 completes at 8 on either machine and goes to machine 0.
    EXPECT_EQ(plain(unrelated_machines_plain_nodd, unrelated_machines_plain_dd, rows),
              (std::vector<long>{8, 18, 4, 1, 9, -8, 1, 1, 1}));
}

TEST_F(WorkedJobs, UniformProcessingTimesRoundHalvesUp) {
    // One job per machine: 7/3 → 2, 5/2 → 3, 3/2 → 2, 1/3 → 0.
    std::vector<int> times{7, 5, 3, 1}, speeds{3, 2, 2, 3}, order{0, 1, 2, 3}, zero(4, 0);
    const RELATED_MACHINES shop{4, 4, times.data(), speeds.data(), dd.data(), w.data(), zero.data()};
    EXPECT_EQ(take(Qm_Rj_Cj(order.data(), shop), 4), (std::vector<long>{2, 3, 2, 0}));
}

TEST_F(WorkedJobs, ResultIsIndexedByJob) {
    const std::vector<int> order{2, 0, 1};
    identical.jobs = 3;
    // Job 2 goes first, to machine 0, where it waits for its release at 6.
    EXPECT_EQ(take(Pm_Rj_Cj(order.data(), identical), 3), (std::vector<long>{4, 7, 8}));
    // A job listed twice occupies a machine twice and keeps its later
    // completion: job 1 takes machine 0 (0 to 3), then machine 1 (0 to 3),
    // then job 0 goes to machine 0 (3 to 7) and job 1 again to machine 1.
    const std::vector<int> twice{1, 1, 0, 1};
    identical.jobs = 4;
    long* completion = Pm_Rj_Cj(twice.data(), identical);
    EXPECT_EQ(completion[0], 7);
    EXPECT_EQ(completion[1], 6);
    std::free(completion);
}

// ---------------------------------------------------------------------------
// Edges of the construction
// ---------------------------------------------------------------------------

TEST(ParallelMachines, ReleaseDatesDelayTheStartButNeverTheChoice) {
    // Machines free at 5 and 3; job 2, released at 10, goes to machine 1,
    // the one free first, though both would start it at 10.
    std::vector<int> p{5, 3, 1}, r{0, 0, 10}, seq{0, 1, 2};
    std::vector<long> dd{0, 0, 0};
    std::vector<double> w{1.0, 1.0, 1.0};
    EXPECT_EQ(take(Pm_Rj_Cj(seq.data(), {3, 2, p.data(), dd.data(), w.data(), r.data()}), 3),
              (std::vector<long>{5, 3, 11}));

    // Unrelated machines free at 3 and 5; job 2 (times 4 and 3, released at 6)
    // ranks them by 7 and 8 and completes at 10 on machine 0, where machine 1
    // would have completed it at 9.
    std::vector<int> m0{3, 100, 4}, m1{100, 5, 3};
    int* rows[2] = {m0.data(), m1.data()};
    r = {0, 0, 6};
    EXPECT_EQ(take(Rm_Rj_Cj(seq.data(), {3, 2, rows, dd.data(), w.data(), r.data()}), 3),
              (std::vector<long>{3, 5, 10}));

    // Machines are free from time 0: a job released before 0 starts at 0.
    r = {-4, 0, 0};
    EXPECT_EQ(take(Pm_Rj_Cj(seq.data(), {1, 2, p.data(), dd.data(), w.data(), r.data()}), 1),
              (std::vector<long>{5}));
}

TEST(ParallelMachines, FirstJobsFillTheMachinesInOrder) {
    // Positive times: the first m jobs go to machines 0, 1, 2; machines 3 and
    // 4 stay idle. A job of time 0 leaves machine 0 free at 0 for the next.
    std::vector<int> p{2, 2, 2}, seq{0, 1, 2}, zero_first{0, 5, 6};
    EXPECT_EQ(Pm_SumCj(seq.data(), 3, 5, p.data()), 6);
    EXPECT_EQ(Pm_Cmax(seq.data(), 3, 5, p.data()), 2);
    std::vector<int> r(3, 0);
    std::vector<long> dd(3, 0);
    std::vector<double> w(3, 1.0);
    // Job 1 also goes to machine 0 (key 0), job 2 to machine 1.
    EXPECT_EQ(take(Pm_Rj_Cj(seq.data(), {3, 2, zero_first.data(), dd.data(), w.data(), r.data()}), 3),
              (std::vector<long>{0, 5, 6}));
}

TEST(ParallelMachines, MaximaAreTrueMaximaWhateverTheSigns) {
    // One machine, every job early: C = (1, 3), d = (10, 20).
    std::vector<int> p{1, 2}, r{0, 0}, seq{0, 1};
    std::vector<long> dd{10, 20};
    std::vector<double> w{-1.0, -2.0};
    const PARALLEL_MACHINES one{2, 1, p.data(), dd.data(), w.data(), r.data()};
    EXPECT_EQ(Pm_Rj_Lmax(seq.data(), one), -9);
    EXPECT_EQ(Pm_Lmax(seq.data(), 2, 1, p.data(), dd.data()), -9);
    EXPECT_EQ(Pm_Rj_Tmax(seq.data(), one), 0);
    EXPECT_EQ(Pm_Rj_SumUj(seq.data(), one), 0);
    // Negative weights: the largest weighted term, not 0.0.
    EXPECT_EQ(Pm_Rj_Wj_Cmax(seq.data(), one), -1.0);
    EXPECT_EQ(Pm_Rj_Wj_Fmax(seq.data(), one), -1.0);
    EXPECT_EQ(Pm_Rj_Wj_Emax(seq.data(), one), -9.0);
    EXPECT_EQ(Pm_Rj_Wj_Lmax(seq.data(), one), 34.0);
    // Large weights on early jobs: Wj_Lmax falls below −2147483647.
    w = {1e9, 1e9};
    EXPECT_EQ(Pm_Rj_Wj_Lmax(seq.data(), one), -9e9);
    // A job completing exactly at its due date is neither late nor tardy.
    dd = {1, 3};
    EXPECT_EQ(Pm_Rj_Lmax(seq.data(), one), 0);
    EXPECT_EQ(Pm_Rj_SumUj(seq.data(), one), 0);
}

TEST(ParallelMachines, EmptyScheduleGivesTheStartingValues) {
    const long dd[1] = {0};
    int speeds[2] = {1, 1};
    const PARALLEL_MACHINES pm{0, 2, nullptr, const_cast<long*>(dd), nullptr, nullptr};
    const RELATED_MACHINES qm{0, 2, nullptr, speeds, const_cast<long*>(dd), nullptr, nullptr};
    const UNRELATED_MACHINES rm{0, 2, nullptr, const_cast<long*>(dd), nullptr, nullptr};
    for (int o = 0; o < 11; ++o) {
        const bool lateness = o == 3;
        const long expected = lateness ? -2147483647 : 0;
        EXPECT_EQ(identical_machines_records.integer[o](nullptr, pm), expected) << objective_names[o];
        EXPECT_EQ(uniform_machines_records.integer[o](nullptr, qm), expected) << objective_names[o];
        EXPECT_EQ(unrelated_machines_records.integer[o](nullptr, rm), expected) << objective_names[o];
        EXPECT_EQ(identical_machines_records.weighted[o](nullptr, pm), static_cast<double>(expected));
        EXPECT_EQ(uniform_machines_records.weighted[o](nullptr, qm), static_cast<double>(expected));
        EXPECT_EQ(unrelated_machines_records.weighted[o](nullptr, rm), static_cast<double>(expected));
    }
    for (int o = 0; o < 7; ++o) {
        const long expected = o == 1 ? -2147483647 : 0;  // Lmax
        EXPECT_EQ(identical_machines_plain_dd[o](nullptr, 0, 2, nullptr, dd), expected) << plain_names[o + 2];
        EXPECT_EQ(uniform_machines_plain_dd[o](nullptr, 0, 2, nullptr, speeds, dd), expected);
        EXPECT_EQ(unrelated_machines_plain_dd[o](nullptr, 0, 2, nullptr, dd), expected);
    }
    long* none = Rm_Rj_Cj(nullptr, rm);
    EXPECT_NE(none, nullptr);
    std::free(none);
}

using ParallelMachinesDeathTest = testing::Test;

TEST_F(ParallelMachinesDeathTest, CallerErrorsEndTheProcessNamingTheEvaluator) {
    std::vector<int> p{3, 2}, r{0, 0}, seq{0, 1}, v{1, 0};
    std::vector<double> w{1.0, 1.0};
    int* rows[1] = {p.data()};
    const PARALLEL_MACHINES no_due_dates{2, 2, p.data(), nullptr, w.data(), r.data()};
    const UNRELATED_MACHINES unrelated{2, 1, rows, nullptr, w.data(), r.data()};
    EXPECT_EXIT((stdout_to_stderr(), Pm_Rj_Wj_SumTj(seq.data(), no_due_dates)), testing::ExitedWithCode(1),
                testing::Eq("Other error(s): Pm_Rj_Wj_SumTj: the instance has no due dates (dd is null)\n"));
    EXPECT_EXIT((stdout_to_stderr(), Qm_Tmax(seq.data(), 2, 1, p.data(), v.data(), nullptr)),
                testing::ExitedWithCode(1), "Qm_Tmax: the instance has no due dates");
    EXPECT_EXIT((stdout_to_stderr(), Rm_Rj_SumUj(seq.data(), unrelated)), testing::ExitedWithCode(1),
                "Rm_Rj_SumUj: the instance has no due dates");
    // No machine to choose.
    EXPECT_EXIT((stdout_to_stderr(), Pm_Cmax(seq.data(), 2, 0, p.data())), testing::ExitedWithCode(1),
                testing::Eq("Other error(s): Pm_Cmax: the number of machines must be at least 1 (machines=0)\n"));
    EXPECT_EXIT((stdout_to_stderr(), (void)Rm_Rj_Cj(seq.data(), {2, -1, rows, nullptr, w.data(), r.data()})),
                testing::ExitedWithCode(1), "Rm_Rj_Cj: the number of machines must be at least 1 \\(machines=-1\\)");
    // A machine without a positive speed.
    EXPECT_EXIT((stdout_to_stderr(), Qm_Cmax(seq.data(), 2, 2, p.data(), v.data())), testing::ExitedWithCode(1),
                testing::Eq("Other error(s): Qm_Cmax: the speed of machine 1 must be at least 1 (v=0)\n"));
    const RELATED_MACHINES uniform{2, 2, p.data(), v.data(), nullptr, w.data(), r.data()};
    EXPECT_EXIT((stdout_to_stderr(), (void)Qm_Rj_Cj(seq.data(), uniform)), testing::ExitedWithCode(1),
                "Qm_Rj_Cj: the speed of machine 1 must be at least 1");
}

// ---------------------------------------------------------------------------
// Agreement over random instances
// ---------------------------------------------------------------------------

TEST(ParallelMachineProperties, RecordObjectivesAreTheCatalogueOfTheCompletionTimes) {
    std::mt19937 rng(20261207);
    for (int trial = 0; trial < 200; ++trial) {
        RandomInstance in(rng, 1 + trial % 9, 1 + trial % 4, true, trial % 2 == 1);
        std::vector<int> v = random_speeds(rng, in.m);
        const int* seq = in.seq.data();
        auto expected = [&](long* completion) {
            return catalogue_of(take(completion, in.n), in.seq, in.dd, in.r, in.w, false);
        };
        expect_same(record_objectives(identical_machines_records, seq, in.parallel()),
                    expected(Pm_Rj_Cj(seq, in.parallel())), "Pm_Rj");
        expect_same(record_objectives(uniform_machines_records, seq, in.related(v.data())),
                    expected(Qm_Rj_Cj(seq, in.related(v.data()))), "Qm_Rj");
        expect_same(record_objectives(unrelated_machines_records, seq, in.unrelated()),
                    expected(Rm_Rj_Cj(seq, in.unrelated())), "Rm_Rj");
    }
}

TEST(ParallelMachineProperties, SpeedsOfOneAndEqualRowsAreIdenticalMachines) {
    std::mt19937 rng(5);
    for (int trial = 0; trial < 150; ++trial) {
        RandomInstance in(rng, 1 + trial % 12, 1 + trial % 5, trial % 3 != 0, trial % 2 == 0);
        for (auto& row : in.pt) std::copy(in.pt[0].begin(), in.pt[0].end(), row.begin());
        std::vector<int> ones(in.m, 1);
        const int* seq = in.seq.data();
        const int* p = in.pt[0].data();
        const Expected pm = record_objectives(identical_machines_records, seq, in.parallel());
        expect_same(record_objectives(uniform_machines_records, seq, in.related(ones.data())), pm, "Qm_Rj");
        expect_same(record_objectives(unrelated_machines_records, seq, in.unrelated()), pm, "Rm_Rj");
        const auto pm_cj = take(Pm_Rj_Cj(seq, in.parallel()), in.n);
        EXPECT_EQ(take(Qm_Rj_Cj(seq, in.related(ones.data())), in.n), pm_cj);
        EXPECT_EQ(take(Rm_Rj_Cj(seq, in.unrelated()), in.n), pm_cj);
        for (int o = 0; o < 2; ++o) {
            const long expected = identical_machines_plain_nodd[o](seq, in.n, in.m, p);
            EXPECT_EQ(uniform_machines_plain_nodd[o](seq, in.n, in.m, p, ones.data()), expected);
            EXPECT_EQ(unrelated_machines_plain_nodd[o](seq, in.n, in.m, in.rows.data()), expected);
        }
        for (int o = 0; o < 7; ++o) {
            const long expected = identical_machines_plain_dd[o](seq, in.n, in.m, p, in.dd.data());
            EXPECT_EQ(uniform_machines_plain_dd[o](seq, in.n, in.m, p, ones.data(), in.dd.data()), expected)
                << plain_names[o + 2];
            EXPECT_EQ(unrelated_machines_plain_dd[o](seq, in.n, in.m, in.rows.data(), in.dd.data()), expected)
                << plain_names[o + 2];
        }
    }
}

TEST(ParallelMachineProperties, OneMachineIsTheSingleMachine) {
    std::mt19937 rng(8);
    for (int trial = 0; trial < 100; ++trial) {
        RandomInstance in(rng, 1 + trial % 11, 1, true, trial % 3 == 0);
        std::vector<int> one_speed{1};
        const int* seq = in.seq.data();
        const int* p = in.pt[0].data();
        const Expected s1 = record_objectives(single_machine_records, seq, in.single());
        expect_same(record_objectives(identical_machines_records, seq, in.parallel()), s1, "Pm_Rj");
        expect_same(record_objectives(uniform_machines_records, seq, in.related(one_speed.data())), s1, "Qm_Rj");
        expect_same(record_objectives(unrelated_machines_records, seq, in.unrelated()), s1, "Rm_Rj");
        const auto s1_cj = take(S1_Rj_Cj(seq, in.single()), in.n);
        EXPECT_EQ(take(Pm_Rj_Cj(seq, in.parallel()), in.n), s1_cj);
        EXPECT_EQ(take(Rm_Rj_Cj(seq, in.unrelated()), in.n), s1_cj);
        for (int o = 0; o < 2; ++o) {
            const long expected = single_machine_plain_nodd[o](seq, in.n, p);
            EXPECT_EQ(identical_machines_plain_nodd[o](seq, in.n, 1, p), expected);
            EXPECT_EQ(uniform_machines_plain_nodd[o](seq, in.n, 1, p, one_speed.data()), expected);
            EXPECT_EQ(unrelated_machines_plain_nodd[o](seq, in.n, 1, in.rows.data()), expected);
        }
        for (int o = 0; o < 7; ++o) {
            const long expected = single_machine_plain_dd[o](seq, in.n, p, in.dd.data());
            EXPECT_EQ(identical_machines_plain_dd[o](seq, in.n, 1, p, in.dd.data()), expected);
            EXPECT_EQ(uniform_machines_plain_dd[o](seq, in.n, 1, p, one_speed.data(), in.dd.data()), expected);
            EXPECT_EQ(unrelated_machines_plain_dd[o](seq, in.n, 1, in.rows.data(), in.dd.data()), expected);
        }
    }
}

TEST(ParallelMachineProperties, RecordsReleasedAtZeroAgreeWithThePlainFamily) {
    std::mt19937 rng(12);
    const int record_index[9] = {0, 4, 1, 3, 5, 7, 8, 9, 10};  // plain_names order
    for (int trial = 0; trial < 100; ++trial) {
        RandomInstance in(rng, 1 + trial % 10, 1 + trial % 5, false, false);
        const int* seq = in.seq.data();
        const int* p = in.pt[0].data();
        for (int o = 0; o < 9; ++o) {
            const long pm = o < 2 ? identical_machines_plain_nodd[o](seq, in.n, in.m, p)
                                  : identical_machines_plain_dd[o - 2](seq, in.n, in.m, p, in.dd.data());
            const long rm = o < 2 ? unrelated_machines_plain_nodd[o](seq, in.n, in.m, in.rows.data())
                                  : unrelated_machines_plain_dd[o - 2](seq, in.n, in.m, in.rows.data(), in.dd.data());
            EXPECT_EQ(pm, identical_machines_records.integer[record_index[o]](seq, in.parallel())) << plain_names[o];
            EXPECT_EQ(rm, unrelated_machines_records.integer[record_index[o]](seq, in.unrelated())) << plain_names[o];
        }
    }
}
