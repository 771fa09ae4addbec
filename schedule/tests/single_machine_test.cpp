// Completion times of a single-machine sequence with release dates.
#include <cstdlib>
#include <vector>

#include "schedule/schedule.h"
#include "test_support.h"

using namespace schedule;

namespace {

std::vector<long> completion_times(std::vector<int> seq, std::vector<int> pt, std::vector<int> r) {
    const SINGLE_MACHINE instance{static_cast<int>(pt.size()), 1, pt.data(), nullptr, nullptr, r.data()};
    long* ct = S1_Rj_Cj(seq.data(), instance);
    std::vector<long> out(ct, ct + pt.size());
    std::free(ct);
    return out;
}

TEST(SingleMachineCompletion, ResultIsIndexedByJobAndWaitsForReleaseDates) {
    const std::vector<int> pt{3, 2, 4}, r{0, 5, 1};
    EXPECT_EQ(completion_times({0, 1, 2}, pt, r), (std::vector<long>{3, 7, 11}));
    EXPECT_EQ(completion_times({0, 2, 1}, pt, r), (std::vector<long>{3, 9, 7}));
    EXPECT_EQ(completion_times({1, 0, 2}, pt, r), (std::vector<long>{10, 7, 14}));
    EXPECT_EQ(completion_times({2, 0, 1}, pt, r), (std::vector<long>{8, 10, 5}));
}

TEST(SingleMachineCompletion, FirstJobStartsAtItsOwnReleaseDate) {
    EXPECT_EQ(completion_times({0}, {4}, {6}), (std::vector<long>{10}));
    // No comparison with time 0: a negative release date starts the schedule early.
    EXPECT_EQ(completion_times({0, 1}, {4, 1}, {-3, -10}), (std::vector<long>{1, 2}));
    // A release date equal to the previous completion causes no idle time.
    EXPECT_EQ(completion_times({0, 1}, {4, 1}, {0, 4}), (std::vector<long>{4, 5}));
}

TEST(SingleMachineCompletion, ZeroReleaseDatesGivePrefixSums) {
    EXPECT_EQ(completion_times({3, 1, 0, 2}, {1, 2, 3, 4}, {0, 0, 0, 0}), (std::vector<long>{7, 6, 10, 4}));
}

TEST(SingleMachineCompletion, NoJobsGiveAnEmptyResultAndReadNothing) {
    const SINGLE_MACHINE empty{0, 1, nullptr, nullptr, nullptr, nullptr};
    long* ct = S1_Rj_Cj(nullptr, empty);
    std::free(ct);
}

TEST(SingleMachineCompletion, RepeatedJobTakesMachineTimeTwiceAndKeepsItsLaterCompletion) {
    std::vector<int> pt{2, 3}, r{0, 0}, seq{0, 0};
    const SINGLE_MACHINE instance{2, 1, pt.data(), nullptr, nullptr, r.data()};
    long* ct = S1_Rj_Cj(seq.data(), instance);
    EXPECT_EQ(ct[0], 4);
    std::free(ct);
}

}  // namespace
