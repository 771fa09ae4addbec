// The practice driver, run as a process in a directory holding its instance.
#include <string>

#include "test_support.h"

using testing_support::run_process;
using testing_support::TempDir;

namespace {

testing_support::ProcessResult run_driver_on(const TempDir& dir) {
    return run_process("'" ZURUDUDO_PROGRAM "'", dir.path());
}

std::string read_file(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::string summary_ok = "\nLoading test_single_machine.txt completed with 0 errors and 0 warnings.\n";

TEST(Driver, ShippedInstancePrintsTheExampleRun) {
    TempDir dir;
    dir.write("test_single_machine.txt", read_file(ZURUDUDO_SAMPLE));
    const auto run = run_driver_on(dir);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output,
              "[JOBS = 3]\n"
              "DD=(       4,       6,      12)\n"
              "R=(    0,    5,    1)\n"
              "W=(1.000000,2.000000,0.500000)\n"
              "PT=(    3,    2,    4)\n" +
                  summary_ok + "(       3,       7,      11)\n");
}

TEST(Driver, SingleJobWithoutOptionalVectors) {
    TempDir dir;
    dir.write("test_single_machine.txt", "[JOBS=1]\r\n[PT=42]\r\n[R=8]\r\n");
    const auto run = run_driver_on(dir);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output,
              "[JOBS = 1]\n"
              "WARNING: No values for DD are specified in the file test_single_machine.txt. The program can "
              "continue, but it will produce errors if due-date related objectives are computed.\n"
              "R=(    8)\n"
              "WARNING: No values for W are specified in the file test_single_machine.txt. The program can "
              "continue, they will be treated as 1.0.\n"
              "PT=(   42)\n"
              "\nLoading test_single_machine.txt completed with 0 errors and 2 warnings.\n"
              "(      50)\n");
}

TEST(Driver, WithoutReleaseDatesPrintsRunningSums) {
    TempDir dir;
    dir.write("test_single_machine.txt", "[JOBS=4][PT=1,20,300,4000][DD=0,0,0,0][W=1,1,1,1]");
    const auto run = run_driver_on(dir);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("with 0 errors and 1 warnings.\n(       1,      21,     321,    4321)\n"),
              std::string::npos);
}

TEST(Driver, InstanceWithAnErrorStopsWithStatusOne) {
    TempDir dir;
    dir.write("test_single_machine.txt", "[JOBS=3][PT=3,2]");
    const auto run = run_driver_on(dir);
    EXPECT_EQ(run.status, 1);
    const std::string tail =
        "\nLoading test_single_machine.txt completed with 1 errors and 3 warnings.\nThe program cannot continue.\n";
    ASSERT_GE(run.output.size(), tail.size());
    EXPECT_EQ(run.output.substr(run.output.size() - tail.size()), tail);
}

TEST(Driver, MissingInstanceFile) {
    TempDir dir;
    const auto run = run_driver_on(dir);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, "File not found: test_single_machine.txt\n");
}

}  // namespace
