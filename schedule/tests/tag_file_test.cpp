// Splitting tagged files into entries and reading tags from the entries.
#include <algorithm>
#include <cfenv>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "schedule/checked.h"
#include "schedule/schedule.h"
#include "test_support.h"

using namespace schedule;
using testing_support::TempDir;

namespace {

// The working storage of one load, filled from a file holding `bytes`.
struct Entries {
    std::unique_ptr<char[][tag_text_size]> tags = std::make_unique<char[][tag_text_size]>(tag_entry_slots);
    std::unique_ptr<char[][tag_content_size]> contents =
        std::make_unique<char[][tag_content_size]>(tag_entry_slots);
    int count = 0;

    explicit Entries(const std::string& bytes) {
        TempDir dir;
        count = load_tag_content(dir.write("instance.txt", bytes).c_str(), tags.get(), contents.get());
    }
    std::string tag(int i) const { return tags[i]; }
    std::string content(int i) const { return contents[i]; }

    int integer(const char* tag) const { return load_int_tag(tag, tags.get(), contents.get(), count); }
    // A vector tag read with `reader`; {-12345} stands for "absent".
    template <class T>
    std::vector<T> vector(int (*reader)(const char*, const char[][tag_text_size], const char[][tag_content_size],
                                        int, T**),
                          const char* tag) const {
        T* v = nullptr;
        const int n = reader(tag, tags.get(), contents.get(), count, &v);
        if (n < 0) return {T(-12345)};
        std::vector<T> out(v, v + n);
        std::free(v);
        return out;
    }
    std::vector<int> ints(const char* tag) const { return vector(load_int_vector_tag, tag); }
    std::vector<long> longs(const char* tag) const { return vector(load_long_vector_tag, tag); }
    std::vector<double> doubles(const char* tag) const { return vector(load_double_vector_tag, tag); }
};

TEST(TagSplitting, EntriesAreTagTextUpToEqualsAndContentUpToBracket) {
    const Entries e("[JOBS=3]\n[PT=3,\n2,4]  tail without bracket");
    ASSERT_EQ(e.count, 2);
    EXPECT_EQ(e.tag(0), "[JOBS=");
    EXPECT_EQ(e.content(0), "3");
    // Line feeds vanish wherever they stand, so lists may be broken freely.
    EXPECT_EQ(e.tag(1), "[PT=");
    EXPECT_EQ(e.content(1), "3,2,4");
}

TEST(TagSplitting, HeadingsAndStrayCharactersBelongToTheTagText) {
    const Entries e("Instance 7\n[JOBS=3] ] x [DD=1,2]");
    ASSERT_EQ(e.count, 3);
    EXPECT_EQ(e.tag(0), "Instance 7[JOBS=");
    // A "]" between entries closes an entry without "=": it takes a slot.
    EXPECT_EQ(e.tag(1), " ");
    EXPECT_EQ(e.content(1), "");
    EXPECT_EQ(e.tag(2), " x [DD=");
    EXPECT_EQ(e.integer("[JOBS="), 3);
    EXPECT_EQ(e.longs("[DD="), (std::vector<long>{1, 2}));
}

TEST(TagSplitting, SecondEqualsInsideContentLeavesOnlyEqualsAsTagText) {
    const Entries e("[DD=1,2=3][R=0]");
    ASSERT_EQ(e.count, 2);
    EXPECT_EQ(e.tag(0), "=");
    EXPECT_EQ(e.content(0), "3");
    EXPECT_EQ(e.longs("[DD="), (std::vector<long>{-12345}));

    // A heading with "=" ends the tag text early and hides the tag after it.
    const Entries hidden("title=x [JOBS=3]");
    ASSERT_EQ(hidden.count, 1);
    EXPECT_EQ(hidden.tag(0), "=");
    EXPECT_EQ(hidden.integer("[JOBS="), -1);
}

TEST(TagSplitting, CarriageReturnIsDroppedOnlyBeforeLineFeed) {
    const Entries e("[JOBS=1\r\n2]\r\n[W=1\r5]\r\r\n");
    ASSERT_EQ(e.count, 2);
    EXPECT_EQ(e.content(0), "12");
    EXPECT_EQ(e.content(1), "1\r5");
    const Entries trailing("[JOBS=4]\r");
    EXPECT_EQ(trailing.count, 1);
}

// A file is read in blocks of 64 KiB and content is copied in runs: a
// carriage return and its line feed on the two sides of a block's end go
// together, a lone one stays, and the content runs on across the blocks.
TEST(TagSplitting, BlockEndsChangeNothing) {
    constexpr std::size_t block = 1 << 16;
    const std::string run(30000, '5');
    const std::pair<std::string, std::string> cases[] = {{"\r\n", ""}, {"\rx", "\rx"}, {"\r\r\n", "\r"}, {"\n\r", "\r"}};
    for (const auto& [around, kept] : cases) {
        for (std::size_t before = 1; before <= 3; ++before) {  // characters of `around` ahead of the block's end
            const std::string head = "[A=1]" + std::string(block - before - run.size() - 8, 'h') + "[B=";
            const Entries e(head + run + around + "9]");
            ASSERT_EQ(e.count, 2);
            EXPECT_EQ(e.content(1), run + kept + "9") << before;
            EXPECT_EQ(e.tag(1), std::string(36, 'h') + "[B=");
        }
    }
}

TEST(TagSplitting, OpenEntryAtEndOfFileIsNotCounted) {
    const Entries e("[JOBS=3][PT=1,2,3");
    EXPECT_EQ(e.count, 1);
    EXPECT_EQ(e.ints("[PT="), (std::vector<int>{-12345}));
    EXPECT_EQ(Entries("").count, 0);
}

TEST(TagSplitting, LongTagTextKeepsItsLastCharacters) {
    const std::string heading(100, 'h');
    const Entries e(heading + "[JOBS=5]");
    ASSERT_EQ(e.count, 1);
    EXPECT_EQ(e.tag(0), std::string(33, 'h') + "[JOBS=");
    EXPECT_EQ(e.integer("[JOBS="), 5);
    // A long text closed by "]" without "=" also stays within its slot.
    const Entries closed(std::string(500, 'x') + "][JOBS=2]");
    ASSERT_EQ(closed.count, 2);
    EXPECT_EQ(closed.tag(0), std::string(38, 'x'));
    EXPECT_EQ(closed.integer("[JOBS="), 2);
}

TEST(TagSplitting, StorageIsNeverWrittenPast) {
    // Longer content is cut to what the slot holds.
    const Entries cut("[DD=" + std::string(40000, '7') + "][JOBS=1]");
    ASSERT_EQ(cut.count, 2);
    EXPECT_EQ(cut.content(0).size(), static_cast<std::size_t>(tag_content_size - 1));
    EXPECT_EQ(cut.integer("[JOBS="), 1);
    // Entries beyond the last slot are not stored.
    std::string many;
    for (int i = 0; i < 30; ++i) many += "[X" + std::to_string(i) + "=" + std::to_string(i) + "]";
    const Entries e(many);
    ASSERT_EQ(e.count, tag_entry_slots);
    EXPECT_EQ(e.tag(19), "[X19=");
    EXPECT_EQ(e.integer("[X25="), -1);
}

TEST(TagSplittingDeathTest, MissingFileEndsWithFileNotFound) {
    auto tags = std::make_unique<char[][tag_text_size]>(tag_entry_slots);
    auto contents = std::make_unique<char[][tag_content_size]>(tag_entry_slots);
    EXPECT_EXIT(
        {
            testing_support::stdout_to_stderr();
            load_tag_content("/nonexistent/instance.txt", tags.get(), contents.get());
        },
        testing::ExitedWithCode(1), testing::Eq("File not found: /nonexistent/instance.txt\n"));
}

TEST(TagReaders, FirstMatchingEntryWinsAndNamesAreExact) {
    const Entries e("[JOBS=4][JOBS=9][jobs=5][MACHINES =2][XJOBS=7]");
    EXPECT_EQ(e.integer("[JOBS="), 4);
    EXPECT_EQ(e.integer("[MACHINES="), -1);
    EXPECT_EQ(e.integer("[jobs="), 5);
    EXPECT_EQ(e.integer("[PT="), -1);
}

TEST(TagReaders, IntegerContentFollowsAtoi) {
    EXPECT_EQ(Entries("[JOBS=]").integer("[JOBS="), 0);
    EXPECT_EQ(Entries("[JOBS=  12abc]").integer("[JOBS="), 12);
    EXPECT_EQ(Entries("[JOBS=-7]").integer("[JOBS="), -7);
    EXPECT_EQ(Entries("[JOBS=123456789]").integer("[JOBS="), 123456789);
    EXPECT_EQ(Entries("[JOBS=99999999999999]").integer("[JOBS="), 2147483647);
}

TEST(TagReaders, VectorElementsAreSplitAtCommas) {
    const Entries e("[A=][B=1,2,][C=4,,6][D=999,-99, 12][E=1000,25][F=1;2,3][G=abc,5x]");
    EXPECT_EQ(e.ints("[A="), (std::vector<int>{0}));
    EXPECT_EQ(e.ints("[B="), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(e.ints("[C="), (std::vector<int>{4, 0, 6}));
    EXPECT_EQ(e.ints("[D="), (std::vector<int>{999, -99, 12}));
    // Elements of any length convert whole.
    EXPECT_EQ(e.ints("[E="), (std::vector<int>{1000, 25}));
    EXPECT_EQ(e.longs("[E="), (std::vector<long>{1000, 25}));
    EXPECT_EQ(e.ints("[F="), (std::vector<int>{1, 3}));
    EXPECT_EQ(e.ints("[G="), (std::vector<int>{0, 5}));
    EXPECT_EQ(e.ints("[H="), (std::vector<int>{-12345}));
}

TEST(TagReaders, DoubleElementsFollowAtof) {
    const Entries e("[W=1,2,0.5,1e2, -1.25,x,123456.75]");
    EXPECT_EQ(e.doubles("[W="), (std::vector<double>{1.0, 2.0, 0.5, 100.0, -1.25, 0.0, 123456.75}));
}

// Plain decimals are converted without strtol and strtod; every spelling must
// still read as they read it, in a list, at the end of a content, in a
// loaded matrix, and for the weights in every rounding mode.
TEST(TagReaders, NumberSpellingsReadAsStrtolAndStrtod) {
    const std::vector<std::string> spellings{
        "0", "7", "-7", "+7", "007", "-007", " 12", "\t5", "\v3", "\f4", "\r9", "12abc", "-", "+", "", "--5", "-+5", "0x1A",
        "0X1p3", "1_000", "12 34", "2147483647", "2147483648", "-2147483648", "-2147483649", "999999999999999999",
        "-999999999999999999", "1000000000000000000", "9223372036854775807", "9223372036854775808",
        "-9223372036854775808", "-9223372036854775809", "123456789012345678901234567890", "000000000000000000000042",
        "1.5", "-1.25", "0.1", "-0", "-0.0", "0.000", "5.", ".5", "-.5", "1.5e-3", "1e3", "2E+2", "1.2.3", "3.e2",
        "0x1p3", "0x.8", "inf", "-inf", "Infinity", "nan", "-nan", "nan(123)", "1e400", "-1e400", "1e-400",
        "4.9e-324", "123456789012345", "1234567890123456", "12345678901234567", "0.123456789012345",
        "0.1234567890123456789", "9007199254740993", "9007199254740993.0", "0.30000000000000004", "1.7976931348623157e308",
        "99999999999999.9", "8.5abc", "7x", "7e", "7.5.", "7;"};
    auto same_double = [](double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; };
    std::string list;
    std::string row;
    for (const std::string& s : spellings) {
        const long as_long = std::strtol(s.c_str(), nullptr, 10);
        const int as_int = static_cast<int>(std::clamp<long>(as_long, INT_MIN, INT_MAX));
        const Entries e("[A=" + s + "]");
        EXPECT_EQ(e.longs("[A="), (std::vector<long>{as_long})) << '"' << s << '"';
        EXPECT_EQ(e.ints("[A="), (std::vector<int>{as_int})) << '"' << s << '"';
        if (s.find(';') == std::string::npos) {
            list += (list.empty() ? "" : ",") + s;
            row += (row.empty() ? "" : ",") + s;
        }
        for (const int mode : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD}) {
            ASSERT_EQ(std::fesetround(mode), 0);
            const double expected = std::strtod(s.c_str(), nullptr);
            const std::vector<double> read = e.doubles("[A=");
            std::fesetround(FE_TONEAREST);
            ASSERT_EQ(read.size(), 1u);
            EXPECT_TRUE(same_double(read[0], expected)) << '"' << s << "\" read " << read[0] << ", strtod " << expected;
        }
    }
    // All in one list, most followed by a comma, and as one row of a loaded matrix.
    const Entries all("[A=" + list + "]");
    const std::vector<long> longs = all.longs("[A=");
    const std::vector<double> doubles = all.doubles("[A=");
    const int n = static_cast<int>(longs.size());
    const std::string file = "[JOBS=" + std::to_string(n) + "][MACHINES=1][PT=" + row + "]";
    const Instance<FLOWSHOP> loaded = load_text<FLOWSHOP>(file, "spellings", {nullptr, false});
    ASSERT_EQ(loaded.get().jobs, n);
    std::size_t k = 0;
    for (const std::string& s : spellings) {
        if (s.find(';') != std::string::npos) continue;
        const long as_long = std::strtol(s.c_str(), nullptr, 10);
        EXPECT_EQ(longs[k], as_long) << '"' << s << '"';
        EXPECT_EQ(loaded.get().pt[0][k], static_cast<int>(std::clamp<long>(as_long, INT_MIN, INT_MAX))) << '"' << s << '"';
        EXPECT_TRUE(same_double(doubles[k], std::strtod(s.c_str(), nullptr))) << '"' << s << '"';
        ++k;
    }
}

TEST(TagReaders, StringToVectorIntCountsCommasPlusOne) {
    int* v = nullptr;
    ASSERT_EQ(string_to_VECTOR_INT("5, 6 ,-7", &v), 3);
    EXPECT_EQ(v[0], 5);
    EXPECT_EQ(v[1], 6);
    EXPECT_EQ(v[2], -7);
    std::free(v);
    ASSERT_EQ(string_to_VECTOR_INT("", &v), 1);
    EXPECT_EQ(v[0], 0);
    std::free(v);
}

TEST(TagReaders, MatrixStatusesAndRows) {
    const Entries e("[PT=4,3,5;2,6,1][Q=4,3,5;2,6,1;][S=4,3,5;2,6][T=7,8,9;1,2][U=1000,-5,  7]");
    int** m = reinterpret_cast<int**>(dyn_mat(2, 3, sizeof(int)));
    setval_Imatrix(m, 2, 3, -1);
    auto read = [&](const char* tag, int rows, int cols) {
        return load_int_matrix_tag(tag, e.tags.get(), e.contents.get(), e.count, m, rows, cols);
    };
    EXPECT_EQ(read("[PT=", 2, 3), 0);
    EXPECT_EQ(m[0][0], 4);
    EXPECT_EQ(m[0][2], 5);
    EXPECT_EQ(m[1][0], 2);
    EXPECT_EQ(m[1][2], 1);
    EXPECT_EQ(read("[PT=", 3, 3), -1);
    EXPECT_EQ(read("[PT=", 2, 2), -2);
    // A ";" after the last row opens one more, empty, row.
    EXPECT_EQ(read("[Q=", 2, 3), -1);
    EXPECT_EQ(read("[R=", 2, 3), -10);

    // A short row fails; the rows before it stay written.
    setval_Imatrix(m, 2, 3, -1);
    EXPECT_EQ(read("[S=", 2, 3), -2);
    EXPECT_EQ(m[0][1], 3);
    EXPECT_EQ(m[1][0], -1);
    setval_Imatrix(m, 2, 3, -1);
    EXPECT_EQ(read("[T=", 2, 3), -2);
    EXPECT_EQ(m[0][0], 7);
    EXPECT_EQ(m[1][0], -1);
    // One row without any ";".
    EXPECT_EQ(read("[U=", 1, 3), 0);
    EXPECT_EQ(m[0][0], 1000);
    EXPECT_EQ(m[0][1], -5);
    EXPECT_EQ(m[0][2], 7);
    free_mat_int(m, 2);
}

TEST(TagReaders, CountCharsAndClearString) {
    EXPECT_EQ(count_chars("1,2,,3", ','), 3);
    EXPECT_EQ(count_chars("", ','), 0);
    EXPECT_EQ(count_chars("a;b", ','), 0);
    char text[6] = "abcde";
    clear_string(text, 3);
    EXPECT_EQ(std::memcmp(text, "\0\0\0de", 6), 0);
    clear_string(text, 0);
    EXPECT_EQ(text[3], 'd');
}

}  // namespace
