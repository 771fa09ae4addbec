// sched report: result rows of experiments made into a report — one
// self-contained HTML page, or its tables as Markdown or CSV — by the report
// of the heuristics library, which Python's zurududo.experiments.report calls too.
#include <CLI/CLI.hpp>

#include <zurududo/report.h>

#include "commands.h"
#include "common.h"

namespace sched {

int report_command(CLI::App& app, const std::vector<std::string>& args) {
    std::vector<std::string> files, outputs;
    std::string title = "Experiment report";
    app.add_option("RESULTS", files, "CSV files of result rows (sched bench --csv, the runner, Python)")->required();
    app.add_option("-o,--output", outputs,
                   "write FILE: .html the report, .md the tables as Markdown, .csv the ARPD table (repeatable; "
                   "without it the Markdown tables go to standard output)");
    app.add_option("--title", title, "the report's title");
    if (!parse(app, args)) return 0;
    for (const std::string& output : outputs) {
        const auto dot = output.rfind('.');
        const std::string extension = dot == std::string::npos ? "" : output.substr(dot);
        if (extension != ".html" && extension != ".htm" && extension != ".md" && extension != ".csv")
            usage_error("-o " + output + ": the report is written as .html, .md or .csv");
    }
    std::vector<zurududo::experiment::Row> rows;
    for (const std::string& file : files) {
        try {
            const auto more = zurududo::experiment::read_csv_rows(read_input(file), file);
            rows.insert(rows.end(), more.begin(), more.end());
        } catch (const schedule::Error& e) {
            failure(e.what());
        }
    }
    if (outputs.empty()) {
        write_output("", zurududo::experiment::report_markdown(rows));
        return 0;
    }
    for (const std::string& output : outputs) {
        const std::string extension = output.substr(output.rfind('.'));
        if (extension == ".md") {
            write_output(output, zurududo::experiment::report_markdown(rows));
        } else if (extension == ".csv") {
            write_output(output, zurududo::experiment::arpd_csv(rows));
        } else {
            zurududo::experiment::ReportOptions options;
            options.title = title;
            options.sources = files;
            write_output(output, zurududo::experiment::report_html(rows, options));
        }
    }
    return 0;
}

}  // namespace sched
