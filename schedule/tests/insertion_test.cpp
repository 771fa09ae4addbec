// Best insertion on the permutation flow shop: every makespan the insertion
// routines give must be the one the evaluators give the whole sequence.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "schedule/schedule.h"
#include "test_support.h"

namespace {

using namespace schedule;
using testing_support::stdout_to_stderr;

// A flow shop held in vectors, with a FLOWSHOP record pointing into them.
struct Shop {
    int jobs, machines;
    std::vector<std::vector<int>> times;  // machine rows
    std::vector<int*> rows;
    std::vector<int> release;

    Shop(int n, int m) : jobs(n), machines(m), times(m, std::vector<int>(n)), release(n) {
        for (auto& row : times) rows.push_back(row.data());
    }
    const int* const* pt() const { return rows.data(); }
    FLOWSHOP record() {
        FLOWSHOP r{};
        r.jobs = jobs;
        r.machines = machines;
        r.pt = rows.data();
        r.r = release.data();
        return r;
    }
};

// seq with `job` inserted before position l.
std::vector<int> inserted(const std::vector<int>& seq, int job, int l) {
    std::vector<int> whole(seq);
    whole.insert(whole.begin() + l, job);
    return whole;
}

// Checks both routines on every position of `job` in `seq` against the
// evaluators on the whole sequence.
void check_insertion(Shop& shop, const std::vector<int>& seq, int job, const std::string& what) {
    const int len = static_cast<int>(seq.size());
    std::vector<long> plain(len + 1), record(len + 1);
    Fm_Prmu_Insert_Cmax(seq.data(), len, job, shop.machines, shop.pt(), plain.data());
    Fm_Prmu_Rj_Insert_Cmax(seq.data(), len, job, shop.record(), record.data());
    for (int l = 0; l <= len; ++l) {
        const std::vector<int> whole = inserted(seq, job, l);
        ASSERT_EQ(plain[l], Fm_Prmu_Cmax(whole.data(), len + 1, shop.machines, shop.pt()))
            << what << ": job " << job << " at " << l;
        ASSERT_EQ(record[l], Fm_Prmu_Rj_Cmax(whole.data(), shop.record())) << what << ": job " << job << " at " << l;
    }
}

// The same for every job of a random order of `shop`, taken out and put back.
void check_every_position(Shop& shop, std::mt19937& rng, const std::string& what) {
    std::vector<int> order(shop.jobs);
    for (int j = 0; j < shop.jobs; ++j) order[j] = j;
    std::shuffle(order.begin(), order.end(), rng);
    for (int out = 0; out < shop.jobs; ++out) {
        std::vector<int> seq(order);
        seq.erase(seq.begin() + out);
        check_insertion(shop, seq, order[out], what);
    }
}

TEST(InsertionMakespans, EqualTheEvaluatorsOnEveryPositionOfRandomShops) {
    std::mt19937 rng(20261207);
    for (int round = 0; round < 60; ++round) {
        const int n = 1 + static_cast<int>(rng() % 12);
        const int m = 1 + static_cast<int>(rng() % 7);
        Shop shop(n, m);
        // Short and long times, zeros, and release dates from none to late.
        const int longest = round % 3 == 0 ? 3 : 99;
        for (auto& row : shop.times)
            for (int& t : row) t = static_cast<int>(rng() % (longest + 1));
        const int latest = round % 4 == 0 ? 0 : 40 * (round % 5);
        for (int& r : shop.release) r = latest == 0 ? 0 : static_cast<int>(rng() % latest);
        check_every_position(shop, rng, "round " + std::to_string(round));
    }
}

// The makespan is a longest path whatever the signs of its pieces: negative
// times and release dates (the record family lets a job start at a negative
// release date) are met exactly as the evaluators meet them.
TEST(InsertionMakespans, HoldWithNegativeTimesAndReleaseDates) {
    std::mt19937 rng(7);
    for (int round = 0; round < 30; ++round) {
        Shop shop(2 + round % 8, 1 + round % 5);
        for (auto& row : shop.times)
            for (int& t : row) t = static_cast<int>(rng() % 41) - 20;
        for (int& r : shop.release) r = static_cast<int>(rng() % 61) - 30;
        check_every_position(shop, rng, "round " + std::to_string(round));
    }
}

TEST(InsertionMakespans, LargeShopAgainstTheEvaluators) {
    // Work storage beyond the inline block of the evaluators.
    std::mt19937 rng(3);
    Shop shop(120, 20);
    for (auto& row : shop.times)
        for (int& t : row) t = 1 + static_cast<int>(rng() % 99);
    for (int& r : shop.release) r = static_cast<int>(rng() % 2000);
    std::vector<int> seq(shop.jobs - 1);
    for (int k = 0; k < shop.jobs - 1; ++k) seq[k] = shop.jobs - 2 - k;
    check_insertion(shop, seq, shop.jobs - 1, "120 x 20");
}

TEST(InsertionMakespans, WorkedExample) {
    // Machine rows (3, 2, 4) and (2, 5, 1), release dates (0, 5, 1): job 2
    // into (0, 1). Without release dates the sequences (2,0,1), (0,2,1),
    // (0,1,2) end at 14, 14, 11; with them at 15, 14, 13.
    Shop shop(3, 2);
    shop.times = {{3, 2, 4}, {2, 5, 1}};
    shop.rows = {shop.times[0].data(), shop.times[1].data()};
    shop.release = {0, 5, 1};
    const int seq[] = {0, 1};
    long plain[3], record[3];
    Fm_Prmu_Insert_Cmax(seq, 2, 2, 2, shop.pt(), plain);
    Fm_Prmu_Rj_Insert_Cmax(seq, 2, 2, shop.record(), record);
    EXPECT_EQ(std::vector<long>(plain, plain + 3), (std::vector<long>{14, 14, 11}));
    EXPECT_EQ(std::vector<long>(record, record + 3), (std::vector<long>{15, 14, 13}));
}

TEST(InsertionMakespans, EmptyPartialSequenceAndShopsWithoutMachines) {
    Shop shop(3, 2);
    shop.times = {{3, 2, 4}, {2, 5, 1}};
    shop.rows = {shop.times[0].data(), shop.times[1].data()};
    shop.release = {0, 5, -4};
    long one[1];
    Fm_Prmu_Insert_Cmax(nullptr, 0, 1, 2, shop.pt(), one);
    EXPECT_EQ(one[0], 7);
    Fm_Prmu_Rj_Insert_Cmax(nullptr, 0, 2, shop.record(), one);
    EXPECT_EQ(one[0], 1);  // released at −4, then 4 and 1

    // Without machines a job completes when it is ready, and the makespan is
    // the completion of the last job of the sequence, as the evaluators have it.
    const int seq[] = {1, 0};
    long plain[3], record[3];
    Fm_Prmu_Insert_Cmax(seq, 2, 2, 0, shop.pt(), plain);
    FLOWSHOP none = shop.record();
    none.machines = 0;
    Fm_Prmu_Rj_Insert_Cmax(seq, 2, 2, none, record);
    for (int l = 0; l <= 2; ++l) {
        const std::vector<int> whole = inserted({1, 0}, 2, l);
        EXPECT_EQ(plain[l], Fm_Prmu_Cmax(whole.data(), 3, 0, shop.pt())) << l;
        EXPECT_EQ(record[l], Fm_Prmu_Rj_Cmax(whole.data(), none)) << l;
    }
    EXPECT_EQ(std::vector<long>(record, record + 3), (std::vector<long>{0, 0, -4}));
}

TEST(InsertionMakespansDeathTest, NegativeLengthEndsTheProcessNamingTheRoutine) {
    Shop shop(2, 2);
    long out[1];
    EXPECT_EXIT((stdout_to_stderr(), Fm_Prmu_Insert_Cmax(nullptr, -1, 0, 2, shop.pt(), out)),
                testing::ExitedWithCode(1), "Fm_Prmu_Insert_Cmax: the number of jobs must be at least 0");
    EXPECT_EXIT((stdout_to_stderr(), Fm_Prmu_Rj_Insert_Cmax(nullptr, -3, 0, shop.record(), out)),
                testing::ExitedWithCode(1), "Fm_Prmu_Rj_Insert_Cmax: the number of jobs must be at least 0");
    // Tails for more operations than one vector can index: refused before
    // anything is read or allocated.
    EXPECT_EXIT((stdout_to_stderr(), Fm_Prmu_Insert_Cmax(nullptr, 1 << 30, 0, 2, shop.pt(), out)),
                testing::ExitedWithCode(1),
                "Fm_Prmu_Insert_Cmax: 1073741824 jobs on 2 machines need more work storage than one vector holds");
}

}  // namespace
