// Sequence operators: random moves and permutations, extraction, insertion
// and the searches.
#include <algorithm>
#include <cstdlib>
#include <limits>
#include <numeric>
#include <set>
#include <utility>
#include <vector>

#include "schedule/schedule.h"
#include "test_support.h"

using namespace schedule;
using testing_support::stdout_to_stderr;

namespace {

std::vector<int> identity(int len) {
    std::vector<int> v(static_cast<std::size_t>(len));
    std::iota(v.begin(), v.end(), 0);
    return v;
}

// The positions where two vectors of equal length differ.
std::vector<int> differences(const std::vector<int>& a, const std::vector<int>& b) {
    std::vector<int> at;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) at.push_back(static_cast<int>(i));
    }
    return at;
}

// Applies a move to a copy of `original`, checking that the original stays
// as it was; returns the neighbour.
std::vector<int> neighbour_of(void (*move)(const int*, int*, int), const std::vector<int>& original) {
    const std::vector<int> before = original;
    std::vector<int> neighbor(original.size(), -7);
    move(original.data(), neighbor.data(), static_cast<int>(original.size()));
    EXPECT_EQ(original, before);
    return neighbor;
}

// Checks that `neighbor` is `original` with exactly two entries exchanged and
// returns their positions.
std::pair<int, int> exchanged_pair(const std::vector<int>& original, const std::vector<int>& neighbor) {
    const std::vector<int> at = differences(original, neighbor);
    EXPECT_EQ(at.size(), 2u);
    if (at.size() != 2) return {-1, -1};
    EXPECT_EQ(neighbor[at[0]], original[at[1]]);
    EXPECT_EQ(neighbor[at[1]], original[at[0]]);
    return {at[0], at[1]};
}

TEST(NeighbourhoodMoves, ApiExchangesOneAdjacentPair) {
    const std::vector<int> original = {4, 9, 1, 7, 3, 8};
    std::set<int> firsts;
    for (unsigned seed = 1; seed <= 200; ++seed) {
        std::srand(seed);
        const auto [i, j] = exchanged_pair(original, neighbour_of(API, original));
        EXPECT_EQ(j, i + 1);
        firsts.insert(i);
    }
    EXPECT_EQ(firsts, (std::set<int>{0, 1, 2, 3, 4}));  // every adjacent pair occurs
}

TEST(NeighbourhoodMoves, ApiDrawsItsPositionWithOneRandCall) {
    const std::vector<int> original = identity(7);
    std::srand(99);
    const int i = std::rand() % 6;
    const int next_draw = std::rand();
    std::srand(99);
    const std::vector<int> neighbor = neighbour_of(API, original);
    EXPECT_EQ(exchanged_pair(original, neighbor), std::make_pair(i, i + 1));
    EXPECT_EQ(std::rand(), next_draw);
}

TEST(NeighbourhoodMoves, GpiExchangesAnyTwoDistinctPositionsIncludingTheLast) {
    const std::vector<int> original = {10, 11, 12, 13};
    std::set<std::pair<int, int>> pairs;
    for (unsigned seed = 1; seed <= 400; ++seed) {
        std::srand(seed);
        pairs.insert(exchanged_pair(original, neighbour_of(GPI, original)));
    }
    EXPECT_EQ(pairs.size(), 6u);  // all pairs of 0 … 3
    EXPECT_TRUE(pairs.count({2, 3}));
}

TEST(NeighbourhoodMoves, GpiDrawsBothPositionsFromTheWholeRangeInOrder) {
    const std::vector<int> original = identity(5);
    for (unsigned seed = 1; seed <= 50; ++seed) {
        std::srand(seed);
        const int i = std::rand() % 5;
        int j = std::rand() % 5;
        while (j == i) j = std::rand() % 5;
        const int next_draw = std::rand();
        std::srand(seed);
        const std::vector<int> neighbor = neighbour_of(GPI, original);
        EXPECT_EQ(exchanged_pair(original, neighbor), std::make_pair(std::min(i, j), std::max(i, j)));
        EXPECT_EQ(std::rand(), next_draw) << "seed " << seed;
    }
}

TEST(NeighbourhoodMoves, TwoEntriesAreAlwaysExchanged) {
    for (unsigned seed = 1; seed <= 30; ++seed) {
        std::srand(seed);
        EXPECT_EQ(neighbour_of(API, {5, 6}), (std::vector<int>{6, 5}));
        EXPECT_EQ(neighbour_of(GPI, {5, 6}), (std::vector<int>{6, 5}));
    }
}

TEST(NeighbourhoodMoves, ShorterVectorsAreCopiedWithoutDrawing) {
    std::srand(5);
    const int first_draw = std::rand();
    std::srand(5);
    EXPECT_EQ(neighbour_of(API, {8}), std::vector<int>{8});
    EXPECT_EQ(neighbour_of(GPI, {8}), std::vector<int>{8});
    API(nullptr, nullptr, 0);
    GPI(nullptr, nullptr, 0);
    EXPECT_EQ(std::rand(), first_draw);
}

TEST(NeighbourhoodMoves, MoveInPlaceStillExchanges) {
    std::srand(3);
    std::vector<int> v = {1, 2, 3, 4, 5};
    GPI(v.data(), v.data(), 5);
    exchanged_pair({1, 2, 3, 4, 5}, v);
}

TEST(RandomSequence, IsAPermutationOfTheFirstJobsEntries) {
    for (int jobs : {1, 2, 3, 10, 50}) {
        for (unsigned seed = 1; seed <= 5; ++seed) {
            std::srand(seed);
            std::vector<int> v(static_cast<std::size_t>(jobs) + 2, 0);  // stale content, two guards
            v[static_cast<std::size_t>(jobs)] = -1;
            v[static_cast<std::size_t>(jobs) + 1] = -2;
            randSequence(v.data(), jobs);
            EXPECT_EQ(v[static_cast<std::size_t>(jobs)], -1);
            EXPECT_EQ(v[static_cast<std::size_t>(jobs) + 1], -2);
            v.resize(static_cast<std::size_t>(jobs));
            std::sort(v.begin(), v.end());
            EXPECT_EQ(v, identity(jobs)) << jobs << " jobs, seed " << seed;
        }
    }
}

TEST(RandomSequence, NoJobsLeavesTheVectorAlone) {
    std::vector<int> v = {7, 7};
    randSequence(v.data(), 0);
    randSequence(v.data(), -3);
    EXPECT_EQ(v, (std::vector<int>{7, 7}));
    randSequence(nullptr, 0);
}

TEST(Extraction, RemovesAnEntryAndKeepsTheLast) {
    std::vector<int> v = {5, 6, 7, 8};
    EXPECT_EQ(extractIVector(v.data(), 4, 1), 3);
    EXPECT_EQ(v, (std::vector<int>{5, 7, 8, 8}));
    v = {5, 6, 7, 8};
    EXPECT_EQ(extractIVector(v.data(), 4, 3), 3);
    EXPECT_EQ(v, (std::vector<int>{5, 6, 7, 8}));
    v = {5, 6, 7, 8};
    EXPECT_EQ(extractIVector(v.data(), 4, 0), 3);
    EXPECT_EQ(v, (std::vector<int>{6, 7, 8, 8}));
}

TEST(Extraction, MatrixRowOnlyTheNamedRowMoves) {
    int r0[] = {1, 2, 3};
    int r1[] = {4, 5, 6};
    int* m[] = {r0, r1};
    extractIMatrix(m, 99, 3, 1, 0);
    EXPECT_EQ(std::vector<int>(r0, r0 + 3), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(std::vector<int>(r1, r1 + 3), (std::vector<int>{5, 6, 6}));
}

TEST(ExtractionDeathTest, PositionOutsideTheVectorEndsTheProcess) {
    static int v[] = {5, 6, 7, 8};
    const char* message = "Other error(s): \nError in extractIVector() - Third argument does not match\n";
    EXPECT_EXIT({ stdout_to_stderr(); extractIVector(v, 4, 4); }, testing::ExitedWithCode(1),
                testing::Eq(message));
    EXPECT_EXIT({ stdout_to_stderr(); extractIVector(v, 4, -1); }, testing::ExitedWithCode(1),
                testing::Eq(message));
}

TEST(Insertion, ShiftsUpAndDropsTheLastEntry) {
    std::vector<int> v = {5, 6, 7, 8};
    insertIVector(v.data(), 4, 9, 1);
    EXPECT_EQ(v, (std::vector<int>{5, 9, 6, 7}));
    v = {5, 6, 7, 8};
    insertIVector(v.data(), 4, 9, 3);
    EXPECT_EQ(v, (std::vector<int>{5, 6, 7, 9}));
    v = {5, 6, 7, 8};
    insertIVector(v.data(), 4, 9, 0);
    EXPECT_EQ(v, (std::vector<int>{9, 5, 6, 7}));

    std::vector<double> d = {1.5, 2.5};
    insertDVector(d.data(), 2, -0.5, 0);
    EXPECT_EQ(d, (std::vector<double>{-0.5, 1.5}));
    std::vector<float> f = {1.5f, 2.5f, 3.5f};
    insertFVector(f.data(), 3, 9.f, 1);
    EXPECT_EQ(f, (std::vector<float>{1.5f, 9.f, 2.5f}));
    std::vector<long> l = {10, 20, 30};
    insertLVector(l.data(), 3, -40, 2);
    EXPECT_EQ(l, (std::vector<long>{10, 20, -40}));
}

TEST(Searches, FindFirstDiff) {
    const int v[] = {3, 3, 4};
    EXPECT_EQ(findFirstDiff(v, 3, 3), 2);
    EXPECT_EQ(findFirstDiff(v, 2, 3), -1);
    EXPECT_EQ(findFirstDiff(v, 3, 4), 0);
    EXPECT_EQ(findFirstDiff(nullptr, 0, 1), -1);
}

TEST(Searches, FirstMatchWithinTheRange) {
    const int v[] = {4, 2, 4};
    EXPECT_EQ(searchInIVector(v, 3, 4), 0);
    EXPECT_EQ(searchInIVector(v, 3, 2), 1);
    EXPECT_EQ(searchInIVector(v, 1, 2), -1);
    EXPECT_EQ(searchInIVector(nullptr, 0, 4), -1);
    EXPECT_EQ(searchOInIVector(v, 3, 4, 1), 2);
    EXPECT_EQ(searchOInIVector(v, 3, 4, 3), -1);
    EXPECT_EQ(searchOInIVector(v, 2, 4, 1), -1);

    const long l[] = {-1, 70000, 70000};
    EXPECT_EQ(searchInLVector(l, 3, 70000), 1);
    EXPECT_EQ(searchInLVector(l, 3, 5), -1);
}

TEST(Searches, FloatingPointEqualityIsExactAndNanNeverMatches) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double d[] = {0.1 + 0.2, 0.3, nan, -0.0};
    EXPECT_EQ(searchInDVector(d, 4, 0.3), 1);
    EXPECT_EQ(searchInDVector(d, 4, nan), -1);
    EXPECT_EQ(searchInDVector(d, 4, 0.0), 3);
    EXPECT_EQ(searchInDVector(d, -2, 0.3), -1);
    const float f[] = {std::numeric_limits<float>::quiet_NaN(), 2.5f};
    EXPECT_EQ(searchInFVector(f, 2, 2.5f), 1);
    EXPECT_EQ(searchInFVector(f, 2, f[0]), -1);
}

TEST(Searches, ColumnSearchGivesTheFirstMatchingRow) {
    const int r0[] = {1, 5};
    const int r1[] = {2, 7};
    const int r2[] = {3, 7};
    const int* const m[] = {r0, r1, r2};
    EXPECT_EQ(search_colImatrix(m, 1, 3, 7), 1);
    EXPECT_EQ(search_colImatrix(m, 0, 3, 3), 2);
}

TEST(SearchesDeathTest, ColumnSearchWithoutMatchEndsTheProcess) {
    static const int r0[] = {1, 5};
    static const int r1[] = {2, 7};
    static const int* const m[] = {r0, r1};
    // The last row is outside the searched range.
    EXPECT_EXIT({ stdout_to_stderr(); search_colImatrix(m, 1, 1, 7); }, testing::ExitedWithCode(1),
                testing::Eq("Value not found in search_colImatrix()\n while it should\nsearch_colImatrix()\n\n"));
}

}  // namespace
