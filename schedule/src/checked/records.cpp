// Owning and checking instance records: release, environment names, and the
// checks that a record and a sequence can be evaluated.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "schedule/checked.h"
#include "schedule/schedule.h"
#include "support/failure.h"

namespace schedule {

namespace {

template <class Record>
void release_blocks(Record& record) noexcept {
    std::free(record.dd);
    std::free(record.w);
    std::free(record.r);
    if constexpr (requires { record.v; }) std::free(record.v);
    if constexpr (requires { record.rt; }) {
        if (record.rt != nullptr) free_mat_int(record.rt, record.jobs);
    }
    if constexpr (std::is_same_v<decltype(record.pt), int*>) {
        std::free(record.pt);
    } else {
        if (record.pt != nullptr) free_mat_int(record.pt, record.machines);
    }
    const int jobs = record.jobs;
    const int machines = record.machines;
    record = Record{};
    record.jobs = jobs;
    record.machines = machines;
}

[[noreturn]] void bad_argument(const std::string& what) { fail(ErrorKind::argument, 999, what); }

constexpr std::string_view environment_names[] = {"single",   "identical", "uniform", "unrelated",
                                                  "flowshop", "openshop",  "jobshop"};

}  // namespace

void release(SINGLE_MACHINE& record) noexcept { release_blocks(record); }
void release(PARALLEL_MACHINES& record) noexcept { release_blocks(record); }
void release(RELATED_MACHINES& record) noexcept { release_blocks(record); }
void release(UNRELATED_MACHINES& record) noexcept { release_blocks(record); }
void release(FLOWSHOP& record) noexcept { release_blocks(record); }
void release(OPENSHOP& record) noexcept { release_blocks(record); }
void release(JOBSHOP& record) noexcept { release_blocks(record); }

std::string_view environment_name(Environment environment) noexcept {
    return environment_names[static_cast<int>(environment)];
}

std::optional<Environment> environment_named(std::string_view name) noexcept {
    for (int e = 0; e < 7; ++e) {
        if (environment_names[e] == name) return static_cast<Environment>(e);
    }
    return std::nullopt;
}

namespace {

// The magnitude of a value, which the most negative one has too.
unsigned long magnitude(long value) noexcept {
    return value < 0 ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
}

// Throws Error (argument) unless jobs × (Σ|pt| + 2·max|r| + max|dd|) is at
// most LONG_MAX: every completion time is within max|r| + Σ|pt| of 0, so
// no objective (a sum over the jobs of C, C − d, d − C or C − r) and no
// step of one can overflow a long.
template <class Record>
void check_magnitudes(const Record& record) {
    constexpr bool matrix = !std::is_same_v<decltype(record.pt), int*>;
    const int rows = matrix ? record.machines : 1;
    unsigned long total = 0;
    bool over = false;
    for (int i = 0; i < rows && !over; ++i) {
        const int* times = nullptr;
        if constexpr (matrix) {
            times = record.pt[i];
        } else {
            times = record.pt;
        }
        unsigned long row = 0;  // at most jobs × 2^31: no overflow
        for (int j = 0; j < record.jobs; ++j) row += magnitude(times[j]);
        over = __builtin_add_overflow(total, row, &total);
    }
    unsigned long release = 0;
    for (int j = 0; j < record.jobs; ++j) release = std::max(release, magnitude(record.r[j]));
    unsigned long due = 0;
    if (record.dd != nullptr)
        for (int j = 0; j < record.jobs; ++j) due = std::max(due, magnitude(record.dd[j]));
    unsigned long bound = 0;
    over = over || __builtin_add_overflow(total, 2 * release, &bound) || __builtin_add_overflow(bound, due, &bound) ||
           __builtin_mul_overflow(bound, static_cast<unsigned long>(record.jobs), &bound) || bound > LONG_MAX;
    if (over)
        bad_argument("the " + std::string(environment_name(environment_of<Record>)) +
                     " instance's times are too large to be evaluated in 64-bit integers: jobs × (the sum of the "
                     "processing times + twice the largest release date + the largest due date, in magnitude) must be "
                     "at most " + std::to_string(LONG_MAX));
}

}  // namespace

template <InstanceRecord Record>
void validate(const Record& record) {
    const std::string env(environment_name(environment_of<Record>));
    if (record.jobs < 1) bad_argument("a " + env + " instance needs at least one job (jobs=" + std::to_string(record.jobs) + ")");
    if constexpr (std::is_same_v<Record, SINGLE_MACHINE>) {
        if (record.machines != 1)
            bad_argument("a single-machine instance has exactly one machine (machines=" +
                         std::to_string(record.machines) + ")");
    } else if (record.machines < 1) {
        bad_argument("a " + env + " instance needs at least one machine (machines=" +
                     std::to_string(record.machines) + ")");
    }
    if (record.pt == nullptr || record.w == nullptr || record.r == nullptr)
        bad_argument("the " + env + " instance lacks its processing times, weights or release dates");
    if constexpr (!std::is_same_v<decltype(record.pt), int*>) {
        for (int i = 0; i < record.machines; ++i)
            if (record.pt[i] == nullptr) bad_argument("row " + std::to_string(i) + " of the processing times is missing");
    }
    if constexpr (requires { record.v; }) {
        if (record.v == nullptr) bad_argument("the uniform-machine instance lacks its speeds");
        for (int i = 0; i < record.machines; ++i)
            if (record.v[i] < 1)
                bad_argument("the speed of machine " + std::to_string(i) + " must be at least 1 (v=" +
                             std::to_string(record.v[i]) + ")");
    }
    if constexpr (requires { record.rt; }) {
        if (record.rt == nullptr) bad_argument("the job-shop instance lacks its routing");
        for (int j = 0; j < record.jobs; ++j) {
            if (record.rt[j] == nullptr) bad_argument("the routing of job " + std::to_string(j) + " is missing");
            for (int k = 0; k < record.machines; ++k)
                if (record.rt[j][k] < 0 || record.rt[j][k] >= record.machines)
                    bad_argument("operation " + std::to_string(k) + " of job " + std::to_string(j) +
                                 " is routed to machine " + std::to_string(record.rt[j][k]) + ", outside 0.." +
                                 std::to_string(record.machines - 1));
        }
    }
    check_magnitudes(record);
}

template <InstanceRecord Record>
void validate_sequence(const Record& record, std::span<const int> seq) {
    const bool operations = std::is_same_v<Record, JOBSHOP>;
    const long jobs = record.jobs;
    const long per_job = operations ? record.machines : 1;
    const long length = jobs * per_job;
    const std::string kind = operations ? "operation sequence" : "sequence";
    if (static_cast<long>(seq.size()) != length)
        bad_argument("the " + kind + " has " + std::to_string(seq.size()) + " entries; the instance needs " +
                     std::to_string(length) +
                     (operations ? " (each of the " + std::to_string(jobs) + " jobs " + std::to_string(per_job) + " times)"
                                 : " (a permutation of 0.." + std::to_string(jobs - 1) + ")"));
    // How often each job was named so far (at most `per_job`, a machine count).
    std::vector<int> seen;
    try {
        seen.assign(static_cast<std::size_t>(jobs > 0 ? jobs : 0), 0);
    } catch (const std::bad_alloc&) {
        fail(ErrorKind::memory, 1, "validate_sequence");
    }
    for (std::size_t k = 0; k < seq.size(); ++k) {
        const int job = seq[k];
        if (job < 0 || job >= jobs)
            bad_argument("entry " + std::to_string(k) + " of the " + kind + " is job " + std::to_string(job) +
                         "; jobs are 0.." + std::to_string(jobs - 1));
        if (++seen[static_cast<std::size_t>(job)] > per_job)
            bad_argument(operations ? "the operation sequence names job " + std::to_string(job) + " more than " +
                                          std::to_string(per_job) + " times"
                                    : "the sequence is not a permutation: job " + std::to_string(job) +
                                          " appears twice");
    }
}

#define SCHEDULE_CHECKS(RECORD)                          \
    template void validate<RECORD>(const RECORD&); \
    template void validate_sequence<RECORD>(const RECORD&, std::span<const int>);
SCHEDULE_CHECKS(SINGLE_MACHINE)
SCHEDULE_CHECKS(PARALLEL_MACHINES)
SCHEDULE_CHECKS(RELATED_MACHINES)
SCHEDULE_CHECKS(UNRELATED_MACHINES)
SCHEDULE_CHECKS(FLOWSHOP)
SCHEDULE_CHECKS(OPENSHOP)
SCHEDULE_CHECKS(JOBSHOP)
#undef SCHEDULE_CHECKS

}  // namespace schedule
