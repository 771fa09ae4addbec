// zurududo._core: the library's checked interface as a Python extension.
//
// An Instance owns one of the seven records. Everything that can fail goes
// through the checked interface, whose schedule::Error becomes a Python
// exception; long work runs without the GIL.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <exception>
#include <optional>
#include <string>
#include <thread>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include <schedule/checked.h>
#include <schedule/schedule.h>
#include <zurududo/benchmarks.h>
#include <zurududo/heuristics.h>

#include "arrays.h"

namespace zurududo_python {
namespace {

using schedule::AnyInstance;
using schedule::Environment;
using schedule::ErrorKind;
using schedule::FLOWSHOP;
using schedule::JOBSHOP;
using schedule::OPENSHOP;

// ---------------------------------------------------------------------------
// Errors
// ---------------------------------------------------------------------------

// zurududo.Error, set up when the module is.
PyObject* error_type = nullptr;

// Text from the library, which may hold bytes of a file that are not UTF-8.
py::str text(const std::string& bytes) {
    return py::reinterpret_steal<py::str>(
        PyUnicode_DecodeUTF8(bytes.data(), static_cast<py::ssize_t>(bytes.size()), "replace"));
}

// A missing file is FileNotFoundError, another file failure OSError, a
// rejected instance zurududo.Error (its message and `report` the loader's
// report), a bad argument ValueError, storage MemoryError.
void raise_python_error(const schedule::Error& e) {
    const py::str message = text(e.what());
    switch (e.kind()) {
        case ErrorKind::file:
            if (e.code() == 2) {
                const py::tuple args = py::make_tuple(ENOENT, std::strerror(ENOENT), text(e.info()));
                PyErr_SetObject(PyExc_FileNotFoundError, args.ptr());
            } else {
                PyErr_SetObject(PyExc_OSError, message.ptr());
            }
            return;
        case ErrorKind::instance: {
            const py::object error = py::reinterpret_borrow<py::object>(error_type)(message);
            error.attr("report") = message;
            error.attr("code") = e.code();
            PyErr_SetObject(error_type, error.ptr());
            return;
        }
        case ErrorKind::memory:
            PyErr_SetObject(PyExc_MemoryError, message.ptr());
            return;
        case ErrorKind::argument:
            PyErr_SetObject(PyExc_ValueError, message.ptr());
            return;
    }
}

// ---------------------------------------------------------------------------
// Records by environment
// ---------------------------------------------------------------------------

template <class Record>
using Tag = std::type_identity<Record>;

// f(Tag<Record>{}) for the record of `environment`.
template <class F>
decltype(auto) with_record(Environment environment, F&& f) {
    switch (environment) {
        case Environment::single: return f(Tag<schedule::SINGLE_MACHINE>{});
        case Environment::identical: return f(Tag<schedule::PARALLEL_MACHINES>{});
        case Environment::uniform: return f(Tag<schedule::RELATED_MACHINES>{});
        case Environment::unrelated: return f(Tag<schedule::UNRELATED_MACHINES>{});
        case Environment::flowshop: return f(Tag<FLOWSHOP>{});
        case Environment::openshop: return f(Tag<OPENSHOP>{});
        case Environment::jobshop: break;
    }
    return f(Tag<JOBSHOP>{});
}

Environment environment_argument(const std::string& name) {
    if (const auto environment = schedule::environment_named(name)) return *environment;
    value_error("unknown environment '" + name +
                "' (single, identical, uniform, unrelated, flowshop, openshop or jobshop)");
}

template <class Record>
constexpr bool has_vector_pt = std::is_same_v<decltype(Record::pt), int*>;

// ---------------------------------------------------------------------------
// Instances from arrays, and back
// ---------------------------------------------------------------------------

struct Arrays {
    py::object pt, machines, dd, w, r, v, rt;
    // The state of a pickled instance: what a lenient load accepted (negative
    // times or weights) is restored as it was, not refused.
    bool restored = false;
};

template <class T>
T* vector_of(const std::vector<long long>& values) {
    schedule::Vector<T> block = schedule::allocate_vector<T>(static_cast<int>(values.size()));
    std::copy(values.begin(), values.end(), block.get());
    return block.release();
}

int** matrix_of(const IntegerTable& table) {
    schedule::Matrix matrix = schedule::Matrix::allocate(static_cast<int>(table.rows), static_cast<int>(table.cols));
    for (py::ssize_t i = 0; i < table.rows; ++i)
        std::copy_n(table.values.begin() + i * table.cols, table.cols, matrix[static_cast<int>(i)]);
    return matrix.release();
}

void check_length(const char* what, std::size_t length, int jobs) {
    if (length != static_cast<std::size_t>(jobs))
        value_error(std::string("the ") + what + " has " + std::to_string(length) + " entries; the instance has " +
                    std::to_string(jobs) + " jobs");
}

int count_of(py::ssize_t count, const char* what) {
    if (count > INT_MAX) value_error(std::string("too many ") + what);
    return static_cast<int>(count);
}

template <class Record>
schedule::Instance<Record> from_arrays(const Arrays& a) {
    constexpr Environment environment = schedule::environment_of<Record>;
    const std::string env(schedule::environment_name(environment));
    Record record{};
    IntegerTable pt;
    std::optional<IntegerTable> v;
    if constexpr (has_vector_pt<Record>) {
        pt = integer_table(a.pt, 1, "pt", a.restored ? INT_MIN : 0, INT_MAX);
        record.jobs = count_of(pt.cols, "jobs");
        if constexpr (requires { record.v; }) {
            if (a.v.is_none()) value_error("a uniform-machine instance needs the speeds v");
            v = integer_table(a.v, 1, "v", 1, INT_MAX);
            record.machines = count_of(v->cols, "machines");
        } else if constexpr (environment == Environment::identical) {
            if (a.machines.is_none()) value_error("an identical-machine instance needs machines=");
            record.machines = static_cast<int>(integer_argument(a.machines, "number of machines", 1, INT_MAX));
        } else {
            record.machines = 1;
        }
    } else {
        pt = integer_table(a.pt, 2, "pt", a.restored ? INT_MIN : 0, INT_MAX);
        record.machines = count_of(pt.rows, "machines");
        record.jobs = count_of(pt.cols, "jobs");
    }
    if (!a.machines.is_none() && environment != Environment::identical &&
        integer_argument(a.machines, "number of machines", 0, INT_MAX) != record.machines)
        value_error("machines=" + std::string(py::str(a.machines)) + " but the " + env + " instance has " +
                    std::to_string(record.machines) + " (from " + (v ? "v" : "pt") + ")");
    if (!a.v.is_none() && !v) value_error("speeds v belong to uniform machines, not to a " + env + " instance");
    if constexpr (!requires { record.rt; }) {
        if (!a.rt.is_none()) value_error("a routing rt belongs to the job shop, not to a " + env + " instance");
    }

    schedule::Instance<Record> instance(record);
    Record& owned = instance.get();
    if constexpr (has_vector_pt<Record>) {
        owned.pt = vector_of<int>(pt.values);
    } else {
        owned.pt = matrix_of(pt);
    }
    if constexpr (requires { record.v; }) owned.v = vector_of<int>(v->values);
    if constexpr (requires { record.rt; }) {
        if (a.rt.is_none()) value_error("a job-shop instance needs the routing rt (jobs × machines)");
        const IntegerTable rt = integer_table(a.rt, 2, "rt", 0, record.machines - 1L);
        if (rt.rows != record.jobs || rt.cols != record.machines)
            value_error("the routing rt is " + std::to_string(rt.rows) + " × " + std::to_string(rt.cols) +
                        "; the instance needs jobs × machines, " + std::to_string(record.jobs) + " × " +
                        std::to_string(record.machines));
        owned.rt = matrix_of(rt);
    }
    if (!a.dd.is_none()) {
        const IntegerTable dd = integer_table(a.dd, 1, "dd", LLONG_MIN, LLONG_MAX);
        check_length("due dates dd", dd.values.size(), record.jobs);
        owned.dd = vector_of<long>(dd.values);
    }
    std::vector<long long> r(static_cast<std::size_t>(record.jobs), 0);
    if (!a.r.is_none()) {
        r = integer_table(a.r, 1, "r", INT_MIN, INT_MAX).values;
        check_length("release dates r", r.size(), record.jobs);
    }
    owned.r = vector_of<int>(r);
    std::vector<double> w(static_cast<std::size_t>(record.jobs), 1.0);
    if (!a.w.is_none()) {
        w = real_vector(a.w, "w", a.restored ? -HUGE_VAL : 0.0);
        check_length("weights w", w.size(), record.jobs);
    }
    schedule::Vector<double> weights = schedule::allocate_vector<double>(record.jobs);
    std::copy(w.begin(), w.end(), weights.get());
    owned.w = weights.release();
    schedule::validate(owned);
    return instance;
}

// A read-only NumPy copy of `count` elements of `data`.
template <class Out, class In>
py::array frozen(const In* data, std::vector<py::ssize_t> shape, const In* const* rows = nullptr) {
    py::array_t<Out> array(shape);
    Out* out = array.mutable_data();
    if (rows == nullptr) {
        std::copy_n(data, array.size(), out);
    } else {
        for (py::ssize_t i = 0; i < shape[0]; ++i) std::copy_n(rows[i], shape[1], out + i * shape[1]);
    }
    array.attr("flags").attr("writeable") = false;
    return array;
}

template <class Record>
py::object pt_of(const Record& record) {
    if constexpr (has_vector_pt<Record>) {
        return frozen<std::int32_t>(record.pt, {record.jobs});
    } else {
        return frozen<std::int32_t, int>(nullptr, {record.machines, record.jobs}, record.pt);
    }
}

// ---------------------------------------------------------------------------
// Loading
// ---------------------------------------------------------------------------

// The loader's echo, gathered in memory and then written to sys.stdout, so
// that it goes where Python's own output goes.
class EchoCapture {
public:
    explicit EchoCapture(bool on) {
        if (on && (stream_ = open_memstream(&buffer_, &size_)) == nullptr) throw std::bad_alloc();
    }
    EchoCapture(const EchoCapture&) = delete;
    EchoCapture& operator=(const EchoCapture&) = delete;
    ~EchoCapture() {
        if (stream_ != nullptr) std::fclose(stream_);
        std::free(buffer_);
    }

    std::FILE* stream() const noexcept { return stream_; }

    // Writes what was gathered to sys.stdout (the GIL held).
    void deliver() {
        if (stream_ == nullptr) return;
        std::fclose(stream_);
        stream_ = nullptr;
        if (size_ > 0) py::module_::import("sys").attr("stdout").attr("write")(text(std::string(buffer_, size_)));
    }

private:
    std::FILE* stream_ = nullptr;
    char* buffer_ = nullptr;
    std::size_t size_ = 0;
};

// The names the package gave the processing-time layouts before the library
// named them; still read.
struct LayoutAlias {
    const char* name;
    schedule::Layout layout;
};
constexpr LayoutAlias layout_aliases[] = {
    {"machine_rows", schedule::Layout::machine_rows},
    {"machine_rows_due_dates", schedule::Layout::machine_rows_due_dates},
    {"job_rows", schedule::Layout::job_rows},
    {"job_rows_due_dates", schedule::Layout::job_rows_due_dates},
};
constexpr schedule::Layout all_layouts[] = {
    schedule::Layout::tagged,       schedule::Layout::taillard,
    schedule::Layout::classic,      schedule::Layout::taillard_jobshop,
    schedule::Layout::machine_rows, schedule::Layout::machine_rows_due_dates,
    schedule::Layout::job_rows,     schedule::Layout::job_rows_due_dates,
};

schedule::Layout layout_argument(const std::string& name) {
    if (const auto layout = schedule::layout_named(name)) return *layout;
    for (const LayoutAlias& alias : layout_aliases)
        if (name == alias.name) return alias.layout;
    std::string known;
    for (const schedule::Layout layout : all_layouts)
        known += (known.empty() ? "" : ", ") + std::string(schedule::layout_name(layout));
    value_error("unknown layout '" + name + "' (" + known + ")");
}

std::optional<Environment> optional_environment(const py::object& env) {
    if (env.is_none()) return std::nullopt;
    return environment_argument(env.cast<std::string>());
}

// instance=: None, a position in the file (an int) or a name.
schedule::InstanceChoice instance_choice(const py::object& instance) {
    if (instance.is_none()) return {};
    if (py::isinstance<py::str>(instance)) return instance.cast<std::string>();
    return static_cast<std::size_t>(integer_argument(instance, "instance position", 0, LLONG_MAX));
}

std::string path_argument(py::handle path) {
    const py::bytes encoded = py::module_::import("os").attr("fsencode")(path);
    return std::string(encoded);
}

// ---------------------------------------------------------------------------
// The Python Instance
// ---------------------------------------------------------------------------

template <class Record>
constexpr bool evaluated = schedule::EvaluatedRecord<Record>;

// Above this many processing times an evaluation lets other threads run.
constexpr long long gil_free_cells = 1 << 14;

py::object python_value(const schedule::Value& value) {
    return std::visit([](auto v) -> py::object { return py::cast(v); }, value);
}

class Instance {
public:
    explicit Instance(AnyInstance data) : data_(std::move(data)) {}

    template <class F>
    decltype(auto) visit(F&& f) const {
        return std::visit([&](const auto& owned) -> decltype(auto) { return f(owned.get()); }, data_);
    }

    // f(record) for an environment with evaluators; ValueError for the open shop.
    template <class F>
    decltype(auto) evaluated_visit(F&& f) const {
        return visit([&]<class Record>(const Record& record) -> decltype(auto) {
            if constexpr (evaluated<Record>) {
                return f(record);
            } else {
                value_error("no objective is evaluated on an open shop: the library loads it but schedules nothing on it");
                return decltype(f(std::declval<const FLOWSHOP&>())){};
            }
        });
    }

    Environment environment() const {
        return visit([]<class Record>(const Record&) { return schedule::environment_of<Record>; });
    }
    int jobs() const { return visit([](const auto& r) { return r.jobs; }); }
    int machines() const { return visit([](const auto& r) { return r.machines; }); }
    bool large() const { return static_cast<long long>(jobs()) * machines() >= gil_free_cells; }

    py::object evaluate(const py::object& seq, const std::string& objective) const {
        const std::vector<int> entries = int_sequence(seq);
        return evaluated_visit([&]<class Record>(const Record& record) {
            const auto& entry = schedule::find_objective<Record>(objective);
            std::optional<py::gil_scoped_release> unlocked;
            if (large()) unlocked.emplace();
            const schedule::Value value = schedule::evaluate(record, entries, entry);
            unlocked.reset();
            return python_value(value);
        });
    }

    py::dict objectives(const py::object& seq) const {
        const std::vector<int> entries = int_sequence(seq);
        return evaluated_visit([&]<class Record>(const Record& record) {
            py::dict values;
            schedule::validate(record);
            schedule::validate_sequence(record, entries);
            for (const auto& entry : schedule::objective_table<Record>) {
                const py::str name(entry.name.data(), entry.name.size());
                if (entry.needs_due_dates && record.dd == nullptr) {
                    values[name] = py::none();
                } else {
                    values[name] = python_value(schedule::evaluate(record, entries, entry));
                }
            }
            return values;
        });
    }

    py::array completion_times(const py::object& seq) const {
        const std::vector<int> entries = int_sequence(seq);
        return evaluated_visit([&]<class Record>(const Record& record) {
            const std::vector<long> times = schedule::completion_times(record, entries);
            return py::array(py::array_t<std::int64_t>(static_cast<py::ssize_t>(times.size()), times.data()));
        });
    }

    py::array evaluate_many(const py::object& seqs, const std::string& objective, const py::object& threads) const;

    py::array insertion_makespans(const py::object& partial, const py::object& job) const {
        const std::vector<int> entries = int_sequence(partial, "partial sequence");
        const int inserted = static_cast<int>(integer_argument(job, "job to insert", INT_MIN, INT_MAX));
        return visit([&]<class Record>(const Record& record) -> py::array {
            if constexpr (std::is_same_v<Record, FLOWSHOP>) {
                const std::vector<long> makespans = schedule::insertion_makespans(record, entries, inserted);
                return py::array_t<std::int64_t>(static_cast<py::ssize_t>(makespans.size()), makespans.data());
            } else {
                value_error("insertion makespans are computed for the flow shop, not for a " +
                            std::string(schedule::environment_name(schedule::environment_of<Record>)) + " instance");
            }
        });
    }

    py::array schedule(const py::object& seq) const {
        const std::vector<int> entries = int_sequence(seq);
        return evaluated_visit([&]<class Record>(const Record& record) {
            const std::vector<schedule::Operation> operations = schedule::schedule_operations(record, entries);
            return py::array(py::array_t<schedule::Operation>(static_cast<py::ssize_t>(operations.size()),
                                                              operations.data()));
        });
    }

    void write_schedule(const py::object& seq, const py::object& path) const {
        const std::vector<int> entries = int_sequence(seq);
        const std::string file = path_argument(path);
        evaluated_visit([&]<class Record>(const Record& record) {
            py::gil_scoped_release unlocked;
            schedule::write_schedule(record, entries, file);
            return 0;
        });
    }

    // The arrays the instance was made of, for pickling and for repr.
    py::tuple state() const {
        return visit([&]<class Record>(const Record& record) {
            py::object v = py::none();
            py::object rt = py::none();
            py::object dd = py::none();
            if constexpr (requires { record.v; }) v = frozen<std::int32_t>(record.v, {record.machines});
            if constexpr (requires { record.rt; })
                rt = frozen<std::int32_t, int>(nullptr, {record.jobs, record.machines}, record.rt);
            if (record.dd != nullptr) dd = frozen<std::int64_t>(record.dd, {record.jobs});
            return py::make_tuple(std::string(schedule::environment_name(schedule::environment_of<Record>)),
                                  pt_of(record), record.machines, dd, frozen<double>(record.w, {record.jobs}),
                                  frozen<std::int32_t>(record.r, {record.jobs}), v, rt);
        });
    }

private:
    AnyInstance data_;
};

Instance make_instance(const std::string& env, const Arrays& arrays) {
    return Instance(with_record(environment_argument(env), [&]<class Record>(Tag<Record>) {
        return AnyInstance(from_arrays<Record>(arrays));
    }));
}

Instance from_state(const py::tuple& state) {
    if (state.size() != 8) value_error("not the state of a zurududo.Instance");
    return make_instance(state[0].cast<std::string>(),
                         Arrays{state[1], state[2], state[3], state[4], state[5], state[6], state[7], true});
}

// ---------------------------------------------------------------------------
// Many sequences at once
// ---------------------------------------------------------------------------

// The first failure of any worker: the lowest row wins, so the report does
// not depend on the number of threads.
struct Failure {
    py::ssize_t row = -1;
    std::string message;
    std::exception_ptr other;
};

// The library's evaluators of many sequences at once, in the order of the
// objective table (the unweighted objectives, then their Wj_ forms), for the
// environments that have them.
template <class Record>
struct Batch {
    static constexpr bool available = false;
};
#define ZURUDUDO_BATCH_TABLE(P, Record)                                                                            \
    template <>                                                                                                     \
    struct Batch<Record> {                                                                                          \
        static constexpr bool available = true;                                                                     \
        using Integer = void (*)(const int*, int, Record, long*);                                                   \
        using Real = void (*)(const int*, int, Record, double*);                                                    \
        static constexpr Integer integer[] = {P##_Cmax_many,  P##_Emax_many,  P##_Fmax_many,  P##_Lmax_many,        \
                                              P##_SumCj_many, P##_SumEj_many, P##_SumFj_many, P##_SumLj_many,       \
                                              P##_SumTj_many, P##_SumUj_many, P##_Tmax_many};                       \
        static constexpr Real real[] = {P##_Wj_Cmax_many,  P##_Wj_Emax_many,  P##_Wj_Fmax_many,  P##_Wj_Lmax_many,  \
                                        P##_Wj_SumCj_many, P##_Wj_SumEj_many, P##_Wj_SumFj_many, P##_Wj_SumLj_many, \
                                        P##_Wj_SumTj_many, P##_Wj_SumUj_many, P##_Wj_Tmax_many};                    \
    };
ZURUDUDO_BATCH_TABLE(schedule::S1_Rj, schedule::SINGLE_MACHINE)
ZURUDUDO_BATCH_TABLE(schedule::Fm_Prmu_Rj, FLOWSHOP)
#undef ZURUDUDO_BATCH_TABLE

// Rows checked and then evaluated together by a batch evaluator.
constexpr py::ssize_t batch_rows = 256;

// Row i read and checked as a sequence of the record: its entries, or null
// with what is wrong in `failure`.
template <class Record>
const int* checked_row(const Record& record, const IntegerRows& rows, py::ssize_t i, std::vector<int>& buffer,
                       Failure& failure) {
    const int* entries = nullptr;
    std::string problem;
    if (!rows.row(i, buffer, entries, problem)) {
        failure = {i, problem, nullptr};
        return nullptr;
    }
    try {
        schedule::validate_sequence(record, std::span<const int>(entries, static_cast<std::size_t>(rows.cols())));
    } catch (const schedule::Error& e) {
        failure = {i, "row " + std::to_string(i) + ": " + e.info(), nullptr};
        return nullptr;
    }
    return entries;
}

// Rows begin … end − 1: each read, checked and evaluated into out[row]: by
// the library's batch evaluator, a block of checked rows at a time, where the
// environment has one; one by one otherwise.
template <class Record, class Out>
void evaluate_rows(const Record& record, const schedule::Objective<Record>& objective, const IntegerRows& rows,
                   py::ssize_t begin, py::ssize_t end, Out* out, Failure& failure) {
    std::vector<int> buffer;
    const std::size_t length = static_cast<std::size_t>(rows.cols());
    try {
        if constexpr (Batch<Record>::available) {
            const std::size_t k = static_cast<std::size_t>(&objective - schedule::objective_table<Record>.data());
            std::vector<int> block(static_cast<std::size_t>(std::min(batch_rows, end - begin)) * length);
            for (py::ssize_t first = begin; first < end; first += batch_rows) {
                const py::ssize_t last = std::min(end, first + batch_rows);
                for (py::ssize_t i = first; i < last; ++i) {
                    const int* entries = checked_row(record, rows, i, buffer, failure);
                    if (entries == nullptr) return;
                    std::copy_n(entries, length, block.begin() + static_cast<std::ptrdiff_t>((i - first) * rows.cols()));
                }
                const int count = static_cast<int>(last - first);
                if constexpr (std::is_same_v<Out, double>) {
                    Batch<Record>::real[k - std::size(Batch<Record>::integer)](block.data(), count, record, out + first);
                } else {
                    Batch<Record>::integer[k](block.data(), count, record, out + first);
                }
            }
        } else {
            for (py::ssize_t i = begin; i < end; ++i) {
                const int* entries = checked_row(record, rows, i, buffer, failure);
                if (entries == nullptr) return;
                out[i] = std::get<Out>(schedule::evaluate(record, std::span<const int>(entries, length), objective));
            }
        }
    } catch (...) {
        failure = {begin, {}, std::current_exception()};
    }
}

py::array Instance::evaluate_many(const py::object& seqs, const std::string& objective, const py::object& threads) const {
    const long long wanted = integer_argument(threads, "number of threads", 0, 4096);
    return evaluated_visit([&]<class Record>(const Record& record) -> py::array {
        const schedule::Objective<Record>& entry = schedule::find_objective<Record>(objective);
        // (The batch evaluators end the process on missing due dates.)
        if (entry.needs_due_dates && record.dd == nullptr)
            value_error(std::string(entry.name) + " needs due dates and the instance has none");
        const IntegerRows rows(seqs, "sequences");
        const auto run = [&]<class Out>(py::array_t<Out> result) -> py::array {
            Out* out = result.mutable_data();
            const py::ssize_t count = rows.rows();
            const long long cores = std::max(1U, std::thread::hardware_concurrency());
            const py::ssize_t workers =
                std::max<py::ssize_t>(1, std::min<py::ssize_t>(count, wanted == 0 ? cores : wanted));
            std::vector<Failure> failures(static_cast<std::size_t>(workers));
            {
                py::gil_scoped_release unlocked;
                std::vector<std::thread> pool;
                const auto block = [&](py::ssize_t w) { return count * w / workers; };
                for (py::ssize_t w = 1; w < workers; ++w) {
                    pool.emplace_back([&, w] {
                        evaluate_rows(record, entry, rows, block(w), block(w + 1), out, failures[w]);
                    });
                }
                evaluate_rows(record, entry, rows, block(0), block(1), out, failures[0]);
                for (std::thread& t : pool) t.join();
            }
            for (const Failure& f : failures) {
                if (f.other) std::rethrow_exception(f.other);
                if (f.row >= 0) value_error(f.message);
            }
            return result;
        };
        if (entry.weighted) return run(py::array_t<double>(rows.rows()));
        return run(py::array_t<long>(rows.rows()));
    });
}


// ---------------------------------------------------------------------------
// The benchmark sets
// ---------------------------------------------------------------------------

namespace benchmarks = zurududo::benchmarks;
namespace heuristics = zurududo::heuristics;

// The named-tuple types of the module (zurududo.BenchmarkEntry, …), made when
// it is set up and kept for the life of the interpreter.
PyObject* entry_type = nullptr;
PyObject* result_type = nullptr;
PyObject* improvement_type = nullptr;

Instance benchmark_instance(const std::string& name) {
    const benchmarks::Entry* entry = benchmarks::find(name);
    if (entry == nullptr) value_error("no benchmark instance is named '" + name + "' (zurududo.benchmarks() lists them)");
    py::gil_scoped_release unlocked;
    switch (entry->environment) {
        case Environment::flowshop: return Instance(AnyInstance(benchmarks::make_flowshop(*entry)));
        case Environment::jobshop: return Instance(AnyInstance(benchmarks::make_jobshop(*entry)));
        default: return Instance(AnyInstance(benchmarks::make_single_machine(*entry)));
    }
}

py::object optional_int(const std::optional<long>& value) { return value ? py::object(py::int_(*value)) : py::none(); }

py::list benchmark_entries(const py::object& set) {
    std::vector<const benchmarks::Entry*> entries;
    if (set.is_none()) {
        for (const benchmarks::Entry& entry : benchmarks::catalogue()) entries.push_back(&entry);
    } else {
        const std::string name = set.cast<std::string>();
        entries = benchmarks::set_entries(name);
        if (entries.empty()) {
            std::string known;
            for (const std::string& s : benchmarks::sets()) known += (known.empty() ? "" : ", ") + s;
            value_error("no benchmark set is named '" + name + "' (" + known + ")");
        }
    }
    const py::object make = py::reinterpret_borrow<py::object>(entry_type);
    py::list out;
    for (const benchmarks::Entry* e : entries) {
        out.append(make(e->name, e->set, std::string(schedule::environment_name(e->environment)), e->objective, e->jobs,
                        e->machines, e->best_known, optional_int(e->lower_bound), e->optimal,
                        optional_int(e->neh_makespan), optional_int(e->best_known_classic)));
    }
    return out;
}

// ---------------------------------------------------------------------------
// The heuristics
// ---------------------------------------------------------------------------

// Raised through a search to end it when the Python callback raised; the
// Python exception itself is kept aside.
struct CallbackFailed {};

struct SolveArguments {
    std::string objective;
    std::string algorithm;  // empty: the default of the environment and objective
    heuristics::Options options;
};

// Searches run on a budget; the constructions and rules run once.
constexpr const char* searches[] = {"iterated_greedy", "weighted_tardiness_search", "tabu_search", "generic"};
constexpr const char* algorithms =
    "neh, iterated_greedy (flow shop, Cmax); edd, wspt, atc, weighted_tardiness_search (single machine with due "
    "dates); lpt (identical machines); tabu_search (job shop, Cmax) and the job shop's dispatching rules spt, lpt, "
    "mwkr, lwkr, mopnr, fifo, random; generic (any environment and objective)";

template <class Record>
std::string default_algorithm(const std::string& objective) {
    if constexpr (std::is_same_v<Record, FLOWSHOP>) {
        if (objective == "Cmax") return "iterated_greedy";
    } else if constexpr (std::is_same_v<Record, schedule::SINGLE_MACHINE>) {
        if (objective == "Wj_SumTj") return "weighted_tardiness_search";
    } else if constexpr (std::is_same_v<Record, schedule::JOBSHOP>) {
        if (objective == "Cmax") return "tabu_search";
    }
    return "generic";
}

template <class Record>
heuristics::Result run_algorithm(const Record& record, const SolveArguments& a) {
    const std::string& name = a.algorithm;
    const auto wrong = [&](const char* needs) -> heuristics::Result {
        value_error("the algorithm " + name + " " + needs + ", not " + a.objective + " on a " +
                    std::string(schedule::environment_name(schedule::environment_of<Record>)) + " instance");
    };
    if (name == "generic") return heuristics::generic_search(record, a.objective, a.options);
    if constexpr (std::is_same_v<Record, FLOWSHOP>) {
        if (name == "neh" || name == "iterated_greedy") {
            if (a.objective != "Cmax") return wrong("minimises Cmax on the flow shop");
            return name == "neh" ? heuristics::neh(record) : heuristics::iterated_greedy(record, a.options);
        }
    }
    if constexpr (std::is_same_v<Record, schedule::SINGLE_MACHINE>) {
        if (name == "edd" || name == "wspt" || name == "atc" || name == "weighted_tardiness_search") {
            if (record.dd == nullptr) value_error("the algorithm " + name + " needs due dates and the instance has none");
            if (name == "edd") return heuristics::edd(record);
            if (name == "wspt") return heuristics::wspt(record);
            if (name == "atc") return heuristics::atc(record);
            if (a.objective != "Wj_SumTj") return wrong("minimises Wj_SumTj on a single machine");
            if (std::any_of(record.r, record.r + record.jobs, [](int r) { return r != 0; }))
                value_error("the algorithm weighted_tardiness_search assumes release dates 0; use algorithm=\"generic\"");
            return heuristics::weighted_tardiness_search(record, a.options);
        }
    }
    if constexpr (std::is_same_v<Record, schedule::PARALLEL_MACHINES>) {
        if (name == "lpt") return heuristics::lpt(record);
    }
    if constexpr (std::is_same_v<Record, schedule::JOBSHOP>) {
        if (name == "tabu_search") {
            if (a.objective != "Cmax") return wrong("minimises Cmax on the job shop");
            return heuristics::tabu_search(record, a.options);
        }
        for (const heuristics::PriorityRule rule : heuristics::priority_rules) {
            if (name == heuristics::rule_name(rule))
                return heuristics::dispatch(record, rule, heuristics::GenerationScheme::active, a.options.seed);
        }
    }
    value_error("the algorithm '" + name + "' does not apply to a " +
                std::string(schedule::environment_name(schedule::environment_of<Record>)) + " instance (" + algorithms +
                ")");
}

py::array sequence_array(std::span<const int> sequence) {
    return py::array_t<std::int32_t>(static_cast<py::ssize_t>(sequence.size()), sequence.data());
}

py::object solve(const Instance& instance, const std::string& objective, const py::object& algorithm,
                 const py::object& time_limit, const py::object& iterations, const py::object& seed,
                 const py::object& on_improvement) {
    SolveArguments a;
    a.objective = objective;
    if (!algorithm.is_none()) a.algorithm = algorithm.cast<std::string>();
    heuristics::Budget& budget = a.options.budget;
    if (!time_limit.is_none()) {
        budget.seconds = time_limit.cast<double>();
        if (!(budget.seconds > 0) || !std::isfinite(budget.seconds))
            value_error("time_limit must be a positive number of seconds");
    }
    if (!iterations.is_none()) budget.iterations = integer_argument(iterations, "iterations", 1, LONG_MAX);
    a.options.seed = static_cast<std::uint64_t>(integer_argument(seed, "seed", 0, LLONG_MAX));

    std::exception_ptr callback_error;
    bool weighted = false;
    if (!on_improvement.is_none()) {
        if (!PyCallable_Check(on_improvement.ptr())) value_error("on_improvement must be callable");
        a.options.on_improvement = [&](const heuristics::Improvement& improvement) {
            py::gil_scoped_acquire locked;
            try {
                const py::object value = weighted ? py::object(py::float_(improvement.value))
                                                  : py::object(py::int_(static_cast<long>(improvement.value)));
                on_improvement(py::reinterpret_borrow<py::object>(improvement_type)(
                    value, improvement.seconds, improvement.iteration, sequence_array(improvement.sequence)));
            } catch (...) {
                callback_error = std::current_exception();
                throw CallbackFailed{};
            }
        };
    }

    return instance.evaluated_visit([&]<class Record>(const Record& record) -> py::object {
        const schedule::Objective<Record>& entry = schedule::find_objective<Record>(objective);
        weighted = entry.weighted;
        if (entry.needs_due_dates && record.dd == nullptr)
            value_error(std::string(entry.name) + " needs due dates and the instance has none");
        if (a.algorithm.empty()) a.algorithm = default_algorithm<Record>(a.objective);
        const bool search = std::find(std::begin(searches), std::end(searches), a.algorithm) != std::end(searches);
        if (search && budget.seconds == 0 && budget.iterations == 0) budget.seconds = 1.0;
        std::optional<heuristics::Result> result;
        std::optional<schedule::Value> value;
        try {
            py::gil_scoped_release unlocked;
            result.emplace(run_algorithm(record, a));
            value.emplace(schedule::evaluate(record, result->sequence, entry));
        } catch (const CallbackFailed&) {
            std::rethrow_exception(callback_error);
        }
        return py::reinterpret_borrow<py::object>(result_type)(sequence_array(result->sequence), python_value(*value),
                                                               result->seconds, result->iterations, a.algorithm,
                                                               a.objective);
    });
}

}  // namespace
}  // namespace zurududo_python

namespace py = pybind11;
using zurududo_python::Instance;

PYBIND11_MODULE(_core, m) {
    PYBIND11_NUMPY_DTYPE(schedule::Operation, job, machine, start, end);
    m.doc() = "The compiled core of zurududo: instances and evaluators of the schedule library.";

    static py::exception<schedule::Error> error(m, "Error", PyExc_ValueError);
    error.doc() = "An instance file the loader rejected. The message, also in `report`, is the loader's whole report.";
    zurududo_python::error_type = error.ptr();
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (const schedule::Error& e) {
            zurududo_python::raise_python_error(e);
        }
    });

    py::tuple names(schedule::objective_table<schedule::SINGLE_MACHINE>.size());
    for (std::size_t k = 0; k < names.size(); ++k) {
        const std::string_view name = schedule::objective_table<schedule::SINGLE_MACHINE>[k].name;
        names[k] = py::str(name.data(), name.size());
    }
    m.attr("OBJECTIVES") = names;
    py::list due_date_names;
    for (const auto& entry : schedule::objective_table<schedule::SINGLE_MACHINE>)
        if (entry.needs_due_dates) due_date_names.append(py::str(entry.name.data(), entry.name.size()));
    m.attr("DUE_DATE_OBJECTIVES") = py::tuple(due_date_names);
    py::list layouts;
    for (const schedule::Layout layout : zurududo_python::all_layouts) {
        const std::string_view name = schedule::layout_name(layout);
        layouts.append(py::str(name.data(), name.size()));
    }
    m.attr("LAYOUTS") = py::tuple(layouts);

    py::class_<Instance>(m, "Instance", R"doc(
A scheduling instance that owns its data: one of the seven machine environments.

Instance(env, pt, *, machines=None, dd=None, w=None, r=None, v=None, rt=None)

env  "single", "identical", "uniform", "unrelated", "flowshop", "openshop" or "jobshop".
pt   processing times: a vector pt[job] for single, identical and uniform machines,
     a matrix pt[machine][job] for the others.
machines  the number of identical machines (required there; elsewhere it must agree).
dd   due dates (none by default: the due-date objectives are then unavailable).
w    weights (1.0 by default); r  release dates (0 by default).
v    speeds of the uniform machines; rt  routing rt[job][k] of the job shop.
Integer arrays must hold integers; processing times are at least 0, speeds at least 1,
weights finite and at least 0. The instance copies what it is given.
)doc")
        .def(py::init([](const std::string& env, py::object pt, py::object machines, py::object dd, py::object w,
                         py::object r, py::object v, py::object rt) {
                 return zurududo_python::make_instance(env, {pt, machines, dd, w, r, v, rt});
             }),
             py::arg("env"), py::arg("pt"), py::kw_only(), py::arg("machines") = py::none(),
             py::arg("dd") = py::none(), py::arg("w") = py::none(), py::arg("r") = py::none(),
             py::arg("v") = py::none(), py::arg("rt") = py::none())
        .def_property_readonly(
            "env", [](const Instance& i) { return std::string(schedule::environment_name(i.environment())); },
            "The machine environment's name.")
        .def_property_readonly("jobs", &Instance::jobs, "The number of jobs n.")
        .def_property_readonly("machines", &Instance::machines, "The number of machines m.")
        .def_property_readonly(
            "pt", [](const Instance& i) -> py::object { return i.state()[1]; },
            "Processing times (int32, read-only copy): pt[job], or pt[machine][job] for the matrix environments.")
        .def_property_readonly(
            "dd", [](const Instance& i) -> py::object { return i.state()[3]; }, "Due dates (int64, read-only copy), or None.")
        .def_property_readonly(
            "w", [](const Instance& i) -> py::object { return i.state()[4]; }, "Weights (float64, read-only copy).")
        .def_property_readonly(
            "r", [](const Instance& i) -> py::object { return i.state()[5]; }, "Release dates (int32, read-only copy).")
        .def_property_readonly(
            "v", [](const Instance& i) -> py::object { return i.state()[6]; }, "Machine speeds of uniform machines, else None.")
        .def_property_readonly(
            "rt", [](const Instance& i) -> py::object { return i.state()[7]; },
            "Routing rt[job][k] (the machine of job's k-th operation) of the job shop, else None.")
        .def("evaluate", &Instance::evaluate, py::arg("seq"), py::arg("objective") = "Cmax", R"doc(
The value of one objective for a sequence.

seq        a permutation of 0 … n−1 (the job shop: an operation sequence naming each
           job m times, its k-th occurrence the job's k-th operation).
objective  any name of zurududo.OBJECTIVES, e.g. "Cmax", "SumTj", "Wj_SumTj".
Returns an int, or a float for the weighted (Wj_) objectives. Release dates and weights
are honoured. Raises ValueError for a sequence that is not one of the instance, an
unknown objective, or a due-date objective on an instance without due dates.
)doc")
        .def("objectives", &Instance::objectives, py::arg("seq"),
             "Every objective of the catalogue for a sequence, as a dict by name; the due-date objectives are None when the instance has no due dates.")
        .def("completion_times", &Instance::completion_times, py::arg("seq"),
             "The completion time of every job (int64 array indexed by job, not by position).")
        .def("evaluate_many", &Instance::evaluate_many, py::arg("seqs"), py::arg("objective") = "Cmax",
             py::arg("threads") = 0, R"doc(
The value of one objective for each row of a two-dimensional integer array.

seqs       one sequence a row (int32 rows are read in place; other integer types are
           converted on the fly).
objective  as for evaluate.
threads    worker threads; 0 uses every core. The GIL is released meanwhile, and the
           result does not depend on the number of threads.
Returns an int64 array (float64 for Wj_ objectives), one value a row. Every row is
checked; the first bad one is named in the ValueError. On the single machine and the
flow shop the checked rows go to the library's batch evaluators (several sequences in
the same vector instructions); the values are those of evaluate, bit for bit.
)doc")
        .def("insertion_makespans", &Instance::insertion_makespans, py::arg("partial_seq"), py::arg("job"), R"doc(
Flow shop: the makespans of inserting `job` into each position of a partial sequence.

Entry l is the makespan of partial_seq[:l] + [job] + partial_seq[l:], all len + 1 values
computed together by heads and tails (release dates honoured).
)doc")
        .def("schedule", &Instance::schedule, py::arg("seq"), R"doc(
The schedule a sequence gives: a structured array of operations with fields
job, machine (int32), start and end (int64), in the order of the schedule file
(the jobs in sequence order; by index for the job shop).
)doc")
        .def("write_schedule", &Instance::write_schedule, py::arg("seq"), py::arg("path"),
             "Writes the schedule file of a sequence to `path`, which appears whole or not at all.")
        .def("__repr__",
             [](const Instance& i) {
                 return "<zurududo.Instance " + std::string(schedule::environment_name(i.environment())) +
                        ", " + std::to_string(i.jobs()) + " jobs, " + std::to_string(i.machines()) + " machines>";
             })
        .def(py::pickle([](const Instance& i) { return i.state(); },
                        [](const py::tuple& state) { return zurududo_python::from_state(state); }));

    m.def(
        "load",
        [](py::object path, py::object env, const std::string& layout, bool echo, bool strict, py::object instance) {
            const std::string file = zurududo_python::path_argument(path);
            const std::optional<schedule::Environment> environment = zurududo_python::optional_environment(env);
            const schedule::Layout format = zurududo_python::layout_argument(layout);
            const schedule::InstanceChoice choice = zurududo_python::instance_choice(instance);
            zurududo_python::EchoCapture capture(echo);
            try {
                std::optional<schedule::AnyInstance> loaded;
                {
                    py::gil_scoped_release unlocked;
                    loaded.emplace(schedule::load_instance(file, environment, format,
                                                           schedule::LoadOptions{capture.stream(), strict}, choice));
                }
                capture.deliver();
                return Instance(std::move(*loaded));
            } catch (...) {
                capture.deliver();
                throw;
            }
        },
        py::arg("path"), py::arg("env") = py::none(), py::arg("layout") = "tagged", py::arg("echo") = false,
        py::kw_only(), py::arg("strict") = true, py::arg("instance") = py::none(), R"doc(
Loads an instance file.

path      a file name (str, bytes or os.PathLike).
env       "single", "identical", "uniform", "unrelated", "flowshop", "openshop" or "jobshop";
          None: the file's own (a tagged file's from its tags, unless its matrix of times
          fits several environments; the benchmark layouts' theirs; the processing-time
          layouts give the flow shop).
layout    one of zurududo.LAYOUTS: "tagged" (the library's instance files), "taillard"
          (Taillard's flow-shop files), "classic" (the OR-Library and JSPLIB job shops),
          "taillard-jobshop", or a processing-time layout, pt[machine][job] ("mrows",
          "mrows-dd" with due dates) or pt[job][machine] ("nrows", "nrows-dd"), for the
          flow shop, unrelated machines or the open shop. The former names "machine_rows",
          "machine_rows_due_dates", "job_rows" and "job_rows_due_dates" are still read.
echo      write the loader's echo and report to sys.stdout, as the library's loaders print them.
strict    also reject what the library's loaders read leniently: an entry that is not a
          whole number where an integer is expected ("x" read as 0, "6.5" as 6), a negative
          processing time, a speed below 1, a routing entry that is not a machine.
instance  which instance of a benchmark file holding several: its position (from 0) or
          its name (see list_instances); required for such a file.
Raises FileNotFoundError, zurududo.Error (a ValueError) with the loader's report for a
rejected file, ValueError for an unknown environment or layout, an environment the
layout cannot hold, or an instance the file does not have.
)doc");

    const py::object namedtuple = py::module_::import("collections").attr("namedtuple");
    const auto named = [&](const char* name, const char* fields, const char* doc) {
        py::object type = namedtuple(name, fields, py::arg("module") = "zurududo");
        type.attr("__doc__") = doc;
        m.attr(name) = type;
        return type.release().ptr();
    };
    zurududo_python::entry_type = named(
        "BenchmarkEntry",
        "name set env objective jobs machines best_known lower_bound optimal neh_makespan best_known_classic",
        "A named benchmark instance: its set, environment, the objective its values refer to, its size, the best "
        "known value (proven optimal when `optimal`), the lower bound if any; flow shop only: NEH's makespan and "
        "the best known value most papers up to 2023 measured against.");
    zurududo_python::result_type = named(
        "SolveResult", "sequence value seconds iterations algorithm objective",
        "What solve found: the best sequence (int32 array), its value as Instance.evaluate gives it, the seconds "
        "and iterations the run took, the algorithm and objective.");
    zurududo_python::improvement_type = named("Improvement", "value seconds iteration sequence",
                                              "An improvement of the best value during solve, as on_improvement sees it.");

    m.def("benchmark", &zurududo_python::benchmark_instance, py::arg("name"), R"doc(
The named benchmark instance as an Instance: Taillard's flow shops ta001 … ta120 and job shops
ta01 … ta80 (generated from their seeds), the OR-Library job shops (ft06, la01, …) and
weighted-tardiness sets (wt40_001 … wt100_125), compiled into the library. Raises ValueError
for an unknown name.
)doc");
    m.def("benchmarks", &zurududo_python::benchmark_entries, py::arg("set") = py::none(), R"doc(
The catalogue of named instances, in set order (or those of one set: "taillard-flowshop",
"taillard-jobshop", "orlib-jobshop", "wt40", "wt50", "wt100"), as BenchmarkEntry named tuples.
)doc");
    m.def("solve", &zurududo_python::solve, py::arg("inst"), py::arg("objective") = "Cmax",
          py::arg("algorithm") = py::none(), py::kw_only(), py::arg("time_limit") = py::none(),
          py::arg("iterations") = py::none(), py::arg("seed") = 1, py::arg("on_improvement") = py::none(), R"doc(
Runs one of the library's reference heuristics on an instance and returns a SolveResult
(sequence, value, seconds, iterations, algorithm, objective).

objective       any name of zurududo.OBJECTIVES the algorithm minimises.
algorithm       "neh", "iterated_greedy" (flow shop, Cmax); "edd", "wspt", "atc" (dispatching
                rules of the single machine with due dates: the value is of `objective`),
                "weighted_tardiness_search" (single machine, Wj_SumTj, release dates 0);
                "lpt" (identical machines); "tabu_search" (job shop, Cmax) and the job
                shop's dispatching rules "spt", "lpt", "mwkr", "lwkr", "mopnr", "fifo",
                "random" (active schedules; the value is of `objective`); "generic"
                (iterated greedy for any environment with evaluators and any objective).
                None: iterated_greedy for the flow shop's Cmax, weighted_tardiness_search
                for the single machine's Wj_SumTj, tabu_search for the job shop's Cmax,
                generic otherwise.
time_limit      seconds of wall time; iterations: a count of iterations. The searches stop at
                whichever comes first; without either they run for one second. The
                constructions and rules run once.
seed            the searches' random seed: with an iteration budget a run is reproducible.
on_improvement  called with an Improvement (value, seconds, iteration, sequence) each time the
                best value improves; an exception it raises ends the run and propagates.
The GIL is released while the heuristic runs (the callback takes it back). The value is
always inst.evaluate(result.sequence, objective).
)doc");

    m.def(
        "list_instances",
        [](py::object path, const std::string& layout) {
            const std::string file = zurududo_python::path_argument(path);
            const schedule::Layout format = zurududo_python::layout_argument(layout);
            std::vector<schedule::BenchmarkInstance> listed;
            {
                py::gil_scoped_release unlocked;
                listed = schedule::list_instances(file, format);
            }
            py::list out;
            const auto optional = [](const std::optional<long>& v) { return v ? py::object(py::int_(*v)) : py::none(); };
            for (const auto& entry : listed) {
                py::dict d;
                d["name"] = zurududo_python::text(entry.name);
                d["description"] = zurududo_python::text(entry.description);
                d["jobs"] = entry.jobs;
                d["machines"] = entry.machines;
                d["line"] = entry.line;
                d["upper_bound"] = optional(entry.upper_bound);
                d["lower_bound"] = optional(entry.lower_bound);
                out.append(d);
            }
            return out;
        },
        py::arg("path"), py::arg("layout"), R"doc(
The instances of a benchmark file ("taillard", "classic" or "taillard-jobshop" layout), in
file order: a list of dicts with name (the file's, or Taillard's time seed; may be empty),
description, jobs, machines, line (where the instance begins, from 1), upper_bound and
lower_bound (Taillard's files give them; None otherwise). load(..., instance=) takes a
name or a position in this list.
)doc");
}
