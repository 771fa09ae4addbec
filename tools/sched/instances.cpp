#include "instances.h"

#include <cstdio>
#include <filesystem>
#include <optional>

#include <CLI/CLI.hpp>

#include <zurududo/benchmarks.h>
#include <zurududo/experiment.h>

namespace sched {

void add_instance_options(CLI::App& app, InstanceOptions& options, bool sequences) {
    app.add_option("INSTANCE", options.path, "an instance file, - for standard input, or a benchmark name (sched list)")
        ->required();
    app.add_option("-e,--env", options.env,
                   "single, identical, uniform, unrelated, flowshop or jobshop (default: from the tagged file's "
                   "tags, or single)");
    app.add_option("--layout", options.layout,
                   "tagged (default); taillard; classic; taillard-jobshop; mrows, mrows-dd, nrows, nrows-dd");
    app.add_option("--instance", options.instance,
                   "the instance of a file that holds several: its name, or its position from 0");
    if (sequences) {
        app.add_option("--seq", options.seq,
                       "the sequence, e.g. 2,0,1 (default: 0,1,...,n-1; the job shop: an "
                       "operation sequence naming each job m times)");
        app.add_option("--seq-file", options.seq_file,
                       "read the sequence from FILE; a file of several sequences, one per line, gives one row each");
    }
    app.add_flag("-v,--verbose", options.verbose, "show what the instance loader reports, on standard error");
}

namespace {

// The environment a layout holds when --env is not given, and what it accepts when it is.
std::optional<schedule::Environment> settle_environment(schedule::Layout layout, const std::string& env) {
    const std::string layout_text(schedule::layout_name(layout));
    std::optional<schedule::Environment> environment;
    if (!env.empty()) {
        environment = schedule::environment_named(env);
        if (!environment || *environment == schedule::Environment::openshop)
            usage_error("unknown environment '" + env +
                        "' (single, identical, uniform, unrelated, flowshop or jobshop)");
    }
    using schedule::Environment;
    switch (layout) {
        case schedule::Layout::tagged: return environment;
        case schedule::Layout::taillard:
            if (environment && *environment != Environment::flowshop)
                usage_error("the taillard layout holds a flow shop (--env flowshop)");
            return Environment::flowshop;
        case schedule::Layout::classic:
        case schedule::Layout::taillard_jobshop:
            if (environment && *environment != Environment::jobshop)
                usage_error("the " + layout_text + " layout holds a job shop (--env jobshop)");
            return Environment::jobshop;
        default:
            if (environment && *environment != Environment::flowshop && *environment != Environment::unrelated)
                usage_error("the " + layout_text +
                            " layout holds the processing times of a flow shop or of unrelated machines (--env "
                            "flowshop or --env unrelated)");
            return environment.value_or(Environment::flowshop);
    }
}

// The layout an untagged file looks like, for a hint.
std::optional<std::string> looks_like(std::string_view text) {
    if (text.find('[') != std::string_view::npos) return std::nullopt;
    if (text.find("number of jobs") != std::string_view::npos) return "taillard";
    if (text.find("Nb of jobs") != std::string_view::npos) return "taillard-jobshop";
    if (parse_integers(text)) return "classic, mrows or nrows";
    const auto newline = text.find('\n');
    if (newline != std::string_view::npos && parse_integers(text.substr(newline + 1))) return "classic";
    return std::nullopt;
}

}  // namespace

LoadedInstance load(const InstanceOptions& options) {
    const std::optional<schedule::Layout> layout = schedule::layout_named(options.layout);
    if (!layout)
        usage_error("unknown layout '" + options.layout +
                    "' (tagged, taillard, classic, taillard-jobshop, mrows, mrows-dd, nrows or nrows-dd)");
    std::optional<schedule::Environment> environment = settle_environment(*layout, options.env);
    const std::string& path = options.path;
    std::error_code ec;
    // A name that is no file is looked up among the benchmark instances.
    if (path != "-" && !std::filesystem::exists(path, ec)) {
        if (const zurududo::benchmarks::Entry* entry = zurududo::benchmarks::find(path)) {
            if (environment && *environment != entry->environment && !options.env.empty())
                usage_error(path + " is a " + std::string(schedule::environment_name(entry->environment)) +
                            " instance");
            return {zurududo::experiment::make_instance(*entry), path, true};
        }
    }
    const std::string text = read_input(path);
    const schedule::LoadOptions load_options{options.verbose ? stderr : nullptr, true};
    schedule::InstanceChoice choice;
    if (!options.instance.empty()) choice = options.instance;
    LoadedInstance loaded{schedule::Instance<schedule::SINGLE_MACHINE>{}, path, false};
    try {
        if (*layout == schedule::Layout::tagged && !environment) {
            if (const auto other = looks_like(text))
                usage_error("'" + path + "' is not a tagged file; it looks like another layout: try --layout " +
                            *other);
            environment = schedule::tagged_environment_text(text, path);
        }
        loaded.instance = path == "-"
                              ? schedule::load_instance_text(text, path, environment, *layout, load_options, choice)
                              : schedule::load_instance(path, environment, *layout, load_options, choice);
    } catch (const schedule::Error& e) {
        if (e.kind() == schedule::ErrorKind::argument) usage_error(e.what());
        if (e.kind() == schedule::ErrorKind::instance && *layout == schedule::Layout::tagged) {
            if (!options.verbose) std::fputs(e.info().c_str(), stderr);
            failure("cannot load '" + path + "' as a " + std::string(schedule::environment_name(*environment)) +
                    " instance (the loader's report is above)");
        }
        failure(e.what());
    }
    std::visit(
        [&](const auto& held) {
            try {
                schedule::validate(held.get());
            } catch (const schedule::Error& e) {
                failure("'" + path + "': " + e.what());
            }
        },
        loaded.instance);
    return loaded;
}

}  // namespace sched
