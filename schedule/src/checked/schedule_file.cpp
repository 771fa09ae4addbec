// Lists of whole numbers, and reading a schedule file back: the four tagged
// lines the schedule writers write, checked whole (counts, a permutation of
// the jobs, machine, start and duration triples, no machine running two
// operations at once).
#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "schedule/checked.h"

namespace schedule {

namespace {

// The most jobs or machines a schedule file may count, and the latest start
// or longest duration it may give: far beyond any instance, and sums of them
// stay far from a long's end.
constexpr long max_count = 100000;
constexpr long max_time = 4000000000000L;

}  // namespace

std::optional<std::vector<long>> integer_list(std::string_view text) {
    constexpr std::string_view separators = ", \t\r\n";
    std::vector<long> numbers;
    std::size_t i = 0;
    while (i < text.size()) {
        if (separators.find(text[i]) != std::string_view::npos) {
            ++i;
            continue;
        }
        long value = 0;
        const auto [end, ec] = std::from_chars(text.data() + i, text.data() + text.size(), value);
        if (ec != std::errc{} || end == text.data() + i) return std::nullopt;
        numbers.push_back(value);
        i = static_cast<std::size_t>(end - text.data());
        if (i < text.size() && separators.find(text[i]) == std::string_view::npos) return std::nullopt;
    }
    return numbers;
}

ScheduleFile read_schedule_text(std::string_view text, const std::string& name) {
    auto bad = [&](const std::string& why) {
        const std::string message = "'" + name + "' is not a schedule file: " + why;
        return Error(ErrorKind::instance, 999, message, message, message);
    };
    std::vector<std::string_view> lines;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty()) lines.push_back(line);
        at = end + 1;
    }
    const char* const tags[] = {"JOBS", "MACHINES", "SCHEDULE_DATA", "JOB_ORDER"};
    if (lines.size() != 4) throw bad("expected four tagged lines, found " + std::to_string(lines.size()));
    std::string_view content[4];
    for (int k = 0; k < 4; ++k) {
        const std::string open = std::string("[") + tags[k] + "=";
        if (lines[k].substr(0, open.size()) != open || lines[k].back() != ']')
            throw bad("line " + std::to_string(k + 1) + " should be " + open + "...]");
        content[k] = lines[k].substr(open.size(), lines[k].size() - open.size() - 1);
    }
    auto count = [&](std::string_view value, const char* tag) {
        const auto numbers = integer_list(value);
        if (!numbers || numbers->size() != 1 || (*numbers)[0] < 0 || (*numbers)[0] > max_count)
            throw bad(std::string(tag) + " is not a count");
        return static_cast<int>((*numbers)[0]);
    };
    ScheduleFile file;
    file.jobs = count(content[0], "JOBS");
    file.machines = count(content[1], "MACHINES");
    const auto order = integer_list(content[3]);
    if (!order || static_cast<long>(order->size()) != file.jobs)
        throw bad("JOB_ORDER does not list " + std::to_string(file.jobs) + " jobs");
    std::vector<bool> seen(static_cast<std::size_t>(file.jobs), false);
    for (const long job : *order) {
        if (job < 0 || job >= file.jobs || seen[static_cast<std::size_t>(job)])
            throw bad("JOB_ORDER is not a permutation of the jobs");
        seen[static_cast<std::size_t>(job)] = true;
        file.job_order.push_back(static_cast<int>(job));
    }
    // A group per job, separated by ';' (none in an empty list).
    std::vector<std::string_view> groups;
    if (file.jobs == 0 && !content[2].empty()) throw bad("SCHEDULE_DATA lists operations of no job");
    for (std::size_t at = 0; !content[2].empty();) {
        const std::size_t end = content[2].find(';', at);
        groups.push_back(content[2].substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
        if (end == std::string_view::npos) break;
        at = end + 1;
    }
    if (static_cast<long>(groups.size()) != file.jobs)
        throw bad("SCHEDULE_DATA has " + std::to_string(groups.size()) + " groups for " + std::to_string(file.jobs) +
                  " jobs");
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const int job = file.job_order[g];
        const auto numbers = integer_list(groups[g]);
        if (!numbers || numbers->empty() || numbers->size() % 3 != 0)
            throw bad("the group of job " + std::to_string(job) + " is not machine,start,duration triples");
        for (std::size_t k = 0; k < numbers->size(); k += 3) {
            const long machine = (*numbers)[k], start = (*numbers)[k + 1], duration = (*numbers)[k + 2];
            if (machine < 0 || machine >= file.machines)
                throw bad("job " + std::to_string(job) + " runs on machine " + std::to_string(machine) +
                          ", which does not exist");
            if (start < 0 || duration < 0 || start > max_time || duration > max_time)
                throw bad("job " + std::to_string(job) + " has a negative or huge start or duration");
            file.operations.push_back({job, static_cast<int>(machine), start, start + duration});
        }
    }
    // No machine runs two operations at once: an operation of some length
    // starts no earlier than every earlier one of some length on its machine
    // ends (operations of no length overlap nothing).
    std::vector<const Operation*> by_machine;
    for (const Operation& op : file.operations)
        if (op.end > op.start) by_machine.push_back(&op);
    std::sort(by_machine.begin(), by_machine.end(), [](const Operation* a, const Operation* b) {
        return a->machine != b->machine ? a->machine < b->machine : a->start < b->start;
    });
    const Operation* latest = nullptr;  // of the machine so far, the one that ends last
    for (const Operation* op : by_machine) {
        if (latest != nullptr && latest->machine == op->machine && op->start < latest->end)
            throw bad("machine " + std::to_string(op->machine) + " runs jobs " + std::to_string(latest->job) + " and " +
                      std::to_string(op->job) + " at once");
        if (latest == nullptr || latest->machine != op->machine || op->end > latest->end) latest = op;
    }
    return file;
}

}  // namespace schedule
