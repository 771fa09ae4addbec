// The error reporter and the library's one error type.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "schedule/checked.h"
#include "schedule/schedule.h"
#include "support/failure.h"

namespace schedule {

namespace {

// The message of an error code, then add_info on a line of its own.
void report_error(int code_error, const char* add_info) {
    switch (code_error) {
        case 1: std::printf("Memory is not enough\n"); break;
        case 2: std::printf("File not found: "); break;
        case 3: std::printf("Negatives values are not allowed in function "); break;
        case 4: std::printf("Number of arguments is not correct\n"); break;
        case 5: std::printf("Value not found in %s while it should\n", add_info); break;
        case 999: std::printf("Other error(s): "); break;
        default: std::printf("Unknown error\n"); break;
    }
    std::puts(add_info);
}

// `text` without the line breaks and blanks around it.
std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \n\r\t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \n\r\t") - first + 1);
}

std::string sentence(int code, const std::string& info) {
    if (code == 0) return info;  // a rejected file, in the reader's words
    const std::string what(trimmed(info));
    switch (code) {
        case 1: return "Memory is not enough (" + what + ")";
        case 2: return "File not found: " + info;
        case 3: return "Negative values are not allowed in " + what;
        case 5: return "Value not found in " + what;
        default: return what;
    }
}

// `text` with each NUL byte written \0, so that a reader of what() sees the
// whole of it.
std::string nul_shown(std::string text) {
    for (std::size_t at = text.find('\0'); at != std::string::npos; at = text.find('\0', at + 2))
        text.replace(at, 1, "\\0");
    return text;
}

}  // namespace

Error::Error(ErrorKind kind, int code, std::string info)
    : std::runtime_error(nul_shown(sentence(code, info))),
      kind_(kind),
      code_(code),
      info_(std::move(info)),
      report_(what()) {}

Error::Error(ErrorKind kind, int code, std::string info, std::string report)
    : Error(kind, code, info, sentence(code, info), std::move(report)) {}

Error::Error(ErrorKind kind, int code, std::string info, std::string message, std::string report)
    : std::runtime_error(nul_shown(message)),
      kind_(kind),
      code_(code),
      info_(std::move(info)),
      report_(report.empty() ? std::string(what()) : std::move(report)) {}

Error::Error(ErrorKind kind, int code, std::string info, int os_error, std::string path)
    : std::runtime_error(nul_shown(sentence(code, info))),
      kind_(kind),
      code_(code),
      info_(std::move(info)),
      report_(what()),
      os_error_(os_error),
      path_(std::move(path)) {}

std::string_view error_kind_name(ErrorKind kind) noexcept {
    switch (kind) {
        case ErrorKind::file: return "file";
        case ErrorKind::instance: return "instance";
        case ErrorKind::argument: return "argument";
        case ErrorKind::memory: break;
    }
    return "memory";
}

void fail(ErrorKind kind, int code, std::string info) { throw Error(kind, code, std::move(info)); }
void fail(ErrorKind kind, int code, std::string info, std::string report) {
    throw Error(kind, code, std::move(info), std::move(report));
}

void fail_on_file(int code, std::string info, int os_error, std::string path) {
    throw Error(ErrorKind::file, code, std::move(info), os_error, std::move(path));
}

void error(int code_error, int stop, const char* add_info) {
    if (stop != 0) fatal_error(code_error, add_info);
    report_error(code_error, add_info);
}

void fatal_error(int code_error, const char* add_info) {
    report_error(code_error, add_info);
    end_process(1);
}

void end_process(int status) {
    std::fflush(stdout);
    std::exit(status);
}

void report(const Error& e) {
    if (e.code() != 0) report_error(e.code(), e.info().c_str());
}

void end_process_on(const Error& e) {
    report(e);
    end_process(1);
}

}  // namespace schedule
