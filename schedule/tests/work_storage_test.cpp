// Work storage of the constructions: inside the object up to 4 KiB, so that
// evaluating a shop of up to 512 machines, or a job shop of up to 512 jobs,
// allocates nothing; on the heap beyond that, with the same use.
#include <gtest/gtest.h>

#include <cstdint>

#include "evaluation/construction.h"

namespace {

using schedule::WorkVector;

template <class T>
bool inside(const WorkVector<T>& object, const T* data) {
    const auto begin = reinterpret_cast<std::uintptr_t>(&object);
    const auto at = reinterpret_cast<std::uintptr_t>(data);
    return at >= begin && at < begin + sizeof object;
}

template <class T>
void fill_and_check(WorkVector<T>& work, int len) {
    for (int i = 0; i < len; ++i) work[i] = static_cast<T>(3 * i + 1);
    for (int i = 0; i < len; ++i) ASSERT_EQ(work[i], static_cast<T>(3 * i + 1));
}

TEST(WorkStorage, UpTo4KiBInsideTheObject) {
    WorkVector<long> longs(512);
    EXPECT_TRUE(inside(longs, longs.data()));
    fill_and_check(longs, 512);
    WorkVector<int> ints(1024);
    EXPECT_TRUE(inside(ints, ints.data()));
    fill_and_check(ints, 1024);
    WorkVector<long> none(0);
    EXPECT_TRUE(inside(none, none.data()));
}

TEST(WorkStorage, BeyondOnTheHeap) {
    WorkVector<long> longs(513);
    EXPECT_FALSE(inside(longs, longs.data()));
    fill_and_check(longs, 513);
    WorkVector<int> ints(100000);
    EXPECT_FALSE(inside(ints, ints.data()));
    fill_and_check(ints, 100000);
}

}  // namespace
