#include "common.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>

#include <CLI/CLI.hpp>

#include "schedule/checked.h"

extern char** environ;

namespace sched {

void usage_error(const std::string& message) {
    throw Failure{2, message};
}
void failure(const std::string& message) {
    throw Failure{1, message};
}

namespace {

std::string one_line(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

}  // namespace

namespace {

// A validator of the number a whole option value reads as, within low … high.
CLI::Validator number_between(const char* what, double low, double high, bool whole) {
    return CLI::Validator(
        [=](std::string& text) -> std::string {
            const auto shown = [](double v) {
                return v == std::floor(v) && std::fabs(v) < 1e15 ? std::to_string(static_cast<long>(v)) : format_double(v);
            };
            const std::string range = shown(low) + " to " + shown(high);
            const bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
            if (whole && !digits) return "'" + text + "' is not " + what + " (" + range + ")";
            errno = 0;
            char* end = nullptr;
            const double value = std::strtod(text.c_str(), &end);
            if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(value) || value < low ||
                value > high || (errno == ERANGE && value == 0))
                return "'" + text + "' is not " + what + " (" + range + ")";
            return {};
        },
        std::string(what));
}

}  // namespace

CLI::Validator seconds_option() { return number_between("a number of seconds", 0.001, 1e7, false); }
CLI::Validator time_factor_option() { return number_between("a time factor", 0.001, 1e6, false); }
CLI::Validator seed_option() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            std::uint64_t value = 0;
            const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
            if (text.empty() || ec != std::errc{} || end != text.data() + text.size())
                return "'" + text + "' is not a seed (a whole number 0 to 18446744073709551615)";
            return {};
        },
        "seed");
}
CLI::Validator count_option(long most) {
    return number_between("a count", 1, static_cast<double>(most), true);
}

std::optional<std::string> closest(const std::string& word, const std::vector<std::string>& candidates) {
    return schedule::closest_name(word, candidates);
}

namespace {

// The help of a command: its description begins with the one usage line, so
// CLI11's own is left out.
class Help : public CLI::Formatter {
public:
    std::string make_usage(const CLI::App*, std::string) const override { return {}; }
};

}  // namespace

bool parse(CLI::App& app, const std::vector<std::string>& args) {
    app.formatter(std::make_shared<Help>());
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        std::cout << app.help() << std::flush;
        return false;
    } catch (const CLI::ExtrasError&) {
        // The first argument that looks like an option and is none.
        std::vector<std::string> names;
        for (const CLI::Option* option : app.get_options()) {
            for (const std::string& l : option->get_lnames())
                names.push_back("--" + l);
            for (const std::string& s : option->get_snames())
                names.push_back("-" + s);
        }
        for (const std::string& extra : app.remaining()) {
            if (extra.size() > 1 && extra[0] == '-') {
                const std::string name = extra.substr(0, extra.find('='));
                const auto guess = closest(name, names);
                usage_error("unknown option '" + name + "' for " + app.get_name() +
                            (guess ? " (did you mean '" + *guess + "'?)" : ""));
            }
        }
        usage_error(app.get_name() + " takes one file or name (see 'sched " + app.get_name() + " --help')");
    } catch (const CLI::ParseError& e) {
        usage_error(one_line(e.what()) + " (see 'sched " + app.get_name() + " --help')");
    }
    return true;
}

void add_search_options(CLI::App& app, double& seconds, long& iterations, std::uint64_t& seed, CLI::Option* other) {
    CLI::Option* limit =
        app.add_option("--time-limit", seconds, "a time limit of S seconds per run")->check(seconds_option());
    // The runner's former name, still read (hidden from --help).
    CLI::Option* alias = app.add_option("--seconds", seconds)->check(seconds_option())->group("")->excludes(limit);
    alias->each([](const std::string&) {
        std::fputs("sched: --seconds is deprecated; the time limit is --time-limit\n", stderr);
    });
    CLI::Option* count =
        app.add_option("--iterations", iterations, "an iteration limit per run, reproducible on any machine")
            ->check(CLI::PositiveNumber)
            ->excludes(limit)
            ->excludes(alias);
    if (other != nullptr) {
        limit->excludes(other);
        alias->excludes(other);
        count->excludes(other);
    }
    app.add_option("--seed", seed, "the random seed (default: 1)")->check(seed_option());
}

void add_method_options(CLI::App& app, MethodOptions& options, bool required) {
    CLI::Option* method =
        app.add_option("-a,--algorithm", options.method,
                       "the method, by name or alias (sched list --methods)" +
                           std::string(required ? "" : "; default: the search made for the objective, else generic"));
    if (required) method->required();
    app.add_option("-p,--param", options.parameters,
                   "a parameter of the method as NAME=VALUE (e.g. d=4), repeated for several")
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_option("--target", options.target, "end a search as soon as its value is at most V")
        ->check(CLI::Validator(
            [](std::string& text) -> std::string {
                char* end = nullptr;
                const double value = std::strtod(text.c_str(), &end);
                if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(value))
                    return "'" + text + "' is not a target value (a finite number)";
                return {};
            },
            "target"));
    app.add_flag("--stop-at-best", options.stop_at_best,
                 "end a search as soon as it reaches the best known value of the benchmark instance");
}

zurududo::solvers::ParameterValues parameter_values(const MethodOptions& options) {
    zurududo::solvers::ParameterValues values;
    for (const std::string& given : options.parameters) {
        try {
            auto [name, value] = zurududo::solvers::parameter_assignment(given);
            if (!values.emplace(name, value).second) usage_error("the parameter " + name + " is given twice");
        } catch (const schedule::Error& e) {
            usage_error(e.what());
        }
    }
    return values;
}

std::string read_input(const std::string& path) {
    if (path == "-") {
        std::string text{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
        if (std::cin.bad()) failure("cannot read standard input");
        return text;
    }
    try {
        return schedule::read_text_file(path);
    } catch (const schedule::Error& e) {
        file_failure(e, path);
    }
}

void file_failure(const schedule::Error& e, const std::string& path) {
    // What the system said, in the tool's words for the two common cases.
    switch (e.os_error()) {
        case 0: failure(e.what());
        case ENOENT: failure("cannot read '" + path + "': no such file");
        case EISDIR: failure("cannot read '" + path + "': it is a directory");
        default: failure("cannot read '" + path + "': " + std::strerror(e.os_error()));
    }
}

void write_output(const std::string& path, std::string_view bytes) {
    if (path.empty() || path == "-") {
        if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0)
            failure(std::string("cannot write to standard output: ") + std::strerror(errno));
        return;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) failure("cannot write '" + path + "': it is a directory");
    const std::filesystem::path target(path);
    if (!std::filesystem::is_directory(target.has_parent_path() ? target.parent_path() : ".", ec))
        failure("cannot write '" + path + "': no such directory");
    try {
        schedule::write_file_atomically(path, bytes);
    } catch (const schedule::Error& e) {
        failure(e.what());
    }
}

std::string format_double(double value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string join(const std::vector<int>& values) {
    std::string text;
    for (std::size_t k = 0; k < values.size(); ++k)
        text += (k ? "," : "") + std::to_string(values[k]);
    return text;
}

int run_program(const std::vector<std::string>& argv) {
    std::vector<char*> pointers;
    for (const std::string& arg : argv)
        pointers.push_back(const_cast<char*>(arg.c_str()));
    pointers.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, pointers[0], nullptr, nullptr, pointers.data(), environ) != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) < 0) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool program_available(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return false;
    std::string_view rest(path);
    while (!rest.empty()) {
        const auto colon = rest.find(':');
        const std::filesystem::path dir(std::string(rest.substr(0, colon)));
        std::error_code ec;
        if (std::filesystem::is_regular_file(dir / name, ec)) return true;
        if (colon == std::string_view::npos) break;
        rest.remove_prefix(colon + 1);
    }
    return false;
}

}  // namespace sched
