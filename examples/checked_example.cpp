// Load an instance, evaluate two sequences, and handle bad input as errors.
#include <cstdio>
#include <numeric>
#include <variant>
#include <vector>

#include <schedule/checked.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: checked_example INSTANCE\n");
        return 2;
    }
    try {
        // Owns its vectors: released when it goes, whatever happens.
        const auto instance = schedule::load<schedule::SINGLE_MACHINE>(argv[1]);
        std::vector<int> seq(static_cast<std::size_t>(instance.jobs()));
        std::iota(seq.rbegin(), seq.rend(), 0);  // the jobs in reverse order

        for (const long c : schedule::completion_times(instance.get(), seq)) std::printf("%ld ", c);
        const double tardiness = std::get<double>(schedule::evaluate(instance.get(), seq, "Wj_SumTj"));
        std::printf("\nweighted tardiness %g\n", tardiness);

        seq.back() = seq.front();  // no longer a permutation: refused, not read
        (void)schedule::evaluate(instance.get(), seq, "Cmax");
    } catch (const schedule::Error& e) {
        std::printf("refused: %s\n", e.what());
        return e.kind() == schedule::ErrorKind::argument ? 0 : 1;
    }
    return 1;
}
