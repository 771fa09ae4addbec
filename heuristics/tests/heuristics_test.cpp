// The reference heuristics on small random instances whose optimum is found
// by enumeration, one table of cases for every environment and method: each
// search reaches the optimum, every value reported is the toolkit's
// evaluator on the sequence reported, and a seed with an iteration budget
// gives the same run again. Then NEH against the published makespans of all
// of Taillard's flow shops, and the rows of a run of a set.
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include <zurududo/benchmarks.h>
#include <zurududo/experiment.h>
#include <zurududo/report.h>
#include <zurududo/heuristics.h>

namespace {

using namespace zurududo;
using namespace zurududo::heuristics;

// ---------------------------------------------------------------------------
// Random records, owned.
// ---------------------------------------------------------------------------

class Draw {
public:
    explicit Draw(unsigned seed) : engine_(seed) {}
    int operator()(int low, int high) { return std::uniform_int_distribution<int>(low, high)(engine_); }

    int* ints(int n, int low, int high) {
        int* v = schedule::newIVector(n);
        for (int k = 0; k < n; ++k) v[k] = (*this)(low, high);
        return v;
    }
    int** matrix(int rows, int cols, int low, int high) {
        int** m = reinterpret_cast<int**>(schedule::dyn_mat(rows, cols, sizeof(int)));
        for (int i = 0; i < rows; ++i)
            for (int j = 0; j < cols; ++j) m[i][j] = (*this)(low, high);
        return m;
    }
    template <class Record>
    void job_data(Record& record, int sum_p, bool released) {
        const int n = record.jobs;
        record.dd = schedule::newLVector(n);
        record.w = schedule::newDVector(n);
        record.r = ints(n, 0, released ? sum_p / 3 : 0);
        for (int j = 0; j < n; ++j) {
            record.dd[j] = (*this)(sum_p / 4, sum_p);
            record.w[j] = (*this)(1, 10);
        }
    }

private:
    std::mt19937 engine_;
};

// One case: a record, the toolkit's evaluator of an objective, the entries
// of a sequence, and the method under test (the generic search by default).
struct Problem {
    std::shared_ptr<void> owner;
    std::vector<int> entries;
    std::function<double(const int*)> evaluate;
    std::function<Result(const Options&)> solve;
};

std::vector<int> identity(int n) {
    std::vector<int> v(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) v[static_cast<std::size_t>(k)] = k;
    return v;
}

double as_double(const schedule::Value& value) {
    return std::visit([](auto v) { return static_cast<double>(v); }, value);
}

template <class Record>
Problem problem(Record record, std::string objective, std::vector<int> entries) {
    auto owner = std::make_shared<schedule::Instance<Record>>(record);
    const Record* x = &owner->get();
    const std::size_t length = entries.size();
    return {owner, std::move(entries),
            [x, objective, length](const int* s) {
                return as_double(schedule::evaluate(*x, std::span<const int>(s, length), objective));
            },
            [x, objective](const Options& o) { return generic_search(*x, objective, o); }};
}

Problem flow_shop(unsigned seed, bool released, const char* objective) {
    Draw draw(seed);
    schedule::FLOWSHOP x{};
    x.jobs = 7;
    x.machines = 4;
    x.pt = draw.matrix(4, 7, 1, 20);
    draw.job_data(x, 7 * 10, released);
    Problem p = problem(x, objective, identity(7));
    if (std::string(objective) == "Cmax") {
        const auto* record = &static_cast<schedule::Instance<schedule::FLOWSHOP>*>(p.owner.get())->get();
        p.solve = [record](const Options& o) { return iterated_greedy(*record, o); };
    }
    return p;
}

Problem weighted_tardiness(unsigned seed, bool generic = false) {
    Draw draw(seed);
    schedule::SINGLE_MACHINE x{};
    x.jobs = 8;
    x.machines = 1;
    x.pt = draw.ints(8, 1, 20);
    draw.job_data(x, 8 * 10, false);
    Problem p = problem(x, "Wj_SumTj", identity(8));
    const auto* record = &static_cast<schedule::Instance<schedule::SINGLE_MACHINE>*>(p.owner.get())->get();
    if (!generic) p.solve = [record](const Options& o) { return weighted_tardiness_search(*record, o); };
    return p;
}

Problem parallel_machines(unsigned seed) {
    Draw draw(seed);
    schedule::PARALLEL_MACHINES x{};
    x.jobs = 8;
    x.machines = 3;
    x.pt = draw.ints(8, 1, 20);
    draw.job_data(x, 8 * 10 / 3, true);
    return problem(x, "Wj_SumTj", identity(8));
}

Problem uniform_machines(unsigned seed) {
    Draw draw(seed);
    schedule::RELATED_MACHINES x{};
    x.jobs = 7;
    x.machines = 2;
    x.pt = draw.ints(7, 1, 20);
    x.v = draw.ints(2, 1, 3);
    draw.job_data(x, 7 * 10 / 3, false);
    return problem(x, "Lmax", identity(7));
}

Problem unrelated_machines(unsigned seed) {
    Draw draw(seed);
    schedule::UNRELATED_MACHINES x{};
    x.jobs = 7;
    x.machines = 2;
    x.pt = draw.matrix(2, 7, 1, 20);
    draw.job_data(x, 7 * 10 / 2, false);
    return problem(x, "SumUj", identity(7));
}

// Three jobs of three operations: the operation sequence holds each job three times.
Problem job_shop(unsigned seed) {
    Draw draw(seed);
    schedule::JOBSHOP x{};
    x.jobs = 3;
    x.machines = 3;
    x.pt = draw.matrix(3, 3, 1, 20);
    x.rt = reinterpret_cast<int**>(schedule::dyn_mat(3, 3, sizeof(int)));
    for (int j = 0; j < 3; ++j) {
        std::vector<int> route = identity(3);
        std::shuffle(route.begin(), route.end(), std::mt19937(seed + static_cast<unsigned>(j)));
        for (int k = 0; k < 3; ++k) x.rt[j][k] = route[static_cast<std::size_t>(k)];
    }
    draw.job_data(x, 30, true);
    return problem(x, "Cmax", {0, 0, 0, 1, 1, 1, 2, 2, 2});
}

// The tabu search on the same shops, on one thread or three; tabu searches
// of 50 moves without a new best suit shops this small.
Problem job_shop_tabu_search(unsigned seed, int threads) {
    Problem p = job_shop(seed);
    const auto* record = &static_cast<schedule::Instance<schedule::JOBSHOP>*>(p.owner.get())->get();
    p.solve = [record, threads](const Options& o) {
        TabuSearchParameters parameters;
        parameters.stagnation = 50;
        parameters.threads = threads;
        parameters.exchange = 100;
        return tabu_search(*record, o, parameters);
    };
    return p;
}

struct Case {
    const char* name;
    std::function<Problem(unsigned seed)> make;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

std::vector<Case> cases() {
    return {{"IteratedGreedyFlowShop", [](unsigned s) { return flow_shop(s, false, "Cmax"); }},
            {"IteratedGreedyFlowShopReleased", [](unsigned s) { return flow_shop(s, true, "Cmax"); }},
            {"TardinessSearch", [](unsigned s) { return weighted_tardiness(s); }},
            {"GenericFlowShopWeightedTardiness", [](unsigned s) { return flow_shop(s, true, "Wj_SumTj"); }},
            {"GenericSingleMachineWeightedTardiness", [](unsigned s) { return weighted_tardiness(s, true); }},
            {"GenericParallelWeightedTardiness", parallel_machines},
            {"GenericUniformMaximumLateness", uniform_machines},
            {"GenericUnrelatedLateJobs", unrelated_machines},
            {"GenericJobShopMakespan", job_shop},
            {"TabuSearchJobShop", [](unsigned s) { return job_shop_tabu_search(s, 1); }},
            {"TabuSearchJobShopThreeThreads", [](unsigned s) { return job_shop_tabu_search(s, 3); }}};
}

double optimum(const Problem& problem) {
    std::vector<int> s = problem.entries;
    std::sort(s.begin(), s.end());
    double best = problem.evaluate(s.data());
    while (std::next_permutation(s.begin(), s.end())) best = std::min(best, problem.evaluate(s.data()));
    return best;
}

bool same_entries(std::vector<int> a, std::vector<int> b) {
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return a == b;
}

class Search : public testing::TestWithParam<Case> {};

TEST_P(Search, ReachesTheOptimumReportingTheEvaluatorsValues) {
    for (unsigned seed = 1; seed <= 5; ++seed) {
        const Problem problem = GetParam().make(seed);
        Options options;
        options.budget.iterations = 300;
        options.seed = seed;
        int improvements = 0;
        double last = 0;
        options.on_improvement = [&](const Improvement& i) {
            EXPECT_DOUBLE_EQ(i.value, problem.evaluate(i.sequence.data()));
            EXPECT_TRUE(improvements == 0 || i.value < last);
            last = i.value;
            ++improvements;
        };
        const Result result = problem.solve(options);
        ASSERT_TRUE(same_entries(result.sequence, problem.entries));
        EXPECT_EQ(result.value, problem.evaluate(result.sequence.data()));
        EXPECT_EQ(result.value, last);
        EXPECT_EQ(result.value, optimum(problem)) << "seed " << seed;
        EXPECT_LE(result.iterations, 300);
    }
}

TEST_P(Search, SameSeedAndIterationsSameRun) {
    const Problem problem = GetParam().make(11);
    auto run = [&](std::uint64_t seed) {
        Options options;
        options.budget.iterations = 25;
        options.seed = seed;
        std::vector<std::pair<double, long>> trace;
        options.on_improvement = [&](const Improvement& i) { trace.emplace_back(i.value, i.iteration); };
        const Result result = problem.solve(options);
        return std::make_tuple(result.sequence, result.value, result.iterations, trace);
    };
    EXPECT_EQ(run(7), run(7));
}

TEST_P(Search, StopsAtTheTargetAndRefusesAnUnboundedRun) {
    const Problem problem = GetParam().make(3);
    Options options;
    options.budget.iterations = 100000;
    options.target = optimum(problem);
    const Result result = problem.solve(options);
    EXPECT_EQ(result.value, options.target);
    EXPECT_LT(result.iterations, 100000);

    Options unbounded;
    EXPECT_THROW(problem.solve(unbounded), schedule::Error);
}

// A cancelled run ends within a poll of the cancellation, on a time budget
// or an iteration budget, with the best it had; it is not asked again.
TEST_P(Search, EndsSoonAfterItIsCancelled) {
    const Problem problem = GetParam().make(4);
    for (const Budget budget : {Budget{600, 0, Clock::wall}, Budget{0, 1L << 40, Clock::wall}}) {
        Options options;
        options.budget = budget;
        int asked = 0;
        options.cancelled = [&asked] { return ++asked == 3; };
        const Result result = problem.solve(options);
        EXPECT_EQ(asked, 3);
        EXPECT_LT(result.seconds, 5.0);
        ASSERT_TRUE(same_entries(result.sequence, problem.entries));
        EXPECT_EQ(result.value, problem.evaluate(result.sequence.data()));
    }
}

INSTANTIATE_TEST_SUITE_P(Methods, Search, testing::ValuesIn(cases()),
                         [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(Search, TimeLimitOnEitherClock) {
    const Problem problem = weighted_tardiness(5);
    for (Clock clock : {Clock::wall, Clock::thread_cpu}) {
        Options options;
        options.budget = Budget{0.05, 0, clock};
        const Result result = problem.solve(options);
        EXPECT_GE(result.seconds, 0.05);
        EXPECT_LT(result.seconds, 5.0);
        EXPECT_GT(result.iterations, 0);
    }
}

// ---------------------------------------------------------------------------
// Constructions
// ---------------------------------------------------------------------------

TEST(Constructions, ValuesAreTheEvaluatorsAndTiesGoByIndex) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
        const Problem problem = weighted_tardiness(seed);
        const auto& record = *static_cast<schedule::Instance<schedule::SINGLE_MACHINE>*>(problem.owner.get());
        for (const Result& result :
             {edd(record.get()), wspt(record.get()), atc(record.get()), atc(record.get(), 2.0)}) {
            ASSERT_TRUE(same_entries(result.sequence, problem.entries));
            EXPECT_EQ(result.value, problem.evaluate(result.sequence.data()));
        }
    }
    // p = 2, 1, 2, 4; w = 1, 1, 2, 2; d = 5, 3, 5, 3.
    schedule::SINGLE_MACHINE x{
        4, 1, schedule::newIVector(4), schedule::newLVector(4), schedule::newDVector(4), schedule::newIVector(4)};
    schedule::setval_Ivector(x.r, 4, 0);
    const schedule::Instance<schedule::SINGLE_MACHINE> owned(x);
    const int p[] = {2, 1, 2, 4};
    const long d[] = {5, 3, 5, 3};
    const double w[] = {1, 1, 2, 2};
    std::copy(p, p + 4, x.pt);
    std::copy(d, d + 4, x.dd);
    std::copy(w, w + 4, x.w);
    EXPECT_EQ(edd(x).sequence, (std::vector<int>{1, 3, 0, 2}));
    EXPECT_EQ(wspt(x).sequence, (std::vector<int>{1, 2, 0, 3}));  // w/p: 0.5, 1, 1, 0.5

    // LPT: 5, 4, 3, 3, 3 on two machines: 5 + 3 + 3 and 4 + 3, makespan 11.
    schedule::PARALLEL_MACHINES y{
        5, 2, schedule::newIVector(5), nullptr, schedule::newDVector(5), schedule::newIVector(5)};
    schedule::setval_Dvector(y.w, 5, 1.0);
    schedule::setval_Ivector(y.r, 5, 0);
    const schedule::Instance<schedule::PARALLEL_MACHINES> owned_y(y);
    const int q[] = {3, 5, 3, 4, 3};
    std::copy(q, q + 5, y.pt);
    const Result lpt_result = lpt(y);
    EXPECT_EQ(lpt_result.sequence, (std::vector<int>{1, 3, 0, 2, 4}));
    EXPECT_EQ(lpt_result.value, 10);
}

TEST(Constructions, RefuseRecordsTheyCannotUse) {
    schedule::SINGLE_MACHINE no_due_dates{
        2, 1, schedule::newIVector(2), nullptr, schedule::newDVector(2), schedule::newIVector(2)};
    const schedule::Instance<schedule::SINGLE_MACHINE> owned(no_due_dates);
    EXPECT_THROW(edd(no_due_dates), schedule::Error);
    schedule::FLOWSHOP empty{};
    EXPECT_THROW(neh(empty), schedule::Error);
    // The generic search checks the objective and its need of due dates.
    Options options;
    options.budget.iterations = 1;
    const Problem shop = flow_shop(1, false, "Cmax");
    const auto& record = static_cast<schedule::Instance<schedule::FLOWSHOP>*>(shop.owner.get())->get();
    EXPECT_THROW(generic_search(record, "Makespan", options), schedule::Error);
    schedule::FLOWSHOP without_due_dates = record;
    without_due_dates.dd = nullptr;
    EXPECT_THROW(generic_search(without_due_dates, "SumTj", options), schedule::Error);
    EXPECT_NO_THROW(generic_search(without_due_dates, "SumCj", options));
}

// NEH with the first-best tie rule gives the published makespan of every one
// of Taillard's 120 flow shops (the whole set takes about a tenth of a second).
TEST(Neh, TaillardsPublishedMakespans) {
    int checked = 0;
    for (const benchmarks::Entry* entry : benchmarks::set_entries("taillard-flowshop")) {
        const auto instance = benchmarks::make_flowshop(*entry);
        const Result result = neh(instance.get());
        EXPECT_EQ(result.value, static_cast<double>(*entry->neh_makespan)) << entry->name;
        ++checked;
    }
    EXPECT_EQ(checked, 120);
}

// ---------------------------------------------------------------------------
// Runs of the sets: rows, their CSV form and the mean per size group
// ---------------------------------------------------------------------------

TEST(Experiment, RowsSurviveTheirCsvAndGroupsAverageThem) {
    experiment::Settings settings;
    settings.method = "neh";
    std::ostringstream csv;
    experiment::write_csv_header(csv);
    std::vector<experiment::Row> rows;
    for (const char* name : {"ta001", "ta002", "ta011"}) {
        rows.push_back(experiment::run(*benchmarks::find(name), settings));
        experiment::write_csv_row(csv, rows.back());
    }
    EXPECT_EQ(rows[0].value, 1286);
    EXPECT_NEAR(rows[0].rpd, 100.0 * (1286 - 1278) / 1278, 1e-12);
    // Two files concatenated, the second header included.
    const auto read = experiment::read_csv_rows(csv.str() + csv.str(), "runs.csv");
    ASSERT_EQ(read.size(), 6u);
    EXPECT_EQ(read[5].instance, "ta011");
    EXPECT_EQ(read[5].value, rows[2].value);
    const auto groups = experiment::summarise(read);
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0].group, "20x5");
    EXPECT_EQ(groups[0].instances, 4);
    EXPECT_NEAR(groups[0].arpd, (rows[0].rpd + rows[1].rpd) / 2, 1e-3);
    EXPECT_EQ(groups[2].group, "all");
    EXPECT_EQ(groups[2].instances, 6);

    try {
        experiment::read_csv_rows("instance,group\nta001,20x5,neh\n", "runs.csv");
        FAIL() << "accepted";
    } catch (const schedule::Error& error) {
        EXPECT_NE(std::string(error.what()).find("runs.csv:1:"), std::string::npos) << error.what();
    }
    settings.method = "ils";
    EXPECT_THROW(experiment::run(*benchmarks::find("ta001"), settings), schedule::Error);
}

// The rows of earlier versions (twelve columns) still read, their header
// followed by this version's; a row cut short by a crash is cut off, and
// the finished runs are known by their key.
TEST(Experiment, CsvFileKeepsWholeRowsAndResumesByKey) {
    const auto path = std::filesystem::temp_directory_path() / ("zurududo-rows-" + std::to_string(::getpid()) + ".csv");
    experiment::Settings settings;
    settings.method = "iterated_greedy";
    settings.iterations = 20;
    settings.parameters = {{"d", "3"}};
    const experiment::Row row = experiment::run(*benchmarks::find("ta001"), settings);
    EXPECT_EQ(row.method, "ig");
    EXPECT_EQ(row.parameters, "T=0.7;d=3;local_search=true;partial_local_search=true");
    EXPECT_EQ(row.budget, "iterations=20");
    EXPECT_FALSE(row.trace.empty());
    {
        std::ofstream old(path);
        old << "instance,group,method,seed,best_known,best_known_classic,value,rpd,rpd_classic,seconds,"
               "seconds_to_best,iterations\nta002,20x5,neh,1,1359,1359,1365,0.4415,0.4415,0.0000,0.0000,0\n"
            << experiment::csv_line(row).substr(0, 30);
    }
    {
        experiment::CsvFile file(path.string());
        ASSERT_EQ(file.existing().size(), 1u);
        EXPECT_EQ(file.existing()[0].value, 1365);
        EXPECT_FALSE(file.finished(experiment::run_key(row)));
        file.append(row);
        EXPECT_TRUE(file.finished(experiment::run_key(row)));
    }
    const std::string text = schedule::read_file(path.string());
    EXPECT_EQ(text.find(experiment::csv_line(row)), text.size() - experiment::csv_line(row).size());
    const auto read = experiment::read_csv_rows(text, "rows.csv");
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(experiment::csv_line(read[1]), experiment::csv_line(row));
    EXPECT_EQ(experiment::CsvFile(path.string()).existing().size(), 2u);
    // Found by fuzzing: a deviation of 63 digits was cut to 64 characters with its decimals.
    experiment::Row huge = row;
    huge.rpd = 2.101e62;
    const auto back = experiment::read_csv_rows(experiment::csv_header() + experiment::csv_line(huge), "huge.csv");
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].rpd, huge.rpd);
    std::filesystem::remove(path);

    experiment::Settings parsed;
    experiment::parse_budget("time_factor=30;target=930;stop_at_best", parsed);
    EXPECT_EQ(experiment::budget_text(parsed), "time_factor=30;target=930;stop_at_best");
    EXPECT_THROW(experiment::parse_budget("iterations=-3", parsed), schedule::Error);
    EXPECT_THROW(experiment::read_csv_rows(experiment::csv_header() + "ta001,\"20x5\n", "x.csv"), schedule::Error);
}

// A set stop flag ends a search at its best, recorded as interrupted; a
// construction, or a run its budget ended, is not.
TEST(Experiment, AStopFlagEndsSearchesAtTheirBest) {
    std::atomic<bool> stop{true};
    experiment::Settings settings;
    settings.method = "ig";
    settings.iterations = 100000000;
    const experiment::Row cut = experiment::run(*benchmarks::find("ta001"), settings, &stop);
    EXPECT_TRUE(cut.interrupted);
    EXPECT_LT(cut.iterations, settings.iterations);
    EXPECT_GE(cut.value, 1278);
    settings.method = "neh";
    EXPECT_FALSE(experiment::run(*benchmarks::find("ta001"), settings, &stop).interrupted);
    // The grid makes no run once the flag is set.
    experiment::GridOptions options;
    options.stop = &stop;
    const auto grid = experiment::run_grid({{benchmarks::find("ta001"), settings}}, options);
    EXPECT_TRUE(grid.rows.empty());
    EXPECT_TRUE(grid.stopped);
}

TEST(Experiment, WilcoxonSignedRank) {
    // n = 10 without ties: T = 8 is the largest significant at 0.05 (two-sided), by the tables.
    EXPECT_NEAR(experiment::signed_rank_exact_p(10, 8), 2 * 25 / 1024.0, 1e-12);
    EXPECT_NEAR(experiment::signed_rank_exact_p(10, 9), 2 * 33 / 1024.0, 1e-12);
    const std::vector<double> differences = {1, -1, 2, 2, -2, 3, 0};
    const auto test = experiment::wilcoxon_signed_rank(differences);
    EXPECT_EQ(test.zeros, 1u);
    EXPECT_FALSE(test.exact);
    EXPECT_NEAR(test.p, 0.33868, 1e-4);
}

}  // namespace
