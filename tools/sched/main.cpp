// sched — evaluate sequences, write schedules, draw Gantt charts, solve
// instances and run benchmark sets from the shell, on top of the schedule
// library and the reference heuristics.
//
// Exit status: 0 success, 1 failure (a file that cannot be read or is not
// what it should be), 2 usage (an unknown command, flag, environment or
// objective, or a sequence that does not fit the instance).
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "commands.h"
#include "common.h"
#include "schedule/checked.h"

namespace {

// A command: its name, its line in 'sched --help', and its own --help, which
// begins "usage: " and the usage line, then the description. The tool makes
// the command's CLI11 application from these and calls `run`.
struct Command {
    const char* name;
    const char* summary;
    const char* usage;
    const char* description;
    int (*run)(CLI::App& app, const std::vector<std::string>& args);
};

// The commands, in the order 'sched --help' lists them.
const Command commands[] = {
    {"evaluate", "completion times and objectives of sequences on an instance",
     "sched evaluate [options] INSTANCE|NAME",
     "Prints the completion time of every job and every objective of the\n"
     "catalogue for the sequence. Objectives that need due dates are shown as '-'\n"
     "when the instance has none.",
     sched::evaluate_command},
    {"schedule", "write the schedule file of a sequence", "sched schedule [options] -O FILE INSTANCE|NAME",
     "Writes the schedule the sequence gives on the instance to FILE (- for standard\n"
     "output), as four tagged lines: [JOBS=n], [MACHINES=m], [SCHEDULE_DATA=...],\n"
     "[JOB_ORDER=...].",
     sched::schedule_command},
    {"gantt", "draw a schedule file as an SVG (or PNG) Gantt chart", "sched gantt [-O FILE] SCHEDULE",
     "Draws a schedule file as a standalone SVG Gantt chart: one lane per machine,\n"
     "one colour per job, a time axis and the makespan marked. The chart goes to\n"
     "standard output unless -O is given; a FILE ending in .png is rendered by\n"
     "rsvg-convert.",
     sched::gantt_command},
    {"solve", "find a good sequence with a method of the table", "sched solve [options] INSTANCE|NAME",
     "Looks for a sequence of small objective value with a method of the table\n"
     "(sched list --methods) and prints its value, the sequence, the time and the\n"
     "iterations. The default objective is a benchmark's own, else Wj_SumTj on one\n"
     "machine with due dates, Wj_SumCj without, Cmax elsewhere; the default method the\n"
     "search made for the objective (ig, ils, ts), else generic. Without --time-limit\n"
     "or --iterations, a search runs for one second.",
     sched::solve_command},
    {"bench", "run a method over a benchmark set: deviations from the best known",
     "sched bench SET|NAME|FILE... -a METHOD [options]",
     "Runs a method over benchmark instances: a set (taillard-flowshop,\n"
     "taillard-jobshop, orlib-jobshop, wt40, wt50, wt100), names, or files listing\n"
     "names. Prints per instance the best known value, the value found, its relative\n"
     "deviation (RPD, %) and the time, then the mean deviation (ARPD) per size group\n"
     "and overall. Each instance is solved for its own objective by the method\n"
     "(sched list --methods). Time is the processor time of the thread running the\n"
     "instance. With --csv each finished run's row is appended at once, and a run\n"
     "into a file that holds rows skips the runs finished there (--resume says so).\n"
     "SIGINT (Ctrl-C) or SIGTERM stops the runs in flight at their best so far,\n"
     "records them as interrupted, prints the table and exits with 130 or 143.",
     sched::bench_command},
    {"report", "make result rows into a report: HTML with plots, Markdown, CSV",
     "sched report RESULTS.csv... [-o report.html]... [--title TEXT]",
     "Reads the rows that sched bench --csv, the experiment runner and Python's\n"
     "zurududo.experiments.run write, and makes the report: the ARPD per size group\n"
     "and configuration (method, parameters, budget) with the best of each row marked\n"
     "and the spread over seeds, the paired comparisons (wins, ties, losses and the\n"
     "Wilcoxon signed-rank test), box plots of each instance's RPD over seeds, ARPD\n"
     "against the budget and the convergence over time. -o report.html writes one\n"
     "self-contained page (inline SVG, nothing fetched), -o FILE.md the tables as\n"
     "Markdown, -o FILE.csv the ARPD table; without -o the Markdown goes to standard\n"
     "output. Interrupted runs are counted but left out.",
     sched::report_command},
    {"list", "the benchmark sets and their instances; the methods", "sched list [SET|NAME...] | --methods",
     "Lists the benchmark sets and their instances, each with its environment, size\n"
     "(jobs x machines) and best known value ('*' when proven optimal); an instance's\n"
     "name describes it in full. Any name serves where an instance file does:\n"
     "sched evaluate ta001, sched solve la16. --methods prints the table of methods\n"
     "that solve, bench, the runner and Python share.",
     sched::list_command},
};

std::string main_help() {
    std::string help = "usage: sched <command> [options]\n"
                       "\n"
                       "Evaluate sequences, write schedules, draw Gantt charts, solve instances and\n"
                       "run benchmark sets.\n"
                       "\n"
                       "commands:\n";
    for (const Command& c : commands) {
        const std::string name = c.name;
        help += "  " + name + std::string(name.size() < 11 ? 11 - name.size() : 1, ' ') + c.summary + "\n";
    }
    return help + "\n"
                  "An instance is a file, - for standard input, or a benchmark name (ta001, ft06, ...).\n"
                  "'sched <command> --help' describes a command; 'sched --version' prints the version.\n"
                  "Exit status: 0 success, 1 failure, 2 usage error (bench stopped by a signal: 130, 143).\n";
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
    for (const Command& c : commands) {
        if (command == c.name) {
            CLI::App app("usage: " + std::string(c.usage) + "\n\n" + c.description, c.name);
            return c.run(app, std::vector<std::string>(args.begin() + 1, args.end()));
        }
        names.push_back(c.name);
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
    } catch (const schedule::Error& e) {
        // A library error no command turned into its own words: still one
        // line and a status, never an abort. A bad argument is the user's.
        std::fflush(stdout);
        std::fprintf(stderr, "sched: %s\n", e.what());
        return e.kind() == schedule::ErrorKind::argument ? 2 : 1;
    } catch (const std::bad_alloc&) {
        std::fflush(stdout);
        std::fprintf(stderr, "sched: out of memory\n");
        return 1;
    }
}
