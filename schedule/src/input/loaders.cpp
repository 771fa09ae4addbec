// The instance loaders: one procedure for the seven records. A load splits
// the file into tag entries, reads one attribute after another, echoing each
// accepted one and reporting absent or inconsistent ones, then writes its
// summary; the report goes to the caller's stream as it would to the console,
// and a rejected load throws it whole.
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "schedule/checked.h"
#include "input/tag_entries.h"
#include "schedule/schedule.h"
#include "support/allocation.h"
#include "support/failure.h"
#include "support/text_out.h"

namespace schedule {

namespace {

using namespace tag_entries;

// What a strict load accepts of the elements of an attribute: whole numbers
// in low … high, or (`real`) finite numbers of at least `low`. problem() is
// empty for an element that is accepted, else what is wrong with it.
struct Rule {
    bool real;
    long low;
    long high;

    std::string problem(std::string_view text) const {
        while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
        while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
        const std::string quoted = "(\"" + std::string(text) + "\")";
        if (real) {
            const std::string copy(text);
            char* end = nullptr;
            errno = 0;
            const double value = copy.empty() ? 0.0 : std::strtod(copy.c_str(), &end);
            if (copy.empty() || end != copy.c_str() + copy.size() || !std::isfinite(value) || errno == ERANGE)
                return "is not a finite number " + quoted;
            if (value < static_cast<double>(low)) return "must be at least " + std::to_string(low) + " " + quoted;
            return {};
        }
        std::string_view digits = text;
        if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
        long value = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (digits.empty() || end != digits.data() + digits.size() || (ec != std::errc{} && ec != std::errc::result_out_of_range) ||
            (!digits.empty() && digits.front() == '+'))
            return "is not an integer " + quoted;
        if (ec == std::errc::result_out_of_range) return "is out of range " + quoted;
        if (value < low) return "must be at least " + std::to_string(low) + " " + quoted;
        if (value > high) return "must be at most " + std::to_string(high) + " " + quoted;
        return {};
    }
};

// What a strict load accepts of each attribute.
constexpr Rule count_rule{false, INT_MIN, INT_MAX};
constexpr Rule due_date_rule{false, LONG_MIN, LONG_MAX};
constexpr Rule release_rule{false, INT_MIN, INT_MAX};
constexpr Rule weight_rule{true, 0, 0};
constexpr Rule time_rule{false, 0, INT_MAX};
constexpr Rule speed_rule{false, 1, INT_MAX};

class InstanceLoad {
public:
    // `text`, when given, is the file's content, and `filename` only names it.
    InstanceLoad(const char* filename, const std::string_view* text, const LoadOptions& options)
        : filename_(filename), text_(text), options_(options), storage_(new Storage) {
        split_ = text != nullptr ? split_tag_text(*text, storage_->tags, storage_->contents, &storage_->lines)
                                 : split_tag_file(filename, storage_->tags, storage_->contents, &storage_->lines);
        if (split_.entries_beyond > 0) {
            out_.printf("WARNING: The file %s holds more than %d tag entries; the %d entries after "
                        "the %dth are ignored.\n",
                        filename_, tag_entry_slots, split_.entries_beyond, tag_entry_slots);
            ++warnings_;
        }
    }

    InstanceLoad(const InstanceLoad&) = delete;
    InstanceLoad& operator=(const InstanceLoad&) = delete;

    // A load that ends early (storage that cannot be had) still shows what it
    // had reported.
    ~InstanceLoad() { deliver(); }

    bool has_errors() const { return errors_ > 0; }

    // A strict load first looks at the tags themselves: a file with no tag
    // entry at all (another layout, most likely) and a tag that no record
    // knows (a misspelt JOBS, say) are errors.
    void check_tags() {
        if (!options_.strict) return;
        bool tagged = split_.entries_beyond > 0;
        for (int entry = 0; entry < split_.entries; ++entry) {
            const auto name = tag_name(storage_->tags[entry]);
            if (!name) continue;
            tagged = true;
            const auto what = unknown_tag(*name);
            if (!what) continue;
            out_.printf("ERROR: The tag %.*s in the file %s is unknown%s. The program cannot continue.\n",
                        static_cast<int>(name->size()), name->data(), filename_,
                        what->substr(std::string_view("unknown tag ").size() + name->size()).c_str());
            ++errors_;
            fault(tag_line(entry), *what);
        }
        if (tagged) return;
        const std::string what = untagged_text();
        out_.printf("ERROR: The file %s %s. The program cannot continue.\n", filename_, what.c_str());
        ++errors_;
        fault(0, "the file " + what);
    }

    // JOBS (and any other count): echoed as "[NAME = n]"; absent, or below 1,
    // it is an error and the count is −1 or the value read.
    int count(const char* name) {
        const int entry = find(name);
        if (entry == cut_entry) return -1;
        if (entry >= 0 && !strictly_valid(name, entry, false, count_rule)) return -1;
        const int value = entry < 0 ? -1 : to_int(storage_->contents[entry]);
        if (value == -1) {
            out_.printf("ERROR: The number of %s is not specified in the file %s. The program cannot "
                        "continue.\n",
                        name, filename_);
            ++errors_;
            fault(entry < 0 ? 0 : tag_line(entry), std::string(name) + " is not specified");
        } else if (value < 1) {
            out_.printf("ERROR: The number of %s in the file %s must be at least 1 (%s=%d). The "
                        "program cannot continue.\n",
                        name, filename_, name, value);
            ++errors_;
            fault(tag_line(entry), std::string(name) + " must be at least 1 (" + name + "=" + std::to_string(value) + ")");
        } else {
            out_.printf("[%s = %d]\n", name, value);
        }
        return value;
    }

    // What happens when a vector attribute is absent: the message that says
    // so and whether it counts as an error.
    struct Absence {
        const char* message;  // format with one %s, the file name
        bool is_error;
    };

    // A vector attribute that must have `expected` elements, `expected` being
    // the count called `count_name` in the messages. Returns the vector read
    // (kept even when its size is wrong) or null when the attribute is absent.
    template <class T>
    Vector<T> vector(const char* name, int expected, const char* count_name, Absence absence, const Rule& rule) {
        const int entry = find(name);
        if (entry == cut_entry) return nullptr;
        if (entry < 0) {
            out_.printf(absence.message, filename_);
            if (absence.is_error) fault(0, std::string(name) + " is not specified");
            ++(absence.is_error ? errors_ : warnings_);
            return nullptr;
        }
        if (!strictly_valid(name, entry, false, rule)) return nullptr;
        T* read = nullptr;
        const int size = list_to_vector(storage_->contents[entry], &read);
        Vector<T> v(read);
        if (size != expected) {
            out_.printf("ERROR: The size of the vector %s is different than the number of %s (%s=%d, "
                        "size of %s=%d). The program cannot continue.\n",
                        name, count_name, count_name, expected, name, size);
            ++errors_;
            fault(tag_line(entry), std::string(name) + " has " + std::to_string(size) + " entries where " + count_name +
                                       " is " + std::to_string(expected));
        } else {
            out_.printf("%s=", name);
            put_vector(out_, v.get(), size);
        }
        return v;
    }

    // A matrix attribute of `rows` × `cols`, the two counts called
    // `rows_name` and `cols_name` in the messages. The matrix is allocated
    // only once the content has the shape the counts claim, so a short file
    // with huge counts allocates nothing by them; null otherwise.
    Matrix matrix(const char* name, int rows, const char* rows_name, int cols, const char* cols_name, const Rule& rule) {
        const int entry = find(name);
        if (entry == cut_entry) return {};
        const char* content = entry < 0 ? nullptr : storage_->contents[entry];
        const int status = content == nullptr ? matrix_absent : parse_matrix(content, nullptr, rows, cols);
        switch (status) {
            case matrix_filled: {
                if (!strictly_valid(name, entry, true, rule)) return {};
                Matrix m = Matrix::allocate(rows, cols);
                fill_matrix(content, m.get(), rows, cols);
                out_.printf("%s:\n", name);
                put_matrix(out_, m.get(), rows, cols);
                return m;
            }
            case matrix_rows_differ:
                out_.printf("ERROR: The number of rows of matrix %s is different than the number of %s -- each "
                            "row must end with a ;). The program cannot continue.\n",
                            name, rows_name);
                fault(tag_line(entry), std::string(name) + " has " +
                                           std::to_string(count_in(content, content + std::strlen(content), ';') + 1) +
                                           " rows where " + rows_name + " is " + std::to_string(rows) +
                                           " (rows are separated by ;)");
                break;
            case matrix_row_length_differs: {
                out_.printf("ERROR:The no. of elements in some row in %s is different than the number of %s. "
                            "The program cannot continue.\n",
                            name, cols_name);
                // The first row of another length, and the line it starts on.
                int row = 0;
                const char* start = content;
                for (;; ++row) {
                    const char* end = row_end(start);
                    const int length = elements_in(start, end);
                    if (length != cols) {
                        fault(storage_->lines.line_of(entry, static_cast<int>(start - content)),
                              std::string(name) + " row " + std::to_string(row) + " has " + std::to_string(length) +
                                  " entries where " + cols_name + " is " + std::to_string(cols));
                        break;
                    }
                    start = end + 1;
                }
                break;
            }
            default:
                out_.printf("ERROR: No values for %s are specified in the file %s. The program cannot "
                            "continue.\n",
                            name, filename_);
                fault(entry < 0 ? 0 : tag_line(entry), std::string(name) + " is not specified");
                break;
        }
        ++errors_;
        return {};
    }

    // The summary line; a load with errors is rejected here, the whole report
    // in the error.
    void finish() {
        out_.printf("\nLoading %s completed with %d errors and %d warnings.\n", filename_, errors_, warnings_);
        if (errors_ > 0) out_.write("The program cannot continue.\n");
        deliver();
        if (errors_ == 0) return;
        const std::string place = fault_line_ > 0 ? ":" + std::to_string(fault_line_) : "";
        fail(ErrorKind::instance, 0, std::string(filename_) + place + ": " + fault_, report_);
    }

private:
    static constexpr int cut_entry = -2;

    struct Storage {
        char tags[tag_entry_slots][tag_text_size];
        char contents[tag_entry_slots][tag_content_size];
        TagLines lines;
    };

    // The entry of the attribute `name` (tag "[name="), −1 when there is none,
    // or cut_entry (after reporting it) when its content did not fit: a cut
    // attribute is never read, since its data would be wrong.
    int find(const char* name) {
        const std::string tag = std::string("[") + name + "=";
        const int entry = find_entry(tag.c_str(), storage_->tags, split_.entries);
        if (entry < 0 || !split_.content_cut[entry]) return entry;
        out_.printf("ERROR: The content of %s in the file %s is longer than %d characters. The "
                    "program cannot continue.\n",
                    name, filename_, content_chars);
        ++errors_;
        fault(tag_line(entry), std::string(name) + " is longer than " + std::to_string(content_chars) + " characters");
        return cut_entry;
    }

    int tag_line(int entry) const { return storage_->lines.tag_line[entry]; }

    // The first error of a load is the fault its Error leads with.
    void fault(int line, std::string what) {
        if (!fault_.empty()) return;
        fault_line_ = line;
        fault_ = std::move(what);
    }

    // What a file without a single tag entry is: empty, or what layout it looks like.
    std::string untagged_text() const {
        std::string head;
        if (text_ != nullptr) {
            head = std::string(text_->substr(0, 1 << 16));
        } else if (std::FILE* file = std::fopen(filename_, "r")) {
            head.resize(1 << 16);
            head.resize(std::fread(head.data(), 1, head.size(), file));
            std::fclose(file);
        }
        if (head.find_first_not_of(" \t\r\n") == std::string::npos) return "is empty";
        std::string layouts;
        const std::vector<Layout> likely = likely_layouts(head);
        for (std::size_t k = 0; k < likely.size(); ++k)
            layouts += std::string(k == 0 ? "" : k + 1 == likely.size() ? " or " : ", ") +
                       std::string(layout_name(likely[k]));
        return "holds no tag entry [NAME=...]: it is not a tagged file" +
               (layouts.empty() ? std::string() : "; it looks like layout " + layouts);
    }

    // In a strict load, every element of `content` (rows separated by ";"
    // in a matrix) must keep `rule`; the first that does not is reported as
    // an error and the attribute is not read.
    bool strictly_valid(const char* name, int entry, bool is_matrix, const Rule& rule) {
        if (!options_.strict) return true;
        const char* const content = storage_->contents[entry];
        int row = 0;
        int column = 0;
        for (const char* element = content;;) {
            const char* end = element;
            while (*end != '\0' && *end != ',' && !(is_matrix && *end == ';')) ++end;
            const std::string problem = rule.problem(std::string_view(element, static_cast<std::size_t>(end - element)));
            if (!problem.empty()) {
                char at[32];
                if (is_matrix) {
                    std::snprintf(at, sizeof at, "[%d][%d]", row, column);
                } else {
                    std::snprintf(at, sizeof at, "[%d]", column);
                }
                out_.printf("ERROR: %s%s in the file %s %s. The program cannot continue.\n", name, at,
                            filename_, problem.c_str());
                ++errors_;
                fault(storage_->lines.line_of(entry, static_cast<int>(element - content)), name + std::string(at) + " " + problem);
                return false;
            }
            if (*end == '\0') return true;
            if (*end == ';') {
                ++row;
                column = 0;
            } else {
                ++column;
            }
            element = end + 1;
        }
    }

    // Hands the report to the echo stream, once.
    void deliver() {
        out_.flush();
        if (options_.echo != nullptr && delivered_ < report_.size()) {
            std::fwrite(report_.data() + delivered_, 1, report_.size() - delivered_, options_.echo);
        }
        delivered_ = report_.size();
    }

    const char* filename_;
    const std::string_view* text_;
    LoadOptions options_;
    std::unique_ptr<Storage> storage_;
    TagSplit split_;
    int errors_ = 0;
    int warnings_ = 0;
    std::string fault_;
    int fault_line_ = 0;
    std::string report_;
    std::size_t delivered_ = 0;
    TextOut out_{report_};
};

constexpr InstanceLoad::Absence dd_absent{
    "WARNING: No values for DD are specified in the file %s. The program can continue, but it will "
    "produce errors if due-date related objectives are computed.\n",
    false};
constexpr InstanceLoad::Absence r_absent{
    "WARNING: No values for R are specified in the file %s. The program can continue, they will be "
    "treated as zero.\n",
    false};
constexpr InstanceLoad::Absence w_absent{
    "WARNING: No values for W are specified in the file %s. The program can continue, they will be "
    "treated as 1.0.\n",
    false};
constexpr InstanceLoad::Absence pt_vector_absent{
    "WARNING: No values for PT are specified in the file %s. The program cannot continue.\n", true};

constexpr InstanceLoad::Absence v_absent{
    "WARNING: No values for V are specified in the file %s. The program cannot continue.\n", true};

// A vector of `len` copies of `value`: the default of an absent attribute.
template <class T>
Vector<T> filled_vector(int len, T value) {
    Vector<T> v(vector_or_throw<T>(len));
    for (int i = 0; i < len; ++i) v[i] = value;
    return v;
}

// The one loading procedure of every record: the counts, then DD, V (uniform
// machines), R and W, then the processing data PT and, for the job shop, RT.
// PT is looked up only when nothing failed before it, RT only when PT was
// accepted. Everything read is held until the summary: a load that fails
// frees it. Absent R and W get their defaults only once the load has
// succeeded, when the file's own data have confirmed the job count.
template <class Record>
Instance<Record> load_record(InstanceLoad& load) {
    Record record{};
    load.check_tags();
    record.jobs = load.count("JOBS");
    if constexpr (std::is_same_v<Record, SINGLE_MACHINE>) {
        record.machines = 1;
    } else {
        record.machines = load.count("MACHINES");
    }
    auto dd = load.vector<long>("DD", record.jobs, "JOBS", dd_absent, due_date_rule);
    Vector<int> v;
    if constexpr (requires(Record& x) { x.v; }) {
        v = load.vector<int>("V", record.machines, "MACHINES", v_absent, speed_rule);
    }
    auto r = load.vector<int>("R", record.jobs, "JOBS", r_absent, release_rule);
    auto w = load.vector<double>("W", record.jobs, "JOBS", w_absent, weight_rule);
    constexpr bool pt_is_vector = std::is_same_v<decltype(record.pt), int*>;
    Vector<int> pt_vector;
    Matrix pt_matrix;
    if (!load.has_errors()) {
        if constexpr (pt_is_vector) {
            pt_vector = load.vector<int>("PT", record.jobs, "JOBS", pt_vector_absent, time_rule);
        } else {
            pt_matrix = load.matrix("PT", record.machines, "MACHINES", record.jobs, "JOBS", time_rule);
        }
    }
    Matrix rt;
    if constexpr (requires(Record& x) { x.rt; }) {
        if (!load.has_errors()) {
            const Rule machine_rule{false, 0, record.machines - 1L};
            rt = load.matrix("RT", record.jobs, "JOBS", record.machines, "MACHINES", machine_rule);
        }
    }
    load.finish();

    if (r == nullptr) r = filled_vector(record.jobs, 0);
    if (w == nullptr) w = filled_vector(record.jobs, 1.0);
    record.dd = dd.release();
    record.r = r.release();
    record.w = w.release();
    if constexpr (requires(Record& x) { x.v; }) record.v = v.release();
    if constexpr (pt_is_vector) {
        record.pt = pt_vector.release();
    } else {
        record.pt = pt_matrix.release();
    }
    if constexpr (requires(Record& x) { x.rt; }) record.rt = rt.release();
    return Instance<Record>(record);
}

}  // namespace

template <InstanceRecord Record>
Instance<Record> load(const std::string& path, const LoadOptions& options) {
    InstanceLoad loading(path.c_str(), nullptr, options);
    return load_record<Record>(loading);
}

template <InstanceRecord Record>
Instance<Record> load_text(std::string_view text, const std::string& name, const LoadOptions& options) {
    InstanceLoad loading(name.c_str(), &text, options);
    return load_record<Record>(loading);
}

#define SCHEDULE_LOADER(RECORD)                                                                        \
    template Instance<RECORD> load<RECORD>(const std::string&, const LoadOptions&);                   \
    template Instance<RECORD> load_text<RECORD>(std::string_view, const std::string&, const LoadOptions&); \
    RECORD load_##RECORD(const char* filename) {                                                       \
        return or_end_process([&] { return load<RECORD>(filename, LoadOptions{stdout, false}).release(); }); \
    }
SCHEDULE_LOADER(SINGLE_MACHINE)
SCHEDULE_LOADER(PARALLEL_MACHINES)
SCHEDULE_LOADER(RELATED_MACHINES)
SCHEDULE_LOADER(UNRELATED_MACHINES)
SCHEDULE_LOADER(FLOWSHOP)
SCHEDULE_LOADER(OPENSHOP)
SCHEDULE_LOADER(JOBSHOP)
#undef SCHEDULE_LOADER

}  // namespace schedule
