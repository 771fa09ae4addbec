// schedule — the checked interface: whole-file reading and atomic writing.
// Part of <schedule/checked.h>, which includes every part.
#ifndef SCHEDULE_CHECKED_FILES_H
#define SCHEDULE_CHECKED_FILES_H

#include <string>
#include <string_view>

namespace schedule {

// The whole content of a file; throws Error (file) when it cannot be opened
// or read (a directory included).
std::string read_file(const std::string& path);

// Writes `bytes` to `path` through a new temporary file in the same
// directory that is then renamed over it: the file appears whole or not at
// all, and a failure leaves nothing behind. Throws Error (file).
void write_file_atomically(const std::string& path, std::string_view bytes);

}  // namespace schedule

#endif  // SCHEDULE_CHECKED_FILES_H
