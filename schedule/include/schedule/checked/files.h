// schedule — the checked interface: whole-file reading and atomic writing.
// Part of <schedule/checked.h>, which includes every part.
#ifndef SCHEDULE_CHECKED_FILES_H
#define SCHEDULE_CHECKED_FILES_H

#include <cstddef>
#include <string>
#include <string_view>

namespace schedule {

// The most bytes read_file takes (1 GiB): far beyond any instance file, and
// an end to a stream that never ends.
inline constexpr std::size_t max_file_bytes = std::size_t{1} << 30;

// The whole content of a file. Throws Error (file, with the system's error
// number and the file's name) when it cannot be opened or read, a directory
// included ("File not found" for a missing one); Error (instance) once it
// grows beyond max_file_bytes (a stream that never ends); Error (argument)
// for a name holding a NUL byte. A read interrupted by a signal fails with
// EINTR, so that the caller can answer the signal.
std::string read_file(const std::string& path);

// The same for a text file (an instance, a list of names, sequences): the
// first NUL byte is an Error (instance) naming its offset, so that a device
// or a binary file (/dev/zero) fails at once.
std::string read_text_file(const std::string& path);

// Writes `bytes` to `path`. A regular file (or a missing one) is written
// through a new temporary file in the same directory that is then renamed
// over it: the file appears whole or not at all, and a failure leaves
// nothing behind. The new file's mode is 0666 less the umask. A symbolic link
// is kept and the file it leads to written the same way; a device, a pipe or
// a socket is written through, never replaced. Throws Error (file, with the
// system's error number) for a directory, a link to nothing or a failed
// write; Error (argument) for a name holding a NUL byte.
void write_file_atomically(const std::string& path, std::string_view bytes);

}  // namespace schedule

#endif  // SCHEDULE_CHECKED_FILES_H
