// sched evaluate: completion times and objectives of sequences on an instance.
#include <algorithm>
#include <optional>

#include <CLI/CLI.hpp>

#include "commands.h"
#include "instances.h"
#include "output.h"

namespace sched {

namespace {

struct EvaluateOptions {
    InstanceOptions instance;
    std::vector<std::string> objectives;
    std::string format = "table";
    bool detail = false;
};

// Per job: start of its first operation, end of its last, its machine when it
// has one, lateness and tardiness when there are due dates.
struct JobDetail {
    long start = -1, end = 0;
    int machine = -1;  // -1: several
    std::optional<long> lateness;
};

template <schedule::EvaluatedRecord Record>
std::vector<JobDetail> job_detail(const Record& record, const std::vector<int>& sequence) {
    std::vector<JobDetail> jobs(static_cast<std::size_t>(record.jobs));
    std::vector<bool> seen(jobs.size(), false);
    for (const schedule::Operation& op : schedule::schedule_operations(record, sequence)) {
        JobDetail& job = jobs[static_cast<std::size_t>(op.job)];
        if (!seen[static_cast<std::size_t>(op.job)]) {
            job.start = op.start;
            job.machine = op.machine;
            seen[static_cast<std::size_t>(op.job)] = true;
        } else if (job.machine != op.machine) {
            job.machine = -1;
        }
        job.start = std::min(job.start, op.start);
        job.end = std::max(job.end, op.end);
    }
    if (record.dd != nullptr)
        for (std::size_t j = 0; j < jobs.size(); ++j)
            jobs[j].lateness = jobs[j].end - record.dd[j];
    return jobs;
}

template <schedule::EvaluatedRecord Record>
std::string evaluate_record(const Record& record, const std::string& label, const EvaluateOptions& options) {
    using Objective = schedule::Objective<Record>;
    std::vector<const Objective*> chosen;
    for (const std::string& name : options.objectives) {
        try {
            chosen.push_back(&schedule::find_objective<Record>(name));
        } catch (const schedule::Error& e) {
            usage_error(e.what());
        }
    }
    const bool has_due_dates = record.dd != nullptr;
    for (const Objective* objective : chosen)
        if (objective->needs_due_dates && !has_due_dates)
            failure(std::string(objective->name) + " needs due dates and '" + label + "' gives none");
    const bool all = chosen.empty();
    if (all)
        for (const Objective& objective : schedule::objective_table<Record>)
            chosen.push_back(&objective);
    const std::vector<std::vector<int>> sequences = read_sequences(options.instance, record);
    const std::string& format = options.format;

    auto value_of = [&](const Objective& objective,
                        const std::vector<int>& sequence) -> std::optional<schedule::Value> {
        if (objective.needs_due_dates && !has_due_dates) return std::nullopt;
        return schedule::evaluate(record, sequence, objective);
    };
    auto text_of = [&](const std::optional<schedule::Value>& value, const char* absent) {
        return value ? value_text(*value) : std::string(absent);
    };
    auto objectives_json = [&](const std::vector<int>& sequence) {
        nlohmann::ordered_json values = nlohmann::ordered_json::object();
        for (const Objective* objective : chosen) {
            const auto value = value_of(*objective, sequence);
            values[std::string(objective->name)] = value ? nlohmann::ordered_json(value_json(*value)) : nullptr;
        }
        return values;
    };

    // Several sequences: one row each.
    if (sequences.size() > 1) {
        if (format == "json") {
            nlohmann::ordered_json rows = nlohmann::ordered_json::array();
            for (const auto& sequence : sequences)
                rows.push_back({{"sequence", sequence}, {"objectives", objectives_json(sequence)}});
            return rows.dump(2) + "\n";
        }
        const std::string separator = format == "tsv" ? "\t" : "  ";
        std::string out = "sequence";
        for (const Objective* objective : chosen)
            out += separator + std::string(objective->name);
        out += "\n";
        for (const auto& sequence : sequences) {
            out += join(sequence);
            for (const Objective* objective : chosen)
                out += separator + text_of(value_of(*objective, sequence), format == "tsv" ? "NA" : "-");
            out += "\n";
        }
        return out;
    }

    const std::vector<int>& sequence = sequences.front();
    // Chosen objectives: a lone one is its bare value; several are labelled.
    if (!all && !options.detail) {
        if (format == "json") return objectives_json(sequence).dump() + "\n";
        if (chosen.size() == 1) return text_of(value_of(*chosen.front(), sequence), "-") + "\n";
        std::string out = format == "tsv" ? "name\tvalue\n" : "";
        for (const Objective* objective : chosen)
            out += std::string(objective->name) + (format == "tsv" ? "\t" : "  ") +
                   text_of(value_of(*objective, sequence), "-") + "\n";
        return out;
    }

    const std::vector<long> completion = schedule::completion_times(record, sequence);
    const std::vector<JobDetail> detail = options.detail ? job_detail(record, sequence) : std::vector<JobDetail>{};
    const std::string environment(schedule::environment_name(schedule::environment_of<Record>));
    std::string out;
    if (format == "tsv") {
        out += "name\tvalue\n";
        for (int j = 0; j < record.jobs; ++j)
            out += "C_" + std::to_string(j) + "\t" + std::to_string(completion[static_cast<std::size_t>(j)]) + "\n";
        for (const Objective* objective : chosen)
            out += std::string(objective->name) + "\t" + text_of(value_of(*objective, sequence), "NA") + "\n";
        if (options.detail) {
            out += "\njob\tstart\tend\tmachine\tlateness\ttardiness\n";
            for (std::size_t j = 0; j < detail.size(); ++j) {
                const JobDetail& d = detail[j];
                out += std::to_string(j) + "\t" + std::to_string(d.start) + "\t" + std::to_string(d.end) + "\t" +
                       (d.machine < 0 ? "NA" : std::to_string(d.machine)) + "\t" +
                       (d.lateness ? std::to_string(*d.lateness) : "NA") + "\t" +
                       (d.lateness ? std::to_string(std::max(0L, *d.lateness)) : "NA") + "\n";
            }
        }
    } else if (format == "json") {
        nlohmann::ordered_json json;
        json["environment"] = environment;
        json["jobs"] = record.jobs;
        json["machines"] = record.machines;
        json["sequence"] = sequence;
        json["completion"] = completion;
        json["objectives"] = objectives_json(sequence);
        if (options.detail) {
            nlohmann::ordered_json jobs = nlohmann::ordered_json::array();
            for (std::size_t j = 0; j < detail.size(); ++j) {
                const JobDetail& d = detail[j];
                jobs.push_back(
                    {{"job", j},
                     {"start", d.start},
                     {"end", d.end},
                     {"machine", d.machine < 0 ? nlohmann::ordered_json() : nlohmann::ordered_json(d.machine)},
                     {"lateness", d.lateness ? nlohmann::ordered_json(*d.lateness) : nlohmann::ordered_json()},
                     {"tardiness",
                      d.lateness ? nlohmann::ordered_json(std::max(0L, *d.lateness)) : nlohmann::ordered_json()}});
            }
            json["job_detail"] = jobs;
        }
        out = json.dump(2) + "\n";
    } else {
        out += "instance  " + label + " (" + environment + ", " + std::to_string(record.jobs) + " jobs, " +
               std::to_string(record.machines) + " machine" + (record.machines == 1 ? "" : "s") + ")\n";
        out += std::string(operation_sequences<Record> ? "operations" : "sequence") + "  " + join(sequence) + "\n\n";
        std::size_t width = 3;
        for (long c : completion)
            width = std::max(width, std::to_string(c).size());
        const std::size_t job_width = std::max<std::size_t>(3, std::to_string(record.jobs).size());
        if (options.detail) {
            const std::size_t w = std::max<std::size_t>(width, 9);
            out += pad("job", job_width) + "  " + pad("start", w) + "  " + pad("C_j", w) + "  " + pad("machine", w) +
                   "  " + pad("lateness", w) + "  " + pad("tardiness", w) + "\n";
            for (std::size_t j = 0; j < detail.size(); ++j) {
                const JobDetail& d = detail[j];
                out += pad(std::to_string(j), job_width) + "  " + pad(std::to_string(d.start), w) + "  " +
                       pad(std::to_string(d.end), w) + "  " + pad(d.machine < 0 ? "-" : std::to_string(d.machine), w) +
                       "  " + pad(d.lateness ? std::to_string(*d.lateness) : "-", w) + "  " +
                       pad(d.lateness ? std::to_string(std::max(0L, *d.lateness)) : "-", w) + "\n";
            }
        } else {
            out += pad("job", job_width) + "  " + pad("C_j", width) + "\n";
            for (int j = 0; j < record.jobs; ++j)
                out += pad(std::to_string(j), job_width) + "  " +
                       pad(std::to_string(completion[static_cast<std::size_t>(j)]), width) + "\n";
        }
        out += "\n";
        std::size_t value_width = 1;
        for (const Objective* objective : chosen)
            value_width = std::max(value_width, text_of(value_of(*objective, sequence), "-").size());
        for (const Objective* objective : chosen) {
            const std::string name(objective->name);
            out += name + std::string(name.size() < 10 ? 10 - name.size() : 1, ' ') +
                   pad(text_of(value_of(*objective, sequence), "-"), value_width) + "\n";
        }
        if (!has_due_dates) out += "\n- : the instance gives no due dates\n";
    }
    return out;
}

}  // namespace

int evaluate_command(CLI::App& app, const std::vector<std::string>& args) {
    EvaluateOptions options;
    add_instance_options(app, options.instance, true);
    app.add_option("-o,--objective", options.objectives,
                   "print only these objectives (e.g. Cmax, SumTj, Wj_SumTj; repeated or comma-separated)")
        ->delimiter(',');
    app.add_option("-f,--format", options.format, "table (default), tsv or json");
    app.add_flag("--jobs", options.detail, "per job: start, end, machine, lateness and tardiness");
    if (!parse(app, args)) return 0;
    check_format(options.format, {"table", "tsv", "json"});
    const LoadedInstance loaded = load(options.instance);
    write_output("", with_record(loaded.instance,
                                 [&](const auto& record) { return evaluate_record(record, loaded.label, options); }));
    return 0;
}

}  // namespace sched
