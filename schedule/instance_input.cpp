// Instance input: splitting a tagged file into tag entries, the tag readers,
// the instance loaders, and the readers of plain numeric files.
#include "schedule/schedule.h"

#include "schedule/fatal.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <type_traits>

#include <sys/stat.h>

namespace schedule {

namespace {

constexpr int tag_text_chars = tag_text_size - 2;        // room for "=" and NUL
constexpr int content_chars = tag_content_size - 1;      // room for NUL

// What a split stored, and what did not fit the working storage.
struct TagSplit {
    int entries = 0;                          // complete entries stored
    int entries_beyond = 0;                   // complete entries after the last slot
    bool content_cut[tag_entry_slots] = {};  // entry whose content lost characters
};

// The character state machine that turns a stream into tag entries. Entries
// past the last slot are still parsed (so that they can be counted) but not
// stored.
class TagSplitter {
public:
    TagSplitter(char (*tags)[tag_text_size], char (*contents)[tag_content_size])
        : tags_(tags), contents_(contents) {
        start_entry();
    }

    void feed(char c) {
        if (c == '\n') return;
        if (!in_content_) {
            if (c == '=') {
                append_tag('=');
                in_content_ = true;
            } else if (c == ']') {
                close_entry();
            } else {
                append_tag(c);
            }
        } else {
            if (c == '=') {
                // A second "=" leaves the entry with the tag text "=" alone.
                tag_len_ = 0;
                append_tag('=');
                content_len_ = 0;
                cut_ = false;
            } else if (c == ']') {
                close_entry();
            } else if (content_len_ < content_chars) {
                if (stored()) contents_[entry_][content_len_] = c;
                ++content_len_;
            } else {
                cut_ = true;
            }
        }
    }

    TagSplit result() const {
        TagSplit split = report_;
        split.entries = entry_ < tag_entry_slots ? entry_ : tag_entry_slots;
        split.entries_beyond = entry_ - split.entries;
        return split;
    }

private:
    bool stored() const { return entry_ < tag_entry_slots; }

    void start_entry() {
        tag_len_ = 0;
        content_len_ = 0;
        cut_ = false;
        in_content_ = false;
    }

    // A tag text keeps its last tag_text_chars characters before the "=", so
    // a long heading in front of a tag cannot hide the tag.
    void append_tag(char c) {
        if (!stored()) return;
        char* text = tags_[entry_];
        if (c == '=' || tag_len_ < tag_text_chars) {
            text[tag_len_++] = c;
        } else {
            std::memmove(text, text + 1, tag_text_chars - 1);
            text[tag_text_chars - 1] = c;
        }
    }

    void close_entry() {
        if (stored()) {
            tags_[entry_][tag_len_] = '\0';
            contents_[entry_][content_len_] = '\0';
            report_.content_cut[entry_] = cut_;
        }
        ++entry_;
        start_entry();
    }

    char (*tags_)[tag_text_size];
    char (*contents_)[tag_content_size];
    TagSplit report_;
    int entry_ = 0;
    int tag_len_ = 0;
    int content_len_ = 0;
    bool cut_ = false;
    bool in_content_ = false;
};

// Ends the process for a file that opened but could not be read, such as a
// directory: taking it for an empty file would misreport its content.
[[noreturn]] void report_unreadable(const char* filename) {
    const std::string info = std::string("The file ") + filename + " could not be read";
    fatal_error(999, info.c_str());
}

// Reads the file in blocks and feeds it to the splitter. A carriage return
// directly before a line feed is dropped with it, as text-mode reading does.
TagSplit split_tag_file(const char* filename, char (*tags)[tag_text_size],
                        char (*contents)[tag_content_size]) {
    std::FILE* file = std::fopen(filename, "r");
    if (file == nullptr) fatal_error(2, filename);
    TagSplitter splitter(tags, contents);
    bool pending_cr = false;
    char block[1 << 16];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
        for (std::size_t i = 0; i < got; ++i) {
            const char c = block[i];
            if (pending_cr) {
                pending_cr = false;
                if (c == '\n') continue;
                splitter.feed('\r');
            }
            if (c == '\r') {
                pending_cr = true;
            } else {
                splitter.feed(c);
            }
        }
    }
    if (pending_cr) splitter.feed('\r');
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) report_unreadable(filename);
    return splitter.result();
}

// The first of the first `useful_lines` entries whose tag text holds `tag`.
int find_entry(const char* tag, const char tag_parameter[][tag_text_size], int useful_lines) {
    for (int i = 0; i < useful_lines; ++i) {
        if (std::strstr(tag_parameter[i], tag) != nullptr) return i;
    }
    return -1;
}

// Element conversions with the rules of atoi, atol and atof (leading white
// space, optional sign, as many characters as fit the number, 0 for no
// number). Each reads from the start of an element and stops at its
// separator, since neither "," nor ";" can continue a number. Integers beyond
// their type's range saturate.
long to_long(const char* text) { return std::strtol(text, nullptr, 10); }
int to_int(const char* text) {
    const long v = to_long(text);
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}
double to_double(const char* text) { return std::strtod(text, nullptr); }

void convert(const char* text, long* out) { *out = to_long(text); }
void convert(const char* text, int* out) { *out = to_int(text); }
void convert(const char* text, double* out) { *out = to_double(text); }

long* new_vector_of(long*, int len) { return newLVector(len); }
int* new_vector_of(int*, int len) { return newIVector(len); }
double* new_vector_of(double*, int len) { return newDVector(len); }

// Converts the elements of a comma list that ends at `end` (a NUL or ";")
// into out[0], out[1], …; returns how many it wrote.
template <class T>
int convert_list(const char* text, const char* end, T* out) {
    int n = 0;
    for (const char* element = text;; ++n) {
        convert(element, &out[n]);
        const char* comma = static_cast<const char*>(std::memchr(element, ',', end - element));
        if (comma == nullptr) return n + 1;
        element = comma + 1;
    }
}

template <class T>
int list_to_vector(const char* text, T** return_vector) {
    const int len = count_chars(text, ',') + 1;
    T* v = new_vector_of(static_cast<T*>(nullptr), len);
    convert_list(text, text + std::strlen(text), v);
    *return_vector = v;
    return len;
}

template <class T>
int read_vector_tag(const char* tag, const char tag_parameter[][tag_text_size],
                    const char content_parameter[][tag_content_size], int useful_lines,
                    T** return_vector) {
    const int entry = find_entry(tag, tag_parameter, useful_lines);
    if (entry < 0) return -1;
    return list_to_vector(content_parameter[entry], return_vector);
}

// Statuses of a matrix content.
constexpr int matrix_filled = 0;
constexpr int matrix_rows_differ = -1;
constexpr int matrix_row_length_differs = -2;
constexpr int matrix_absent = -10;

// The end of the row that starts at `text`: its ";" or the end of the text.
const char* row_end(const char* text) {
    const char* end = std::strchr(text, ';');
    return end != nullptr ? end : text + std::strlen(text);
}

int elements_in(const char* text, const char* end) {
    int commas = 0;
    for (const char* c = text; c != end; ++c) commas += *c == ',';
    return commas + 1;
}

// Fills the n_rows × n_cols matrix from ";"-separated comma lists; rows before
// a row of the wrong length stay written. With a null matrix it only tells
// whether the text has that shape.
int parse_matrix(const char* text, int** matrix, int n_rows, int n_cols) {
    if (count_chars(text, ';') + 1 != n_rows) return matrix_rows_differ;
    for (int row = 0; row < n_rows; ++row) {
        const char* end = row_end(text);
        if (elements_in(text, end) != n_cols) return matrix_row_length_differs;
        if (matrix != nullptr) convert_list(text, end, matrix[row]);
        text = end + 1;
    }
    return matrix_filled;
}

// Storage a reader holds until it hands it over, released if the reader
// ends early. Vectors and matrices come from the library's allocators.
struct FreeStorage {
    void operator()(void* p) const { std::free(p); }
};
template <class T>
using OwnedVector = std::unique_ptr<T[], FreeStorage>;

struct FreeMatrix {
    int rows = 0;
    void operator()(int** m) const { free_mat_int(m, rows); }
};
using OwnedMatrix = std::unique_ptr<int*[], FreeMatrix>;

OwnedMatrix new_owned_matrix(int rows, int cols) {
    return OwnedMatrix(reinterpret_cast<int**>(dyn_mat(rows, cols, sizeof(int))), FreeMatrix{rows});
}

// ---------------------------------------------------------------------------
// The loading procedure shared by the instance loaders: one split of the
// file, then one attribute after another, each echoed or reported, then the
// summary.
// ---------------------------------------------------------------------------

class InstanceLoad {
public:
    explicit InstanceLoad(const char* filename)
        : filename_(filename), storage_(new Storage) {
        split_ = split_tag_file(filename, storage_->tags, storage_->contents);
        if (split_.entries_beyond > 0) {
            std::printf("WARNING: The file %s holds more than %d tag entries; the %d entries after "
                        "the %dth are ignored.\n",
                        filename_, tag_entry_slots, split_.entries_beyond, tag_entry_slots);
            ++warnings_;
        }
    }

    bool has_errors() const { return errors_ > 0; }

    // JOBS (and any other count): echoed as "[NAME = n]"; absent, or below 1,
    // it is an error and the count is −1 or the value read.
    int count(const char* name) {
        const int entry = find(name);
        if (entry == cut_entry) return -1;
        const int value = entry < 0 ? -1 : to_int(storage_->contents[entry]);
        if (value == -1) {
            std::printf("ERROR: The number of %s is not specified in the file %s. The program cannot "
                        "continue.\n",
                        name, filename_);
            ++errors_;
        } else if (value < 1) {
            std::printf("ERROR: The number of %s in the file %s must be at least 1 (%s=%d). The "
                        "program cannot continue.\n",
                        name, filename_, name, value);
            ++errors_;
        } else {
            std::printf("[%s = %d]\n", name, value);
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
    OwnedVector<T> vector(const char* name, int expected, const char* count_name, Absence absence,
                          void (*print)(const T*, int)) {
        const int entry = find(name);
        if (entry == cut_entry) return nullptr;
        if (entry < 0) {
            std::printf(absence.message, filename_);
            ++(absence.is_error ? errors_ : warnings_);
            return nullptr;
        }
        T* read = nullptr;
        const int size = list_to_vector(storage_->contents[entry], &read);
        OwnedVector<T> v(read);
        if (size != expected) {
            std::printf("ERROR: The size of the vector %s is different than the number of %s (%s=%d, "
                        "size of %s=%d). The program cannot continue.\n",
                        name, count_name, count_name, expected, name, size);
            ++errors_;
        } else {
            std::printf("%s=", name);
            print(v.get(), size);
        }
        return v;
    }

    // A matrix attribute of `rows` × `cols`, the two counts called
    // `rows_name` and `cols_name` in the messages. The matrix is allocated
    // only once the content has the shape the counts claim, so a short file
    // with huge counts allocates nothing by them; null otherwise.
    OwnedMatrix matrix(const char* name, int rows, const char* rows_name, int cols, const char* cols_name) {
        const int entry = find(name);
        if (entry == cut_entry) return nullptr;
        const char* content = entry < 0 ? nullptr : storage_->contents[entry];
        const int status = content == nullptr ? matrix_absent : parse_matrix(content, nullptr, rows, cols);
        switch (status) {
            case matrix_filled: {
                OwnedMatrix m = new_owned_matrix(rows, cols);
                parse_matrix(content, m.get(), rows, cols);
                std::printf("%s:\n", name);
                print_int_matrix(m.get(), rows, cols);
                return m;
            }
            case matrix_rows_differ:
                std::printf("ERROR: The number of rows of matrix %s is different than the number of %s -- each "
                            "row must end with a ;). The program cannot continue.\n",
                            name, rows_name);
                break;
            case matrix_row_length_differs:
                std::printf("ERROR:The no. of elements in some row in %s is different than the number of %s. "
                            "The program cannot continue.\n",
                            name, cols_name);
                break;
            default:
                std::printf("ERROR: No values for %s are specified in the file %s. The program cannot "
                            "continue.\n",
                            name, filename_);
                break;
        }
        ++errors_;
        return nullptr;
    }

    // The summary line; a load with errors ends the process here.
    void finish() {
        std::printf("\nLoading %s completed with %d errors and %d warnings.\n", filename_, errors_, warnings_);
        if (errors_ > 0) {
            std::puts("The program cannot continue.");
            end_process(1);
        }
    }

private:
    static constexpr int cut_entry = -2;

    struct Storage {
        char tags[tag_entry_slots][tag_text_size];
        char contents[tag_entry_slots][tag_content_size];
    };

    // The entry of the attribute `name` (tag "[name="), −1 when there is none,
    // or cut_entry (after reporting it) when its content did not fit: a cut
    // attribute is never read, since its data would be wrong.
    int find(const char* name) {
        const std::string tag = std::string("[") + name + "=";
        const int entry = find_entry(tag.c_str(), storage_->tags, split_.entries);
        if (entry < 0 || !split_.content_cut[entry]) return entry;
        std::printf("ERROR: The content of %s in the file %s is longer than %d characters. The "
                    "program cannot continue.\n",
                    name, filename_, content_chars);
        ++errors_;
        return cut_entry;
    }

    const char* filename_;
    std::unique_ptr<Storage> storage_;
    TagSplit split_;
    int errors_ = 0;
    int warnings_ = 0;
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
OwnedVector<T> filled_vector(int len, T value) {
    OwnedVector<T> v(new_vector_of(static_cast<T*>(nullptr), len));
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
Record load_record(const char* filename) {
    InstanceLoad load(filename);
    Record record{};
    record.jobs = load.count("JOBS");
    if constexpr (std::is_same_v<Record, SINGLE_MACHINE>) {
        record.machines = 1;
    } else {
        record.machines = load.count("MACHINES");
    }
    auto dd = load.vector<long>("DD", record.jobs, "JOBS", dd_absent, print_long_vector);
    OwnedVector<int> v;
    if constexpr (requires(Record& x) { x.v; }) {
        v = load.vector<int>("V", record.machines, "MACHINES", v_absent, print_int_vector);
    }
    auto r = load.vector<int>("R", record.jobs, "JOBS", r_absent, print_int_vector);
    auto w = load.vector<double>("W", record.jobs, "JOBS", w_absent, print_double_vector);
    constexpr bool pt_is_vector = std::is_same_v<decltype(record.pt), int*>;
    OwnedVector<int> pt_vector;
    OwnedMatrix pt_matrix;
    if (!load.has_errors()) {
        if constexpr (pt_is_vector) {
            pt_vector = load.vector<int>("PT", record.jobs, "JOBS", pt_vector_absent, print_int_vector);
        } else {
            pt_matrix = load.matrix("PT", record.machines, "MACHINES", record.jobs, "JOBS");
        }
    }
    OwnedMatrix rt;
    if constexpr (requires(Record& x) { x.rt; }) {
        if (!load.has_errors()) rt = load.matrix("RT", record.jobs, "JOBS", record.machines, "MACHINES");
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
    return record;
}

}  // namespace

// ---------------------------------------------------------------------------
// Tag reading
// ---------------------------------------------------------------------------

int load_tag_content(const char* filename, char tag_parameter[][tag_text_size],
                     char content_parameter[][tag_content_size]) {
    return split_tag_file(filename, tag_parameter, content_parameter).entries;
}

int load_int_tag(const char* tag, const char tag_parameter[][tag_text_size],
                 const char content_parameter[][tag_content_size], int useful_lines) {
    const int entry = find_entry(tag, tag_parameter, useful_lines);
    return entry < 0 ? -1 : to_int(content_parameter[entry]);
}

int load_long_vector_tag(const char* tag, const char tag_parameter[][tag_text_size],
                         const char content_parameter[][tag_content_size], int useful_lines,
                         long** return_vector) {
    return read_vector_tag(tag, tag_parameter, content_parameter, useful_lines, return_vector);
}

int load_double_vector_tag(const char* tag, const char tag_parameter[][tag_text_size],
                           const char content_parameter[][tag_content_size], int useful_lines,
                           double** return_vector) {
    return read_vector_tag(tag, tag_parameter, content_parameter, useful_lines, return_vector);
}

int load_int_vector_tag(const char* tag, const char tag_parameter[][tag_text_size],
                        const char content_parameter[][tag_content_size], int useful_lines,
                        int** return_vector) {
    return read_vector_tag(tag, tag_parameter, content_parameter, useful_lines, return_vector);
}

int string_to_VECTOR_INT(const char* string, int** return_vector) { return list_to_vector(string, return_vector); }

int load_int_matrix_tag(const char* tag, const char tag_parameter[][tag_text_size],
                        const char content_parameter[][tag_content_size], int useful_lines,
                        int** return_matrix, int n_rows, int n_cols) {
    const int entry = find_entry(tag, tag_parameter, useful_lines);
    if (entry < 0) return matrix_absent;
    return parse_matrix(content_parameter[entry], return_matrix, n_rows, n_cols);
}

int count_chars(const char* string, char ch) {
    int n = 0;
    for (; *string != '\0'; ++string) n += *string == ch;
    return n;
}

void clear_string(char* string, int len) {
    if (len > 0) std::memset(string, '\0', static_cast<std::size_t>(len));
}

// ---------------------------------------------------------------------------
// Loaders
// ---------------------------------------------------------------------------

SINGLE_MACHINE load_SINGLE_MACHINE(const char* filename) { return load_record<SINGLE_MACHINE>(filename); }
PARALLEL_MACHINES load_PARALLEL_MACHINES(const char* filename) { return load_record<PARALLEL_MACHINES>(filename); }
RELATED_MACHINES load_RELATED_MACHINES(const char* filename) { return load_record<RELATED_MACHINES>(filename); }
UNRELATED_MACHINES load_UNRELATED_MACHINES(const char* filename) { return load_record<UNRELATED_MACHINES>(filename); }
FLOWSHOP load_FLOWSHOP(const char* filename) { return load_record<FLOWSHOP>(filename); }
OPENSHOP load_OPENSHOP(const char* filename) { return load_record<OPENSHOP>(filename); }
JOBSHOP load_JOBSHOP(const char* filename) { return load_record<JOBSHOP>(filename); }

// ---------------------------------------------------------------------------
// Plain-format instance readers
// ---------------------------------------------------------------------------

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
// cannot be opened ends the process with "File not found: <name>", one that
// cannot be read (a directory, a failing device) through `error` 999.
class InputFile {
public:
    InputFile(const char* filename, const char* reader)
        : filename_(filename), reader_(reader), file_(std::fopen(filename, "r")) {
        if (file_ == nullptr) fatal_error(2, filename);
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
        if (failed) report_unreadable(filename_);
    }

    // A header declares `jobs` and `machines`, and with them a matrix of
    // `per_cell` numbers per job and machine, plus a number or two per job
    // and per machine. Each number of the body takes at least one character
    // of the file, so a header that declares far more than the rest of the
    // file holds (beyond a margin for files that end early) or a negative
    // count ends the process before anything is allocated by it.
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
        fatal_error(999, info.c_str());
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

// What the job-shop readers read, in the order the echo shows it.
struct JobShopData {
    Description description;
    bool has_description = false;
    bool has_due_dates = false;
    int jobs = 0;
    int machines = 0;
    OwnedMatrix pt;
    OwnedMatrix rm;
    OwnedVector<long> dd;
};

// Description line (when present), header "n m", the counts handed out, and
// the storage.
JobShopData read_job_shop_head(InputFile& file, bool has_description, bool with_due_dates, int* jobs,
                               int* machs) {
    JobShopData data;
    data.has_description = has_description;
    data.has_due_dates = with_due_dates;
    if (has_description) data.description = read_description(file.get());
    data.jobs = read_number<int>(file.get());
    data.machines = read_number<int>(file.get());
    *jobs = data.jobs;
    *machs = data.machines;
    file.require_counts(data.jobs, data.machines, 2);
    data.pt = new_owned_matrix(data.machines, data.jobs);
    data.rm = new_owned_matrix(data.jobs, data.machines);
    if (with_due_dates) data.dd.reset(newLVector(data.jobs));
    return data;
}

// The m pairs "machine time" of job j; the time of operation k goes to pt[k][j].
void read_operations_in_order(std::FILE* file, JobShopData& data, int j) {
    for (int k = 0; k < data.machines; ++k) {
        data.rm[j][k] = read_number<int>(file);
        data.pt[k][j] = read_number<int>(file);
    }
}

void echo_instance_line(const char* filename, int jobs, int machines) {
    std::printf("Instance %s - n: %d    m: %d\n", filename, jobs, machines);
}

// The job-shop echo: instance line, description, both matrices and, when
// read, the due dates.
void echo_job_shop(const char* filename, const JobShopData& data) {
    echo_instance_line(filename, data.jobs, data.machines);
    if (data.has_description) std::puts(data.description.text);
    std::puts("Processing times matrix:");
    print_int_matrix(data.pt.get(), data.machines, data.jobs);
    std::puts("Routing matrix:");
    print_int_matrix(data.rm.get(), data.jobs, data.machines);
    if (data.has_due_dates) {
        std::puts("Due dates:");
        print_long_vector(data.dd.get(), data.jobs);
    }
}

void hand_over(JobShopData& data, int*** pt, int*** rm, long** dd) {
    *pt = data.pt.release();
    *rm = data.rm.release();
    if (dd != nullptr) *dd = data.dd.release();
}

// Width of a processing-time element in the processing-time files.
constexpr int element_width = 10;

// Header "m n" and the m × n matrix of a processing-time file; the instance
// line is written at once, before anything else of the echo.
struct TimesData {
    int jobs = 0;
    int machines = 0;
    OwnedMatrix pt;
    OwnedVector<long> dd;
};

TimesData read_times_head(InputFile& file, int* jobs, int* machs, bool with_due_dates) {
    TimesData data;
    data.machines = read_number<int>(file.get());
    data.jobs = read_number<int>(file.get());
    *jobs = data.jobs;
    *machs = data.machines;
    file.require_counts(data.jobs, data.machines, 1);
    data.pt = new_owned_matrix(data.machines, data.jobs);
    if (with_due_dates) data.dd.reset(newLVector(data.jobs));
    return data;
}

void read_machine_rows(std::FILE* file, TimesData& data) {
    for (int i = 0; i < data.machines; ++i) {
        for (int j = 0; j < data.jobs; ++j) data.pt[i][j] = read_number<int>(file, element_width);
    }
}

// One row per job: its m times, then (with due dates) the job's due date.
void read_job_rows(std::FILE* file, TimesData& data) {
    for (int j = 0; j < data.jobs; ++j) {
        for (int i = 0; i < data.machines; ++i) data.pt[i][j] = read_number<int>(file, element_width);
        if (data.dd != nullptr) data.dd[j] = read_number<long>(file);
    }
}

// The procedure of every processing-time reader: header and storage, the
// body by `read`, the instance line, then `echo` when print_flag is 1. Due
// dates are read (and handed over) when `dd` is not null.
template <class Read, class Echo>
int** read_times_file(const char* filename, const char* reader, int* jobs, int* machs, long** dd,
                      int print_flag, Read read, Echo echo) {
    InputFile file(filename, reader);
    TimesData data = read_times_head(file, jobs, machs, dd != nullptr);
    read(file.get(), data);
    file.finish();
    echo_instance_line(filename, data.jobs, data.machines);
    if (print_flag == 1) echo(data);
    if (dd != nullptr) *dd = data.dd.release();
    return data.pt.release();
}

}  // namespace

void loadJSData(const char* filename, int* jobs, int* machs, int*** pt, int*** rm, int print_flag) {
    InputFile file(filename, "loadJSData");
    JobShopData data = read_job_shop_head(file, true, false, jobs, machs);
    for (int j = 0; j < data.jobs; ++j) read_operations_in_order(file.get(), data, j);
    file.finish();
    if (print_flag == 1) echo_job_shop(filename, data);
    hand_over(data, pt, rm, nullptr);
}

void loadJS_DD_Data(const char* filename, int descr, int* jobs, int* machs, int*** pt, int*** rm,
                    long** dd, int print_flag) {
    InputFile file(filename, "loadJS_DD_Data");
    JobShopData data = read_job_shop_head(file, descr == 1, true, jobs, machs);
    for (int j = 0; j < data.jobs; ++j) {
        read_operations_in_order(file.get(), data, j);
        data.dd[j] = read_number<int>(file.get());
    }
    file.finish();
    if (print_flag == 1) echo_job_shop(filename, data);
    hand_over(data, pt, rm, dd);
}

void loadJS_DD_Data_Zorvane(const char* filename, int descr, int* jobs, int* machs, int*** pt,
                            int*** rm, long** dd, int print_flag) {
    InputFile file(filename, "loadJS_DD_Data_Zorvane");
    JobShopData data = read_job_shop_head(file, descr == 1, true, jobs, machs);
    for (int j = 0; j < data.jobs; ++j) read_operations_in_order(file.get(), data, j);
    // The first non-blank line after the job rows carries nothing we use.
    skip_blanks(file.get());
    skip_line(file.get());
    for (int j = 0; j < data.jobs; ++j) {
        (void)read_number<int>(file.get());
        data.dd[j] = read_number<int>(file.get());
        (void)read_number<int>(file.get());
        (void)read_number<int>(file.get());
    }
    file.finish();
    if (print_flag == 1) echo_job_shop(filename, data);
    hand_over(data, pt, rm, dd);
}

void loadJS_MM_Data(const char* filename, int* jobs, int* machs, int*** pt, int*** rm, int** am,
                    int print_flag) {
    InputFile file(filename, "loadJS_MM_Data");
    std::FILE* in = file.get();
    const Description description = read_description(in);
    const int m = read_number<int>(in);
    const int n = read_number<int>(in);
    const int ops_per_job = read_number<int>(in);
    *jobs = n;
    *machs = m;
    file.require_counts(n, m, 2);
    OwnedVector<int> available(newIVector(m));
    OwnedMatrix times = new_owned_matrix(m, n);
    OwnedMatrix routing = new_owned_matrix(n, m);
    // A machine that appears in no pair of a job leaves that job's entry 0.
    setval_Imatrix(times.get(), m, n, 0);
    for (int i = 0; i < m; ++i) {
        (void)read_number<int>(in);
        available[i] = read_number<int>(in);
    }
    for (int j = 0; j < n; ++j) {
        for (int k = 0; k < m; ++k) {
            const int machine = read_number<int>(in);
            if (machine < 0 || machine >= m) {
                fatal_error(999, "\nError in loadJS_MM_Data() - Machine number out of range");
            }
            routing[j][k] = machine;
            times[machine][j] = read_number<int>(in);
        }
    }
    file.finish();
    if (print_flag == 1) {
        std::printf("Instance %s - n: %d    m: %d  ops_per_job: %d\n", filename, n, m, ops_per_job);
        std::puts(description.text);
        std::puts("No. of available machines:");
        print_int_vector(available.get(), m);
        std::puts("Processing times matrix:");
        print_int_matrix(times.get(), m, n);
        std::puts("Routing matrix:");
        print_int_matrix(routing.get(), n, m);
    }
    *pt = times.release();
    *rm = routing.release();
    *am = available.release();
}

int** loadPTimes_mrows(const char* filename, int* jobs, int* machs, int print_flag) {
    return read_times_file(filename, "loadPTimes_mrows", jobs, machs, nullptr, print_flag, read_machine_rows,
                           [](const TimesData& data) {
                               std::puts("Processing times (p[i][j]:= proc. time on machine i of job j):");
                               print_int_matrix(data.pt.get(), data.machines, data.jobs);
                           });
}

int** loadPTimes_mrowsDD(const char* filename, int* jobs, int* machs, long** dd, int print_flag) {
    const auto read = [](std::FILE* file, TimesData& data) {
        read_machine_rows(file, data);
        for (int j = 0; j < data.jobs; ++j) data.dd[j] = read_number<long>(file);
    };
    return read_times_file(filename, "loadPTimes_mrowsDD", jobs, machs, dd, print_flag, read,
                           [](const TimesData& data) {
                               std::puts("Processing times (p[i][j]:= proc. time on machine i of job j):");
                               print_int_matrix(data.pt.get(), data.machines, data.jobs);
                               std::printf("Due dates: ");
                               print_long_vector(data.dd.get(), data.jobs);
                           });
}

int** loadPTimes_nrows(const char* filename, int* jobs, int* machs, int print_flag) {
    return read_times_file(filename, "loadPTimes_nrows", jobs, machs, nullptr, print_flag, read_job_rows,
                           [](const TimesData& data) { print_int_matrix(data.pt.get(), data.machines, data.jobs); });
}

int** loadPTimes_nrowsDD(const char* filename, int* jobs, int* machs, long** dd, int print_flag) {
    return read_times_file(filename, "loadPTimes_nrowsDD", jobs, machs, dd, print_flag, read_job_rows,
                           [](const TimesData& data) {
                               std::printf("Due dates: ");
                               print_long_vector(data.dd.get(), data.jobs);
                               std::puts("Processing times:");
                               print_int_matrix(data.pt.get(), data.machines, data.jobs);
                           });
}

int read_parfile_int(const char* filename, int row) {
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

}  // namespace schedule
