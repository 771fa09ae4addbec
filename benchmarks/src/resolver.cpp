// The one instance resolver: a file, standard input, or a benchmark name.
#include <cstdio>
#include <filesystem>
#include <string>
#include <type_traits>
#include <variant>

#include <zurududo/benchmarks.h>

namespace zurududo::benchmarks {

namespace {

[[noreturn]] void refuse(schedule::ErrorKind kind, const std::string& what) {
    throw schedule::Error(kind, 999, what);
}

std::string standard_input() {
    std::string text;
    char block[1 << 16];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, stdin)) > 0) text.append(block, got);
    if (std::ferror(stdin)) refuse(schedule::ErrorKind::file, "cannot read standard input");
    return text;
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

}  // namespace

Resolved resolve(const std::string& what, const ResolveOptions& options) {
    std::error_code ec;
    const bool is_file = what != "-" && std::filesystem::exists(what, ec);
    if (is_file && std::filesystem::is_directory(what, ec))
        refuse(schedule::ErrorKind::file, "cannot read '" + what + "': it is a directory");
    if (is_file || what == "-") {
        Resolved resolved{schedule::Instance<schedule::SINGLE_MACHINE>{}, what, nullptr};
        if (is_file) {
            resolved.instance =
                schedule::load_instance(what, options.environment, options.layout, options.load, options.choice);
        } else {
            const std::string text = standard_input();
            if (text.find_first_not_of(" \t\r\n") == std::string::npos)
                refuse(schedule::ErrorKind::instance, "standard input is empty");
            resolved.instance = schedule::load_instance_text(text, "standard input", options.environment,
                                                             options.layout, options.load, options.choice);
        }
        validated(resolved.instance, what == "-" ? "standard input" : what);
        return resolved;
    }
    if (const Entry* entry = find(what)) {
        if (options.environment && *options.environment != entry->environment)
            refuse(schedule::ErrorKind::argument, entry->name + " is a " +
                                                      std::string(schedule::environment_name(entry->environment)) +
                                                      " instance, not a " +
                                                      std::string(schedule::environment_name(*options.environment)));
        if (options.layout != schedule::Layout::tagged || !std::holds_alternative<std::monostate>(options.choice))
            refuse(schedule::ErrorKind::argument,
                   entry->name + " is a benchmark instance: a layout or an instance of a file does not apply");
        return Resolved{make_instance(*entry), entry->name, entry};
    }
    // What looks like a path names a file; only a bare word may be a name.
    if (what.find_first_of("/.") != std::string::npos) throw schedule::Error(schedule::ErrorKind::file, 2, what);
    const auto guess = closest_instance(what);
    throw schedule::Error(schedule::ErrorKind::file, 2, what,
                          "no file or benchmark named '" + what + "'" + (guess ? " (did you mean " + *guess + "?)" : ""),
                          "");
}

}  // namespace zurududo::benchmarks
