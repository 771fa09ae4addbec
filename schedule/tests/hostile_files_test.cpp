// Files nobody meant as instances: every reader must end with a clear
// message and status 1, or load cleanly; never crash, hang or run out of
// memory on a small file.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdlib>
#include <random>
#include <string>
#include <type_traits>

#include "schedule/checked.h"
#include "schedule/schedule.h"
#include "test_support.h"

namespace {

using namespace schedule;
using schedule::release;
using testing_support::stdout_to_stderr;
using testing_support::TempDir;

// Either a clean return (the body then exits with 0) or the library's own
// end with status 1; anything else (a signal, another status) is a fault.
bool exits_cleanly_or_with_one(int status) {
    return WIFEXITED(status) && (WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == 1);
}

// Every plain-format reader fed `name`; results freed when they return.
void read_with_every_plain_reader(const std::string& name) {
    int n = 0, m = 0;
    int** pt = nullptr;
    int** rm = nullptr;
    long* dd = nullptr;
    int* am = nullptr;
    loadJSData(name.c_str(), &n, &m, &pt, &rm, 1);
    free_mat_int(pt, m);
    free_mat_int(rm, n);
    loadJS_DD_Data(name.c_str(), 1, &n, &m, &pt, &rm, &dd, 1);
    free_mat_int(pt, m);
    free_mat_int(rm, n);
    std::free(dd);
    loadJS_DD_Data_Zorvane(name.c_str(), 0, &n, &m, &pt, &rm, &dd, 1);
    free_mat_int(pt, m);
    free_mat_int(rm, n);
    std::free(dd);
    loadJS_MM_Data(name.c_str(), &n, &m, &pt, &rm, &am, 1);
    free_mat_int(pt, m);
    free_mat_int(rm, n);
    std::free(am);
    free_mat_int(loadPTimes_mrows(name.c_str(), &n, &m, 1), m);
    free_mat_int(loadPTimes_mrowsDD(name.c_str(), &n, &m, &dd, 1), m);
    std::free(dd);
    free_mat_int(loadPTimes_nrows(name.c_str(), &n, &m, 1), m);
    free_mat_int(loadPTimes_nrowsDD(name.c_str(), &n, &m, &dd, 1), m);
    std::free(dd);
    (void)read_parfile_int(name.c_str(), 3);
}

// A tagged file goes through the same splitting and checks in every loader;
// the single-machine loader stands for them.
void load_and_exit(const std::string& name) {
    SINGLE_MACHINE s = load_SINGLE_MACHINE(name.c_str());
    release(s);
    std::exit(0);
}
void read_and_exit(const std::string& name) {
    read_with_every_plain_reader(name);
    std::exit(0);
}

std::string random_bytes(unsigned seed, std::size_t size) {
    std::mt19937 rng(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(rng() & 0xff);
    return bytes;
}

TEST(HostileFiles, BinaryGarbageIsRejectedOrReadWithoutFault) {
    TempDir dir;
    for (unsigned seed = 1; seed <= 8; ++seed) {
        const std::string name = dir.write("garbage" + std::to_string(seed), random_bytes(seed, 4096 * seed));
        EXPECT_EXIT(load_and_exit(name), exits_cleanly_or_with_one, "") << "seed " << seed;
        EXPECT_EXIT(read_and_exit(name), exits_cleanly_or_with_one, "") << "seed " << seed;
    }
    // Garbage around well-formed entries still loads them.
    const std::string framed = dir.write("framed", random_bytes(99, 300) + "]\n[JOBS=2]\n[PT=3,4]\n" +
                                                       random_bytes(98, 0));
    EXPECT_EXIT(load_and_exit(framed), testing::ExitedWithCode(0), "");
}

TEST(HostileFiles, NulBytesInsideTagsAndContents) {
    TempDir dir;
    // A NUL inside a tag hides it: the count is missing.
    const std::string hidden = dir.write("hidden", std::string("[JO\0BS=3]\n[PT=1,2,3]\n", 21));
    EXPECT_EXIT((stdout_to_stderr(), load_and_exit(hidden)), testing::ExitedWithCode(1),
                "ERROR: The number of JOBS is not specified in the file");
    // A NUL inside a content ends it there: the vector is short.
    const std::string cut = dir.write("cut", std::string("[JOBS=3]\n[PT=1,2\0,3]\n", 21));
    EXPECT_EXIT((stdout_to_stderr(), load_and_exit(cut)), testing::ExitedWithCode(1),
                "size of PT=2\\)");
    EXPECT_EXIT(read_and_exit(cut), exits_cleanly_or_with_one, "");
}

TEST(HostileFiles, DirectoryAndUnreadableFiles) {
    TempDir dir;
    const std::string folder = dir.path().string();
    const std::string message = "Other error\\(s\\): The file " + folder + " could not be read";
    EXPECT_EXIT((stdout_to_stderr(), load_and_exit(folder)), testing::ExitedWithCode(1), message);
    EXPECT_EXIT((stdout_to_stderr(), read_and_exit(folder)), testing::ExitedWithCode(1), message);
    char tags[tag_entry_slots][tag_text_size];
    static char contents[tag_entry_slots][tag_content_size];
    EXPECT_EXIT((stdout_to_stderr(), load_tag_content(folder.c_str(), tags, contents)),
                testing::ExitedWithCode(1), message);

    // A file that opens but fails on reading (as a failing disk does).
    EXPECT_EXIT((stdout_to_stderr(), load_and_exit("/proc/self/mem")), testing::ExitedWithCode(1),
                "The file /proc/self/mem could not be read");
    EXPECT_EXIT((stdout_to_stderr(), read_and_exit("/proc/self/mem")), testing::ExitedWithCode(1),
                "The file /proc/self/mem could not be read");

    // A file that cannot be opened at all.
    const std::string plain = dir.write("plain", "[JOBS=1]\n[PT=1]\n");
    EXPECT_EXIT((stdout_to_stderr(), load_and_exit(plain + "/inside")), testing::ExitedWithCode(1),
                "File not found: " + plain + "/inside");
    chmod(plain.c_str(), 0);
    if (geteuid() != 0) {  // the superuser reads it regardless
        EXPECT_EXIT((stdout_to_stderr(), load_and_exit(plain)), testing::ExitedWithCode(1),
                    "File not found: " + plain);
        EXPECT_EXIT((stdout_to_stderr(), read_and_exit(plain)), testing::ExitedWithCode(1),
                    "File not found: " + plain);
    }
}

TEST(HostileFiles, VeryLongLineWithoutAnyTag) {
    TempDir dir;
    const std::string name = dir.write("line", std::string(20'000'000, 'x') + "\n");
    EXPECT_EXIT((stdout_to_stderr(), load_and_exit(name)), testing::ExitedWithCode(1),
                "Loading .* completed with 1 errors and 3 warnings");
    char tags[tag_entry_slots][tag_text_size];
    static char contents[tag_entry_slots][tag_content_size];
    EXPECT_EQ(load_tag_content(name.c_str(), tags, contents), 0);
    // Read as numbers, the line is no number at all: an empty instance.
    int n = -1, m = -1;
    int** pt = nullptr;
    testing_support::captured_stdout([&] { pt = loadPTimes_mrows(name.c_str(), &n, &m, 0); });
    EXPECT_EQ(n, 0);
    EXPECT_EQ(m, 0);
    free_mat_int(pt, m);
}

TEST(HostileFiles, ThousandsOfEntries) {
    TempDir dir;
    std::string entries;
    for (int i = 0; i < 5000; ++i) entries += "[NOTE" + std::to_string(i) + "=" + std::to_string(i) + "]\n";
    const std::string first = dir.write("first", "[JOBS=2]\n[PT=4,5]\n" + entries);
    SINGLE_MACHINE s{};
    const std::string echo = testing_support::captured_stdout([&] { s = load_SINGLE_MACHINE(first.c_str()); });
    EXPECT_NE(echo.find("the 4982 entries after the 20th are ignored"), std::string::npos);
    EXPECT_EQ(s.jobs, 2);
    EXPECT_EQ(s.pt[1], 5);
    release(s);
    const std::string last = dir.write("last", entries + "[JOBS=2]\n[PT=4,5]\n");
    EXPECT_EXIT((stdout_to_stderr(), load_and_exit(last)), testing::ExitedWithCode(1),
                "holds more than 20 tag entries; the 4982 entries after the 20th are ignored");

    // Thousands of numbers in a plain file read in full.
    std::string row = "1 5000\n";
    for (int j = 0; j < 5000; ++j) row += std::to_string(j % 97) + " ";
    const std::string times = dir.write("times", row);
    int n = 0, m = 0;
    int** pt = nullptr;
    testing_support::captured_stdout([&] { pt = loadPTimes_mrows(times.c_str(), &n, &m, 0); });
    ASSERT_EQ(n, 5000);
    EXPECT_EQ(pt[0][4999], 4999 % 97);
    free_mat_int(pt, m);
}

TEST(HostileFiles, FiftyMegabyteContent) {
    TempDir dir;
    std::string content;
    content.reserve(52'000'000);
    content = "[JOBS=1]\n[PT=";
    while (content.size() < 50'000'000) content += "1234567,";
    content += "1]\n";
    const std::string name = dir.write("huge", content);
    EXPECT_EXIT((stdout_to_stderr(), load_and_exit(name)), testing::ExitedWithCode(1),
                "ERROR: The content of PT in the file .* is longer than 32766 characters");
}

// The address space of a death-test child, capped: a load must not need more
// than a small multiple of its file however large the counts it claims.
void cap_address_space() {
#if defined(__SANITIZE_ADDRESS__)
    constexpr bool sanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
    constexpr bool sanitized = true;
#else
    constexpr bool sanitized = false;
#endif
#else
    constexpr bool sanitized = false;
#endif
    if (sanitized) return;  // the sanitizers reserve far more address space than this
    const rlim_t cap = rlim_t{512} << 20;
    const rlimit limit{cap, cap};
    setrlimit(RLIMIT_AS, &limit);
}

template <class Record>
void load_capped(Record (*load)(const char*), const std::string& name) {
    stdout_to_stderr();
    cap_address_space();
    Record record = load(name.c_str());
    release(record);
    std::exit(0);
}

TEST(HostileFiles, HugeCountsInAShortFileAllocateNothingByThem) {
    TempDir dir;
    const std::string matrix = dir.write("matrix", "[JOBS=100000000]\n[MACHINES=100000000]\n[PT=1,2;3,4]\n");
    const std::string matrix_messages =
        "\\[JOBS = 100000000\\]\n\\[MACHINES = 100000000\\]\n"
        "WARNING: No values for DD.*\nWARNING: No values for R.*\nWARNING: No values for W.*\n"
        "ERROR: The number of rows of matrix PT is different than the number of MACHINES.*\n\n"
        "Loading .* completed with 1 errors and 3 warnings.\nThe program cannot continue.";
    EXPECT_EXIT(load_capped(load_FLOWSHOP, matrix), testing::ExitedWithCode(1), matrix_messages);
    EXPECT_EXIT(load_capped(load_UNRELATED_MACHINES, matrix), testing::ExitedWithCode(1), matrix_messages);
    EXPECT_EXIT(load_capped(load_JOBSHOP, matrix), testing::ExitedWithCode(1), matrix_messages);

    const std::string vector = dir.write("vector", "[JOBS=100000000]\n[MACHINES=100000000]\n[V=1]\n[PT=1,2]\n");
    EXPECT_EXIT(load_capped(load_SINGLE_MACHINE, vector), testing::ExitedWithCode(1),
                "size of PT=2\\)");
    EXPECT_EXIT(load_capped(load_PARALLEL_MACHINES, vector), testing::ExitedWithCode(1),
                "size of PT=2\\)");
    EXPECT_EXIT(load_capped(load_RELATED_MACHINES, vector), testing::ExitedWithCode(1),
                "size of V=1\\)");

    // A well-formed file of the same shape as the claims still loads.
    const std::string fine = dir.write("fine", "[JOBS=2]\n[MACHINES=2]\n[PT=1,2;3,4]\n");
    EXPECT_EXIT(load_capped(load_FLOWSHOP, fine), testing::ExitedWithCode(0), "");
}

// Plain files whose header claims more numbers than the file holds, or a
// negative count, end through `error` before anything is allocated by them.
void read_times_capped(const std::string& name) {
    stdout_to_stderr();
    cap_address_space();
    int n = 0, m = 0;
    free_mat_int(loadPTimes_nrows(name.c_str(), &n, &m, 0), m);
    std::exit(0);
}

void read_job_shop_capped(const std::string& name) {
    stdout_to_stderr();
    cap_address_space();
    int n = 0, m = 0;
    int** pt = nullptr;
    int** rm = nullptr;
    loadJSData(name.c_str(), &n, &m, &pt, &rm, 0);
    std::exit(0);
}

TEST(HostileFiles, PlainHeadersClaimingMoreThanTheFileHolds) {
    TempDir dir;
    const std::string times = dir.write("times", "100000000 100000000\n1 2 3\n");
    EXPECT_EXIT(read_times_capped(times), testing::ExitedWithCode(1),
                "Other error\\(s\\): loadPTimes_nrows: the file " + times +
                    " declares 100000000 jobs and 100000000 machines, more than its remaining 7 bytes can hold");
    const std::string tall = dir.write("tall", "100000000 0\n");
    EXPECT_EXIT(read_times_capped(tall), testing::ExitedWithCode(1), "declares 0 jobs and 100000000 machines");
    const std::string negative = dir.write("negative", "-3 2\n1 2 3 4 5 6\n");
    EXPECT_EXIT(read_times_capped(negative), testing::ExitedWithCode(1),
                "loadPTimes_nrows: the file .* declares 2 jobs and -3 machines; neither can be negative");
    const std::string shop = dir.write("shop", "description\n50000 50000\n0 1\n");
    EXPECT_EXIT(read_job_shop_capped(shop), testing::ExitedWithCode(1),
                "loadJSData: the file .* declares 50000 jobs and 50000 machines, more than");

    // A file that merely ends early still reads, its missing numbers 0.
    const std::string short_file = dir.write("short", "3 4\n1 2\n");
    EXPECT_EXIT(read_times_capped(short_file), testing::ExitedWithCode(0), "");
}

}  // namespace

namespace {

// Inputs the fuzzer found, kept beside the tests; each read by the reader
// that failed on it. Each header saturates a count at the most negative int,
// whose square once overflowed the check of what the file can hold.
std::string finding(const std::string& reader) {
    return std::string(SCHEDULE_TEST_DATA) + "/fuzz_findings/" + reader + ".txt";
}

void read_finding_and_exit(const std::string& reader) {
    stdout_to_stderr();
    const std::string name = finding(reader);
    int n = 0, m = 0;
    int** pt = nullptr;
    int** rm = nullptr;
    long* dd = nullptr;
    int* am = nullptr;
    if (reader == "loadJSData") loadJSData(name.c_str(), &n, &m, &pt, &rm, 1);
    if (reader == "loadJS_DD_Data") loadJS_DD_Data(name.c_str(), 1, &n, &m, &pt, &rm, &dd, 1);
    if (reader == "loadJS_DD_Data_Zorvane") loadJS_DD_Data_Zorvane(name.c_str(), 1, &n, &m, &pt, &rm, &dd, 1);
    if (reader == "loadJS_MM_Data") loadJS_MM_Data(name.c_str(), &n, &m, &pt, &rm, &am, 1);
    std::exit(0);
}

TEST(FuzzFindings, CountsAtTheMostNegativeIntAreRejected) {
    for (const char* reader : {"loadJSData", "loadJS_DD_Data", "loadJS_DD_Data_Zorvane", "loadJS_MM_Data"}) {
        EXPECT_EXIT(read_finding_and_exit(reader), testing::ExitedWithCode(1),
                    std::string(reader) + ": the file .* declares -?[0-9]+ jobs and -?[0-9]+ machines; neither "
                                          "can be negative")
            << reader;
    }
    // The same in a few characters, for every job-shop reader.
    TempDir dir;
    const std::string lowest = dir.write("lowest", "-2147483648 -2147483648\n");
    int n = 0, m = 0;
    int** pt = nullptr;
    int** rm = nullptr;
    long* dd = nullptr;
    EXPECT_EXIT((stdout_to_stderr(), loadJS_DD_Data(lowest.c_str(), 0, &n, &m, &pt, &rm, &dd, 1)),
                testing::ExitedWithCode(1), "declares -2147483648 jobs and -2147483648 machines; neither");
}

}  // namespace
