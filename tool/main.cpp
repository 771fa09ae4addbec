// sched — evaluate sequences, write schedules and draw Gantt charts from the
// shell, on top of the schedule library.
//
// Exit status: 0 success, 1 failure (a file that cannot be read or is not
// what it should be), 2 usage (an unknown command, flag, environment or
// objective, or a sequence that does not fit the instance).
#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "schedule/checked.h"
#include "schedule/schedule.h"

namespace {

const char* const program = "sched";

// A condition that ends the command: `status` is 1 (failure) or 2 (usage).
struct Failure {
    int status;
    std::string message;
};

[[noreturn]] void usage_error(const std::string& message) { throw Failure{2, message}; }
[[noreturn]] void failure(const std::string& message) { throw Failure{1, message}; }

// ---------------------------------------------------------------------------
// Help texts
// ---------------------------------------------------------------------------

const char* const main_help =
    "usage: sched <command> [options]\n"
    "\n"
    "Evaluate sequences, write schedules and draw Gantt charts.\n"
    "\n"
    "commands:\n"
    "  evaluate   completion times and objectives of a sequence on an instance\n"
    "  schedule   write the schedule file of a sequence\n"
    "  gantt      draw a schedule file as an SVG Gantt chart\n"
    "\n"
    "'sched <command> --help' describes a command.\n"
    "Exit status: 0 success, 1 failure, 2 usage error.\n";

const char* const instance_options_help =
    "instance options:\n"
    "  -e, --env ENV       single, identical, uniform, unrelated, flowshop or jobshop\n"
    "                      (default: single)\n"
    "  --layout LAYOUT     tagged (default); taillard (Taillard's flow-shop file);\n"
    "                      classic (a job shop: optional description line, \"n m\",\n"
    "                      then per job m \"machine time\" pairs; also OR-Library's\n"
    "                      file of many instances and JSPLIB's commented files);\n"
    "                      taillard-jobshop (Taillard's job-shop file, machines\n"
    "                      from 1); mrows, mrows-dd, nrows, nrows-dd (\"m n\" then\n"
    "                      the processing times by machine or by job row, the -dd\n"
    "                      forms with due dates; a flowshop or unrelated instance)\n"
    "  --instance NAME|INDEX  the instance of a file that holds several: its name,\n"
    "                      or its position from 0 (a file holding several is never\n"
    "                      read without this)\n"
    "  --seq LIST          the sequence, e.g. 2,0,1 (default: 0,1,...,n-1; for the\n"
    "                      job shop an operation sequence naming each job m times,\n"
    "                      default 0,1,...,n-1 repeated m times)\n"
    "  --seq-file FILE     read the sequence from FILE (numbers separated by\n"
    "                      commas or white space)\n"
    "  -v, --verbose       show what the instance loader reports, on standard error\n";

const char* const evaluate_help =
    "usage: sched evaluate [options] INSTANCE\n"
    "\n"
    "Prints the completion time of every job and every objective of the\n"
    "catalogue for the sequence. Objectives that need due dates are shown as '-'\n"
    "when the instance has none.\n"
    "\n"
    "  -o, --objective NAME  print only this objective (e.g. Cmax, SumTj, Wj_SumTj)\n"
    "  -f, --format FORMAT   table (default), tsv or json\n"
    "  -h, --help            show this help\n";

const char* const schedule_help =
    "usage: sched schedule [options] -O FILE INSTANCE\n"
    "\n"
    "Writes the schedule the sequence gives on the instance to FILE, as four\n"
    "tagged lines: [JOBS=n], [MACHINES=m], [SCHEDULE_DATA=...], [JOB_ORDER=...].\n"
    "\n"
    "  -O, --output FILE   the schedule file to write (required)\n"
    "  -h, --help          show this help\n";

const char* const gantt_help =
    "usage: sched gantt [-O FILE] SCHEDULE\n"
    "\n"
    "Draws a schedule file as a standalone SVG Gantt chart: one lane per machine,\n"
    "one colour per job, a time axis and the makespan marked. The chart goes to\n"
    "standard output unless -O is given.\n"
    "\n"
    "  -O, --output FILE   write the chart to FILE\n"
    "  --title TEXT        the chart's title (default: the schedule file's name)\n"
    "  -h, --help          show this help\n";

// ---------------------------------------------------------------------------
// Command lines
// ---------------------------------------------------------------------------

struct Options {
    std::map<std::string, std::string> values;  // by long name
    std::vector<std::string> positional;
    bool help = false;
};

struct Flag {
    const char* long_name;
    char short_name;  // 0 when none
    bool takes_value;
};

Options parse_options(const std::vector<std::string>& args, const std::vector<Flag>& flags,
                      const char* command) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            options.help = true;
            continue;
        }
        if (arg.size() < 2 || arg[0] != '-') {
            options.positional.push_back(arg);
            continue;
        }
        std::string name = arg;
        std::optional<std::string> inline_value;
        if (arg.rfind("--", 0) == 0) {
            const auto eq = arg.find('=');
            if (eq != std::string::npos) {
                inline_value = arg.substr(eq + 1);
                name = arg.substr(0, eq);
            }
        }
        const Flag* found = nullptr;
        for (const Flag& flag : flags) {
            if (name == std::string("--") + flag.long_name ||
                (flag.short_name != 0 && name == std::string{'-', flag.short_name}))
                found = &flag;
        }
        if (found == nullptr) usage_error(std::string("unknown option '") + name + "' for " + command);
        if (!found->takes_value) {
            if (inline_value) usage_error(std::string("option --") + found->long_name + " takes no value");
            options.values[found->long_name] = "1";
            continue;
        }
        if (inline_value) {
            options.values[found->long_name] = *inline_value;
        } else if (i + 1 < args.size()) {
            options.values[found->long_name] = args[++i];
        } else {
            usage_error(std::string("option --") + found->long_name + " needs a value");
        }
    }
    return options;
}

std::string value_or(const Options& options, const std::string& name, const std::string& fallback) {
    const auto it = options.values.find(name);
    return it == options.values.end() ? fallback : it->second;
}

// ---------------------------------------------------------------------------
// Numbers and files
// ---------------------------------------------------------------------------

// The bytes of a file the user named.
std::string read_file(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) failure("cannot read '" + path + "': no such file");
    try {
        return schedule::read_file(path);
    } catch (const schedule::Error&) {
        failure("cannot read '" + path + "'");
    }
}

// Integers separated by commas and/or white space; nullopt when anything else
// is found.
std::optional<std::vector<long>> parse_integers(std::string_view text) {
    std::vector<long> numbers;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == ',' || c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            ++i;
            continue;
        }
        long value = 0;
        const auto [end, ec] = std::from_chars(text.data() + i, text.data() + text.size(), value);
        if (ec != std::errc{} || end == text.data() + i) return std::nullopt;
        numbers.push_back(value);
        i = static_cast<std::size_t>(end - text.data());
        if (i < text.size() && std::string_view(",\t\n\r ").find(text[i]) == std::string_view::npos)
            return std::nullopt;
    }
    return numbers;
}

std::string format_double(double value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// Writes a file the user named, whole or not at all.
void write_file(const std::string& path, std::string_view bytes) {
    try {
        schedule::write_file_atomically(path, bytes);
    } catch (const schedule::Error& e) {
        failure(e.what());
    }
}

// ---------------------------------------------------------------------------
// Instances
// ---------------------------------------------------------------------------

struct InstanceSource {
    std::string path;
    schedule::Layout layout;
    std::string instance;  // --instance: a name or a position; empty when not given
    bool verbose;
};

template <schedule::EvaluatedRecord Record>
std::string environment_name() {
    return std::string(schedule::environment_name(schedule::environment_of<Record>));
}

// The instance, loaded strictly and checked. A tagged file the loader
// rejects shows the loader's report on standard error (already there with
// --verbose, where the loader's echo goes), then one line.
template <schedule::EvaluatedRecord Record>
schedule::Instance<Record> load_instance(const InstanceSource& source) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(source.path, ec)) failure("cannot read '" + source.path + "': no such file");
    schedule::InstanceChoice choice;
    if (!source.instance.empty()) choice = source.instance;
    schedule::Instance<Record> instance;
    try {
        schedule::AnyInstance any = schedule::load_instance(source.path, schedule::environment_of<Record>, source.layout,
                                                            {source.verbose ? stderr : nullptr, true}, choice);
        instance = std::move(std::get<schedule::Instance<Record>>(any));
    } catch (const schedule::Error& e) {
        if (e.kind() == schedule::ErrorKind::argument) usage_error(e.what());
        if (e.kind() == schedule::ErrorKind::instance && source.layout == schedule::Layout::tagged) {
            if (!source.verbose) std::fputs(e.info().c_str(), stderr);
            failure("cannot load '" + source.path + "' as a " + environment_name<Record>() +
                    " instance (the loader's report is above)");
        }
        failure(e.what());
    }
    try {
        schedule::validate(instance.get());
    } catch (const schedule::Error& e) {
        failure("'" + source.path + "': " + e.what());
    }
    return instance;
}

// ---------------------------------------------------------------------------
// Sequences
// ---------------------------------------------------------------------------

// The sequence of --seq or --seq-file, or the default one; a sequence that
// does not fit the instance is a usage error.
template <schedule::EvaluatedRecord Record>
std::vector<int> read_sequence(const Options& options, const Record& record) {
    const bool operations = std::is_same_v<Record, schedule::JOBSHOP>;
    const long length = operations ? static_cast<long>(record.jobs) * record.machines : record.jobs;
    std::optional<std::string> text;
    std::string source;
    if (options.values.count("seq") != 0 && options.values.count("seq-file") != 0)
        usage_error("give the sequence with --seq or --seq-file, not both");
    if (options.values.count("seq") != 0) {
        text = options.values.at("seq");
        source = "--seq";
    } else if (options.values.count("seq-file") != 0) {
        source = options.values.at("seq-file");
        text = read_file(source);
    }
    std::vector<int> sequence;
    if (!text) {
        for (long k = 0; k < length; ++k) sequence.push_back(static_cast<int>(k % record.jobs));
        return sequence;
    }
    const auto numbers = parse_integers(*text);
    if (!numbers) usage_error("the sequence (" + source + ") is not a list of integers");
    for (std::size_t k = 0; k < numbers->size(); ++k) {
        const long job = (*numbers)[k];
        if (job < INT_MIN || job > INT_MAX)
            usage_error("entry " + std::to_string(k) + " of the " + (operations ? "operation sequence" : "sequence") +
                        " is job " + std::to_string(job) + "; jobs are 0.." + std::to_string(record.jobs - 1));
        sequence.push_back(static_cast<int>(job));
    }
    try {
        schedule::validate_sequence(record, sequence);
    } catch (const schedule::Error& e) {
        usage_error(e.what());
    }
    return sequence;
}

std::string join(const std::vector<int>& values) {
    std::string text;
    for (std::size_t k = 0; k < values.size(); ++k) text += (k ? "," : "") + std::to_string(values[k]);
    return text;
}

// ---------------------------------------------------------------------------
// evaluate and schedule
// ---------------------------------------------------------------------------

std::string objective_value(long value) { return std::to_string(value); }
std::string objective_value(double value) { return format_double(value); }

template <schedule::EvaluatedRecord Record>
int evaluate(const InstanceSource& source, const Options& options) {
    using Objective = schedule::Objective<Record>;
    const std::string format = value_or(options, "format", "table");
    if (format != "table" && format != "tsv" && format != "json")
        usage_error("unknown format '" + format + "' (table, tsv or json)");
    const Objective* only = nullptr;
    if (options.values.count("objective") != 0) {
        try {
            only = &schedule::find_objective<Record>(options.values.at("objective"));
        } catch (const schedule::Error& e) {
            usage_error(e.what());
        }
    }
    const schedule::Instance<Record> instance = load_instance<Record>(source);
    const Record& record = instance.get();
    const bool operations = std::is_same_v<Record, schedule::JOBSHOP>;
    const std::vector<int> sequence = read_sequence(options, record);
    const bool has_due_dates = record.dd != nullptr;

    if (only != nullptr && only->needs_due_dates && !has_due_dates)
        failure(std::string(only->name) + " needs due dates and '" + source.path + "' gives none");

    auto value_of = [&](const Objective& objective) -> std::optional<std::string> {
        if (objective.needs_due_dates && !has_due_dates) return std::nullopt;
        return std::visit([](auto value) { return objective_value(value); },
                          schedule::evaluate(record, sequence, objective));
    };

    std::string out;
    if (only != nullptr) {
        const std::string value = *value_of(*only);
        if (format == "json")
            out = "{\"" + std::string(only->name) + "\": " + value + "}\n";
        else
            out = value + "\n";
        std::fputs(out.c_str(), stdout);
        return 0;
    }

    const std::vector<long> completion = schedule::completion_times(record, sequence);
    std::vector<std::pair<std::string, std::optional<std::string>>> values;
    for (const Objective& objective : schedule::objective_table<Record>)
        values.emplace_back(objective.name, value_of(objective));

    if (format == "tsv") {
        out += "name\tvalue\n";
        for (int j = 0; j < record.jobs; ++j)
            out += "C_" + std::to_string(j) + "\t" + std::to_string(completion[static_cast<std::size_t>(j)]) + "\n";
        for (const auto& [name, value] : values) out += name + "\t" + value.value_or("NA") + "\n";
    } else if (format == "json") {
        out += "{\n  \"environment\": \"" + environment_name<Record>() + "\",\n";
        out += "  \"jobs\": " + std::to_string(record.jobs) + ",\n";
        out += "  \"machines\": " + std::to_string(record.machines) + ",\n";
        out += "  \"sequence\": [" + join(sequence) + "],\n";
        out += "  \"completion\": [";
        for (std::size_t j = 0; j < completion.size(); ++j) out += (j ? "," : "") + std::to_string(completion[j]);
        out += "],\n  \"objectives\": {\n";
        for (std::size_t k = 0; k < values.size(); ++k)
            out += "    \"" + values[k].first + "\": " + values[k].second.value_or("null") +
                   (k + 1 < values.size() ? ",\n" : "\n");
        out += "  }\n}\n";
    } else {
        out += "instance  " + source.path + " (" + environment_name<Record>() + ", " + std::to_string(record.jobs) +
               " jobs, " + std::to_string(record.machines) + " machine" + (record.machines == 1 ? "" : "s") + ")\n";
        out += std::string(operations ? "operations" : "sequence") + "  " + join(sequence) + "\n\n";
        std::size_t width = 3;
        for (long c : completion) width = std::max(width, std::to_string(c).size());
        auto pad = [](const std::string& text, std::size_t w) {
            return std::string(w > text.size() ? w - text.size() : 0, ' ') + text;
        };
        const std::size_t job_width = std::max<std::size_t>(3, std::to_string(record.jobs).size());
        out += pad("job", job_width) + "  " + pad("C_j", width) + "\n";
        for (int j = 0; j < record.jobs; ++j)
            out += pad(std::to_string(j), job_width) + "  " +
                   pad(std::to_string(completion[static_cast<std::size_t>(j)]), width) + "\n";
        out += "\n";
        std::size_t value_width = 1;
        for (const auto& [name, value] : values) value_width = std::max(value_width, value.value_or("-").size());
        for (const auto& [name, value] : values)
            out += name + std::string(10 - name.size(), ' ') + pad(value.value_or("-"), value_width) + "\n";
        if (!has_due_dates) out += "\n- : the instance gives no due dates\n";
    }
    std::fputs(out.c_str(), stdout);
    return 0;
}

template <schedule::EvaluatedRecord Record>
int write_schedule(const InstanceSource& source, const Options& options) {
    if (options.values.count("output") == 0) usage_error("schedule needs --output FILE");
    const std::string output = options.values.at("output");
    const schedule::Instance<Record> instance = load_instance<Record>(source);
    const std::vector<int> sequence = read_sequence(options, instance.get());
    std::error_code ec;
    const std::filesystem::path target(output);
    const std::filesystem::path directory = target.has_parent_path() ? target.parent_path() : ".";
    if (!std::filesystem::is_directory(directory, ec)) failure("cannot write '" + output + "': no such directory");
    try {
        schedule::write_schedule(instance.get(), sequence, output);
    } catch (const schedule::Error& e) {
        failure(e.what());
    }
    return 0;
}

// The environment a layout holds when --env is not given, and what it
// accepts when it is.
std::string settle_environment(schedule::Layout layout, std::string env) {
    const std::string layout_text(schedule::layout_name(layout));
    switch (layout) {
        case schedule::Layout::tagged:
            return env.empty() ? "single" : env;
        case schedule::Layout::taillard:
            if (env.empty()) env = "flowshop";
            if (env != "flowshop") usage_error("the taillard layout holds a flow shop (--env flowshop)");
            return env;
        case schedule::Layout::classic:
        case schedule::Layout::taillard_jobshop:
            if (env.empty()) env = "jobshop";
            if (env != "jobshop") usage_error("the " + layout_text + " layout holds a job shop (--env jobshop)");
            return env;
        default:
            if (env.empty()) env = "flowshop";
            if (env != "flowshop" && env != "unrelated")
                usage_error("the " + layout_text +
                            " layout holds the processing times of a flow shop or of unrelated machines (--env "
                            "flowshop or --env unrelated)");
            return env;
    }
}

int run_instance_command(const std::string& command, const std::vector<std::string>& args) {
    const bool is_evaluate = command == "evaluate";
    std::vector<Flag> flags = {{"env", 'e', true},      {"layout", 0, true},      {"instance", 0, true},
                               {"seq", 0, true},        {"seq-file", 0, true},    {"verbose", 'v', false}};
    if (is_evaluate) {
        flags.push_back({"objective", 'o', true});
        flags.push_back({"format", 'f', true});
    } else {
        flags.push_back({"output", 'O', true});
    }
    const Options options = parse_options(args, flags, command.c_str());
    if (options.help) {
        std::fputs(is_evaluate ? evaluate_help : schedule_help, stdout);
        std::fputs("\n", stdout);
        std::fputs(instance_options_help, stdout);
        return 0;
    }
    if (options.positional.size() != 1)
        usage_error(command + " needs exactly one instance file (see 'sched " + command + " --help')");
    const std::string layout_text = value_or(options, "layout", "tagged");
    const std::optional<schedule::Layout> layout = schedule::layout_named(layout_text);
    if (!layout)
        usage_error("unknown layout '" + layout_text +
                    "' (tagged, taillard, classic, taillard-jobshop, mrows, mrows-dd, nrows or nrows-dd)");
    const InstanceSource source{options.positional[0], *layout, value_or(options, "instance", ""),
                                options.values.count("verbose") != 0};
    const std::string env = settle_environment(*layout, value_or(options, "env", ""));
    auto run = [&]<schedule::EvaluatedRecord Record>() {
        return is_evaluate ? evaluate<Record>(source, options) : write_schedule<Record>(source, options);
    };
    const std::optional<schedule::Environment> environment = schedule::environment_named(env);
    if (environment) {
        switch (*environment) {
            case schedule::Environment::single: return run.operator()<schedule::SINGLE_MACHINE>();
            case schedule::Environment::identical: return run.operator()<schedule::PARALLEL_MACHINES>();
            case schedule::Environment::uniform: return run.operator()<schedule::RELATED_MACHINES>();
            case schedule::Environment::unrelated: return run.operator()<schedule::UNRELATED_MACHINES>();
            case schedule::Environment::flowshop: return run.operator()<schedule::FLOWSHOP>();
            case schedule::Environment::jobshop: return run.operator()<schedule::JOBSHOP>();
            case schedule::Environment::openshop: break;  // loaded, but evaluated by no routine
        }
    }
    usage_error("unknown environment '" + env + "' (single, identical, uniform, unrelated, flowshop or jobshop)");
}

// ---------------------------------------------------------------------------
// gantt
// ---------------------------------------------------------------------------

// An operation as the library places it: job, machine, start and end.
using schedule::Operation;

struct Schedule {
    int jobs = 0;
    int machines = 0;
    std::vector<Operation> operations;
};

Schedule read_schedule(const std::string& path) {
    const std::string text = read_file(path);
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    const char* const tags[] = {"JOBS", "MACHINES", "SCHEDULE_DATA", "JOB_ORDER"};
    auto bad = [&](const std::string& why) -> Failure {
        return Failure{1, "'" + path + "' is not a schedule file: " + why};
    };
    if (lines.size() != 4) throw bad("expected four tagged lines, found " + std::to_string(lines.size()));
    std::string content[4];
    for (int k = 0; k < 4; ++k) {
        const std::string open = std::string("[") + tags[k] + "=";
        if (lines[k].rfind(open, 0) != 0 || lines[k].back() != ']')
            throw bad("line " + std::to_string(k + 1) + " should be " + open + "...]");
        content[k] = lines[k].substr(open.size(), lines[k].size() - open.size() - 1);
    }
    auto count = [&](const std::string& value, const char* tag) {
        const auto numbers = parse_integers(value);
        if (!numbers || numbers->size() != 1 || (*numbers)[0] < 0 || (*numbers)[0] > 100000)
            throw bad(std::string(tag) + " is not a count");
        return static_cast<int>((*numbers)[0]);
    };
    Schedule schedule;
    schedule.jobs = count(content[0], "JOBS");
    schedule.machines = count(content[1], "MACHINES");
    const auto order = parse_integers(content[3]);
    if (!order || static_cast<int>(order->size()) != schedule.jobs)
        throw bad("JOB_ORDER does not list " + std::to_string(schedule.jobs) + " jobs");
    std::vector<bool> seen(static_cast<std::size_t>(schedule.jobs), false);
    for (long job : *order) {
        if (job < 0 || job >= schedule.jobs || seen[static_cast<std::size_t>(job)])
            throw bad("JOB_ORDER is not a permutation of the jobs");
        seen[static_cast<std::size_t>(job)] = true;
    }
    std::vector<std::string> groups;
    if (schedule.jobs > 0) {
        std::string group;
        std::istringstream data(content[2]);
        while (std::getline(data, group, ';')) groups.push_back(group);
        if (!content[2].empty() && content[2].back() == ';') groups.emplace_back();
    } else if (!content[2].empty()) {
        throw bad("SCHEDULE_DATA lists operations of no job");
    }
    if (static_cast<int>(groups.size()) != schedule.jobs)
        throw bad("SCHEDULE_DATA has " + std::to_string(groups.size()) + " groups for " +
                  std::to_string(schedule.jobs) + " jobs");
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const int job = static_cast<int>((*order)[g]);
        const auto numbers = parse_integers(groups[g]);
        if (!numbers || numbers->empty() || numbers->size() % 3 != 0)
            throw bad("the group of job " + std::to_string(job) + " is not machine,start,duration triples");
        for (std::size_t k = 0; k < numbers->size(); k += 3) {
            const long machine = (*numbers)[k], start = (*numbers)[k + 1], duration = (*numbers)[k + 2];
            if (machine < 0 || machine >= schedule.machines)
                throw bad("job " + std::to_string(job) + " runs on machine " + std::to_string(machine) +
                          ", which does not exist");
            if (start < 0 || duration < 0 || start > 4000000000000L || duration > 4000000000000L)
                throw bad("job " + std::to_string(job) + " has a negative or huge start or duration");
            schedule.operations.push_back({job, static_cast<int>(machine), start, start + duration});
        }
    }
    // No machine runs two operations at once.
    std::vector<const Operation*> by_machine;
    for (const Operation& op : schedule.operations) by_machine.push_back(&op);
    std::sort(by_machine.begin(), by_machine.end(), [](const Operation* a, const Operation* b) {
        return a->machine != b->machine ? a->machine < b->machine : a->start < b->start;
    });
    for (std::size_t k = 1; k < by_machine.size(); ++k) {
        const Operation& before = *by_machine[k - 1];
        const Operation& after = *by_machine[k];
        if (before.machine == after.machine && after.start < before.end && after.end > after.start &&
            before.end > before.start)
            throw bad("machine " + std::to_string(after.machine) + " runs jobs " + std::to_string(before.job) +
                      " and " + std::to_string(after.job) + " at once");
    }
    return schedule;
}

// A colour per job, the same wherever the job appears: hues spread by the
// golden angle, converted to RGB so that every SVG renderer reads them.
std::string job_colour(int job) {
    const double hue = std::fmod(job * 137.508, 360.0) / 60.0;
    const double saturation = 0.55, lightness = job % 2 == 0 ? 0.62 : 0.50;
    const double chroma = (1 - std::fabs(2 * lightness - 1)) * saturation;
    const double x = chroma * (1 - std::fabs(std::fmod(hue, 2.0) - 1));
    double r = 0, g = 0, b = 0;
    switch (static_cast<int>(hue)) {
        case 0: r = chroma, g = x; break;
        case 1: r = x, g = chroma; break;
        case 2: g = chroma, b = x; break;
        case 3: g = x, b = chroma; break;
        case 4: r = x, b = chroma; break;
        default: r = chroma, b = x; break;
    }
    const double offset = lightness - chroma / 2;
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", static_cast<int>(std::lround((r + offset) * 255)),
                  static_cast<int>(std::lround((g + offset) * 255)), static_cast<int>(std::lround((b + offset) * 255)));
    return text;
}

std::string fixed(double value) {
    char text[48];
    std::snprintf(text, sizeof text, "%.2f", value);
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

std::string xml_escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

// The chart's geometry: time t sits at x = left + t * plot_width / span, where
// span is the makespan (1 for an empty schedule); lane i (machine i) spans
// y = top + i * lane .. top + (i + 1) * lane.
constexpr double chart_left = 100, chart_plot_width = 800, chart_right = 60;
constexpr double chart_top = 50, chart_lane = 40, chart_bar_margin = 6;

std::string render_svg(const Schedule& schedule, const std::string& title) {
    long makespan = 0;
    for (const Operation& op : schedule.operations) makespan = std::max(makespan, op.end);
    const double span = makespan > 0 ? static_cast<double>(makespan) : 1.0;
    const double scale = chart_plot_width / span;
    const double width = chart_left + chart_plot_width + chart_right;
    const double lanes_bottom = chart_top + schedule.machines * chart_lane;
    const double height = lanes_bottom + 50;
    auto x_of = [&](long t) { return chart_left + static_cast<double>(t) * scale; };

    std::string svg;
    svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + fixed(width) + "\" height=\"" + fixed(height) +
           "\" viewBox=\"0 0 " + fixed(width) + " " + fixed(height) +
           "\" font-family=\"DejaVu Sans, Arial, sans-serif\" font-size=\"12\">\n";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    svg += "<text x=\"" + fixed(chart_left) + "\" y=\"24\" font-size=\"15\" font-weight=\"bold\">" +
           xml_escape(title) + "</text>\n";
    svg += "<text x=\"" + fixed(chart_left + chart_plot_width) + "\" y=\"24\" text-anchor=\"end\">" +
           std::to_string(schedule.jobs) + " jobs, " + std::to_string(schedule.machines) + " machines</text>\n";

    // Lanes: the grey background shows where a machine stands idle.
    svg += "<g class=\"lanes\">\n";
    for (int i = 0; i < schedule.machines; ++i) {
        const double y = chart_top + i * chart_lane;
        svg += "<rect x=\"" + fixed(chart_left) + "\" y=\"" + fixed(y + 2) + "\" width=\"" + fixed(chart_plot_width) +
               "\" height=\"" + fixed(chart_lane - 4) + "\" fill=\"#eeeeee\"/>\n";
        svg += "<text x=\"" + fixed(chart_left - 10) + "\" y=\"" + fixed(y + chart_lane / 2 + 4) +
               "\" text-anchor=\"end\">M" + std::to_string(i) + "</text>\n";
    }
    svg += "</g>\n";

    // Time axis: ticks every 1, 2 or 5 times a power of ten, about ten of them.
    long step = 1;
    while (span / static_cast<double>(step) > 10) {
        if (span / static_cast<double>(step * 2) <= 10) { step *= 2; break; }
        if (span / static_cast<double>(step * 5) <= 10) { step *= 5; break; }
        step *= 10;
    }
    svg += "<g class=\"axis\" stroke=\"#555555\">\n";
    svg += "<line x1=\"" + fixed(chart_left) + "\" y1=\"" + fixed(lanes_bottom) + "\" x2=\"" +
           fixed(chart_left + chart_plot_width) + "\" y2=\"" + fixed(lanes_bottom) + "\"/>\n";
    for (long t = 0; static_cast<double>(t) <= span; t += step) {
        const double x = x_of(t);
        svg += "<line x1=\"" + fixed(x) + "\" y1=\"" + fixed(lanes_bottom) + "\" x2=\"" + fixed(x) + "\" y2=\"" +
               fixed(lanes_bottom + 6) + "\"/>\n";
        svg += "<text x=\"" + fixed(x) + "\" y=\"" + fixed(lanes_bottom + 20) +
               "\" text-anchor=\"middle\" stroke=\"none\" fill=\"#333333\">" + std::to_string(t) + "</text>\n";
    }
    svg += "<text x=\"" + fixed(chart_left + chart_plot_width / 2) + "\" y=\"" + fixed(lanes_bottom + 40) +
           "\" text-anchor=\"middle\" stroke=\"none\" fill=\"#333333\">time</text>\n";
    svg += "</g>\n";

    // Bars: one per operation, in the order the file lists them.
    svg += "<g class=\"operations\">\n";
    for (const Operation& op : schedule.operations) {
        const double x = x_of(op.start);
        const double w = static_cast<double>(op.end - op.start) * scale;
        const double y = chart_top + op.machine * chart_lane + chart_bar_margin;
        const double h = chart_lane - 2 * chart_bar_margin;
        svg += "<rect class=\"bar\" data-job=\"" + std::to_string(op.job) + "\" data-machine=\"" +
               std::to_string(op.machine) + "\" x=\"" + fixed(x) + "\" y=\"" + fixed(y) + "\" width=\"" + fixed(w) +
               "\" height=\"" + fixed(h) + "\" fill=\"" + job_colour(op.job) +
               "\" stroke=\"#333333\" stroke-width=\"0.8\"><title>job " + std::to_string(op.job) + " on M" +
               std::to_string(op.machine) + ": " + std::to_string(op.start) + " to " +
               std::to_string(op.end) + "</title></rect>\n";
        const std::string label = "J" + std::to_string(op.job);
        if (w >= 7.5 * static_cast<double>(label.size()))
            svg += "<text x=\"" + fixed(x + w / 2) + "\" y=\"" + fixed(y + h / 2 + 4) +
                   "\" text-anchor=\"middle\" fill=\"#111111\">" + label + "</text>\n";
    }
    svg += "</g>\n";

    // The makespan.
    const double xm = x_of(makespan);
    svg += "<g class=\"makespan\">\n";
    svg += "<line x1=\"" + fixed(xm) + "\" y1=\"" + fixed(chart_top - 8) + "\" x2=\"" + fixed(xm) + "\" y2=\"" +
           fixed(lanes_bottom) + "\" stroke=\"#cc0000\" stroke-width=\"2\" stroke-dasharray=\"6 3\"/>\n";
    svg += "<text x=\"" + fixed(xm) + "\" y=\"" + fixed(chart_top - 12) +
           "\" text-anchor=\"middle\" fill=\"#cc0000\">Cmax = " + std::to_string(makespan) + "</text>\n";
    svg += "</g>\n";
    svg += "</svg>\n";
    return svg;
}

int gantt(const std::vector<std::string>& args) {
    const Options options = parse_options(args, {{"output", 'O', true}, {"title", 0, true}}, "gantt");
    if (options.help) {
        std::fputs(gantt_help, stdout);
        return 0;
    }
    if (options.positional.size() != 1) usage_error("gantt needs exactly one schedule file (see 'sched gantt --help')");
    const std::string& path = options.positional[0];
    const Schedule schedule = read_schedule(path);
    const std::string title = value_or(options, "title", std::filesystem::path(path).filename().string());
    const std::string svg = render_svg(schedule, title);
    if (options.values.count("output") != 0)
        write_file(options.values.at("output"), svg);
    else
        std::fputs(svg.c_str(), stdout);
    return 0;
}

int run(const std::vector<std::string>& args) {
    if (args.empty()) usage_error("no command given (see 'sched --help')");
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "-h" || command == "--help" || command == "help") {
        std::fputs(main_help, stdout);
        return 0;
    }
    if (command == "evaluate" || command == "schedule") return run_instance_command(command, rest);
    if (command == "gantt") return gantt(rest);
    usage_error("unknown command '" + command + "' (evaluate, schedule or gantt; see 'sched --help')");
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const Failure& f) {
        std::fflush(stdout);
        std::fprintf(stderr, "%s: %s\n", program, f.message.c_str());
        return f.status;
    }
}
