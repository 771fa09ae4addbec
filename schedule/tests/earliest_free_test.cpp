// The earliest-free rule has two constructions, a scan of the machines and a
// tournament over their free times, chosen by the number of machines. Both
// must give the same schedule, job by job: the same machine, start and
// completion, on instances where ties between machines are the rule (all
// machines free at 0 at the start, processing times from a handful of values,
// zeros and negative times included).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "evaluation/parallel_machines_schedule.h"
#include "schedule/schedule.h"

namespace {

using namespace schedule;
using namespace schedule::parallel_machines;

struct Placement {
    int job, machine;
    long start, completion;
    bool operator==(const Placement&) const = default;
};

template <Search search, class Duration, class Releases>
std::vector<Placement> placements(const std::vector<int>& seq, int machines, const Duration& duration,
                                  Releases releases) {
    std::vector<Placement> out;
    build<Dispatch::earliest_free, search>(seq.data(), static_cast<int>(seq.size()), machines, duration, releases,
                                           [&](int job, int machine, long start, long completion) {
                                               out.push_back({job, machine, start, completion});
                                           });
    return out;
}

template <class Duration, class Releases>
void expect_same_schedule(const std::vector<int>& seq, int machines, const Duration& duration, Releases releases) {
    const auto scan = placements<Search::scan>(seq, machines, duration, releases);
    const auto tournament = placements<Search::tournament>(seq, machines, duration, releases);
    const auto chosen = placements<Search::by_machines>(seq, machines, duration, releases);
    ASSERT_EQ(scan.size(), seq.size());
    for (std::size_t k = 0; k < seq.size(); ++k) {
        ASSERT_EQ(scan[k], tournament[k]) << "position " << k << " of " << seq.size() << ", " << machines
                                          << " machines";
    }
    ASSERT_EQ(scan, chosen);
}

std::vector<int> shuffled(std::mt19937& random, int jobs) {
    std::vector<int> seq(jobs);
    for (int j = 0; j < jobs; ++j) seq[j] = j;
    std::shuffle(seq.begin(), seq.end(), random);
    return seq;
}

TEST(EarliestFree, TournamentAndScanBuildTheSameScheduleWithManyTies) {
    std::mt19937 random(2201);
    for (const int machines : {1, 2, 3, 5, 7, 8, 15, 16, 17, 31, 64, 100, 257}) {
        for (const int spread : {1, 3, 10}) {  // times from so few values that ties abound
            const int jobs = 3 * machines + 40;
            std::uniform_int_distribution<int> time(spread == 10 ? -2 : 0, spread);
            std::uniform_int_distribution<int> release(-5, 20);
            std::uniform_int_distribution<int> speed(1, 3);
            std::vector<int> pt(jobs), r(jobs), v(machines);
            for (int& p : pt) p = time(random);
            for (int& x : r) x = release(random);
            for (int& s : v) s = speed(random);
            const std::vector<int> seq = shuffled(random, jobs);
            expect_same_schedule(seq, machines, IdenticalTimes{pt.data()}, FromTimeZero{});
            expect_same_schedule(seq, machines, IdenticalTimes{pt.data()}, Released{r.data()});
            expect_same_schedule(seq, machines, UniformTimes{pt.data(), v.data()}, Released{r.data()});
        }
    }
}

TEST(EarliestFree, TournamentKeepsTheLowestMachineAmongEqualFreeTimes) {
    // Every job takes the same time: machines are used round-robin, 0 first.
    const int machines = 37;
    std::vector<int> pt(machines * 4, 5);
    std::vector<int> seq(pt.size());
    for (std::size_t k = 0; k < seq.size(); ++k) seq[k] = static_cast<int>(k);
    const auto tournament = placements<Search::tournament>(seq, machines, IdenticalTimes{pt.data()}, FromTimeZero{});
    for (std::size_t k = 0; k < seq.size(); ++k) {
        EXPECT_EQ(tournament[k].machine, static_cast<int>(k) % machines);
        EXPECT_EQ(tournament[k].start, 5 * (static_cast<long>(k) / machines));
    }
}

TEST(EarliestFree, PublicEvaluatorsAgreeWithTheScanOnManyMachines) {
    std::mt19937 random(2202);
    const int machines = 200, jobs = 2000;
    std::uniform_int_distribution<int> time(1, 4);
    std::vector<int> pt(jobs);
    for (int& p : pt) p = time(random);
    const std::vector<int> seq = shuffled(random, jobs);
    std::vector<long> by_scan(jobs);
    build<Dispatch::earliest_free, Search::scan>(seq.data(), jobs, machines, IdenticalTimes{pt.data()},
                                                 FromTimeZero{},
                                                 [&](int job, int, long, long end) { by_scan[job] = end; });
    long sum = 0, largest = 0;
    for (int k = 0; k < jobs; ++k) {
        sum += by_scan[seq[k]];
        largest = std::max(largest, by_scan[seq[k]]);
    }
    EXPECT_EQ(Pm_SumCj(seq.data(), jobs, machines, pt.data()), sum);
    EXPECT_EQ(Pm_Cmax(seq.data(), jobs, machines, pt.data()), largest);
}

}  // namespace
