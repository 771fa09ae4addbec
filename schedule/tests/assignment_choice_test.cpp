// The assignment rule hands back, with the machine it chose, what the key
// computed for that machine (the job's duration there), so that nothing is
// computed twice.
#include <gtest/gtest.h>

#include <vector>

#include "evaluation/parallel_machines_schedule.h"

namespace {

using namespace schedule;

TEST(AssignmentRule, ChoiceCarriesWhatTheKeyComputedForTheChosenMachine) {
    const std::vector<long> free = {7, 4, 6, 4};
    const std::vector<long> time = {1, 5, 3, 5};  // completions 8, 9, 9, 9
    const auto by_completion = parallel_machines::choose(4, [&](int i) {
        return parallel_machines::Candidate{free[i] + time[i], time[i]};
    });
    EXPECT_EQ(by_completion.machine, 0);
    EXPECT_EQ(by_completion.value.key, 8);
    EXPECT_EQ(by_completion.value.duration, 1);

    const std::vector<long> tied = {9, 9, 9};  // every completion the same: machine 0, its own duration
    const auto first = parallel_machines::choose(3, [&](int i) {
        return parallel_machines::Candidate{tied[i], static_cast<long>(i) + 10};
    });
    EXPECT_EQ(first.machine, 0);
    EXPECT_EQ(first.value.duration, 10);

    const auto by_free = parallel_machines::choose(4, [&](int i) { return free[i]; });
    EXPECT_EQ(by_free.machine, 1);  // the lower of the two machines free at 4
    EXPECT_EQ(by_free.value, 4);
}

}  // namespace
