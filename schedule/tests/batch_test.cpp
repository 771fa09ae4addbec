// The batch entry points (`_many`) against the one-at-a-time evaluators,
// bit for bit, on every path the processor offers (scalar, AVX2, AVX-512,
// forced in turn): random instances with release dates below zero, counts
// that leave lanes empty, one job, one machine, and times too large for the
// 32-bit kernels, which must fall back to the ordinary construction.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "evaluation/batch.h"
#include "schedule/schedule.h"

namespace {

using namespace schedule;

template <class T>
struct Pair {
    const char* name;
    void (*many)(const int*, int, FLOWSHOP, T*);
    T (*one)(const int*, FLOWSHOP);
};

template <class T>
struct SinglePair {
    const char* name;
    void (*many)(const int*, int, SINGLE_MACHINE, T*);
    T (*one)(const int*, SINGLE_MACHINE);
};

const std::vector<Pair<long>> flow_shop_long = {
        {"Fm_Prmu_Rj_Cmax", Fm_Prmu_Rj_Cmax_many, Fm_Prmu_Rj_Cmax},
        {"Fm_Prmu_Rj_Emax", Fm_Prmu_Rj_Emax_many, Fm_Prmu_Rj_Emax},
        {"Fm_Prmu_Rj_Fmax", Fm_Prmu_Rj_Fmax_many, Fm_Prmu_Rj_Fmax},
        {"Fm_Prmu_Rj_Lmax", Fm_Prmu_Rj_Lmax_many, Fm_Prmu_Rj_Lmax},
        {"Fm_Prmu_Rj_SumCj", Fm_Prmu_Rj_SumCj_many, Fm_Prmu_Rj_SumCj},
        {"Fm_Prmu_Rj_SumEj", Fm_Prmu_Rj_SumEj_many, Fm_Prmu_Rj_SumEj},
        {"Fm_Prmu_Rj_SumFj", Fm_Prmu_Rj_SumFj_many, Fm_Prmu_Rj_SumFj},
        {"Fm_Prmu_Rj_SumLj", Fm_Prmu_Rj_SumLj_many, Fm_Prmu_Rj_SumLj},
        {"Fm_Prmu_Rj_SumTj", Fm_Prmu_Rj_SumTj_many, Fm_Prmu_Rj_SumTj},
        {"Fm_Prmu_Rj_SumUj", Fm_Prmu_Rj_SumUj_many, Fm_Prmu_Rj_SumUj},
        {"Fm_Prmu_Rj_Tmax", Fm_Prmu_Rj_Tmax_many, Fm_Prmu_Rj_Tmax}};
const std::vector<Pair<double>> flow_shop_weighted = {
        {"Fm_Prmu_Rj_Wj_Cmax", Fm_Prmu_Rj_Wj_Cmax_many, Fm_Prmu_Rj_Wj_Cmax},
        {"Fm_Prmu_Rj_Wj_Emax", Fm_Prmu_Rj_Wj_Emax_many, Fm_Prmu_Rj_Wj_Emax},
        {"Fm_Prmu_Rj_Wj_Fmax", Fm_Prmu_Rj_Wj_Fmax_many, Fm_Prmu_Rj_Wj_Fmax},
        {"Fm_Prmu_Rj_Wj_Lmax", Fm_Prmu_Rj_Wj_Lmax_many, Fm_Prmu_Rj_Wj_Lmax},
        {"Fm_Prmu_Rj_Wj_SumCj", Fm_Prmu_Rj_Wj_SumCj_many, Fm_Prmu_Rj_Wj_SumCj},
        {"Fm_Prmu_Rj_Wj_SumEj", Fm_Prmu_Rj_Wj_SumEj_many, Fm_Prmu_Rj_Wj_SumEj},
        {"Fm_Prmu_Rj_Wj_SumFj", Fm_Prmu_Rj_Wj_SumFj_many, Fm_Prmu_Rj_Wj_SumFj},
        {"Fm_Prmu_Rj_Wj_SumLj", Fm_Prmu_Rj_Wj_SumLj_many, Fm_Prmu_Rj_Wj_SumLj},
        {"Fm_Prmu_Rj_Wj_SumTj", Fm_Prmu_Rj_Wj_SumTj_many, Fm_Prmu_Rj_Wj_SumTj},
        {"Fm_Prmu_Rj_Wj_SumUj", Fm_Prmu_Rj_Wj_SumUj_many, Fm_Prmu_Rj_Wj_SumUj},
        {"Fm_Prmu_Rj_Wj_Tmax", Fm_Prmu_Rj_Wj_Tmax_many, Fm_Prmu_Rj_Wj_Tmax}};
const std::vector<SinglePair<long>> single_long = {
        {"S1_Rj_Cmax", S1_Rj_Cmax_many, S1_Rj_Cmax},
        {"S1_Rj_Emax", S1_Rj_Emax_many, S1_Rj_Emax},
        {"S1_Rj_Fmax", S1_Rj_Fmax_many, S1_Rj_Fmax},
        {"S1_Rj_Lmax", S1_Rj_Lmax_many, S1_Rj_Lmax},
        {"S1_Rj_SumCj", S1_Rj_SumCj_many, S1_Rj_SumCj},
        {"S1_Rj_SumEj", S1_Rj_SumEj_many, S1_Rj_SumEj},
        {"S1_Rj_SumFj", S1_Rj_SumFj_many, S1_Rj_SumFj},
        {"S1_Rj_SumLj", S1_Rj_SumLj_many, S1_Rj_SumLj},
        {"S1_Rj_SumTj", S1_Rj_SumTj_many, S1_Rj_SumTj},
        {"S1_Rj_SumUj", S1_Rj_SumUj_many, S1_Rj_SumUj},
        {"S1_Rj_Tmax", S1_Rj_Tmax_many, S1_Rj_Tmax}};
const std::vector<SinglePair<double>> single_weighted = {
        {"S1_Rj_Wj_Cmax", S1_Rj_Wj_Cmax_many, S1_Rj_Wj_Cmax},
        {"S1_Rj_Wj_Emax", S1_Rj_Wj_Emax_many, S1_Rj_Wj_Emax},
        {"S1_Rj_Wj_Fmax", S1_Rj_Wj_Fmax_many, S1_Rj_Wj_Fmax},
        {"S1_Rj_Wj_Lmax", S1_Rj_Wj_Lmax_many, S1_Rj_Wj_Lmax},
        {"S1_Rj_Wj_SumCj", S1_Rj_Wj_SumCj_many, S1_Rj_Wj_SumCj},
        {"S1_Rj_Wj_SumEj", S1_Rj_Wj_SumEj_many, S1_Rj_Wj_SumEj},
        {"S1_Rj_Wj_SumFj", S1_Rj_Wj_SumFj_many, S1_Rj_Wj_SumFj},
        {"S1_Rj_Wj_SumLj", S1_Rj_Wj_SumLj_many, S1_Rj_Wj_SumLj},
        {"S1_Rj_Wj_SumTj", S1_Rj_Wj_SumTj_many, S1_Rj_Wj_SumTj},
        {"S1_Rj_Wj_SumUj", S1_Rj_Wj_SumUj_many, S1_Rj_Wj_SumUj},
        {"S1_Rj_Wj_Tmax", S1_Rj_Wj_Tmax_many, S1_Rj_Wj_Tmax}};

template <class T>
bool same_bits(T a, T b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// Every path this processor has, widest last.
std::vector<batch::Isa> paths() {
    std::vector<batch::Isa> out = {batch::Isa::scalar};
    batch::restrict_to(batch::Isa::avx512);
    if (batch::isa() != batch::Isa::scalar) out.push_back(batch::Isa::avx2);
    if (batch::isa() == batch::Isa::avx512) out.push_back(batch::Isa::avx512);
    return out;
}

struct RestoreIsa {
    ~RestoreIsa() { batch::restrict_to(batch::Isa::avx512); }
};

std::vector<int> sequences(std::mt19937& random, int count, int jobs) {
    std::vector<int> seqs;
    std::vector<int> seq(jobs);
    for (int s = 0; s < count; ++s) {
        for (int j = 0; j < jobs; ++j) seq[j] = j;
        std::shuffle(seq.begin(), seq.end(), random);
        seqs.insert(seqs.end(), seq.begin(), seq.end());
    }
    return seqs;
}

struct Shop {
    std::vector<std::vector<int>> rows;
    std::vector<const int*> pt;
    std::vector<long> dd;
    std::vector<double> w;
    std::vector<int> r;
};

Shop random_shop(std::mt19937& random, int jobs, int machines, int longest, int shortest = 0) {
    Shop shop;
    std::uniform_int_distribution<int> time(shortest, longest), release(-50, 300), weight(1, 20);
    shop.rows.assign(machines, std::vector<int>(jobs));
    for (auto& row : shop.rows)
        for (int& p : row) p = time(random);
    for (auto& row : shop.rows) shop.pt.push_back(row.data());
    for (int j = 0; j < jobs; ++j) {
        shop.r.push_back(release(random));
        shop.dd.push_back(shop.r.back() + release(random) * 3);
        shop.w.push_back(weight(random) / 3.0);  // thirds: sums that round
    }
    return shop;
}

template <class T, class Pairs, class Instance>
void expect_same(const Pairs& pairs, const std::vector<int>& seqs, int count, int jobs, const Instance& in,
                 const std::string& where) {
    for (const auto& pair : pairs) {
        std::vector<T> out(count > 0 ? count : 1);
        pair.many(seqs.data(), count, in, out.data());
        for (int s = 0; s < count; ++s) {
            const T expected = pair.one(seqs.data() + static_cast<std::size_t>(s) * jobs, in);
            ASSERT_TRUE(same_bits(out[s], expected))
                << pair.name << "_many, sequence " << s << " of " << count << ", " << where << ": " << out[s]
                << " instead of " << expected;
        }
    }
}

TEST(Batch, FlowShopBatchesGiveTheOneAtATimeValuesOnEveryPath) {
    RestoreIsa restore;
    for (const batch::Isa path : paths()) {
        batch::restrict_to(path);
        std::mt19937 random(2203);
        for (const auto& [jobs, machines, count] : std::vector<std::tuple<int, int, int>>{
                 {1, 1, 5}, {1, 4, 17}, {7, 1, 3}, {20, 5, 16}, {50, 20, 37}, {13, 3, 1}, {30, 7, 0}, {9, 2, 33},
                 {11, 8, 19}, {6, 9, 40}, {25, 16, 32}, {12, 6, 7}, {10, 11, 12}}) {
            // Times all 0, small (many ties), spread, and some below zero.
            for (const auto& [shortest, longest] :
                 std::vector<std::pair<int, int>>{{0, 0}, {0, 3}, {0, 99}, {-40, 60}}) {
                Shop shop = random_shop(random, jobs, machines, longest, shortest);
                const FLOWSHOP in{jobs, machines, const_cast<int**>(shop.pt.data()), shop.dd.data(), shop.w.data(),
                                  shop.r.data()};
                const std::vector<int> seqs = sequences(random, count, jobs);
                const std::string where = std::to_string(jobs) + "x" + std::to_string(machines) + ", path " +
                                          std::to_string(static_cast<int>(path));
                expect_same<long>(flow_shop_long, seqs, count, jobs, in, where);
                expect_same<double>(flow_shop_weighted, seqs, count, jobs, in, where);
                std::vector<long> out(count > 0 ? count : 1);
                Fm_Prmu_Cmax_many(seqs.data(), count, jobs, machines, in.pt, out.data());
                for (int s = 0; s < count; ++s)
                    ASSERT_EQ(out[s], Fm_Prmu_Cmax(seqs.data() + s * jobs, jobs, machines, in.pt)) << where;
            }
        }
    }
}

TEST(Batch, SingleMachineBatchesGiveTheOneAtATimeValuesOnEveryPath) {
    RestoreIsa restore;
    for (const batch::Isa path : paths()) {
        batch::restrict_to(path);
        std::mt19937 random(2204);
        for (const auto& [jobs, count] :
             std::vector<std::pair<int, int>>{{1, 3}, {2, 16}, {40, 35}, {200, 9}, {5, 0}, {17, 1}}) {
            Shop shop = random_shop(random, jobs, 1, 99);
            const SINGLE_MACHINE in{jobs, 1, shop.rows[0].data(), shop.dd.data(), shop.w.data(), shop.r.data()};
            const std::vector<int> seqs = sequences(random, count, jobs);
            const std::string where = std::to_string(jobs) + " jobs, path " + std::to_string(static_cast<int>(path));
            expect_same<long>(single_long, seqs, count, jobs, in, where);
            expect_same<double>(single_weighted, seqs, count, jobs, in, where);
            std::vector<long> out(count > 0 ? count : 1);
            S1_Cmax_many(seqs.data(), count, jobs, in.pt, out.data());
            for (int s = 0; s < count; ++s) ASSERT_EQ(out[s], S1_Cmax(seqs.data() + s * jobs, jobs, in.pt)) << where;
        }
    }
}

TEST(Batch, TimesBeyond32BitsFallBackToTheOrdinaryConstruction) {
    RestoreIsa restore;
    std::mt19937 random(2205);
    const int jobs = 12, machines = 3, count = 20;
    Shop shop = random_shop(random, jobs, machines, 99);
    shop.rows[1][4] = 2000000000;  // the makespan passes INT_MAX
    shop.rows[2][7] = 1500000000;
    shop.r[3] = -2000000000;
    const FLOWSHOP in{jobs, machines, const_cast<int**>(shop.pt.data()), shop.dd.data(), shop.w.data(), shop.r.data()};
    EXPECT_FALSE(batch::fits_in_32_bits(jobs, machines, in.pt, in.r));
    const std::vector<int> seqs = sequences(random, count, jobs);
    for (const batch::Isa path : paths()) {
        batch::restrict_to(path);
        expect_same<long>(flow_shop_long, seqs, count, jobs, in, "large times");
        expect_same<double>(flow_shop_weighted, seqs, count, jobs, in, "large times");
    }
}

TEST(Batch, RangeCheckIsExactAtTheLimit) {
    std::vector<int> row = {INT_MAX / 2, INT_MAX / 2};  // sums to INT_MAX − 1
    const int* pt[] = {row.data()};
    EXPECT_TRUE(batch::fits_in_32_bits(2, 1, pt, nullptr));
    std::vector<int> r = {0, 1};
    EXPECT_FALSE(batch::fits_in_32_bits(2, 1, pt, r.data()));
}

TEST(BatchDeathTest, MissingDueDatesEndTheProcessNamingTheBatchForm) {
    std::vector<int> row = {3, 4};
    std::vector<double> w = {1, 1};
    std::vector<int> r = {0, 0};
    const SINGLE_MACHINE in{2, 1, row.data(), nullptr, w.data(), r.data()};
    const std::vector<int> seqs = {0, 1, 1, 0};
    long out[2];
    EXPECT_EXIT(S1_Rj_SumTj_many(seqs.data(), 2, in, out), testing::ExitedWithCode(1), "");
}

}  // namespace
