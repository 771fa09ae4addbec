// The commands of the sched tool.
#ifndef SCHED_TOOL_COMMANDS_H
#define SCHED_TOOL_COMMANDS_H

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace sched {

// Each adds its options to `app` (made with the command's name and help),
// parses the arguments with parse() and does the work; it returns the exit
// status or throws Failure.
int evaluate_command(CLI::App& app, const std::vector<std::string>& args);
int schedule_command(CLI::App& app, const std::vector<std::string>& args);
int gantt_command(CLI::App& app, const std::vector<std::string>& args);
int solve_command(CLI::App& app, const std::vector<std::string>& args);
int bench_command(CLI::App& app, const std::vector<std::string>& args);
int report_command(CLI::App& app, const std::vector<std::string>& args);
int list_command(CLI::App& app, const std::vector<std::string>& args);

}  // namespace sched

#endif
