// schedule — the checked interface: the library's one error type.
// Part of <schedule/checked.h>, which includes every part.
#ifndef SCHEDULE_CHECKED_ERROR_H
#define SCHEDULE_CHECKED_ERROR_H

#include <stdexcept>
#include <string>

namespace schedule {

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

}  // namespace schedule

#endif  // SCHEDULE_CHECKED_ERROR_H
