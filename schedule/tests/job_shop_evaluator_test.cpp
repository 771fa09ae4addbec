// Job shop: the worked schedules, the edges of the catalogue, operation
// sequences the shop cannot follow, and agreement with the single machine and
// the permutation flow shop over random instances.
#include <algorithm>
#include <climits>
#include <cmath>
#include <random>
#include <utility>
#include <vector>

#include "evaluator_tables.h"
#include "schedule/schedule.h"
#include "test_support.h"

using namespace schedule;
using namespace evaluator_tables;
using testing_support::stdout_to_stderr;

namespace {

// Two jobs on two machines: job 0 visits machine 0 then 1, job 1 machine 1
// then 0.
struct JobShopExample : testing::Test {
    std::vector<int> m0{3, 2}, m1{4, 1}, route0{0, 1}, route1{1, 0}, r{0, 1};
    int* pt[2] = {m0.data(), m1.data()};
    int* rt[2] = {route0.data(), route1.data()};
    std::vector<long> dd{10, 8};
    std::vector<double> w{1.0, 2.0};
    JOBSHOP instance{2, 2, pt, rt, dd.data(), w.data(), r.data()};
    std::vector<int> interleaved{0, 1, 1, 0};
};

TEST_F(JobShopExample, EveryObjectiveOfTheInterleavedSequence) {
    // Job 0 on machine 0 over [0, 3); job 1 on machine 1 over [1, 2) after
    // its release; job 1 on machine 0 waits for it until 3 and ends at 5; job
    // 0 on machine 1 over [3, 7). Every job is early.
    EXPECT_EQ(take(Jm_Rj_Cj(interleaved.data(), instance), 2), (std::vector<long>{7, 5}));
    const long integer[11] = {7, 3, 7, -3, 12, 6, 11, -6, 0, 0, 0};
    const double weighted[11] = {10.0, 6.0, 8.0, -3.0, 17.0, 9.0, 15.0, -9.0, 0.0, 0.0, 0.0};
    for (int o = 0; o < 11; ++o) {
        EXPECT_EQ(job_shop_records.integer[o](interleaved.data(), instance), integer[o]) << objective_names[o];
        EXPECT_EQ(job_shop_records.weighted[o](interleaved.data(), instance), weighted[o]) << objective_names[o];
    }
}

TEST_F(JobShopExample, SequenceOrdersOperationsNotRoutings) {
    // Job 0 first on both of its machines (3, 7); job 1 then waits for
    // machine 1 until 7 (8) and runs on machine 0 after that (10).
    const std::vector<int> job_after_job{0, 0, 1, 1};
    EXPECT_EQ(take(Jm_Rj_Cj(job_after_job.data(), instance), 2), (std::vector<long>{7, 10}));
    EXPECT_EQ(Jm_Rj_Cmax(job_after_job.data(), instance), 10);
    // Exchanging neighbouring operations of different jobs on different
    // machines changes nothing: (1, 0, 1, 0) places the same operations at
    // the same times as (0, 1, 1, 0).
    const std::vector<int> exchanged{1, 0, 1, 0};
    EXPECT_EQ(take(Jm_Rj_Cj(exchanged.data(), instance), 2), (std::vector<long>{7, 5}));
}

TEST_F(JobShopExample, ReleaseDatesAndDueDates) {
    // A job released after its first machine is free starts at its release
    // date and leaves the machine idle; a negative release date cannot start
    // a job before time 0, when the machines become free.
    r[0] = 6;
    r[1] = -4;
    EXPECT_EQ(take(Jm_Rj_Cj(interleaved.data(), instance), 2), (std::vector<long>{13, 11}));  // 9, 13 and 1, 11
    EXPECT_EQ(Jm_Rj_Fmax(interleaved.data(), instance), 15);
    // A job completing exactly at its due date is neither late nor early.
    r[0] = 0;
    r[1] = 1;
    dd[0] = 7;
    dd[1] = 5;
    for (int o : {1, 3, 5, 7, 8, 9, 10}) {
        EXPECT_EQ(job_shop_records.integer[o](interleaved.data(), instance), 0) << objective_names[o];
        EXPECT_EQ(job_shop_records.weighted[o](interleaved.data(), instance), 0.0) << objective_names[o];
    }
}

TEST_F(JobShopExample, MaximaAreTrueMaximaWhateverTheSigns) {
    dd[0] = dd[1] = 100;
    EXPECT_EQ(Jm_Rj_Lmax(interleaved.data(), instance), -93);
    EXPECT_EQ(Jm_Rj_Wj_Lmax(interleaved.data(), instance), -93.0);
    w[0] = -1.0;
    w[1] = -2.0;
    EXPECT_EQ(Jm_Rj_Wj_Cmax(interleaved.data(), instance), -7.0);
    EXPECT_EQ(Jm_Rj_Wj_Fmax(interleaved.data(), instance), -7.0);
    EXPECT_EQ(Jm_Rj_Wj_Lmax(interleaved.data(), instance), 190.0);
    EXPECT_EQ(Jm_Rj_Wj_SumLj(interleaved.data(), instance), 93.0 + 190.0);
}

TEST_F(JobShopExample, OneJobRunsItsRoutingBackToBack) {
    r[0] = 5;
    instance.jobs = 1;
    const std::vector<int> alone{0, 0};
    EXPECT_EQ(take(Jm_Rj_Cj(alone.data(), instance), 1), (std::vector<long>{5 + 3 + 4}));
    EXPECT_EQ(Jm_Rj_Cmax(alone.data(), instance), 12);
}

TEST_F(JobShopExample, EmptyShopsGiveStartingValues) {
    // No jobs: every objective is 0. No machines: no operation, so each job
    // completes at its release date.
    instance.jobs = 0;
    for (int o = 0; o < 11; ++o) {
        EXPECT_EQ(job_shop_records.integer[o](nullptr, instance), 0) << objective_names[o];
        EXPECT_EQ(job_shop_records.weighted[o](nullptr, instance), 0.0) << objective_names[o];
    }
    instance.jobs = 2;
    instance.machines = 0;
    EXPECT_EQ(take(Jm_Rj_Cj(nullptr, instance), 2), (std::vector<long>{0, 1}));
}

using JobShopDeathTest = JobShopExample;

TEST_F(JobShopDeathTest, SequencesTheShopCannotFollowEndTheProcessNamingTheEvaluator) {
    const std::vector<int> thrice{0, 0, 0, 1}, negative{0, -1, 1, 0}, beyond{0, 1, 2, 0};
    EXPECT_EXIT((stdout_to_stderr(), Jm_Rj_Cmax(thrice.data(), instance)), testing::ExitedWithCode(1),
                "^Other error\\(s\\): Jm_Rj_Cmax: job 0 occurs more than 2 times in the operation sequence "
                "\\(entry 2\\)\n$");
    EXPECT_EXIT((stdout_to_stderr(), (void)Jm_Rj_Cj(negative.data(), instance)), testing::ExitedWithCode(1),
                "^Other error\\(s\\): Jm_Rj_Cj: entry 1 of the operation sequence is job -1, outside 0..1\n$");
    EXPECT_EXIT((stdout_to_stderr(), Jm_Rj_Wj_SumTj(beyond.data(), instance)), testing::ExitedWithCode(1),
                "Jm_Rj_Wj_SumTj: entry 2 of the operation sequence is job 2, outside 0..1\n$");
    route1[1] = 2;
    EXPECT_EXIT((stdout_to_stderr(), Jm_Rj_SumCj(interleaved.data(), instance)), testing::ExitedWithCode(1),
                "Jm_Rj_SumCj: operation 1 of job 1 is routed to machine 2, outside 0..1\n$");
    route1[0] = -1;
    route1[1] = 0;
    EXPECT_EXIT((stdout_to_stderr(), Jm_Rj_Tmax(interleaved.data(), instance)), testing::ExitedWithCode(1),
                "Jm_Rj_Tmax: operation 0 of job 1 is routed to machine -1, outside 0..1\n$");
    route1[0] = 1;
    instance.dd = nullptr;
    EXPECT_EXIT((stdout_to_stderr(), Jm_Rj_Wj_Lmax(interleaved.data(), instance)), testing::ExitedWithCode(1),
                "Jm_Rj_Wj_Lmax");
}

// ---------------------------------------------------------------------------
// Agreement over random instances
// ---------------------------------------------------------------------------

// Each entry is checked once, as an unsigned number: the ends of int must be
// caught like any other entry.
TEST_F(JobShopDeathTest, JobsAtTheEndsOfIntAreOutOfRange) {
    const std::vector<int> lowest{0, INT_MIN, 1, 0}, highest{0, 1, INT_MAX, 0};
    EXPECT_EXIT((stdout_to_stderr(), Jm_Rj_Cmax(lowest.data(), instance)), testing::ExitedWithCode(1),
                "Jm_Rj_Cmax: entry 1 of the operation sequence is job -2147483648, outside 0..1\n$");
    EXPECT_EXIT((stdout_to_stderr(), (void)Jm_Rj_Cj(highest.data(), instance)), testing::ExitedWithCode(1),
                "Jm_Rj_Cj: entry 2 of the operation sequence is job 2147483647, outside 0..1\n$");
}

TEST_F(JobShopDeathTest, MachinesAtTheEndsOfIntAreOutOfRange) {
    const std::vector<int> seq{0, 1, 1, 0};
    route1[0] = INT_MIN;
    EXPECT_EXIT((stdout_to_stderr(), Jm_Rj_SumCj(seq.data(), instance)), testing::ExitedWithCode(1),
                "Jm_Rj_SumCj: operation 0 of job 1 is routed to machine -2147483648, outside 0..1\n$");
    route1[0] = 1;
    route0[1] = INT_MAX;
    EXPECT_EXIT((stdout_to_stderr(), Jm_Rj_Wj_SumTj(seq.data(), instance)), testing::ExitedWithCode(1),
                "Jm_Rj_Wj_SumTj: operation 1 of job 0 is routed to machine 2147483647, outside 0..1\n$");
}

TEST(JobShopProperties, RecordObjectivesAreTheCatalogueInJobIndexOrder) {
    std::mt19937 rng(5150);
    for (int trial = 0; trial < 200; ++trial) {
        RandomInstance in(rng, 1 + trial % 8, 1 + trial % 5, true, trial % 2 == 1);
        JobShop shop(rng, in.n, in.m);
        const JOBSHOP record = shop.record(in);
        std::vector<int> by_index(in.n);
        std::iota(by_index.begin(), by_index.end(), 0);
        const Expected e = catalogue_of(take(Jm_Rj_Cj(shop.seq_ops.data(), record), in.n), by_index, in.dd, in.r,
                                        in.w, false);
        for (int o = 0; o < 11; ++o) {
            EXPECT_EQ(job_shop_records.integer[o](shop.seq_ops.data(), record), e.integer[o]) << objective_names[o];
            EXPECT_EQ(job_shop_records.weighted[o](shop.seq_ops.data(), record), e.weighted[o]) << objective_names[o];
        }
    }
}

TEST(JobShopProperties, OneMachineIsTheSingleMachine) {
    std::mt19937 rng(31);
    for (int trial = 0; trial < 100; ++trial) {
        RandomInstance in(rng, 1 + trial % 10, 1, true, trial % 3 == 0);
        JobShop shop(rng, in.n, 1);
        const JOBSHOP record = shop.record(in);
        const SINGLE_MACHINE single = in.single();
        const int* seq = shop.seq_ops.data();  // with one machine, a job sequence
        EXPECT_EQ(take(Jm_Rj_Cj(seq, record), in.n), take(S1_Rj_Cj(seq, single), in.n));
        for (int o = 0; o < 11; ++o) {
            EXPECT_EQ(job_shop_records.integer[o](seq, record), single_machine_records.integer[o](seq, single))
                << objective_names[o];
            EXPECT_EQ(job_shop_records.weighted[o](seq, record), single_machine_records.weighted[o](seq, single))
                << objective_names[o];
        }
    }
}

TEST(JobShopProperties, MachineOrderRoutingsFollowingAJobSequenceAreThePermutationFlowShop) {
    // When every job visits 0, 1, …, m − 1 and every machine takes the jobs
    // in one order, the job shop is the permutation flow shop, whichever
    // interleaving of the operations keeps those orders.
    std::mt19937 rng(99);
    for (int trial = 0; trial < 100; ++trial) {
        RandomInstance in(rng, 1 + trial % 9, 1 + trial % 6, true, false);
        JobShop shop(rng, in.n, in.m, true);
        // Operation o of the job at position k goes out at "time" k + o: a
        // wavefront that keeps both orders.
        std::vector<std::pair<int, int>> wave;
        for (int k = 0; k < in.n; ++k) {
            for (int i = 0; i < in.m; ++i) wave.push_back({k + i, k});
        }
        std::stable_sort(wave.begin(), wave.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (std::size_t o = 0; o < wave.size(); ++o) shop.seq_ops[o] = in.seq[wave[o].second];
        EXPECT_EQ(take(Jm_Rj_Cj(shop.seq_ops.data(), shop.record(in)), in.n),
                  take(Fm_Prmu_Rj_Cj(in.seq.data(), in.flow_shop()), in.n));
    }
}

TEST(JobShopProperties, ExchangingIndependentNeighboursChangesNoCompletionTime) {
    std::mt19937 rng(404);
    for (int trial = 0; trial < 200; ++trial) {
        RandomInstance in(rng, 2 + trial % 6, 1 + trial % 4, true, false);
        JobShop shop(rng, in.n, in.m);
        const JOBSHOP record = shop.record(in);
        const std::vector<long> before = take(Jm_Rj_Cj(shop.seq_ops.data(), record), in.n);
        // The machine of each entry's operation.
        std::vector<int> done(in.n, 0), machine;
        for (int j : shop.seq_ops) machine.push_back(shop.routing[j][done[j]++]);
        for (std::size_t o = 0; o + 1 < shop.seq_ops.size(); ++o) {
            if (shop.seq_ops[o] == shop.seq_ops[o + 1] || machine[o] == machine[o + 1]) continue;
            std::vector<int> exchanged = shop.seq_ops;
            std::swap(exchanged[o], exchanged[o + 1]);
            EXPECT_EQ(take(Jm_Rj_Cj(exchanged.data(), record), in.n), before);
        }
    }
}

}  // namespace
