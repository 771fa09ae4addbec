// Fuzz target of the reader of result rows (the CSV files of sched bench,
// the experiment runner and Python's grids). A rejection is the reader's
// error; a row it accepts must come back the same from its own CSV line, and
// anything the sanitizers report, or a leak, is a finding.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include <zurududo/experiment.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace experiment = zurududo::experiment;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        for (const experiment::Row& row : experiment::read_csv_rows(text, "input")) {
            const std::string line = experiment::csv_line(row);
            const auto again = experiment::read_csv_rows(experiment::csv_header() + line, "again");
            if (again.size() != 1 || experiment::csv_line(again[0]) != line) __builtin_trap();
        }
    } catch (const schedule::Error&) {
    }
    return 0;
}
