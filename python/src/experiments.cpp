// The compiled side of zurududo.experiments: one run of a grid as its CSV
// row, the CSV file rows are appended to, the resume key, the progress line,
// the statistics and the report — the heuristics library's own, so that the
// Python grid writes and reads the rows sched bench does and makes the same
// report as sched report.
#include <pybind11/stl.h>

#include <memory>
#include <optional>

#include <zurududo/experiment.h>
#include <zurududo/report.h>

#include "bindings.h"

namespace zurududo_python {

namespace {

namespace experiment = zurududo::experiment;
namespace benchmarks = zurududo::benchmarks;

experiment::Settings task_settings(const std::string& method, const std::map<std::string, std::string>& parameters,
                                   std::uint64_t seed, const std::string& budget, const std::string& clock) {
    experiment::Settings settings;
    settings.method = method;
    settings.parameters.insert(parameters.begin(), parameters.end());
    settings.seed = seed;
    experiment::parse_budget(budget, settings);
    if (clock != "cpu" && clock != "wall") value_error("the clock is 'cpu' or 'wall', not '" + clock + "'");
    settings.clock = clock == "cpu" ? zurududo::heuristics::Clock::thread_cpu : zurududo::heuristics::Clock::wall;
    return settings;
}

const benchmarks::Entry& entry_named(const std::string& name) {
    const benchmarks::Entry* entry = benchmarks::find(name);
    if (entry == nullptr) {
        const auto guess = benchmarks::closest_instance(name);
        value_error("no benchmark instance is named '" + name + "'" + (guess ? " (did you mean " + *guess + "?)" : ""));
    }
    return *entry;
}

std::vector<experiment::Row> rows_of(const std::vector<std::pair<std::string, std::string>>& texts) {
    std::vector<experiment::Row> rows;
    for (const auto& [text, origin] : texts) {
        auto more = experiment::read_csv_rows(text, origin);
        rows.insert(rows.end(), more.begin(), more.end());
    }
    return rows;
}

// The guard of the stop handlers of a worker process, for its whole life.
std::unique_ptr<experiment::StopOnSignals> worker_signals;

}  // namespace

void init_experiments(py::module_& m) {
    m.def(
        "_experiment_task",
        [](const std::string& method, const std::map<std::string, std::string>& parameters, const std::string& instance,
           std::uint64_t seed, const std::string& budget, const std::string& clock) -> std::optional<std::string> {
            const experiment::Settings settings = task_settings(method, parameters, seed, budget, clock);
            const benchmarks::Entry& entry = entry_named(instance);
            const std::atomic<bool>* stop = worker_signals ? &experiment::StopOnSignals::flag() : nullptr;
            if (stop != nullptr && stop->load()) return std::nullopt;  // stopped before it began: not made
            py::gil_scoped_release release;
            return experiment::csv_line(experiment::run(entry, settings, stop));
        },
        "One run of a grid: its CSV row, or None when the process was told to stop before it began.");
    m.def(
        "_experiment_key",
        [](const std::string& method, const std::map<std::string, std::string>& parameters, const std::string& instance,
           std::uint64_t seed, const std::string& budget) {
            experiment::Settings settings = task_settings(method, parameters, seed, budget, "cpu");
            experiment::Row row;
            std::tie(row.method, row.parameters) = experiment::method_and_parameters(settings);
            row.instance = entry_named(instance).name;
            row.seed = seed;
            row.budget = experiment::budget_text(settings);
            return py::make_tuple(experiment::run_key(row), row.method, row.parameters, row.budget,
                                  experiment::time_limit(entry_named(instance), settings));
        },
        "The resume key of a run, the method's name, its parameters, the budget text and the time limit in seconds.");
    m.def("_stop_on_signals", [] {
        if (!worker_signals) worker_signals = std::make_unique<experiment::StopOnSignals>(false);
    });
    m.def("_row_key", [](const std::string& line) {
        const auto rows = experiment::read_csv_rows(experiment::csv_header() + line, "row");
        if (rows.size() != 1) value_error("not one row");
        return py::make_tuple(experiment::run_key(rows[0]), rows[0].interrupted, rows[0].rpd, rows[0].instance,
                              rows[0].seed, rows[0].value);
    });
    m.def("_csv_header", [] { return experiment::csv_header(); });

    py::class_<experiment::CsvFile>(m, "_CsvFile")
        .def(py::init<std::string>())
        .def("finished", &experiment::CsvFile::finished)
        .def("append_line", [](experiment::CsvFile& file, const std::string& line) { file.append_line(line); })
        .def("existing_lines", [](const experiment::CsvFile& file) {
            std::vector<std::string> lines;
            for (const experiment::Row& row : file.existing())
                lines.push_back(experiment::csv_line(row));
            return lines;
        });

    m.def(
        "_progress_line",
        [](std::size_t done, std::size_t total, std::size_t skipped, double elapsed, std::optional<double> remaining,
           std::optional<double> mean_rpd, bool stopping) {
            experiment::Progress progress;
            progress.done = done;
            progress.total = total;
            progress.skipped = skipped;
            progress.elapsed = elapsed;
            progress.remaining = remaining;
            progress.mean_rpd = mean_rpd;
            progress.stopping = stopping;
            return experiment::progress_line(progress);
        });
    m.def("_estimate_remaining", &experiment::estimate_remaining);

    m.def("_summary", [](const std::vector<std::pair<std::string, std::string>>& texts) {
        std::vector<experiment::Row> finished;
        for (experiment::Row& row : rows_of(texts))
            if (!row.interrupted) finished.push_back(std::move(row));
        std::ostringstream out;
        experiment::write_summary(out, experiment::summarise(finished), false);
        return out.str();
    });
    m.def("_report", [](const std::vector<std::pair<std::string, std::string>>& texts, const std::string& format,
                        const std::string& title) {
        const std::vector<experiment::Row> rows = rows_of(texts);
        if (format == "md") return experiment::report_markdown(rows);
        if (format == "csv") return experiment::arpd_csv(rows);
        experiment::ReportOptions options;
        options.title = title;
        for (const auto& text : texts)
            options.sources.push_back(text.second);
        return experiment::report_html(rows, options);
    });
    m.def("_wilcoxon", [](const std::vector<double>& differences) {
        const experiment::SignedRank test = experiment::wilcoxon_signed_rank(differences);
        py::dict result;
        result["n"] = test.n;
        result["zeros"] = test.zeros;
        result["w_plus"] = test.w_plus;
        result["w_minus"] = test.w_minus;
        result["statistic"] = test.statistic;
        result["z"] = test.z;
        result["p"] = test.p;
        result["exact"] = test.exact;
        return result;
    });
}

}  // namespace zurududo_python
