// Whole files: reading one, and writing one atomically.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "schedule/checked.h"
#include "support/failure.h"

namespace schedule {

std::string read_file(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) fail(ErrorKind::file, 2, path);
    std::string bytes;
    char block[1 << 16];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes.append(block, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) fail(ErrorKind::file, 999, "The file " + path + " could not be read");
    return bytes;
}

void write_file_atomically(const std::string& path, std::string_view bytes) {
    const auto slash = path.find_last_of('/');
    const std::string directory = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string temporary = directory + "/." + name + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) fail(ErrorKind::file, 999, "cannot write '" + path + "': " + std::strerror(errno));
    const auto give_up = [&](int error_number) {
        ::close(fd);
        ::unlink(temporary.c_str());
        fail(ErrorKind::file, 999, "cannot write '" + path + "': " + std::strerror(error_number));
    };
    // A new file is made as an ordinary one would be: readable by others as
    // the umask allows, not only by its owner as mkstemp leaves it.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd, 0666 & ~mask) != 0) give_up(errno);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) give_up(wrote < 0 ? errno : ENOSPC);
        done += static_cast<std::size_t>(wrote);
    }
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) give_up(errno);
    if (::close(fd) != 0) {
        const int error_number = errno;
        ::unlink(temporary.c_str());
        fail(ErrorKind::file, 999, "cannot write '" + path + "': " + std::strerror(error_number));
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error_number = errno;
        ::unlink(temporary.c_str());
        fail(ErrorKind::file, 999, "cannot write '" + path + "': " + std::strerror(error_number));
    }
}

}  // namespace schedule
