// schedule — the checked interface: instance files in every layout: the published benchmark layouts
// and the dispatcher over all of them.
// Part of <schedule/checked.h>, which includes every part.
#ifndef SCHEDULE_CHECKED_LAYOUTS_H
#define SCHEDULE_CHECKED_LAYOUTS_H

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "schedule/checked/loading.h"

namespace schedule {

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

// The layouts a text that is not a tagged file looks like, the likeliest
// first: Taillard's headers, or rows of whole numbers counted against the
// counts of their first line (a stray word does not hide them). Empty for
// an empty text, a tagged one, or one like none of them.
std::vector<Layout> likely_layouts(std::string_view text);

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
// tagged layout through load<Record> (with `options`; when the environment
// comes from the tags, a strict load refuses a tag no record knows before it
// looks at them), the benchmark layouts
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

#endif  // SCHEDULE_CHECKED_LAYOUTS_H
