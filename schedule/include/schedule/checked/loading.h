// schedule — the checked interface: loading tagged instance files.
// Part of <schedule/checked.h>, which includes every part.
#ifndef SCHEDULE_CHECKED_LOADING_H
#define SCHEDULE_CHECKED_LOADING_H

#include <cstdio>
#include <string>
#include <string_view>

#include "schedule/checked/records.h"

namespace schedule {

struct LoadOptions {
    // Where the loader's echo and report go, line for line what the
    // process-ending loaders print; null: nowhere (the report of a rejected
    // file is in the Error all the same).
    std::FILE* echo = nullptr;
    // A strict load (the default) rejects, besides what every load rejects,
    // a file with no tag entry at all (one of another layout: the error names
    // the layouts it looks like), a tag no record knows (naming it, with the
    // known tag it is nearest to), an entry that is not a whole number where
    // an integer is expected (a lenient load, as the named loaders do, reads
    // "x" as 0 and "6.5" as 6), a number beyond its type's range (a due date
    // beyond that of long included), a weight that is not a finite number of
    // at least 0, a negative processing time, a speed below 1 and a routing
    // entry that is not a machine, naming the tag and the element's position.
    // `strict = false` reads as the named loaders read.
    bool strict = true;
};

// Loads a tagged instance file as the loader of the record does (the same
// attributes, messages and defaults). Throws Error: file (cannot be opened or
// read), instance (rejected: what() is one line naming the file, the line
// where there is one, and the first fault, as in
// "ta.txt:3: PT[1][2] is not an integer ("x")"; report() is the loader's
// whole report, ending with its summary line), memory.
template <InstanceRecord Record>
[[nodiscard]] Instance<Record> load(const std::string& path, const LoadOptions& options = {});

// The same from the text of a file held in memory; `name` stands for the
// file name in the report.
template <InstanceRecord Record>
[[nodiscard]] Instance<Record> load_text(std::string_view text, const std::string& name,
                                         const LoadOptions& options = {});

}  // namespace schedule

#endif  // SCHEDULE_CHECKED_LOADING_H
