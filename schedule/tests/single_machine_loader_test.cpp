// The single-machine loader: what it accepts, what it echoes and how it fails.
#include <cstdlib>
#include <string>
#include <vector>

#include "schedule/checked.h"
#include "schedule/schedule.h"
#include "test_support.h"

using namespace schedule;
using testing_support::TempDir;

namespace {

struct Loaded {
    SINGLE_MACHINE record{};
    std::string output;
};

// Loads `bytes` from a file called `name`; the instance's vectors are freed by
// the destructor.
class LoaderTest : public testing::Test {
protected:
    ~LoaderTest() override {
        for (auto& l : loaded_) schedule::release(l);
    }

    Loaded load(const std::string& bytes) {
        const std::string path = dir_.write("sm.txt", bytes);
        Loaded result;
        result.output = testing_support::captured_stdout([&] { result.record = load_SINGLE_MACHINE(path.c_str()); });
        loaded_.push_back(result.record);
        return result;
    }

    // The path a file called `name` gets, as the messages print it.
    std::string path(const std::string& name = "sm.txt") const { return (dir_.path() / name).string(); }
    std::string write(const std::string& bytes) const { return dir_.write("sm.txt", bytes); }

    std::string summary(int errors, int warnings) const {
        return "\nLoading " + path() + " completed with " + std::to_string(errors) + " errors and " +
               std::to_string(warnings) + " warnings.\n";
    }
    std::string warning(const char* name, const char* tail) const {
        return std::string("WARNING: No values for ") + name + " are specified in the file " + path() + ". " + tail +
               "\n";
    }
    std::string dd_warning() const {
        return warning("DD", "The program can continue, but it will produce errors if due-date related "
                             "objectives are computed.");
    }
    std::string r_warning() const { return warning("R", "The program can continue, they will be treated as zero."); }
    std::string w_warning() const { return warning("W", "The program can continue, they will be treated as 1.0."); }

    TempDir dir_;
    std::vector<SINGLE_MACHINE> loaded_;
};

const std::string example_echo =
    "[JOBS = 3]\n"
    "DD=(       4,       6,      12)\n"
    "R=(    0,    5,    1)\n"
    "W=(1.000000,2.000000,0.500000)\n"
    "PT=(    3,    2,    4)\n";

TEST_F(LoaderTest, CompleteFileIsEchoedInFixedOrderWhateverTheFileOrder) {
    const Loaded a = load("[JOBS=3]\n[PT=3,2,4]\n[R=0,5,1]\n[DD=4,6,12]\n[W=1,2,0.5]\n");
    EXPECT_EQ(a.output, example_echo + summary(0, 0));
    EXPECT_EQ(a.record.jobs, 3);
    EXPECT_EQ(a.record.machines, 1);
    EXPECT_EQ(std::vector<int>(a.record.pt, a.record.pt + 3), (std::vector<int>{3, 2, 4}));
    EXPECT_EQ(std::vector<long>(a.record.dd, a.record.dd + 3), (std::vector<long>{4, 6, 12}));
    EXPECT_EQ(std::vector<double>(a.record.w, a.record.w + 3), (std::vector<double>{1.0, 2.0, 0.5}));
    EXPECT_EQ(std::vector<int>(a.record.r, a.record.r + 3), (std::vector<int>{0, 5, 1}));

    const Loaded b = load("Instance 7 [W=1,2,0.5][DD=4,6,12] [PT=3,2,4][R=0,5,1]\r\n[JOBS=3][JOBS=8][PT=9,9]");
    EXPECT_EQ(b.output, a.output);
}

TEST_F(LoaderTest, AbsentOptionalVectorsAreWarningsWithDefaults) {
    const Loaded l = load("[JOBS=2][PT=5,6]");
    EXPECT_EQ(l.output, "[JOBS = 2]\n" + dd_warning() + r_warning() + w_warning() + "PT=(    5,    6)\n" + summary(0, 3));
    EXPECT_EQ(l.record.dd, nullptr);
    EXPECT_EQ(std::vector<int>(l.record.r, l.record.r + 2), (std::vector<int>{0, 0}));
    EXPECT_EQ(std::vector<double>(l.record.w, l.record.w + 2), (std::vector<double>{1.0, 1.0}));
}

TEST_F(LoaderTest, ElementsLongerThanThreeCharactersConvertWhole) {
    const Loaded l = load("[JOBS=2][DD=1000,25][R=12345,0][W=0.125,1e2][PT=100000,7]");
    EXPECT_EQ(std::vector<long>(l.record.dd, l.record.dd + 2), (std::vector<long>{1000, 25}));
    EXPECT_EQ(l.record.r[0], 12345);
    EXPECT_EQ(l.record.w[0], 0.125);
    EXPECT_EQ(l.record.w[1], 100.0);
    EXPECT_EQ(l.record.pt[0], 100000);
}

TEST_F(LoaderTest, AnEntryIsReadEvenWhenItsTagFollowsALongHeading) {
    const Loaded l = load(std::string(200, '#') + "\n[JOBS=1][PT=4]");
    EXPECT_EQ(l.record.jobs, 1);
    EXPECT_EQ(l.record.pt[0], 4);
}

TEST_F(LoaderTest, EntriesBeyondTheTwentiethAreReportedAsAWarning) {
    std::string bytes = "[JOBS=1][PT=4]";
    for (int i = 0; i < 21; ++i) bytes += "[NOTE=" + std::to_string(i) + "]";
    const Loaded l = load(bytes);
    EXPECT_EQ(l.output, "WARNING: The file " + path() +
                            " holds more than 20 tag entries; the 3 entries after the 20th are ignored.\n"
                            "[JOBS = 1]\n" +
                            dd_warning() + r_warning() + w_warning() + "PT=(    4)\n" + summary(0, 4));
}

// Failed loads end the process: the expected bytes are compared in a death test.
class LoaderDeathTest : public LoaderTest {
protected:
    void expect_failure(const std::string& bytes, const std::string& expected) {
        const std::string file = write(bytes);
        EXPECT_EXIT(
            {
                testing_support::stdout_to_stderr();
                (void)load_SINGLE_MACHINE(file.c_str());
            },
            testing::ExitedWithCode(1), testing::Eq(expected));
    }
    const std::string stop = "The program cannot continue.\n";
};

TEST_F(LoaderDeathTest, MissingFile) {
    EXPECT_EXIT(
        {
            testing_support::stdout_to_stderr();
            (void)load_SINGLE_MACHINE(path("absent.txt").c_str());
        },
        testing::ExitedWithCode(1), testing::Eq("File not found: " + path("absent.txt") + "\n"));
}

TEST_F(LoaderDeathTest, AbsentJobsReportsEveryVectorAndNeverLooksForPt) {
    // "[JOBS =3]" and "[jobs=3]" carry no JOBS attribute.
    expect_failure("[JOBS =3][jobs=3][DD=1,2][PT=1,2]",
                   "ERROR: The number of JOBS is not specified in the file " + path() +
                       ". The program cannot continue.\n"
                       "ERROR: The size of the vector DD is different than the number of JOBS (JOBS=-1, size of "
                       "DD=2). The program cannot continue.\n" +
                       r_warning() + w_warning() + summary(2, 2) + stop);
}

TEST_F(LoaderDeathTest, JobsBelowOneIsAnError) {
    expect_failure("[JOBS=][PT=1]", "ERROR: The number of JOBS in the file " + path() +
                                        " must be at least 1 (JOBS=0). The program cannot continue.\n" +
                                        dd_warning() + r_warning() + w_warning() + summary(1, 3) + stop);
    expect_failure("[JOBS=-4][R=1][W=2]",
                   "ERROR: The number of JOBS in the file " + path() +
                       " must be at least 1 (JOBS=-4). The program cannot continue.\n" + dd_warning() +
                       "ERROR: The size of the vector R is different than the number of JOBS (JOBS=-4, size of R=1). "
                       "The program cannot continue.\n"
                       "ERROR: The size of the vector W is different than the number of JOBS (JOBS=-4, size of W=1). "
                       "The program cannot continue.\n" +
                       summary(3, 1) + stop);
}

TEST_F(LoaderDeathTest, SizeErrorsAreAllReportedAndPtIsSkippedAfterAnError) {
    expect_failure("[JOBS=2][DD=1,2,3][R=5][W=1,2,][PT=7]",
                   "[JOBS = 2]\n"
                   "ERROR: The size of the vector DD is different than the number of JOBS (JOBS=2, size of DD=3). "
                   "The program cannot continue.\n"
                   "ERROR: The size of the vector R is different than the number of JOBS (JOBS=2, size of R=1). "
                   "The program cannot continue.\n"
                   "ERROR: The size of the vector W is different than the number of JOBS (JOBS=2, size of W=3). "
                   "The program cannot continue.\n" +
                       summary(3, 0) + stop);
}

TEST_F(LoaderDeathTest, PtProblemsAreErrors) {
    expect_failure("[JOBS=2][DD=5,6][R=0,0][W=1,1]",
                   "[JOBS = 2]\nDD=(       5,       6)\nR=(    0,    0)\nW=(1.000000,1.000000)\n" +
                       warning("PT", "The program cannot continue.") + summary(1, 0) + stop);
    expect_failure("[JOBS=2][PT=1,2,3]", "[JOBS = 2]\n" + dd_warning() + r_warning() + w_warning() +
                                             "ERROR: The size of the vector PT is different than the number of JOBS "
                                             "(JOBS=2, size of PT=3). The program cannot continue.\n" +
                                             summary(1, 3) + stop);
    // An entry whose "]" never comes is absent.
    expect_failure("[JOBS=1][PT=4", "[JOBS = 1]\n" + dd_warning() + r_warning() + w_warning() +
                                        warning("PT", "The program cannot continue.") + summary(1, 3) + stop);
}

TEST_F(LoaderDeathTest, AnAttributeWhoseContentWasCutFailsTheLoad) {
    std::string long_dd = "0";
    while (long_dd.size() < 40000) long_dd += ",0";
    expect_failure("[JOBS=2][PT=1,2][DD=" + long_dd + "]",
                   "[JOBS = 2]\nERROR: The content of DD in the file " + path() +
                       " is longer than 32766 characters. The program cannot continue.\n" + r_warning() + w_warning() +
                       summary(1, 2) + stop);
}

}  // namespace
