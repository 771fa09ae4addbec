// A program that uses the library the way a project of its own would: it
// loads an instance, evaluates the identity sequence and prints the result.
#include <cstdio>
#include <numeric>
#include <variant>
#include <vector>

#include <schedule/checked.h>
#include <schedule/schedule.h>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    try {
        const auto instance = schedule::load<schedule::SINGLE_MACHINE>(argv[1]);
        std::vector<int> sequence(static_cast<std::size_t>(instance.jobs()));
        std::iota(sequence.begin(), sequence.end(), 0);
        const long total = std::get<long>(schedule::evaluate(instance.get(), sequence, "SumCj"));
        std::printf("jobs %d SumCj %ld Cmax %ld\n", instance.jobs(), total,
                    schedule::S1_Rj_Cmax(sequence.data(), instance.get()));
        return 0;
    } catch (const schedule::Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
