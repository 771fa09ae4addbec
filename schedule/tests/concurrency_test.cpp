// Evaluators keep no state: many threads evaluating shared, read-only
// instances of every environment at once get exactly what one thread gets.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <random>
#include <thread>
#include <vector>

#include "evaluator_tables.h"
#include "schedule/schedule.h"

namespace {

using namespace evaluator_tables;

// Every figure an environment gives for one sequence: completion times by
// job, then the integer and weighted objectives.
struct Figures {
    std::vector<long> completion;
    std::vector<long> integer;
    std::vector<double> weighted;
    bool operator==(const Figures&) const = default;
};

template <class Record>
Figures figures_of(const RecordFamily<Record>& family, long* (*completion)(const int*, Record), const int* seq,
                   Record record) {
    Figures f;
    f.completion = take(completion(seq, record), record.jobs);
    for (auto objective : family.integer) f.integer.push_back(objective(seq, record));
    for (auto objective : family.weighted) f.weighted.push_back(objective(seq, record));
    return f;
}

// One evaluation task: an environment and a sequence for it.
using Task = std::function<Figures()>;

TEST(Concurrency, ThreadsEvaluatingSharedInstancesAgreeWithOneThread) {
    std::mt19937 rng(2024);
    constexpr int jobs = 30;
    constexpr int machines = 4;
    RandomInstance in(rng, jobs, machines, true, true);
    std::vector<int> speeds{1, 2, 3, 2};
    JobShop shop(rng, jobs, machines);
    const SINGLE_MACHINE single = in.single();
    const PARALLEL_MACHINES parallel = in.parallel();
    const RELATED_MACHINES related = in.related(speeds.data());
    const UNRELATED_MACHINES unrelated = in.unrelated();
    const FLOWSHOP flow_shop = in.flow_shop();
    const JOBSHOP job_shop = shop.record(in);

    // Each task owns its sequence; the instances are shared by all.
    std::vector<std::vector<int>> sequences;
    for (int k = 0; k < 12; ++k) {
        std::vector<int> seq = in.seq;
        std::shuffle(seq.begin(), seq.end(), rng);
        sequences.push_back(seq);
        std::vector<int> ops = shop.seq_ops;
        std::shuffle(ops.begin(), ops.end(), rng);
        sequences.push_back(ops);
    }
    std::vector<Task> tasks;
    for (std::size_t k = 0; k + 1 < sequences.size(); k += 2) {
        const int* seq = sequences[k].data();
        const int* ops = sequences[k + 1].data();
        tasks.push_back([=] { return figures_of(single_machine_records, S1_Rj_Cj, seq, single); });
        tasks.push_back([=] { return figures_of(identical_machines_records, Pm_Rj_Cj, seq, parallel); });
        tasks.push_back([=] { return figures_of(uniform_machines_records, Qm_Rj_Cj, seq, related); });
        tasks.push_back([=] { return figures_of(unrelated_machines_records, Rm_Rj_Cj, seq, unrelated); });
        tasks.push_back([=] { return figures_of(flow_shop_records, Fm_Prmu_Rj_Cj, seq, flow_shop); });
        tasks.push_back([=] { return figures_of(job_shop_records, Jm_Rj_Cj, ops, job_shop); });
    }

    std::vector<Figures> expected;
    for (const Task& task : tasks) expected.push_back(task());

    constexpr int threads = 8;
    constexpr int rounds = 4;
    std::atomic<int> mismatches{0};
    std::atomic<int> evaluations{0};
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t) {
        pool.emplace_back([&, t] {
            // Each thread walks the tasks from its own starting point, so
            // that different environments run side by side.
            for (int round = 0; round < rounds; ++round) {
                for (std::size_t i = 0; i < tasks.size(); ++i) {
                    const std::size_t k = (i + static_cast<std::size_t>(t) * 7) % tasks.size();
                    if (!(tasks[k]() == expected[k])) ++mismatches;
                    ++evaluations;
                }
            }
        });
    }
    for (std::thread& thread : pool) thread.join();
    EXPECT_EQ(evaluations.load(), threads * rounds * static_cast<int>(tasks.size()));
    EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
