// The report of result rows: one HTML page of tables and inline SVG plots,
// and its tables as Markdown and CSV.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>

#include <zurududo/charts.h>
#include <zurududo/report.h>

#include "numbers.h"

namespace zurududo::experiment {

namespace {

using charts::xml_escaped;
using internal::fixed;

// Colours told apart also by readers with a colour vision deficiency (Okabe & Ito).
const char* const palette[] = {"#0072B2", "#E69F00", "#009E73", "#CC79A7", "#56B4E9", "#D55E00", "#F0E442", "#000000"};
const char* colour(std::size_t k) { return palette[k % (sizeof palette / sizeof palette[0])]; }

std::string p_text(double p) { return p < 0.0001 ? "< 0.0001" : fixed(p, 4); }

// A tick step of about `span` / 5: 1, 2 or 5 times a power of ten.
double tick_step(double span) {
    if (!(span > 0)) return 1;
    const double raw = span / 5;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0, 10.0})
        if (raw <= m * power) return m * power;
    return 10 * power;
}

std::string tick_label(double value, double step) {
    const int decimals = step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    return fixed(value, std::min(decimals, 6));
}

// One plot's frame: the area, the y axis (linear) with its grid and labels.
struct Frame {
    double left = 60, top = 30, width = 600, height = 220;
    double low = 0, high = 1;
    double y(double value) const { return top + height - (value - low) / (high - low) * height; }
};

void y_axis(std::ostringstream& svg, const Frame& frame, const std::string& title) {
    const double step = tick_step(frame.high - frame.low);
    for (double v = std::ceil(frame.low / step) * step; v <= frame.high + step * 1e-9; v += step) {
        svg << "<line x1=\"" << frame.left << "\" x2=\"" << frame.left + frame.width << "\" y1=\"" << fixed(frame.y(v), 1)
            << "\" y2=\"" << fixed(frame.y(v), 1) << "\" class=\"grid\"/>";
        svg << "<text x=\"" << frame.left - 6 << "\" y=\"" << fixed(frame.y(v) + 4, 1) << "\" class=\"tick\" text-anchor=\"end\">"
            << tick_label(v, step) << "</text>";
    }
    svg << "<line x1=\"" << frame.left << "\" x2=\"" << frame.left << "\" y1=\"" << frame.top << "\" y2=\""
        << frame.top + frame.height << "\" class=\"axis\"/>";
    svg << "<text transform=\"translate(14," << frame.top + frame.height / 2 << ") rotate(-90)\" class=\"label\" "
        << "text-anchor=\"middle\">" << xml_escaped(title) << "</text>";
}

// A legend in HTML, which wraps as the page does.
std::string legend_html(const std::vector<Configuration>& configurations) {
    std::string out = "<p class=\"legend\">";
    for (std::size_t k = 0; k < configurations.size(); ++k)
        out += std::string("<span><i style=\"background:") + colour(k) + "\"></i>" + xml_escaped(configurations[k].label) +
               "</span> ";
    return out + "</p>\n";
}

struct Quartiles {
    double low, q1, median, q3, high;
};
Quartiles quartiles(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    auto at = [&v](double q) {
        const double position = q * static_cast<double>(v.size() - 1);
        const auto below = static_cast<std::size_t>(std::floor(position));
        const auto above = std::min(v.size() - 1, below + 1);
        return v[below] + (v[above] - v[below]) * (position - static_cast<double>(below));
    };
    return {v.front(), at(0.25), at(0.5), at(0.75), v.back()};
}

// Box plots of each instance's RPD over seeds, a configuration beside the other;
// one plot per size group, at most 20 instances a plot.
std::string box_plots(const std::vector<Row>& rows, const std::vector<Configuration>& configurations) {
    std::vector<std::string> groups;
    std::map<std::string, std::vector<std::string>> instances;  // per group, in order
    std::map<std::pair<std::string, std::size_t>, std::vector<double>> values;
    for (const Row& row : rows) {
        if (row.interrupted) continue;
        if (std::find(groups.begin(), groups.end(), row.group) == groups.end()) groups.push_back(row.group);
        auto& names = instances[row.group];
        if (std::find(names.begin(), names.end(), row.instance) == names.end()) names.push_back(row.instance);
        values[{row.instance, configuration_of(configurations, row)}].push_back(row.rpd);
    }
    std::ostringstream out;
    const std::size_t per_plot = 20;
    for (const std::string& group : groups) {
        const auto& names = instances[group];
        for (std::size_t first = 0; first < names.size(); first += per_plot) {
            const std::size_t count = std::min(per_plot, names.size() - first);
            const double slot = std::max(36.0, 10.0 * static_cast<double>(configurations.size()) + 12);
            Frame frame;
            frame.width = slot * static_cast<double>(count);
            frame.low = 0;
            frame.high = 0;
            for (std::size_t i = first; i < first + count; ++i)
                for (std::size_t c = 0; c < configurations.size(); ++c)
                    if (const auto found = values.find({names[i], c}); found != values.end())
                        for (const double v : found->second) {
                            frame.low = std::min(frame.low, v);
                            frame.high = std::max(frame.high, v);
                        }
            if (frame.high - frame.low < 1e-9) frame.high = frame.low + 1;
            const double pad = (frame.high - frame.low) * 0.05;
            frame.high += pad;
            if (frame.low < 0) frame.low -= pad;
            const double total_width = frame.left + frame.width + 20, total_height = frame.top + frame.height + 70;
            out << "<figure><svg xmlns=\"http://www.w3.org/2000/svg\" class=\"boxes\" width=\"" << total_width
                << "\" height=\"" << total_height << "\" viewBox=\"0 0 " << total_width << " " << total_height
                << "\" role=\"img\" aria-label=\"RPD over seeds, " << xml_escaped(group) << "\">";
            y_axis(out, frame, "RPD %");
            for (std::size_t i = first; i < first + count; ++i) {
                const double x0 = frame.left + slot * static_cast<double>(i - first);
                if ((i - first) % 2 == 1)
                    out << "<rect x=\"" << x0 << "\" y=\"" << frame.top << "\" width=\"" << slot << "\" height=\""
                        << frame.height << "\" class=\"band\"/>";
                for (std::size_t c = 0; c < configurations.size(); ++c) {
                    const auto found = values.find({names[i], c});
                    if (found == values.end()) continue;
                    const Quartiles q = quartiles(found->second);
                    const double cx = x0 + 6 + 10 * static_cast<double>(c) + 4;
                    out << "<g fill=\"" << colour(c) << "\" stroke=\"" << colour(c) << "\"><title>"
                        << xml_escaped(names[i]) << " · " << xml_escaped(configurations[c].label) << ": median "
                        << fixed(q.median, 3) << " %, " << found->second.size() << " runs</title>";
                    out << "<line x1=\"" << cx << "\" x2=\"" << cx << "\" y1=\"" << fixed(frame.y(q.low), 1)
                        << "\" y2=\"" << fixed(frame.y(q.high), 1) << "\"/>";
                    out << "<rect x=\"" << cx - 3.5 << "\" y=\"" << fixed(frame.y(q.q3), 1)
                        << "\" width=\"7\" height=\"" << fixed(std::max(1.0, frame.y(q.q1) - frame.y(q.q3)), 1)
                        << "\" fill-opacity=\"0.35\"/>";
                    out << "<line x1=\"" << cx - 4 << "\" x2=\"" << cx + 4 << "\" y1=\"" << fixed(frame.y(q.median), 1)
                        << "\" y2=\"" << fixed(frame.y(q.median), 1) << "\" stroke-width=\"2\"/></g>";
                }
                out << "<text transform=\"translate(" << x0 + slot / 2 + 4 << "," << frame.top + frame.height + 8
                    << ") rotate(60)\" class=\"tick\">" << xml_escaped(names[i]) << "</text>";
            }
            out << "<text x=\"" << frame.left << "\" y=\"18\" class=\"title\">" << xml_escaped(group);
            if (names.size() > per_plot)
                out << " (" << first + 1 << "–" << first + count << " of " << names.size() << ")";
            out << "</text></svg></figure>\n";
        }
    }
    return out.str();
}

// A line plot of series of (x, y) points, x on a linear or logarithmic axis.
struct Series {
    std::size_t configuration;
    std::vector<std::pair<double, double>> points;
};
std::string line_plot(const std::vector<Series>& series, const std::vector<Configuration>& configurations,
                      const std::string& title, const std::string& x_title, bool log_x,
                      const std::vector<std::pair<double, std::string>>& x_ticks = {}) {
    Frame frame;
    frame.top = 30;
    frame.width = 860;
    frame.low = 0;
    frame.high = 0;
    double x_low = 1e300, x_high = -1e300;
    for (const Series& s : series)
        for (const auto& [x, y] : s.points) {
            frame.low = std::min(frame.low, y);
            frame.high = std::max(frame.high, y);
            x_low = std::min(x_low, log_x ? std::log10(x) : x);
            x_high = std::max(x_high, log_x ? std::log10(x) : x);
        }
    if (frame.high - frame.low < 1e-9) frame.high = frame.low + 1;
    frame.high += (frame.high - frame.low) * 0.05;
    if (!(x_high > x_low)) {
        x_low -= 1;
        x_high += 1;
    }
    auto px = [&](double x) {
        const double at = log_x ? std::log10(x) : x;
        return frame.left + (at - x_low) / (x_high - x_low) * frame.width;
    };
    const double total_width = frame.left + frame.width + 70, total_height = frame.top + frame.height + 50;
    std::ostringstream out;
    out << "<figure><svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << total_width << "\" height=\"" << total_height
        << "\" viewBox=\"0 0 " << total_width << " " << total_height << "\" role=\"img\" aria-label=\"" << xml_escaped(title)
        << "\">";
    y_axis(out, frame, "ARPD %");
    // The x axis: the ticks given, or powers of ten (log), or a linear step.
    std::vector<std::pair<double, std::string>> ticks = x_ticks;
    if (ticks.empty()) {
        if (log_x) {
            for (double e = std::ceil(x_low); e <= x_high + 1e-9; e += 1)
                ticks.emplace_back(std::pow(10.0, e), e >= 0 ? fixed(std::pow(10.0, e), 0) : fixed(std::pow(10.0, e), static_cast<int>(-e)));
        } else {
            const double step = tick_step(x_high - x_low);
            for (double v = std::ceil(x_low / step) * step; v <= x_high + step * 1e-9; v += step)
                ticks.emplace_back(v, tick_label(v, step));
        }
    }
    for (const auto& [x, label] : ticks)
        out << "<text x=\"" << fixed(px(x), 1) << "\" y=\"" << frame.top + frame.height + 16
            << "\" class=\"tick\" text-anchor=\"middle\">" << xml_escaped(label) << "</text>";
    out << "<line x1=\"" << frame.left << "\" x2=\"" << frame.left + frame.width << "\" y1=\"" << frame.top + frame.height
        << "\" y2=\"" << frame.top + frame.height << "\" class=\"axis\"/>";
    out << "<text x=\"" << frame.left + frame.width / 2 << "\" y=\"" << frame.top + frame.height + 36
        << "\" class=\"label\" text-anchor=\"middle\">" << xml_escaped(x_title) << "</text>";
    for (const Series& s : series) {
        if (s.points.empty()) continue;
        out << "<polyline fill=\"none\" stroke-width=\"2\" stroke=\"" << colour(s.configuration) << "\" points=\"";
        for (const auto& [x, y] : s.points)
            out << fixed(px(x), 1) << "," << fixed(frame.y(y), 1) << " ";
        out << "\"><title>" << xml_escaped(configurations[s.configuration].label) << "</title></polyline>";
        if (s.points.size() < 12)
            for (const auto& [x, y] : s.points)
                out << "<circle cx=\"" << fixed(px(x), 1) << "\" cy=\"" << fixed(frame.y(y), 1) << "\" r=\"3\" fill=\""
                    << colour(s.configuration) << "\"/>";
    }
    out << "<text x=\"" << frame.left << "\" y=\"16\" class=\"title\">" << xml_escaped(title) << "</text>";
    out << "</svg></figure>\n";
    return legend_html(configurations) + out.str();
}

// ARPD against the time budget: a line per method and parameters over the budgets it ran.
std::string budget_plot(const std::vector<Row>& rows, std::string& note) {
    // Budgets ordered by their time (factor or limit), then iterations.
    std::vector<std::string> budgets;
    for (const Row& row : rows)
        if (!row.interrupted && std::find(budgets.begin(), budgets.end(), row.budget) == budgets.end())
            budgets.push_back(row.budget);
    if (budgets.size() < 2) {
        note = "All runs had one budget (" + (budgets.empty() ? std::string("none") : budgets.front()) + ").";
        return "";
    }
    auto size_of = [](const std::string& budget) {
        Settings settings;
        try {
            parse_budget(budget, settings);
        } catch (const schedule::Error&) {
            return 0.0;
        }
        return settings.time_factor > 0 ? settings.time_factor : settings.seconds > 0 ? settings.seconds : static_cast<double>(settings.iterations);
    };
    std::stable_sort(budgets.begin(), budgets.end(), [&](const std::string& a, const std::string& b) { return size_of(a) < size_of(b); });
    // Configurations without the budget: method and parameters.
    std::vector<Configuration> lines;
    std::map<std::pair<std::size_t, std::size_t>, std::pair<double, std::size_t>> sums;
    for (const Row& row : rows) {
        if (row.interrupted) continue;
        std::size_t k = 0;
        while (k < lines.size() && !(lines[k].method == row.method && lines[k].parameters == row.parameters))
            ++k;
        if (k == lines.size()) lines.push_back({row.method, row.parameters, "", ""});
        const auto b = static_cast<std::size_t>(std::find(budgets.begin(), budgets.end(), row.budget) - budgets.begin());
        auto& sum = sums[{k, b}];
        sum.first += row.rpd;
        ++sum.second;
    }
    // Labels as the configurations', without the budget.
    std::vector<Row> unbudgeted;
    for (const Configuration& line : lines) {
        Row row;
        row.method = line.method;
        row.parameters = line.parameters;
        unbudgeted.push_back(row);
    }
    const std::vector<Configuration> labelled = configurations(unbudgeted);
    std::vector<Series> series;
    std::vector<std::pair<double, std::string>> ticks;
    for (std::size_t b = 0; b < budgets.size(); ++b)
        ticks.emplace_back(static_cast<double>(b), budgets[b]);
    for (std::size_t k = 0; k < lines.size(); ++k) {
        Series s{k, {}};
        for (std::size_t b = 0; b < budgets.size(); ++b)
            if (const auto found = sums.find({k, b}); found != sums.end())
                s.points.emplace_back(static_cast<double>(b), found->second.first / static_cast<double>(found->second.second));
        series.push_back(s);
    }
    return line_plot(series, labelled, "ARPD against the budget", "budget per run", false, ticks);
}

// Convergence: the mean RPD of the best value so far over the runs of each
// configuration that recorded their improvements, on a logarithmic time axis.
std::string convergence_plot(const std::vector<Row>& rows, const std::vector<Configuration>& configurations,
                             std::string& note) {
    double first = 1e300, last = 0;
    std::size_t traced = 0;
    for (const Row& row : rows) {
        if (row.interrupted || row.trace.empty()) continue;
        ++traced;
        first = std::min(first, std::max(1e-4, row.trace.front().first));
        last = std::max(last, std::max(row.seconds, row.trace.back().first));
    }
    if (traced == 0) {
        note = "No run recorded its improvements.";
        return "";
    }
    if (last <= first) last = first * 10;
    const int samples = 60;
    std::vector<Series> series;
    for (std::size_t c = 0; c < configurations.size(); ++c) {
        Series s{c, {}};
        for (int k = 0; k < samples; ++k) {
            const double t = first * std::pow(last / first, static_cast<double>(k) / (samples - 1));
            double sum = 0;
            std::size_t count = 0;
            for (const Row& row : rows) {
                if (row.interrupted || row.trace.empty() || configuration_of(configurations, row) != c) continue;
                double value = row.trace.front().second;
                for (const auto& [seconds, v] : row.trace)
                    if (seconds <= t) value = v;
                sum += row.best_known != 0 ? benchmarks::rpd(value, static_cast<double>(row.best_known))
                                           : (value == 0 ? 0.0 : 100.0);
                ++count;
            }
            if (count > 0) s.points.emplace_back(t, sum / static_cast<double>(count));
        }
        series.push_back(s);
    }
    note = std::to_string(traced) + " runs recorded their improvements; before its first improvement a run counts "
           "with its first value.";
    return line_plot(series, configurations, "Convergence: mean RPD of the best so far", "seconds (log scale)", true);
}

const char* const style = R"(
body { font: 14px/1.45 system-ui, -apple-system, "Segoe UI", sans-serif; color: #222; margin: 24px auto; max-width: 1400px; padding: 0 16px; }
h1 { font-size: 22px; margin-bottom: 4px; } h2 { font-size: 18px; margin-top: 32px; border-bottom: 1px solid #ddd; }
p.meta { color: #666; margin-top: 0; }
table { border-collapse: collapse; margin: 8px 0 16px; font-variant-numeric: tabular-nums; }
th, td { padding: 3px 10px; border-bottom: 1px solid #e4e4e4; text-align: right; white-space: nowrap; }
th { background: #f4f4f4; } th:first-child, td:first-child { text-align: left; }
tr.all td { font-weight: 600; border-top: 2px solid #bbb; }
td.best { background: #e3f2e6; font-weight: 700; }
td .spread { color: #777; font-weight: 400; font-size: 12px; }
td.significant { color: #0a6b2b; font-weight: 700; }
.wrap { overflow-x: auto; }
figure { margin: 8px 0 18px; overflow-x: auto; }
div.grid { display: flex; flex-wrap: wrap; gap: 0 24px; } div.grid figure { margin: 4px 0 8px; }
th.left, td.left { text-align: left; }
svg text { font: 11px system-ui, sans-serif; fill: #333; } svg text.title { font-size: 13px; font-weight: 600; }
svg text.label { font-size: 12px; } svg .grid { stroke: #eee; } svg .axis { stroke: #888; }
svg .band { fill: #f6f6f6; }
p.legend span { display: inline-block; margin-right: 14px; font-size: 12px; white-space: nowrap; }
p.legend i { display: inline-block; width: 10px; height: 10px; margin-right: 5px; vertical-align: -1px; }
details summary { cursor: pointer; color: #0057a3; }
)";

}  // namespace

std::string report_html(const std::vector<Row>& rows, const ReportOptions& options) {
    const ArpdTable table = arpd_table(rows);
    const std::vector<Comparison> pairs = comparisons(rows);
    std::size_t interrupted = 0, finished = 0;
    std::set<std::string> instances, seeds, machines, versions;
    for (const Row& row : rows) {
        if (row.interrupted) {
            ++interrupted;
            continue;
        }
        ++finished;
        instances.insert(row.instance);
        seeds.insert(std::to_string(row.seed));
        if (!row.machine.empty()) machines.insert(row.machine);
        if (!row.version.empty()) versions.insert(row.version);
    }
    auto joined = [](const std::set<std::string>& names) {
        std::string text;
        for (const std::string& name : names)
            text += (text.empty() ? "" : ", ") + name;
        return text;
    };
    std::ostringstream out;
    out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" << xml_escaped(options.title)
        << "</title>\n<style>" << style << "</style>\n</head>\n<body>\n";
    out << "<h1>" << xml_escaped(options.title) << "</h1>\n<p class=\"meta\">" << finished << " finished runs";
    if (interrupted > 0) out << " (and " << interrupted << " interrupted, left out)";
    out << " · " << table.configurations.size() << " configurations · " << instances.size() << " instances · "
        << seeds.size() << " seeds";
    if (!versions.empty()) out << " · zurududo " << xml_escaped(joined(versions));
    if (!machines.empty()) out << " · on " << xml_escaped(joined(machines));
    if (!options.sources.empty()) {
        std::set<std::string> sources(options.sources.begin(), options.sources.end());
        out << "<br>from " << xml_escaped(joined(sources));
    }
    out << "</p>\n";

    out << "<h2 id=\"arpd\">ARPD per size group</h2>\n<p>The mean relative deviation (%) from the best known value "
           "over the instances and seeds of each group; the best of each row is marked. ± is the standard deviation "
           "over seeds of the seeds' ARPD.</p>\n<div class=\"wrap\"><table id=\"arpd-table\">\n<tr><th>group</th>";
    for (const Configuration& configuration : table.configurations)
        out << "<th>" << xml_escaped(configuration.label) << "</th>";
    out << "</tr>\n";
    for (std::size_t g = 0; g < table.groups.size(); ++g) {
        double best = 1e300;
        for (const ArpdCell& cell : table.cells[g])
            if (cell.runs > 0) best = std::min(best, std::round(cell.arpd * 1000) / 1000);
        out << "<tr" << (table.groups[g] == "all" ? " class=\"all\"" : "") << "><td>" << xml_escaped(table.groups[g]) << "</td>";
        for (const ArpdCell& cell : table.cells[g]) {
            if (cell.runs == 0) {
                out << "<td>–</td>";
                continue;
            }
            const bool is_best = std::round(cell.arpd * 1000) / 1000 == best && table.configurations.size() > 1;
            out << "<td" << (is_best ? " class=\"best\"" : "") << " data-arpd=\"" << fixed(cell.arpd, 6) << "\">"
                << fixed(cell.arpd, 3);
            if (cell.spread) out << " <span class=\"spread\">± " << fixed(*cell.spread, 3) << "</span>";
            out << "</td>";
        }
        out << "</tr>\n";
    }
    out << "</table></div>\n";

    out << "<h2 id=\"comparison\">Paired comparisons</h2>\n";
    if (pairs.empty()) {
        out << "<p>One configuration only: nothing to compare.</p>\n";
    } else {
        out << "<p>Each instance's mean RPD over seeds, paired between two configurations: wins, ties and losses of "
               "the first, and the two-sided Wilcoxon signed-rank test (exact without ties up to 50 instances, else "
               "the normal approximation corrected for ties). p &lt; 0.05 is marked.</p>\n<div class=\"wrap\"><table "
               "id=\"comparison-table\">\n<tr><th>A</th><th class=\"left\">B</th><th>instances</th><th>A wins</th><th>ties</th>"
               "<th>A loses</th><th>mean A − B (RPD)</th><th>W+</th><th>W−</th><th>p</th><th class=\"left\">test</th></tr>\n";
        for (const Comparison& c : pairs) {
            out << "<tr><td>" << xml_escaped(c.a) << "</td><td class=\"left\">" << xml_escaped(c.b) << "</td><td>"
                << c.instances << "</td><td>" << c.wins << "</td><td>" << c.ties << "</td><td>" << c.losses
                << "</td><td>" << fixed(c.mean_difference, 3) << "</td><td>" << fixed(c.test.w_plus, 1) << "</td><td>"
                << fixed(c.test.w_minus, 1) << "</td><td" << (c.test.n > 0 && c.test.p < 0.05 ? " class=\"significant\"" : "")
                << ">" << (c.test.n > 0 ? p_text(c.test.p) : "–") << "</td><td>"
                << (c.test.n == 0 ? "all tied" : c.test.exact ? "exact" : "normal, z = " + fixed(c.test.z, 2))
                << "</td></tr>\n";
        }
        out << "</table></div>\n";
    }

    out << "<h2 id=\"boxes\">RPD per instance over seeds</h2>\n<p>Per instance and configuration: the whisker from the "
           "smallest to the largest RPD, the box between the quartiles, the bar at the median.</p>\n";
    out << legend_html(table.configurations) << "<div class=\"grid\">" << box_plots(rows, table.configurations) << "</div>\n";

    out << "<h2 id=\"budget\">ARPD against the time budget</h2>\n";
    std::string note;
    const std::string budgets = budget_plot(rows, note);
    out << (budgets.empty() ? "<p>" + xml_escaped(note) + "</p>\n" : budgets);

    out << "<h2 id=\"convergence\">Convergence</h2>\n";
    note.clear();
    const std::string convergence = convergence_plot(rows, table.configurations, note);
    out << convergence << "<p>" << xml_escaped(note) << "</p>\n";

    // Every instance's mean RPD, for the record.
    out << "<h2 id=\"instances\">Per instance</h2>\n<details><summary>Mean RPD over seeds of every instance</summary>"
           "\n<div class=\"wrap\"><table id=\"instance-table\">\n<tr><th>instance</th><th>group</th>";
    for (const Configuration& configuration : table.configurations)
        out << "<th>" << xml_escaped(configuration.label) << "</th>";
    out << "</tr>\n";
    std::vector<std::pair<std::string, std::string>> names;
    std::map<std::pair<std::string, std::size_t>, std::pair<double, std::size_t>> sums;
    for (const Row& row : rows) {
        if (row.interrupted) continue;
        if (std::find_if(names.begin(), names.end(), [&](const auto& n) { return n.first == row.instance; }) == names.end())
            names.emplace_back(row.instance, row.group);
        auto& sum = sums[{row.instance, configuration_of(table.configurations, row)}];
        sum.first += row.rpd;
        ++sum.second;
    }
    for (const auto& [name, group] : names) {
        out << "<tr><td>" << xml_escaped(name) << "</td><td>" << xml_escaped(group) << "</td>";
        for (std::size_t c = 0; c < table.configurations.size(); ++c) {
            const auto found = sums.find({name, c});
            out << "<td>" << (found == sums.end() ? "–" : fixed(found->second.first / static_cast<double>(found->second.second), 3))
                << "</td>";
        }
        out << "</tr>\n";
    }
    out << "</table></div></details>\n</body>\n</html>\n";
    return out.str();
}

std::string report_markdown(const std::vector<Row>& rows) {
    const ArpdTable table = arpd_table(rows);
    std::ostringstream out;
    out << "| group |";
    for (const Configuration& configuration : table.configurations)
        out << " " << configuration.label << " |";
    out << "\n|---|";
    for (std::size_t c = 0; c < table.configurations.size(); ++c)
        out << "---:|";
    out << "\n";
    for (std::size_t g = 0; g < table.groups.size(); ++g) {
        double best = 1e300;
        for (const ArpdCell& cell : table.cells[g])
            if (cell.runs > 0) best = std::min(best, std::round(cell.arpd * 1000) / 1000);
        out << "| " << table.groups[g] << " |";
        for (const ArpdCell& cell : table.cells[g]) {
            if (cell.runs == 0) {
                out << " – |";
                continue;
            }
            const bool is_best = std::round(cell.arpd * 1000) / 1000 == best && table.configurations.size() > 1;
            out << " " << (is_best ? "**" : "") << fixed(cell.arpd, 3) << (is_best ? "**" : "");
            if (cell.spread) out << " ± " << fixed(*cell.spread, 3);
            out << " |";
        }
        out << "\n";
    }
    const std::vector<Comparison> pairs = comparisons(rows);
    if (!pairs.empty()) {
        out << "\n| A | B | instances | wins/ties/losses of A | mean A − B | W+ | W− | p | test |\n"
               "|---|---|---:|---:|---:|---:|---:|---:|---|\n";
        for (const Comparison& c : pairs)
            out << "| " << c.a << " | " << c.b << " | " << c.instances << " | " << c.wins << "/" << c.ties << "/"
                << c.losses << " | " << fixed(c.mean_difference, 3) << " | " << fixed(c.test.w_plus, 1) << " | "
                << fixed(c.test.w_minus, 1) << " | " << (c.test.n > 0 ? p_text(c.test.p) : "–") << " | "
                << (c.test.n == 0 ? "all tied" : c.test.exact ? "exact" : "normal, z = " + fixed(c.test.z, 2)) << " |\n";
    }
    return out.str();
}

std::string arpd_csv(const std::vector<Row>& rows) {
    const ArpdTable table = arpd_table(rows);
    auto quoted = [](const std::string& text) {
        if (text.find_first_of(",\"") == std::string::npos) return text;
        std::string out = "\"";
        for (const char c : text)
            out += c == '"' ? std::string("\"\"") : std::string(1, c);
        return out + "\"";
    };
    std::ostringstream out;
    out << "group";
    for (const Configuration& configuration : table.configurations)
        out << "," << quoted(configuration.label + " ARPD") << "," << quoted(configuration.label + " spread");
    out << "\n";
    for (std::size_t g = 0; g < table.groups.size(); ++g) {
        out << quoted(table.groups[g]);
        for (const ArpdCell& cell : table.cells[g])
            out << "," << (cell.runs > 0 ? fixed(cell.arpd, 4) : "") << "," << (cell.spread ? fixed(*cell.spread, 4) : "");
        out << "\n";
    }
    return out.str();
}

}  // namespace zurududo::experiment
