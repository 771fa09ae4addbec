// The readers of plain numeric files: job-shop layouts, processing-time
// files and parameter files. Each layout is read once, by a reader that
// throws Error and writes its echo to the caller's stream; the named readers
// run it with the console as that stream and end the process on an Error.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include <sys/stat.h>

#include "schedule/checked.h"
#include "input/tag_entries.h"
#include "schedule/schedule.h"
#include "support/allocation.h"
#include "support/failure.h"
#include "support/text_out.h"

namespace schedule {

namespace {

// Room for a description line: 198 characters, its line feed and a NUL.
constexpr int description_size = 200;

// No width limit on a number's characters.
constexpr int any_width = INT_MAX;

// The next character of a file read as text: a carriage return directly
// before a line feed is dropped with it.
int next_text_char(std::FILE* file) {
    const int c = std::fgetc(file);
    if (c != '\r') return c;
    const int after = std::fgetc(file);
    if (after == '\n') return '\n';
    if (after != EOF) std::ungetc(after, file);
    return c;
}

bool is_blank(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool is_digit(int c) { return c >= '0' && c <= '9'; }

// Consumes white space up to the next other character (or the end).
void skip_blanks(std::FILE* file) {
    int c;
    do {
        c = std::fgetc(file);
    } while (is_blank(c));
    if (c != EOF) std::ungetc(c, file);
}

// Consumes everything up to and including the next line feed (or the end).
void skip_line(std::FILE* file) {
    int c;
    do {
        c = next_text_char(file);
    } while (c != '\n' && c != EOF);
}

// Reads one decimal integer as the formatted input "%d" (or "%<width>d") does:
// white space skipped, then an optional sign and digits, together at most
// `width` characters. Values beyond the range of T saturate. When no digit
// comes, the character that stopped the number is left in the file and the
// result is 0, so a number that cannot be read, or one past the end of the
// file, reads as 0.
template <class T>
T read_number(std::FILE* file, int width = any_width) {
    skip_blanks(file);
    int c = std::fgetc(file);
    int used = 0;
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        ++used;
        c = std::fgetc(file);
    }
    constexpr long long cap = 1LL << 40;  // beyond every T, and far from overflow
    long long magnitude = 0;
    while (used < width && is_digit(c)) {
        if (magnitude < cap) magnitude = magnitude * 10 + (c - '0');
        ++used;
        c = std::fgetc(file);
    }
    if (c != EOF) std::ungetc(c, file);
    const long long value = negative ? -magnitude : magnitude;
    if (value > static_cast<long long>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
    if (value < static_cast<long long>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
    return static_cast<T>(value);
}

// The file's first line, for the echo: its first description_size − 2
// characters followed by a line feed; the rest of a longer line is skipped.
// A file that ends before a line feed gives what it held, with a line feed.
struct Description {
    char text[description_size] = {};
};

Description read_description(std::FILE* file) {
    Description line;
    int len = 0;
    for (int c = next_text_char(file); c != '\n' && c != EOF; c = next_text_char(file)) {
        if (len < description_size - 2) line.text[len++] = static_cast<char>(c);
    }
    line.text[len] = '\n';
    return line;
}

// An open file that is closed when the reader is done with it. A file that
// cannot be opened is an Error (file, code 2: "File not found: <name>"), one
// that cannot be read (a directory, a failing device) an Error (file, 999).
class InputFile {
public:
    InputFile(const char* filename, const char* reader)
        : filename_(filename), reader_(reader), file_(std::fopen(filename, "r")) {
        if (file_ == nullptr) fail(ErrorKind::file, 2, filename);
    }
    ~InputFile() {
        if (file_ != nullptr) std::fclose(file_);
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    std::FILE* get() const { return file_; }

    // Closes the file once everything has been read from it.
    void finish() {
        const bool failed = std::ferror(file_) != 0;
        std::fclose(file_);
        file_ = nullptr;
        if (failed) tag_entries::unreadable(filename_);
    }

    // A header declares `jobs` and `machines`, and with them a matrix of
    // `per_cell` numbers per job and machine, plus a number or two per job
    // and per machine. Each number of the body takes at least one character
    // of the file, so a header that declares far more than the rest of the
    // file holds (beyond a margin for files that end early) or a negative
    // count is rejected before anything is allocated by it.
    void require_counts(int jobs, int machines, int per_cell) {
        std::string problem;
        if (jobs < 0 || machines < 0) {
            problem = "; neither can be negative";
        } else if (const long long left = bytes_left(); left >= 0) {
            // At most 2 × (2^31)^2 + 2^33: far from overflow.
            const long long numbers = static_cast<long long>(per_cell) * jobs * machines + 2LL * jobs + 2LL * machines;
            if (numbers <= left + short_file_margin) return;
            problem = ", more than its remaining " + std::to_string(left) + " bytes can hold";
        } else {
            return;
        }
        const std::string info = std::string(reader_) + ": the file " + filename_ + " declares " +
                                 std::to_string(jobs) + " jobs and " + std::to_string(machines) + " machines" +
                                 problem;
        fail(ErrorKind::instance, 999, info);
    }

private:
    // Numbers a file may lack at its end, read as 0 as a short file's are.
    static constexpr long long short_file_margin = 1 << 16;

    // Bytes after the current position, or −1 when the file is not a
    // regular one and its size is unknown.
    long long bytes_left() const {
        struct stat info;
        if (fstat(fileno(file_), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
        const long at = std::ftell(file_);
        return at < 0 ? -1 : static_cast<long long>(info.st_size) - at;
    }

    const char* filename_;
    const char* reader_;
    std::FILE* file_;
};

// Description line (when present), header "n m", and the storage.
PlainJobShop read_job_shop_head(InputFile& file, bool has_description, bool with_due_dates,
                                Description& description) {
    PlainJobShop data;
    if (has_description) description = read_description(file.get());
    data.jobs = read_number<int>(file.get());
    data.machines = read_number<int>(file.get());
    file.require_counts(data.jobs, data.machines, 2);
    data.pt = Matrix::allocate(data.machines, data.jobs);
    data.rm = Matrix::allocate(data.jobs, data.machines);
    if (with_due_dates) data.dd.reset(vector_or_throw<long>(data.jobs));
    return data;
}

// The m pairs "machine time" of job j; the time of operation k goes to pt[k][j].
void read_operations_in_order(std::FILE* file, PlainJobShop& data, int j) {
    for (int k = 0; k < data.machines; ++k) {
        data.rm[j][k] = read_number<int>(file);
        data.pt[k][j] = read_number<int>(file);
    }
}

void echo_instance_line(TextOut& out, const char* filename, int jobs, int machines) {
    out.printf("Instance %s - n: %d    m: %d\n", filename, jobs, machines);
}

void put_line(TextOut& out, const char* text) {
    out.write(text);
    out.put('\n');
}

// The job-shop echo: instance line, description, both matrices and, when
// read, the due dates.
void echo_job_shop(TextOut& out, const char* filename, const PlainJobShop& data, const Description* description) {
    echo_instance_line(out, filename, data.jobs, data.machines);
    if (description != nullptr) put_line(out, description->text);
    put_line(out, "Processing times matrix:");
    put_matrix(out, data.pt.get(), data.machines, data.jobs);
    put_line(out, "Routing matrix:");
    put_matrix(out, data.rm.get(), data.jobs, data.machines);
    if (data.dd != nullptr) {
        put_line(out, "Due dates:");
        put_vector(out, data.dd.get(), data.jobs);
    }
}

// The machine layout: description line, header "m n ops_per_job", per
// machine two numbers the second of which is its number of available
// machines, then per job m pairs "machine time" with pt[machine][job].
PlainJobShop read_machine_times(InputFile& file, const char* filename, TextOut& out, bool echo) {
    std::FILE* in = file.get();
    const Description description = read_description(in);
    PlainJobShop data;
    data.machines = read_number<int>(in);
    data.jobs = read_number<int>(in);
    const int ops_per_job = read_number<int>(in);
    const int m = data.machines;
    const int n = data.jobs;
    file.require_counts(n, m, 2);
    data.available.reset(vector_or_throw<int>(m));
    data.pt = Matrix::allocate(m, n);
    data.rm = Matrix::allocate(n, m);
    // A machine that appears in no pair of a job leaves that job's entry 0.
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < n; ++j) data.pt[i][j] = 0;
    for (int i = 0; i < m; ++i) {
        (void)read_number<int>(in);
        data.available[i] = read_number<int>(in);
    }
    for (int j = 0; j < n; ++j) {
        for (int k = 0; k < m; ++k) {
            const int machine = read_number<int>(in);
            if (machine < 0 || machine >= m) {
                fail(ErrorKind::instance, 999, "\nError in loadJS_MM_Data() - Machine number out of range");
            }
            data.rm[j][k] = machine;
            data.pt[machine][j] = read_number<int>(in);
        }
    }
    file.finish();
    if (echo) {
        out.printf("Instance %s - n: %d    m: %d  ops_per_job: %d\n", filename, n, m, ops_per_job);
        put_line(out, description.text);
        put_line(out, "No. of available machines:");
        put_vector(out, data.available.get(), m);
        put_line(out, "Processing times matrix:");
        put_matrix(out, data.pt.get(), m, n);
        put_line(out, "Routing matrix:");
        put_matrix(out, data.rm.get(), n, m);
    }
    return data;
}

const char* reader_name(PlainJobShopLayout layout) {
    switch (layout) {
        case PlainJobShopLayout::classic: return "loadJSData";
        case PlainJobShopLayout::due_dates: return "loadJS_DD_Data";
        case PlainJobShopLayout::due_dates_rows: return "loadJS_DD_Data_Zorvane";
        default: return "loadJS_MM_Data";
    }
}

// Every job-shop layout; the echo goes to `out` when `echo` is set.
PlainJobShop read_job_shop_file(const char* filename, PlainJobShopLayout layout, bool has_description,
                                std::FILE* out_file, bool echo) {
    InputFile file(filename, reader_name(layout));
    TextOut out(out_file);
    if (layout == PlainJobShopLayout::machine_times) return read_machine_times(file, filename, out, echo);
    if (layout == PlainJobShopLayout::classic) has_description = true;
    Description description;
    PlainJobShop data = read_job_shop_head(file, has_description, layout != PlainJobShopLayout::classic, description);
    for (int j = 0; j < data.jobs; ++j) {
        read_operations_in_order(file.get(), data, j);
        if (layout == PlainJobShopLayout::due_dates) data.dd[j] = read_number<int>(file.get());
    }
    if (layout == PlainJobShopLayout::due_dates_rows) {
        // The first non-blank line after the job rows carries nothing we use.
        skip_blanks(file.get());
        skip_line(file.get());
        for (int j = 0; j < data.jobs; ++j) {
            (void)read_number<int>(file.get());
            data.dd[j] = read_number<int>(file.get());
            (void)read_number<int>(file.get());
            (void)read_number<int>(file.get());
        }
    }
    file.finish();
    if (echo) echo_job_shop(out, filename, data, has_description ? &description : nullptr);
    return data;
}

// Width of a processing-time element in the processing-time files.
constexpr int element_width = 10;

const char* reader_name(TimesLayout layout) {
    switch (layout) {
        case TimesLayout::machine_rows: return "loadPTimes_mrows";
        case TimesLayout::machine_rows_due_dates: return "loadPTimes_mrowsDD";
        case TimesLayout::job_rows: return "loadPTimes_nrows";
        default: return "loadPTimes_nrowsDD";
    }
}

// Every processing-time layout: header "m n" and the storage, the body, then
// the instance line (written whatever `echo` says) and, with `echo`, the rest
// of the echo.
PlainTimes read_times_file(const char* filename, TimesLayout layout, std::FILE* out_file, bool echo) {
    const bool by_machine = layout == TimesLayout::machine_rows || layout == TimesLayout::machine_rows_due_dates;
    const bool with_due_dates = layout == TimesLayout::machine_rows_due_dates || layout == TimesLayout::job_rows_due_dates;
    InputFile file(filename, reader_name(layout));
    std::FILE* in = file.get();
    PlainTimes data;
    data.machines = read_number<int>(in);
    data.jobs = read_number<int>(in);
    file.require_counts(data.jobs, data.machines, 1);
    data.pt = Matrix::allocate(data.machines, data.jobs);
    if (with_due_dates) data.dd.reset(vector_or_throw<long>(data.jobs));
    if (by_machine) {
        for (int i = 0; i < data.machines; ++i)
            for (int j = 0; j < data.jobs; ++j) data.pt[i][j] = read_number<int>(in, element_width);
        if (with_due_dates)
            for (int j = 0; j < data.jobs; ++j) data.dd[j] = read_number<long>(in);
    } else {
        // One row per job: its m times, then (with due dates) its due date.
        for (int j = 0; j < data.jobs; ++j) {
            for (int i = 0; i < data.machines; ++i) data.pt[i][j] = read_number<int>(in, element_width);
            if (with_due_dates) data.dd[j] = read_number<long>(in);
        }
    }
    file.finish();
    TextOut out(out_file);
    echo_instance_line(out, filename, data.jobs, data.machines);
    if (!echo) return data;
    switch (layout) {
        case TimesLayout::machine_rows:
            put_line(out, "Processing times (p[i][j]:= proc. time on machine i of job j):");
            put_matrix(out, data.pt.get(), data.machines, data.jobs);
            break;
        case TimesLayout::machine_rows_due_dates:
            put_line(out, "Processing times (p[i][j]:= proc. time on machine i of job j):");
            put_matrix(out, data.pt.get(), data.machines, data.jobs);
            out.write("Due dates: ");
            put_vector(out, data.dd.get(), data.jobs);
            break;
        case TimesLayout::job_rows:
            put_matrix(out, data.pt.get(), data.machines, data.jobs);
            break;
        case TimesLayout::job_rows_due_dates:
            out.write("Due dates: ");
            put_vector(out, data.dd.get(), data.jobs);
            put_line(out, "Processing times:");
            put_matrix(out, data.pt.get(), data.machines, data.jobs);
            break;
    }
    return data;
}

int read_parameter_file(const char* filename, int row) {
    InputFile file(filename, "read_parfile_int");
    // At least one character is consumed; the count is tested after each.
    int colons = 0;
    int value = 0;
    for (int c = std::fgetc(file.get()); c != EOF; c = std::fgetc(file.get())) {
        if (c == ':') ++colons;
        if (colons >= row) {
            value = read_number<int>(file.get());
            break;
        }
    }
    file.finish();
    return value;
}

// The counts and blocks of a job-shop read, handed to the caller.
void hand_over(PlainJobShop& data, int* jobs, int* machs, int*** pt, int*** rm, long** dd) {
    *jobs = data.jobs;
    *machs = data.machines;
    *pt = data.pt.release();
    *rm = data.rm.release();
    if (dd != nullptr) *dd = data.dd.release();
}

PlainJobShop read_to_console(const char* filename, PlainJobShopLayout layout, int descr, int print_flag) {
    return read_job_shop_file(filename, layout, descr == 1, stdout, print_flag == 1);
}

int** times_to_console(const char* filename, TimesLayout layout, int* jobs, int* machs, long** dd, int print_flag) {
    return or_end_process([&] {
        PlainTimes data = read_times_file(filename, layout, stdout, print_flag == 1);
        *jobs = data.jobs;
        *machs = data.machines;
        if (dd != nullptr) *dd = data.dd.release();
        return data.pt.release();
    });
}

}  // namespace

PlainJobShop read_plain_job_shop(const std::string& path, PlainJobShopLayout layout, bool description,
                                 std::FILE* echo) {
    return read_job_shop_file(path.c_str(), layout, description, echo, echo != nullptr);
}

PlainTimes read_processing_times(const std::string& path, TimesLayout layout, std::FILE* echo) {
    return read_times_file(path.c_str(), layout, echo, echo != nullptr);
}

int read_parameter(const std::string& path, int row) { return read_parameter_file(path.c_str(), row); }

void loadJSData(const char* filename, int* jobs, int* machs, int*** pt, int*** rm, int print_flag) {
    or_end_process([&] {
        PlainJobShop data = read_to_console(filename, PlainJobShopLayout::classic, 1, print_flag);
        hand_over(data, jobs, machs, pt, rm, nullptr);
    });
}

void loadJS_DD_Data(const char* filename, int descr, int* jobs, int* machs, int*** pt, int*** rm,
                    long** dd, int print_flag) {
    or_end_process([&] {
        PlainJobShop data = read_to_console(filename, PlainJobShopLayout::due_dates, descr, print_flag);
        hand_over(data, jobs, machs, pt, rm, dd);
    });
}

void loadJS_DD_Data_Zorvane(const char* filename, int descr, int* jobs, int* machs, int*** pt,
                            int*** rm, long** dd, int print_flag) {
    or_end_process([&] {
        PlainJobShop data = read_to_console(filename, PlainJobShopLayout::due_dates_rows, descr, print_flag);
        hand_over(data, jobs, machs, pt, rm, dd);
    });
}

void loadJS_MM_Data(const char* filename, int* jobs, int* machs, int*** pt, int*** rm, int** am,
                    int print_flag) {
    or_end_process([&] {
        PlainJobShop data = read_to_console(filename, PlainJobShopLayout::machine_times, 1, print_flag);
        hand_over(data, jobs, machs, pt, rm, nullptr);
        *am = data.available.release();
    });
}

int** loadPTimes_mrows(const char* filename, int* jobs, int* machs, int print_flag) {
    return times_to_console(filename, TimesLayout::machine_rows, jobs, machs, nullptr, print_flag);
}
int** loadPTimes_mrowsDD(const char* filename, int* jobs, int* machs, long** dd, int print_flag) {
    return times_to_console(filename, TimesLayout::machine_rows_due_dates, jobs, machs, dd, print_flag);
}
int** loadPTimes_nrows(const char* filename, int* jobs, int* machs, int print_flag) {
    return times_to_console(filename, TimesLayout::job_rows, jobs, machs, nullptr, print_flag);
}
int** loadPTimes_nrowsDD(const char* filename, int* jobs, int* machs, long** dd, int print_flag) {
    return times_to_console(filename, TimesLayout::job_rows_due_dates, jobs, machs, dd, print_flag);
}

int read_parfile_int(const char* filename, int row) {
    return or_end_process([&] { return read_parameter_file(filename, row); });
}

}  // namespace schedule
