// The limits of the checked interface: what validate accepts, at each of its
// boundaries; magnitudes that would overflow an objective; identical machines
// that no job can use; and files that are not what a reader or a writer
// expects (devices, pipes, links, NUL bytes, names the system refuses).
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "schedule/checked.h"
#include "schedule/schedule.h"
#include "test_support.h"

namespace {

using namespace schedule;
using testing_support::TempDir;

// The Error a call throws; fails the test when it throws none.
Error error_of(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& e) {
        return e;
    }
    ADD_FAILURE() << "no error";
    return Error(ErrorKind::argument, 0, "");
}

// A job shop of 2 jobs on 2 machines whose routing is {{0, 1}, {1, 0}} but for
// the entry changed by the case.
struct Boundary {
    const char* what;
    int jobs;
    int machines;
    int routing_entry;      // rt[1][1]
    const char* refusal;    // nullptr: accepted
};

class ValidateBoundary : public testing::TestWithParam<Boundary> {};

TEST_P(ValidateBoundary, AcceptsExactlyTheRecordsThatCanBeEvaluated) {
    const Boundary& c = GetParam();
    int row0[2] = {1, 2}, row1[2] = {3, 4};
    int* pt[2] = {row0, row1};
    int route0[2] = {0, 1}, route1[2] = {1, c.routing_entry};
    int* rt[2] = {route0, route1};
    double w[2] = {1, 1};
    int r[2] = {0, 0};
    const JOBSHOP shop{c.jobs, c.machines, pt, rt, nullptr, w, r};
    if (c.refusal == nullptr) {
        EXPECT_NO_THROW(validate(shop)) << c.what;
        return;
    }
    const Error e = error_of([&] { validate(shop); });
    EXPECT_EQ(e.kind(), ErrorKind::argument) << c.what;
    EXPECT_NE(std::string(e.what()).find(c.refusal), std::string::npos) << c.what << ": " << e.what();
}

INSTANTIATE_TEST_SUITE_P(
    Table, ValidateBoundary,
    testing::Values(Boundary{"routing entry 0", 2, 2, 0, nullptr},
                    Boundary{"routing entry m - 1", 2, 2, 1, nullptr},
                    Boundary{"routing entry m", 2, 2, 2, "routed to machine 2, outside 0..1"},
                    Boundary{"routing entry -1", 2, 2, -1, "routed to machine -1, outside 0..1"},
                    Boundary{"no jobs", 0, 2, 1, "at least one job (jobs=0)"},
                    Boundary{"no machines", 2, 0, 1, "at least one machine (machines=0)"}));

TEST(ValidateBoundary, SingleMachineHasExactlyOne) {
    int pt[1] = {1};
    double w[1] = {1};
    int r[1] = {0};
    for (const int machines : {0, 1, 2}) {
        const SINGLE_MACHINE single{1, machines, pt, nullptr, w, r};
        if (machines == 1) {
            EXPECT_NO_THROW(validate(single));
        } else {
            EXPECT_THROW(validate(single), Error) << machines;
        }
    }
}

// jobs × (Σ|pt| + 2·max|r| + max|dd|) ≤ LONG_MAX is the bound: at it an
// instance is evaluated exactly, one beyond it is refused, whatever the sign.
TEST(MagnitudeLimit, IsExactAndCoversEveryField) {
    int pt[2] = {1, 2};
    double w[2] = {1, 1};
    int r[2] = {0, 0};
    // 2 × (3 + dd) at LONG_MAX − 1 (the product is even), then beyond.
    const long at = (LONG_MAX - 1) / 2 - 3;
    long dd[2] = {0, at};
    SINGLE_MACHINE single{2, 1, pt, dd, w, r};
    EXPECT_NO_THROW(validate(single));
    const int seq[2] = {0, 1};
    EXPECT_EQ(std::get<long>(evaluate(single, seq, "Lmax")), 1 - 0L);
    dd[1] = at + 1;
    const Error e = error_of([&] { validate(single); });
    EXPECT_NE(std::string(e.what()).find("too large to be evaluated in 64-bit integers"), std::string::npos);
    dd[1] = -(at + 1);
    EXPECT_THROW(validate(single), Error);
    dd[1] = LONG_MIN;
    EXPECT_THROW(validate(single), Error);  // the Lmax of −2^63 … 2^63 − 1

    // Processing times summed over the jobs: SumCj of 100 000 jobs of 2^31 − 1.
    std::vector<int> times(100000, INT_MAX);
    std::vector<double> weights(times.size(), 1.0);
    std::vector<int> releases(times.size(), 0);
    const SINGLE_MACHINE many{static_cast<int>(times.size()), 1, times.data(), nullptr, weights.data(),
                              releases.data()};
    EXPECT_THROW(validate(many), Error);
    // Release dates count twice (a flow time is C − r), in magnitude.
    dd[1] = at;
    int released[2] = {0, -1};
    single.r = released;
    EXPECT_THROW(validate(single), Error);
    single.r = r;
    EXPECT_NO_THROW(validate(single));
    // Every row of a matrix counts: one row alone is within the bound.
    std::vector<int> row(1 << 12, INT_MAX);
    std::vector<int*> rows(1 << 10, row.data());
    std::vector<double> w2(row.size(), 1.0);
    std::vector<int> r2(row.size(), 0);
    FLOWSHOP shop{static_cast<int>(row.size()), 1, rows.data(), nullptr, w2.data(), r2.data()};
    EXPECT_NO_THROW(validate(shop));
    shop.machines = static_cast<int>(rows.size());
    EXPECT_THROW(validate(shop), Error);
}

// Identical machines beyond the number of jobs: the values and schedules of
// the record with as many machines as jobs, for every objective, and no work
// storage for the others (2^31 − 1 machines would need 16 GB).
TEST(IdleMachines, AreNeitherUsedNorStored) {
    std::mt19937 rng(4);
    std::uniform_int_distribution<int> time(0, 6);  // zeros make ties of free machines
    for (const int jobs : {1, 3, 7, 20, 40}) {
        std::vector<int> pt(static_cast<std::size_t>(jobs)), r(pt.size());
        std::vector<long> dd(pt.size());
        std::vector<double> w(pt.size());
        for (std::size_t j = 0; j < pt.size(); ++j) {
            pt[j] = time(rng);
            r[j] = time(rng) - 2;
            dd[j] = time(rng) * 2;
            w[j] = time(rng) * 0.5;
        }
        std::vector<int> seq(pt.size());
        for (int j = 0; j < jobs; ++j) seq[static_cast<std::size_t>(j)] = j;
        std::shuffle(seq.begin(), seq.end(), rng);
        const PARALLEL_MACHINES huge{jobs, INT_MAX, pt.data(), dd.data(), w.data(), r.data()};
        for (const int machines : {jobs, jobs + 1, 3 * jobs}) {
            const PARALLEL_MACHINES some{jobs, machines, pt.data(), dd.data(), w.data(), r.data()};
            for (const Objective<PARALLEL_MACHINES>& objective : objective_table<PARALLEL_MACHINES>) {
                if (objective.weighted) {
                    EXPECT_EQ(std::get<double>(evaluate(huge, seq, objective)), objective.real(seq.data(), some))
                        << objective.name << " " << jobs << "/" << machines;
                } else {
                    EXPECT_EQ(std::get<long>(evaluate(huge, seq, objective)), objective.integer(seq.data(), some))
                        << objective.name << " " << jobs << "/" << machines;
                }
            }
        }
        const PARALLEL_MACHINES exact{jobs, jobs, pt.data(), dd.data(), w.data(), r.data()};
        EXPECT_EQ(completion_times(huge, seq), completion_times(exact, seq));
        const std::vector<Operation> a = schedule_operations(huge, seq), b = schedule_operations(exact, seq);
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t k = 0; k < a.size(); ++k) {
            EXPECT_EQ(a[k].machine, b[k].machine);
            EXPECT_EQ(a[k].end, b[k].end);
        }
        // The file says how many machines the instance has.
        EXPECT_NE(schedule_file_text(huge, seq).find(std::to_string(INT_MAX)), std::string::npos);
        std::vector<long> many(2);
        std::vector<int> rows(seq);
        rows.insert(rows.end(), seq.begin(), seq.end());
        evaluate_many(huge, rows, seq.size(), find_objective<PARALLEL_MACHINES>("SumCj"), many, 2);
        EXPECT_EQ(many[0], std::get<long>(evaluate(exact, seq, "SumCj")));
        EXPECT_EQ(many[1], many[0]);
    }
}

// ---------------------------------------------------------------------------
// Files
// ---------------------------------------------------------------------------

TEST(ReadFile, RefusesWhatIsNotATextFileAtOnce) {
    const TempDir dir;
    // /dev/zero never ends: the first NUL ends the read.
    Error e = error_of([] { (void)read_text_file("/dev/zero"); });
    EXPECT_EQ(e.kind(), ErrorKind::instance);
    EXPECT_NE(std::string(e.what()).find("'/dev/zero' is not a text file: it holds a NUL byte at offset 0"),
              std::string::npos);
    const std::string binary = dir.write("binary", std::string("[JO\0BS=3]\n", 10));
    e = error_of([&] { (void)read_text_file(binary); });
    EXPECT_NE(std::string(e.what()).find("NUL byte at offset 3"), std::string::npos);
    EXPECT_EQ(read_file(binary).size(), 10u);  // as bytes, it is read
    // The same from the loaders of every layout, for files and for text.
    for (const Layout layout : {Layout::tagged, Layout::taillard, Layout::classic, Layout::machine_rows}) {
        EXPECT_EQ(error_of([&] { (void)load_instance("/dev/zero", std::nullopt, layout); }).kind(),
                  ErrorKind::instance);
    }
    e = error_of([] { (void)load_instance_text(std::string("[JO\0BS=3]", 9), "text", Environment::single); });
    EXPECT_NE(std::string(e.what()).find("'text' is not a text file"), std::string::npos);
}

TEST(ReadFile, TellsWhatTheSystemSaid) {
    const TempDir dir;
    const std::string plain = dir.write("plain", "[JOBS=1]\n[PT=1]\n");
    struct Case {
        std::string path;
        int os_error;
    };
    const std::string loop = dir.path().string() + "/loop";
    std::filesystem::create_symlink(loop, loop);
    const std::vector<Case> cases = {
        {dir.path().string() + "/absent", ENOENT},
        {plain + "/inside", ENOTDIR},
        {dir.path().string(), EISDIR},
        {loop, ELOOP},
        {dir.path().string() + "/" + std::string(300, 'x'), ENAMETOOLONG},
    };
    for (const Case& c : cases) {
        const Error e = error_of([&] { (void)read_file(c.path); });
        EXPECT_EQ(e.kind(), ErrorKind::file) << c.path;
        EXPECT_EQ(e.os_error(), c.os_error) << c.path;
        EXPECT_EQ(e.path(), c.path);
        // A missing file keeps the reporter's code and words.
        EXPECT_EQ(e.code(), c.os_error == ENOENT ? 2 : 999) << c.path;
        if (c.os_error != ENOENT) {
            EXPECT_NE(std::string(e.what()).find(std::strerror(c.os_error)), std::string::npos) << e.what();
        }
    }
    const Error nul = error_of([&] { (void)read_file(plain + std::string("\0garbage", 8)); });
    EXPECT_EQ(nul.kind(), ErrorKind::argument);
    EXPECT_NE(std::string(nul.what()).find("\\0garbage' holds a NUL byte"), std::string::npos) << nul.what();
}

TEST(WriteFile, NeverReplacesWhatIsNotARegularFile) {
    const TempDir dir;
    const std::string base = dir.path().string();
    // A symbolic link stays a link; the file it leads to is written.
    const std::string target = dir.write("target", "old");
    std::filesystem::create_symlink("target", base + "/link");
    write_file_atomically(base + "/link", "new");
    EXPECT_TRUE(std::filesystem::is_symlink(base + "/link"));
    EXPECT_EQ(read_file(target), "new");
    // A link to nothing is refused, and nothing is made.
    std::filesystem::create_symlink("nowhere", base + "/dangling");
    EXPECT_EQ(error_of([&] { write_file_atomically(base + "/dangling", "x"); }).os_error(), ENOENT);
    EXPECT_FALSE(std::filesystem::exists(base + "/nowhere"));
    // A device is written through and stays a device.
    write_file_atomically("/dev/null", "bytes");
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
    EXPECT_EQ(error_of([] { write_file_atomically("/dev/full", "bytes"); }).os_error(), ENOSPC);
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
    // A pipe is written through to its reader.
    const std::string fifo = base + "/fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] {
        std::ifstream in(fifo);
        std::getline(in, received);
    });
    write_file_atomically(fifo, "through the pipe\n");
    reader.join();
    EXPECT_EQ(received, "through the pipe");
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    // A directory is refused.
    EXPECT_EQ(error_of([&] { write_file_atomically(base, "x"); }).os_error(), EISDIR);
    EXPECT_EQ(error_of([&] { write_file_atomically(base + std::string("/a\0b", 4), "x"); }).kind(),
              ErrorKind::argument);
    // Nothing else was left behind: target, link, dangling, fifo.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4);
}

// The new file's mode is 0666 less the umask, and the process's umask is
// never changed on the way: a file another thread makes meanwhile gets the
// umask's mode too.
TEST(WriteFile, LeavesTheUmaskAlone) {
    const TempDir dir;
    const mode_t before = ::umask(022);
    std::atomic<bool> done{false};
    std::atomic<int> wrong{0};
    std::thread other([&] {
        for (int k = 0; !done; ++k) {
            const std::string name = dir.path().string() + "/other" + std::to_string(k % 8);
            ::unlink(name.c_str());
            const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
            if (fd < 0) continue;
            struct stat status {};
            ::fstat(fd, &status);
            if ((status.st_mode & 0777) != 0644) ++wrong;
            ::close(fd);
        }
    });
    const std::string target = dir.path().string() + "/out";
    for (int k = 0; k < 300; ++k) write_file_atomically(target, "x");
    done = true;
    other.join();
    struct stat status {};
    ASSERT_EQ(::stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0644u);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(::umask(before), 022u);
}

TEST(ErrorText, ShowsNulBytesInWhat) {
    const Error e(ErrorKind::argument, 999, std::string("unknown objective 'Cmax\0x'", 26));
    EXPECT_STREQ(e.what(), "unknown objective 'Cmax\\0x'");
    EXPECT_EQ(e.info().size(), 26u);  // the reporter's text is kept as it was
    const Error named = error_of([] { (void)find_objective<FLOWSHOP>(std::string("Cmax\0x", 6)); });
    EXPECT_NE(std::string(named.what()).find("'Cmax\\0x' (known: Cmax, Emax"), std::string::npos) << named.what();
}

}  // namespace
