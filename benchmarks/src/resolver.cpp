// The one instance resolver: a file, standard input, or a benchmark name.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <variant>

#include <zurududo/benchmarks.h>

namespace zurududo::benchmarks {

namespace {

[[noreturn]] void refuse(schedule::ErrorKind kind, const std::string& what) {
    throw schedule::Error(kind, 999, what);
}

// Standard input as a file's text is read: bounded, and a NUL byte refused.
std::string standard_input() {
    std::string text;
    char block[1 << 16];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, stdin)) > 0) {
        if (const void* nul = std::memchr(block, '\0', got))
            refuse(schedule::ErrorKind::instance,
                   "standard input is not text: it holds a NUL byte at offset " +
                       std::to_string(text.size() + static_cast<std::size_t>(static_cast<const char*>(nul) - block)));
        if (text.size() + got > schedule::max_file_bytes)
            refuse(schedule::ErrorKind::instance, "standard input is larger than the " +
                                                      std::to_string(schedule::max_file_bytes) +
                                                      " bytes a file read whole may have");
        text.append(block, got);
    }
    if (std::ferror(stdin)) refuse(schedule::ErrorKind::file, "cannot read standard input");
    return text;
}

// The layouts read from the file itself rather than from its text.
bool read_from_file(schedule::Layout layout) {
    return layout != schedule::Layout::tagged && layout != schedule::Layout::taillard &&
           layout != schedule::Layout::classic && layout != schedule::Layout::taillard_jobshop;
}

// A record that cannot be evaluated is a fault of the file it came from.
void validated(const schedule::AnyInstance& instance, const std::string& label) {
    std::visit(
        [&](const auto& held) {
            try {
                schedule::validate(held.get());
            } catch (const schedule::Error& e) {
                throw schedule::Error(schedule::ErrorKind::instance, 0, label + ": " + e.what());
            }
        },
        instance);
}

Resolved from_file(const std::string& what, const ResolveOptions& options) {
    Resolved resolved{schedule::Instance<schedule::SINGLE_MACHINE>{}, what, nullptr};
    const bool standard = what == "-";
    const std::string source = standard ? "standard input" : what;
    if (read_from_file(options.layout)) {
        if (standard)
            refuse(schedule::ErrorKind::argument, "the " + std::string(schedule::layout_name(options.layout)) +
                                                      " layout is read from a file, not from standard input");
        resolved.instance =
            schedule::load_instance(what, options.environment, options.layout, options.load, options.choice);
    } else {
        // The text read once serves the layout, and the environment a tagged file's tags tell.
        const std::string text = standard ? standard_input() : schedule::read_text_file(what);
        if (standard && text.find_first_not_of(" \t\r\n") == std::string::npos)
            refuse(schedule::ErrorKind::instance, "standard input is empty");
        resolved.instance = schedule::load_instance_text(text, source, options.environment, options.layout,
                                                         options.load, options.choice);
    }
    validated(resolved.instance, source);
    return resolved;
}

}  // namespace

Resolved resolve(const std::string& what, const ResolveOptions& options) {
    std::error_code ec;
    // A file, or what can only be a path (a benchmark name holds neither "/" nor "."): the system says
    // what is wrong with it.
    if (what == "-" || std::filesystem::exists(what, ec) || what.find_first_of("/.") != std::string::npos)
        return from_file(what, options);
    if (const Entry* entry = find(what)) {
        if (options.environment && *options.environment != entry->environment)
            refuse(schedule::ErrorKind::argument, entry->name + " is a " +
                                                      std::string(schedule::environment_name(entry->environment)) +
                                                      " instance, not a " +
                                                      std::string(schedule::environment_name(*options.environment)));
        if (!std::holds_alternative<std::monostate>(options.choice))
            refuse(schedule::ErrorKind::argument,
                   "the choice of an instance picks among those of a file; " + entry->name +
                       " is a named benchmark instance");
        if (options.layout != schedule::Layout::tagged)
            refuse(schedule::ErrorKind::argument, "a layout is a file's; " + entry->name +
                                                      " is a named benchmark instance");
        return Resolved{make_instance(*entry), entry->name, entry};
    }
    const auto guess = closest_instance(what);
    throw schedule::Error(schedule::ErrorKind::file, 2, what,
                          "no file or benchmark named '" + what + "'" + (guess ? " (did you mean " + *guess + "?)" : ""),
                          "");
}

}  // namespace zurududo::benchmarks
