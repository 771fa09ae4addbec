// Fuzz target of the reader of OR-Library's weighted-tardiness layout. The
// reader takes text from memory; each input is read as instances of 1, 2
// and 5 jobs. A rejection is the reader's error; anything the sanitizers
// report, or a leak, is a finding.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include <zurududo/benchmarks.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (int jobs : {1, 2, 5}) {
        try {
            const auto instances = zurududo::benchmarks::read_weighted_tardiness(text, jobs, "input");
            for (const auto& instance : instances)
                if (instance.jobs() != jobs || instance.get().dd == nullptr) __builtin_trap();
        } catch (const schedule::Error&) {
        }
    }
    return 0;
}
