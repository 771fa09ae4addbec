// The commands of the sched tool.
#ifndef SCHED_TOOL_COMMANDS_H
#define SCHED_TOOL_COMMANDS_H

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace sched {

// A command. The tool makes its CLI11 application, named and described from
// here, and calls `run`, which adds the command's options, parses the
// arguments with parse() and does the work; it returns the exit status or
// throws Failure.
struct Command {
    const char* name;
    const char* summary;      // its line in 'sched --help'
    const char* usage;        // 'sched <command> --help' begins "usage: sched " and this
    const char* description;  // ... then this paragraph
    int (*run)(CLI::App& app, const std::vector<std::string>& args);
};

extern const Command evaluate_command;
extern const Command schedule_command;
extern const Command gantt_command;
extern const Command solve_command;
extern const Command bench_command;
extern const Command list_command;

}  // namespace sched

#endif
