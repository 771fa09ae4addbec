// zurududo benchmarks — the standard instance sets of the literature as
// records of the toolkit, by name, with their best known values.
//
// Taillard's flow-shop (ta001 … ta120) and job-shop (ta01 … ta80) instances
// are generated from their seeds; the OR-Library job shops (ft06, la01, …)
// and weighted-tardiness sets (wt40_001 … wt100_125) are compiled into the
// library, so an installed program needs no data path.
//
// Every record returned here owns its blocks, which come from the toolkit's
// allocators; the records follow the toolkit's conventions (no due dates
// unless the set has them, unit weights, release dates 0).
#ifndef ZURUDUDO_BENCHMARKS_H
#define ZURUDUDO_BENCHMARKS_H

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <schedule/checked.h>

namespace zurududo::benchmarks {

// ---------------------------------------------------------------------------
// Taillard's generator (Taillard 1993, "Benchmarks for basic scheduling
// problems"): a Lehmer generator, multiplier 16807 modulo 2^31 − 1, evaluated
// by Schrage's method so that every intermediate fits in 32 bits.
// ---------------------------------------------------------------------------
class TaillardRandom {
public:
    explicit TaillardRandom(std::int32_t seed) : seed_(seed) {}
    // An integer in low … high, uniformly; advances the seed.
    int uniform(int low, int high);
    std::int32_t seed() const { return seed_; }

private:
    std::int32_t seed_;
};

// Flow shop of `jobs` × `machines`: pt[i][j] drawn machine by machine, job by job, in 1 … 99.
schedule::Instance<schedule::FLOWSHOP> taillard_flowshop(int jobs, int machines, std::int32_t time_seed);

// Job shop of `jobs` × `machines`: all times first (job by job, operation by
// operation, in 1 … 99), then each job's routing by swapping a list of the
// machines; machines are numbered from 0.
schedule::Instance<schedule::JOBSHOP> taillard_jobshop(int jobs, int machines, std::int32_t time_seed,
                                                       std::int32_t machine_seed);

// ---------------------------------------------------------------------------
// OR-Library's weighted-tardiness layout: many single-machine instances of
// `jobs` jobs one after another, each its processing times, then its weights,
// then its due dates, all non-negative integers separated by white space.
// Anything else — a word, a negative or oversized number, a last instance cut
// short — throws schedule::Error (instance) naming `origin` and the line.
// The records have due dates and weights, release dates 0.
// ---------------------------------------------------------------------------
std::vector<schedule::Instance<schedule::SINGLE_MACHINE>> read_weighted_tardiness(std::string_view text, int jobs,
                                                                                  std::string_view origin);

// ---------------------------------------------------------------------------
// The catalogue of named instances.
// ---------------------------------------------------------------------------
// Which generator or embedded file makes an instance.
enum class Source { taillard_flowshop, taillard_jobshop, orlib_jobshop, orlib_weighted_tardiness };

struct Entry {
    std::string name;                   // ta001, ta01, ft06, wt40_001, …
    std::string set;                    // taillard-flowshop, taillard-jobshop, orlib-jobshop, wt40, wt50, wt100
    schedule::Environment environment;  // single, flowshop or jobshop
    std::string objective;              // the objective the values refer to: Cmax, or Wj_SumTj
    int jobs;
    int machines;
    long best_known;  // the best known value (the optimum when `optimal`)
    std::optional<long> lower_bound;
    bool optimal;  // best_known is proven optimal
    // Flow shop only: the makespan of NEH with the first-best tie rule, and the
    // best known value most papers up to 2023 measured against.
    std::optional<long> neh_makespan;
    std::optional<long> best_known_classic;
    // How to make it.
    Source source;
    std::int32_t time_seed = 0;     // Taillard sets
    std::int32_t machine_seed = 0;  // Taillard's job shop
    std::string file;               // embedded file of the OR-Library sets
    int index = 0;                  // position in that file (from 1), weighted tardiness
};

// Every named instance, in set order.
std::span<const Entry> catalogue();
// The names of the sets, in catalogue order.
std::vector<std::string> sets();
// The entry of a name, its case ignored ("TA056" is ta056), or null.
const Entry* find(std::string_view name);
// The entries of a set (empty for an unknown set).
std::vector<const Entry*> set_entries(std::string_view set);
// The name of the catalogue nearest to `name` when it is near enough to be a
// slip of the keyboard ("ta0566": ta056, "ft11": ft10), or nothing.
std::optional<std::string> closest_instance(std::string_view name);

// The instance of an entry; the environment must be the one asked for, or
// schedule::Error (argument) is thrown.
schedule::Instance<schedule::FLOWSHOP> make_flowshop(const Entry& entry);
schedule::Instance<schedule::JOBSHOP> make_jobshop(const Entry& entry);
schedule::Instance<schedule::SINGLE_MACHINE> make_single_machine(const Entry& entry);
// The instance of an entry, of the entry's environment.
schedule::AnyInstance make_instance(const Entry& entry);

// ---------------------------------------------------------------------------
// The one instance resolver of sched, the experiment runner and the Python
// package: an instance given as a file, "-" for standard input, or the name
// of a benchmark instance, tried in that order.
// ---------------------------------------------------------------------------
struct ResolveOptions {
    // The environment; nothing: a tagged file's from its tags (see
    // schedule::load_instance), a benchmark layout's own, an entry's own.
    std::optional<schedule::Environment> environment;
    schedule::Layout layout = schedule::Layout::tagged;
    schedule::LoadOptions load;  // strict unless asked otherwise
    schedule::InstanceChoice choice;  // the instance of a benchmark file holding several
};

struct Resolved {
    schedule::AnyInstance instance;
    std::string label;            // the file's path, "-", or the entry's name
    const Entry* entry = nullptr;  // the benchmark instance, when a name was given
};

// The instance `what` names, loaded and validated. A file is read as text by
// schedule::read_text_file and loaded by schedule::load_instance_text (the
// processing-time layouts by schedule::load_instance, from a file only);
// "-" is standard input, named "standard input" in the messages; a name (its
// case ignored) is made by make_instance. What holds "/" or "." is a path,
// never a name. Throws schedule::Error: file, as schedule::read_text_file
// does for a file the system refuses ("File not found" and the system's
// error number for a missing one), and for a word that is neither a file nor
// a name (code 2: "no file or benchmark named 'ta0566' (did you mean
// ta056?)"); instance, for a file the loader rejects, standard input that
// is empty or not text, or a record that does not validate; argument, for
// an environment, layout or choice of instance that does not fit.
Resolved resolve(const std::string& what, const ResolveOptions& options = {});

// The bytes of an embedded data file (e.g. "orlib_jobshop/ft06.txt",
// "smtwt/wt40.txt"), or nullopt.
std::optional<std::string_view> embedded_file(std::string_view path);

// Relative percentage deviation of `value` from `reference`: 100·(value − reference)/reference.
double rpd(double value, double reference);

}  // namespace zurududo::benchmarks

#endif  // ZURUDUDO_BENCHMARKS_H
