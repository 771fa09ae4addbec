// sched — evaluate sequences, write schedules, draw Gantt charts, solve
// instances and run benchmark sets from the shell, on top of the schedule
// library and the reference heuristics.
//
// Exit status: 0 success, 1 failure (a file that cannot be read or is not
// what it should be), 2 usage (an unknown command, flag, environment or
// objective, or a sequence that does not fit the instance).
#include <cstdio>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "commands.h"
#include "common.h"

namespace {

const sched::Command* const commands[] = {
    &sched::evaluate_command, &sched::schedule_command, &sched::gantt_command,
    &sched::solve_command,    &sched::bench_command,    &sched::list_command,
};

std::string main_help() {
    std::string help = "usage: sched <command> [options]\n"
                       "\n"
                       "Evaluate sequences, write schedules, draw Gantt charts, solve instances and\n"
                       "run benchmark sets.\n"
                       "\n"
                       "commands:\n";
    for (const sched::Command* c : commands) {
        const std::string name = c->name;
        help += "  " + name + std::string(name.size() < 11 ? 11 - name.size() : 1, ' ') + c->summary + "\n";
    }
    return help + "\n"
                  "An instance is a file, - for standard input, or a benchmark name (ta001, ft06, ...).\n"
                  "'sched <command> --help' describes a command; 'sched --version' prints the version.\n"
                  "Exit status: 0 success, 1 failure, 2 usage error.\n";
}

int run(const std::vector<std::string>& args) {
    if (args.empty()) sched::usage_error("no command given (see 'sched --help')");
    const std::string& command = args[0];
    if (command == "-h" || command == "--help" || command == "help") {
        sched::write_output("", main_help());
        return 0;
    }
    if (command == "--version") {
        sched::write_output("", "sched " SCHED_VERSION "\n");
        return 0;
    }
    std::vector<std::string> names;
    for (const sched::Command* c : commands) {
        if (command == c->name) {
            CLI::App app("usage: " + std::string(c->usage) + "\n\n" + c->description, c->name);
            return c->run(app, std::vector<std::string>(args.begin() + 1, args.end()));
        }
        names.push_back(c->name);
    }
    const auto guess = sched::closest(command, names);
    sched::usage_error("unknown command '" + command + "'" + (guess ? " (did you mean '" + *guess + "'?)" : "") +
                       "; see 'sched --help'");
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const int status = run(std::vector<std::string>(argv + 1, argv + argc));
        if (std::fflush(stdout) != 0 || std::ferror(stdout)) throw sched::Failure{1, "cannot write to standard output"};
        return status;
    } catch (const sched::Failure& f) {
        std::fflush(stdout);
        std::fprintf(stderr, "sched: %s\n", f.message.c_str());
        return f.status;
    }
}
