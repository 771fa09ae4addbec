// Loading any environment from any layout: the layout names, the environment
// a tagged file's tags describe, and the dispatch to the one reader of each
// layout.
#include <algorithm>
#include <cctype>
#include <climits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "schedule/checked.h"
#include "input/literature_text.h"
#include "input/tag_entries.h"
#include "support/failure.h"

namespace schedule {

namespace {

constexpr std::string_view layout_names[] = {"tagged", "taillard", "classic", "taillard-jobshop",
                                             "mrows",  "mrows-dd", "nrows",   "nrows-dd"};

[[noreturn]] void bad_argument(const std::string& what) { fail(ErrorKind::argument, 999, what); }

Environment environment_of_tags(const tag_entries::TagSplit& split, const char (*tags)[tag_text_size],
                                const char (*contents)[tag_content_size], const std::string& source) {
    using tag_entries::find_entry;
    if (find_entry("[RT=", tags, split.entries) >= 0) return Environment::jobshop;
    if (find_entry("[V=", tags, split.entries) >= 0) return Environment::uniform;
    if (find_entry("[MACHINES=", tags, split.entries) < 0) return Environment::single;
    const int pt = find_entry("[PT=", tags, split.entries);
    if (pt >= 0 && std::string_view(contents[pt]).find(';') != std::string_view::npos)
        bad_argument("the processing-time matrix of " + source +
                     " fits unrelated machines, the flow shop and the open shop alike: name the environment");
    return Environment::identical;
}

// The splitter's working storage; left uninitialised, as the splitter ends
// every entry it stores.
struct TagStorage {
    char tags[tag_entry_slots][tag_text_size];
    char contents[tag_entry_slots][tag_content_size];
};

// What a processing-time layout holds: header "m n", then the times (and
// due dates) in the reader's order.
TimesLayout times_layout(Layout layout) {
    switch (layout) {
        case Layout::machine_rows: return TimesLayout::machine_rows;
        case Layout::machine_rows_due_dates: return TimesLayout::machine_rows_due_dates;
        case Layout::job_rows: return TimesLayout::job_rows;
        default: return TimesLayout::job_rows_due_dates;
    }
}

// A strict look at a processing-time file before its reader reads it (the
// reader reads what is not a number as 0 and a short file's missing numbers
// likewise): every entry a whole number the reader reads whole (at most ten
// characters for a time), counts of at least 1, times of at least 0, and as
// many numbers as the counts call for.
void check_times_text(std::string_view text, const std::string& name, Layout layout) {
    using namespace literature_text;
    const Source source{name};
    const std::vector<Line> lines = lines_of(text);
    std::vector<std::pair<std::string_view, int>> words;
    for (const Line& line : lines)
        for (const std::string_view word : words_of(line.text)) words.emplace_back(word, line.number);
    if (words.size() < 2) source.reject(lines.empty() ? 1 : lines.back().number, "expected the counts \"m n\" (machines and jobs)");
    const long m = source.integer(words[0].first, words[0].second, 1, INT_MAX);
    const long n = source.integer(words[1].first, words[1].second, 1, INT_MAX);
    const bool due_dates = layout == Layout::machine_rows_due_dates || layout == Layout::job_rows_due_dates;
    const bool by_machine = layout == Layout::machine_rows || layout == Layout::machine_rows_due_dates;
    const long count = n * m + (due_dates ? n : 0);
    const long got = static_cast<long>(words.size()) - 2;
    const std::string expected = std::to_string(n * m) + " processing times" +
                                 (due_dates ? " and " + std::to_string(n) + " due dates" : "");
    if (got < count)
        source.reject(words.back().second, "expected " + expected + "; the data end after " + std::to_string(got) + " numbers");
    if (got > count) source.reject(words[static_cast<std::size_t>(count + 2)].second, "more numbers than " + expected);
    for (long k = 0; k < count; ++k) {
        const auto& [word, line] = words[static_cast<std::size_t>(k + 2)];
        // Rows of m times, each followed by its due date; or all the times, then the due dates.
        const bool is_due_date = due_dates && (by_machine ? k >= n * m : k % (m + 1) == m);
        if (is_due_date) {
            (void)source.integer(word, line, LONG_MIN, LONG_MAX);
        } else {
            (void)source.integer(word, line, 0, INT_MAX);
            if (word.size() > 10)
                source.reject(line, "\"" + std::string(word) + "\" is longer than the ten characters a time may take");
        }
    }
}

// A strict load whose environment comes from the tags refuses a tag no
// record knows before the tags are read for the environment.
void refuse_unknown_tags(const std::string* path, std::string_view text, const std::string& source) {
    const std::unique_ptr<TagStorage> storage(new TagStorage);
    const auto lines = std::make_unique<tag_entries::TagLines>();
    const tag_entries::TagSplit split =
        path != nullptr ? tag_entries::split_tag_file(path->c_str(), storage->tags, storage->contents, lines.get())
                        : tag_entries::split_tag_text(text, storage->tags, storage->contents, lines.get());
    for (int entry = 0; entry < split.entries; ++entry) {
        const auto name = tag_entries::tag_name(storage->tags[entry]);
        if (!name) continue;
        if (const auto what = tag_entries::unknown_tag(*name))
            fail(ErrorKind::instance, 0, source + ":" + std::to_string(lines->tag_line[entry]) + ": " + *what);
    }
}

// Whole numbers per line of a text, comment lines ("#") left out.
std::vector<std::vector<long>> numeric_rows(std::string_view text) {
    using namespace literature_text;
    std::vector<std::vector<long>> rows;
    for (const Line& line : lines_of(text)) {
        if (is_comment(line)) continue;
        std::vector<long> numbers;
        for (const std::string_view word : words_of(line.text))
            if (const auto n = whole_number(word)) numbers.push_back(*n);
        if (!numbers.empty()) rows.push_back(std::move(numbers));
    }
    return rows;
}

template <class Record>
AnyInstance from_times(PlainTimes data) {
    Vector<double> w = allocate_vector<double>(data.jobs);
    Vector<int> r = allocate_vector<int>(data.jobs);
    for (int j = 0; j < data.jobs; ++j) {
        w[j] = 1.0;
        r[j] = 0;
    }
    Record record{};
    record.jobs = data.jobs;
    record.machines = data.machines;
    record.pt = data.pt.release();
    record.dd = data.dd.release();
    record.w = w.release();
    record.r = r.release();
    return AnyInstance(Instance<Record>(record));
}

template <class Record>
AnyInstance tagged(std::string_view text, const std::string& source, const LoadOptions& options) {
    return AnyInstance(load_text<Record>(text, source, options));
}

// The layout's environment, or an Error when it cannot hold the one asked for.
Environment settle(Layout layout, std::optional<Environment> asked, Environment holds, const char* what) {
    if (!asked) return holds;
    if (*asked != holds)
        bad_argument("the " + std::string(layout_name(layout)) + " layout holds " + what + " (environment " +
                     std::string(environment_name(holds)) + "), not " + std::string(environment_name(*asked)));
    return holds;
}

// The dispatch over a file (`path`) or over text.
AnyInstance load_any(const std::string* path, std::string_view text, const std::string& source,
                     std::optional<Environment> environment, Layout layout, const LoadOptions& options,
                     const InstanceChoice& choice) {
    const bool benchmark = layout == Layout::taillard || layout == Layout::classic || layout == Layout::taillard_jobshop;
    if (!benchmark && !std::holds_alternative<std::monostate>(choice))
        bad_argument("the " + std::string(layout_name(layout)) + " layout holds one instance: there is none to choose");
    // A file is read whole first, bounded and as text (read_text_file), so that
    // a device or a binary file fails at once; the tagged loaders then read
    // the text in memory under the file's name.
    std::string held;
    if (path != nullptr) {
        held = read_text_file(*path);
        text = held;
    } else if (const auto nul = text.find('\0'); nul != std::string_view::npos) {
        fail(ErrorKind::instance, 999,
             "'" + source + "' is not a text file: it holds a NUL byte at offset " + std::to_string(nul));
    }
    switch (layout) {
        case Layout::taillard:
            settle(layout, environment, Environment::flowshop, "a flow shop");
            return AnyInstance(read_taillard_text(text, source, choice));
        case Layout::classic:
            settle(layout, environment, Environment::jobshop, "a job shop");
            return AnyInstance(read_classic_job_shop_text(text, source, choice));
        case Layout::taillard_jobshop:
            settle(layout, environment, Environment::jobshop, "a job shop");
            return AnyInstance(read_taillard_job_shop_text(text, source, choice));
        case Layout::tagged: {
            if (!environment && options.strict) refuse_unknown_tags(nullptr, text, source);
            const Environment env = environment ? *environment : tagged_environment_text(text, source);
            switch (env) {
                case Environment::single: return tagged<SINGLE_MACHINE>(text, source, options);
                case Environment::identical: return tagged<PARALLEL_MACHINES>(text, source, options);
                case Environment::uniform: return tagged<RELATED_MACHINES>(text, source, options);
                case Environment::unrelated: return tagged<UNRELATED_MACHINES>(text, source, options);
                case Environment::flowshop: return tagged<FLOWSHOP>(text, source, options);
                case Environment::openshop: return tagged<OPENSHOP>(text, source, options);
                case Environment::jobshop: return tagged<JOBSHOP>(text, source, options);
            }
            break;
        }
        default: {
            const Environment env = environment.value_or(Environment::flowshop);
            if (env != Environment::flowshop && env != Environment::unrelated && env != Environment::openshop)
                bad_argument("the " + std::string(layout_name(layout)) +
                             " layout holds processing times of machines and jobs: a flowshop, unrelated or openshop "
                             "instance, not " + std::string(environment_name(env)));
            if (path == nullptr)
                bad_argument("the " + std::string(layout_name(layout)) + " layout is read from files only");
            if (options.strict) check_times_text(text, *path, layout);
            PlainTimes data = read_processing_times(*path, times_layout(layout), options.echo);
            if (env == Environment::flowshop) return from_times<FLOWSHOP>(std::move(data));
            if (env == Environment::unrelated) return from_times<UNRELATED_MACHINES>(std::move(data));
            return from_times<OPENSHOP>(std::move(data));
        }
    }
    bad_argument("unknown layout");
}

}  // namespace

std::string_view layout_name(Layout layout) noexcept { return layout_names[static_cast<int>(layout)]; }

std::optional<Layout> layout_named(std::string_view name) noexcept {
    for (int k = 0; k < static_cast<int>(std::size(layout_names)); ++k) {
        if (layout_names[k] == name) return static_cast<Layout>(k);
    }
    return std::nullopt;
}

Environment tagged_environment(const std::string& path) {
    const std::unique_ptr<TagStorage> storage(new TagStorage);
    const tag_entries::TagSplit split = tag_entries::split_tag_file(path.c_str(), storage->tags, storage->contents);
    return environment_of_tags(split, storage->tags, storage->contents, path);
}

Environment tagged_environment_text(std::string_view text, const std::string& source) {
    const std::unique_ptr<TagStorage> storage(new TagStorage);
    const tag_entries::TagSplit split = tag_entries::split_tag_text(text, storage->tags, storage->contents);
    return environment_of_tags(split, storage->tags, storage->contents, source);
}

std::vector<Layout> likely_layouts(std::string_view text) {
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) return {};
    if (text.find('[') != std::string_view::npos && text.find('=') != std::string_view::npos) return {};
    std::string lower(text.substr(0, 4096));
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower.find("nb of jobs") != std::string::npos) return {Layout::taillard_jobshop};
    if (lower.find("number of jobs") != std::string::npos) return {Layout::taillard};
    if (lower.find("+++") != std::string::npos && lower.find("instance") != std::string::npos) return {Layout::classic};
    // The first row of two or more numbers holds the counts: "n m" (classic)
    // or "m n" (the processing-time layouts); the rows after it, by their most
    // common length, tell the layouts apart.
    const std::vector<std::vector<long>> rows = numeric_rows(text);
    std::size_t first = 0;
    while (first < rows.size() && rows[first].size() < 2) ++first;
    if (first == rows.size()) return {};
    const long a = rows[first][0], b = rows[first][1];
    std::vector<std::pair<long, int>> lengths;  // length, rows of it
    for (std::size_t k = first + 1; k < rows.size(); ++k) {
        const long length = static_cast<long>(rows[k].size());
        auto found = std::find_if(lengths.begin(), lengths.end(), [&](const auto& l) { return l.first == length; });
        if (found == lengths.end())
            lengths.emplace_back(length, 1);
        else
            ++found->second;
    }
    const bool only_counts = lengths.empty() && rows[first].size() == 2;
    std::stable_sort(lengths.begin(), lengths.end(), [](const auto& x, const auto& y) { return x.second > y.second; });
    std::vector<Layout> likely;
    const auto add = [&](Layout layout) {
        if (std::find(likely.begin(), likely.end(), layout) == likely.end()) likely.push_back(layout);
    };
    if (!lengths.empty()) {
        const long length = lengths.front().first;
        if (length == 2 * b) add(Layout::classic);
        if (length == b) add(Layout::machine_rows);
        if (length == a) add(Layout::job_rows);
        if (length == a + 1) add(Layout::job_rows_due_dates);
    }
    if (likely.empty() && !only_counts) {
        add(Layout::classic);
        add(Layout::machine_rows);
        add(Layout::job_rows);
    }
    return likely;
}

AnyInstance load_instance(const std::string& path, std::optional<Environment> environment, Layout layout,
                          const LoadOptions& options, const InstanceChoice& choice) {
    return load_any(&path, {}, path, environment, layout, options, choice);
}

AnyInstance load_instance_text(std::string_view text, const std::string& source,
                               std::optional<Environment> environment, Layout layout, const LoadOptions& options,
                               const InstanceChoice& choice) {
    return load_any(nullptr, text, source, environment, layout, options, choice);
}

}  // namespace schedule
