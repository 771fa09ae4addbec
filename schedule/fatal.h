// Ending the process on a fatal condition, for the library's own sources.
#ifndef SCHEDULE_FATAL_H
#define SCHEDULE_FATAL_H

namespace schedule {

// What error(code_error, 1, add_info) does, declared as never returning so
// that callers need no path after it.
[[noreturn]] void fatal_error(int code_error, const char* add_info);

// Ends the process with `status` (standard output flushed). Every way the
// library ends the process goes through here.
[[noreturn]] void end_process(int status);

#ifdef SCHEDULE_END_PROCESS_THROWS
// The fuzzing harness builds the library with end_process throwing this
// instead, so that one process can feed it many inputs. Nothing else is
// built that way: a caller of the library always sees the process end.
struct ProcessEnd {
    int status;
};
#endif

}  // namespace schedule

#endif  // SCHEDULE_FATAL_H
