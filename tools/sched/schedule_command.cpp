// sched schedule: the schedule file of a sequence.
#include <filesystem>

#include <CLI/CLI.hpp>

#include "commands.h"
#include "instances.h"

namespace sched {

int schedule_command(CLI::App& app, const std::vector<std::string>& args) {
    InstanceOptions options;
    std::string output;
    add_instance_options(app, options, true);
    app.add_option("-O,--output", output, "the schedule file to write (required)");
    if (!parse(app, args)) return 0;
    if (output.empty()) usage_error("schedule needs --output FILE");
    const LoadedInstance loaded = load(options);
    const std::string text = with_record(loaded.instance, [&](const auto& record) {
        const std::vector<std::vector<int>> sequences = read_sequences(options, record);
        if (sequences.size() != 1) usage_error("schedule writes the schedule of one sequence");
        try {
            return schedule::schedule_file_text(record, sequences.front());
        } catch (const schedule::Error& e) {
            failure(e.what());
        }
    });
    write_output(output, text);
    return 0;
}

}  // namespace sched
