// The sched command-line tool, run as a process: standard output, standard
// error, the files it writes and its exit status.
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <map>
#include <regex>
#include <sstream>
#include <vector>
#include <string>

#include <nlohmann/json.hpp>

#include "test_support.h"

using testing_support::run_process;
using testing_support::TempDir;

namespace {

struct ToolRun {
    std::string out;
    std::string err;
    int status;
};

std::string slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ToolRun sched(const TempDir& dir, const std::string& arguments) {
    const auto run = run_process("'" SCHED_PROGRAM "' " + arguments + " 2>stderr.txt", dir.path());
    return {run.output, slurp(dir.path() / "stderr.txt"), run.status};
}

// One machine, three jobs with due dates, release dates and weights.
const char* const single_instance = "[JOBS=3]\n[PT=3,2,4]\n[R=0,5,1]\n[DD=4,6,12]\n[W=1,2,0.5]\n";

// A flow shop of four jobs on three machines.
const char* const flow_instance = "[JOBS=4]\n[MACHINES=3]\n[PT=5,3,6,2;4,6,2,5;3,2,4,6]\n[DD=10,12,15,20]\n";

TEST(SchedTool, HelpForTheProgramAndEachCommand) {
    TempDir dir;
    for (const char* args : {"--help", "evaluate --help", "schedule --help", "gantt --help", "solve --help",
                             "bench --help", "report --help", "list --help"}) {
        const ToolRun run = sched(dir, args);
        EXPECT_EQ(run.status, 0) << args;
        EXPECT_EQ(run.out.find("usage: sched"), 0u) << args;
        // One usage line, ours: none of CLI11's beside it.
        EXPECT_EQ(run.out.find("usage:", 1), std::string::npos) << args << "\n" << run.out;
        EXPECT_EQ(run.out.find("Usage:"), std::string::npos) << args << "\n" << run.out;
        EXPECT_EQ(run.err, "") << args;
    }
}

TEST(SchedTool, UsageErrorsAreOneLineWithStatusTwo) {
    TempDir dir;
    dir.write("one.txt", single_instance);
    for (const char* args : {"", "frobnicate", "evaluate --bogus one.txt", "evaluate", "evaluate -e mars one.txt",
                             "evaluate -o Cmaxx one.txt", "evaluate --seq 0,0,1 one.txt",
                             "evaluate --seq 0,1 one.txt", "evaluate --seq 0,1,3 one.txt",
                             "evaluate --seq a,b one.txt", "evaluate -f xml one.txt", "schedule one.txt"}) {
        const ToolRun run = sched(dir, args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.out, "") << args;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << args << ": " << run.err;
        EXPECT_EQ(run.err.rfind("sched: ", 0), 0u) << args;
    }
    EXPECT_EQ(sched(dir, "evaluate --seq 0,0,1 one.txt").err,
              "sched: the sequence is not a permutation: job 0 appears twice\n");
}

TEST(SchedTool, MissingFileIsAFailure) {
    TempDir dir;
    const ToolRun run = sched(dir, "evaluate absent.txt");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "sched: cannot read 'absent.txt': no such file\n");
    EXPECT_EQ(sched(dir, "solve TA0566").err, "sched: no file or benchmark named 'TA0566' (did you mean ta056?)\n");
    EXPECT_EQ(sched(dir, "solve ft11").err, "sched: no file or benchmark named 'ft11' (did you mean ft10?)\n");
    const ToolRun empty = sched(dir, "evaluate - < /dev/null");
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.err, "sched: standard input is empty\n");
    // A device is read as the file it is: /dev/null holds no sequence.
    dir.write("one.txt", single_instance);
    EXPECT_EQ(sched(dir, "evaluate --seq-file /dev/null one.txt").err,
              "sched: the sequence has 0 entries; the instance needs 3 (a permutation of 0..2)\n");
}

TEST(SchedTool, EvaluateTableShowsCompletionTimesAndTheCatalogue) {
    TempDir dir;
    dir.write("one.txt", single_instance);
    const ToolRun run = sched(dir, "evaluate --seq 2,0,1 one.txt");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    // No loader echo without --verbose.
    EXPECT_EQ(run.out.find("Loading"), std::string::npos);
    EXPECT_NE(run.out.find("job  C_j\n  0    8\n  1   10\n  2    5\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\nCmax        10\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\nWj_SumCj  30.5\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\nWj_Tmax      8\n"), std::string::npos) << run.out;
}

TEST(SchedTool, EvaluateOneObjectiveTsvAndJson) {
    TempDir dir;
    dir.write("one.txt", single_instance);
    EXPECT_EQ(sched(dir, "evaluate --seq 2,0,1 -o SumTj one.txt").out, "8\n");
    dir.write("seq.txt", "2 0\n1\n");
    EXPECT_EQ(sched(dir, "evaluate --seq-file seq.txt -o Wj_SumCj one.txt").out, "30.5\n");
    const ToolRun tsv = sched(dir, "evaluate -f tsv one.txt");
    EXPECT_EQ(tsv.out.rfind("name\tvalue\nC_0\t3\nC_1\t7\nC_2\t11\nCmax\t11\n", 0), 0u) << tsv.out;
    const auto json = nlohmann::json::parse(sched(dir, "evaluate -f json one.txt").out);
    EXPECT_EQ(json["completion"], nlohmann::json({3, 7, 11}));
    EXPECT_EQ(json["objectives"]["Wj_SumCj"], 22.5);
}

TEST(SchedTool, ObjectivesWithoutDueDates) {
    TempDir dir;
    dir.write("nodd.txt", "[JOBS=2]\n[PT=3,4]\n");
    const ToolRun table = sched(dir, "evaluate nodd.txt");
    EXPECT_EQ(table.status, 0);
    EXPECT_TRUE(std::regex_search(table.out, std::regex("\nTmax +-\n"))) << table.out;
    EXPECT_TRUE(nlohmann::json::parse(sched(dir, "evaluate -f json nodd.txt").out)["objectives"]["Tmax"].is_null());
    const ToolRun one = sched(dir, "evaluate -o Tmax nodd.txt");
    EXPECT_EQ(one.status, 1);
    EXPECT_EQ(one.err, "sched: Tmax needs due dates and 'nodd.txt' gives none\n");
}

// A rejected load is one line that leads with the fault; the loader's report
// is on standard error with -v only.
TEST(SchedTool, LoaderReportOnlyWhenVerbose) {
    TempDir dir;
    dir.write("one.txt", single_instance);
    const ToolRun verbose = sched(dir, "evaluate -v -o Cmax one.txt");
    EXPECT_EQ(verbose.out, "11\n");
    EXPECT_NE(verbose.err.find("Loading one.txt completed with 0 errors"), std::string::npos) << verbose.err;
    dir.write("bad.txt", "[JOBS=3]\n[PT=3,2]\n");
    const ToolRun bad = sched(dir, "evaluate bad.txt");
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err, "sched: bad.txt:2: PT has 2 entries where JOBS is 3\n");
    const ToolRun reported = sched(dir, "evaluate -v bad.txt");
    EXPECT_NE(reported.err.find("ERROR: The size of the vector PT"), std::string::npos) << reported.err;
    EXPECT_TRUE(reported.err.ends_with("\nsched: bad.txt:2: PT has 2 entries where JOBS is 3\n")) << reported.err;
}

TEST(SchedTool, EveryEnvironmentEvaluates) {
    TempDir dir;
    dir.write("pm.txt", "[JOBS=3]\n[MACHINES=2]\n[PT=3,2,4]\n");
    dir.write("qm.txt", "[JOBS=3]\n[MACHINES=2]\n[V=1,2]\n[PT=4,2,4]\n");
    dir.write("rm.txt", "[JOBS=3]\n[MACHINES=2]\n[PT=3,2,4;1,5,2]\n");
    dir.write("fm.txt", flow_instance);
    dir.write("jm.txt", "[JOBS=2]\n[MACHINES=2]\n[PT=3,2;1,4]\n[RT=0,1;1,0]\n");
    EXPECT_EQ(sched(dir, "evaluate -e identical -o Cmax pm.txt").out, "6\n");
    const ToolRun uniform = sched(dir, "evaluate -e uniform -o Cmax qm.txt");
    EXPECT_EQ(uniform.status, 0);
    EXPECT_EQ(uniform.out.find("Trabajo"), std::string::npos);
    EXPECT_EQ(sched(dir, "evaluate -e unrelated --seq 0,1,2 -o SumCj rm.txt").status, 0);
    EXPECT_EQ(sched(dir, "evaluate -e flowshop --seq 3,1,0,2 -o Cmax fm.txt").out, "24\n");
    EXPECT_EQ(sched(dir, "evaluate -e jobshop --seq 0,1,0,1 -o Cmax jm.txt").out, "6\n");
    const ToolRun twice = sched(dir, "evaluate -e jobshop --seq 0,0,0,1 jm.txt");
    EXPECT_EQ(twice.status, 2);
    EXPECT_EQ(twice.err, "sched: the operation sequence names job 0 more than 2 times\n");
}

TEST(SchedTool, ClassicJobShopAndTaillardLayouts) {
    TempDir dir;
    dir.write("ft.txt", "a tiny job shop\n 2 2\n 0 3 1 2\n 1 4 0 1\n");
    EXPECT_EQ(sched(dir, "evaluate --layout classic --seq 0,1,0,1 -o Cmax ft.txt").out, "6\n");
    dir.write("short.txt", "2 2\n0 3 1 2\n1 4\n");
    const ToolRun truncated = sched(dir, "evaluate --layout classic short.txt");
    EXPECT_EQ(truncated.status, 1);
    EXPECT_EQ(truncated.err,
              "sched: short.txt:3: expected 2 jobs of 2 \"machine time\" pairs; the data end after 6 numbers\n");
    dir.write("ta.txt",
              "number of jobs, number of machines, initial seed, upper bound and lower bound :\n"
              "           4           2   873654221        1278        1232\n"
              "processing times :\n 5 3 6 2\n 4 6 2 5\n");
    EXPECT_EQ(sched(dir, "evaluate --layout taillard -o Cmax ta.txt").out, "22\n");
    EXPECT_EQ(sched(dir, "evaluate --layout taillard -e jobshop ta.txt").status, 2);
}

TEST(SchedTool, ScheduleWritesTheLibrarysFile) {
    TempDir dir;
    dir.write("fm.txt", flow_instance);
    const ToolRun run = sched(dir, "schedule -e flowshop --seq 3,1,0,2 -O out.sched fm.txt");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(slurp(dir.path() / "out.sched"),
              "[JOBS=4]\n[MACHINES=3]\n"
              "[SCHEDULE_DATA=0,0,2,1,2,5,2,7,6;0,2,3,1,7,6,2,13,2;0,5,5,1,13,4,2,17,3;0,10,6,1,17,2,2,20,4]\n"
              "[JOB_ORDER=3,1,0,2]\n");
    // The uniform machines' writer reports its assignment; the tool keeps it aside.
    dir.write("qm.txt", "[JOBS=3]\n[MACHINES=2]\n[V=1,2]\n[PT=4,2,4]\n");
    const ToolRun uniform = sched(dir, "schedule -e uniform -O qm.sched qm.txt");
    EXPECT_EQ(uniform.status, 0);
    EXPECT_EQ(uniform.out, "");
    EXPECT_EQ(uniform.err, "");
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "qm.sched"));
    // A bad sequence leaves no file behind.
    EXPECT_EQ(sched(dir, "schedule -e flowshop --seq 3,1,0 -O no.sched fm.txt").status, 2);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "no.sched"));
}

// Files of several instances: one is chosen by name or position, never
// taken silently; the benchmark layouts beside the tagged one.
TEST(SchedTool, MultiInstanceFilesAndTheOtherLayouts) {
    TempDir dir;
    const std::string header = "number of jobs, number of machines, initial seed, upper bound and lower bound :\n";
    dir.write("tai.txt", header + " 2 2 11 0 0\nprocessing times :\n 5 3\n 4 6\n" + header +
                             " 2 2 22 0 0\nprocessing times :\n 1 2\n 7 8\n");
    EXPECT_EQ(sched(dir, "evaluate --layout taillard --instance 1 --seq 1,0 -o Cmax tai.txt").out, "17\n");
    EXPECT_EQ(sched(dir, "evaluate --layout taillard --instance 22 --seq 1,0 -o Cmax tai.txt").out, "17\n");
    const ToolRun unchosen = sched(dir, "evaluate --layout taillard tai.txt");
    EXPECT_EQ(unchosen.status, 2);
    EXPECT_EQ(unchosen.err, "sched: no instance chosen; tai.txt holds 2 instances: 11 and 22 (choose one by name or by "
                            "position, 0 to 1)\n");
    EXPECT_EQ(sched(dir, "evaluate --layout taillard --instance 2 tai.txt").status, 2);
    EXPECT_EQ(sched(dir, "evaluate --instance 0 --env flowshop tai.txt").status, 2);
    dir.write("tjs.txt", "Nb of jobs, Nb of Machines, Time seed, Machine seed, Upper bound, Lower bound\n 2 2\n"
                         "Times\n 3 2\n 4 1\nMachines\n 1 2\n 2 1\n");
    EXPECT_EQ(sched(dir, "evaluate --layout taillard-jobshop --seq 0,1,0,1 -o Cmax tjs.txt").out, "6\n");
    dir.write("m.txt", "2 2\n5 3\n4 6\n");
    EXPECT_EQ(sched(dir, "evaluate --layout mrows --seq 1,0 -o Cmax m.txt").out, "13\n");
    EXPECT_EQ(sched(dir, "evaluate --layout mrows -e jobshop m.txt").status, 2);
    dir.write("bad.txt", "2 2\n5 3\n4 x\n");
    const ToolRun bad = sched(dir, "evaluate --layout mrows bad.txt");
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, "sched: bad.txt:3: \"x\" is not a whole number\n");
}

// The manual's tour: the example's schedule file is what the tool writes.
TEST(SchedTool, DocumentedExampleIsCurrent) {
    TempDir dir;
    const ToolRun run = sched(dir, "schedule --layout classic --seq 0,1,2,3,0,1,2,3,0,1,2,3 -O ex.sched '" SCHED_DOCS
                                   "/example_job_shop.txt'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(slurp(dir.path() / "ex.sched"), slurp(SCHED_DOCS "/example_job_shop.sched"));
}

// The manual's solve, bench and report snippets run as written (a PNG trace as SVG
// when rsvg-convert is missing).
TEST(SchedTool, DocumentedSolveAndBenchRun) {
    TempDir dir;
    std::ifstream readme(SCHED_DOCS "/sched.md");
    const bool png = run_process("command -v rsvg-convert", dir.path()).status == 0;
    int commands = 0;
    for (std::string line; std::getline(readme, line);) {
        line.erase(0, line.find_first_not_of(' '));
        const bool drawn = line.rfind("../build/sched gantt", 0) == 0 && line.find("ft06.sched") != std::string::npos;
        if (line.rfind("../build/sched solve", 0) != 0 && line.rfind("../build/sched bench", 0) != 0 &&
            line.rfind("../build/sched report", 0) != 0 && !drawn)
            continue;
        std::string command = "'" SCHED_PROGRAM "'" + line.substr(std::string("../build/sched").size());
        command = std::regex_replace(command, std::regex("example_job_shop.txt"),
                                     "'" SCHED_DOCS "/example_job_shop.txt'");
        if (!png) command = std::regex_replace(command, std::regex("\\.png"), ".svg");
        const auto run = run_process(command + " 2>&1", dir.path());
        EXPECT_EQ(run.status, 0) << line << "\n" << run.output;
        ++commands;
    }
    EXPECT_EQ(commands, 7);
    EXPECT_NE(slurp(dir.path() / "ft06.sched").find("[JOBS=6]"), std::string::npos);
    EXPECT_NE(slurp(dir.path() / "grid.html").find("id=\"arpd-table\""), std::string::npos);
}

// The README's sched commands, run as written from a directory that has the
// repository's build/sched and examples/, exit with 0 and print what the
// README shows after them (a line ending in "…" stands for any line that
// begins with what comes before it).
TEST(SchedTool, ReadmeCommandsPrintWhatItShows) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "build");
    std::filesystem::create_symlink(SCHED_PROGRAM, dir.path() / "build" / "sched");
    std::filesystem::create_directory_symlink(SCHED_DOCS "/../examples", dir.path() / "examples");
    const std::string readme = slurp(SCHED_DOCS "/../README.md");
    int commands = 0;
    for (std::size_t at = readme.find("\nbuild/sched "); at != std::string::npos;
         at = readme.find("\nbuild/sched ", at + 1)) {
        const std::string line = readme.substr(at + 1, readme.find('\n', at + 1) - at - 1);
        const auto run = run_process(line, dir.path());
        EXPECT_EQ(run.status, 0) << line;
        ++commands;
        if (run.output.empty()) continue;
        // The block that follows the command's own.
        const std::size_t open = readme.find("```\n\n```\n", at);
        ASSERT_NE(open, std::string::npos) << line;
        const std::size_t begin = open + 9, end = readme.find("```\n", begin);
        std::istringstream shown(readme.substr(begin, end - begin)), printed(run.output);
        for (std::string expected, actual; std::getline(shown, expected);) {
            ASSERT_TRUE(std::getline(printed, actual)) << line << ": printed no line for " << expected;
            if (expected.size() >= 3 && expected.compare(expected.size() - 3, 3, "…") == 0)
                EXPECT_EQ(actual.rfind(expected.substr(0, expected.size() - 3), 0), 0u) << line;
            else
                EXPECT_EQ(actual, expected) << line;
        }
        std::string extra;
        EXPECT_FALSE(std::getline(printed, extra)) << line << ": printed more: " << extra;
    }
    EXPECT_EQ(commands, 2);
    EXPECT_NE(slurp(dir.path() / "ft06.svg").find("<svg"), std::string::npos);
}

// Where the chart must draw an operation: x = 100 + start * 800 / makespan.
TEST(SchedTool, GanttIsWellFormedAndPlacesEveryBar) {
    TempDir dir;
    dir.write("s.sched",
              "[JOBS=2]\n[MACHINES=2]\n[SCHEDULE_DATA=0,0,4,1,6,10;1,0,6,0,8,8]\n[JOB_ORDER=0,1]\n");
    const ToolRun run = sched(dir, "gantt -O chart.svg s.sched");
    EXPECT_EQ(run.status, 0) << run.err;
    const auto lint = run_process("xmllint --noout chart.svg && echo valid", dir.path());
    EXPECT_EQ(lint.output, "valid\n");
    const std::string svg = slurp(dir.path() / "chart.svg");
    // Makespan 16: 50 units of x per unit of time.
    const std::regex bar(
        "<rect class=\"bar\" data-job=\"(\\d+)\" data-machine=\"(\\d+)\" x=\"([\\d.]+)\" y=\"([\\d.]+)\" "
        "width=\"([\\d.]+)\" height=\"[\\d.]+\" fill=\"(#[0-9a-f]{6})\"");
    std::vector<std::string> found;
    std::map<std::string, std::string> colour_of_job;
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), bar); it != std::sregex_iterator(); ++it) {
        const auto& m = *it;
        found.push_back(m[1].str() + "@" + m[2].str() + ":" + m[3].str() + "," + m[4].str() + "+" + m[5].str());
        if (colour_of_job.count(m[1].str()) != 0) {
            EXPECT_EQ(colour_of_job[m[1].str()], m[6].str());
        }
        colour_of_job[m[1].str()] = m[6].str();
    }
    EXPECT_EQ(found, (std::vector<std::string>{"0@0:100,62+200", "0@1:400,102+500", "1@1:100,102+300",
                                               "1@0:500,62+400"}));
    EXPECT_NE(colour_of_job["0"], colour_of_job["1"]);
    EXPECT_NE(svg.find(">2 jobs, 2 machines; Cmax = 16</text>"), std::string::npos);
    EXPECT_NE(svg.find(">1</text>"), std::string::npos);
    // The same input gives the same bytes.
    EXPECT_EQ(sched(dir, "gantt -O again.svg s.sched").status, 0);
    EXPECT_EQ(slurp(dir.path() / "again.svg"), svg);
}

TEST(SchedTool, GanttRejectsAMalformedScheduleFile) {
    TempDir dir;
    const std::string head = "[JOBS=2]\n[MACHINES=2]\n";
    const std::pair<const char*, std::string> cases[] = {
        {"three.sched", head + "[SCHEDULE_DATA=0,0,4;1,0,6]\n"},
        {"order.sched", head + "[SCHEDULE_DATA=0,0,4;1,0,6]\n[JOB_ORDER=0,0]\n"},
        {"machine.sched", head + "[SCHEDULE_DATA=0,0,4;2,0,6]\n[JOB_ORDER=0,1]\n"},
        {"triple.sched", head + "[SCHEDULE_DATA=0,0;1,0,6]\n[JOB_ORDER=0,1]\n"},
        {"groups.sched", head + "[SCHEDULE_DATA=0,0,4]\n[JOB_ORDER=0,1]\n"},
        {"overlap.sched", head + "[SCHEDULE_DATA=0,0,4;0,3,6]\n[JOB_ORDER=0,1]\n"},
        {"tag.sched", "[JOBZ=2]\n[MACHINES=2]\n[SCHEDULE_DATA=0,0,4;1,0,6]\n[JOB_ORDER=0,1]\n"},
        // An operation of no length between two that overlap.
        {"hidden.sched", "[JOBS=3]\n[MACHINES=1]\n[SCHEDULE_DATA=0,0,10;0,1,0;0,2,1]\n[JOB_ORDER=0,1,2]\n"},
    };
    for (const auto& [name, bytes] : cases) {
        dir.write(name, bytes);
        const ToolRun run = sched(dir, std::string("gantt -O out.svg ") + name);
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_EQ(run.err.rfind(std::string("sched: '") + name + "' is not a schedule file: ", 0), 0u) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << name;
        EXPECT_FALSE(std::filesystem::exists(dir.path() / "out.svg")) << name;
    }
}

// What a command writes to a full standard output is lost: the status says so.
TEST(SchedTool, AFailedWriteToStandardOutputIsAFailure) {
    TempDir dir;
    dir.write("one.txt", single_instance);
    for (const char* args : {"evaluate -o Cmax one.txt", "list", "--help", "solve --iterations 5 one.txt"}) {
        const auto run = run_process("'" SCHED_PROGRAM "' " + std::string(args) + " >/dev/full 2>/dev/null; echo $?",
                                     dir.path());
        EXPECT_EQ(run.output, "1\n") << args;
    }
}

// A value that overflows to infinity is null in JSON, never the invalid "inf" or "nan".
TEST(SchedTool, JsonWritesNullForNonFiniteValues) {
    TempDir dir;
    dir.write("big.txt", "[JOBS=3]\n[PT=3,2,4]\n[DD=4,6,12]\n[W=1e308,1e308,1e308]\n");
    const ToolRun run = sched(dir, "evaluate -f json -o Wj_SumCj,Cmax big.txt");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(nlohmann::json::parse(run.out), nlohmann::json::parse(R"({"Wj_SumCj": null, "Cmax": 9})"));
}

// The options a new user reaches for: each case is a command line and what
// standard output holds (or, with a status other than 0, standard error).
TEST(SchedTool, NewUserOptions) {
    TempDir dir;
    dir.write("one.txt", single_instance);
    dir.write("qm.txt", "[JOBS=3]\n[MACHINES=2]\n[V=1,2]\n[PT=4,2,4]\n");
    dir.write("jm.txt", "[JOBS=2]\n[MACHINES=2]\n[PT=3,2;1,4]\n[RT=0,1;1,0]\n");
    dir.write("seqs.txt", "0,1,2\n2 0 1\n");
    dir.write("ta.txt", "number of jobs, number of machines, initial seed, upper bound and lower bound :\n"
                        " 2 2 11 0 0\nprocessing times :\n 5 3\n 4 6\n");
    std::filesystem::create_directory(dir.path() / "folder");
    struct Case {
        const char* args;
        int status;
        const char* expected;  // a part of standard output, or of standard error when the status is not 0
    };
    const Case cases[] = {
        {"evaluate -oCmax -o SumTj,Lmax one.txt", 0, "Cmax  11\nSumTj  1\nLmax  1\n"},
        {"evaluate -f tsv -o Cmax,SumTj one.txt", 0, "name\tvalue\nCmax\t11\nSumTj\t1\n"},
        {"evaluate -o Cmax -- - < one.txt", 0, "11\n"},
        {"evaluate --seq-file seqs.txt -f tsv -o Cmax,SumTj one.txt", 0,
         "sequence\tCmax\tSumTj\n0,1,2\t11\t1\n2,0,1\t10\t8\n"},
        {"evaluate --seq-file - -o Cmax one.txt < seqs.txt", 0, "sequence  Cmax\n0,1,2  11\n2,0,1  10\n"},
        {"evaluate --jobs --seq 2,0,1 one.txt", 0, "  1          8         10          0          4          4\n"},
        {"evaluate -o Cmax qm.txt", 0, "4\n"},  // uniform machines, told by V
        {"evaluate -o Cmax --seq 0,1,0,1 jm.txt", 0, "6\n"},  // a job shop, told by RT
        {"schedule -O - --seq 2,0,1 one.txt", 0, "[JOB_ORDER=2,0,1]\n"},
        {"evaluate -o Cmax ta001", 0, "1448\n"},
        {"--version", 0, "sched "},
        {"evaluate folder", 1, "sched: cannot read 'folder': it is a directory\n"},
        {"evaluate ta.txt", 1,
         "sched: ta.txt: the file holds no tag entry [NAME=...]: it is not a tagged file; it looks like layout "
         "taillard\n"},
        {"evalute one.txt", 2, "(did you mean 'evaluate'?)"},
        {"evaluate --objectiv Cmax one.txt", 2, "(did you mean '--objective'?)"},
        {"evaluate ta999", 1, "sched: no file or benchmark named 'ta999' (did you mean ta099?)\n"},
        {"evaluate -o Cmax TA001", 0, "1448\n"},
        // Hostile input: what the system said, and every numeric option checked.
        {"evaluate one.txt/inside", 1, "sched: cannot read 'one.txt/inside': Not a directory\n"},
        {"evaluate /dev/zero", 1, "sched: '/dev/zero' is not a text file: it holds a NUL byte at offset 0\n"},
        {"evaluate --instance 5 ta001", 2, "the choice of an instance picks among those of a file; ta001 is a named"},
        {"solve --time-limit nan ta001", 2, "'nan' is not a number of seconds (0.001 to 10000000)"},
        {"solve --time-limit inf ta001", 2, "'inf' is not a number of seconds"},
        {"solve --time-limit 5e-324 ta001", 2, "'5e-324' is not a number of seconds"},
        {"solve --time-limit 1e300 ta001", 2, "'1e300' is not a number of seconds"},
        {"solve --seed -1 ta001", 2, "'-1' is not a seed (a whole number 0 to 18446744073709551615)"},
        {"bench ta001 -a ig --time-limit nan", 2, "'nan' is not a number of seconds"},
        {"bench ta001 -a ig --time-factor -inf", 2, "is not a time factor"},
        {"bench ta001 -a ig --seeds 1e9", 2, "'1e9' is not a count (1 to 1000000)"},
        {"bench ta001 -a ig -j 100000", 2, "'100000' is not a count (1 to 1024)"},
    };
    for (const Case& c : cases) {
        const auto run = run_process("'" SCHED_PROGRAM "' " + std::string(c.args) + " 2>stderr.txt", dir.path());
        const std::string err = slurp(dir.path() / "stderr.txt");
        EXPECT_EQ(run.status, c.status) << c.args << ": " << err;
        EXPECT_NE((c.status == 0 ? run.output : err).find(c.expected), std::string::npos)
            << c.args << ":\n" << run.output << err;
    }
}

// -O writes the file a link leads to and keeps the link; a device is written
// through, never replaced.
TEST(SchedTool, OutputKeepsLinksAndDevices) {
    TempDir dir;
    dir.write("one.txt", single_instance);
    dir.write("target.sched", "old");
    std::filesystem::create_symlink("target.sched", dir.path() / "link.sched");
    ASSERT_EQ(sched(dir, "schedule -O link.sched --seq 2,0,1 one.txt").status, 0);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "link.sched"));
    EXPECT_NE(slurp(dir.path() / "target.sched").find("[JOB_ORDER=2,0,1]"), std::string::npos);
    ASSERT_EQ(sched(dir, "schedule -O /dev/null --seq 2,0,1 one.txt").status, 0);
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
    const ToolRun full = sched(dir, "schedule -O /dev/full --seq 2,0,1 one.txt");
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.err.find("No space left on device"), std::string::npos) << full.err;
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}

TEST(SchedTool, GanttAxisDatesWidthAndPng) {
    TempDir dir;
    dir.write("one.txt", single_instance);
    ASSERT_EQ(sched(dir, "schedule -O s.sched --seq 2,0,1 one.txt").status, 0);
    ASSERT_EQ(sched(dir, "gantt --time-max 20 --dates one.txt -O chart.svg s.sched").status, 0);
    const std::string svg = slurp(dir.path() / "chart.svg");
    // 20 units over 800: job 2 runs from 1 to 5, job 1 has its due date at 6 and its release date at 5; the
    // lanes begin under three rows of due-date labels.
    EXPECT_NE(svg.find("data-job=\"2\" data-machine=\"0\" x=\"140\" y=\"107\" width=\"160\""), std::string::npos) << svg;
    EXPECT_NE(svg.find(">d1</text>"), std::string::npos);
    EXPECT_NE(svg.find("<line x1=\"340\" y1=\"91\""), std::string::npos);
    EXPECT_NE(svg.find(">r1</text>"), std::string::npos);
    // A machine of 100 bars: 24 units of width each.
    std::string data;
    for (int j = 0; j < 100; ++j) data += std::string(j ? ";" : "") + "0," + std::to_string(j) + ",1";
    std::string order;
    for (int j = 0; j < 100; ++j) order += std::string(j ? "," : "") + std::to_string(j);
    dir.write("many.sched", "[JOBS=100]\n[MACHINES=1]\n[SCHEDULE_DATA=" + data + "]\n[JOB_ORDER=" + order + "]\n");
    EXPECT_NE(sched(dir, "gantt many.sched").out.find("width=\"2560\""), std::string::npos);
    if (run_process("command -v rsvg-convert", dir.path()).status == 0) {
        ASSERT_EQ(sched(dir, "gantt -O chart.png s.sched").status, 0);
        EXPECT_EQ(slurp(dir.path() / "chart.png").substr(1, 3), "PNG");
    }
}

// solve on every environment with its default method (and the listed ones):
// the value printed is the evaluator's on the sequence printed.
TEST(SchedTool, SolveReportsWhatTheEvaluatorGives) {
    TempDir dir;
    dir.write("one.txt", single_instance);  // release dates: beyond ils and atc
    dir.write("wt.txt", "[JOBS=5]\n[PT=3,2,4,6,1]\n[DD=4,6,12,5,3]\n[W=1,2,0.5,3,1]\n");
    dir.write("pm.txt", "[JOBS=5]\n[MACHINES=2]\n[PT=3,2,4,7,1]\n");
    dir.write("fm.txt", flow_instance);
    dir.write("jm.txt", "[JOBS=2]\n[MACHINES=2]\n[PT=3,2;1,4]\n[RT=0,1;1,0]\n");
    struct Case {
        const char* options;
        const char* instance;
        const char* algorithm;
    };
    const Case cases[] = {
        {"", "one.txt", "generic"},   {"", "wt.txt", "ils"},    {"-a atc", "wt.txt", "atc"},
        {"-o SumUj", "one.txt", "generic"},
        {"", "pm.txt", "generic"},       {"", "-e flowshop fm.txt", "ig"}, {"-a neh", "-e flowshop fm.txt", "neh"},
        {"", "jm.txt", "ts"},            {"-a mwkr", "jm.txt", "mwkr"}, {"", "ft06", "ts"},
        {"", "wt40_001", "ils"},
    };
    for (const Case& c : cases) {
        const std::string args = std::string(c.options) + " " + c.instance;
        const ToolRun run = sched(dir, "solve -f json --iterations 30 --seed 3 -O best.sched " + args);
        ASSERT_EQ(run.status, 0) << args << ": " << run.err;
        const auto json = nlohmann::json::parse(run.out);
        EXPECT_EQ(json["algorithm"], c.algorithm) << args;
        for (const char* key : {"objective", "value", "sequence", "seconds", "iterations"})
            EXPECT_TRUE(json.contains(key)) << args << ": " << key;
        std::string sequence;
        for (const auto& job : json["sequence"])
            sequence += (sequence.empty() ? "" : ",") + std::to_string(job.get<int>());
        const ToolRun check = sched(dir, "evaluate -o " + json["objective"].get<std::string>() + " --seq " + sequence +
                                             " " + c.instance);
        EXPECT_EQ(nlohmann::json::parse(check.out), json["value"]) << args << ": " << check.err;
        EXPECT_TRUE(std::filesystem::exists(dir.path() / "best.sched"));
        // The same seed and iterations give the same sequence.
        const auto again = nlohmann::json::parse(sched(dir, "solve -f json --iterations 30 --seed 3 " + args).out);
        EXPECT_EQ(again["sequence"], json["sequence"]) << args;
    }
    const ToolRun table = sched(dir, "solve --iterations 10 --trace trace.svg ta001");
    EXPECT_NE(table.out.find("Cmax        1"), std::string::npos) << table.out;
    EXPECT_NE(table.out.find("(best known 1278, "), std::string::npos) << table.out;
    EXPECT_NE(slurp(dir.path() / "trace.svg").find("<path class=\"best\""), std::string::npos);
    EXPECT_EQ(sched(dir, "solve -a ig one.txt").status, 2);
    EXPECT_EQ(sched(dir, "solve -a ils -o Cmax one.txt").status, 2);
}

// The method, its parameters and its stopping, by the table of methods: each
// case a command line, its status and a part of its output (standard error
// when the status is not 0).
TEST(SchedTool, MethodsParametersAndTargets) {
    TempDir dir;
    dir.write("one.txt", single_instance);
    struct Case {
        const char* args;
        int status;
        const char* expected;
    };
    const Case cases[] = {
        {"solve ta001 -a iterated_greedy -p d=4 -p T=0.4 --iterations 50", 0,
         "algorithm   ig (seed 1; d=4 T=0.4 local_search=true partial_local_search=true)\n"},
        {"solve -f json ta001 -a IG -p d=4 --iterations 5", 0, "\"d\": \"4\""},
        {"solve ta001 -a igg", 2, "sched: unknown method 'igg' (did you mean ig?)\n"},
        {"solve ta001 -a ts", 2,
         "sched: method ts does not apply: it solves jobshop instances, not flowshop ones; for Cmax on this flowshop "
         "instance: neh, ig, generic\n"},
        {"solve ta001 -a ig -p tenure=3", 2, "sched: unknown parameter 'tenure' of ig (it has d, T, local_search"},
        {"solve ta001 -a ig -p d", 2, "sched: a parameter is given as NAME=VALUE, as d=4, not 'd'\n"},
        {"solve ta001 -a ig -p d=3 -p d=4", 2, "sched: the parameter d is given twice\n"},
        {"solve ta001 -a neh -o SumCj", 2, "it minimises Cmax, not SumCj; for SumCj on this flowshop instance: generic"},
        {"solve one.txt -a ils", 2, "it takes no release dates, and the instance has some"},
        {"solve ft06 --stop-at-best --iterations 100000000", 0, "Cmax        55 (best known 55, +0.00 %)"},
        {"solve ft06 --target 58 --iterations 100000000", 0, "Cmax        5"},
        {"solve one.txt --stop-at-best", 2, "stopping at the best known value needs a benchmark instance"},
        {"solve ta001 --target nan", 2, "'nan' is not a target value"},
        {"solve ta001 --seconds 0.05", 0, "algorithm   ig"},
        {"bench ft06 -a ig", 2, "sched: ft06: method ig does not apply: it solves flowshop instances"},
        {"bench ft06 -a ts -p tenure=x", 2, "sched: ft06: parameter tenure of ts is a whole number"},
        {"bench ft06 la01 -a ts --stop-at-best --iterations 100000000", 0, "ft06"},
        {"list --methods", 0, "ts, tabu_search"},
        {"list ta056", 0, "default method      ig\nmethods             neh, ig, generic\n"},
        {"list TA056 ft06", 0, "default method      ts\nmethods             spt, lpt"},
        {"list ta0566", 2, "sched: no set or instance named 'ta0566' (did you mean ta056?)\n"},
    };
    for (const Case& c : cases) {
        const ToolRun run = sched(dir, c.args);
        EXPECT_EQ(run.status, c.status) << c.args << ": " << run.err;
        EXPECT_NE((c.status == 0 ? run.out : run.err).find(c.expected), std::string::npos)
            << c.args << ":\n" << run.out << run.err;
    }
    // The runner's former --seconds is read, with a note; a run stopped at its target takes few iterations.
    EXPECT_NE(sched(dir, "solve ta001 --seconds 0.05").err.find("--seconds is deprecated; the time limit is --time-limit"),
              std::string::npos);
    const auto stopped = nlohmann::json::parse(sched(dir, "solve -f json ft06 --stop-at-best --iterations 100000000").out);
    EXPECT_EQ(stopped["value"], 55);
    EXPECT_LT(stopped["iterations"].get<long>(), 100000000);
}

// bench on a tiny set; its shards' CSV files concatenate into the whole run's rows.
TEST(SchedTool, BenchAndItsShards) {
    TempDir dir;
    const ToolRun run = sched(dir, "bench ft06 la01 la02 -a spt --csv whole.csv -j 2");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("ft06"), std::string::npos) << run.out;
    // One kind of table: aligned columns, and no column of classic best known values on a set without them.
    EXPECT_TRUE(std::regex_search(run.out, std::regex("\nall +3 +[0-9.]+ +[0-9]+ +[0-9.]+ +[0-9.]+\n"))) << run.out;
    EXPECT_EQ(run.out.find('|'), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("bkv_classic"), std::string::npos) << run.out;
    EXPECT_EQ(sched(dir, "bench ft06 la01 la02 -a spt --shard 1/2 --csv a.csv").status, 0);
    EXPECT_EQ(sched(dir, "bench ft06 la01 la02 -a spt --shard 2/2 --csv b.csv").status, 0);
    auto rows = [](const std::string& text) {  // instance and value of each row
        std::vector<std::string> found;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("instance,", 0) == 0) continue;
            std::vector<std::string> fields;
            std::istringstream cells(line);
            for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(cell);
            found.push_back(fields[0] + "=" + fields[6]);
        }
        std::sort(found.begin(), found.end());
        return found;
    };
    const auto whole = rows(slurp(dir.path() / "whole.csv"));
    EXPECT_EQ(whole.size(), 3u);
    EXPECT_EQ(rows(slurp(dir.path() / "a.csv") + slurp(dir.path() / "b.csv")), whole);
    EXPECT_EQ(sched(dir, "bench ft06 -a ig").status, 2);  // a flow-shop method on a job shop
    EXPECT_EQ(sched(dir, "bench taillard-flowshp -a ig").status, 2);
}

TEST(SchedTool, ListShowsTheSetsAndNames) {
    TempDir dir;
    const ToolRun run = sched(dir, "list");
    EXPECT_EQ(run.status, 0);
    for (const char* part : {"taillard-flowshop: 120 instances, flowshop, Cmax\n",
                             "\n  ta001     flowshop     20x5      1278",
                             "orlib-jobshop: ", "\n  ft06      jobshop      6x6        55 *\n", "wt100: 125 instances"})
        EXPECT_NE(run.out.find(part), std::string::npos) << part;
}

}  // namespace
