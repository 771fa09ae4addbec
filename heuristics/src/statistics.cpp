// The Wilcoxon signed-rank test, the table of mean deviations by size group
// and configuration, and the paired comparisons.
#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

#include <zurududo/report.h>

namespace zurududo::experiment {

namespace {

// Magnitudes this close are one value (deviations are read back from four decimals).
constexpr double tolerance = 1e-9;

}  // namespace

double signed_rank_exact_p(std::size_t n, double statistic) {
    if (n == 0) return 1;
    // count[s]: the sign patterns whose positive ranks sum to s.
    const std::size_t most = n * (n + 1) / 2;
    std::vector<double> count(most + 1, 0);
    count[0] = 1;
    for (std::size_t rank = 1; rank <= n; ++rank)
        for (std::size_t s = most; s >= rank; --s)
            count[s] += count[s - rank];
    double below = 0;
    for (std::size_t s = 0; s <= most && static_cast<double>(s) <= statistic + tolerance; ++s)
        below += count[s];
    return std::min(1.0, 2 * below / std::ldexp(1.0, static_cast<int>(n)));
}

SignedRank wilcoxon_signed_rank(std::span<const double> differences) {
    SignedRank test;
    std::vector<double> kept;
    for (const double d : differences) {
        if (std::fabs(d) <= tolerance)
            ++test.zeros;
        else
            kept.push_back(d);
    }
    const std::size_t n = test.n = kept.size();
    if (n == 0) return test;
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return std::fabs(kept[a]) < std::fabs(kept[b]); });
    // Mean ranks of tied magnitudes, and the ties' correction Σ(t³ − t).
    std::vector<double> rank(n);
    double ties = 0;
    for (std::size_t first = 0; first < n;) {
        std::size_t last = first;
        while (last + 1 < n && std::fabs(kept[order[last + 1]]) - std::fabs(kept[order[first]]) <= tolerance)
            ++last;
        const double shared = (static_cast<double>(first + last) + 2) / 2;
        for (std::size_t k = first; k <= last; ++k)
            rank[order[k]] = shared;
        const double t = static_cast<double>(last - first + 1);
        ties += t * t * t - t;
        first = last + 1;
    }
    for (std::size_t k = 0; k < n; ++k)
        (kept[k] > 0 ? test.w_plus : test.w_minus) += rank[k];
    test.statistic = std::min(test.w_plus, test.w_minus);
    if (ties == 0 && n <= 50) {
        test.exact = true;
        test.p = signed_rank_exact_p(n, test.statistic);
        return test;
    }
    const double size = static_cast<double>(n);
    const double mean = size * (size + 1) / 4;
    const double variance = size * (size + 1) * (2 * size + 1) / 24 - ties / 48;
    if (variance <= 0) return test;  // every difference of one magnitude and n = 1
    const double distance = std::max(0.0, std::fabs(test.w_plus - mean) - 0.5);
    test.z = (test.w_plus >= mean ? distance : -distance) / std::sqrt(variance);
    test.p = std::min(1.0, std::erfc(std::fabs(test.z) / std::sqrt(2.0)));
    return test;
}

std::vector<Configuration> configurations(const std::vector<Row>& rows) {
    std::vector<Configuration> found;
    std::vector<std::string> budgets;
    for (const Row& row : rows) {
        if (row.interrupted) continue;
        if (std::find(budgets.begin(), budgets.end(), row.budget) == budgets.end()) budgets.push_back(row.budget);
        const bool known = std::any_of(found.begin(), found.end(), [&](const Configuration& c) {
            return c.method == row.method && c.parameters == row.parameters && c.budget == row.budget;
        });
        if (!known) found.push_back({row.method, row.parameters, row.budget, ""});
    }
    for (Configuration& configuration : found) {
        std::string label = configuration.method;
        // The parameters not at their defaults.
        const solvers::Method* method = solvers::find(configuration.method);
        std::string rest = configuration.parameters;
        std::string changed;
        while (!rest.empty()) {
            const std::size_t end = rest.find(';');
            const std::string part = rest.substr(0, end);
            rest = end == std::string::npos ? "" : rest.substr(end + 1);
            const std::size_t equals = part.find('=');
            const std::string name = part.substr(0, equals);
            const std::string value = equals == std::string::npos ? "" : part.substr(equals + 1);
            bool by_default = false;
            if (method != nullptr)
                for (const solvers::Parameter& parameter : method->parameters)
                    if (parameter.name == name && parameter.default_value == value) by_default = true;
            if (!by_default) changed += (changed.empty() ? "" : " ") + part;
        }
        if (!changed.empty()) label += " " + changed;
        if (budgets.size() > 1) label += " @ " + configuration.budget;
        configuration.label = label;
    }
    return found;
}

std::size_t configuration_of(const std::vector<Configuration>& configurations, const Row& row) {
    for (std::size_t k = 0; k < configurations.size(); ++k)
        if (configurations[k].method == row.method && configurations[k].parameters == row.parameters &&
            configurations[k].budget == row.budget)
            return k;
    return configurations.size();
}

ArpdTable arpd_table(const std::vector<Row>& rows) {
    ArpdTable table;
    table.configurations = configurations(rows);
    for (const Row& row : rows)
        if (!row.interrupted && std::find(table.groups.begin(), table.groups.end(), row.group) == table.groups.end())
            table.groups.push_back(row.group);
    if (!table.groups.empty()) table.groups.push_back("all");
    const std::size_t width = table.configurations.size();
    table.cells.assign(table.groups.size(), std::vector<ArpdCell>(width));
    // Sums per group and configuration, and per seed for the spread.
    std::vector<std::vector<std::map<std::uint64_t, std::pair<double, std::size_t>>>> by_seed(
        table.groups.size(), std::vector<std::map<std::uint64_t, std::pair<double, std::size_t>>>(width));
    for (const Row& row : rows) {
        if (row.interrupted) continue;
        const std::size_t c = configuration_of(table.configurations, row);
        const std::size_t g = static_cast<std::size_t>(
            std::find(table.groups.begin(), table.groups.end(), row.group) - table.groups.begin());
        for (const std::size_t at : {g, table.groups.size() - 1}) {
            ArpdCell& cell = table.cells[at][c];
            ++cell.runs;
            cell.arpd += row.rpd;
            auto& seed = by_seed[at][c][row.seed];
            seed.first += row.rpd;
            ++seed.second;
        }
    }
    for (std::size_t g = 0; g < table.groups.size(); ++g)
        for (std::size_t c = 0; c < width; ++c) {
            ArpdCell& cell = table.cells[g][c];
            if (cell.runs == 0) continue;
            cell.arpd /= static_cast<double>(cell.runs);
            const auto& seeds = by_seed[g][c];
            if (seeds.size() < 2) continue;
            double mean = 0;
            for (const auto& [seed, sum] : seeds)
                mean += sum.first / static_cast<double>(sum.second);
            mean /= static_cast<double>(seeds.size());
            double squares = 0;
            for (const auto& [seed, sum] : seeds)
                squares += std::pow(sum.first / static_cast<double>(sum.second) - mean, 2);
            cell.spread = std::sqrt(squares / static_cast<double>(seeds.size() - 1));
        }
    return table;
}

std::vector<Comparison> comparisons(const std::vector<Row>& rows) {
    const std::vector<Configuration> found = configurations(rows);
    // Mean RPD over seeds per configuration and instance, instances in order of first appearance.
    std::vector<std::string> instances;
    std::map<std::pair<std::size_t, std::string>, std::pair<double, std::size_t>> sums;
    for (const Row& row : rows) {
        if (row.interrupted) continue;
        if (std::find(instances.begin(), instances.end(), row.instance) == instances.end())
            instances.push_back(row.instance);
        auto& sum = sums[{configuration_of(found, row), row.instance}];
        sum.first += row.rpd;
        ++sum.second;
    }
    std::vector<Comparison> result;
    for (std::size_t a = 0; a < found.size(); ++a)
        for (std::size_t b = a + 1; b < found.size(); ++b) {
            Comparison comparison;
            comparison.a = found[a].label;
            comparison.b = found[b].label;
            std::vector<double> differences;
            for (const std::string& instance : instances) {
                const auto x = sums.find({a, instance});
                const auto y = sums.find({b, instance});
                if (x == sums.end() || y == sums.end()) continue;
                const double d = x->second.first / static_cast<double>(x->second.second) -
                                 y->second.first / static_cast<double>(y->second.second);
                differences.push_back(d);
                if (std::fabs(d) <= tolerance)
                    ++comparison.ties;
                else if (d < 0)
                    ++comparison.wins;
                else
                    ++comparison.losses;
            }
            comparison.instances = differences.size();
            if (!differences.empty())
                comparison.mean_difference = std::accumulate(differences.begin(), differences.end(), 0.0) /
                                             static_cast<double>(differences.size());
            comparison.test = wilcoxon_signed_rank(differences);
            result.push_back(comparison);
        }
    return result;
}

}  // namespace zurududo::experiment
