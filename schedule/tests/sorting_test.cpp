// Sorting with an index vector: the order in which equal keys leave the sort,
// the dispatchers and orderings built on it.
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "schedule/schedule.h"
#include "test_support.h"

using namespace schedule;
using testing_support::stdout_to_stderr;

namespace {

// Sorts `keys` with the dispatcher of their type; returns the index vector.
std::vector<int> sorted_index(std::vector<int>& keys, char c) {
    std::vector<int> index(keys.size());
    sortIVector(keys.data(), index.data(), static_cast<int>(keys.size()), c);
    return index;
}
std::vector<int> sorted_index(std::vector<long>& keys, char c) {
    std::vector<int> index(keys.size());
    sortLVector(keys.data(), index.data(), static_cast<int>(keys.size()), c);
    return index;
}
std::vector<int> sorted_index(std::vector<float>& keys, char c) {
    std::vector<int> index(keys.size());
    sortFVector(keys.data(), index.data(), static_cast<int>(keys.size()), c);
    return index;
}
std::vector<int> sorted_index(std::vector<double>& keys, char c) {
    std::vector<int> index(keys.size());
    sortDVector(keys.data(), index.data(), static_cast<int>(keys.size()), c);
    return index;
}

using Index = std::vector<int>;

// The partition, written the plain recursive way: left part first, then the
// right part, both by recursion.
template <class T, bool Ascending>
void reference_quicksort(T* v, int* index, int left, int right) {
    auto before = [](T a, T b) { return Ascending ? a < b : a > b; };
    int i = left;
    int j = right;
    const T x = v[(left + right) / 2];
    do {
        while (before(v[i], x) && i < right) ++i;
        while (before(x, v[j]) && j > left) --j;
        if (i <= j) {
            std::swap(v[i], v[j]);
            std::swap(index[i], index[j]);
            ++i;
            --j;
        }
    } while (i <= j);
    if (left < j) reference_quicksort<T, Ascending>(v, index, left, j);
    if (i < right) reference_quicksort<T, Ascending>(v, index, i, right);
}

template <class T>
void check_types_agree_on(const std::vector<int>& values, char c, const Index& expected_index) {
    std::vector<T> keys(values.begin(), values.end());
    EXPECT_EQ(sorted_index(keys, c), expected_index) << "criterion " << c;
}

// The same keys leave the sort in the same order whatever their type.
void check_every_type(const std::vector<int>& values, char c, const Index& expected_index) {
    check_types_agree_on<int>(values, c, expected_index);
    check_types_agree_on<long>(values, c, expected_index);
    check_types_agree_on<float>(values, c, expected_index);
    check_types_agree_on<double>(values, c, expected_index);
}

}  // namespace

TEST(Sorting, EqualKeysLeaveInTheOrderThePartitionGives) {
    for (char c : {'A', 'D'}) {
        check_every_type({5, 5}, c, {1, 0});
        check_every_type({7, 7, 7}, c, {2, 1, 0});
        check_every_type({7, 7, 7, 7}, c, {2, 3, 0, 1});
        check_every_type({7, 7, 7, 7, 7}, c, {3, 4, 2, 0, 1});
        check_every_type({9}, c, {0});
    }
    check_every_type({4, 4, 1}, 'A', {2, 1, 0});
    check_every_type({3, 3, 3, 1}, 'A', {3, 2, 0, 1});
}

TEST(Sorting, KeysAndIndexMoveTogetherInBothDirections) {
    std::vector<int> keys{3, 1, 2};
    EXPECT_EQ(sorted_index(keys, 'A'), (Index{1, 2, 0}));
    EXPECT_EQ(keys, (std::vector<int>{1, 2, 3}));
    keys = {3, 1, 2};
    EXPECT_EQ(sorted_index(keys, 'D'), (Index{0, 2, 1}));
    EXPECT_EQ(keys, (std::vector<int>{3, 2, 1}));

    std::vector<long> pairs{2, 1, 2, 1};
    EXPECT_EQ(sorted_index(pairs, 'A'), (Index{3, 1, 0, 2}));
    EXPECT_EQ(pairs, (std::vector<long>{1, 1, 2, 2}));
    pairs = {2, 1, 2, 1};
    EXPECT_EQ(sorted_index(pairs, 'D'), (Index{2, 0, 3, 1}));
    EXPECT_EQ(pairs, (std::vector<long>{2, 2, 1, 1}));
}

TEST(Sorting, StretchSortLeavesTheRestAlone) {
    int keys[] = {9, 3, 2, 1, 0};
    int index[] = {10, 11, 12, 13, 14};
    brqsortIVectorA(keys, index, 1, 3);
    EXPECT_EQ(std::vector<int>(keys, keys + 5), (std::vector<int>{9, 1, 2, 3, 0}));
    EXPECT_EQ(std::vector<int>(index, index + 5), (std::vector<int>{10, 13, 12, 11, 14}));
    double d[] = {1.5, -2.0, 8.0};
    int di[] = {0, 1, 2};
    brqsortDVectorD(d, di, 0, 2);
    EXPECT_EQ(std::vector<int>(di, di + 3), (std::vector<int>{2, 0, 1}));
}

TEST(Sorting, EmptyStretchesReadNothing) {
    // Null vectors: any read or write would fault.
    sortIVector(nullptr, nullptr, 0, 'A');
    sortLVector(nullptr, nullptr, 0, 'D');
    sortDVector(nullptr, nullptr, -3, 'A');
    sortIVector_noOrder(nullptr, 0, 'A');
    brqsortFVectorA(nullptr, nullptr, 0, -1);
    brqsortLVectorD(nullptr, nullptr, 5, 2);
    int* none = ordered_sequence_VECTOR_INT(nullptr, 0, 'A');
    std::free(none);
    int* no_jobs = sortPT(0, 3, nullptr, 'D');
    std::free(no_jobs);
}

TEST(Sorting, MatchesThePlainRecursivePartitionOnRandomKeysWithManyTies) {
    std::mt19937 rng(20261207);
    for (int trial = 0; trial < 400; ++trial) {
        const int n = 1 + static_cast<int>(rng() % 60);
        const int range = 1 + static_cast<int>(rng() % 8);
        std::vector<long> keys(n);
        for (long& k : keys) k = static_cast<long>(rng() % range);
        for (char c : {'A', 'D'}) {
            std::vector<long> mine = keys;
            std::vector<long> theirs = keys;
            Index expected(n);
            for (int i = 0; i < n; ++i) expected[i] = i;
            if (c == 'A') {
                reference_quicksort<long, true>(theirs.data(), expected.data(), 0, n - 1);
            } else {
                reference_quicksort<long, false>(theirs.data(), expected.data(), 0, n - 1);
            }
            ASSERT_EQ(sorted_index(mine, c), expected) << "trial " << trial << " criterion " << c;
            ASSERT_EQ(mine, theirs);
        }
    }
}

TEST(Sorting, LongAndAwkwardShapesSortCompletely) {
    // Sorted, reversed and constant runs of a million keys; an organ pipe,
    // whose middle key is the largest at every step, the worst case of the
    // middle pivot.
    std::vector<std::vector<int>> shapes(4);
    const int n = 1000000;
    for (int i = 0; i < n; ++i) {
        shapes[0].push_back(i);
        shapes[1].push_back(n - i);
        shapes[2].push_back(7);
    }
    const int pipe = 20000;
    for (int i = 0; i < pipe; ++i) shapes[3].push_back(i < pipe / 2 ? i : pipe - i);
    for (auto& keys : shapes) {
        const std::vector<int> before = keys;
        const Index index = sorted_index(keys, 'A');
        for (std::size_t k = 1; k < keys.size(); ++k) ASSERT_LE(keys[k - 1], keys[k]);
        for (std::size_t k = 0; k < keys.size(); ++k) ASSERT_EQ(keys[k], before[index[k]]);
    }
}

TEST(Sorting, NaNKeysStopTheScansWithoutLosingKeys) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> keys{3.0, nan, 1.0, nan, 2.0, 0.5};
    const std::vector<double> before = keys;
    const Index index = sorted_index(keys, 'A');
    std::vector<bool> seen(keys.size(), false);
    for (std::size_t k = 0; k < keys.size(); ++k) {
        seen[index[k]] = true;
        if (std::isnan(before[index[k]])) {
            EXPECT_TRUE(std::isnan(keys[k]));
        } else {
            EXPECT_EQ(keys[k], before[index[k]]);
        }
    }
    EXPECT_EQ(seen, std::vector<bool>(keys.size(), true));
}

TEST(Sorting, OrderingsLeaveTheirInputAndReturnPositions) {
    const int ints[] = {30, 10, 20, 10};
    int* by_int = ordered_sequence_VECTOR_INT(ints, 4, 'A');
    EXPECT_EQ(std::vector<int>(by_int, by_int + 4), (std::vector<int>{3, 1, 2, 0}));
    EXPECT_EQ(std::vector<int>(ints, ints + 4), (std::vector<int>{30, 10, 20, 10}));
    std::free(by_int);

    const double doubles[] = {0.25, -1.0, 3.5};
    int* by_double = ordered_sequence_VECTOR_DOUBLE(doubles, 3, 'D');
    EXPECT_EQ(std::vector<int>(by_double, by_double + 3), (std::vector<int>{2, 0, 1}));
    std::free(by_double);
    const float floats[] = {2.0f, 1.0f};
    int* by_float = ordered_sequence_VECTOR_FLOAT(floats, 2, 'A');
    EXPECT_EQ(std::vector<int>(by_float, by_float + 2), (std::vector<int>{1, 0}));
    std::free(by_float);
    const long longs[] = {5, 5, 1};
    int* by_long = ordered_sequence_VECTOR_LONG(longs, 3, 'A');
    EXPECT_EQ(std::vector<int>(by_long, by_long + 3), (std::vector<int>{2, 1, 0}));
    std::free(by_long);

    int permutation[] = {30, 10, 20};
    sortIVector_noOrder(permutation, 3, 'A');
    EXPECT_EQ(std::vector<int>(permutation, permutation + 3), (std::vector<int>{1, 2, 0}));
}

TEST(Sorting, JobsByTotalProcessingTime) {
    int row0[] = {3, 1, 4};
    int row1[] = {4, 2, 1};
    const int* pt[] = {row0, row1};  // totals 7, 3, 5
    int* up = sortPT(3, 2, pt, 'A');
    EXPECT_EQ(std::vector<int>(up, up + 3), (std::vector<int>{1, 2, 0}));
    std::free(up);
    int* down = sortPT(3, 2, pt, 'D');
    EXPECT_EQ(std::vector<int>(down, down + 3), (std::vector<int>{0, 2, 1}));
    std::free(down);

    // Totals beyond the range of int still come out in order.
    const int big = std::numeric_limits<int>::max();
    int b0[] = {big, 1};
    int b1[] = {big, 2};
    const int* bpt[] = {b0, b1};
    int* order = sortPT(2, 2, bpt, 'A');
    EXPECT_EQ(std::vector<int>(order, order + 2), (std::vector<int>{1, 0}));
    std::free(order);
}

// Each sorts a two-key vector with a criterion that is not accepted.
void sort_with_lowercase_a() {
    int keys[] = {2, 1};
    int index[2];
    sortIVector(keys, index, 2, 'a');
}
void permutation_with_lowercase_d() {
    int keys[] = {2, 1};
    sortIVector_noOrder(keys, 2, 'd');
}
void ordering_with_x() {
    const double keys[] = {2.0, 1.0};
    std::free(ordered_sequence_VECTOR_DOUBLE(keys, 2, 'X'));
}

TEST(SortingDeathTest, CriterionOtherThanCapitalAOrDEndsTheProcess) {
    const std::string message = "Other error(s): Undefined sorting criterion\n\n";
    for (void (*sort)() : {sort_with_lowercase_a, permutation_with_lowercase_d, ordering_with_x}) {
        EXPECT_EXIT({ stdout_to_stderr(); sort(); }, testing::ExitedWithCode(1), testing::Eq(message));
    }
}
