// Plain-format readers: job-shop and processing-time files, their echoes and
// parameter files.
#include <cstdlib>
#include <string>
#include <vector>

#include "schedule/schedule.h"
#include "test_support.h"

using namespace schedule;
using testing_support::captured_stdout;
using testing_support::stdout_to_stderr;
using testing_support::TempDir;

namespace {

using Rows = std::vector<std::vector<int>>;

Rows rows_of(int** m, int rows, int cols) {
    Rows out;
    for (int i = 0; i < rows; ++i) out.emplace_back(m[i], m[i] + cols);
    return out;
}

// Everything a reader hands over, released when the test is done with it.
struct Read {
    int jobs = -1;
    int machs = -1;
    int** pt = nullptr;
    int** rm = nullptr;
    long* dd = nullptr;
    int* am = nullptr;
    std::string output;

    Read() = default;
    Read(const Read&) = delete;
    Read& operator=(const Read&) = delete;
    ~Read() {
        if (pt != nullptr) free_mat_int(pt, machs);
        if (rm != nullptr) free_mat_int(rm, jobs);
        std::free(dd);
        std::free(am);
    }

    Rows times() const { return rows_of(pt, machs, jobs); }
    Rows routing() const { return rows_of(rm, jobs, machs); }
    std::vector<long> due_dates() const { return {dd, dd + jobs}; }
};

// Two jobs on three machines: job 0 visits machines 2, 0, 1 for 5, 6, 7;
// job 1 visits 0, 1, 2 for 1, 2, 3.
const char* const kJobRows = "2 5 0 6 1 7\n0 1 1 2 2 3\n";
const Rows kRouting = {{2, 0, 1}, {0, 1, 2}};
const Rows kTimesByOperation = {{5, 1}, {6, 2}, {7, 3}};
const Rows kTimesByMachine = {{6, 1}, {7, 2}, {5, 3}};

class PlainReaders : public testing::Test {
protected:
    std::string file(const std::string& bytes, const std::string& name = "instance.txt") {
        return dir_.write(name, bytes);
    }

    void js(const std::string& bytes, Read& r, int print_flag = 0) {
        const std::string path = file(bytes);
        r.output = captured_stdout([&] { loadJSData(path.c_str(), &r.jobs, &r.machs, &r.pt, &r.rm, print_flag); });
    }
    void js_dd(const std::string& bytes, int descr, Read& r, int print_flag = 0) {
        const std::string path = file(bytes);
        r.output = captured_stdout(
            [&] { loadJS_DD_Data(path.c_str(), descr, &r.jobs, &r.machs, &r.pt, &r.rm, &r.dd, print_flag); });
    }
    void zorvane(const std::string& bytes, int descr, Read& r, int print_flag = 0) {
        const std::string path = file(bytes);
        r.output = captured_stdout([&] {
            loadJS_DD_Data_Zorvane(path.c_str(), descr, &r.jobs, &r.machs, &r.pt, &r.rm, &r.dd, print_flag);
        });
    }
    void mm(const std::string& bytes, Read& r, int print_flag = 0) {
        const std::string path = file(bytes);
        r.output = captured_stdout(
            [&] { loadJS_MM_Data(path.c_str(), &r.jobs, &r.machs, &r.pt, &r.rm, &r.am, print_flag); });
    }
    using TimesReader = int** (*)(const char*, int*, int*, int);
    using TimesReaderDD = int** (*)(const char*, int*, int*, long**, int);
    void times(TimesReader reader, const std::string& bytes, Read& r, int print_flag = 0) {
        const std::string path = file(bytes);
        r.output = captured_stdout([&] { r.pt = reader(path.c_str(), &r.jobs, &r.machs, print_flag); });
    }
    void times(TimesReaderDD reader, const std::string& bytes, Read& r, int print_flag = 0) {
        const std::string path = file(bytes);
        r.output = captured_stdout([&] { r.pt = reader(path.c_str(), &r.jobs, &r.machs, &r.dd, print_flag); });
    }

    std::string instance_line(int n, int m) const {
        return "Instance " + path() + " - n: " + std::to_string(n) + "    m: " + std::to_string(m) + "\n";
    }
    std::string path() const { return (dir_.path() / "instance.txt").string(); }

    TempDir dir_;
};

using PlainReadersDeathTest = PlainReaders;

// ---------------------------------------------------------------------------
// Job-shop readers
// ---------------------------------------------------------------------------

TEST_F(PlainReaders, JobShopTimesFollowTheOperationOrder) {
    Read r;
    js(std::string("Two jobs on three machines\n2 3\n") + kJobRows, r);
    EXPECT_EQ(r.jobs, 2);
    EXPECT_EQ(r.machs, 3);
    EXPECT_EQ(r.routing(), kRouting);
    EXPECT_EQ(r.times(), kTimesByOperation);
    EXPECT_EQ(r.output, "");
}

TEST_F(PlainReaders, MachineIndexedReaderStoresTimesByMachine) {
    Read r;
    mm(std::string("Machine-indexed\n3 2 3\n0 1\n0 2\n0 1\n") + kJobRows, r);
    EXPECT_EQ(r.jobs, 2);
    EXPECT_EQ(r.machs, 3);
    EXPECT_EQ(std::vector<int>(r.am, r.am + 3), (std::vector<int>{1, 2, 1}));
    EXPECT_EQ(r.routing(), kRouting);
    EXPECT_EQ(r.times(), kTimesByMachine);
}

TEST_F(PlainReaders, LineStructureOfTheNumbersDoesNotMatter) {
    const std::vector<std::string> numbers = {"2", "3", "2", "5", "0", "6", "1", "7", "0", "1", "1", "2", "2", "3"};
    for (const char* separator : {" ", "\n", "\t\r\n  "}) {
        std::string bytes = "Layout\n";
        for (const auto& n : numbers) bytes += n + separator;
        Read r;
        js(bytes, r);
        EXPECT_EQ(r.routing(), kRouting);
        EXPECT_EQ(r.times(), kTimesByOperation);
    }
}

TEST_F(PlainReaders, DescriptionFlagDecidesWhereNumbersStart) {
    Read with;
    js_dd("Due dates\n2 3\n2 5 0 6 1 7 30\n0 1 1 2 2 3 12\n", 1, with);
    EXPECT_EQ(with.times(), kTimesByOperation);
    EXPECT_EQ(with.due_dates(), (std::vector<long>{30, 12}));

    Read without;
    js_dd("2 3\n2 5 0 6 1 7 30\n0 1 1 2 2 3 12\n", 0, without);
    EXPECT_EQ(without.routing(), kRouting);
    EXPECT_EQ(without.due_dates(), (std::vector<long>{30, 12}));

    // Expecting a description that is not there swallows the header line.
    Read swallowed;
    js_dd("2 3\n2 5 0 6 1 7 30\n0 1 1 2 2 3 12\n", 1, swallowed, 1);
    EXPECT_EQ(swallowed.jobs, 2);
    EXPECT_EQ(swallowed.machs, 5);
    EXPECT_EQ(swallowed.output.substr(0, instance_line(2, 5).size() + 5), instance_line(2, 5) + "2 3\n\n");
}

TEST_F(PlainReaders, ZorvaneSkipsTheFirstNonBlankLineAfterTheJobs) {
    const std::string body = std::string("2 3\n") + kJobRows + "\n   \n9 9 9 9 9 9 9 9\n1 40 2 3\n4 50 5 6\n";
    Read r;
    zorvane("Zorvane\n" + body, 1, r);
    EXPECT_EQ(r.times(), kTimesByOperation);
    EXPECT_EQ(r.routing(), kRouting);
    EXPECT_EQ(r.due_dates(), (std::vector<long>{40, 50}));

    Read no_description;
    zorvane(body, 0, no_description);
    EXPECT_EQ(no_description.due_dates(), (std::vector<long>{40, 50}));
}

TEST_F(PlainReaders, LongDescriptionIsCutAndTheRestOfItsLineSkipped) {
    const std::string line(250, 'x');
    Read r;
    js(line + "\n2 3\n" + kJobRows, r, 1);
    EXPECT_EQ(r.times(), kTimesByOperation);
    EXPECT_EQ(r.output.substr(0, instance_line(2, 3).size() + 200),
              instance_line(2, 3) + std::string(198, 'x') + "\n\n");
}

TEST_F(PlainReaders, ReadsStopAtTheEndOfTheFile) {
    Read title_only;
    js("only a title", title_only, 1);
    EXPECT_EQ(title_only.jobs, 0);
    EXPECT_EQ(title_only.machs, 0);
    EXPECT_EQ(title_only.output,
              instance_line(0, 0) + "only a title\n\nProcessing times matrix:\nRouting matrix:\n");

    // Numbers past the end read as 0.
    Read short_file;
    js("T\n2 2\n0 5 1", short_file);
    EXPECT_EQ(short_file.routing(), (Rows{{0, 1}, {0, 0}}));
    EXPECT_EQ(short_file.times(), (Rows{{5, 0}, {0, 0}}));

    Read no_skipped_line;
    zorvane("Z\n1 1\n0 5\n", 1, no_skipped_line);
    EXPECT_EQ(no_skipped_line.due_dates(), std::vector<long>{0});
}

TEST_F(PlainReaders, JobShopEchoes) {
    const std::string matrices =
        "Processing times matrix:\n    5    1\n    6    2\n    7    3\n"
        "Routing matrix:\n    2    0    1\n    0    1    2\n";
    Read r;
    js(std::string("Two jobs\r\n2 3\r\n") + kJobRows, r, 1);
    EXPECT_EQ(r.output, instance_line(2, 3) + "Two jobs\n\n" + matrices);
    for (int quiet : {0, 2}) {
        Read q;
        js(std::string("Two jobs\n2 3\n") + kJobRows, q, quiet);
        EXPECT_EQ(q.output, "");
    }

    Read dd;
    js_dd("2 3\n2 5 0 6 1 7 30\n0 1 1 2 2 3 12\n", 0, dd, 1);
    EXPECT_EQ(dd.output, instance_line(2, 3) + matrices + "Due dates:\n(      30,      12)\n");

    Read z;
    zorvane(std::string("Z\n2 3\n") + kJobRows + "skip\n0 40 0 0 0 50 0 0\n", 1, z, 1);
    EXPECT_EQ(z.output, instance_line(2, 3) + "Z\n\n" + matrices + "Due dates:\n(      40,      50)\n");

    Read m;
    mm(std::string("Machine-indexed\n3 2 3\n0 1\n0 2\n0 1\n") + kJobRows, m, 1);
    EXPECT_EQ(m.output, "Instance " + path() + " - n: 2    m: 3  ops_per_job: 3\nMachine-indexed\n\n"
                        "No. of available machines:\n(    1,    2,    1)\n"
                        "Processing times matrix:\n    6    1\n    7    2\n    5    3\n"
                        "Routing matrix:\n    2    0    1\n    0    1    2\n");
}

TEST_F(PlainReaders, MachineIndexedEntriesNoPairAddressesAreZero) {
    Read r;
    mm("Repeated machine\n3 1 3\n0 1 0 1 0 1\n0 4 0 5 1 6\n", r);
    EXPECT_EQ(r.times(), (Rows{{5}, {6}, {0}}));
}

TEST_F(PlainReadersDeathTest, MachineIndexedRoutingOutsideTheMachinesEndsTheProcess) {
    const char* message = "Other error(s): \nError in loadJS_MM_Data() - Machine number out of range\n";
    for (const char* bad : {"3", "-1"}) {
        const std::string path = file(std::string("Bad\n3 1 3\n0 1 0 1 0 1\n0 4 ") + bad + " 5 1 6\n");
        EXPECT_EXIT(
            {
                stdout_to_stderr();
                int jobs;
                int machs;
                int** pt;
                int** rm;
                int* am;
                loadJS_MM_Data(path.c_str(), &jobs, &machs, &pt, &rm, &am, 1);
            },
            testing::ExitedWithCode(1), testing::Eq(message));
    }
}

// ---------------------------------------------------------------------------
// Processing-time readers
// ---------------------------------------------------------------------------

const Rows kTimes = {{1, 2, 3}, {4, 5, 6}};

TEST_F(PlainReaders, MachineRowsAndJobRowsGiveTheSameMatrix) {
    Read m;
    times(loadPTimes_mrows, "2 3\n1 2 3\n4 5 6\n", m);
    EXPECT_EQ(m.jobs, 3);
    EXPECT_EQ(m.machs, 2);
    EXPECT_EQ(m.times(), kTimes);
    Read mdd;
    times(loadPTimes_mrowsDD, "2 3\n1 2 3\n4 5 6\n10 20 30\n", mdd);
    EXPECT_EQ(mdd.times(), kTimes);
    EXPECT_EQ(mdd.due_dates(), (std::vector<long>{10, 20, 30}));
    Read n;
    times(loadPTimes_nrows, "2 3\n1 4\n2 5\n3 6\n", n);
    EXPECT_EQ(n.times(), kTimes);
    Read ndd;
    times(loadPTimes_nrowsDD, "2 3 1 4 10 2 5 20 3 6 30", ndd);
    EXPECT_EQ(ndd.times(), kTimes);
    EXPECT_EQ(ndd.due_dates(), (std::vector<long>{10, 20, 30}));
}

TEST_F(PlainReaders, ElementsAreAtMostTenCharacters) {
    Read digits;
    times(loadPTimes_mrows, "1 3\n12345678901 7\n", digits);
    EXPECT_EQ(digits.times(), (Rows{{1234567890, 1, 7}}));
    Read signed_element;
    times(loadPTimes_mrows, "1 3\n-1234567890 5\n", signed_element);
    EXPECT_EQ(signed_element.times(), (Rows{{-123456789, 0, 5}}));
}

TEST_F(PlainReaders, ProcessingTimeEchoes) {
    const std::string matrix = "    1    2    3\n    4    5    6\n";
    const std::string heading = "Processing times (p[i][j]:= proc. time on machine i of job j):\n";
    const std::string due = "Due dates: (      10,      20,      30)\n";
    for (int flag : {0, 1}) {
        SCOPED_TRACE(flag);
        const bool echo = flag == 1;
        Read m;
        times(loadPTimes_mrows, "2 3\n1 2 3\n4 5 6\n", m, flag);
        EXPECT_EQ(m.output, instance_line(3, 2) + (echo ? heading + matrix : ""));
        Read mdd;
        times(loadPTimes_mrowsDD, "2 3\n1 2 3\n4 5 6\n10 20 30\n", mdd, flag);
        EXPECT_EQ(mdd.output, instance_line(3, 2) + (echo ? heading + matrix + due : ""));
        Read n;
        times(loadPTimes_nrows, "2 3\n1 4\n2 5\n3 6\n", n, flag);
        EXPECT_EQ(n.output, instance_line(3, 2) + (echo ? matrix : ""));
        Read ndd;
        times(loadPTimes_nrowsDD, "2 3\n1 4 10\n2 5 20\n3 6 30\n", ndd, flag);
        EXPECT_EQ(ndd.output, instance_line(3, 2) + (echo ? due + "Processing times:\n" + matrix : ""));
    }
}

TEST_F(PlainReadersDeathTest, MissingFileEndsTheProcess) {
    const std::string missing = (dir_.path() / "absent.txt").string();
    const std::string message = "File not found: " + missing + "\n";
    int jobs;
    int machs;
    EXPECT_EXIT({ stdout_to_stderr(); (void)loadPTimes_nrows(missing.c_str(), &jobs, &machs, 1); },
                testing::ExitedWithCode(1), testing::Eq(message));
    EXPECT_EXIT(
        {
            stdout_to_stderr();
            int** pt;
            int** rm;
            loadJSData(missing.c_str(), &jobs, &machs, &pt, &rm, 1);
        },
        testing::ExitedWithCode(1), testing::Eq(message));
    EXPECT_EXIT({ stdout_to_stderr(); read_parfile_int(missing.c_str(), 1); }, testing::ExitedWithCode(1),
                testing::Eq(message));
}

// ---------------------------------------------------------------------------
// Parameter files
// ---------------------------------------------------------------------------

TEST_F(PlainReaders, ParameterRows) {
    const std::string params = file("jobs: 20\nmachines: 5\nseed:-7\n", "params.txt");
    EXPECT_EQ(read_parfile_int(params.c_str(), 1), 20);
    EXPECT_EQ(read_parfile_int(params.c_str(), 2), 5);
    EXPECT_EQ(read_parfile_int(params.c_str(), 3), -7);
    EXPECT_EQ(read_parfile_int(params.c_str(), 4), 0);    // the file ends first
    EXPECT_EQ(read_parfile_int(params.c_str(), 100), 0);

    EXPECT_EQ(read_parfile_int(file("a: 7", "p1.txt").c_str(), 1), 7);
    EXPECT_EQ(read_parfile_int(file("a: x 7", "p2.txt").c_str(), 1), 0);
    EXPECT_EQ(read_parfile_int(file("", "p3.txt").c_str(), 1), 0);
    EXPECT_EQ(read_parfile_int(file("", "p4.txt").c_str(), 0), 0);
}

TEST_F(PlainReaders, ParameterRowZeroReadsAfterTheFirstCharacter) {
    EXPECT_EQ(read_parfile_int(file("12", "p1.txt").c_str(), 0), 2);
    EXPECT_EQ(read_parfile_int(file(":5", "p2.txt").c_str(), -3), 5);
    EXPECT_EQ(read_parfile_int(file("jobs: 20", "p3.txt").c_str(), 0), 0);
}

}  // namespace
