// The published benchmark layouts: Taillard's flow-shop and job-shop files,
// the classic job-shop layout with OR-Library's many-instance file and
// JSPLIB's comments. A file is taken apart into lines first, so that every
// complaint names its line; the structure of every instance is read to list
// them, the data only of the instance chosen.
#include <charconv>
#include <climits>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "schedule/checked.h"
#include "input/literature_text.h"
#include "support/failure.h"

namespace schedule {

namespace literature_text {

std::vector<Line> lines_of(std::string_view text) {
    std::vector<Line> lines;
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back({line, ++number});
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::vector<std::string_view> words_of(std::string_view text) {
    std::vector<std::string_view> words;
    for (;;) {
        const std::size_t first = text.find_first_not_of(blanks);
        if (first == std::string_view::npos) return words;
        text.remove_prefix(first);
        const std::size_t end = text.find_first_of(blanks);
        words.push_back(text.substr(0, end));
        if (end == std::string_view::npos) return words;
        text.remove_prefix(end);
    }
}

std::optional<long> whole_number(std::string_view word) {
    if (!word.empty() && word.front() == '+') word.remove_prefix(1);
    if (word.empty() || word.front() == '+') return std::nullopt;
    long value = 0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (ec != std::errc{} || end != word.data() + word.size()) return std::nullopt;
    return value;
}

void Source::reject(int line, const std::string& what) const {
    fail(ErrorKind::instance, 0, name + ":" + std::to_string(line) + ": " + what);
}

long Source::integer(std::string_view word, int line, long low, long high) const {
    const std::string quoted = "\"" + std::string(word) + "\"";
    const std::optional<long> value = whole_number(word);
    if (!value) {
        // Tell a number too large for any count or time from other text.
        const std::string_view digits = word.substr(word.front() == '-' || word.front() == '+' ? 1 : 0);
        if (!digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos)
            reject(line, quoted + " is out of range");
        reject(line, quoted + " is not a whole number");
    }
    if (*value < low) reject(line, quoted + " must be at least " + std::to_string(low));
    if (*value > high) reject(line, quoted + " must be at most " + std::to_string(high));
    return *value;
}

std::vector<Number> Source::numbers(const std::vector<Line>& lines, std::size_t begin, std::size_t end,
                                    long low, long high) const {
    std::vector<Number> numbers;
    for (std::size_t i = begin; i < end; ++i) {
        if (is_comment(lines[i])) continue;
        for (const std::string_view word : words_of(lines[i].text))
            numbers.push_back({integer(word, lines[i].number, low, high), lines[i].number});
    }
    return numbers;
}

bool is_comment(const Line& line) {
    const std::string_view text = trimmed(line.text);
    return !text.empty() && text.front() == '#';
}

}  // namespace literature_text

namespace {

using namespace literature_text;

// Whether `text` begins with `prefix`, letters compared regardless of case.
bool begins_with(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char a = text[i], b = prefix[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

bool is_blank(const Line& line) { return trimmed(line.text).empty(); }

// A line of "+" only (at least three), between OR-Library's instances.
bool is_separator(const Line& line) {
    const std::string_view text = trimmed(line.text);
    return text.size() >= 3 && text.find_first_not_of('+') == std::string_view::npos;
}

// The name of a line "instance NAME" (OR-Library's, or a JSPLIB comment's
// after its "#"), or nothing.
std::optional<std::string> instance_name(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '#') text.remove_prefix(1);
    const std::vector<std::string_view> words = words_of(text);
    if (words.size() != 2 || words[0] != "instance") return std::nullopt;
    return std::string(words[1]);
}

// One instance found in a file: what it says of itself, the numbers of its
// counts line, and where its data lie (line indexes; the Taillard job-shop
// layout has a second block, the machines).
struct Found {
    BenchmarkInstance info;
    std::size_t data_begin = 0;
    std::size_t data_end = 0;
    std::size_t second_begin = 0;
    std::size_t second_end = 0;
    int data_line = 0;  // the line that introduces the data, for a block that is empty
    int second_line = 0;
};

// What sets Taillard's flow-shop and job-shop files apart: the first words
// of the header (compared regardless of case), the numbers of the counts line
// (the upper bound at `upper`, the lower bound after it), and the labels of
// the data blocks.
struct TaillardShape {
    std::string_view header;
    const char* header_text;
    std::size_t fields;
    const char* fields_text;
    std::size_t upper;
    std::string_view label;
    std::string_view second_label;  // empty: one block
    const char* second_label_text;
};

constexpr TaillardShape taillard_flow_shop{
    "number of jobs",
    "number of jobs, number of machines, initial seed, upper bound and lower bound :",
    5,
    "the jobs, machines, initial seed, upper bound and lower bound",
    3,
    "processing times",
    {},
    nullptr};

constexpr TaillardShape taillard_job_shop{
    "nb of jobs",
    "Nb of jobs, Nb of Machines, Time seed, Machine seed, Upper bound, Lower bound",
    6,
    "the jobs, machines, time seed, machine seed, upper bound and lower bound",
    4,
    "times",
    "machines",
    "Machines"};

class Scan {
public:
    Scan(const std::vector<Line>& lines, const Source& source) : lines_(lines), source_(source) {}

    // Skips blank lines (and comments, when `comments`) from `i` on, up to `end`.
    std::size_t skip(std::size_t i, std::size_t end, bool comments = false) const {
        while (i < end && (is_blank(lines_[i]) || (comments && is_comment(lines_[i])))) ++i;
        return i;
    }

    // The counts line of an instance at `i`: between `least` and `most`
    // integers, the first two the jobs and the machines (at least 1 each).
    std::vector<long> counts(std::size_t i, std::size_t least, std::size_t most, const char* expected) const {
        const Line& line = lines_[i];
        const std::vector<std::string_view> words = words_of(line.text);
        if (words.size() < least || words.size() > most) source_.reject(line.number, std::string("expected ") + expected);
        std::vector<long> numbers;
        for (std::size_t k = 0; k < words.size(); ++k) {
            const long low = k < 2 ? 1 : LONG_MIN;
            const long high = k < 2 ? INT_MAX : LONG_MAX;
            numbers.push_back(source_.integer(words[k], line.number, low, high));
        }
        return numbers;
    }

    // The line at `i` must exist and begin with `label`; the message names the
    // line before when the file ends first.
    void require_label(std::size_t i, std::size_t end, std::string_view label, int previous_line) const {
        if (i >= end) source_.reject(previous_line, "expected a line \"" + std::string(label) + "\" after this one");
        if (!begins_with(trimmed(lines_[i].text), label))
            source_.reject(lines_[i].number, "expected a line \"" + std::string(label) + "\"");
    }

    // Taillard's files: each instance a header, its counts line, a label and
    // the data (and in the job-shop files a second label and data).
    std::vector<Found> taillard(const TaillardShape& shape) const {
        std::vector<Found> found;
        const std::size_t end = lines_.size();
        auto data_end = [&](std::size_t i, std::string_view stop) {
            while (i < end && !begins_with(trimmed(lines_[i].text), shape.header) &&
                   (stop.empty() || !begins_with(trimmed(lines_[i].text), stop)))
                ++i;
            return i;
        };
        for (std::size_t i = skip(0, end); i < end; i = skip(i, end)) {
            if (!begins_with(trimmed(lines_[i].text), shape.header))
                source_.reject(lines_[i].number, "expected Taillard's header \"" + std::string(shape.header_text) + "\"");
            Found f;
            f.info.line = lines_[i].number;
            const std::size_t at = skip(i + 1, end);
            if (at >= end) source_.reject(lines_[i].number, "the header is not followed by its numbers");
            take_head(f.info, counts(at, 2, shape.fields, shape.fields_text), 2, shape.upper);
            const std::size_t label = skip(at + 1, end);
            require_label(label, end, shape.label, lines_[at].number);
            f.data_line = lines_[label].number;
            f.data_begin = label + 1;
            i = f.data_end = data_end(label + 1, shape.second_label);
            if (!shape.second_label.empty()) {
                if (i >= end || !begins_with(trimmed(lines_[i].text), shape.second_label))
                    source_.reject(i >= end ? lines_[label].number : lines_[i].number,
                                   "the " + std::string(shape.label) + " are not followed by a line \"" +
                                       std::string(shape.second_label_text) + "\"");
                f.second_line = lines_[i].number;
                f.second_begin = i + 1;
                i = f.second_end = data_end(i + 1, {});
            }
            found.push_back(std::move(f));
        }
        return found;
    }

    // The classic layout: one instance, or OR-Library's many between lines
    // of "+" (JSPLIB's commented "#+++" lines are comments, not separators).
    std::vector<Found> classic() const {
        std::vector<std::size_t> separators;
        for (std::size_t i = 0; i < lines_.size(); ++i)
            if (!is_comment(lines_[i]) && is_separator(lines_[i])) separators.push_back(i);
        if (separators.empty()) return {classic_instance(0, lines_.size(), true)};
        std::vector<Found> found;
        const std::size_t pieces = separators.size();
        auto piece_end = [&](std::size_t k) { return k + 1 < pieces ? separators[k + 1] : lines_.size(); };
        for (std::size_t k = 0; k < pieces; ++k) {
            const std::size_t begin = separators[k] + 1, end = piece_end(k);
            const std::size_t first = skip(begin, end);
            if (first == end) continue;
            std::optional<std::string> name = instance_name(lines_[first].text);
            if (!name) {
                if (k + 1 == pieces) break;  // text after the last instance
                source_.reject(lines_[first].number, "expected a line \" instance NAME\" between the lines of \"+\"");
            }
            const std::size_t more = skip(first + 1, end);
            if (more != end) source_.reject(lines_[more].number, "expected a line of \"+\" after \" instance " + *name + "\"");
            if (k + 1 == pieces || skip(separators[k + 1] + 1, piece_end(k + 1)) == piece_end(k + 1))
                source_.reject(lines_[first].number, "instance " + *name + " has no data");
            ++k;
            Found f = classic_instance(separators[k] + 1, piece_end(k), false);
            f.info.name = *name;
            f.info.line = lines_[first].number;
            found.push_back(std::move(f));
        }
        if (found.empty()) source_.reject(lines_[separators[0]].number, "no \" instance NAME\" follows the lines of \"+\"");
        return found;
    }

private:
    // Counts, seed (the name) and bounds of a Taillard counts line.
    static void take_head(BenchmarkInstance& info, const std::vector<long>& head, std::size_t seed,
                          std::size_t upper) {
        info.jobs = static_cast<int>(head[0]);
        info.machines = static_cast<int>(head[1]);
        if (head.size() > seed) info.name = std::to_string(head[seed]);
        if (head.size() > upper) info.upper_bound = head[upper];
        if (head.size() > upper + 1) info.lower_bound = head[upper + 1];
    }

    // One classic instance in lines [begin, end): comments (when `comments`:
    // a JSPLIB file's name and description), an optional description line,
    // "n m", then the data.
    Found classic_instance(std::size_t begin, std::size_t end, bool comments) const {
        Found f;
        std::size_t i = begin;
        for (; i < end && (is_blank(lines_[i]) || is_comment(lines_[i])); ++i) {
            if (!comments || is_blank(lines_[i])) continue;
            const std::string_view text = trimmed(trimmed(lines_[i].text).substr(1));
            if (std::optional<std::string> name = instance_name(lines_[i].text)) {
                f.info.name = *name;
            } else if (f.info.description.empty() && !text.empty() && !is_separator(Line{text, 0})) {
                f.info.description = std::string(text);
            }
        }
        if (i >= end) source_.reject(end > begin ? lines_[end - 1].number : 1, "no job-shop instance (\"n m\") in the file");
        f.info.line = lines_[i].number;
        const std::vector<std::string_view> first = words_of(lines_[i].text);
        if (first.size() != 2 || !whole_number(first[0]) || !whole_number(first[1])) {
            f.info.description = std::string(trimmed(lines_[i].text));
            const std::size_t next = skip(i + 1, end, true);
            if (next >= end) source_.reject(lines_[i].number, "expected the jobs and machines \"n m\" after this line");
            i = next;
        }
        const std::vector<long> head = counts(i, 2, 2, "the jobs and machines \"n m\"");
        f.info.jobs = static_cast<int>(head[0]);
        f.info.machines = static_cast<int>(head[1]);
        f.data_line = lines_[i].number;
        f.data_begin = i + 1;
        f.data_end = end;
        return f;
    }

    const std::vector<Line>& lines_;
    const Source& source_;
};

std::vector<Found> scan(const std::vector<Line>& lines, const Source& source, Layout layout) {
    const Scan scan(lines, source);
    switch (layout) {
        case Layout::taillard: return scan.taillard(taillard_flow_shop);
        case Layout::classic: return scan.classic();
        case Layout::taillard_jobshop: return scan.taillard(taillard_job_shop);
        default:
            fail(ErrorKind::argument, 999,
                 "the " + std::string(layout_name(layout)) + " layout is not a benchmark layout (taillard, classic or "
                                                             "taillard-jobshop)");
    }
}

// "3 instances: ft06, ft10 and ft20" — how a file's instances are named in a
// message; an unnamed one by its position.
std::string roll_call(const std::vector<Found>& found) {
    std::string names;
    for (std::size_t k = 0; k < found.size(); ++k) {
        if (k > 0) names += k + 1 == found.size() ? " and " : ", ";
        names += found[k].info.name.empty() ? "#" + std::to_string(k) : found[k].info.name;
    }
    return std::to_string(found.size()) + " instance" + (found.size() == 1 ? "" : "s") + ": " + names;
}

const Found& choose(const std::vector<Found>& found, const InstanceChoice& choice, const Source& source) {
    auto refuse = [&](const std::string& why) -> const Found& {
        fail(ErrorKind::argument, 999,
             why + "; " + source.name + " holds " + roll_call(found) + " (choose one by name or by position, 0 to " +
                 std::to_string(found.size() - 1) + ")");
    };
    if (std::holds_alternative<std::monostate>(choice)) {
        if (found.size() == 1) return found[0];
        return refuse("no instance chosen");
    }
    if (const std::size_t* index = std::get_if<std::size_t>(&choice)) {
        if (*index < found.size()) return found[*index];
        return refuse("there is no instance at position " + std::to_string(*index));
    }
    const std::string& name = std::get<std::string>(choice);
    const Found* named = nullptr;
    for (const Found& f : found) {
        if (f.info.name != name) continue;
        if (named != nullptr) return refuse("more than one instance is named " + name);
        named = &f;
    }
    if (named != nullptr) return *named;
    const std::optional<long> index = name.find_first_not_of("0123456789") == std::string::npos ? whole_number(name)
                                                                                              : std::nullopt;
    if (index && *index >= 0 && static_cast<unsigned long>(*index) < found.size()) return found[static_cast<std::size_t>(*index)];
    return refuse("no instance is named " + name);
}

// The `count` numbers of a data block, or an error at the line where they
// fall short or run over.
std::vector<Number> block(const std::vector<Line>& lines, const Source& source, std::size_t begin, std::size_t end,
                          int label_line, long count, long low, long high, const std::string& expected) {
    std::vector<Number> numbers = source.numbers(lines, begin, end, low, high);
    const long got = static_cast<long>(numbers.size());
    if (got < count)
        source.reject(numbers.empty() ? label_line : numbers.back().line,
                      "expected " + expected + "; the data end after " + std::to_string(got) + " numbers");
    if (got > count) source.reject(numbers[static_cast<std::size_t>(count)].line, "more numbers than " + expected);
    return numbers;
}

// Weights 1.0, release dates 0 and no due dates, as the benchmark files
// carry none; the blocks from the library's allocators.
template <class Record>
Instance<Record> plain_instance(int jobs, int machines, Matrix pt, Matrix rt = {}) {
    Vector<double> w = allocate_vector<double>(jobs);
    Vector<int> r = allocate_vector<int>(jobs);
    for (int j = 0; j < jobs; ++j) {
        w[j] = 1.0;
        r[j] = 0;
    }
    Record record{};
    record.jobs = jobs;
    record.machines = machines;
    record.dd = nullptr;
    record.w = w.release();
    record.r = r.release();
    record.pt = pt.release();
    if constexpr (requires { record.rt; }) record.rt = rt.release();
    return Instance<Record>(record);
}

Instance<FLOWSHOP> build_flow_shop(const std::vector<Line>& lines, const Source& source, const Found& f) {
    const int n = f.info.jobs, m = f.info.machines;
    const std::vector<Number> times =
        block(lines, source, f.data_begin, f.data_end, f.data_line, static_cast<long>(n) * m, 0, INT_MAX,
              std::to_string(m) + " rows of " + std::to_string(n) + " processing times");
    Matrix pt = Matrix::allocate(m, n);
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < n; ++j) pt[i][j] = static_cast<int>(times[static_cast<std::size_t>(i) * n + j].value);
    return plain_instance<FLOWSHOP>(n, m, std::move(pt));
}

// Job j's operation k on `machine` (from 0) taking `time`: each job visits
// each machine exactly once.
class Routing {
public:
    Routing(const Source& source, int jobs, int machines)
        : source_(source), pt_(Matrix::allocate(machines, jobs)), rt_(Matrix::allocate(jobs, machines)),
          seen_(static_cast<std::size_t>(machines), -1) {}

    void add(int j, int k, long machine, const Number& given, long time) {
        if (seen_[static_cast<std::size_t>(machine)] == j)
            source_.reject(given.line, "job " + std::to_string(j) + " visits machine " + std::to_string(given.value) +
                                           " twice (each job visits each machine exactly once)");
        seen_[static_cast<std::size_t>(machine)] = j;
        rt_[j][k] = static_cast<int>(machine);
        pt_[static_cast<int>(machine)][j] = static_cast<int>(time);
    }

    Instance<JOBSHOP> finish(int jobs, int machines) {
        return plain_instance<JOBSHOP>(jobs, machines, std::move(pt_), std::move(rt_));
    }

private:
    const Source& source_;
    Matrix pt_;
    Matrix rt_;
    std::vector<int> seen_;  // the last job that visited each machine
};

Instance<JOBSHOP> build_classic_job_shop(const std::vector<Line>& lines, const Source& source, const Found& f) {
    const int n = f.info.jobs, m = f.info.machines;
    const std::vector<Number> numbers =
        block(lines, source, f.data_begin, f.data_end, f.data_line, 2L * n * m, LONG_MIN, LONG_MAX,
              std::to_string(n) + " jobs of " + std::to_string(m) + " \"machine time\" pairs");
    Routing routing(source, n, m);
    for (int j = 0; j < n; ++j) {
        for (int k = 0; k < m; ++k) {
            const Number& machine = numbers[2 * (static_cast<std::size_t>(j) * m + k)];
            const Number& time = numbers[2 * (static_cast<std::size_t>(j) * m + k) + 1];
            if (machine.value < 0 || machine.value >= m)
                source.reject(machine.line, "job " + std::to_string(j) + " names machine " +
                                                std::to_string(machine.value) + "; machines are 0.." +
                                                std::to_string(m - 1));
            if (time.value < 0 || time.value > INT_MAX)
                source.reject(time.line, "the processing time " + std::to_string(time.value) + " of job " +
                                             std::to_string(j) + " is not between 0 and " + std::to_string(INT_MAX));
            routing.add(j, k, machine.value, machine, time.value);
        }
    }
    return routing.finish(n, m);
}

Instance<JOBSHOP> build_taillard_job_shop(const std::vector<Line>& lines, const Source& source, const Found& f) {
    const int n = f.info.jobs, m = f.info.machines;
    const std::string rows = std::to_string(n) + " rows of " + std::to_string(m);
    const std::vector<Number> times = block(lines, source, f.data_begin, f.data_end, f.data_line,
                                            static_cast<long>(n) * m, 0, INT_MAX, rows + " processing times");
    const std::vector<Number> machines = block(lines, source, f.second_begin, f.second_end, f.second_line,
                                               static_cast<long>(n) * m, 1, m, rows + " machines (1 to " +
                                                                                   std::to_string(m) + ")");
    Routing routing(source, n, m);
    for (int j = 0; j < n; ++j) {
        for (int k = 0; k < m; ++k) {
            const std::size_t at = static_cast<std::size_t>(j) * m + k;
            routing.add(j, k, machines[at].value - 1, machines[at], times[at].value);
        }
    }
    return routing.finish(n, m);
}

template <class Record, class Build>
Instance<Record> read_benchmark(std::string_view text, const std::string& source_name, Layout layout,
                                const InstanceChoice& choice, Build build) {
    const Source source{source_name};
    const std::vector<Line> lines = lines_of(text);
    const std::vector<Found> found = scan(lines, source, layout);
    return build(lines, source, choose(found, choice, source));
}

}  // namespace

std::vector<BenchmarkInstance> list_instances_text(std::string_view text, const std::string& source,
                                                   Layout layout) {
    const std::vector<Line> lines = lines_of(text);
    std::vector<BenchmarkInstance> instances;
    for (Found& f : scan(lines, Source{source}, layout)) instances.push_back(std::move(f.info));
    return instances;
}

std::vector<BenchmarkInstance> list_instances(const std::string& path, Layout layout) {
    return list_instances_text(read_text_file(path), path, layout);
}

Instance<FLOWSHOP> read_taillard_text(std::string_view text, const std::string& source, const InstanceChoice& choice) {
    return read_benchmark<FLOWSHOP>(text, source, Layout::taillard, choice, build_flow_shop);
}
Instance<FLOWSHOP> read_taillard(const std::string& path, const InstanceChoice& choice) {
    return read_taillard_text(read_text_file(path), path, choice);
}

Instance<JOBSHOP> read_classic_job_shop_text(std::string_view text, const std::string& source,
                                             const InstanceChoice& choice) {
    return read_benchmark<JOBSHOP>(text, source, Layout::classic, choice, build_classic_job_shop);
}
Instance<JOBSHOP> read_classic_job_shop(const std::string& path, const InstanceChoice& choice) {
    return read_classic_job_shop_text(read_text_file(path), path, choice);
}

Instance<JOBSHOP> read_taillard_job_shop_text(std::string_view text, const std::string& source,
                                              const InstanceChoice& choice) {
    return read_benchmark<JOBSHOP>(text, source, Layout::taillard_jobshop, choice, build_taillard_job_shop);
}
Instance<JOBSHOP> read_taillard_job_shop(const std::string& path, const InstanceChoice& choice) {
    return read_taillard_job_shop_text(read_text_file(path), path, choice);
}

}  // namespace schedule
