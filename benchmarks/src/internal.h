// Pieces shared by the sources of the benchmark library.
#ifndef ZURUDUDO_BENCHMARKS_INTERNAL_H
#define ZURUDUDO_BENCHMARKS_INTERNAL_H

#include <string_view>

#include <zurududo/benchmarks.h>

namespace zurududo::benchmarks::internal {

// An OR-Library job shop (a description line, "n m", then per job m pairs
// "machine time" in routing order, machines from 0) read from the embedded
// copy: the one place that reads that layout here.
schedule::Instance<schedule::JOBSHOP> orlib_jobshop(std::string_view text, std::string_view origin);

}  // namespace zurududo::benchmarks::internal

#endif
