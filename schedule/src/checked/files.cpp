// Whole files: reading one, bounded and as text, and writing one atomically.
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "schedule/checked.h"
#include "support/failure.h"

namespace schedule {

namespace {

// A file the system refused; a missing file to read is "File not found", as
// the error reporter says it.
[[noreturn]] void refused(const std::string& path, std::string_view doing, int error_number) {
    if (error_number == ENOENT && doing == "open") fail_on_file(2, path, error_number, path);
    fail_on_file(999, "cannot " + std::string(doing) + " '" + path + "': " + std::strerror(error_number), error_number,
                 path);
}

[[noreturn]] void too_large(const std::string& path) {
    fail(ErrorKind::instance, 999,
         "'" + path + "' is larger than the " + std::to_string(max_file_bytes) + " bytes a file read whole may have");
}

void check_name(const std::string& path) {
    if (path.find('\0') != std::string::npos)
        fail(ErrorKind::argument, 999, "the file name '" + path + "' holds a NUL byte");
}

// Closes a descriptor when it goes out of scope.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

// The file a name stands for once symbolic links are followed; the name
// itself when it is none or does not exist.
std::string followed(const std::string& path) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
    const std::unique_ptr<char, decltype(&std::free)> target(::realpath(path.c_str(), nullptr), &std::free);
    if (target == nullptr) {
        const int error_number = errno;
        if (error_number == ENOENT)
            fail_on_file(999, "cannot write '" + path + "': it is a symbolic link to a file that does not exist",
                         ENOENT, path);
        refused(path, "write", error_number);
    }
    return target.get();
}

// Writes all of `bytes` to `fd`; the error number of a failure, or 0.
int write_all(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return wrote < 0 ? errno : ENOSPC;
        done += static_cast<std::size_t>(wrote);
    }
    return 0;
}

// A name for a temporary file beside `name` in `directory`, not yet taken
// (most likely).
std::string temporary_name(const std::string& directory, const std::string& name) {
    static thread_local std::mt19937_64 random(
        std::random_device{}() ^ static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    constexpr char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string temporary = directory + "/." + name + ".";
    for (int k = 0; k < 8; ++k) temporary += letters[random() % (sizeof letters - 1)];
    return temporary;
}

}  // namespace

namespace {

// The bytes of a file, at most max_file_bytes; as text, a NUL byte ends the
// read with an Error.
std::string read_whole(const std::string& path, bool text) {
    check_name(path);
    const Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0) refused(path, "open", errno);
    struct stat status {};
    if (::fstat(file.fd, &status) != 0) refused(path, "read", errno);
    if (S_ISDIR(status.st_mode)) refused(path, "read", EISDIR);
    std::string bytes;
    if (S_ISREG(status.st_mode) && status.st_size > 0) {
        if (static_cast<std::uint64_t>(status.st_size) > max_file_bytes) too_large(path);
        bytes.reserve(static_cast<std::size_t>(status.st_size));
    }
    char block[1 << 16];
    for (;;) {
        const ssize_t got = ::read(file.fd, block, sizeof block);
        if (got < 0) refused(path, "read", errno);  // EINTR included: a signal is the caller's to answer
        if (got == 0) break;
        const void* nul = text ? std::memchr(block, '\0', static_cast<std::size_t>(got)) : nullptr;
        if (nul != nullptr)
            fail(ErrorKind::instance, 999,
                 "'" + path + "' is not a text file: it holds a NUL byte at offset " +
                     std::to_string(bytes.size() + static_cast<std::size_t>(static_cast<const char*>(nul) - block)));
        if (bytes.size() + static_cast<std::size_t>(got) > max_file_bytes) too_large(path);
        bytes.append(block, static_cast<std::size_t>(got));
    }
    return bytes;
}

}  // namespace

std::string read_file(const std::string& path) { return read_whole(path, false); }

std::string read_text_file(const std::string& path) { return read_whole(path, true); }

void write_file_atomically(const std::string& path, std::string_view bytes) {
    check_name(path);
    // A symbolic link stays: the file it leads to is written.
    const std::string target = followed(path);
    struct stat status {};
    if (::stat(target.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        if (S_ISDIR(status.st_mode)) refused(path, "write", EISDIR);
        // A device, a pipe or a socket is written through, never replaced.
        const Descriptor through{::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY)};
        if (through.fd < 0) refused(path, "write", errno);
        if (const int error_number = write_all(through.fd, bytes)) refused(path, "write", error_number);
        return;
    }
    const auto slash = target.find_last_of('/');
    const std::string directory = slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    // The new file is made as an ordinary one would be: its mode 0666 less
    // the process's umask, applied by the system without touching the umask.
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        temporary = temporary_name(directory, name);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt == 100)) refused(path, "write", errno);
    }
    const auto give_up = [&](int error_number) {
        ::close(fd);
        ::unlink(temporary.c_str());
        refused(path, "write", error_number);
    };
    if (const int error_number = write_all(fd, bytes)) give_up(error_number);
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) give_up(errno);
    if (::close(fd) != 0) {
        const int error_number = errno;
        ::unlink(temporary.c_str());
        refused(path, "write", error_number);
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error_number = errno;
        ::unlink(temporary.c_str());
        refused(path, "write", error_number);
    }
}

}  // namespace schedule
