// The commands of the sched tool; each returns the exit status or throws Failure.
#ifndef SCHED_TOOL_COMMANDS_H
#define SCHED_TOOL_COMMANDS_H

#include <string>
#include <vector>

namespace sched {

int evaluate_command(const std::vector<std::string>& args);
int schedule_command(const std::vector<std::string>& args);
int gantt_command(const std::vector<std::string>& args);
int solve_command(const std::vector<std::string>& args);
int bench_command(const std::vector<std::string>& args);
int list_command(const std::vector<std::string>& args);

}  // namespace sched

#endif
