// Schedule files: the exact bytes of each writer, its edges and failures, and
// agreement between every written operation and what the evaluators compute
// for the same sequence.
#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "evaluator_tables.h"
#include "schedule/schedule.h"
#include "test_support.h"

using namespace schedule;
using namespace evaluator_tables;
using testing_support::captured_stdout;
using testing_support::stdout_to_stderr;
using testing_support::TempDir;

namespace {

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A schedule file read back: the counts, every group's triples
// (machine, start, duration) and the job order.
struct ScheduleFile {
    int jobs = -1, machines = -1;
    std::vector<std::vector<std::array<long, 3>>> groups;
    std::vector<int> order;
};

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    if (text.empty()) return parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) parts.push_back(part);
    if (text.back() == separator) parts.push_back("");
    return parts;
}

// Reads a file of the four tagged lines; any other shape fails the test.
ScheduleFile read_schedule(const std::string& path) {
    ScheduleFile file;
    std::istringstream in(contents(path));
    std::string jobs, machines, data, order, rest;
    std::getline(in, jobs);
    std::getline(in, machines);
    std::getline(in, data);
    std::getline(in, order);
    EXPECT_FALSE(std::getline(in, rest)) << "a fifth line";
    const auto tag = [](const std::string& line, const std::string& name) {
        const std::string open = "[" + name + "=";
        EXPECT_EQ(line.rfind(open, 0), 0u) << line;
        EXPECT_EQ(line.back(), ']') << line;
        return line.substr(open.size(), line.size() - open.size() - 1);
    };
    file.jobs = std::stoi(tag(jobs, "JOBS"));
    file.machines = std::stoi(tag(machines, "MACHINES"));
    for (const std::string& group : split(tag(data, "SCHEDULE_DATA"), ';')) {
        const std::vector<std::string> numbers = split(group, ',');
        EXPECT_EQ(numbers.size() % 3, 0u) << group;
        std::vector<std::array<long, 3>> triples;
        for (std::size_t t = 0; t + 2 < numbers.size(); t += 3) {
            triples.push_back({std::stol(numbers[t]), std::stol(numbers[t + 1]), std::stol(numbers[t + 2])});
        }
        file.groups.push_back(triples);
    }
    for (const std::string& job : split(tag(order, "JOB_ORDER"), ',')) file.order.push_back(std::stoi(job));
    return file;
}

// ---------------------------------------------------------------------------
// The files of small worked schedules
// ---------------------------------------------------------------------------

struct ScheduleFiles : testing::Test {
    TempDir dir;
    std::string path = (dir.path() / "schedule.txt").string();
    std::vector<long> dd{0, 0, 0, 0};
    std::vector<double> w{1.0, 1.0, 1.0, 1.0};
};

TEST_F(ScheduleFiles, SingleMachineIdlesUntilReleaseDates) {
    std::vector<int> p{3, 2, 4}, r{0, 5, 1}, seq{0, 1, 2};
    S1_Rj_GenSchedule(seq.data(), {3, 1, p.data(), dd.data(), w.data(), r.data()}, path.c_str());
    EXPECT_EQ(contents(path), "[JOBS=3]\n[MACHINES=1]\n[SCHEDULE_DATA=0,0,3;0,5,2;0,7,4]\n[JOB_ORDER=0,1,2]\n");
    // One job: a single group closing the list, a single index.
    S1_Rj_GenSchedule(seq.data(), {1, 1, p.data(), dd.data(), w.data(), r.data()}, path.c_str());
    EXPECT_EQ(contents(path), "[JOBS=1]\n[MACHINES=1]\n[SCHEDULE_DATA=0,0,3]\n[JOB_ORDER=0]\n");
}

TEST_F(ScheduleFiles, IdenticalMachinesTakeTheEarliestFreeMachine) {
    std::vector<int> p{4, 3, 2, 5}, r{0, 0, 6, 1}, seq{0, 1, 2, 3};
    Pm_Rj_GenSchedule(seq.data(), {4, 2, p.data(), dd.data(), w.data(), r.data()}, path.c_str());
    EXPECT_EQ(contents(path),
              "[JOBS=4]\n[MACHINES=2]\n[SCHEDULE_DATA=0,0,4;1,0,3;1,6,2;0,4,5]\n[JOB_ORDER=0,1,2,3]\n");
}

TEST_F(ScheduleFiles, UniformMachinesShowEachAssignmentBeforeWriting) {
    // 5 at speed 2 takes lround(2.5) = 3; 3 at speed 2 takes 2.
    std::vector<int> p{5, 4, 3}, v{2, 1}, r{0, 0, 1}, seq{0, 1, 2};
    const RELATED_MACHINES instance{3, 2, p.data(), v.data(), dd.data(), w.data(), r.data()};
    const std::string shown = captured_stdout([&] { Qm_Rj_GenSchedule(seq.data(), instance, path.c_str()); });
    EXPECT_EQ(shown,
              "Trabajo 0 asignado a maquina 0\n(       3,       0)\n"
              "Trabajo 1 asignado a maquina 1\n(       3,       4)\n"
              "Trabajo 2 asignado a maquina 0\n(       5,       4)\n");
    EXPECT_EQ(contents(path), "[JOBS=3]\n[MACHINES=2]\n[SCHEDULE_DATA=0,0,3;1,0,4;0,3,2]\n[JOB_ORDER=0,1,2]\n");
}

TEST_F(ScheduleFiles, UnrelatedMachinesListJobsInSequenceOrder) {
    // Job 2 ties at 4 and takes machine 0; job 0 completes first on machine
    // 1; job 1 would complete there at 4, but its release date makes it 6.
    std::vector<int> m0{2, 5, 4}, m1{3, 1, 4}, r{0, 5, 0}, seq{2, 0, 1};
    int* pt[2] = {m0.data(), m1.data()};
    Rm_Rj_GenSchedule(seq.data(), {3, 2, pt, dd.data(), w.data(), r.data()}, path.c_str());
    EXPECT_EQ(contents(path), "[JOBS=3]\n[MACHINES=2]\n[SCHEDULE_DATA=0,0,4;1,0,3;1,5,1]\n[JOB_ORDER=2,0,1]\n");
}

TEST_F(ScheduleFiles, FlowShopGroupsHoldOneOperationPerMachine) {
    std::vector<int> m0{3, 2, 4}, m1{2, 5, 1}, r{0, 5, 1}, seq{0, 1, 2};
    int* pt[2] = {m0.data(), m1.data()};
    Fm_Prmu_Rj_GenSchedule(seq.data(), {3, 2, pt, dd.data(), w.data(), r.data()}, path.c_str());
    EXPECT_EQ(contents(path),
              "[JOBS=3]\n[MACHINES=2]\n[SCHEDULE_DATA=0,0,3,1,3,2;0,5,2,1,7,5;0,7,4,1,12,1]\n[JOB_ORDER=0,1,2]\n");
    Fm_Prmu_Rj_GenSchedule(seq.data(), {3, 1, pt, dd.data(), w.data(), r.data()}, path.c_str());
    EXPECT_EQ(contents(path), "[JOBS=3]\n[MACHINES=1]\n[SCHEDULE_DATA=0,0,3;0,5,2;0,7,4]\n[JOB_ORDER=0,1,2]\n");
}

TEST_F(ScheduleFiles, JobShopGroupsFollowJobIndexAndRouting) {
    std::vector<int> m0{3, 2}, m1{4, 1}, route0{0, 1}, route1{1, 0}, r{0, 1}, seq_ops{0, 1, 1, 0};
    int* pt[2] = {m0.data(), m1.data()};
    int* rt[2] = {route0.data(), route1.data()};
    Jm_Rj_GenSchedule(seq_ops.data(), {2, 2, pt, rt, dd.data(), w.data(), r.data()}, path.c_str());
    EXPECT_EQ(contents(path), "[JOBS=2]\n[MACHINES=2]\n[SCHEDULE_DATA=0,0,3,1,3,4;1,1,1,0,3,2]\n[JOB_ORDER=0,1]\n");
    // One machine: the operation sequence is a job sequence, the groups
    // still stand in job index order.
    const std::vector<int> one_machine{1, 0};
    route1[0] = 0;
    Jm_Rj_GenSchedule(one_machine.data(), {2, 1, pt, rt, dd.data(), w.data(), r.data()}, path.c_str());
    EXPECT_EQ(contents(path), "[JOBS=2]\n[MACHINES=1]\n[SCHEDULE_DATA=0,3,3;0,1,2]\n[JOB_ORDER=0,1]\n");
}

TEST_F(ScheduleFiles, AnExistingFileIsReplacedAndNoJobsGiveEmptyLists) {
    dir.write("schedule.txt", std::string(500, 'x') + "\n");
    std::vector<int> m0{1}, r{0};
    int* pt[1] = {m0.data()};
    int* rt[1] = {r.data()};
    const std::string empty = "[JOBS=0]\n[MACHINES=1]\n[SCHEDULE_DATA=]\n[JOB_ORDER=]\n";
    Fm_Prmu_Rj_GenSchedule(nullptr, {0, 1, pt, nullptr, w.data(), nullptr}, path.c_str());
    EXPECT_EQ(contents(path), empty);
    Jm_Rj_GenSchedule(nullptr, {0, 1, pt, rt, nullptr, w.data(), nullptr}, path.c_str());
    EXPECT_EQ(contents(path), empty);
    S1_Rj_GenSchedule(nullptr, {0, 1, nullptr, nullptr, w.data(), nullptr}, path.c_str());
    EXPECT_EQ(contents(path), empty);
    std::vector<int> v{1, 1};
    const std::string shown = captured_stdout(
        [&] { Qm_Rj_GenSchedule(nullptr, {0, 2, nullptr, v.data(), nullptr, w.data(), nullptr}, path.c_str()); });
    EXPECT_EQ(shown, "");
    EXPECT_EQ(contents(path), "[JOBS=0]\n[MACHINES=2]\n[SCHEDULE_DATA=]\n[JOB_ORDER=]\n");
}

using ScheduleFilesDeathTest = ScheduleFiles;

void write_single_machine(const char* filename) {
    std::vector<int> p{3}, r{0};
    std::vector<double> w{1.0};
    stdout_to_stderr();
    S1_Rj_GenSchedule(r.data(), {1, 1, p.data(), nullptr, w.data(), r.data()}, filename);
}

void write_uniform_machines(const char* filename) {
    std::vector<int> p{4, 2}, v{1, 2}, r{0, 0}, seq{1, 0};
    std::vector<double> w{1.0, 1.0};
    stdout_to_stderr();
    Qm_Rj_GenSchedule(seq.data(), {2, 2, p.data(), v.data(), nullptr, w.data(), r.data()}, filename);
}

void write_job_shop(const std::vector<int>& seq_ops, int jobs, int machines, const char* filename) {
    std::vector<int> m0{3, 2}, m1{4, 1}, route0{0, 1}, route1{1, 0}, r{0, 1};
    int* pt[2] = {m0.data(), m1.data()};
    int* rt[2] = {route0.data(), route1.data()};
    std::vector<double> w{1.0, 1.0};
    stdout_to_stderr();
    Jm_Rj_GenSchedule(seq_ops.data(), {jobs, machines, pt, rt, nullptr, w.data(), r.data()}, filename);
}

TEST_F(ScheduleFilesDeathTest, AFileThatCannotBeOpenedEndsTheProcess) {
    const std::string unreachable = (dir.path() / "missing" / "schedule.txt").string();
    EXPECT_EXIT(write_single_machine(unreachable.c_str()), testing::ExitedWithCode(1),
                "^File not found: " + unreachable + "\n$");
    // The assignments are shown while the schedule is built, before the
    // file is opened.
    EXPECT_EXIT(write_uniform_machines(unreachable.c_str()), testing::ExitedWithCode(1),
                "^Trabajo 1 asignado a maquina 0\n\\(       2,       0\\)\n"
                "Trabajo 0 asignado a maquina 1\n\\(       2,       2\\)\n"
                "File not found: " +
                    unreachable + "\n$");
}

TEST_F(ScheduleFilesDeathTest, AFileThatCannotBeWrittenInFullIsNotReportedAsWritten) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this machine";
    EXPECT_EXIT(write_single_machine("/dev/full"), testing::ExitedWithCode(1),
                "^Other error\\(s\\): S1_Rj_GenSchedule: the schedule could not be written to /dev/full\n$");
}

TEST_F(ScheduleFilesDeathTest, SchedulesThatCannotBeBuiltEndTheProcessBeforeTheFileExists) {
    EXPECT_EXIT(write_job_shop({0, 1, 1, 1}, 2, 2, path.c_str()), testing::ExitedWithCode(1),
                "^Other error\\(s\\): Jm_Rj_GenSchedule: job 1 occurs more than 2 times in the operation sequence "
                "\\(entry 3\\)\n$");
    EXPECT_EXIT(write_job_shop({0, 7, 1, 0}, 2, 2, path.c_str()), testing::ExitedWithCode(1),
                "Jm_Rj_GenSchedule: entry 1 of the operation sequence is job 7, outside 0..1\n$");
    EXPECT_EXIT(write_job_shop({}, 2, 0, path.c_str()), testing::ExitedWithCode(1),
                "Jm_Rj_GenSchedule: the number of machines must be at least 1 \\(machines=0\\)\n$");
    EXPECT_EXIT(write_job_shop({}, -1, 2, path.c_str()), testing::ExitedWithCode(1),
                "Jm_Rj_GenSchedule: the number of jobs must be at least 0 \\(jobs=-1\\)\n$");
    EXPECT_FALSE(std::filesystem::exists(path));
}

// ---------------------------------------------------------------------------
// Written operations against the evaluators
// ---------------------------------------------------------------------------

// Checks a written file against the instance: the counts, the job order,
// each operation's machine and duration (expected(job, t, written machine)
// gives the machine and the duration operation t of the job's group must
// have), starts no earlier than the job is ready, no two operations
// overlapping on a machine, and the last operation of each group ending at
// the completion time the evaluator gives the job.
template <class Expected>
void check_written(const std::string& path, int m, const std::vector<int>& order, const std::vector<int>& r,
                   const std::vector<long>& completion, int per_group, Expected expected) {
    const int n = static_cast<int>(order.size());
    const ScheduleFile file = read_schedule(path);
    ASSERT_EQ(file.jobs, n);
    ASSERT_EQ(file.machines, m);
    ASSERT_EQ(file.order, order);
    ASSERT_EQ(file.groups.size(), order.size());
    std::vector<std::vector<std::pair<long, long>>> busy(m);
    for (int k = 0; k < n; ++k) {
        const int job = order[k];
        const auto& group = file.groups[k];
        ASSERT_EQ(group.size(), static_cast<std::size_t>(per_group));
        long job_free = std::max(r[job], 0);
        for (int t = 0; t < per_group; ++t) {
            const auto [machine, start, duration] = group[t];
            ASSERT_TRUE(machine >= 0 && machine < m) << machine;
            EXPECT_EQ(std::make_pair(machine, duration), expected(job, t, static_cast<int>(machine)));
            EXPECT_GE(start, job_free);
            job_free = start + duration;
            for (const auto& [s, e] : busy[machine]) EXPECT_TRUE(job_free <= s || e <= start || duration == 0);
            busy[machine].push_back({start, job_free});
        }
        EXPECT_EQ(job_free, completion[job]) << "job " << job;
    }
}

TEST(ScheduleFileProperties, WrittenOperationsAreTheSchedulesTheEvaluatorsBuild) {
    TempDir dir;
    const std::string path = (dir.path() / "schedule.txt").string();
    const char* file = path.c_str();
    std::mt19937 rng(2718);
    for (int trial = 0; trial < 60; ++trial) {
        RandomInstance in(rng, 1 + trial % 9, 1 + trial % 4, true, false);
        const int n = in.n, m = in.m;
        const int* seq = in.seq.data();
        using Op = std::pair<long, long>;

        const SINGLE_MACHINE single = in.single();
        S1_Rj_GenSchedule(seq, single, file);
        check_written(path, 1, in.seq, in.r, take(S1_Rj_Cj(seq, single), n), 1,
                      [&](int job, int, int) { return Op{0, in.pt[0][job]}; });

        const PARALLEL_MACHINES identical = in.parallel();
        Pm_Rj_GenSchedule(seq, identical, file);
        check_written(path, m, in.seq, in.r, take(Pm_Rj_Cj(seq, identical), n), 1,
                      [&](int job, int, int machine) { return Op{machine, in.pt[0][job]}; });

        std::vector<int> v(m);
        for (int& speed : v) speed = 1 + static_cast<int>(rng() % 3);
        const RELATED_MACHINES uniform = in.related(v.data());
        captured_stdout([&] { Qm_Rj_GenSchedule(seq, uniform, file); });
        check_written(path, m, in.seq, in.r, take(Qm_Rj_Cj(seq, uniform), n), 1, [&](int job, int, int machine) {
            return Op{machine, schedule::lround(static_cast<double>(in.pt[0][job]) / v[machine])};
        });

        const UNRELATED_MACHINES unrelated = in.unrelated();
        Rm_Rj_GenSchedule(seq, unrelated, file);
        check_written(path, m, in.seq, in.r, take(Rm_Rj_Cj(seq, unrelated), n), 1,
                      [&](int job, int, int machine) { return Op{machine, in.pt[machine][job]}; });

        const FLOWSHOP flow = in.flow_shop();
        Fm_Prmu_Rj_GenSchedule(seq, flow, file);
        check_written(path, m, in.seq, in.r, take(Fm_Prmu_Rj_Cj(seq, flow), n), m,
                      [&](int job, int t, int) { return Op{t, in.pt[t][job]}; });

        JobShop shop(rng, n, m);
        const JOBSHOP jobs = shop.record(in);
        Jm_Rj_GenSchedule(shop.seq_ops.data(), jobs, file);
        std::vector<int> by_index(n);
        std::iota(by_index.begin(), by_index.end(), 0);
        check_written(path, m, by_index, in.r, take(Jm_Rj_Cj(shop.seq_ops.data(), jobs), n), m,
                      [&](int job, int t, int) {
                          const int machine = shop.routing[job][t];
                          return Op{machine, in.pt[machine][job]};
                      });
    }
}

}  // namespace
