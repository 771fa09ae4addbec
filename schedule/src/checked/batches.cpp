// Checked evaluation of many sequences: rows copied a block at a time,
// checked, and evaluated by the batch evaluators where the environment has
// them, on several threads.
#include <algorithm>
#include <cstddef>
#include <exception>
#include <string>
#include <system_error>
#include <thread>
#include <type_traits>
#include <vector>

#include "schedule/checked.h"
#include "schedule/schedule.h"
#include "evaluation/throwing_evaluators.h"
#include "support/failure.h"

namespace schedule {

namespace {

// The batch evaluators of an environment (those that throw), in the order of
// its objective table; `available` where the environment has them.
template <class Record>
struct BatchEntry {
    void (*integer)(const int*, int, Record, long*);
    void (*real)(const int*, int, Record, double*);
};
template <class Record>
constexpr BatchEntry<Record> batch_entry(void (*evaluator)(const int*, int, Record, long*)) noexcept {
    return {evaluator, nullptr};
}
template <class Record>
constexpr BatchEntry<Record> batch_entry(void (*evaluator)(const int*, int, Record, double*)) noexcept {
    return {nullptr, evaluator};
}

template <class Record>
struct BatchTable {
    static constexpr bool available = false;
};
#define SCHEDULE_BATCH_ENTRY(NAME, NEEDS_DUE_DATES, P) batch_entry(throwing::P##_Rj_##NAME##_many),
#define SCHEDULE_BATCH_TABLE(RECORD, P)                                                                       \
    template <>                                                                                               \
    struct BatchTable<RECORD> {                                                                               \
        static constexpr bool available = true;                                                               \
        static constexpr BatchEntry<RECORD> entries[] = {SCHEDULE_OBJECTIVES(SCHEDULE_BATCH_ENTRY, P)};        \
    };
SCHEDULE_BATCH_TABLE(SINGLE_MACHINE, S1)
SCHEDULE_BATCH_TABLE(FLOWSHOP, Fm_Prmu)
#undef SCHEDULE_BATCH_TABLE
#undef SCHEDULE_BATCH_ENTRY

// Rows checked and then evaluated together.
constexpr std::size_t block_rows = 256;

// What went wrong in a worker's share. Each worker stops at its first
// failure and the shares are in row order, so the first failure of the first
// failing worker is the lowest row's.
struct Failure {
    std::exception_ptr error;
};

// Rows begin … end − 1 evaluated into out[row], a block at a time: copied,
// checked, then evaluated by the batch evaluator of the objective where there
// is one, else one by one.
template <class Record, class Out>
void evaluate_rows(const Record& record, const Objective<Record>& objective, std::span<const int> sequences,
                   std::size_t length, std::size_t begin, std::size_t end, Out* out, Failure& failure) {
    try {
        const Objective<Record>& run = throwing::counterpart(objective);
        const std::size_t k = throwing::position(objective);
        [[maybe_unused]] const bool batch = k < objective_table<Record>.size();
        std::vector<int> block(std::min(block_rows, end - begin) * length);
        for (std::size_t first = begin; first < end; first += block_rows) {
            const std::size_t last = std::min(end, first + block_rows);
            std::copy(sequences.begin() + static_cast<std::ptrdiff_t>(first * length),
                      sequences.begin() + static_cast<std::ptrdiff_t>(last * length), block.begin());
            for (std::size_t row = first; row < last; ++row) {
                try {
                    validate_sequence(record, std::span<const int>(block.data() + (row - first) * length, length));
                } catch (const Error& e) {
                    fail(ErrorKind::argument, e.code(), "row " + std::to_string(row) + ": " + e.info());
                }
            }
            const int count = static_cast<int>(last - first);
            if constexpr (BatchTable<Record>::available) {
                if (batch) {
                    if constexpr (std::is_same_v<Out, double>) {
                        BatchTable<Record>::entries[k].real(block.data(), count, record, out + first);
                    } else {
                        BatchTable<Record>::entries[k].integer(block.data(), count, record, out + first);
                    }
                    continue;
                }
            }
            for (std::size_t row = first; row < last; ++row) {
                const int* seq = block.data() + (row - first) * length;
                if constexpr (std::is_same_v<Out, double>) {
                    out[row] = run.real(seq, record);
                } else {
                    out[row] = run.integer(seq, record);
                }
            }
        }
    } catch (...) {
        failure = {std::current_exception()};
    }
}

template <EvaluatedRecord Record, class Out>
void evaluate_all(const Record& given, std::span<const int> sequences, std::size_t length,
                  const Objective<Record>& objective, std::span<Out> out, unsigned threads) {
    validate(given);
    const Record record = without_idle_machines(given);
    if (objective.weighted != std::is_same_v<Out, double>)
        fail(ErrorKind::argument, 999,
             std::string(objective.name) + " is " + (objective.weighted ? "a double" : "a long") +
                 "; the values were asked for as " + (objective.weighted ? "long" : "double"));
    if (objective.needs_due_dates && record.dd == nullptr)
        fail(ErrorKind::argument, 999, std::string(objective.name) + " needs due dates and the instance has none");
    const std::size_t count = out.size();
    if (length != 0 ? sequences.size() / length != count || sequences.size() % length != 0 : !sequences.empty())
        fail(ErrorKind::argument, 999,
             "the rows hold " + std::to_string(sequences.size()) + " entries; " + std::to_string(count) +
                 " rows of " + std::to_string(length) + " need " + std::to_string(count * length));
    if (count == 0) return;
    if (threads == 0) threads = std::max(1U, std::thread::hardware_concurrency());
    const std::size_t workers = std::max<std::size_t>(1, std::min<std::size_t>(count, threads));
    const auto share = [&](std::size_t w) { return count * w / workers; };

    std::vector<Failure> failures(workers);
    std::vector<std::thread> pool;
    pool.reserve(workers - 1);
    std::size_t started = 1;  // the first share is the calling thread's
    for (; started < workers; ++started) {
        try {
            pool.emplace_back([&, started] {
                evaluate_rows(record, objective, sequences, length, share(started), share(started + 1), out.data(),
                              failures[started]);
            });
        } catch (const std::system_error&) {
            break;  // no more threads: the calling thread takes the rest
        }
    }
    evaluate_rows(record, objective, sequences, length, share(0), share(1), out.data(), failures[0]);
    for (std::size_t w = started; w < workers; ++w)
        evaluate_rows(record, objective, sequences, length, share(w), share(w + 1), out.data(), failures[w]);
    for (std::thread& t : pool) t.join();
    for (const Failure& f : failures)
        if (f.error) std::rethrow_exception(f.error);
}

}  // namespace

template <EvaluatedRecord Record>
void evaluate_many(const Record& record, std::span<const int> sequences, std::size_t length,
                   const Objective<Record>& objective, std::span<long> out, unsigned threads) {
    evaluate_all(record, sequences, length, objective, out, threads);
}

template <EvaluatedRecord Record>
void evaluate_many(const Record& record, std::span<const int> sequences, std::size_t length,
                   const Objective<Record>& objective, std::span<double> out, unsigned threads) {
    evaluate_all(record, sequences, length, objective, out, threads);
}

#define SCHEDULE_CHECKED_BATCHES(RECORD)                                                                      \
    template void evaluate_many<RECORD>(const RECORD&, std::span<const int>, std::size_t,                   \
                                        const Objective<RECORD>&, std::span<long>, unsigned);               \
    template void evaluate_many<RECORD>(const RECORD&, std::span<const int>, std::size_t,                   \
                                        const Objective<RECORD>&, std::span<double>, unsigned);
SCHEDULE_CHECKED_BATCHES(SINGLE_MACHINE)
SCHEDULE_CHECKED_BATCHES(PARALLEL_MACHINES)
SCHEDULE_CHECKED_BATCHES(RELATED_MACHINES)
SCHEDULE_CHECKED_BATCHES(UNRELATED_MACHINES)
SCHEDULE_CHECKED_BATCHES(FLOWSHOP)
SCHEDULE_CHECKED_BATCHES(JOBSHOP)
#undef SCHEDULE_CHECKED_BATCHES

}  // namespace schedule
