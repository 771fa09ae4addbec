// schedule — the checked interface: instance records that own their blocks, and the machine
// environments.
// Part of <schedule/checked.h>, which includes every part.
#ifndef SCHEDULE_CHECKED_RECORDS_H
#define SCHEDULE_CHECKED_RECORDS_H

#include <optional>
#include <string_view>
#include <type_traits>
#include <variant>

#include "schedule/schedule.h"
#include "schedule/checked/storage.h"

namespace schedule {

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

}  // namespace schedule

#endif  // SCHEDULE_CHECKED_RECORDS_H
