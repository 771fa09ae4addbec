// schedule_bench: the evaluators next to their floors, the flow-shop
// insertion routines next to evaluating each insertion whole, the loaders next to
// reading their bytes, and sorting. Takes Google Benchmark's options, e.g.
//   schedule_bench --benchmark_filter=Fm_ --benchmark_repetitions=5
#include <benchmark/benchmark.h>

#include <filesystem>
#include <system_error>

#include "perf/registration.h"

int main(int argc, char** argv) {
    register_evaluator_benchmarks();
    register_dispatch_benchmarks();
    register_insertion_benchmarks();
    register_batch_benchmarks();
    register_scaling_benchmarks();
    benchmark::AddCustomContext("batch_instruction_set", batch_instruction_set());
    const std::filesystem::path scratch = register_input_benchmarks(std::filesystem::temp_directory_path());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
    return 0;
}
