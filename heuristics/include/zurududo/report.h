// What result rows of experiments become: the mean deviation per size group
// and configuration, paired comparisons of two configurations over the
// instances (the Wilcoxon signed-rank test, wins, ties and losses), and the
// report — one self-contained HTML file of tables and inline SVG plots, and
// the same tables as Markdown and CSV for papers. sched report and Python's
// zurududo.experiments.report both call this.
#ifndef ZURUDUDO_REPORT_H
#define ZURUDUDO_REPORT_H

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <zurududo/experiment.h>

namespace zurududo::experiment {

// ---------------------------------------------------------------------------
// Statistics
// ---------------------------------------------------------------------------

// The Wilcoxon signed-rank test of paired differences (a − b), two-sided.
// Zero differences are dropped (Wilcoxon's rule); tied magnitudes share their
// mean rank. Without ties and with n ≤ 50 the p-value is exact (the
// distribution of the rank sum counted over all 2^n sign patterns); with ties
// or more differences it is the normal approximation with the variance
// corrected for ties and a continuity correction of 1/2.
struct SignedRank {
    std::size_t n = 0;      // non-zero differences
    std::size_t zeros = 0;  // dropped
    double w_plus = 0;      // rank sum of the positive differences
    double w_minus = 0;     // … of the negative ones
    double statistic = 0;   // min(w_plus, w_minus)
    double z = 0;           // the normal approximation's z (0 when exact)
    double p = 1;           // two-sided
    bool exact = false;
};
SignedRank wilcoxon_signed_rank(std::span<const double> differences);
// The exact two-sided p-value of a rank sum `statistic` = min(W+, W−) for n
// differences without ties (n ≤ 1000).
double signed_rank_exact_p(std::size_t n, double statistic);

// A configuration of the rows: a method with its parameters and budget.
struct Configuration {
    std::string method;
    std::string parameters;
    std::string budget;
    std::string label;  // the method, the parameters not at their defaults, the budget when the rows have several
};
// The configurations of the finished rows, in order of first appearance.
std::vector<Configuration> configurations(const std::vector<Row>& rows);
// The index of the row's configuration among `configurations` (its size: none).
std::size_t configuration_of(const std::vector<Configuration>& configurations, const Row& row);

// The ARPD of each size group (rows of the table, in order of first
// appearance, then "all") for each configuration (columns): the mean RPD of
// its finished runs, and the standard deviation over seeds of the seeds'
// ARPD (when it has two seeds or more).
struct ArpdCell {
    std::size_t runs = 0;
    double arpd = 0;
    std::optional<double> spread;
};
struct ArpdTable {
    std::vector<Configuration> configurations;
    std::vector<std::string> groups;        // with "all" last
    std::vector<std::vector<ArpdCell>> cells;  // [group][configuration]; runs 0: none
};
ArpdTable arpd_table(const std::vector<Row>& rows);

// Two configurations over the instances both ran: each instance's mean RPD
// over seeds, paired.
struct Comparison {
    std::string a, b;  // labels
    std::size_t instances = 0;
    int wins = 0, ties = 0, losses = 0;  // a's RPD below, equal to, above b's
    double mean_difference = 0;          // mean of a − b
    SignedRank test;
};
// Every pair of configurations, in order.
std::vector<Comparison> comparisons(const std::vector<Row>& rows);

// ---------------------------------------------------------------------------
// The report
// ---------------------------------------------------------------------------

struct ReportOptions {
    std::string title = "Experiment report";
    std::vector<std::string> sources;  // the CSV files, named in the report
};
// The HTML page: everything inline (style, SVG), no script, nothing fetched.
std::string report_html(const std::vector<Row>& rows, const ReportOptions& options = {});
// The ARPD table and the comparisons as Markdown, for papers.
std::string report_markdown(const std::vector<Row>& rows);
// The ARPD table as CSV: group, then per configuration its ARPD and spread.
std::string arpd_csv(const std::vector<Row>& rows);

}  // namespace zurududo::experiment

#endif
