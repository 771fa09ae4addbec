// Job-shop evaluators.
#include <string>

#include "evaluation/job_shop_schedule.h"
#include "evaluation/objective_catalogue.h"
#include "support/failure.h"
#include "schedule/schedule.h"

namespace schedule {

namespace job_shop {

namespace {

[[noreturn]] void bad_operation_sequence(const char* routine, const std::string& what) {
    const std::string info = std::string(routine) + ": " + what;
    fail(ErrorKind::argument, 999, info);
}

}  // namespace

void job_out_of_range(const char* routine, long position, int job, int jobs) {
    bad_operation_sequence(routine, "entry " + std::to_string(position) + " of the operation sequence is job " +
                                        std::to_string(job) + ", outside 0.." + std::to_string(jobs - 1));
}

void too_many_operations(const char* routine, long position, int job, int machines) {
    bad_operation_sequence(routine, "job " + std::to_string(job) + " occurs more than " + std::to_string(machines) +
                                        " times in the operation sequence (entry " + std::to_string(position) +
                                        ")");
}

void machine_out_of_range(const char* routine, int job, int operation, int machine, int machines) {
    bad_operation_sequence(routine, "operation " + std::to_string(operation) + " of job " + std::to_string(job) +
                                        " is routed to machine " + std::to_string(machine) + ", outside 0.." +
                                        std::to_string(machines - 1));
}

}  // namespace job_shop

namespace {

// Maxima are the largest term over all jobs, folded in job-index order;
// weighted sums start from 0.0; with no jobs every objective is 0.
constexpr catalogue::Conventions conventions{false, 0.0, 0};

// The schedule of an operation sequence as the catalogue consumes it.
auto completions(const char* evaluator, const int* seq_ops, const JOBSHOP& in) {
    return [=](auto&& completed) {
        job_shop::build(evaluator, seq_ops, in.jobs, in.machines, in.pt, in.rt, in.r, job_shop::IgnoreOperations{},
                        completed);
    };
}

template <class Obj, class Run = EndingProcess>
typename Obj::Result record(const char* evaluator, const int* seq_ops, const JOBSHOP& in) {
    return Run{}([&] { return catalogue::evaluate<Obj>(evaluator, conventions, {in.dd, in.w, in.r}, completions(evaluator, seq_ops, in)); });
}

}  // namespace

using namespace catalogue;

SCHEDULE_RECORD_EVALUATORS(Jm, JOBSHOP)

// The completion times of a sequence, by either interface.
template <class Run>
static long* record_cj(const char* routine, const int* seq_ops, const JOBSHOP& instance) {
    return Run{}([&] { return completion_times(instance.jobs, completions(routine, seq_ops, instance)); });
}

long* Jm_Rj_Cj(const int* seq_ops, JOBSHOP instance) { return record_cj<EndingProcess>(__func__, seq_ops, instance); }

SCHEDULE_THROWING_EVALUATORS(Jm, JOBSHOP)

}  // namespace schedule
