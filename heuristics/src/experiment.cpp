// One run of a method on a named instance, its row and CSV line, the CSV
// file rows are appended to, the grid of runs, and summaries.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <iomanip>
#include <map>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include <zurududo/experiment.h>

#include "numbers.h"

#ifndef ZURUDUDO_VERSION
#define ZURUDUDO_VERSION "unknown"
#endif

namespace zurududo::experiment {

namespace {

using internal::fixed;
using internal::number;
using internal::shortest;
using internal::whole;

[[noreturn]] void refuse(const std::string& message) {
    throw schedule::Error(schedule::ErrorKind::argument, 999, message);
}


// At most trace_limit points: the first, the last and evenly between.
void thin(std::vector<std::pair<double, double>>& trace) {
    if (trace.size() <= trace_limit) return;
    std::vector<std::pair<double, double>> kept;
    const double step = static_cast<double>(trace.size() - 1) / static_cast<double>(trace_limit - 1);
    for (std::size_t k = 0; k < trace_limit; ++k)
        kept.push_back(trace[static_cast<std::size_t>(std::lround(step * static_cast<double>(k)))]);
    trace = std::move(kept);
}

}  // namespace

std::string budget_text(const Settings& settings) {
    std::string text;
    auto add = [&text](const std::string& part) { text += (text.empty() ? "" : ";") + part; };
    if (settings.time_factor > 0) add("time_factor=" + shortest(settings.time_factor));
    if (settings.seconds > 0) add("time_limit=" + shortest(settings.seconds));
    if (settings.iterations > 0) add("iterations=" + std::to_string(settings.iterations));
    if (settings.target) add("target=" + shortest(*settings.target));
    if (settings.stop_at_best_known) add("stop_at_best");
    return text.empty() ? "none" : text;
}

void parse_budget(std::string_view text, Settings& settings) {
    settings.time_factor = settings.seconds = 0;
    settings.iterations = 0;
    settings.target.reset();
    settings.stop_at_best_known = false;
    if (text == "none") return;
    std::string rest(text);
    std::istringstream parts(rest);
    for (std::string part; std::getline(parts, part, ';');) {
        const auto equals = part.find('=');
        const std::string name = part.substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : part.substr(equals + 1);
        try {
            if (name == "stop_at_best" && equals == std::string::npos) {
                settings.stop_at_best_known = true;
            } else if (name == "iterations" && whole(value) > 0) {
                settings.iterations = whole(value);
            } else if ((name == "time_factor" || name == "time_limit") && number(value) > 0 &&
                       std::isfinite(number(value))) {
                (name == "time_factor" ? settings.time_factor : settings.seconds) = number(value);
            } else if (name == "target" && std::isfinite(number(value))) {
                settings.target = number(value);
            } else {
                throw std::invalid_argument("budget");
            }
        } catch (const std::logic_error&) {
            refuse("'" + std::string(text) +
                   "' is no budget: time_factor=T, time_limit=S or iterations=N, with target=V or stop_at_best, "
                   "joined by ';'");
        }
    }
}

double time_limit(const benchmarks::Entry& entry, const Settings& settings) {
    return settings.time_factor > 0 ? settings.time_factor * entry.jobs * entry.machines / 2000.0 : settings.seconds;
}

std::string_view clock_name(heuristics::Clock clock) noexcept {
    return clock == heuristics::Clock::thread_cpu ? "cpu" : "wall";
}

std::pair<std::string, std::string> method_and_parameters(const Settings& settings) {
    const solvers::Method& method = solvers::method_named(settings.method);
    std::string text;
    const solvers::Settings values = solvers::settings(method, settings.parameters);
    for (const auto& [name, value] : values.values())
        text += (text.empty() ? "" : ";") + name + "=" + value;
    return {method.name, text};
}

std::string_view toolkit_version() noexcept { return ZURUDUDO_VERSION; }

std::string machine_name() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "unknown";
    return name;
}

Row run(const benchmarks::Entry& entry, const Settings& settings, const std::atomic<bool>* stop) {
    Row row;
    solvers::Request request;
    request.method = settings.method;
    request.objective = entry.objective;
    request.parameters = settings.parameters;
    request.options.budget.clock = settings.clock;
    request.options.budget.iterations = settings.iterations;
    request.options.budget.seconds = time_limit(entry, settings);
    request.options.seed = settings.seed;
    request.options.on_improvement = [&row](const heuristics::Improvement& improvement) {
        row.seconds_to_best = improvement.seconds;
        row.trace.emplace_back(improvement.seconds, improvement.value);
    };
    if (stop != nullptr) request.options.cancelled = [stop] { return stop->load(std::memory_order_relaxed); };
    if (settings.target) request.options.target = *settings.target;
    request.entry = &entry;
    request.stop_at_best_known = settings.stop_at_best_known;
    solvers::Outcome outcome;
    try {
        const auto instance = benchmarks::make_instance(entry);
        const solvers::Plan plan = solvers::plan(instance, request);
        outcome = solvers::run(instance, plan);
        // Cut short: the stop flag was set, and neither the budget nor the target ended the run.
        const heuristics::Result& result = outcome.result;
        const bool own_end = plan.method->kind != solvers::Kind::search ||
                             (plan.options.budget.iterations > 0 && result.iterations >= plan.options.budget.iterations) ||
                             (plan.options.budget.seconds > 0 && result.seconds >= plan.options.budget.seconds) ||
                             result.value <= plan.options.target;
        row.interrupted = stop != nullptr && stop->load() && !own_end;
    } catch (const schedule::Error& e) {
        if (e.kind() != schedule::ErrorKind::argument) throw;
        refuse(entry.name + ": " + e.what());
    }
    const heuristics::Result& result = outcome.result;
    std::tie(row.method, row.parameters) = method_and_parameters(settings);
    row.instance = entry.name;
    row.group = std::to_string(entry.jobs) + "x" + std::to_string(entry.machines);
    row.seed = settings.seed;
    row.best_known = entry.best_known;
    row.best_known_classic = entry.best_known_classic;
    row.value = result.value;
    row.rpd = entry.best_known != 0 ? benchmarks::rpd(result.value, static_cast<double>(entry.best_known))
                                    : (result.value == 0 ? 0.0 : 100.0);
    if (entry.best_known_classic)
        row.rpd_classic = benchmarks::rpd(result.value, static_cast<double>(*entry.best_known_classic));
    row.seconds = result.seconds;
    if (result.iterations == 0) row.seconds_to_best = result.seconds;
    row.iterations = result.iterations;
    row.budget = budget_text(settings);
    row.clock = clock_name(settings.clock);
    row.objective = outcome.objective;
    row.set = entry.set;
    row.version = toolkit_version();
    row.machine = machine_name();
    thin(row.trace);
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

// ---------------------------------------------------------------------------
// The file rows are appended to
// ---------------------------------------------------------------------------

CsvFile::CsvFile(std::string path) : path_(std::move(path)) {
    auto fail = [this](const char* what) {
        const int error = errno;
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        throw schedule::Error(schedule::ErrorKind::file, 2,
                              "cannot " + std::string(what) + " " + path_ + ": " + std::strerror(error));
    };
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd_ < 0) fail("open");
    struct stat status {};
    if (::fstat(fd_, &status) != 0) fail("read");
    if (!S_ISREG(status.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw schedule::Error(schedule::ErrorKind::file, 2, path_ + " is not a regular file");
    }
    std::string text;
    char buffer[1 << 16];
    for (off_t offset = 0;;) {
        const ssize_t got = ::pread(fd_, buffer, sizeof buffer, offset);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) fail("read");
        if (got == 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
        offset += got;
    }
    // A last line without its newline was cut short: it goes, so that the next row starts a line.
    const std::size_t whole_lines = text.rfind('\n') == std::string::npos ? 0 : text.rfind('\n') + 1;
    if (whole_lines < text.size()) {
        if (::ftruncate(fd_, static_cast<off_t>(whole_lines)) != 0) fail("repair");
        text.resize(whole_lines);
    }
    try {
        existing_ = read_csv_rows(text, path_);
    } catch (...) {
        ::close(fd_);
        fd_ = -1;
        throw;
    }
    for (const Row& row : existing_)
        if (!row.interrupted) finished_.insert(run_key(row));
    // A new file gets the header; one whose last header is of an earlier
    // version gets this version's, which names the columns of the rows to come.
    const std::size_t last = text.rfind("\ninstance,");
    const std::string_view last_header = std::string_view(text).substr(last == std::string::npos ? 0 : last + 1);
    if (text.empty() || last_header.substr(0, csv_header().size()) != csv_header()) append_line(csv_header());
}

CsvFile::~CsvFile() {
    if (fd_ >= 0) ::close(fd_);
}

bool CsvFile::finished(const std::string& key) const {
    const std::lock_guard<std::mutex> guard(lock_);
    return finished_.count(key) != 0;
}

void CsvFile::append(const Row& row) {
    append_line(csv_line(row));
    if (!row.interrupted) {
        const std::lock_guard<std::mutex> guard(lock_);
        finished_.insert(run_key(row));
    }
}

void CsvFile::append_line(std::string_view line) {
    const std::lock_guard<std::mutex> guard(lock_);
    // One write of the whole line; a short write (a full disk) is completed
    // or, failing that, cut off again so that no half row stays.
    struct stat before {};
    if (::fstat(fd_, &before) != 0) before.st_size = -1;
    std::size_t written = 0;
    while (written < line.size()) {
        const ssize_t put = ::write(fd_, line.data() + written, line.size() - written);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            const int error = put < 0 ? errno : ENOSPC;
            if (written > 0 && before.st_size >= 0) (void)!::ftruncate(fd_, before.st_size);
            throw schedule::Error(schedule::ErrorKind::file, 999,
                                  "cannot write to " + path_ + ": " + std::strerror(error));
        }
        written += static_cast<std::size_t>(put);
    }
}

// ---------------------------------------------------------------------------
// Progress and the grid
// ---------------------------------------------------------------------------

namespace {

std::string clock_text(double seconds) {
    const long total = std::lround(std::max(0.0, seconds));
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
    return text;
}

}  // namespace

std::string progress_line(const Progress& progress) {
    std::string line = std::to_string(progress.done) + "/" + std::to_string(progress.total) + " runs · " +
                       clock_text(progress.elapsed) + " elapsed";
    if (progress.done < progress.total)
        line += progress.remaining ? " · about " + clock_text(*progress.remaining) + " left" : " · time left unknown";
    if (progress.mean_rpd) line += " · mean RPD " + fixed(*progress.mean_rpd, 3) + " %";
    if (progress.skipped > 0) line += " (" + std::to_string(progress.skipped) + " done before, skipped)";
    if (progress.stopping) line += " · stopping";
    return line;
}

std::optional<double> estimate_remaining(double planned_left, double planned_done, double wall_done_sum,
                                         std::size_t done, std::size_t left, int threads, bool all_timed) {
    if (left == 0) return 0.0;
    const double width = std::max(1, threads);
    if (all_timed) {
        // The budgets are known; finished runs tell how much longer than them a run takes here.
        const double stretch = done > 0 && planned_done > 0 ? std::max(1.0, wall_done_sum / planned_done) : 1.0;
        return planned_left * stretch / width;
    }
    if (done == 0) return std::nullopt;
    return wall_done_sum / static_cast<double>(done) * static_cast<double>(left) / width;
}

GridResult run_grid(const std::vector<Task>& tasks, const GridOptions& options) {
    using clock = std::chrono::steady_clock;
    const auto start = clock::now();
    auto since = [](clock::time_point from) { return std::chrono::duration<double>(clock::now() - from).count(); };

    GridResult result;
    // The runs to make: those the CSV file does not hold finished.
    std::vector<std::size_t> todo;
    std::vector<std::string> keys(tasks.size());
    for (std::size_t k = 0; k < tasks.size(); ++k) {
        const Task& task = tasks[k];
        Row key;
        std::tie(key.method, key.parameters) = method_and_parameters(task.settings);
        key.instance = task.entry->name;
        key.seed = task.settings.seed;
        key.budget = budget_text(task.settings);
        keys[k] = run_key(key);
        if (options.csv != nullptr && options.csv->finished(keys[k])) {
            ++result.skipped;
            continue;
        }
        todo.push_back(k);
    }

    std::vector<std::optional<Row>> rows(tasks.size());
    std::mutex lock;
    std::condition_variable changed;
    std::size_t next = 0, done = 0, running = 0;
    double planned_left = 0, planned_done = 0, wall_done = 0, rpd_sum = 0;
    std::size_t rpd_count = 0;
    bool all_timed = true;
    std::vector<double> planned(tasks.size());
    for (const std::size_t k : todo) {
        planned[k] = time_limit(*tasks[k].entry, tasks[k].settings);
        if (planned[k] <= 0 || tasks[k].settings.iterations > 0) all_timed = false;
        planned_left += planned[k];
    }
    std::exception_ptr error;
    const int threads = std::max(1, std::min<int>(options.threads, static_cast<int>(todo.size())));
    const bool stopped_by_flag = options.stop != nullptr;

    auto progress_now = [&] {  // under the lock
        Progress progress;
        progress.done = done;
        progress.total = todo.size();
        progress.skipped = result.skipped;
        progress.running = running;
        progress.elapsed = since(start);
        progress.remaining =
            estimate_remaining(planned_left, planned_done, wall_done, done, todo.size() - done, threads, all_timed);
        if (rpd_count > 0) progress.mean_rpd = rpd_sum / static_cast<double>(rpd_count);
        progress.stopping = stopped_by_flag && options.stop->load();
        return progress;
    };

    auto worker = [&] {
        for (;;) {
            std::size_t k;
            {
                const std::lock_guard<std::mutex> guard(lock);
                if (next >= todo.size() || error || (stopped_by_flag && options.stop->load())) return;
                k = todo[next++];
                ++running;
            }
            const auto began = clock::now();
            std::optional<Row> row;
            std::exception_ptr failed;
            try {
                row = run(*tasks[k].entry, tasks[k].settings, options.stop);
                if (options.csv != nullptr) options.csv->append(*row);
            } catch (...) {
                failed = std::current_exception();
            }
            const std::lock_guard<std::mutex> guard(lock);
            --running;
            if (failed) {
                if (!error) error = failed;
            } else {
                ++done;
                planned_left -= planned[k];
                planned_done += planned[k];
                wall_done += since(began);
                if (!row->interrupted) {
                    rpd_sum += row->rpd;
                    ++rpd_count;
                }
                if (options.on_row) options.on_row(*row, progress_now());
                rows[k] = std::move(row);
            }
            changed.notify_all();
        }
    };

    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back(worker);
    {
        std::unique_lock<std::mutex> guard(lock);
        const auto tick = std::chrono::duration<double>(options.tick_seconds > 0 ? options.tick_seconds : 1.0);
        auto finished = [&] {
            return (next >= todo.size() || error || (stopped_by_flag && options.stop->load())) && running == 0;
        };
        while (!finished()) {
            if (!changed.wait_for(guard, tick, finished) && options.on_tick) options.on_tick(progress_now());
        }
    }
    for (std::thread& thread : pool)
        thread.join();
    if (error) std::rethrow_exception(error);
    for (std::size_t k = 0; k < tasks.size(); ++k) {
        if (rows[k]) {
            result.table.push_back(*rows[k]);
            result.rows.push_back(std::move(*rows[k]));
        } else if (options.csv != nullptr) {
            const auto& existing = options.csv->existing();
            const auto found = std::find_if(existing.rbegin(), existing.rend(),
                                            [&](const Row& r) { return !r.interrupted && run_key(r) == keys[k]; });
            if (found != existing.rend()) result.table.push_back(*found);
        }
    }
    result.stopped = stopped_by_flag && options.stop->load() &&
                     (done < todo.size() ||
                      std::any_of(result.rows.begin(), result.rows.end(), [](const Row& r) { return r.interrupted; }));
    return result;
}

// ---------------------------------------------------------------------------
// Stopping on signals
// ---------------------------------------------------------------------------

namespace {

std::atomic<bool> stop_flag{false};
std::atomic<int> stop_signal{0};
std::atomic<bool> second_signal_ends{true};

extern "C" void on_stop_signal(int number) {
    stop_signal.store(number);
    stop_flag.store(true);
    if (second_signal_ends.load()) std::signal(number, SIG_DFL);  // a second one ends the process
}

}  // namespace

struct StopOnSignals::Saved {
    struct sigaction interrupt {}, terminate {};
};

StopOnSignals::StopOnSignals(bool second_ends) : saved_(new Saved) {
    second_signal_ends.store(second_ends);
    stop_flag.store(false);
    stop_signal.store(0);
    struct sigaction action {};
    action.sa_handler = on_stop_signal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &saved_->interrupt);
    sigaction(SIGTERM, &action, &saved_->terminate);
}

StopOnSignals::~StopOnSignals() {
    sigaction(SIGINT, &saved_->interrupt, nullptr);
    sigaction(SIGTERM, &saved_->terminate, nullptr);
    delete saved_;
}

const std::atomic<bool>& StopOnSignals::flag() noexcept { return stop_flag; }
int StopOnSignals::signal() noexcept { return stop_signal.load(); }
void StopOnSignals::request(int signal) noexcept {
    stop_signal.store(signal);
    stop_flag.store(true);
}

void write_summary(std::ostream& out, const std::vector<Group>& groups, bool markdown) {
    const bool classic = std::any_of(groups.begin(), groups.end(), [](const Group& g) { return g.arpd_classic; });
    std::vector<std::vector<std::string>> cells;
    cells.push_back({"group", "instances", "ARPD vs bkv %"});
    if (classic) cells.back().push_back("ARPD vs bkv_classic %");
    for (const char* title : {"reached bkv", "mean s", "max s to best"})
        cells.back().push_back(title);
    for (const Group& group : groups) {
        cells.push_back({group.group, std::to_string(group.instances), fixed(group.arpd, 3)});
        if (classic) cells.back().push_back(group.arpd_classic ? fixed(*group.arpd_classic, 3) : markdown ? "–" : "-");
        for (const std::string& cell : {std::to_string(group.reached), fixed(group.mean_seconds, 3),
                                        fixed(group.max_seconds_to_best, 3)})
            cells.back().push_back(cell);
    }
    if (markdown) {
        for (std::size_t row = 0; row < cells.size(); ++row) {
            for (const std::string& cell : cells[row])
                out << "| " << cell << " ";
            out << "|\n";
            if (row == 0) {
                out << "|---";
                for (std::size_t column = 1; column < cells[row].size(); ++column)
                    out << "|---:";
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
