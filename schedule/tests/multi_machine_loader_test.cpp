// The multi-machine and shop loaders: tag order, echoes, records, and how
// each one fails.
#include <cstddef>
#include <cstdlib>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "schedule/checked.h"
#include "schedule/schedule.h"
#include "test_support.h"

using namespace schedule;
using testing_support::TempDir;

namespace {

// Open shop and flow shop records are interchangeable.
static_assert(sizeof(OPENSHOP) == sizeof(FLOWSHOP));
static_assert(offsetof(OPENSHOP, pt) == offsetof(FLOWSHOP, pt) && offsetof(OPENSHOP, dd) == offsetof(FLOWSHOP, dd) &&
              offsetof(OPENSHOP, w) == offsetof(FLOWSHOP, w) && offsetof(OPENSHOP, r) == offsetof(FLOWSHOP, r));

using Rows = std::vector<std::vector<int>>;
Rows rows_of(int** m, int rows, int cols) {
    Rows out;
    for (int i = 0; i < rows; ++i) out.emplace_back(m[i], m[i] + cols);
    return out;
}
template <class T>
std::vector<T> vec(const T* v, int n) { return std::vector<T>(v, v + n); }

template <class Record>
struct Loaded {
    Record record{};
    std::string output;
};

// The three-job, two-machine instance most cases are built on, and its echo.
const std::string vectors_file = "[DD=4,6,12][R=0,5,1][W=1,2,0.5]";
const std::string counts_echo = "[JOBS = 3]\n[MACHINES = 2]\n";
const std::string vectors_echo = "DD=(       4,       6,      12)\nR=(    0,    5,    1)\nW=(1.000000,2.000000,0.500000)\n";
const std::string pt_matrix_echo = "PT:\n    4    3    5\n    2    6    1\n";

class MultiLoaderTest : public testing::Test {
protected:
    ~MultiLoaderTest() override {
        for (auto& release_one : releases_) release_one();
    }

    std::string write(const std::string& bytes) const { return dir_.write("inst.txt", bytes); }
    std::string path() const { return (dir_.path() / "inst.txt").string(); }

    template <class Record>
    Loaded<Record> load(Record (*loader)(const char*), const std::string& bytes) {
        const std::string file = write(bytes);
        Loaded<Record> l;
        l.output = testing_support::captured_stdout([&] { l.record = loader(file.c_str()); });
        releases_.push_back([r = l.record]() mutable { release(r); });
        return l;
    }

    // A failing load: exactly `expected` on standard output, then status 1.
    template <class Record>
    void expect_failure(Record (*loader)(const char*), const std::string& bytes, const std::string& expected) {
        const std::string file = write(bytes);
        EXPECT_EXIT(
            {
                testing_support::stdout_to_stderr();
                loader(file.c_str());
            },
            testing::ExitedWithCode(1), testing::Eq(expected));
    }
    // The same failure from every loader whose PT is a matrix.
    void expect_matrix_failure(const std::string& bytes, const std::string& expected) {
        expect_failure(load_UNRELATED_MACHINES, bytes, expected);
        expect_failure(load_FLOWSHOP, bytes, expected);
        expect_failure(load_OPENSHOP, bytes, expected);
        expect_failure(load_JOBSHOP, bytes, expected);
    }

    std::string summary(int errors, int warnings) const {
        return "\nLoading " + path() + " completed with " + std::to_string(errors) + " errors and " +
               std::to_string(warnings) + " warnings.\nThe program cannot continue.\n";
    }
    std::string summary_ok(int warnings) const {
        return "\nLoading " + path() + " completed with 0 errors and " + std::to_string(warnings) + " warnings.\n";
    }
    std::string no_values(const char* level, const char* name, const char* tail) const {
        return std::string(level) + ": No values for " + name + " are specified in the file " + path() + ". " + tail + "\n";
    }
    std::string defaults_warnings() const {
        return no_values("WARNING", "DD", "The program can continue, but it will produce errors if due-date related "
                                          "objectives are computed.") +
               no_values("WARNING", "R", "The program can continue, they will be treated as zero.") +
               no_values("WARNING", "W", "The program can continue, they will be treated as 1.0.");
    }
    std::string size_error(const char* name, const char* count, int expected, int size) const {
        return std::string("ERROR: The size of the vector ") + name + " is different than the number of " + count +
               " (" + count + "=" + std::to_string(expected) + ", size of " + name + "=" + std::to_string(size) +
               "). The program cannot continue.\n";
    }
    std::string machines_absent() const {
        return "ERROR: The number of MACHINES is not specified in the file " + path() + ". The program cannot continue.\n";
    }
    std::string machines_below_one(int value) const {
        return "ERROR: The number of MACHINES in the file " + path() + " must be at least 1 (MACHINES=" +
               std::to_string(value) + "). The program cannot continue.\n";
    }

    TempDir dir_;
    std::vector<std::function<void()>> releases_;
};

template <class Record>
void expect_example_vectors(const Record& r) {
    EXPECT_EQ(r.jobs, 3);
    EXPECT_EQ(r.machines, 2);
    EXPECT_EQ(vec(r.dd, 3), (std::vector<long>{4, 6, 12}));
    EXPECT_EQ(vec(r.r, 3), (std::vector<int>{0, 5, 1}));
    EXPECT_EQ(vec(r.w, 3), (std::vector<double>{1.0, 2.0, 0.5}));
}

TEST_F(MultiLoaderTest, MatrixLoadersEchoInTagOrderAndKeepOneRowPerMachine) {
    // Entries in reverse order, a heading, and a line break after the ";".
    const std::string bytes = "Shop 1 [PT=4,3,5;\r\n2,6,1][W=1,2,0.5][R=0,5,1][DD=4,6,12][MACHINES=2][JOBS=3]";
    const std::string expected = counts_echo + vectors_echo + pt_matrix_echo + summary_ok(0);
    const auto u = load(load_UNRELATED_MACHINES, bytes);
    const auto f = load(load_FLOWSHOP, bytes);
    const auto o = load(load_OPENSHOP, bytes);
    for (const std::string* out : {&u.output, &f.output, &o.output}) EXPECT_EQ(*out, expected);
    expect_example_vectors(u.record);
    expect_example_vectors(f.record);
    expect_example_vectors(o.record);
    const Rows pt{{4, 3, 5}, {2, 6, 1}};
    EXPECT_EQ(rows_of(u.record.pt, 2, 3), pt);
    EXPECT_EQ(rows_of(f.record.pt, 2, 3), pt);
    EXPECT_EQ(rows_of(o.record.pt, 2, 3), pt);
}

TEST_F(MultiLoaderTest, OpenShopAndFlowShopReadOneFileAlike) {
    const std::string bytes = "[MACHINES=3][JOBS=2][PT=1,2;3,4;5,6][R=0,7]";
    const auto f = load(load_FLOWSHOP, bytes);
    const auto o = load(load_OPENSHOP, bytes);
    EXPECT_EQ(o.output, f.output);
    EXPECT_EQ(o.output, "[JOBS = 2]\n[MACHINES = 3]\n" +
                            no_values("WARNING", "DD", "The program can continue, but it will produce errors if "
                                                       "due-date related objectives are computed.") +
                            "R=(    0,    7)\n" + no_values("WARNING", "W", "The program can continue, they will be treated as 1.0.") +
                            "PT:\n    1    2\n    3    4\n    5    6\n" + summary_ok(2));
    EXPECT_EQ(rows_of(o.record.pt, 3, 2), rows_of(f.record.pt, 3, 2));
    EXPECT_EQ(rows_of(o.record.pt, 3, 2), (Rows{{1, 2}, {3, 4}, {5, 6}}));
    EXPECT_EQ(vec(o.record.r, 2), vec(f.record.r, 2));
}

TEST_F(MultiLoaderTest, JobShopEchoesPtThenRtAndKeepsRoutingAsRead) {
    const auto j = load(load_JOBSHOP, "[RT=0,1;1,0;0,1][JOBS=3][PT=4,3,5;2,6,1][MACHINES=2]" + vectors_file);
    EXPECT_EQ(j.output, counts_echo + vectors_echo + pt_matrix_echo + "RT:\n    0    1\n    1    0\n    0    1\n" +
                            summary_ok(0));
    expect_example_vectors(j.record);
    EXPECT_EQ(rows_of(j.record.pt, 2, 3), (Rows{{4, 3, 5}, {2, 6, 1}}));
    EXPECT_EQ(rows_of(j.record.rt, 3, 2), (Rows{{0, 1}, {1, 0}, {0, 1}}));

    // Only the shape of the routing is checked: out-of-range and repeated machines load.
    const auto odd = load(load_JOBSHOP, "[JOBS=3][MACHINES=2][PT=4,3,5;2,6,1][RT=7,7;-1,0;1,1]");
    EXPECT_EQ(rows_of(odd.record.rt, 3, 2), (Rows{{7, 7}, {-1, 0}, {1, 1}}));
}

TEST_F(MultiLoaderTest, VectorLoadersEchoInTagOrder) {
    const auto p = load(load_PARALLEL_MACHINES, "[PT=3,2,4][JOBS=3][MACHINES=2]" + vectors_file);
    EXPECT_EQ(p.output, counts_echo + vectors_echo + "PT=(    3,    2,    4)\n" + summary_ok(0));
    expect_example_vectors(p.record);
    EXPECT_EQ(vec(p.record.pt, 3), (std::vector<int>{3, 2, 4}));

    // V comes between DD and R, whatever the file order.
    const auto q = load(load_RELATED_MACHINES, "[PT=3,2,4][JOBS=3][V=1,2][MACHINES=2]" + vectors_file);
    EXPECT_EQ(q.output, counts_echo + "DD=(       4,       6,      12)\nV=(    1,    2)\nR=(    0,    5,    1)\n"
                                      "W=(1.000000,2.000000,0.500000)\nPT=(    3,    2,    4)\n" + summary_ok(0));
    expect_example_vectors(q.record);
    EXPECT_EQ(vec(q.record.v, 2), (std::vector<int>{1, 2}));
    EXPECT_EQ(vec(q.record.pt, 3), (std::vector<int>{3, 2, 4}));
}

TEST_F(MultiLoaderTest, AbsentOptionalVectorsAreWarningsWithDefaults) {
    const auto p = load(load_PARALLEL_MACHINES, "[JOBS=2][MACHINES=3][PT=5,6]");
    EXPECT_EQ(p.output, "[JOBS = 2]\n[MACHINES = 3]\n" + defaults_warnings() + "PT=(    5,    6)\n" + summary_ok(3));
    EXPECT_EQ(p.record.dd, nullptr);
    EXPECT_EQ(vec(p.record.r, 2), (std::vector<int>{0, 0}));
    EXPECT_EQ(vec(p.record.w, 2), (std::vector<double>{1.0, 1.0}));

    // With one machine a PT matrix is a single row, and RT a single column.
    const auto u = load(load_UNRELATED_MACHINES, "[JOBS=2][MACHINES=1][PT=5,6]");
    EXPECT_EQ(u.output, "[JOBS = 2]\n[MACHINES = 1]\n" + defaults_warnings() + "PT:\n    5    6\n" + summary_ok(3));
    EXPECT_EQ(rows_of(u.record.pt, 1, 2), (Rows{{5, 6}}));
    EXPECT_EQ(u.record.dd, nullptr);
    EXPECT_EQ(vec(u.record.r, 2), (std::vector<int>{0, 0}));
    EXPECT_EQ(vec(u.record.w, 2), (std::vector<double>{1.0, 1.0}));

    const auto j = load(load_JOBSHOP, "[JOBS=2][MACHINES=1][PT=5,6][RT=0;0]");
    EXPECT_EQ(j.output, "[JOBS = 2]\n[MACHINES = 1]\n" + defaults_warnings() + "PT:\n    5    6\nRT:\n    0\n    0\n" +
                            summary_ok(3));
    EXPECT_EQ(rows_of(j.record.rt, 2, 1), (Rows{{0}, {0}}));
}

using MultiLoaderDeathTest = MultiLoaderTest;

TEST_F(MultiLoaderDeathTest, PtMatrixShapeAndAbsenceAreErrorsAndRtIsNotLookedUp) {
    // Every file also holds a valid RT: the job shop never reaches it.
    const std::string head = "[JOBS=3][MACHINES=2][RT=0,1;1,0;0,1]";
    const std::string echo = counts_echo + defaults_warnings();
    expect_matrix_failure(head + "[PT=4,3,5;2,6,1;]",
                          echo + "ERROR: The number of rows of matrix PT is different than the number of MACHINES -- "
                                 "each row must end with a ;). The program cannot continue.\n" + summary(1, 3));
    expect_matrix_failure(head + "[PT=4,3;2,6,1]",
                          echo + "ERROR:The no. of elements in some row in PT is different than the number of JOBS. "
                                 "The program cannot continue.\n" + summary(1, 3));
    expect_matrix_failure(head, echo + no_values("ERROR", "PT", "The program cannot continue.") + summary(1, 3));
    // One machine: a ";" adds a second row.
    expect_failure(load_FLOWSHOP, "[JOBS=2][MACHINES=1][PT=5,6;]",
                   "[JOBS = 2]\n[MACHINES = 1]\n" + defaults_warnings() +
                       "ERROR: The number of rows of matrix PT is different than the number of MACHINES -- "
                       "each row must end with a ;). The program cannot continue.\n" + summary(1, 3));
}

TEST_F(MultiLoaderDeathTest, PtVectorAbsenceAndSizeAreErrors) {
    const std::string absent = no_values("WARNING", "PT", "The program cannot continue.");
    expect_failure(load_PARALLEL_MACHINES, "[JOBS=3][MACHINES=2]" + vectors_file,
                   counts_echo + vectors_echo + absent + summary(1, 0));
    expect_failure(load_RELATED_MACHINES, "[JOBS=3][MACHINES=2][V=1,2]" + vectors_file,
                   counts_echo + "DD=(       4,       6,      12)\nV=(    1,    2)\nR=(    0,    5,    1)\n"
                                 "W=(1.000000,2.000000,0.500000)\n" + absent + summary(1, 0));
    expect_failure(load_PARALLEL_MACHINES, "[JOBS=3][MACHINES=2][PT=1,2]",
                   counts_echo + defaults_warnings() + size_error("PT", "JOBS", 3, 2) + summary(1, 3));
}

TEST_F(MultiLoaderDeathTest, RtShapeAndAbsenceAreErrorsAfterTheEchoedPt) {
    const std::string head = "[JOBS=3][MACHINES=2][PT=4,3,5;2,6,1]";
    const std::string echo = counts_echo + defaults_warnings() + pt_matrix_echo;
    expect_failure(load_JOBSHOP, head + "[RT=0,1;1,0]",
                   echo + "ERROR: The number of rows of matrix RT is different than the number of JOBS -- each row "
                          "must end with a ;). The program cannot continue.\n" + summary(1, 3));
    expect_failure(load_JOBSHOP, head + "[RT=0,1;1,0;0,1;]",
                   echo + "ERROR: The number of rows of matrix RT is different than the number of JOBS -- each row "
                          "must end with a ;). The program cannot continue.\n" + summary(1, 3));
    expect_failure(load_JOBSHOP, head + "[RT=0,1;1;0,1]",
                   echo + "ERROR:The no. of elements in some row in RT is different than the number of MACHINES. "
                          "The program cannot continue.\n" + summary(1, 3));
    expect_failure(load_JOBSHOP, head, echo + no_values("ERROR", "RT", "The program cannot continue.") + summary(1, 3));
}

TEST_F(MultiLoaderDeathTest, RelatedMachinesNeedOneSpeedPerMachine) {
    // Absent V is an error even though its line says WARNING; the valid PT is then skipped.
    expect_failure(load_RELATED_MACHINES, "[JOBS=3][MACHINES=2][PT=3,2,4]" + vectors_file,
                   counts_echo + "DD=(       4,       6,      12)\n" +
                       no_values("WARNING", "V", "The program cannot continue.") +
                       "R=(    0,    5,    1)\nW=(1.000000,2.000000,0.500000)\n" + summary(1, 0));
    expect_failure(load_RELATED_MACHINES, "[JOBS=3][MACHINES=2][V=1,2,3][PT=3,2,4]",
                   counts_echo + no_values("WARNING", "DD", "The program can continue, but it will produce errors if "
                                                            "due-date related objectives are computed.") +
                       size_error("V", "MACHINES", 2, 3) +
                       no_values("WARNING", "R", "The program can continue, they will be treated as zero.") +
                       no_values("WARNING", "W", "The program can continue, they will be treated as 1.0.") + summary(1, 3));
    // Without MACHINES any V is compared against −1.
    expect_failure(load_RELATED_MACHINES, "[JOBS=3][V=1,2][PT=3,2,4]" + vectors_file,
                   "[JOBS = 3]\n" + machines_absent() + "DD=(       4,       6,      12)\n" + size_error("V", "MACHINES", -1, 2) +
                       "R=(    0,    5,    1)\nW=(1.000000,2.000000,0.500000)\n" + summary(2, 0));
}

TEST_F(MultiLoaderDeathTest, MachinesAbsentOrBelowOneIsAnErrorAndPtIsSkipped) {
    const std::string jobs_echo = "[JOBS = 3]\n";
    const std::string tail = vectors_echo + summary(1, 0);
    expect_failure(load_PARALLEL_MACHINES, "[JOBS=3][PT=3,2,4]" + vectors_file, jobs_echo + machines_absent() + tail);
    expect_failure(load_UNRELATED_MACHINES, "[JOBS=3][MACHINES=-1][PT=1,2,3]" + vectors_file,
                   jobs_echo + machines_absent() + tail);
    expect_failure(load_FLOWSHOP, "[JOBS=3][MACHINES=0][PT=1,2,3]" + vectors_file, jobs_echo + machines_below_one(0) + tail);
    expect_failure(load_OPENSHOP, "[JOBS=3][MACHINES=]" + vectors_file, jobs_echo + machines_below_one(0) + tail);
    expect_failure(load_JOBSHOP, "[JOBS=3][MACHINES=-2][PT=1,2,3][RT=0;0;0]" + vectors_file,
                   jobs_echo + machines_below_one(-2) + tail);
    expect_failure(load_RELATED_MACHINES, "[JOBS=3][MACHINES=0][V=][PT=3,2,4]" + vectors_file,
                   jobs_echo + machines_below_one(0) + "DD=(       4,       6,      12)\n" + size_error("V", "MACHINES", 0, 1) +
                       "R=(    0,    5,    1)\nW=(1.000000,2.000000,0.500000)\n" + summary(2, 0));
}

TEST_F(MultiLoaderDeathTest, ErrorsInSeveralAttributesAreReportedTogether) {
    const std::string jobs_absent =
        "ERROR: The number of JOBS is not specified in the file " + path() + ". The program cannot continue.\n";
    expect_failure(load_UNRELATED_MACHINES, "[MACHINES=2][DD=1,2][R=1,2,3,4][W=1][PT=1,2;3,4]",
                   jobs_absent + "[MACHINES = 2]\n" + size_error("DD", "JOBS", -1, 2) + size_error("R", "JOBS", -1, 4) +
                       size_error("W", "JOBS", -1, 1) + summary(4, 0));
    expect_failure(load_JOBSHOP, "[JOBS=2][MACHINES=0][DD=1][R=0,0][W=1,1,1][PT=1,2][RT=0;0]",
                   "[JOBS = 2]\n" + machines_below_one(0) + size_error("DD", "JOBS", 2, 1) + "R=(    0,    0)\n" +
                       size_error("W", "JOBS", 2, 3) + summary(3, 0));
}

}  // namespace
