// schedule — the checked interface: the library's one error type.
// Part of <schedule/checked.h>, which includes every part.
#ifndef SCHEDULE_CHECKED_ERROR_H
#define SCHEDULE_CHECKED_ERROR_H

#include <stdexcept>
#include <string>
#include <string_view>

namespace schedule {

enum class ErrorKind {
    file,      // a file cannot be opened, read or written
    instance,  // a file was read but its content was rejected
    argument,  // a record, sequence, name or other argument the routine cannot take
    memory,    // storage could not be allocated
};

// "file", "instance", "argument", "memory".
std::string_view error_kind_name(ErrorKind kind) noexcept;

// The one error type of the library. `code()` is the code the error reporter
// (`error`) uses for the same condition: 1 memory, 2 file not found, 5 value
// not found, 999 other; 0 for a rejected instance file, which the loaders
// report in their own words. `info()` is the text the reporter prints after
// the code's message.
//
// what() is one line that leads with the fault: for a rejected file the file,
// the place and the fault ("ta.txt:3: PT[1][2] is not an integer ("x")"),
// otherwise a sentence made of the code's message and `info()`, any NUL byte
// in it shown as \0. report() is the longer account when there is one — for
// a rejected tagged file the loader's whole report, line for line what the
// process-ending loader prints, down to its summary — and what() otherwise.
// A file that the system would not open, read or write also has the
// system's error number (`os_error()`, 0 otherwise) and its name (`path()`).
class Error : public std::runtime_error {
public:
    Error(ErrorKind kind, int code, std::string info);
    // With the longer account `report` beside the one-line message.
    Error(ErrorKind kind, int code, std::string info, std::string report);
    // With what() `message` instead of the sentence of the code and `info`.
    Error(ErrorKind kind, int code, std::string info, std::string message, std::string report);
    // A file the system refused, with its error number and name.
    Error(ErrorKind kind, int code, std::string info, int os_error, std::string path);

    ErrorKind kind() const noexcept { return kind_; }
    int code() const noexcept { return code_; }
    const std::string& info() const noexcept { return info_; }
    const std::string& report() const noexcept { return report_; }
    int os_error() const noexcept { return os_error_; }
    const std::string& path() const noexcept { return path_; }

private:
    ErrorKind kind_;
    int code_;
    std::string info_;
    std::string report_;
    int os_error_ = 0;
    std::string path_;
};

}  // namespace schedule

#endif  // SCHEDULE_CHECKED_ERROR_H
