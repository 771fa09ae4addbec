// Ending the process on a fatal condition, for the library's own sources.
#ifndef SCHEDULE_FATAL_H
#define SCHEDULE_FATAL_H

namespace schedule {

// What error(code_error, 1, add_info) does, declared as never returning so
// that callers need no path after it.
[[noreturn]] void fatal_error(int code_error, const char* add_info);

}  // namespace schedule

#endif  // SCHEDULE_FATAL_H
