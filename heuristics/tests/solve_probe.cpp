// The C++ front door of the table of methods, as a program the test of the
// three front doors runs beside sched and Python: an instance (a file or a
// benchmark name) solved through benchmarks::resolve and solvers::solve,
// printed as one line "METHOD OBJECTIVE VALUE SEQUENCE".
//
//   solve_probe INSTANCE [-e ENV] [-a METHOD] [-o OBJECTIVE] [--iterations N] [--seed N] [-p NAME=VALUE]...
#include <cstdio>
#include <string>
#include <type_traits>
#include <variant>

#include <zurududo/benchmarks.h>
#include <zurududo/solvers.h>

int main(int argc, char** argv) {
    using namespace zurududo;
    if (argc < 2) {
        std::fprintf(stderr, "usage: solve_probe INSTANCE [-e ENV] [-a METHOD] [-o OBJECTIVE] [--iterations N] "
                             "[--seed N] [-p NAME=VALUE]...\n");
        return 2;
    }
    try {
        benchmarks::ResolveOptions where;
        solvers::Request request;
        for (int k = 2; k + 1 < argc; k += 2) {
            const std::string option = argv[k], value = argv[k + 1];
            if (option == "-e") where.environment = schedule::environment_named(value);
            else if (option == "-a") request.method = value;
            else if (option == "-o") request.objective = value;
            else if (option == "--iterations") request.options.budget.iterations = std::stol(value);
            else if (option == "--seed") request.options.seed = std::stoull(value);
            else if (option == "-p") request.parameters.insert(solvers::parameter_assignment(value));
            else throw schedule::Error(schedule::ErrorKind::argument, 999, "unknown option " + option);
        }
        const benchmarks::Resolved resolved = benchmarks::resolve(argv[1], where);
        request.entry = resolved.entry;
        const solvers::Outcome outcome = solvers::solve(resolved.instance, request);
        std::string sequence;
        for (const int job : outcome.result.sequence) sequence += (sequence.empty() ? "" : ",") + std::to_string(job);
        const std::string value = std::visit(
            [](auto v) {
                char text[64];
                if constexpr (std::is_same_v<decltype(v), long>) std::snprintf(text, sizeof text, "%ld", v);
                else std::snprintf(text, sizeof text, "%.17g", v);
                return std::string(text);
            },
            outcome.value);
        std::printf("%s %s %s %s\n", outcome.method->name.c_str(), outcome.objective.c_str(), value.c_str(),
                    sequence.c_str());
    } catch (const schedule::Error& e) {
        std::fprintf(stderr, "solve_probe: %s\n", e.what());
        return e.kind() == schedule::ErrorKind::argument ? 2 : 1;
    }
    return 0;
}
