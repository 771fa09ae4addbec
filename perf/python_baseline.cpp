// python_baseline: the C++ side of perf/python_bench.py, on the files that
// script writes: one call of the flow-shop evaluator on a 20 × 5 instance
// (plain, and through the checked interface), and the loop over a batch of
// sequences of a 50 × 20 instance on one thread (likewise), beside the
// library's batch evaluator of the same sequences. Takes Google
// Benchmark's options after its own:
//   python_baseline SMALL.txt LARGE.txt SEQUENCES.bin COUNT [benchmark options]
// SEQUENCES.bin holds COUNT sequences of LARGE's jobs as native int32, back to back.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include <schedule/checked.h>
#include <schedule/schedule.h>

namespace {

std::vector<int> read_sequences(const std::string& path, std::size_t entries) {
    const std::string bytes = schedule::read_file(path);
    if (bytes.size() != entries * sizeof(int)) {
        std::fprintf(stderr, "python_baseline: %s holds %zu bytes, not %zu\n", path.c_str(), bytes.size(),
                     entries * sizeof(int));
        std::exit(2);
    }
    std::vector<int> seqs(entries);
    std::memcpy(seqs.data(), bytes.data(), bytes.size());
    return seqs;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: python_baseline SMALL.txt LARGE.txt SEQUENCES.bin COUNT [benchmark options]\n");
        return 2;
    }
    static const auto small = schedule::load<schedule::FLOWSHOP>(argv[1]);
    static const auto large = schedule::load<schedule::FLOWSHOP>(argv[2]);
    const auto count = static_cast<std::size_t>(std::atol(argv[4]));
    const auto jobs = static_cast<std::size_t>(large.jobs());
    static const std::vector<int> seqs = read_sequences(argv[3], count * jobs);
    static std::vector<int> identity(static_cast<std::size_t>(small.jobs()));
    for (std::size_t j = 0; j < identity.size(); ++j) identity[j] = static_cast<int>(identity.size() - 1 - j);

    benchmark::RegisterBenchmark("call/Fm_Prmu_Rj_Cmax/20x5", [](benchmark::State& state) {
        for (auto _ : state) benchmark::DoNotOptimize(schedule::Fm_Prmu_Rj_Cmax(identity.data(), small.get()));
    });
    benchmark::RegisterBenchmark("call/checked_evaluate/20x5", [](benchmark::State& state) {
        for (auto _ : state) benchmark::DoNotOptimize(schedule::evaluate(small.get(), identity, "Cmax"));
    });
    benchmark::RegisterBenchmark("loop/Fm_Prmu_Rj_Cmax/50x20", [count, jobs](benchmark::State& state) {
        std::vector<long> out(count);
        for (auto _ : state) {
            for (std::size_t s = 0; s < count; ++s) out[s] = schedule::Fm_Prmu_Rj_Cmax(seqs.data() + s * jobs, large.get());
            benchmark::DoNotOptimize(out.data());
        }
    });
    benchmark::RegisterBenchmark("batch/Fm_Prmu_Rj_Cmax_many/50x20", [count](benchmark::State& state) {
        std::vector<long> out(count);
        for (auto _ : state) {
            schedule::Fm_Prmu_Rj_Cmax_many(seqs.data(), static_cast<int>(count), large.get(), out.data());
            benchmark::DoNotOptimize(out.data());
        }
    });
    benchmark::RegisterBenchmark("loop/checked_evaluate/50x20", [count, jobs](benchmark::State& state) {
        const auto& cmax = schedule::find_objective<schedule::FLOWSHOP>("Cmax");
        std::vector<long> out(count);
        for (auto _ : state) {
            for (std::size_t s = 0; s < count; ++s)
                out[s] = std::get<long>(schedule::evaluate(large.get(), std::span<const int>(seqs.data() + s * jobs, jobs), cmax));
            benchmark::DoNotOptimize(out.data());
        }
    });
    argc -= 4;
    argv += 4;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
