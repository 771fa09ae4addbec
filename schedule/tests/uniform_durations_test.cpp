// Processing times on uniform machines are computed in integers; they must be
// exactly the library's lround of the double quotient, for every processing
// time and every speed of at least 1.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <vector>

#include "evaluation/parallel_machines_schedule.h"
#include "schedule/schedule.h"

namespace {

using namespace schedule;

long integer_duration(int p, int v) { return parallel_machines::UniformTimes{&p, &v}(0, 0); }
long rounded_double(int p, int v) { return schedule::lround(static_cast<double>(p) / static_cast<double>(v)); }

TEST(UniformDurations, SmallTimesAndSpeedsExhaustively) {
    for (int v = 1; v <= 200; ++v)
        for (int p = -3000; p <= 3000; ++p) ASSERT_EQ(integer_duration(p, v), rounded_double(p, v)) << p << " / " << v;
}

TEST(UniformDurations, WorkedRoundings) {
    EXPECT_EQ(integer_duration(3, 2), 2);
    EXPECT_EQ(integer_duration(5, 2), 3);
    EXPECT_EQ(integer_duration(7, 3), 2);
    EXPECT_EQ(integer_duration(1, 3), 0);
    EXPECT_EQ(integer_duration(-3, 2), -1);  // −1.5: halves go upwards
    EXPECT_EQ(integer_duration(-5, 3), -2);  // −1.67
    EXPECT_EQ(integer_duration(-4, 3), -1);  // −1.33
}

TEST(UniformDurations, ExtremeTimesAndSpeeds) {
    const std::vector<int> times = {INT_MIN, INT_MIN + 1, INT_MIN / 2, -(1 << 30) - 1, -1, 0, 1,
                                    (1 << 30) + 1, INT_MAX / 2, INT_MAX / 2 + 1, INT_MAX - 1, INT_MAX};
    std::vector<int> speeds = {INT_MAX, INT_MAX - 1, INT_MAX / 2, INT_MAX / 2 + 1, 1 << 30, (1 << 30) + 1,
                               (1 << 30) - 1, 3, 7, 65536, 65537, 1000003};
    for (int v = 1; v <= 1000; ++v) speeds.push_back(v);
    for (const int p : times)
        for (const int v : speeds) ASSERT_EQ(integer_duration(p, v), rounded_double(p, v)) << p << " / " << v;
    // Exact halves of large quotients.
    for (int v = 2; v <= 1 << 20; v *= 2)
        for (const int q : {-65536, -3, 0, 5, 65535}) {
            const long p = static_cast<long>(q) * v + v / 2;
            if (p < INT_MIN || p > INT_MAX) continue;
            ASSERT_EQ(integer_duration(static_cast<int>(p), v), rounded_double(static_cast<int>(p), v)) << p << " / " << v;
        }
}

TEST(UniformDurations, RandomTimesAndSpeedsOverTheWholeRange) {
    std::mt19937 rng(2024);
    std::uniform_int_distribution<int> any_time(INT_MIN, INT_MAX);
    std::uniform_int_distribution<int> any_speed(1, INT_MAX);
    std::uniform_int_distribution<int> bits(0, 30);
    for (int trial = 0; trial < 1000000; ++trial) {
        const int p = any_time(rng);
        // Speeds spread over every magnitude, not only the large ones.
        const int v = std::max(1, any_speed(rng) >> bits(rng));
        ASSERT_EQ(integer_duration(p, v), rounded_double(p, v)) << p << " / " << v;
    }
}

}  // namespace
