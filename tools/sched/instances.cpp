#include "instances.h"

#include <cstdio>
#include <filesystem>
#include <optional>

#include <CLI/CLI.hpp>

#include <zurududo/benchmarks.h>

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
            usage_error(schedule::unknown_name(
                "environment", env,
                std::vector<std::string>{"single", "identical", "uniform", "unrelated", "flowshop", "jobshop"}));
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

}  // namespace

LoadedInstance load(const InstanceOptions& options) {
    const std::optional<schedule::Layout> layout = schedule::layout_named(options.layout);
    if (!layout)
        usage_error(schedule::unknown_name("layout", options.layout,
                                           std::vector<std::string>{"tagged", "taillard", "classic", "taillard-jobshop",
                                                                    "mrows", "mrows-dd", "nrows", "nrows-dd"}));
    zurududo::benchmarks::ResolveOptions resolve;
    resolve.environment = settle_environment(*layout, options.env);
    resolve.layout = *layout;
    resolve.load = schedule::LoadOptions{options.verbose ? stderr : nullptr, true};
    if (!options.instance.empty()) resolve.choice = options.instance;
    try {
        return zurududo::benchmarks::resolve(options.path, resolve);
    } catch (const schedule::Error& e) {
        if (e.kind() == schedule::ErrorKind::argument) usage_error(e.what());
        if (e.kind() == schedule::ErrorKind::file) file_failure(e, options.path);
        failure(e.what());
    }
}

}  // namespace sched
