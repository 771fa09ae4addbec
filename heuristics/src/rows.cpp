// The text form of result rows: one CSV line per row, and the reader of
// CSV text (the rows of this version and of earlier ones). On the toolkit's
// error type alone, so that its fuzz target links it by itself.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <stdexcept>

#include <zurududo/experiment.h>

#include "numbers.h"

namespace zurududo::experiment {

namespace {

using internal::fixed;
using internal::number;
using internal::shortest;
using internal::whole;

// A CSV field, quoted when it holds a comma, a quote or a line break.
std::string field(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

// The fields of one CSV line; false when a quote is left open.
bool split_fields(std::string_view line, std::vector<std::string>& fields) {
    fields.assign(1, "");
    bool quoted = false;
    for (std::size_t k = 0; k < line.size(); ++k) {
        const char c = line[k];
        if (quoted) {
            if (c == '"' && k + 1 < line.size() && line[k + 1] == '"') {
                fields.back() += '"';
                ++k;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return !quoted;
}

const std::vector<std::string>& columns() {
    static const std::vector<std::string> names = {
        "instance", "group",     "method",     "seed",    "best_known", "best_known_classic", "value",
        "rpd",      "rpd_classic", "seconds",  "seconds_to_best", "iterations", "parameters", "budget",
        "clock",    "objective", "set",        "status",  "version",    "machine",            "trace"};
    return names;
}
constexpr std::size_t earlier_columns = 12;  // the rows of earlier versions

std::string trace_text(const std::vector<std::pair<double, double>>& trace) {
    std::string text;
    for (const auto& [seconds, value] : trace)
        text += (text.empty() ? "" : " ") + shortest(std::round(seconds * 1e6) / 1e6) + ":" + shortest(value);
    return text;
}

std::vector<std::pair<double, double>> parse_trace(const std::string& text) {
    std::vector<std::pair<double, double>> trace;
    std::istringstream in(text);
    for (std::string point; in >> point;) {
        const auto colon = point.find(':');
        if (colon == std::string::npos) throw std::invalid_argument("trace");
        trace.emplace_back(number(point.substr(0, colon)), number(point.substr(colon + 1)));
    }
    return trace;
}

}  // namespace

std::string run_key(const Row& row) {
    return row.method + '\x1f' + row.parameters + '\x1f' + row.instance + '\x1f' + std::to_string(row.seed) + '\x1f' +
           row.budget;
}

std::string csv_header() {
    std::string line;
    for (const std::string& name : columns())
        line += (line.empty() ? "" : ",") + name;
    return line + "\n";
}

std::string csv_line(const Row& row) {
    const std::vector<std::string> cells = {
        field(row.instance),
        field(row.group),
        field(row.method),
        std::to_string(row.seed),
        std::to_string(row.best_known),
        row.best_known_classic ? std::to_string(*row.best_known_classic) : "",
        shortest(row.value),
        fixed(row.rpd, 4),
        row.rpd_classic ? fixed(*row.rpd_classic, 4) : "",
        fixed(row.seconds, 4),
        fixed(row.seconds_to_best, 4),
        std::to_string(row.iterations),
        field(row.parameters),
        field(row.budget),
        field(row.clock),
        field(row.objective),
        field(row.set),
        row.interrupted ? "interrupted" : "done",
        field(row.version),
        field(row.machine),
        trace_text(row.trace)};
    std::string line;
    for (const std::string& cell : cells)
        line += (line.empty() ? "" : ",") + cell;
    return line + "\n";
}

void write_csv_header(std::ostream& out) { out << csv_header(); }
void write_csv_row(std::ostream& out, const Row& row) { out << csv_line(row); }

std::vector<Row> read_csv_rows(std::string_view text, std::string_view origin) {
    std::vector<Row> rows;
    // The columns named by the last header line; before any, those of this version.
    std::map<std::string, std::size_t> at;
    for (std::size_t k = 0; k < columns().size(); ++k)
        at[columns()[k]] = k;
    std::size_t width = columns().size();
    std::size_t start = 0;
    long number_of_line = 0;
    std::vector<std::string> fields;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) break;  // cut short: no row
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++number_of_line;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        auto bad = [&](const std::string& what) {
            throw schedule::Error(schedule::ErrorKind::instance, 0,
                                  std::string(origin) + ":" + std::to_string(number_of_line) + ": " + what);
        };
        if (!split_fields(line, fields)) bad("a quote is not closed");
        if (fields[0] == "instance") {
            // A header: of this version, of an earlier one (its first twelve columns), or of a later one.
            for (std::size_t k = 0; k < std::min(earlier_columns, fields.size()); ++k)
                if (fields[k] != columns()[k]) bad("a header that is not the one of result rows");
            if (fields.size() < earlier_columns) bad("a header that is not the one of result rows");
            at.clear();
            for (std::size_t k = 0; k < fields.size(); ++k)
                at.emplace(fields[k], k);
            width = fields.size();
            continue;
        }
        auto cell = [&](const char* name) -> const std::string* {
            const auto found = at.find(name);
            return found == at.end() ? nullptr : &fields[found->second];
        };
        try {
            if (fields.size() != width) throw std::invalid_argument("fields");
            Row row;
            row.instance = *cell("instance");
            row.group = *cell("group");
            row.method = *cell("method");
            row.seed = std::stoull(*cell("seed"));
            row.best_known = whole(*cell("best_known"));
            if (!cell("best_known_classic")->empty()) row.best_known_classic = whole(*cell("best_known_classic"));
            row.value = number(*cell("value"));
            row.rpd = number(*cell("rpd"));
            if (!cell("rpd_classic")->empty()) row.rpd_classic = number(*cell("rpd_classic"));
            row.seconds = number(*cell("seconds"));
            row.seconds_to_best = number(*cell("seconds_to_best"));
            row.iterations = whole(*cell("iterations"));
            if (const auto* p = cell("parameters")) row.parameters = *p;
            if (const auto* p = cell("budget")) row.budget = *p;
            if (const auto* p = cell("clock")) row.clock = *p;
            if (const auto* p = cell("objective")) row.objective = *p;
            if (const auto* p = cell("set")) row.set = *p;
            if (const auto* p = cell("status")) {
                if (*p != "done" && *p != "interrupted") throw std::invalid_argument("status");
                row.interrupted = *p == "interrupted";
            }
            if (const auto* p = cell("version")) row.version = *p;
            if (const auto* p = cell("machine")) row.machine = *p;
            if (const auto* p = cell("trace")) row.trace = parse_trace(*p);
            if (row.instance.empty() || row.group.empty()) throw std::invalid_argument("instance");
            rows.push_back(std::move(row));
        } catch (const std::logic_error&) {
            bad("not a row of " + std::to_string(width) + " fields as the experiments write them");
        }
    }
    return rows;
}

}  // namespace zurududo::experiment
