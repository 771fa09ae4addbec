// One run of a method on a named instance, and summaries of many.
#include <algorithm>
#include <functional>
#include <type_traits>
#include <variant>
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
    if (settings.stop_at_best_known) options.target = static_cast<double>(entry.best_known);
    options.on_improvement = [&seconds_to_best](const heuristics::Improvement& improvement) {
        seconds_to_best = improvement.seconds;
    };
    return options;
}

// The registry: every method a set can be run with, the environment it
// solves and how.
struct Method {
    std::string name;
    schedule::Environment environment;
    std::function<heuristics::Result(const schedule::AnyInstance&, const heuristics::Options&)> solve;
};

const std::vector<Method>& registry() {
    using schedule::Environment;
    static const std::vector<Method> table = [] {
        std::vector<Method> t{
            {"neh", Environment::flowshop,
             [](const schedule::AnyInstance& i, const heuristics::Options&) {
                 return heuristics::neh(std::get<schedule::Instance<schedule::FLOWSHOP>>(i).get());
             }},
            {"ig", Environment::flowshop,
             [](const schedule::AnyInstance& i, const heuristics::Options& o) {
                 return heuristics::iterated_greedy(std::get<schedule::Instance<schedule::FLOWSHOP>>(i).get(), o);
             }},
            {"edd", Environment::single,
             [](const schedule::AnyInstance& i, const heuristics::Options&) {
                 return heuristics::edd(std::get<schedule::Instance<schedule::SINGLE_MACHINE>>(i).get());
             }},
            {"wspt", Environment::single,
             [](const schedule::AnyInstance& i, const heuristics::Options&) {
                 return heuristics::wspt(std::get<schedule::Instance<schedule::SINGLE_MACHINE>>(i).get());
             }},
            {"atc", Environment::single,
             [](const schedule::AnyInstance& i, const heuristics::Options&) {
                 return heuristics::atc(std::get<schedule::Instance<schedule::SINGLE_MACHINE>>(i).get());
             }},
            {"ils", Environment::single,
             [](const schedule::AnyInstance& i, const heuristics::Options& o) {
                 return heuristics::weighted_tardiness_search(
                     std::get<schedule::Instance<schedule::SINGLE_MACHINE>>(i).get(), o);
             }},
        };
        // Dispatching rules: active schedules under the rule's name, non-delay ones with "-nd".
        for (const auto scheme : {heuristics::GenerationScheme::active, heuristics::GenerationScheme::non_delay})
            for (const heuristics::PriorityRule rule : heuristics::priority_rules)
                t.push_back({std::string(heuristics::rule_name(rule)) +
                                 (scheme == heuristics::GenerationScheme::active ? "" : "-nd"),
                             Environment::jobshop,
                             [rule, scheme](const schedule::AnyInstance& i, const heuristics::Options& o) {
                                 return heuristics::dispatch(std::get<schedule::Instance<schedule::JOBSHOP>>(i).get(),
                                                             rule, scheme, o.seed);
                             }});
        // The tabu search with its defaults, and its variants: "-n5" the N5 neighbourhood instead of N6,
        // "-bj" back jumps instead of path relinking, "-2threads" two threads sharing their best.
        using heuristics::Escape;
        using heuristics::Neighbourhood;
        const struct {
            const char* name;
            Neighbourhood neighbourhood;
            Escape escape;
            int threads;
        } searches[] = {{"ts", Neighbourhood::n6, Escape::path_relinking, 1},
                        {"ts-n5", Neighbourhood::n5, Escape::path_relinking, 1},
                        {"ts-bj", Neighbourhood::n6, Escape::back_jump, 1},
                        {"ts-n5-bj", Neighbourhood::n5, Escape::back_jump, 1},
                        {"ts-2threads", Neighbourhood::n6, Escape::path_relinking, 2}};
        for (const auto& search : searches) {
            heuristics::TabuSearchParameters parameters;
            parameters.neighbourhood = search.neighbourhood;
            parameters.escape = search.escape;
            parameters.threads = search.threads;
            if (search.escape == Escape::back_jump) parameters.stagnation = 2500;  // as calibrated for back jumps
            t.push_back({search.name, Environment::jobshop,
                         [parameters](const schedule::AnyInstance& i, const heuristics::Options& o) {
                             return heuristics::tabu_search(std::get<schedule::Instance<schedule::JOBSHOP>>(i).get(),
                                                            o, parameters);
                         }});
        }
        return t;
    }();
    return table;
}

}  // namespace

heuristics::Result solve(const schedule::AnyInstance& instance, const std::string& method,
                         const heuristics::Options& options) {
    const schedule::Environment environment =
        std::visit([](const auto& held) { return schedule::environment_of<std::decay_t<decltype(held.get())>>; },
                   instance);
    for (const Method& candidate : registry())
        if (candidate.name == method && candidate.environment == environment) return candidate.solve(instance, options);
    throw schedule::Error(schedule::ErrorKind::argument, 999,
                          "method " + method + " does not solve a " +
                              std::string(schedule::environment_name(environment)) + " instance");
}

std::vector<std::string> methods() {
    std::vector<std::string> names;
    for (const Method& method : registry()) names.push_back(method.name);
    return names;
}

std::vector<std::string> methods(schedule::Environment environment) {
    std::vector<std::string> names;
    for (const Method& method : registry())
        if (method.environment == environment) names.push_back(method.name);
    return names;
}

Row run(const benchmarks::Entry& entry, const Settings& settings) {
    double seconds_to_best = 0;
    heuristics::Result result;
    try {
        result = solve(benchmarks::make_instance(entry), settings.method, options_for(entry, settings, seconds_to_best));
    } catch (const schedule::Error& e) {
        if (e.kind() != schedule::ErrorKind::argument) throw;
        throw schedule::Error(schedule::ErrorKind::argument, 999,
                              "method " + settings.method + " does not apply to " + entry.name);
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
    out << row.instance << ',' << row.group << ',' << settings.method << ',' << settings.seed << ',' << row.best_known
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

void write_summary(std::ostream& out, const std::vector<Group>& groups) {
    out << "| group | instances | ARPD vs bkv % | ARPD vs bkv_classic % | reached bkv | mean s | max s to best |\n"
           "|---|---:|---:|---:|---:|---:|---:|\n";
    out << std::fixed;
    for (const Group& group : groups) {
        out << "| " << group.group << " | " << group.instances << " | " << std::setprecision(3) << group.arpd << " | ";
        if (group.arpd_classic)
            out << *group.arpd_classic;
        else
            out << "–";
        out << " | " << group.reached << " | " << group.mean_seconds << " | " << group.max_seconds_to_best << " |\n";
    }
    out << std::defaultfloat;
}

}  // namespace zurududo::experiment
