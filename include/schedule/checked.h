// schedule — the checked interface.
//
// The routines of <schedule/schedule.h> end the process on any fatal
// condition, which suits a program written around them but not one that
// embeds the library: an interpreter, a long-running search, a service. The
// routines here do the same work and report every failure by throwing
// schedule::Error instead; they print nothing unless asked to, hand out owning
// records that release their blocks, and check records and sequences before
// evaluating them, so a bad sequence is an error and never a read out of
// bounds.
#ifndef SCHEDULE_CHECKED_H
#define SCHEDULE_CHECKED_H

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "schedule/schedule.h"

namespace schedule {

// ---------------------------------------------------------------------------
// Errors
// ---------------------------------------------------------------------------

enum class ErrorKind {
    file,      // a file cannot be opened, read or written
    instance,  // a file was read but its content was rejected
    argument,  // a record, sequence, name or other argument the routine cannot take
    memory,    // storage could not be allocated
};

// The one error type of the library. `code()` is the code the error reporter
// (`error`) uses for the same condition: 1 memory, 2 file not found, 5 value
// not found, 999 other; 0 for a rejected instance file, which the loaders
// report in their own words. `info()` is the text the reporter prints after
// the code's message; what() is a readable sentence made of both, and for a
// rejected instance the loader's whole report.
class Error : public std::runtime_error {
public:
    Error(ErrorKind kind, int code, std::string info);

    ErrorKind kind() const noexcept { return kind_; }
    int code() const noexcept { return code_; }
    const std::string& info() const noexcept { return info_; }

private:
    ErrorKind kind_;
    int code_;
    std::string info_;
};

// ---------------------------------------------------------------------------
// Owning storage
// ---------------------------------------------------------------------------

// Vectors from the library's allocators, released with std::free.
struct FreeBlock {
    void operator()(void* block) const noexcept { std::free(block); }
};
template <class T>
using Vector = std::unique_ptr<T[], FreeBlock>;

// An int matrix from dyn_mat, released with free_mat_int.
class Matrix {
public:
    Matrix() noexcept = default;
    Matrix(int** rows_data, int rows) noexcept : data_(rows_data), rows_(rows) {}
    Matrix(Matrix&& other) noexcept : data_(other.data_), rows_(other.rows_) { other.data_ = nullptr; }
    Matrix& operator=(Matrix&& other) noexcept {
        if (this != &other) {
            reset();
            data_ = other.data_;
            rows_ = other.rows_;
            other.data_ = nullptr;
        }
        return *this;
    }
    Matrix(const Matrix&) = delete;
    Matrix& operator=(const Matrix&) = delete;
    ~Matrix() { reset(); }

    // A new rows × cols matrix; throws Error (memory) when it cannot be had.
    [[nodiscard]] static Matrix allocate(int rows, int cols);

    int** get() const noexcept { return data_; }
    int* operator[](int row) const noexcept { return data_[row]; }
    int rows() const noexcept { return rows_; }
    explicit operator bool() const noexcept { return data_ != nullptr; }
    [[nodiscard]] int** release() noexcept {
        int** out = data_;
        data_ = nullptr;
        return out;
    }
    void reset() noexcept;

private:
    int** data_ = nullptr;
    int rows_ = 0;
};

// A new vector of `len` elements (at least one is allocated); throws Error
// (memory) when it cannot be had.
template <class T>
[[nodiscard]] Vector<T> allocate_vector(int len);

// ---------------------------------------------------------------------------
// Instance records
// ---------------------------------------------------------------------------

// Releases every block of a record (pt, rt, v, dd, w, r) and sets the
// pointers to null; a record whose pointers are null is left as it is, so
// releasing twice is harmless.
void release(SINGLE_MACHINE& record) noexcept;
void release(PARALLEL_MACHINES& record) noexcept;
void release(RELATED_MACHINES& record) noexcept;
void release(UNRELATED_MACHINES& record) noexcept;
void release(FLOWSHOP& record) noexcept;
void release(OPENSHOP& record) noexcept;
void release(JOBSHOP& record) noexcept;

template <class Record>
concept InstanceRecord =
    std::is_same_v<Record, SINGLE_MACHINE> || std::is_same_v<Record, PARALLEL_MACHINES> ||
    std::is_same_v<Record, RELATED_MACHINES> || std::is_same_v<Record, UNRELATED_MACHINES> ||
    std::is_same_v<Record, FLOWSHOP> || std::is_same_v<Record, OPENSHOP> || std::is_same_v<Record, JOBSHOP>;

// The records some evaluator takes (all but the open shop).
template <class Record>
concept EvaluatedRecord = InstanceRecord<Record> && !std::is_same_v<Record, OPENSHOP>;

// An instance record that owns its blocks: move-only, released when it goes.
// get() gives the plain record to pass to any routine of the library.
template <InstanceRecord Record>
class Instance {
public:
    Instance() noexcept = default;
    // Takes over the blocks of `record` (from the library's allocators).
    explicit Instance(Record record) noexcept : record_(record) {}
    Instance(Instance&& other) noexcept : record_(other.record_) { other.record_ = Record{}; }
    Instance& operator=(Instance&& other) noexcept {
        if (this != &other) {
            schedule::release(record_);
            record_ = other.record_;
            other.record_ = Record{};
        }
        return *this;
    }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;
    ~Instance() { schedule::release(record_); }

    const Record& get() const noexcept { return record_; }
    Record& get() noexcept { return record_; }
    const Record* operator->() const noexcept { return &record_; }
    int jobs() const noexcept { return record_.jobs; }
    int machines() const noexcept { return record_.machines; }

    // Hands the blocks over to the caller, who releases them.
    [[nodiscard]] Record release() noexcept {
        Record out = record_;
        record_ = Record{};
        return out;
    }

private:
    Record record_{};
};

// The machine environments, by the record each one takes.
enum class Environment { single, identical, uniform, unrelated, flowshop, openshop, jobshop };

template <InstanceRecord Record>
inline constexpr Environment environment_of = std::is_same_v<Record, SINGLE_MACHINE>      ? Environment::single
                                              : std::is_same_v<Record, PARALLEL_MACHINES> ? Environment::identical
                                              : std::is_same_v<Record, RELATED_MACHINES>  ? Environment::uniform
                                              : std::is_same_v<Record, UNRELATED_MACHINES> ? Environment::unrelated
                                              : std::is_same_v<Record, FLOWSHOP>          ? Environment::flowshop
                                              : std::is_same_v<Record, OPENSHOP>          ? Environment::openshop
                                                                                          : Environment::jobshop;

// "single", "identical", "uniform", "unrelated", "flowshop", "openshop",
// "jobshop"; the environment of a name, or nothing.
std::string_view environment_name(Environment environment) noexcept;
std::optional<Environment> environment_named(std::string_view name) noexcept;

// Any of the seven owning records.
using AnyInstance = std::variant<Instance<SINGLE_MACHINE>, Instance<PARALLEL_MACHINES>, Instance<RELATED_MACHINES>,
                                 Instance<UNRELATED_MACHINES>, Instance<FLOWSHOP>, Instance<OPENSHOP>,
                                 Instance<JOBSHOP>>;

// ---------------------------------------------------------------------------
// Loading tagged instance files
// ---------------------------------------------------------------------------

struct LoadOptions {
    // Where the loader's echo and report go, line for line what the
    // process-ending loaders print; null: nowhere (the report of a rejected
    // file is in the Error all the same).
    std::FILE* echo = nullptr;
    // Besides what every load rejects, reject an entry that is not a whole
    // number where an integer is expected (the named loaders read "x" as 0
    // and "6.5" as 6), a number beyond its type's range (a due date beyond
    // that of long included), a weight that is not a finite number of at
    // least 0, a negative processing time, a speed below 1 and a routing
    // entry that is not a machine, naming the tag and the element's position.
    bool strict = false;
};

// Loads a tagged instance file as the loader of the record does (the same
// attributes, messages and defaults). Throws Error: file (cannot be opened or
// read), instance (rejected: what() is the loader's whole report, ending
// with its summary line), memory.
template <InstanceRecord Record>
[[nodiscard]] Instance<Record> load(const std::string& path, const LoadOptions& options = {});

// The same from the text of a file held in memory; `name` stands for the
// file name in the report.
template <InstanceRecord Record>
[[nodiscard]] Instance<Record> load_text(std::string_view text, const std::string& name,
                                         const LoadOptions& options = {});

// ---------------------------------------------------------------------------
// Plain-format files
// ---------------------------------------------------------------------------

// What the plain job-shop readers read: the storage layout of loadJSData and
// its siblings (pt[k][j] the time of job j's k-th operation, rm[j][k] its
// machine; the machine layout's pt[machine][job], and its available machines).
struct PlainJobShop {
    int jobs = 0;
    int machines = 0;
    Matrix pt;
    Matrix rm;
    Vector<long> dd;         // the due-date layouts only
    Vector<int> available;  // the machine layout only
};

enum class PlainJobShopLayout {
    classic,         // loadJSData
    due_dates,       // loadJS_DD_Data
    due_dates_rows,  // loadJS_DD_Data_Zorvane
    machine_times,   // loadJS_MM_Data
};

// Reads a plain job-shop file as the reader of its layout does; `description`
// says whether the due-date layouts begin with a description line (the
// others always do). With `echo`, writes what the reader's echo shows there.
[[nodiscard]] PlainJobShop read_plain_job_shop(const std::string& path, PlainJobShopLayout layout,
                                               bool description = true, std::FILE* echo = nullptr);

struct PlainTimes {
    int jobs = 0;
    int machines = 0;
    Matrix pt;  // pt[machine][job]
    Vector<long> dd;
};

enum class TimesLayout {
    machine_rows,            // loadPTimes_mrows
    machine_rows_due_dates,  // loadPTimes_mrowsDD
    job_rows,                // loadPTimes_nrows
    job_rows_due_dates,      // loadPTimes_nrowsDD
};

[[nodiscard]] PlainTimes read_processing_times(const std::string& path, TimesLayout layout,
                                               std::FILE* echo = nullptr);

// The integer read_parfile_int reads; throws Error where it ends the process.
int read_parameter(const std::string& path, int row);

// ---------------------------------------------------------------------------
// Checks
// ---------------------------------------------------------------------------

// Throws Error (argument) unless the record can be evaluated: at least one
// job and one machine (exactly one on a single machine), non-null pt, w and
// r (and v, rt where the record has them), speeds of at least 1, routing
// entries that are machines.
template <InstanceRecord Record>
void validate(const Record& record);

// Throws Error (argument) unless `seq` is a sequence of the record: a
// permutation of 0 … n − 1, or for the job shop an operation sequence that
// names each job exactly `machines` times.
template <InstanceRecord Record>
void validate_sequence(const Record& record, std::span<const int> seq);

// ---------------------------------------------------------------------------
// Objectives
// ---------------------------------------------------------------------------

// One objective of the catalogue and the record evaluator that computes it:
// `integer` for the unweighted ones (long), `real` for the weighted (double).
template <EvaluatedRecord Record>
struct Objective {
    std::string_view name;
    bool weighted;
    bool needs_due_dates;
    long (*integer)(const int*, Record);
    double (*real)(const int*, Record);
};

namespace detail {
#define SCHEDULE_OBJECTIVE_TABLE(P)                                                                           \
    {                                                                                                        \
        {{"Cmax", false, false, P##_Rj_Cmax, nullptr}, {"Emax", false, true, P##_Rj_Emax, nullptr},        \
         {"Fmax", false, false, P##_Rj_Fmax, nullptr}, {"Lmax", false, true, P##_Rj_Lmax, nullptr},        \
         {"SumCj", false, false, P##_Rj_SumCj, nullptr}, {"SumEj", false, true, P##_Rj_SumEj, nullptr},    \
         {"SumFj", false, false, P##_Rj_SumFj, nullptr}, {"SumLj", false, true, P##_Rj_SumLj, nullptr},    \
         {"SumTj", false, true, P##_Rj_SumTj, nullptr}, {"SumUj", false, true, P##_Rj_SumUj, nullptr},     \
         {"Tmax", false, true, P##_Rj_Tmax, nullptr}, {"Wj_Cmax", true, false, nullptr, P##_Rj_Wj_Cmax},   \
         {"Wj_Emax", true, true, nullptr, P##_Rj_Wj_Emax}, {"Wj_Fmax", true, false, nullptr, P##_Rj_Wj_Fmax}, \
         {"Wj_Lmax", true, true, nullptr, P##_Rj_Wj_Lmax}, {"Wj_SumCj", true, false, nullptr, P##_Rj_Wj_SumCj}, \
         {"Wj_SumEj", true, true, nullptr, P##_Rj_Wj_SumEj},                                                 \
         {"Wj_SumFj", true, false, nullptr, P##_Rj_Wj_SumFj},                                                \
         {"Wj_SumLj", true, true, nullptr, P##_Rj_Wj_SumLj},                                                 \
         {"Wj_SumTj", true, true, nullptr, P##_Rj_Wj_SumTj},                                                 \
         {"Wj_SumUj", true, true, nullptr, P##_Rj_Wj_SumUj},                                                 \
         {"Wj_Tmax", true, true, nullptr, P##_Rj_Wj_Tmax}},                                                  \
    }
template <class Record>
struct ObjectiveTable;
template <>
struct ObjectiveTable<SINGLE_MACHINE> {
    static constexpr std::array<Objective<SINGLE_MACHINE>, 22> entries SCHEDULE_OBJECTIVE_TABLE(S1);
};
template <>
struct ObjectiveTable<PARALLEL_MACHINES> {
    static constexpr std::array<Objective<PARALLEL_MACHINES>, 22> entries SCHEDULE_OBJECTIVE_TABLE(Pm);
};
template <>
struct ObjectiveTable<RELATED_MACHINES> {
    static constexpr std::array<Objective<RELATED_MACHINES>, 22> entries SCHEDULE_OBJECTIVE_TABLE(Qm);
};
template <>
struct ObjectiveTable<UNRELATED_MACHINES> {
    static constexpr std::array<Objective<UNRELATED_MACHINES>, 22> entries SCHEDULE_OBJECTIVE_TABLE(Rm);
};
template <>
struct ObjectiveTable<FLOWSHOP> {
    static constexpr std::array<Objective<FLOWSHOP>, 22> entries SCHEDULE_OBJECTIVE_TABLE(Fm_Prmu);
};
template <>
struct ObjectiveTable<JOBSHOP> {
    static constexpr std::array<Objective<JOBSHOP>, 22> entries SCHEDULE_OBJECTIVE_TABLE(Jm);
};
#undef SCHEDULE_OBJECTIVE_TABLE
}  // namespace detail

// The catalogue of an environment, in this order: Cmax, Emax, Fmax, Lmax,
// SumCj, SumEj, SumFj, SumLj, SumTj, SumUj, Tmax, then the Wj_ forms of
// Cmax … Tmax likewise. The names are the same in every environment.
template <EvaluatedRecord Record>
inline constexpr const std::array<Objective<Record>, 22>& objective_table = detail::ObjectiveTable<Record>::entries;

// The entry called `name`; throws Error (argument) naming the known ones.
template <EvaluatedRecord Record>
const Objective<Record>& find_objective(std::string_view name);

// The value of an objective: long for the unweighted ones, double for the
// weighted.
using Value = std::variant<long, double>;

// Checked evaluation: validate(record), validate_sequence(record, seq), and
// due dates present when the objective needs them — each failure an Error
// (argument) — then the record evaluator's value.
template <EvaluatedRecord Record>
Value evaluate(const Record& record, std::span<const int> seq, std::string_view objective);
template <EvaluatedRecord Record>
Value evaluate(const Record& record, std::span<const int> seq, const Objective<Record>& objective);

// The completion time of every job, indexed by job (the Rj_Cj evaluator).
template <EvaluatedRecord Record>
std::vector<long> completion_times(const Record& record, std::span<const int> seq);

// One placed operation of a schedule.
struct Operation {
    int job;
    int machine;
    long start;
    long end;
};

// The schedule the sequence gives, as its schedule file lists it: the jobs
// in the file's JOB_ORDER, each job's operations in its order there.
template <EvaluatedRecord Record>
std::vector<Operation> schedule_operations(const Record& record, std::span<const int> seq);

// The order of the jobs in the schedule file: the sequence, or 0 … n − 1 for
// the job shop.
template <EvaluatedRecord Record>
std::vector<int> schedule_job_order(const Record& record, std::span<const int> seq);

// The bytes of the schedule file the record's GenSchedule writer writes.
template <EvaluatedRecord Record>
std::string schedule_file_text(const Record& record, std::span<const int> seq);

// Writes the schedule file atomically: the named file appears whole or not
// at all. Throws Error (file) when it cannot be written.
template <EvaluatedRecord Record>
void write_schedule(const Record& record, std::span<const int> seq, const std::string& path);

// Fm_Prmu_Rj_Insert_Cmax after checking that `partial` holds distinct jobs
// of the record and `job` is another one: the len + 1 makespans.
std::vector<long> insertion_makespans(const FLOWSHOP& record, std::span<const int> partial, int job);

// ---------------------------------------------------------------------------
// Files
// ---------------------------------------------------------------------------

// The whole content of a file; throws Error (file) when it cannot be opened
// or read (a directory included).
std::string read_file(const std::string& path);

// Writes `bytes` to `path` through a new temporary file in the same
// directory that is then renamed over it: the file appears whole or not at
// all, and a failure leaves nothing behind. Throws Error (file).
void write_file_atomically(const std::string& path, std::string_view bytes);

// ---------------------------------------------------------------------------
// Benchmark files and layouts
// ---------------------------------------------------------------------------

// The layouts an instance file can be read in:
// - tagged: the library's own tagged files (load<Record>);
// - taillard: Taillard's flow-shop files, one or more instances each made of
//   the line "number of jobs, number of machines, initial seed, upper bound
//   and lower bound :", the line of those numbers, "processing times :" and
//   m rows of n times;
// - classic: a job shop as "n m" (after an optional description line) and n
//   rows of m "machine time" pairs, machines from 0; also OR-Library's file
//   of many such instances (a preamble, then each instance introduced by a
//   line " instance NAME" between lines of "+++", followed by its description
//   line), and JSPLIB's files (lines starting with "#" are comments, and
//   "# instance NAME" names the instance);
// - taillard-jobshop: Taillard's job-shop files, one or more instances each
//   made of the line "Nb of jobs, Nb of Machines, Time seed, Machine seed,
//   Upper bound, Lower bound", the line of those numbers, "Times" and n rows
//   of m times, "Machines" and n rows of m machines numbered from 1;
// - mrows, mrows-dd, nrows, nrows-dd: the processing-time files that
//   read_processing_times reads (machine_rows, machine_rows_due_dates,
//   job_rows, job_rows_due_dates), into a flow-shop, unrelated-machine or
//   open-shop record.
enum class Layout {
    tagged,
    taillard,
    classic,
    taillard_jobshop,
    machine_rows,
    machine_rows_due_dates,
    job_rows,
    job_rows_due_dates,
};

// "tagged", "taillard", "classic", "taillard-jobshop", "mrows", "mrows-dd",
// "nrows", "nrows-dd"; the layout of a name, or nothing.
std::string_view layout_name(Layout layout) noexcept;
std::optional<Layout> layout_named(std::string_view name) noexcept;

// What a benchmark file says of one of its instances.
struct BenchmarkInstance {
    // The name the file gives it: OR-Library's " instance NAME", JSPLIB's
    // "# instance NAME"; Taillard's files name none, and their instances are
    // named by their (time) seed, which tells them apart. Empty when the file
    // gives neither.
    std::string name;
    std::string description;  // the description line or first comment, if any
    int jobs = 0;
    int machines = 0;
    int line = 0;  // the line of the file where the instance begins (from 1)
    std::optional<long> upper_bound;  // Taillard's files give both bounds
    std::optional<long> lower_bound;
};

// Which instance of a benchmark file to read: none named (the file must hold
// exactly one: a file holding several is never read as its first), its
// position in the file (from 0), or a name. A name that no instance has and
// that is a whole number is taken as a position, so a user's "--instance 3"
// and "--instance ft06" both work.
using InstanceChoice = std::variant<std::monostate, std::size_t, std::string>;

// The instances of a benchmark file (taillard, classic or taillard-jobshop
// layout), in file order. Throws Error: file; instance when the structure of
// the file (headers, counts, separators) is wrong, naming the source and the
// line; argument for another layout.
std::vector<BenchmarkInstance> list_instances(const std::string& path, Layout layout);
std::vector<BenchmarkInstance> list_instances_text(std::string_view text, const std::string& source, Layout layout);

// Reads the chosen instance of a benchmark file into an owning record:
// weights 1.0, release dates 0, no due dates. Validation is strict (these
// are published files): counts of at least 1, every entry an integer,
// processing times of at least 0, each job visiting each machine exactly
// once; a violation is an Error (instance) whose message begins with
// "SOURCE:LINE: ". A choice the file cannot satisfy, or none for a file
// holding several instances, is an Error (argument) naming how many
// instances the file holds and their names. `source` names text held in
// memory in the messages.
[[nodiscard]] Instance<FLOWSHOP> read_taillard(const std::string& path, const InstanceChoice& choice = {});
[[nodiscard]] Instance<FLOWSHOP> read_taillard_text(std::string_view text, const std::string& source,
                                                    const InstanceChoice& choice = {});
[[nodiscard]] Instance<JOBSHOP> read_classic_job_shop(const std::string& path, const InstanceChoice& choice = {});
[[nodiscard]] Instance<JOBSHOP> read_classic_job_shop_text(std::string_view text, const std::string& source,
                                                           const InstanceChoice& choice = {});
[[nodiscard]] Instance<JOBSHOP> read_taillard_job_shop(const std::string& path, const InstanceChoice& choice = {});
[[nodiscard]] Instance<JOBSHOP> read_taillard_job_shop_text(std::string_view text, const std::string& source,
                                                            const InstanceChoice& choice = {});

// The environment a tagged file describes, from its tags: RT, a job shop; V,
// uniform machines; no MACHINES, a single machine; PT a vector (no ";"),
// identical machines. PT a matrix fits unrelated machines, the flow shop and
// the open shop alike, and is an Error (argument) asking for one of them;
// so is a file that cannot be opened (Error file).
Environment tagged_environment(const std::string& path);
Environment tagged_environment_text(std::string_view text, const std::string& source);

// Loads an instance of any environment from a file in any layout: the
// tagged layout through load<Record> (with `options`), the benchmark layouts
// through their readers above (`choice`), the processing-time layouts through
// read_processing_times (with options.echo; with options.strict every entry
// is first checked to be an integer that reader reads whole, the counts at
// least 1, the times at least 0). Without an environment, a tagged file's
// is found by tagged_environment, the benchmark layouts give theirs and the
// processing-time layouts give the flow shop. An environment the layout
// cannot hold, or a choice of instance in a layout of one instance, is an
// Error (argument).
[[nodiscard]] AnyInstance load_instance(const std::string& path, std::optional<Environment> environment,
                                        Layout layout = Layout::tagged, const LoadOptions& options = {},
                                        const InstanceChoice& choice = {});
// The same from text held in memory (the processing-time layouts, read from
// files only, are an Error argument).
[[nodiscard]] AnyInstance load_instance_text(std::string_view text, const std::string& source,
                                             std::optional<Environment> environment, Layout layout = Layout::tagged,
                                             const LoadOptions& options = {}, const InstanceChoice& choice = {});

}  // namespace schedule

#endif  // SCHEDULE_CHECKED_H
