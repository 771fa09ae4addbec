// Helpers shared by the tests: temporary files, captured standard output and
// running a program as a process.
#ifndef SCHEDULE_TESTS_TEST_SUPPORT_H
#define SCHEDULE_TESTS_TEST_SUPPORT_H

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace testing_support {

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "schedule-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Writes `bytes` to the file `name` in the directory; returns its path.
    std::string write(const std::string& name, const std::string& bytes) const {
        const std::filesystem::path file = path_ / name;
        std::ofstream out(file, std::ios::binary);
        out << bytes;
        return file.string();
    }

private:
    std::filesystem::path path_;
};

// Everything `body` writes to standard output.
inline std::string captured_stdout(const std::function<void()>& body) {
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    body();
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

// For death tests: the library writes its diagnostics to standard output, a
// death test matches what the child writes to standard error. Call this first
// in the dying statement to send the one into the other.
inline void stdout_to_stderr() {
    std::fflush(stdout);
    dup2(STDERR_FILENO, STDOUT_FILENO);
}

struct ProcessResult {
    std::string output;  // standard output
    int status;          // exit status, or -1 when the process did not exit normally
};

// Runs `command` through the shell in `directory`, collecting its standard
// output.
inline ProcessResult run_process(const std::string& command, const std::filesystem::path& directory) {
    const std::string line = "cd '" + directory.string() + "' && " + command;
    std::fflush(stdout);
    FILE* pipe = popen(line.c_str(), "r");
    if (pipe == nullptr) return {"", -1};
    std::string output;
    char block[4096];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, pipe)) > 0) output.append(block, got);
    const int raw = pclose(pipe);
    return {output, WIFEXITED(raw) ? WEXITSTATUS(raw) : -1};
}

}  // namespace testing_support

#endif  // SCHEDULE_TESTS_TEST_SUPPORT_H
