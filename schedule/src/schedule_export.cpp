// Schedule files: each writer rebuilds the schedule of its environment with
// the construction the evaluators use, keeps every placed operation and
// writes them out.
#include <climits>
#include <cstdio>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "evaluation/construction.h"
#include "evaluation/flow_shop_schedule.h"
#include "evaluation/job_shop_schedule.h"
#include "evaluation/parallel_machines_schedule.h"
#include "evaluation/single_machine_schedule.h"
#include "support/failure.h"
#include "schedule/checked.h"
#include "schedule/schedule.h"

namespace schedule {

namespace {

// Throws unless there is a number of jobs to write.
void require_jobs(const char* writer, int jobs) { require_count(writer, "jobs", jobs, 0); }

// The operations of a schedule in the order the file lists them: `groups`
// groups (one per job) of `per_group` operations, each a machine, a start
// time and a duration.
class ScheduleTable {
public:
    ScheduleTable(const char* writer, int groups, int per_group)
        : writer_(writer), groups_(groups), per_group_(per_group), size_(checked_size(writer, groups, per_group)),
          machine_(size_), start_(size_), duration_(size_) {}

    // Operation `index` of group `group`.
    void set(int group, int index, int machine, long start, long end) {
        const int at = group * per_group_ + index;
        machine_[at] = machine;
        start_[at] = start;
        duration_[at] = end - start;
    }

    // The operation after the last one added, in file order.
    void append(int machine, long start, long end) {
        set(next_ / per_group_, next_ % per_group_, machine, start, end);
        ++next_;
    }

    // The file's text: counts, then the groups (operations separated by
    // commas, groups by semicolons), then the job of each group, taken from
    // `order` or, when it is null, the group's own number.
    std::string text(int jobs, int machines, const int* order) {
        std::string out;
        char number[64];
        std::snprintf(number, sizeof number, "[JOBS=%d]\n[MACHINES=%d]\n[SCHEDULE_DATA=", jobs, machines);
        out += number;
        for (int at = 0; at < size_; ++at) {
            std::snprintf(number, sizeof number, "%d,%ld,%ld", machine_[at], start_[at], duration_[at]);
            out += number;
            if (at + 1 < size_) out += (at + 1) % per_group_ == 0 ? ';' : ',';
        }
        out += "]\n[JOB_ORDER=";
        for (int k = 0; k < groups_; ++k) {
            std::snprintf(number, sizeof number, k + 1 < groups_ ? "%d," : "%d", order != nullptr ? order[k] : k);
            out += number;
        }
        out += "]\n";
        return out;
    }

    // Writes the file in place. A file that cannot be opened is an Error
    // (file, code 2), one that cannot be written in full an Error (file, 999).
    void write(const char* filename, int jobs, int machines, const int* order) {
        std::FILE* file = filename != nullptr ? std::fopen(filename, "w") : nullptr;
        if (file == nullptr) fail(ErrorKind::file, 2, filename != nullptr ? filename : "");
        const std::string bytes = text(jobs, machines, order);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        const bool failed = std::ferror(file) != 0;
        if (std::fclose(file) != 0 || failed) {
            fail(ErrorKind::file, 999, std::string(writer_) + ": the schedule could not be written to " + filename);
        }
    }

    // The operations, each with its job: group g belongs to job order[g]
    // (g itself when `order` is null).
    std::vector<Operation> operations(const int* order) {
        std::vector<Operation> out;
        out.reserve(static_cast<std::size_t>(size_));
        for (int at = 0; at < size_; ++at) {
            const int group = at / per_group_;
            out.push_back({order != nullptr ? order[group] : group, machine_[at], start_[at], start_[at] + duration_[at]});
        }
        return out;
    }

private:
    static int checked_size(const char* writer, int groups, int per_group) {
        const long size = static_cast<long>(groups) * per_group;
        if (size > INT_MAX) fail(ErrorKind::memory, 1, writer);
        return static_cast<int>(size);
    }

    const char* writer_;
    int groups_;
    int per_group_;
    int size_;
    int next_ = 0;
    WorkVector<int> machine_;
    WorkVector<long> start_;
    WorkVector<long> duration_;
};

// The list schedule of a sequence on parallel machines, handed to use(table);
// also(job, machine, completion) sees each assignment as it is made.
template <parallel_machines::Dispatch dispatch, class Duration, class Place, class Use>
void parallel_machines_table(const char* writer, const int* seq, int jobs, int machines, const Duration& duration,
                             const int* r, Place&& also, Use&& use) {
    require_jobs(writer, jobs);
    require_machines(writer, machines);
    ScheduleTable table(writer, jobs, 1);
    parallel_machines::build<dispatch>(seq, jobs, machines, duration, Released{r},
                                       [&](int job, int machine, long start, long end) {
                                           also(job, machine, end);
                                           table.append(machine, start, end);
                                       });
    use(table);
}

struct NoTrace {
    void operator()(int /*job*/, int /*machine*/, long /*end*/) const {}
};

// Shows each assignment as it is made: the job and its machine, then the
// time from which every machine is free.
class AssignmentTrace {
public:
    explicit AssignmentTrace(int machines) : machines_(machines), machine_free_(machines) {
        for (int i = 0; i < machines; ++i) machine_free_[i] = 0;
    }
    void operator()(int job, int machine, long end) {
        std::printf("Trabajo %d asignado a maquina %d\n", job, machine);
        machine_free_[machine] = end;
        print_long_vector(machine_free_.data(), machines_);
    }

private:
    int machines_;
    WorkVector<long> machine_free_;
};

// The schedule of a sequence on the record's environment, built by the
// construction its evaluators use, handed to use(table). `trace` sees each
// assignment on parallel machines.
template <class Record, class Trace, class Use>
void with_table(const char* writer, const int* seq, const Record& in, Trace&& trace, Use&& use) {
    using namespace parallel_machines;
    if constexpr (std::is_same_v<Record, SINGLE_MACHINE>) {
        require_jobs(writer, in.jobs);
        ScheduleTable table(writer, in.jobs, 1);
        single_machine::build(seq, in.jobs, in.pt, Released{in.r},
                              [&table](int, long start, long end) { table.append(0, start, end); });
        use(table);
    } else if constexpr (std::is_same_v<Record, PARALLEL_MACHINES>) {
        parallel_machines_table<Dispatch::earliest_free>(writer, seq, in.jobs, in.machines, IdenticalTimes{in.pt},
                                                         in.r, trace, use);
    } else if constexpr (std::is_same_v<Record, RELATED_MACHINES>) {
        parallel_machines_table<Dispatch::earliest_free>(writer, seq, in.jobs, in.machines,
                                                         uniform_times(writer, in.machines, in.pt, in.v), in.r, trace,
                                                         use);
    } else if constexpr (std::is_same_v<Record, UNRELATED_MACHINES>) {
        parallel_machines_table<Dispatch::earliest_completion>(writer, seq, in.jobs, in.machines,
                                                               UnrelatedTimes{in.pt}, in.r, trace, use);
    } else if constexpr (std::is_same_v<Record, FLOWSHOP>) {
        require_jobs(writer, in.jobs);
        require_machines(writer, in.machines);
        ScheduleTable table(writer, in.jobs, in.machines);
        flow_shop::build(
            seq, in.jobs, in.machines, in.pt, Released{in.r},
            [&table](int machine, int, long start, long end) { table.append(machine, start, end); },
            [](int, long) {});
        use(table);
    } else {
        require_jobs(writer, in.jobs);
        require_machines(writer, in.machines);
        ScheduleTable table(writer, in.jobs, in.machines);
        job_shop::build(
            writer, seq, in.jobs, in.machines, in.pt, in.rt, in.r,
            [&table](int job, int k, int machine, long start, long end) { table.set(job, k, machine, start, end); },
            [](int, long) {});
        use(table);
    }
}

// The jobs of the file's groups: the sequence, or none (group g is job g)
// for the job shop.
template <class Record>
const int* group_jobs(const int* seq) {
    return std::is_same_v<Record, JOBSHOP> ? nullptr : seq;
}

// The writer of the process-ending interface: the file written in place.
template <class Record, class Trace>
void write_or_end_process(const char* writer, const int* seq, const Record& in, const char* filename,
                          Trace&& trace) {
    or_end_process([&] {
        with_table(writer, seq, in, trace, [&](ScheduleTable& table) {
            table.write(filename, in.jobs, in.machines, group_jobs<Record>(seq));
        });
    });
}

// The checked forms work on a validated record and sequence.
template <class Record>
void check(const Record& record, std::span<const int> seq) {
    validate(record);
    validate_sequence(record, seq);
}

}  // namespace

void S1_Rj_GenSchedule(const int* seq, SINGLE_MACHINE instance, const char* filename) {
    write_or_end_process(__func__, seq, instance, filename, NoTrace{});
}

void Pm_Rj_GenSchedule(const int* seq, PARALLEL_MACHINES instance, const char* filename) {
    write_or_end_process(__func__, seq, instance, filename, NoTrace{});
}

void Qm_Rj_GenSchedule(const int* seq, RELATED_MACHINES instance, const char* filename) {
    write_or_end_process(__func__, seq, instance, filename, AssignmentTrace(instance.machines));
}

void Rm_Rj_GenSchedule(const int* seq, UNRELATED_MACHINES instance, const char* filename) {
    write_or_end_process(__func__, seq, instance, filename, NoTrace{});
}

void Fm_Prmu_Rj_GenSchedule(const int* seq, FLOWSHOP instance, const char* filename) {
    write_or_end_process(__func__, seq, instance, filename, NoTrace{});
}

void Jm_Rj_GenSchedule(const int* seq_ops, JOBSHOP instance, const char* filename) {
    write_or_end_process(__func__, seq_ops, instance, filename, NoTrace{});
}

template <EvaluatedRecord Record>
std::vector<Operation> schedule_operations(const Record& record, std::span<const int> seq) {
    check(record, seq);
    std::vector<Operation> operations;
    with_table("schedule_operations", seq.data(), without_idle_machines(record), NoTrace{},
               [&](ScheduleTable& table) { operations = table.operations(group_jobs<Record>(seq.data())); });
    return operations;
}

template <EvaluatedRecord Record>
std::vector<int> schedule_job_order(const Record& record, std::span<const int> seq) {
    check(record, seq);
    std::vector<int> order(static_cast<std::size_t>(record.jobs));
    for (int k = 0; k < record.jobs; ++k) order[static_cast<std::size_t>(k)] = std::is_same_v<Record, JOBSHOP> ? k : seq[static_cast<std::size_t>(k)];
    return order;
}

template <EvaluatedRecord Record>
std::string schedule_file_text(const Record& record, std::span<const int> seq) {
    check(record, seq);
    std::string text;
    with_table("schedule_file_text", seq.data(), without_idle_machines(record), NoTrace{}, [&](ScheduleTable& table) {
        text = table.text(record.jobs, record.machines, group_jobs<Record>(seq.data()));
    });
    return text;
}

template <EvaluatedRecord Record>
void write_schedule(const Record& record, std::span<const int> seq, const std::string& path) {
    write_file_atomically(path, schedule_file_text(record, seq));
}

#define SCHEDULE_EXPORT(RECORD)                                                                             \
    template std::vector<Operation> schedule_operations<RECORD>(const RECORD&, std::span<const int>);       \
    template std::vector<int> schedule_job_order<RECORD>(const RECORD&, std::span<const int>);              \
    template std::string schedule_file_text<RECORD>(const RECORD&, std::span<const int>);                   \
    template void write_schedule<RECORD>(const RECORD&, std::span<const int>, const std::string&);
SCHEDULE_EXPORT(SINGLE_MACHINE)
SCHEDULE_EXPORT(PARALLEL_MACHINES)
SCHEDULE_EXPORT(RELATED_MACHINES)
SCHEDULE_EXPORT(UNRELATED_MACHINES)
SCHEDULE_EXPORT(FLOWSHOP)
SCHEDULE_EXPORT(JOBSHOP)
#undef SCHEDULE_EXPORT

}  // namespace schedule
