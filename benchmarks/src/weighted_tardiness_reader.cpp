// OR-Library's weighted-tardiness layout: instances one after another, each
// n processing times, n weights and n due dates.
#include <charconv>
#include <climits>
#include <string>
#include <vector>

#include <zurududo/benchmarks.h>

namespace zurududo::benchmarks {

namespace {

struct Number {
    long value;
    long line;
};

[[noreturn]] void reject_at(std::string_view origin, long line, const std::string& what) {
    throw schedule::Error(schedule::ErrorKind::instance, 0,
                          std::string(origin) + ":" + std::to_string(line) + ": " + what);
}

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// Every number of the text with its line; a word that is not a non-negative
// integer of at most INT_MAX is rejected.
std::vector<Number> numbers_of(std::string_view text, std::string_view origin) {
    std::vector<Number> numbers;
    long line = 1;
    std::size_t at = 0;
    while (at < text.size()) {
        const char c = text[at];
        if (c == '\n') ++line;
        if (is_space(c)) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && !is_space(text[end])) ++end;
        const std::string_view word = text.substr(at, end - at);
        long value = 0;
        const auto [stop, status] = std::from_chars(word.data(), word.data() + word.size(), value);
        if (status == std::errc::result_out_of_range ||
            (status == std::errc() && stop == word.data() + word.size() && (value < 0 || value > INT_MAX)))
            reject_at(origin, line,
                      "\"" + std::string(word) + "\" is out of range (0 … " + std::to_string(INT_MAX) + ")");
        if (status != std::errc() || stop != word.data() + word.size() || word.front() == '-')
            reject_at(origin, line, "\"" + std::string(word.substr(0, 40)) + "\" is not a non-negative integer");
        numbers.push_back({value, line});
        at = end;
    }
    return numbers;
}

}  // namespace

std::vector<schedule::Instance<schedule::SINGLE_MACHINE>> read_weighted_tardiness(std::string_view text, int jobs,
                                                                                  std::string_view origin) {
    if (jobs < 1)
        throw schedule::Error(schedule::ErrorKind::argument, 999,
                              "read_weighted_tardiness: " + std::to_string(jobs) + " jobs (at least 1)");
    const std::vector<Number> numbers = numbers_of(text, origin);
    const std::size_t per_instance = 3 * static_cast<std::size_t>(jobs);
    if (numbers.empty()) reject_at(origin, 1, "no instance");
    if (numbers.size() % per_instance != 0) {
        const std::size_t complete = numbers.size() / per_instance;
        reject_at(origin, numbers.back().line,
                  "instance " + std::to_string(complete + 1) + " is cut short: " +
                      std::to_string(numbers.size() - complete * per_instance) + " of " + std::to_string(per_instance) +
                      " numbers (" + std::to_string(jobs) + " processing times, weights and due dates)");
    }
    std::vector<schedule::Instance<schedule::SINGLE_MACHINE>> instances;
    instances.reserve(numbers.size() / per_instance);
    for (std::size_t first = 0; first < numbers.size(); first += per_instance) {
        schedule::SINGLE_MACHINE record{};
        record.jobs = jobs;
        record.machines = 1;
        record.pt = schedule::newIVector(jobs);
        record.w = schedule::newDVector(jobs);
        record.dd = schedule::newLVector(jobs);
        record.r = schedule::newIVector(jobs);
        instances.emplace_back(record);
        for (int j = 0; j < jobs; ++j) {
            record.pt[j] = static_cast<int>(numbers[first + j].value);
            record.w[j] = static_cast<double>(numbers[first + jobs + j].value);
            record.dd[j] = numbers[first + 2 * static_cast<std::size_t>(jobs) + j].value;
            record.r[j] = 0;
        }
    }
    return instances;
}

}  // namespace zurududo::benchmarks
