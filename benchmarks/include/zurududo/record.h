// The owning record and the error type used by the benchmark sets and the
// heuristics: one place that ties them to the toolkit's.
#ifndef ZURUDUDO_RECORD_H
#define ZURUDUDO_RECORD_H

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <utility>

#include <schedule/schedule.h>

namespace zurududo {

// The error of a rejected instance (`instance`) or call (`argument`).
class Error : public std::runtime_error {
public:
    enum class Kind { instance, argument };
    Error(Kind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

[[noreturn]] inline void reject_instance(const std::string& message) { throw Error(Error::Kind::instance, message); }
[[noreturn]] inline void reject_argument(const std::string& message) { throw Error(Error::Kind::argument, message); }

namespace detail {
inline void release_matrix(int** m, int rows) {
    if (m != nullptr) schedule::free_mat_int(m, rows);
}
inline void release_vectors(long* dd, double* w, int* r) {
    std::free(dd);
    std::free(w);
    std::free(r);
}
inline void release(schedule::SINGLE_MACHINE& x) { std::free(x.pt); release_vectors(x.dd, x.w, x.r); }
inline void release(schedule::PARALLEL_MACHINES& x) { std::free(x.pt); release_vectors(x.dd, x.w, x.r); }
inline void release(schedule::RELATED_MACHINES& x) {
    std::free(x.pt);
    std::free(x.v);
    release_vectors(x.dd, x.w, x.r);
}
inline void release(schedule::UNRELATED_MACHINES& x) { release_matrix(x.pt, x.machines); release_vectors(x.dd, x.w, x.r); }
inline void release(schedule::FLOWSHOP& x) { release_matrix(x.pt, x.machines); release_vectors(x.dd, x.w, x.r); }
inline void release(schedule::OPENSHOP& x) { release_matrix(x.pt, x.machines); release_vectors(x.dd, x.w, x.r); }
inline void release(schedule::JOBSHOP& x) {
    release_matrix(x.pt, x.machines);
    release_matrix(x.rt, x.jobs);
    release_vectors(x.dd, x.w, x.r);
}
}  // namespace detail

// A record that owns its blocks (allocated by the toolkit's allocators) and
// releases them; move-only.
template <class Record>
class Instance {
public:
    Instance() : record_{} {}
    explicit Instance(Record record) : record_(record) {}
    Instance(Instance&& other) noexcept : record_(std::exchange(other.record_, Record{})) {}
    Instance& operator=(Instance&& other) noexcept {
        if (this != &other) {
            detail::release(record_);
            record_ = std::exchange(other.record_, Record{});
        }
        return *this;
    }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;
    ~Instance() { detail::release(record_); }

    const Record& get() const { return record_; }
    Record& get() { return record_; }
    int jobs() const { return record_.jobs; }
    int machines() const { return record_.machines; }

private:
    Record record_;
};

}  // namespace zurududo

#endif  // ZURUDUDO_RECORD_H
