// The example heuristics, run as processes on the instances shipped with them;
// their results are checked against the library and against the rules they
// claim to follow.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "schedule/checked.h"
#include "schedule/schedule.h"
#include "test_support.h"

namespace {

using namespace schedule;
using testing_support::captured_stdout;
using testing_support::run_process;
using testing_support::TempDir;

const std::string data = EXAMPLES_DIR "/data/";

std::string text_of(const std::filesystem::path& path) {
    std::ifstream file(path);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// The rest of the line of `output` that begins with `label`, or "" (and a
// failure) when there is none.
std::string after(const std::string& output, const std::string& label) {
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(label, 0) == 0) return line.substr(label.size());
    ADD_FAILURE() << "no line \"" << label << "\" in\n" << output;
    return "";
}

std::vector<int> numbers(const std::string& text) {
    std::istringstream in(text);
    std::vector<int> v;
    for (int x; in >> x;) v.push_back(x);
    return v;
}

bool is_permutation_of_jobs(std::vector<int> seq, int jobs) {
    std::vector<int> all(jobs);
    std::iota(all.begin(), all.end(), 0);
    std::sort(seq.begin(), seq.end());
    return seq == all;
}

// The flow-shop instance of the NEH example, read as the example reads it.
struct Instance {
    int jobs = 0, machines = 0;
    int** pt = nullptr;
    Instance() {
        captured_stdout([&] { pt = loadPTimes_mrows((data + "flow_shop_20x5.txt").c_str(), &jobs, &machines, 0); });
    }
    ~Instance() { free_mat_int(pt, machines); }
};

TEST(NehExample, BuildsTheSequenceOfBestInsertionsFromScratch) {
    TempDir dir;
    const auto run = run_process("'" NEH_PROGRAM "' '" + data + "flow_shop_20x5.txt'", dir.path());
    ASSERT_EQ(run.status, 0) << run.output;
    const Instance in;
    ASSERT_EQ(in.jobs, 20);
    ASSERT_EQ(in.machines, 5);
    EXPECT_EQ(run.output.rfind("Instance " + data + "flow_shop_20x5.txt - n: 20    m: 5\n", 0), 0u);

    // NEH again, each insertion evaluated whole.
    int* order = sortPT(in.jobs, in.machines, in.pt, 'D');
    EXPECT_EQ(numbers(after(run.output, "by decreasing total time:")), std::vector<int>(order, order + in.jobs));
    std::vector<int> seq;
    for (int k = 0; k < in.jobs; ++k) {
        long best_value = 0;
        std::size_t best = 0;
        for (std::size_t l = 0; l <= seq.size(); ++l) {
            std::vector<int> whole(seq);
            whole.insert(whole.begin() + static_cast<long>(l), order[k]);
            const long value = Fm_Prmu_Cmax(whole.data(), static_cast<int>(whole.size()), in.machines, in.pt);
            if (l == 0 || value < best_value) best_value = value, best = l;
        }
        seq.insert(seq.begin() + static_cast<long>(best), order[k]);
    }
    std::free(order);
    EXPECT_EQ(numbers(after(run.output, "NEH sequence:")), seq);
    EXPECT_EQ(std::stol(after(run.output, "makespan:")), Fm_Prmu_Cmax(seq.data(), in.jobs, in.machines, in.pt));
    EXPECT_LE(std::stol(after(run.output, "makespan:")), std::stol(after(run.output, "makespan in that order:")));
}

TEST(TardinessSearchExample, ImprovesOnTheDueDateOrderAndReportsTrueValues) {
    TempDir dir;
    const std::string file = data + "single_machine_20.txt";
    const auto run = run_process("'" TARDINESS_SEARCH_PROGRAM "' '" + file + "' 7", dir.path());
    ASSERT_EQ(run.status, 0) << run.output;
    SINGLE_MACHINE in{};
    captured_stdout([&] { in = load_SINGLE_MACHINE(file.c_str()); });

    int* edd = ordered_sequence_VECTOR_LONG(in.dd, in.jobs, 'A');
    double previous = 0;
    bool first = true;
    for (const char* label : {"earliest due date: ", "after API: ", "after GPI: "}) {
        const std::string line = after(run.output, label);
        const double printed = std::stod(line);
        const std::vector<int> seq = numbers(line.substr(line.find("sequence") + 8));
        ASSERT_TRUE(is_permutation_of_jobs(seq, in.jobs)) << line;
        char value[64];
        std::snprintf(value, sizeof value, "%.2f", S1_Rj_Wj_SumTj(seq.data(), in));
        EXPECT_EQ(line.substr(0, line.find(',')), value) << label;
        if (first) {
            EXPECT_EQ(seq, std::vector<int>(edd, edd + in.jobs));
        } else {
            EXPECT_LE(printed, previous) << label;
        }
        previous = printed;
        first = false;
    }
    std::free(edd);
    schedule::release(in);

    // The same seed gives the same search.
    EXPECT_EQ(run_process("'" TARDINESS_SEARCH_PROGRAM "' '" + file + "' 7", dir.path()).output, run.output);
}

TEST(Examples, RefuseBadUsageAndInstancesTheyCannotWorkOn) {
    TempDir dir;
    dir.write("no_due_dates.txt", "[JOBS=2]\n[PT=3,4]\n");
    const auto no_due_dates =
        run_process("'" TARDINESS_SEARCH_PROGRAM "' no_due_dates.txt 2>&1 >/dev/null", dir.path());
    EXPECT_EQ(no_due_dates.status, 1);
    EXPECT_EQ(no_due_dates.output, "tardiness_search: no_due_dates.txt has no due dates\n");
    EXPECT_EQ(run_process("'" TARDINESS_SEARCH_PROGRAM "' 2>/dev/null", dir.path()).status, 2);
    EXPECT_EQ(run_process("'" NEH_PROGRAM "' 2>/dev/null", dir.path()).status, 2);
    EXPECT_EQ(run_process("'" SPT_DISPATCH_PROGRAM "' only_one 2>/dev/null", dir.path()).status, 2);
    dir.write("routing.txt", "[JOBS=2][MACHINES=2][PT=5,2;1,3][RT=0,1;2,0]");
    const auto routing = run_process("'" SPT_DISPATCH_PROGRAM "' routing.txt out.sched 2>&1 >/dev/null", dir.path());
    EXPECT_EQ(routing.status, 1);
    EXPECT_EQ(routing.output, "spt_dispatch: operation 0 of job 1 is on machine 2, not one of 0 … 1\n");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "out.sched"));
}

TEST(SptDispatchExample, PlacesTheShortestOfTheEarliestOperations) {
    TempDir dir;
    // Both jobs start on machine 0; job 1 is shorter there, then its
    // machine-1 operation (3) and job 0's machine-0 one (5) can both start at
    // 2: job 1 again. Job 0 ends on machine 1 at 8.
    const std::string both = dir.write("both.txt", "[JOBS=2][MACHINES=2][PT=5,2;1,3][RT=0,1;0,1]");
    auto run = run_process("'" SPT_DISPATCH_PROGRAM "' both.txt both.sched", dir.path());
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(after(run.output, "operation sequence:"), " 1 1 0 0");
    EXPECT_EQ(after(run.output, "makespan:"), " 8");
    EXPECT_EQ(after(run.output, "schedule written to "), "both.sched");

    // Released at 4, job 1 cannot start first: only job 0 is among the
    // earliest, however long it is.
    const std::string late = dir.write("late.txt", "[JOBS=2][MACHINES=2][R=0,4][PT=5,2;1,3][RT=0,1;0,1]");
    run = run_process("'" SPT_DISPATCH_PROGRAM "' late.txt late.sched", dir.path());
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(after(run.output, "operation sequence:"), " 0 0 1 1");
    EXPECT_EQ(after(run.output, "makespan:"), " 10");
}

TEST(SptDispatchExample, ShippedJobShopIsEvaluatedAndWrittenByTheLibrary) {
    TempDir dir;
    const std::string file = data + "job_shop_6x4.txt";
    const auto run = run_process("'" SPT_DISPATCH_PROGRAM "' '" + file + "' spt.sched", dir.path());
    ASSERT_EQ(run.status, 0) << run.output;
    JOBSHOP in{};
    captured_stdout([&] { in = load_JOBSHOP(file.c_str()); });
    const std::vector<int> seq_ops = numbers(after(run.output, "operation sequence:"));
    ASSERT_EQ(seq_ops.size(), 24u);
    for (int j = 0; j < in.jobs; ++j) EXPECT_EQ(std::count(seq_ops.begin(), seq_ops.end(), j), in.machines) << j;
    EXPECT_EQ(std::stol(after(run.output, "makespan:")), Jm_Rj_Cmax(seq_ops.data(), in));

    // The file is the library's schedule of that sequence, and it ends at
    // the makespan.
    captured_stdout([&] { Jm_Rj_GenSchedule(seq_ops.data(), in, (dir.path() / "library.sched").c_str()); });
    std::ifstream written(dir.path() / "spt.sched"), library(dir.path() / "library.sched");
    std::stringstream a, b;
    a << written.rdbuf();
    b << library.rdbuf();
    EXPECT_EQ(a.str(), b.str());
    std::string triples = after(a.str(), "[SCHEDULE_DATA=");  // machine,start,duration groups
    triples.pop_back();
    std::replace(triples.begin(), triples.end(), ';', ' ');
    std::replace(triples.begin(), triples.end(), ',', ' ');
    const std::vector<int> fields = numbers(triples);
    ASSERT_EQ(fields.size(), 3u * 24);
    long end = 0;
    for (std::size_t k = 0; k < fields.size(); k += 3) end = std::max<long>(end, fields[k + 1] + fields[k + 2]);
    EXPECT_EQ(end, Jm_Rj_Cmax(seq_ops.data(), in));
    schedule::release(in);
}

// The outputs the heuristics guide shows are the programs' own, run from the
// repository root as the guide runs them.
TEST(Examples, GuideShowsWhatTheyPrint) {
    const std::filesystem::path root = EXAMPLES_DIR "/..";
    std::ifstream file(root / "docs" / "heuristics.md");
    std::stringstream readme;
    readme << file.rdbuf();
    const auto shown = [&](const std::string& output, const std::string& from) {
        std::istringstream lines(output.substr(output.find(from)));
        for (std::string line; std::getline(lines, line);)
            EXPECT_NE(readme.str().find("  " + line + "\n"), std::string::npos) << line;
    };
    shown(run_process("'" NEH_PROGRAM "' examples/data/flow_shop_20x5.txt", root).output, "Instance");
    const std::string search =
        run_process("'" TARDINESS_SEARCH_PROGRAM "' examples/data/single_machine_20.txt 1", root).output;
    shown(search.substr(0, search.find("neighbours tried")), "earliest due date");
    const std::string dispatched =
        run_process("'" SPT_DISPATCH_PROGRAM "' examples/data/job_shop_6x4.txt /dev/null", root).output;
    const std::string makespan = after(dispatched, "makespan: ");
    EXPECT_NE(readme.str().find("(makespan " + makespan + " on the shipped\n"), std::string::npos) << makespan;
}

// The library guide's examples are these programs, word for word, and print
// what it shows.
TEST(Examples, GuideLibraryExamplesAreBuiltAndRun) {
    const std::filesystem::path root = EXAMPLES_DIR "/..";
    const std::string readme = text_of(root / "docs" / "library.md");
    for (const char* example : {"checked_example.cpp", "named_example.cpp"})
        EXPECT_NE(readme.find("```cpp\n" + text_of(root / "examples" / example) + "```\n"), std::string::npos) << example;
    const testing_support::ProcessResult checked = run_process("'" CHECKED_EXAMPLE_PROGRAM "' examples/zurududo/test_single_machine.txt", root);
    EXPECT_EQ(checked.status, 0);
    EXPECT_NE(readme.find("```\n" + checked.output + "```\n"), std::string::npos) << checked.output;
    const testing_support::ProcessResult missing = run_process("'" CHECKED_EXAMPLE_PROGRAM "' no_such_file.txt", root);
    EXPECT_EQ(missing.output, "refused: File not found: no_such_file.txt\n");
    EXPECT_EQ(missing.status, 1);
    const testing_support::ProcessResult named = run_process("'" NAMED_EXAMPLE_PROGRAM "' test_single_machine.txt", root / "examples" / "zurududo");
    EXPECT_EQ(named.status, 0);
    EXPECT_NE(named.output.find("(      10,       7,       5)\nweighted tardiness 8.000000\n"), std::string::npos)
        << named.output;
}

// The README's C++ example is this program, word for word, and prints what
// the README shows when run from the repository root, as the README runs it.
TEST(Examples, ReadmeExampleIsBuiltAndRun) {
    const std::filesystem::path root = EXAMPLES_DIR "/..";
    const std::string readme = text_of(root / "README.md");
    EXPECT_NE(readme.find("```cpp\n" + text_of(root / "examples" / "first_steps.cpp") + "```\n"), std::string::npos);
    const testing_support::ProcessResult run = run_process("'" FIRST_STEPS_PROGRAM "'", root);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "Cmax   1315\nSumCj  16890\n");
    EXPECT_NE(readme.find("it prints\n\n```\n" + run.output + "```\n"), std::string::npos) << run.output;
    // Elsewhere the instance is not found: a refusal and status 1.
    EXPECT_EQ(run_process("'" FIRST_STEPS_PROGRAM "' 2>&1", root / "examples").status, 1);
}

#ifdef HEURISTICS_EXAMPLE_PROGRAM
// The guide's example of the benchmark sets and the heuristics is this
// program, and reaches what it says.
TEST(Examples, GuideHeuristicsExampleIsBuiltAndRun) {
    const std::filesystem::path root = EXAMPLES_DIR "/..";
    std::ifstream readme_file(root / "docs" / "heuristics.md"), source_file(root / "examples" / "heuristics_example.cpp");
    std::stringstream readme, source;
    readme << readme_file.rdbuf();
    source << source_file.rdbuf();
    EXPECT_NE(readme.str().find("```cpp\n" + source.str() + "```\n"), std::string::npos);
    const testing_support::ProcessResult run = run_process("'" HEURISTICS_EXAMPLE_PROGRAM "'", root);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("(best known 1278, NEH 1286)"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("ft06: 55 (optimum 55), Jm_Rj_Cmax of its sequence 55\n"), std::string::npos)
        << run.output;
    EXPECT_NE(readme.str().find(run.output), std::string::npos) << run.output;
}
#endif

}  // namespace
