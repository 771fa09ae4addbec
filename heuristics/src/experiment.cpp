// One run of a method on a named instance, and summaries of many.
#include <algorithm>
#include <iomanip>
#include <sstream>
#include <string>

#include <zurududo/experiment.h>

namespace zurududo::experiment {

namespace {

heuristics::Options options_for(const benchmarks::Entry& entry, const Settings& settings, double& seconds_to_best) {
    heuristics::Options options;
    options.budget.clock = settings.clock;
    options.budget.iterations = settings.iterations;
    options.budget.seconds =
        settings.time_factor > 0 ? settings.time_factor * entry.jobs * entry.machines / 2000.0 : settings.seconds;
    options.seed = settings.seed;
    options.on_improvement = [&seconds_to_best](const heuristics::Improvement& improvement) {
        seconds_to_best = improvement.seconds;
    };
    return options;
}

}  // namespace

Row run(const benchmarks::Entry& entry, const Settings& settings) {
    double seconds_to_best = 0;
    solvers::Request request;
    request.method = settings.method;
    request.objective = entry.objective;
    request.parameters = settings.parameters;
    request.options = options_for(entry, settings, seconds_to_best);
    if (settings.target) request.options.target = *settings.target;
    request.entry = &entry;
    request.stop_at_best_known = settings.stop_at_best_known;
    heuristics::Result result;
    try {
        result = solvers::solve(benchmarks::make_instance(entry), request).result;
    } catch (const schedule::Error& e) {
        if (e.kind() != schedule::ErrorKind::argument) throw;
        throw schedule::Error(schedule::ErrorKind::argument, 999, entry.name + ": " + e.what());
    }
    Row row;
    row.instance = entry.name;
    row.group = std::to_string(entry.jobs) + "x" + std::to_string(entry.machines);
    row.best_known = entry.best_known;
    row.best_known_classic = entry.best_known_classic;
    row.value = result.value;
    row.rpd = entry.best_known != 0 ? benchmarks::rpd(result.value, static_cast<double>(entry.best_known))
                                    : (result.value == 0 ? 0.0 : 100.0);
    if (entry.best_known_classic)
        row.rpd_classic = benchmarks::rpd(result.value, static_cast<double>(*entry.best_known_classic));
    row.seconds = result.seconds;
    row.seconds_to_best = result.iterations > 0 ? seconds_to_best : result.seconds;
    row.iterations = result.iterations;
    return row;
}

std::vector<Group> summarise(const std::vector<Row>& rows) {
    std::vector<Group> groups;
    auto add = [](Group& group, const Row& row) {
        ++group.instances;
        group.arpd += row.rpd;
        if (row.rpd_classic) group.arpd_classic = group.arpd_classic.value_or(0) + *row.rpd_classic;
        if (row.value <= static_cast<double>(row.best_known)) ++group.reached;
        group.mean_seconds += row.seconds;
        group.max_seconds_to_best = std::max(group.max_seconds_to_best, row.seconds_to_best);
    };
    Group all;
    all.group = "all";
    for (const Row& row : rows) {
        auto found = std::find_if(groups.begin(), groups.end(), [&](const Group& g) { return g.group == row.group; });
        if (found == groups.end()) {
            Group group;
            group.group = row.group;
            found = groups.insert(groups.end(), group);
        }
        add(*found, row);
        add(all, row);
    }
    if (!rows.empty()) groups.push_back(all);
    for (Group& group : groups) {
        group.arpd /= group.instances;
        if (group.arpd_classic) *group.arpd_classic /= group.instances;
        group.mean_seconds /= group.instances;
    }
    return groups;
}

void write_csv_header(std::ostream& out) {
    out << "instance,group,method,seed,best_known,best_known_classic,value,rpd,rpd_classic,seconds,seconds_to_best,"
           "iterations\n";
}

void write_csv_row(std::ostream& out, const Row& row, const Settings& settings) {
    const solvers::Method* method = solvers::find(settings.method);
    out << row.instance << ',' << row.group << ',' << (method != nullptr ? method->name : settings.method) << ',' << settings.seed << ',' << row.best_known
        << ',';
    if (row.best_known_classic) out << *row.best_known_classic;
    out << ',' << std::setprecision(15) << row.value << ',' << std::fixed << std::setprecision(4) << row.rpd << ',';
    if (row.rpd_classic) out << *row.rpd_classic;
    out << ',' << row.seconds << ',' << row.seconds_to_best << ',' << row.iterations << '\n';
    out << std::defaultfloat;
}

std::vector<Row> read_csv_rows(std::string_view text, std::string_view origin) {
    std::vector<Row> rows;
    std::istringstream in{std::string(text)};
    std::string line;
    long number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line.rfind("instance,", 0) == 0) continue;
        std::vector<std::string> fields;
        std::stringstream split(line);
        std::string field;
        while (std::getline(split, field, ',')) fields.push_back(field);
        if (line.back() == ',') fields.emplace_back();
        try {
            if (fields.size() != 12) throw std::invalid_argument("fields");
            Row row;
            row.instance = fields[0];
            row.group = fields[1];
            row.best_known = std::stol(fields[4]);
            if (!fields[5].empty()) row.best_known_classic = std::stol(fields[5]);
            row.value = std::stod(fields[6]);
            row.rpd = std::stod(fields[7]);
            if (!fields[8].empty()) row.rpd_classic = std::stod(fields[8]);
            row.seconds = std::stod(fields[9]);
            row.seconds_to_best = std::stod(fields[10]);
            row.iterations = std::stol(fields[11]);
            rows.push_back(row);
        } catch (const std::logic_error&) {
            throw schedule::Error(schedule::ErrorKind::instance, 0,
                                  std::string(origin) + ":" + std::to_string(number) +
                                      ": not a row of 12 fields as the experiment writes them");
        }
    }
    return rows;
}

void write_summary(std::ostream& out, const std::vector<Group>& groups, bool markdown) {
    const bool classic = std::any_of(groups.begin(), groups.end(), [](const Group& g) { return g.arpd_classic; });
    std::vector<std::vector<std::string>> cells;
    cells.push_back({"group", "instances", "ARPD vs bkv %"});
    if (classic) cells.back().push_back("ARPD vs bkv_classic %");
    for (const char* title : {"reached bkv", "mean s", "max s to best"}) cells.back().push_back(title);
    const auto fixed = [](double value) {
        std::ostringstream text;
        text << std::fixed << std::setprecision(3) << value;
        return text.str();
    };
    for (const Group& group : groups) {
        cells.push_back({group.group, std::to_string(group.instances), fixed(group.arpd)});
        if (classic) cells.back().push_back(group.arpd_classic ? fixed(*group.arpd_classic) : markdown ? "–" : "-");
        for (const std::string& cell :
             {std::to_string(group.reached), fixed(group.mean_seconds), fixed(group.max_seconds_to_best)})
            cells.back().push_back(cell);
    }
    if (markdown) {
        for (std::size_t row = 0; row < cells.size(); ++row) {
            for (const std::string& cell : cells[row]) out << "| " << cell << " ";
            out << "|\n";
            if (row == 0) {
                out << "|---";
                for (std::size_t column = 1; column < cells[row].size(); ++column) out << "|---:";
                out << "|\n";
            }
        }
        return;
    }
    // Aligned columns: the group to the left, the numbers to the right.
    std::vector<std::size_t> widths(cells.front().size(), 0);
    for (const auto& row : cells)
        for (std::size_t column = 0; column < row.size(); ++column)
            widths[column] = std::max(widths[column], row[column].size());
    for (const auto& row : cells) {
        std::string line;
        for (std::size_t column = 0; column < row.size(); ++column) {
            const std::string padding(widths[column] - row[column].size(), ' ');
            line += column == 0 ? row[column] + padding : "  " + padding + row[column];
        }
        out << line << "\n";
    }
}

}  // namespace zurududo::experiment
