// The checked interface: the same work as the named routines, every failure
// an Error, nothing printed unless asked.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "schedule/checked.h"
#include "schedule/schedule.h"
#include "test_support.h"

namespace {

using namespace schedule;
using testing_support::captured_stdout;
using testing_support::TempDir;

// Everything written to `file` so far.
std::string contents(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    char block[4096];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) text.append(block, got);
    return text;
}

std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string list(int count, const std::function<std::string(int)>& element, char separator = ',') {
    std::string text;
    for (int k = 0; k < count; ++k) text += (k ? std::string(1, separator) : "") + element(k);
    return text;
}

// The tagged text of a random instance of the record's environment: `jobs`
// jobs on `machines` machines, with due dates.
template <class Record>
std::string random_instance(std::mt19937& rng, int jobs, int machines) {
    std::uniform_int_distribution<int> time(0, 20);
    const auto number = [&](int) { return std::to_string(time(rng)); };
    std::string text = "[JOBS=" + std::to_string(jobs) + "]\n";
    if constexpr (!std::is_same_v<Record, SINGLE_MACHINE>) text += "[MACHINES=" + std::to_string(machines) + "]\n";
    text += "[DD=" + list(jobs, [&](int) { return std::to_string(time(rng) * jobs / 2); }) + "]\n";
    if constexpr (std::is_same_v<Record, RELATED_MACHINES>) {
        text += "[V=" + list(machines, [&](int) { return std::to_string(1 + time(rng) % 3); }) + "]\n";
    }
    text += "[R=" + list(jobs, number) + "]\n";
    text += "[W=" + list(jobs, [&](int) { return std::to_string(1 + time(rng) % 4) + ".5"; }) + "]\n";
    if constexpr (std::is_same_v<decltype(Record{}.pt), int*>) {
        text += "[PT=" + list(jobs, number) + "]\n";
    } else {
        text += "[PT=" + list(machines, [&](int) { return list(jobs, number); }, ';') + "]\n";
    }
    if constexpr (std::is_same_v<Record, JOBSHOP>) {
        text += "[RT=" + list(jobs, [&](int) {
                    std::vector<int> routing(static_cast<std::size_t>(machines));
                    std::iota(routing.begin(), routing.end(), 0);
                    std::shuffle(routing.begin(), routing.end(), rng);
                    return list(machines, [&](int k) { return std::to_string(routing[static_cast<std::size_t>(k)]); });
                }, ';') + "]\n";
    }
    return text;
}

// A random sequence of the record: a permutation, or for the job shop each
// job `machines` times.
template <class Record>
std::vector<int> random_sequence(std::mt19937& rng, const Record& record) {
    std::vector<int> seq;
    const int copies = std::is_same_v<Record, JOBSHOP> ? record.machines : 1;
    for (int c = 0; c < copies; ++c)
        for (int j = 0; j < record.jobs; ++j) seq.push_back(j);
    std::shuffle(seq.begin(), seq.end(), rng);
    return seq;
}

template <class Record>
Record named_load(const char* path) {
    if constexpr (std::is_same_v<Record, SINGLE_MACHINE>) return load_SINGLE_MACHINE(path);
    if constexpr (std::is_same_v<Record, PARALLEL_MACHINES>) return load_PARALLEL_MACHINES(path);
    if constexpr (std::is_same_v<Record, RELATED_MACHINES>) return load_RELATED_MACHINES(path);
    if constexpr (std::is_same_v<Record, UNRELATED_MACHINES>) return load_UNRELATED_MACHINES(path);
    if constexpr (std::is_same_v<Record, FLOWSHOP>) return load_FLOWSHOP(path);
    if constexpr (std::is_same_v<Record, OPENSHOP>) return load_OPENSHOP(path);
    if constexpr (std::is_same_v<Record, JOBSHOP>) return load_JOBSHOP(path);
}

template <class Record>
void write_named(const int* seq, Record record, const char* path) {
    if constexpr (std::is_same_v<Record, SINGLE_MACHINE>) S1_Rj_GenSchedule(seq, record, path);
    if constexpr (std::is_same_v<Record, PARALLEL_MACHINES>) Pm_Rj_GenSchedule(seq, record, path);
    if constexpr (std::is_same_v<Record, RELATED_MACHINES>) Qm_Rj_GenSchedule(seq, record, path);
    if constexpr (std::is_same_v<Record, UNRELATED_MACHINES>) Rm_Rj_GenSchedule(seq, record, path);
    if constexpr (std::is_same_v<Record, FLOWSHOP>) Fm_Prmu_Rj_GenSchedule(seq, record, path);
    if constexpr (std::is_same_v<Record, JOBSHOP>) Jm_Rj_GenSchedule(seq, record, path);
}

// Every field of two records holds the same values.
template <class Record>
void expect_same(const Record& a, const Record& b) {
    ASSERT_EQ(a.jobs, b.jobs);
    ASSERT_EQ(a.machines, b.machines);
    const int n = a.jobs;
    const auto vec = [](const auto* v, int len) { return std::vector<std::decay_t<decltype(*v)>>(v, v + len); };
    EXPECT_EQ(vec(a.dd, n), vec(b.dd, n));
    EXPECT_EQ(vec(a.w, n), vec(b.w, n));
    EXPECT_EQ(vec(a.r, n), vec(b.r, n));
    if constexpr (std::is_same_v<decltype(a.pt), int*>) {
        EXPECT_EQ(vec(a.pt, n), vec(b.pt, n));
    } else {
        for (int i = 0; i < a.machines; ++i) EXPECT_EQ(vec(a.pt[i], n), vec(b.pt[i], n));
    }
    if constexpr (requires { a.v; }) {
        EXPECT_EQ(vec(a.v, a.machines), vec(b.v, b.machines));
    }
    if constexpr (requires { a.rt; }) {
        for (int j = 0; j < n; ++j) EXPECT_EQ(vec(a.rt[j], a.machines), vec(b.rt[j], b.machines));
    }
}

template <class Record>
class CheckedRecord : public testing::Test {};
using AllRecords = testing::Types<SINGLE_MACHINE, PARALLEL_MACHINES, RELATED_MACHINES, UNRELATED_MACHINES, FLOWSHOP,
                                  OPENSHOP, JOBSHOP>;
TYPED_TEST_SUITE(CheckedRecord, AllRecords);

// The checked load gives the named loader's record, and its echo is the
// named loader's console output; from text in memory it is the same again.
TYPED_TEST(CheckedRecord, LoadIsTheNamedLoadWithItsEchoOnTheCallersStream) {
    using Record = TypeParam;
    std::mt19937 rng(11);
    const TempDir dir;
    const std::string path = dir.write("instance.txt", random_instance<Record>(rng, 6, 3));

    Record named{};
    const std::string console = captured_stdout([&] { named = named_load<Record>(path.c_str()); });
    std::FILE* echo = std::tmpfile();
    ASSERT_NE(echo, nullptr);
    Instance<Record> checked;
    const std::string quiet = captured_stdout([&] { checked = load<Record>(path, {echo, false}); });
    EXPECT_EQ(quiet, "");
    EXPECT_EQ(contents(echo), console);
    std::fclose(echo);
    expect_same(checked.get(), named);
    expect_same(load_text<Record>(read_bytes(path), path).get(), named);
    expect_same(load<Record>(path, {nullptr, true}).get(), named);
    release(named);
    release(named);  // a released record holds nothing more to release
}

// A rejected file: an Error that leads with the file, the line and the fault,
// and holds the report the named loader prints before it ends the process,
// down to the summary.
TYPED_TEST(CheckedRecord, RejectedLoadCarriesTheWholeReport) {
    const TempDir dir;
    const std::string path = dir.write("bad.txt", "[JOBS=0]\n[MACHINES=1]\n[PT=1,2]\n");
    for (const bool strict : {false, true}) {
        std::FILE* echo = std::tmpfile();
        ASSERT_NE(echo, nullptr);
        try {
            (void)load<TypeParam>(path, {echo, strict});
            FAIL() << "the load was accepted";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), ErrorKind::instance);
            EXPECT_EQ(e.code(), 0);
            EXPECT_EQ(std::string(e.what()), path + ":1: JOBS must be at least 1 (JOBS=0)");
            EXPECT_EQ(e.report(), contents(echo));
            EXPECT_NE(e.report().find("completed with "), std::string::npos);
            EXPECT_TRUE(e.report().ends_with("The program cannot continue.\n"));
        }
        std::fclose(echo);
    }
    try {
        (void)load<TypeParam>(dir.path().string() + "/missing.txt");
        FAIL() << "a missing file was loaded";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::file);
        EXPECT_EQ(e.code(), 2);
        EXPECT_EQ(std::string(e.what()), "File not found: " + dir.path().string() + "/missing.txt");
    }
}

// A strict load rejects, naming the tag and the element, what a plain load
// reads as a number; a plain load of the same file still succeeds. The
// Error's one line names the file, the line of the element and the fault; the
// report says it in the loader's words.
struct StrictCase {
    std::string attribute;  // the tag line replaced
    std::string fault;      // what() after the file's name
    std::string reported;   // what the report says
    bool uniform = false;   // a uniform-machine file instead of a job shop
};
void PrintTo(const StrictCase& c, std::ostream* out) { *out << c.fault; }
class StrictLoad : public testing::TestWithParam<StrictCase> {};

TEST_P(StrictLoad, NamesTheElementAPlainLoadWouldAccept) {
    const bool uniform = GetParam().uniform;
    std::string text = std::string("[JOBS=3]\n[MACHINES=2]\n[DD=5,6,7]\n[V=1,2]\n[R=0,0,1]\n[W=1,2,3]\n") +
                       (uniform ? "[PT=1,2,3]\n" : "[PT=1,2,3;4,5,6]\n[RT=0,1;1,0;0,1]\n");
    const std::string tag = GetParam().attribute.substr(0, GetParam().attribute.find('=') + 1);
    const auto at = text.find(tag);
    text.replace(at, text.find('\n', at) - at, GetParam().attribute);
    const TempDir dir;
    const std::string path = dir.write("strict.txt", text);
    const auto strictly = [&](bool strict) {
        if (uniform) {
            (void)load<RELATED_MACHINES>(path, {nullptr, strict});
        } else {
            (void)load<JOBSHOP>(path, {nullptr, strict});
        }
    };
    if (GetParam().attribute != "[V=1,0]") {
        EXPECT_NO_THROW(strictly(false));
    }
    for (const bool by_default : {false, true}) {
        try {
            if (by_default && uniform) {
                (void)load<RELATED_MACHINES>(path);
            } else if (by_default) {
                (void)load<JOBSHOP>(path);
            } else {
                strictly(true);
            }
            FAIL() << "accepted: " << GetParam().attribute;
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), ErrorKind::instance);
            EXPECT_EQ(std::string(e.what()), path + GetParam().fault);
            EXPECT_NE(e.report().find(GetParam().reported), std::string::npos) << e.report();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Checked, StrictLoad,
    testing::Values(
        StrictCase{"[PT=1,x,3;4,5,6]", ":7: PT[0][1] is not an integer (\"x\")", "PT[0][1] in the file"},
        StrictCase{"[PT=1,2,3;4,6.5,6]", ":7: PT[1][1] is not an integer (\"6.5\")", "PT[1][1]"},
        StrictCase{"[PT=1,2,3;\n4,5,\n-6]", ":9: PT[1][2] must be at least 0 (\"-6\")", "PT[1][2] in the file"},
        StrictCase{"[PT=1,2,3;4,5,99999999999]", ":7: PT[1][2] must be at most 2147483647 (\"99999999999\")",
                   "must be at most 2147483647"},
        StrictCase{"[W=1,nan,3]", ":6: W[1] is not a finite number (\"nan\")", "W[1] in the file"},
        StrictCase{"[W=1,2,-3]", ":6: W[2] must be at least 0 (\"-3\")", "must be at least 0"},
        StrictCase{"[DD=5,6,99999999999999999999]", ":3: DD[2] is out of range (\"99999999999999999999\")", "DD[2]"},
        StrictCase{"[R=0,0,1x]", ":5: R[2] is not an integer (\"1x\")", "R[2]"},
        StrictCase{"[JOBS=3.0]", ":1: JOBS[0] is not an integer (\"3.0\")", "JOBS[0]"},
        StrictCase{"[V=1,0]", ":4: V[1] must be at least 1 (\"0\")", "V[1] in the file", true},
        StrictCase{"[RT=0,1;1,2;0,1]", ":8: RT[1][1] must be at most 1 (\"2\")", "RT[1][1] in the file"},
        StrictCase{"[JOBS=3][JBOS=3]", ":1: unknown tag JBOS (did you mean JOBS?)", "The tag JBOS in the file"},
        StrictCase{"[DD=5,6,7]\n[WW=1]", ":4: unknown tag WW (did you mean W?)", "is unknown (did you mean W?)"},
        StrictCase{"[W=1,2,3]\n# comment [NOTE=x]", ":7: unknown tag NOTE", "The tag NOTE in the file"}));

// Every rejected load leads with its first fault, strict or not, in one line
// that leaves out the warnings (of attributes the environment does not use,
// say); a file of another layout is named as such.
TEST(CheckedLoad, ErrorsLeadWithTheFault) {
    const TempDir dir;
    struct Case {
        std::string text;
        std::string fault;  // what() after the file's name
        bool strict;
    };
    const Case cases[] = {
        {"[MACHINES=2]\n[PT=3,2;2,5]\n", ": JOBS is not specified", false},
        {"[JOBS=2]\n[MACHINES=2]\n[PT=3,2,4;2,5,1]\n", ":3: PT row 0 has 3 entries where JOBS is 2", true},
        {"[JOBS=3]\n[MACHINES=2]\n[PT=3,2,4;\n2,5]\n", ":4: PT row 1 has 2 entries where JOBS is 3", false},
        {"[JOBS=3]\n[MACHINES=2]\n[PT=3,2,4;2,5,1;1,1,1]\n", ":3: PT has 3 rows where MACHINES is 2 (rows are separated by ;)",
         true},
        {"[JOBS=3]\n[MACHINES=2]\n\n[DD=1,2]\n[PT=3,2,4;2,5,1]\n", ":4: DD has 2 entries where JOBS is 3", true},
        {"[JOBS=3]\n[MACHINES=2]\n[R=0,0,0]\n", ": PT is not specified", true},
        {"[JOBS=3]\n[MACHINES=2]\n[PT=3,2,4;2,5,x]\n", ":3: PT[1][2] is not an integer (\"x\")", true},
        {"[JBOS=3]\n[MACHINES=2]\n[PT=3,2,4;2,5,1]\n", ":1: unknown tag JBOS (did you mean JOBS?)", true},
        {"", ": the file is empty", true},
        {"2 2\n0 3 1 2\n1 4 0 1\n",
         ": the file holds no tag entry [NAME=...]: it is not a tagged file; it looks like layout classic", true},
        {"a two-job shop\n2 2\n0 3 1 2\n1 4 0 x\n",
         ": the file holds no tag entry [NAME=...]: it is not a tagged file; it looks like layout classic", true},
    };
    for (const Case& c : cases) {
        const std::string path = dir.write("f.txt", c.text);
        try {
            (void)load<FLOWSHOP>(path, {nullptr, c.strict});
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), path + c.fault) << e.report();
            EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos);
            if (c.fault.find("DD") == std::string::npos) {
                EXPECT_EQ(std::string(e.what()).find("DD"), std::string::npos);
            }
        }
        try {
            (void)load_text<FLOWSHOP>(c.text, "in memory", {nullptr, c.strict});
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), "in memory" + c.fault);
        }
    }
    // The environment from the tags: an unknown tag is named before the tags are read for it.
    const std::string typo = dir.write("typo.txt", "[JBOS=3]\n[MACHINES=2]\n[PT=3,2,4;2,5,1]\n");
    try {
        (void)load_instance(typo, std::nullopt);
        ADD_FAILURE() << "accepted";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), typo + ":1: unknown tag JBOS (did you mean JOBS?)");
    }
    EXPECT_EQ(likely_layouts("20 5\n" + std::string(5, ' ')), std::vector<Layout>{});
    EXPECT_EQ(likely_layouts("number of jobs, number of machines ...\n"), std::vector<Layout>{Layout::taillard});
    EXPECT_EQ(likely_layouts("2 3\n1 2 3\n4 5 6\n"),
              (std::vector<Layout>{Layout::machine_rows, Layout::job_rows_due_dates}));
    EXPECT_EQ(likely_layouts("2 3\n1 2\n4 5\n6 7\n"), std::vector<Layout>{Layout::job_rows});
    EXPECT_EQ(likely_layouts("[JOBS=2]"), std::vector<Layout>{});
}

template <class Record>
class CheckedEvaluation : public testing::Test {};
using EvaluatedRecords =
    testing::Types<SINGLE_MACHINE, PARALLEL_MACHINES, RELATED_MACHINES, UNRELATED_MACHINES, FLOWSHOP, JOBSHOP>;
TYPED_TEST_SUITE(CheckedEvaluation, EvaluatedRecords);

// Every entry of the objective table names the evaluator it calls, and the
// checked evaluation by name is that evaluator's value; the completion times,
// the schedule's operations and the file text are the named routines' too.
TYPED_TEST(CheckedEvaluation, AgreesWithTheNamedRoutines) {
    using Record = TypeParam;
    std::mt19937 rng(5);
    const TempDir dir;
    const std::string file = dir.path().string() + "/named.txt";
    for (int trial = 0; trial < 6; ++trial) {
        const auto instance = load_text<Record>(random_instance<Record>(rng, 1 + trial * 2, 1 + trial % 4), "t");
        const Record& record = instance.get();
        const std::vector<int> seq = random_sequence(rng, record);
        for (std::size_t k = 0; k < objective_table<Record>.size(); ++k) {
            const Objective<Record>& objective = objective_table<Record>[k];
            EXPECT_EQ(objective.name, objective_table<SINGLE_MACHINE>[k].name);
            const Value value = evaluate(record, seq, objective.name);
            if (objective.weighted) {
                EXPECT_EQ(std::get<double>(value), objective.real(seq.data(), record)) << objective.name;
            } else {
                EXPECT_EQ(std::get<long>(value), objective.integer(seq.data(), record)) << objective.name;
            }
        }
        const std::vector<long> completion = completion_times(record, seq);
        constexpr bool last_is_makespan = std::is_same_v<Record, SINGLE_MACHINE> || std::is_same_v<Record, FLOWSHOP>;
        const long makespan = last_is_makespan ? completion[static_cast<std::size_t>(seq.back())]
                                               : *std::max_element(completion.begin(), completion.end());
        EXPECT_EQ(std::get<long>(evaluate(record, seq, "Cmax")), makespan);

        (void)captured_stdout([&] { write_named(seq.data(), record, file.c_str()); });
        const std::string text = schedule_file_text(record, seq);
        EXPECT_EQ(text, read_bytes(file));
        const std::string written = dir.path().string() + "/checked.txt";
        write_schedule(record, seq, written);
        EXPECT_EQ(read_bytes(written), text);
        const std::vector<Operation> operations = schedule_operations(record, seq);
        for (const Operation& op : operations) {
            EXPECT_LE(op.end, completion[static_cast<std::size_t>(op.job)]);
            EXPECT_GE(op.start, record.r[op.job]);
        }
        // The file reads back as the schedule it was written from.
        const ScheduleFile back = read_schedule_text(text, "s.sched");
        EXPECT_EQ(back.jobs, record.jobs);
        EXPECT_EQ(back.machines, record.machines);
        EXPECT_EQ(back.job_order, schedule_job_order(record, seq));
        ASSERT_EQ(back.operations.size(), operations.size());
        for (std::size_t k = 0; k < operations.size(); ++k) {
            const Operation &read = back.operations[k], &placed = operations[k];
            EXPECT_EQ(std::tie(read.job, read.machine, read.start, read.end),
                      std::tie(placed.job, placed.machine, placed.start, placed.end));
        }
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2) << "a temporary file was left";
}

// A schedule file's reader refuses what is not one, naming the fault in one line.
TEST(ScheduleFileReader, RefusesWhatIsNotAScheduleFile) {
    const std::string head = "[JOBS=2]\n[MACHINES=2]\n";
    const std::pair<std::string, std::string> cases[] = {
        {head + "[SCHEDULE_DATA=0,0,4;1,0,6]\n", "expected four tagged lines, found 3"},
        {head + "[SCHEDULE_DATA=0,0,4;1,0,6]\n[JOB_ORDER=0,0]\n", "JOB_ORDER is not a permutation of the jobs"},
        {head + "[SCHEDULE_DATA=0,0,4;2,0,6]\n[JOB_ORDER=0,1]\n", "job 1 runs on machine 2, which does not exist"},
        {head + "[SCHEDULE_DATA=0,0;1,0,6]\n[JOB_ORDER=0,1]\n", "the group of job 0 is not machine,start,duration triples"},
        {head + "[SCHEDULE_DATA=]\n[JOB_ORDER=0,1]\n", "SCHEDULE_DATA has 0 groups for 2 jobs"},
        {head + "[SCHEDULE_DATA=0,0,4;1,0,6;]\n[JOB_ORDER=0,1]\n", "SCHEDULE_DATA has 3 groups for 2 jobs"},
        {head + "[SCHEDULE_DATA=0,0,4;0,3,6]\n[JOB_ORDER=0,1]\n", "machine 0 runs jobs 0 and 1 at once"},
        {head + "[SCHEDULE_DATA=0,-1,4;1,0,6]\n[JOB_ORDER=0,1]\n", "job 0 has a negative or huge start or duration"},
        {"[JOBS=100001]\n[MACHINES=2]\n[SCHEDULE_DATA=]\n[JOB_ORDER=]\n", "JOBS is not a count"},
        {"[JOBS=0]\n[MACHINES=2]\n[SCHEDULE_DATA=0,0,1]\n[JOB_ORDER=]\n", "SCHEDULE_DATA lists operations of no job"},
        {"[JOBZ=2]\n[MACHINES=2]\n[SCHEDULE_DATA=0,0,4;1,0,6]\n[JOB_ORDER=0,1]\n", "line 1 should be [JOBS=...]"},
    };
    for (const auto& [text, why] : cases) {
        try {
            (void)read_schedule_text(text, "s.sched");
            ADD_FAILURE() << "accepted: " << text;
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), ErrorKind::instance);
            EXPECT_EQ(std::string(e.what()), "'s.sched' is not a schedule file: " + why);
        }
    }
    // Windows line ends and no jobs at all are a schedule file.
    EXPECT_EQ(read_schedule_text("[JOBS=1]\r\n[MACHINES=1]\r\n[SCHEDULE_DATA=0,0,3]\r\n[JOB_ORDER=0]\r\n", "w")
                  .operations.size(),
              1u);
    EXPECT_EQ(read_schedule_text("[JOBS=0]\n[MACHINES=0]\n[SCHEDULE_DATA=]\n[JOB_ORDER=]\n", "e").jobs, 0);
}

// What the named evaluators take on trust, the checked ones refuse.
TYPED_TEST(CheckedEvaluation, RefusesBadArgumentsWithAnError) {
    using Record = TypeParam;
    std::mt19937 rng(3);
    auto instance = load_text<Record>(random_instance<Record>(rng, 4, 2), "t");
    Record& record = instance.get();
    const std::vector<int> good = random_sequence(rng, record);
    const auto refused = [&](std::vector<int> seq, std::string_view objective, const std::string& expected) {
        try {
            (void)evaluate(record, seq, objective);
            ADD_FAILURE() << "accepted, expected: " << expected;
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), ErrorKind::argument);
            EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
        }
    };
    refused({good.begin(), good.end() - 1}, "Cmax", "entries; the instance needs");
    std::vector<int> wrong = good;
    wrong[0] = 4;
    refused(wrong, "Cmax", "is job 4; jobs are 0..3");
    wrong[0] = wrong[1];
    refused(wrong, "Cmax", std::is_same_v<Record, JOBSHOP> ? "more than 2 times" : "appears twice");
    refused(good, "cmax", "unknown objective 'cmax' (did you mean Cmax?)");
    refused(good, "Makespan", "unknown objective 'Makespan' (known: Cmax, Emax");
    long* due_dates = record.dd;
    record.dd = nullptr;
    refused(good, "Wj_SumTj", "Wj_SumTj needs due dates");
    record.dd = due_dates;
    if constexpr (!std::is_same_v<Record, SINGLE_MACHINE>) {
        const int machines = record.machines;
        record.machines = 0;
        refused(good, "Cmax", "at least one machine");
        record.machines = machines;
    }
    if constexpr (std::is_same_v<Record, RELATED_MACHINES>) {
        record.v[1] = 0;
        refused(good, "Cmax", "the speed of machine 1 must be at least 1");
    }
    if constexpr (std::is_same_v<Record, JOBSHOP>) {
        record.rt[2][1] = -1;
        refused(good, "Cmax", "operation 1 of job 2 is routed to machine -1");
    }
}

TEST(CheckedEvaluation, InsertionMakespansAreCheckedAndExact) {
    std::mt19937 rng(8);
    const auto shop = load_text<FLOWSHOP>(random_instance<FLOWSHOP>(rng, 5, 3), "shop");
    const std::vector<int> partial = {3, 0, 4};
    const std::vector<long> makespans = insertion_makespans(shop.get(), partial, 2);
    ASSERT_EQ(makespans.size(), 4u);
    FLOWSHOP four_jobs = shop.get();  // the evaluator reads only the jobs of the sequence
    four_jobs.jobs = 4;
    for (std::size_t l = 0; l <= partial.size(); ++l) {
        std::vector<int> whole = partial;
        whole.insert(whole.begin() + static_cast<long>(l), 2);
        EXPECT_EQ(makespans[l], Fm_Prmu_Rj_Cmax(whole.data(), four_jobs));
    }
    EXPECT_THROW((void)insertion_makespans(shop.get(), partial, 0), Error);
    EXPECT_THROW((void)insertion_makespans(shop.get(), partial, 5), Error);
    const std::vector<int> repeated = {3, 3};
    EXPECT_THROW((void)insertion_makespans(shop.get(), repeated, 2), Error);
}

// Storage an evaluation cannot have is an Error of kind memory: a checked
// routine never takes the named routines' way out of the process. The child
// caps its address space a little above what it holds, so that the
// completion times of eight million jobs (64 MB) cannot be had, while
// checking the sequence (32 MB at most) can.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define CHECKED_TEST_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define CHECKED_TEST_SANITIZED 1
#endif
#endif
#ifndef CHECKED_TEST_SANITIZED  // the sanitizers reserve far more address space than the cap
void evaluate_without_room() {
    const int jobs = 1 << 23;
    Instance<SINGLE_MACHINE> single(SINGLE_MACHINE{jobs, 1, nullptr, nullptr, nullptr, nullptr});
    single.get().pt = allocate_vector<int>(jobs).release();
    single.get().r = allocate_vector<int>(jobs).release();
    single.get().w = allocate_vector<double>(jobs).release();
    std::fill_n(single.get().pt, jobs, 1);
    std::fill_n(single.get().r, jobs, 0);
    std::fill_n(single.get().w, jobs, 1.0);
    std::vector<int> seq(static_cast<std::size_t>(jobs));
    std::iota(seq.begin(), seq.end(), 0);
    std::ifstream statm("/proc/self/statm");
    unsigned long pages = 0;
    statm >> pages;
    const rlim_t cap = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (rlim_t{48} << 20);
    const rlimit limit{cap, cap};
    setrlimit(RLIMIT_AS, &limit);
    try {
        (void)completion_times(single.get(), seq);
    } catch (const Error& e) {
        std::exit(e.kind() == ErrorKind::memory ? 0 : 3);
    }
    std::exit(4);
}

TEST(CheckedEvaluation, StorageThatCannotBeHadIsAnError) {
    EXPECT_EXIT(evaluate_without_room(), testing::ExitedWithCode(0), "");
}
#endif

TEST(CheckedFiles, AnAtomicWriteThatFailsLeavesNothing) {
    const TempDir dir;
    const std::string target = dir.path().string() + "/out.txt";
    write_file_atomically(target, "first");
    write_file_atomically(target, "second");
    EXPECT_EQ(read_file(target), "second");
    EXPECT_THROW(write_file_atomically(dir.path().string() + "/missing/out.txt", "x"), Error);
    EXPECT_THROW((void)read_file(dir.path().string()), Error);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(Instance, MovesItsBlocksAndReleasesThemOnce) {
    std::mt19937 rng(2);
    Instance<JOBSHOP> a = load_text<JOBSHOP>(random_instance<JOBSHOP>(rng, 3, 2), "a");
    const int** rows = const_cast<const int**>(a->pt);
    Instance<JOBSHOP> b = std::move(a);
    EXPECT_EQ(a->pt, nullptr);
    EXPECT_EQ(const_cast<const int**>(b->pt), rows);
    b = load_text<JOBSHOP>(random_instance<JOBSHOP>(rng, 2, 2), "b");
    EXPECT_EQ(b.jobs(), 2);
    JOBSHOP handed = b.release();
    EXPECT_EQ(b->rt, nullptr);
    release(handed);
}

// Signed zeros and summation order, where a weighted objective must not
// depend on how its fold is written.
TEST(WeightedObjectives, KeepSignedZerosAndTheOrderOfTheirTerms) {
    // A maximum: a later term replaces the first only when strictly greater,
    // so +0.0 stays ahead of −0.0.
    int pt[2] = {0, 5};
    long dd[2] = {0, 0};
    double w[2] = {1.0, -0.0};
    int r[2] = {0, 0};
    const int seq[2] = {0, 1};
    const SINGLE_MACHINE single{2, 1, pt, dd, w, r};
    EXPECT_FALSE(std::signbit(S1_Rj_Wj_Cmax(seq, single)));
    // The total weight of the tardy jobs starts at +0.0 in every environment:
    // one job alone, tardy, of weight −0.0 leaves it +0.0 (from −0.0, or from
    // its first term, the sum would be −0.0).
    {
        int late[1] = {5};
        int* late_rows[1] = {late};
        int route[1] = {0};
        int* routing[1] = {route};
        long due[1] = {0};
        double negative_zero[1] = {-0.0};
        int released[1] = {0};
        int speed[1] = {1};
        const int one[1] = {0};
        const SINGLE_MACHINE s{1, 1, late, due, negative_zero, released};
        const PARALLEL_MACHINES p{1, 1, late, due, negative_zero, released};
        const RELATED_MACHINES q{1, 1, late, speed, due, negative_zero, released};
        const UNRELATED_MACHINES u{1, 1, late_rows, due, negative_zero, released};
        const FLOWSHOP f{1, 1, late_rows, due, negative_zero, released};
        const JOBSHOP j{1, 1, late_rows, routing, due, negative_zero, released};
        double batch[2] = {1.0, 1.0};  // the batch evaluators of the single machine and the flow shop
        S1_Rj_Wj_SumUj_many(one, 1, s, &batch[0]);
        Fm_Prmu_Rj_Wj_SumUj_many(one, 1, f, &batch[1]);
        for (const double total : {S1_Rj_Wj_SumUj(one, s), Pm_Rj_Wj_SumUj(one, p), Qm_Rj_Wj_SumUj(one, q),
                                   Rm_Rj_Wj_SumUj(one, u), Fm_Prmu_Rj_Wj_SumUj(one, f), Jm_Rj_Wj_SumUj(one, j),
                                   batch[0], batch[1]}) {
            EXPECT_EQ(total, 0.0);
            EXPECT_FALSE(std::signbit(total));
        }
    }
    // A job-shop weighted sum adds its terms in job-index order.
    int row[3] = {1, 1, 1};
    int* times[1] = {row};
    int routing_rows[3][1] = {{0}, {0}, {0}};
    int* routing[3] = {routing_rows[0], routing_rows[1], routing_rows[2]};
    double weights[3] = {5e15, -1e16 / 3, 1.0};
    int releases[3] = {0, 0, 0};
    const JOBSHOP shop{3, 1, times, routing, nullptr, weights, releases};
    // Completions 2, 3 and 1: terms 1e16, −1e16 and 1.0 by job, which placed
    // in the order the machine meets the jobs would sum to 0.0.
    const int ops[3] = {2, 0, 1};
    EXPECT_EQ(Jm_Rj_Wj_SumCj(ops, shop), 1.0);
}

}  // namespace
