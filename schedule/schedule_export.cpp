// Schedule files: each writer rebuilds the schedule of its environment with
// the construction the evaluators use, keeps every placed operation and
// writes them out.
#include <climits>
#include <cstdio>
#include <string>

#include "schedule/evaluation/construction.h"
#include "schedule/evaluation/flow_shop_schedule.h"
#include "schedule/evaluation/job_shop_schedule.h"
#include "schedule/evaluation/parallel_machines_schedule.h"
#include "schedule/evaluation/single_machine_schedule.h"
#include "schedule/fatal.h"
#include "schedule/schedule.h"

namespace schedule {

namespace {

// Ends the process unless there is a number of jobs to write.
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

    // Writes the file: counts, then the groups (operations separated by
    // commas, groups by semicolons), then the job of each group, taken from
    // `order` or, when it is null, the group's own number. A file that cannot
    // be opened ends the process through `error` code 2, one that cannot be
    // written in full through code 999.
    void write(const char* filename, int jobs, int machines, const int* order) {
        std::FILE* file = filename != nullptr ? std::fopen(filename, "w") : nullptr;
        if (file == nullptr) fatal_error(2, filename != nullptr ? filename : "");
        std::fprintf(file, "[JOBS=%d]\n[MACHINES=%d]\n[SCHEDULE_DATA=", jobs, machines);
        for (int at = 0; at < size_; ++at) {
            std::fprintf(file, "%d,%ld,%ld", machine_[at], start_[at], duration_[at]);
            if (at + 1 < size_) std::fputc((at + 1) % per_group_ == 0 ? ';' : ',', file);
        }
        std::fputs("]\n[JOB_ORDER=", file);
        for (int k = 0; k < groups_; ++k) {
            std::fprintf(file, k + 1 < groups_ ? "%d," : "%d", order != nullptr ? order[k] : k);
        }
        std::fputs("]\n", file);
        const bool failed = std::ferror(file) != 0;
        if (std::fclose(file) != 0 || failed) {
            const std::string info = std::string(writer_) + ": the schedule could not be written to " + filename;
            fatal_error(999, info.c_str());
        }
    }

private:
    static int checked_size(const char* writer, int groups, int per_group) {
        const long size = static_cast<long>(groups) * per_group;
        if (size > INT_MAX) fatal_error(1, writer);
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

// The list schedule of a sequence on parallel machines, written to `filename`;
// also(job, machine, completion) sees each assignment as it is made.
template <parallel_machines::Dispatch dispatch, class Duration, class Place>
void write_parallel_machines(const char* writer, const int* seq, int jobs, int machines, const Duration& duration,
                             const int* r, const char* filename, Place&& also) {
    require_jobs(writer, jobs);
    require_machines(writer, machines);
    ScheduleTable table(writer, jobs, 1);
    parallel_machines::build<dispatch>(seq, jobs, machines, duration, Released{r},
                                       [&](int job, int machine, long start, long end) {
                                           also(job, machine, end);
                                           table.append(machine, start, end);
                                       });
    table.write(filename, jobs, machines, seq);
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

}  // namespace

void S1_Rj_GenSchedule(const int* seq, SINGLE_MACHINE instance, const char* filename) {
    require_jobs(__func__, instance.jobs);
    ScheduleTable table(__func__, instance.jobs, 1);
    single_machine::build(seq, instance.jobs, instance.pt, Released{instance.r},
                          [&table](int, long start, long end) { table.append(0, start, end); });
    table.write(filename, instance.jobs, instance.machines, seq);
}

void Pm_Rj_GenSchedule(const int* seq, PARALLEL_MACHINES instance, const char* filename) {
    write_parallel_machines<parallel_machines::Dispatch::earliest_free>(
        __func__, seq, instance.jobs, instance.machines, parallel_machines::IdenticalTimes{instance.pt}, instance.r,
        filename, NoTrace{});
}

void Qm_Rj_GenSchedule(const int* seq, RELATED_MACHINES instance, const char* filename) {
    write_parallel_machines<parallel_machines::Dispatch::earliest_free>(
        __func__, seq, instance.jobs, instance.machines,
        parallel_machines::uniform_times(__func__, instance.machines, instance.pt, instance.v), instance.r, filename,
        AssignmentTrace(instance.machines));
}

void Rm_Rj_GenSchedule(const int* seq, UNRELATED_MACHINES instance, const char* filename) {
    write_parallel_machines<parallel_machines::Dispatch::earliest_completion>(
        __func__, seq, instance.jobs, instance.machines, parallel_machines::UnrelatedTimes{instance.pt}, instance.r,
        filename, NoTrace{});
}

void Fm_Prmu_Rj_GenSchedule(const int* seq, FLOWSHOP instance, const char* filename) {
    require_jobs(__func__, instance.jobs);
    require_machines(__func__, instance.machines);
    ScheduleTable table(__func__, instance.jobs, instance.machines);
    flow_shop::build(
        seq, instance.jobs, instance.machines, instance.pt, Released{instance.r},
        [&table](int machine, int, long start, long end) { table.append(machine, start, end); },
        [](int, long) {});
    table.write(filename, instance.jobs, instance.machines, seq);
}

void Jm_Rj_GenSchedule(const int* seq_ops, JOBSHOP instance, const char* filename) {
    require_jobs(__func__, instance.jobs);
    require_machines(__func__, instance.machines);
    ScheduleTable table(__func__, instance.jobs, instance.machines);
    job_shop::build(
        __func__, seq_ops, instance.jobs, instance.machines, instance.pt, instance.rt, instance.r,
        [&table](int job, int k, int machine, long start, long end) { table.set(job, k, machine, start, end); },
        [](int, long) {});
    table.write(filename, instance.jobs, instance.machines, nullptr);
}

}  // namespace schedule
