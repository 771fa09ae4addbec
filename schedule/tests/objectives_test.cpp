// Objectives of the single machine and the permutation flow shop: worked
// values, edges of the catalogue, and agreement between families and
// environments over random instances.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numeric>
#include <random>
#include <vector>

#include "schedule/schedule.h"
#include "evaluator_tables.h"
#include "test_support.h"

using namespace schedule;
using namespace evaluator_tables;

namespace {

// ---------------------------------------------------------------------------
// Single machine
// ---------------------------------------------------------------------------

struct SingleMachineExample : testing::Test {
    std::vector<int> pt{3, 2, 4}, r{0, 5, 1}, seq{0, 1, 2};
    std::vector<long> dd{4, 6, 12};
    std::vector<double> w{1.0, 2.0, 0.5};
    SINGLE_MACHINE instance{3, 1, pt.data(), dd.data(), w.data(), r.data()};
};

TEST_F(SingleMachineExample, RecordObjectives) {
    // C = (3, 7, 11): the machine idles from 3 to 5 waiting for job 1.
    const long integer[11] = {11, 1, 10, 1, 21, 2, 15, -1, 1, 1, 1};
    const double weighted[11] = {14.0, 1.0, 5.0, 2.0, 22.5, 1.5, 12.0, 0.5, 2.0, 2.0, 2.0};
    for (int o = 0; o < 11; ++o) {
        EXPECT_EQ(single_machine_records.integer[o](seq.data(), instance), integer[o]) << objective_names[o];
        EXPECT_EQ(single_machine_records.weighted[o](seq.data(), instance), weighted[o]) << "Wj_" << objective_names[o];
    }
}

TEST_F(SingleMachineExample, PlainObjectivesRunFromTimeZeroWithoutIdleTime) {
    // C = (3, 5, 9): every job is early, so the largest lateness is negative.
    const long expected[9] = {9, 17, 3, -1, 5, -5, 0, 0, 0};
    for (int o = 0; o < 2; ++o) EXPECT_EQ(single_machine_plain_nodd[o](seq.data(), 3, pt.data()), expected[o]);
    for (int o = 0; o < 7; ++o) {
        EXPECT_EQ(single_machine_plain_dd[o](seq.data(), 3, pt.data(), dd.data()), expected[o + 2]) << plain_names[o + 2];
    }
}

TEST_F(SingleMachineExample, JobCompletingAtItsDueDateIsNeitherLateNorEarly) {
    dd = {3, 7, 11};
    instance.dd = dd.data();
    EXPECT_EQ(S1_Rj_SumUj(seq.data(), instance), 0);
    EXPECT_EQ(S1_Rj_Wj_SumUj(seq.data(), instance), 0.0);
    EXPECT_EQ(S1_Rj_Lmax(seq.data(), instance), 0);
    EXPECT_EQ(S1_Rj_SumEj(seq.data(), instance), 0);
    EXPECT_EQ(S1_Rj_Tmax(seq.data(), instance), 0);
}

TEST_F(SingleMachineExample, CmaxIsTheLastJobOfTheSequenceWhileWjCmaxIsTheLargestWeightedCompletion) {
    EXPECT_EQ(S1_Rj_Cmax(seq.data(), instance), 11);
    EXPECT_EQ(S1_Rj_Wj_Cmax(seq.data(), instance), 14.0);  // job 1, not 5.5 for the last job
    // With a negative processing time the last completion is not the largest.
    pt = {5, -3, 1};
    r = {0, 0, 0};
    instance.pt = pt.data();
    instance.r = r.data();
    EXPECT_EQ(S1_Rj_Cmax(seq.data(), instance), 3);
    EXPECT_EQ(S1_Cmax(seq.data(), 3, pt.data()), 3);
}

TEST_F(SingleMachineExample, MaximaAreTrueMaximaWhateverTheSigns) {
    // Negative weights make every weighted term of these maxima negative.
    w = {-1.0, -2.0, -0.5};
    instance.w = w.data();
    EXPECT_EQ(S1_Rj_Wj_Cmax(seq.data(), instance), -3.0);
    EXPECT_EQ(S1_Rj_Wj_Tmax(seq.data(), instance), 0.0);  // tardiness 0 weighs -0.0 and 0.0
    EXPECT_EQ(S1_Rj_Wj_Fmax(seq.data(), instance), -3.0);
    EXPECT_EQ(S1_Rj_Wj_Lmax(seq.data(), instance), 1.0);
    w = {3.0, 0.25, 2.0};
    dd = {100, 100, 100};
    instance.w = w.data();
    instance.dd = dd.data();
    EXPECT_EQ(S1_Rj_Lmax(seq.data(), instance), -89);
    EXPECT_EQ(S1_Rj_Wj_Lmax(seq.data(), instance), -23.25);
    EXPECT_EQ(S1_Lmax(seq.data(), 3, pt.data(), dd.data()), -91);
}

TEST_F(SingleMachineExample, WeightedSumsAddTheTermsInSequenceOrder) {
    // Terms 1e16, 1.0 and -1.5e16: adding 1.0 to 1e16 first loses it.
    pt = {1, 1, 1};
    r = {0, 0, 0};
    w = {1e16, 0.5, -5e15};
    instance.r = r.data();
    instance.pt = pt.data();
    instance.w = w.data();
    EXPECT_EQ(S1_Rj_Wj_SumCj(seq.data(), instance), -5e15);
    // A sum begins with its first term: a lone -0.0 term stays -0.0.
    const std::vector<int> one{0};
    w = {-0.0, 0.0, 0.0};
    instance.w = w.data();
    instance.jobs = 1;
    EXPECT_TRUE(std::signbit(S1_Rj_Wj_SumCj(one.data(), instance)));
}

TEST(Objectives, EmptyScheduleGivesZeroEverywhere) {
    const SINGLE_MACHINE single{0, 1, nullptr, nullptr, nullptr, nullptr};
    const FLOWSHOP shop{0, 3, nullptr, nullptr, nullptr, nullptr};
    const long dd[1] = {0};
    const SINGLE_MACHINE single_dd{0, 1, nullptr, const_cast<long*>(dd), nullptr, nullptr};
    const FLOWSHOP shop_dd{0, 3, nullptr, const_cast<long*>(dd), nullptr, nullptr};
    for (int o = 0; o < 11; ++o) {
        const bool needs_dd = o == 1 || o == 3 || o == 5 || o >= 7;
        EXPECT_EQ(single_machine_records.integer[o](nullptr, needs_dd ? single_dd : single), 0) << objective_names[o];
        EXPECT_EQ(flow_shop_records.integer[o](nullptr, needs_dd ? shop_dd : shop), 0) << objective_names[o];
        const double s = single_machine_records.weighted[o](nullptr, needs_dd ? single_dd : single);
        EXPECT_TRUE(s == 0.0 && !std::signbit(s)) << objective_names[o];
        EXPECT_EQ(flow_shop_records.weighted[o](nullptr, needs_dd ? shop_dd : shop), 0.0) << objective_names[o];
    }
    for (int o = 0; o < 7; ++o) {
        EXPECT_EQ(single_machine_plain_dd[o](nullptr, 0, nullptr, dd), 0);
        EXPECT_EQ(flow_shop_plain_dd[o](nullptr, 0, 2, nullptr, dd), 0) << plain_names[o + 2];
    }
    EXPECT_EQ(Fm_Prmu_Cmax(nullptr, 0, 2, nullptr), 0);
}

using ObjectivesDeathTest = testing::Test;

TEST_F(ObjectivesDeathTest, DueDateObjectiveWithoutDueDatesStopsNamingTheEvaluator) {
    std::vector<int> pt{3, 2}, r{0, 0}, seq{0, 1};
    std::vector<double> w{1.0, 1.0};
    const SINGLE_MACHINE single{2, 1, pt.data(), nullptr, w.data(), r.data()};
    int* rows[1] = {pt.data()};
    const FLOWSHOP shop{2, 1, rows, nullptr, w.data(), r.data()};
    EXPECT_EXIT((testing_support::stdout_to_stderr(), S1_SumTj(seq.data(), 2, pt.data(), nullptr)),
                testing::ExitedWithCode(1),
                testing::Eq("Other error(s): S1_SumTj: the instance has no due dates (dd is null)\n"));
    EXPECT_EXIT((testing_support::stdout_to_stderr(), S1_Rj_Wj_SumUj(seq.data(), single)), testing::ExitedWithCode(1),
                "S1_Rj_Wj_SumUj: the instance has no due dates");
    EXPECT_EXIT((testing_support::stdout_to_stderr(), Fm_Prmu_Rj_Lmax(seq.data(), shop)), testing::ExitedWithCode(1),
                "Fm_Prmu_Rj_Lmax: the instance has no due dates");
    EXPECT_EXIT((testing_support::stdout_to_stderr(), Fm_Prmu_Emax(seq.data(), 2, 1, rows, nullptr)),
                testing::ExitedWithCode(1), "Fm_Prmu_Emax: the instance has no due dates");
    // Objectives without due dates do not need them.
    EXPECT_EQ(S1_Rj_Wj_SumFj(seq.data(), single), 8.0);
    EXPECT_EQ(Fm_Prmu_SumCj(seq.data(), 2, 1, rows), 8);
}

// ---------------------------------------------------------------------------
// Permutation flow shop
// ---------------------------------------------------------------------------

struct FlowShopExample : testing::Test {
    std::vector<int> m0{3, 2, 4}, m1{2, 5, 1}, r{0, 5, 1}, seq{0, 1, 2};
    int* rows[2] = {m0.data(), m1.data()};
    std::vector<long> dd{4, 6, 12};
    std::vector<double> w{1.0, 2.0, 0.5};
    FLOWSHOP instance{3, 2, rows, dd.data(), w.data(), r.data()};
};

TEST_F(FlowShopExample, ReleaseDatesDelayMachineZeroOnly) {
    // Machine 0: 3, 7, 11; machine 1: 5, 12, 13.
    EXPECT_EQ(take(Fm_Prmu_Rj_Cj(seq.data(), instance), 3), (std::vector<long>{5, 12, 13}));
    EXPECT_EQ(Fm_Prmu_Rj_Cmax(seq.data(), instance), 13);
    EXPECT_EQ(Fm_Prmu_Rj_SumCj(seq.data(), instance), 30);
    EXPECT_EQ(Fm_Prmu_Rj_Lmax(seq.data(), instance), 6);
    EXPECT_EQ(Fm_Prmu_Rj_SumUj(seq.data(), instance), 3);
    EXPECT_EQ(Fm_Prmu_Rj_Fmax(seq.data(), instance), 12);
    EXPECT_EQ(Fm_Prmu_Rj_SumFj(seq.data(), instance), 24);
    EXPECT_EQ(Fm_Prmu_Rj_Wj_SumTj(seq.data(), instance), 1.0 + 12.0 + 0.5);
    EXPECT_EQ(Fm_Prmu_Cmax(seq.data(), 3, 2, rows), 11);  // 3, 5, 9 then 5, 10, 11
}

TEST_F(FlowShopExample, ResultIsIndexedByJobAndMachinesAreRows) {
    const std::vector<int> order{2, 0, 1};
    EXPECT_EQ(take(Fm_Prmu_Rj_Cj(order.data(), instance), 3), (std::vector<long>{10, 15, 6}));
}

TEST_F(FlowShopExample, SingleJobAndEdgeShops) {
    const std::vector<int> first{0};
    r[0] = 4;
    instance.jobs = 1;
    EXPECT_EQ(take(Fm_Prmu_Rj_Cj(first.data(), instance), 1), (std::vector<long>{9}));  // 4 + 3 + 2
    r[0] = 0;
    // A zero processing time passes the job through the machine at once.
    m1 = {0, 0, 0};
    rows[1] = m1.data();
    EXPECT_EQ(take(Fm_Prmu_Rj_Cj(seq.data(), FLOWSHOP{3, 2, rows, dd.data(), w.data(), r.data()}), 3),
              (std::vector<long>{3, 7, 11}));
    // Without machines a job leaves as soon as it is released.
    EXPECT_EQ(take(Fm_Prmu_Rj_Cj(seq.data(), FLOWSHOP{3, 0, nullptr, dd.data(), w.data(), r.data()}), 3),
              (std::vector<long>{0, 5, 1}));
    EXPECT_EQ(Fm_Prmu_SumCj(seq.data(), 3, 0, nullptr), 0);
}

TEST_F(FlowShopExample, MaximaAreTrueMaximaWhenEveryJobIsEarly) {
    dd = {100, 100, 100};
    instance.dd = dd.data();
    EXPECT_EQ(Fm_Prmu_Lmax(seq.data(), 3, 2, rows, dd.data()), -89);
    EXPECT_EQ(Fm_Prmu_Rj_Lmax(seq.data(), instance), -87);
    w = {-1.0, -2.0, -3.0};
    instance.w = w.data();
    EXPECT_EQ(Fm_Prmu_Rj_Wj_Cmax(seq.data(), instance), -5.0);
    EXPECT_EQ(Fm_Prmu_Rj_Wj_Lmax(seq.data(), instance), 261.0);
}

TEST_F(FlowShopExample, WeightedSumsStartFromZero) {
    const std::vector<int> one{0};
    w = {-0.0, 1.0, 1.0};
    instance.w = w.data();
    instance.jobs = 1;
    EXPECT_FALSE(std::signbit(Fm_Prmu_Rj_Wj_SumCj(one.data(), instance)));
}

// ---------------------------------------------------------------------------
// Agreement over random instances
// ---------------------------------------------------------------------------

TEST(ObjectiveProperties, RecordObjectivesAreTheCatalogueOfTheCompletionTimes) {
    std::mt19937 rng(20261207);
    for (int trial = 0; trial < 200; ++trial) {
        RandomInstance in(rng, 1 + trial % 9, 1 + trial % 4, true, trial % 2 == 1);
        const SINGLE_MACHINE single = in.single();
        const FLOWSHOP shop = in.flow_shop();
        const Expected s1 = catalogue_of(take(S1_Rj_Cj(in.seq.data(), single), in.n), in.seq, in.dd, in.r, in.w);
        const Expected fm = catalogue_of(take(Fm_Prmu_Rj_Cj(in.seq.data(), shop), in.n), in.seq, in.dd, in.r, in.w);
        for (int o = 0; o < 11; ++o) {
            EXPECT_EQ(single_machine_records.integer[o](in.seq.data(), single), s1.integer[o]) << objective_names[o];
            EXPECT_EQ(single_machine_records.weighted[o](in.seq.data(), single), s1.weighted[o]) << objective_names[o];
            EXPECT_EQ(flow_shop_records.integer[o](in.seq.data(), shop), fm.integer[o]) << objective_names[o];
            EXPECT_EQ(flow_shop_records.weighted[o](in.seq.data(), shop), fm.weighted[o]) << objective_names[o];
        }
    }
}

TEST(ObjectiveProperties, FlowShopWithOneMachineIsTheSingleMachine) {
    std::mt19937 rng(7);
    for (int trial = 0; trial < 100; ++trial) {
        RandomInstance in(rng, 1 + trial % 11, 1, true, trial % 3 == 0);
        const SINGLE_MACHINE single = in.single();
        const FLOWSHOP shop = in.flow_shop();
        const int* seq = in.seq.data();
        EXPECT_EQ(take(Fm_Prmu_Rj_Cj(seq, shop), in.n), take(S1_Rj_Cj(seq, single), in.n));
        for (int o = 0; o < 11; ++o) {
            EXPECT_EQ(flow_shop_records.integer[o](seq, shop), single_machine_records.integer[o](seq, single));
            EXPECT_EQ(flow_shop_records.weighted[o](seq, shop), single_machine_records.weighted[o](seq, single));
        }
        for (int o = 0; o < 2; ++o) {
            EXPECT_EQ(flow_shop_plain_nodd[o](seq, in.n, 1, in.rows.data()),
                      single_machine_plain_nodd[o](seq, in.n, in.pt[0].data()));
        }
        for (int o = 0; o < 7; ++o) {
            EXPECT_EQ(flow_shop_plain_dd[o](seq, in.n, 1, in.rows.data(), in.dd.data()),
                      single_machine_plain_dd[o](seq, in.n, in.pt[0].data(), in.dd.data()));
        }
    }
}

TEST(ObjectiveProperties, RecordsReleasedAtZeroAgreeWithThePlainFamily) {
    std::mt19937 rng(11);
    // Plain and record objectives in the same order: Cmax, SumCj, Emax, Lmax,
    // SumEj, SumLj, SumTj, SumUj, Tmax.
    const int record_index[9] = {0, 4, 1, 3, 5, 7, 8, 9, 10};
    for (int trial = 0; trial < 100; ++trial) {
        RandomInstance in(rng, 1 + trial % 10, 1 + trial % 5, false, false);
        const int* seq = in.seq.data();
        for (int o = 0; o < 9; ++o) {
            const long s1 = o < 2 ? single_machine_plain_nodd[o](seq, in.n, in.pt[0].data())
                                  : single_machine_plain_dd[o - 2](seq, in.n, in.pt[0].data(), in.dd.data());
            const long fm = o < 2 ? flow_shop_plain_nodd[o](seq, in.n, in.m, in.rows.data())
                                  : flow_shop_plain_dd[o - 2](seq, in.n, in.m, in.rows.data(), in.dd.data());
            EXPECT_EQ(s1, single_machine_records.integer[record_index[o]](seq, in.single())) << plain_names[o];
            EXPECT_EQ(fm, flow_shop_records.integer[record_index[o]](seq, in.flow_shop())) << plain_names[o];
        }
    }
}

}  // namespace

TEST(ObjectiveProperties, FlowShopBeyondTheCachesAgreesWithTheRecurrence) {
    // 300 × 900 times: enough for the construction to fetch jobs ahead.
    std::mt19937 rng(5);
    RandomInstance in(rng, 300, 900, true, false);
    std::vector<long> expected(in.n), machine_free(in.m, 0);
    long ready = std::numeric_limits<long>::min();  // machine 0, before any job
    long cmax = 0;
    std::vector<long> plain_free(in.m, 0);
    for (const int j : in.seq) {
        long end = std::max(ready, static_cast<long>(in.r[j]));
        long plain_end = plain_free[0];
        for (int i = 0; i < in.m; ++i) {
            if (i > 0) end = std::max(end, machine_free[i]);
            end += in.pt[i][j];
            machine_free[i] = end;
            if (i > 0) plain_end = std::max(plain_end, plain_free[i]);
            plain_end += in.pt[i][j];
            plain_free[i] = plain_end;
        }
        ready = machine_free[0];
        expected[j] = end;
        cmax = plain_end;
    }
    EXPECT_EQ(take(Fm_Prmu_Rj_Cj(in.seq.data(), in.flow_shop()), in.n), expected);
    EXPECT_EQ(Fm_Prmu_Cmax(in.seq.data(), in.n, in.m, in.rows.data()), cmax);
}
