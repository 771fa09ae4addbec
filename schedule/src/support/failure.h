// How the library fails. Its working routines throw schedule::Error; each
// routine of the process-ending interface runs them through or_end_process,
// which reports the error exactly as `error` would and ends the process.
#ifndef SCHEDULE_SUPPORT_FAILURE_H
#define SCHEDULE_SUPPORT_FAILURE_H

#include <string>
#include <utility>

#include "schedule/checked/error.h"

namespace schedule {

// Throws Error{kind, code, info}, and with `report` its longer account.
[[noreturn]] void fail(ErrorKind kind, int code, std::string info);
[[noreturn]] void fail(ErrorKind kind, int code, std::string info, std::string report);

// Throws the Error (file) of a file the system refused, with its error
// number and name.
[[noreturn]] void fail_on_file(int code, std::string info, int os_error, std::string path);

// What error(code_error, 1, add_info) does, declared as never returning.
[[noreturn]] void fatal_error(int code_error, const char* add_info);

// Ends the process with `status`, standard output flushed.
[[noreturn]] void end_process(int status);

// Reports `error` on standard output as the error reporter does; a rejected
// instance has been reported by its loader already.
void report(const Error& error);

// Reports `error` and ends the process with status 1.
[[noreturn]] void end_process_on(const Error& error);

// The result of `work`, or the end of the process on an Error. The process
// ends once the error is gone, so that nothing of it is left behind.
template <class Work>
decltype(auto) or_end_process(Work&& work) {
    try {
        return std::forward<Work>(work)();
    } catch (const Error& e) {
        report(e);
    }
    end_process(1);
}

// The two ways a routine's work can be run, for code written once for both
// interfaces: ending the process on an Error (the named routines), or letting
// it propagate (the checked interface).
struct EndingProcess {
    template <class Work>
    decltype(auto) operator()(Work&& work) const {
        return or_end_process(std::forward<Work>(work));
    }
};
struct Throwing {
    template <class Work>
    decltype(auto) operator()(Work&& work) const {
        return std::forward<Work>(work)();
    }
};

}  // namespace schedule

#endif  // SCHEDULE_SUPPORT_FAILURE_H
