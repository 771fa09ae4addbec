// The catalogue of named instances, read once from the embedded tables.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <string>
#include <vector>

#include <zurududo/benchmarks.h>

namespace zurududo::benchmarks {

namespace embedded {
struct File {
    const char* path;
    const unsigned char* bytes;
    std::size_t size;
};
extern const File files[];
extern const std::size_t file_count;
}  // namespace embedded

std::optional<std::string_view> embedded_file(std::string_view path) {
    for (std::size_t k = 0; k < embedded::file_count; ++k)
        if (path == embedded::files[k].path)
            return std::string_view(reinterpret_cast<const char*>(embedded::files[k].bytes), embedded::files[k].size);
    return std::nullopt;
}

namespace {

std::string_view embedded_or_fail(std::string_view path) {
    const auto text = embedded_file(path);
    if (!text)
        throw schedule::Error(schedule::ErrorKind::argument, 999, "no embedded benchmark file " + std::string(path));
    return *text;
}

// The rows of a tab-separated table, header skipped, each as a map from column name to field.
std::vector<std::map<std::string, std::string>> rows_of(std::string_view path) {
    const std::string_view text = embedded_or_fail(path);
    std::vector<std::vector<std::string>> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        std::vector<std::string> fields;
        std::size_t from = 0;
        while (true) {
            const std::size_t tab = line.find('\t', from);
            fields.emplace_back(line.substr(from, tab == std::string_view::npos ? std::string_view::npos : tab - from));
            if (tab == std::string_view::npos) break;
            from = tab + 1;
        }
        lines.push_back(std::move(fields));
    }
    std::vector<std::map<std::string, std::string>> rows;
    for (std::size_t k = 1; k < lines.size(); ++k) {
        std::map<std::string, std::string> row;
        for (std::size_t c = 0; c < lines[0].size() && c < lines[k].size(); ++c) row[lines[0][c]] = lines[k][c];
        rows.push_back(std::move(row));
    }
    return rows;
}

long number(const std::map<std::string, std::string>& row, const std::string& column) {
    const auto found = row.find(column);
    long value = 0;
    if (found == row.end() ||
        std::from_chars(found->second.data(), found->second.data() + found->second.size(), value).ec != std::errc())
        throw schedule::Error(schedule::ErrorKind::argument, 999, "benchmark table: no number in column " + column);
    return value;
}

Entry common(const std::map<std::string, std::string>& row, std::string set, schedule::Environment environment,
             std::string objective, Source source) {
    Entry entry{};
    entry.name = row.at("instance");
    entry.set = std::move(set);
    entry.environment = environment;
    entry.objective = std::move(objective);
    entry.jobs = static_cast<int>(number(row, "n"));
    entry.machines = row.count("m") != 0 ? static_cast<int>(number(row, "m")) : 1;
    entry.optimal = row.at("status") == "optimal";
    entry.source = source;
    return entry;
}

std::vector<Entry> build() {
    std::vector<Entry> entries;
    for (const auto& row : rows_of("taillard_flowshop.tsv")) {
        Entry entry =
            common(row, "taillard-flowshop", schedule::Environment::flowshop, "Cmax", Source::taillard_flowshop);
        entry.time_seed = static_cast<std::int32_t>(number(row, "time_seed"));
        entry.best_known = number(row, "bkv");
        entry.lower_bound = number(row, "lower_bound");
        entry.neh_makespan = number(row, "neh_makespan");
        entry.best_known_classic = number(row, "bkv_classic");
        entries.push_back(std::move(entry));
    }
    for (const auto& row : rows_of("taillard_jobshop.tsv")) {
        Entry entry = common(row, "taillard-jobshop", schedule::Environment::jobshop, "Cmax", Source::taillard_jobshop);
        entry.time_seed = static_cast<std::int32_t>(number(row, "time_seed"));
        entry.machine_seed = static_cast<std::int32_t>(number(row, "machine_seed"));
        entry.best_known = number(row, "bkv");
        entry.lower_bound = number(row, "lower_bound");
        entries.push_back(std::move(entry));
    }
    for (const auto& row : rows_of("orlib_jobshop.tsv")) {
        Entry entry = common(row, "orlib-jobshop", schedule::Environment::jobshop, "Cmax", Source::orlib_jobshop);
        entry.best_known = number(row, "bkv");
        entry.lower_bound = number(row, "lower_bound");
        entry.file = "orlib_jobshop/" + entry.name + ".txt";
        entries.push_back(std::move(entry));
    }
    for (const auto& row : rows_of("smtwt.tsv")) {
        const std::string& file = row.at("file");
        Entry entry = common(row, file.substr(0, file.find('.')), schedule::Environment::single, "Wj_SumTj",
                             Source::orlib_weighted_tardiness);
        entry.best_known = number(row, "best_value");
        if (entry.optimal) entry.lower_bound = entry.best_known;
        entry.file = "smtwt/" + file;
        entry.index = static_cast<int>(number(row, "index"));
        entries.push_back(std::move(entry));
    }
    return entries;
}

const std::vector<Entry>& entries() {
    static const std::vector<Entry> all = build();
    return all;
}

void require(const Entry& entry, schedule::Environment environment, const char* what) {
    if (entry.environment != environment)
        throw schedule::Error(schedule::ErrorKind::argument, 999,
                              std::string(what) + ": " + entry.name + " is of another environment");
}

}  // namespace

std::span<const Entry> catalogue() { return entries(); }

std::vector<std::string> sets() {
    std::vector<std::string> names;
    for (const Entry& entry : entries())
        if (names.empty() || names.back() != entry.set) names.push_back(entry.set);
    return names;
}

const Entry* find(std::string_view name) {
    const auto folded = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    for (const Entry& entry : entries())
        if (std::equal(entry.name.begin(), entry.name.end(), name.begin(), name.end(),
                       [&](char a, char b) { return folded(a) == folded(b); }))
            return &entry;
    return nullptr;
}

std::optional<std::string> closest_instance(std::string_view name) {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (const Entry& entry : entries()) all.push_back(entry.name);
        return all;
    }();
    return schedule::closest_name(name, names);
}

std::vector<const Entry*> set_entries(std::string_view set) {
    std::vector<const Entry*> found;
    for (const Entry& entry : entries())
        if (entry.set == set) found.push_back(&entry);
    return found;
}

schedule::Instance<schedule::FLOWSHOP> make_flowshop(const Entry& entry) {
    require(entry, schedule::Environment::flowshop, "make_flowshop");
    return taillard_flowshop(entry.jobs, entry.machines, entry.time_seed);
}

schedule::Instance<schedule::JOBSHOP> make_jobshop(const Entry& entry) {
    require(entry, schedule::Environment::jobshop, "make_jobshop");
    if (entry.source == Source::taillard_jobshop)
        return taillard_jobshop(entry.jobs, entry.machines, entry.time_seed, entry.machine_seed);
    return schedule::read_classic_job_shop_text(embedded_or_fail(entry.file), entry.file);
}

schedule::Instance<schedule::SINGLE_MACHINE> make_single_machine(const Entry& entry) {
    require(entry, schedule::Environment::single, "make_single_machine");
    auto all = read_weighted_tardiness(embedded_or_fail(entry.file), entry.jobs, entry.file);
    if (entry.index < 1 || static_cast<std::size_t>(entry.index) > all.size())
        throw schedule::Error(schedule::ErrorKind::argument, 999,
                              entry.name + ": no instance " + std::to_string(entry.index) + " in " + entry.file);
    return std::move(all[static_cast<std::size_t>(entry.index) - 1]);
}

schedule::AnyInstance make_instance(const Entry& entry) {
    switch (entry.environment) {
        case schedule::Environment::flowshop: return make_flowshop(entry);
        case schedule::Environment::jobshop: return make_jobshop(entry);
        default: return make_single_machine(entry);
    }
}

double rpd(double value, double reference) { return 100.0 * (value - reference) / reference; }

}  // namespace zurududo::benchmarks
