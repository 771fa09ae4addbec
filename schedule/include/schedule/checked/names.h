// schedule — the checked interface: what to say about a name that is none
// of the known ones. Every "did you mean" of the toolkit, the benchmark sets,
// the heuristics, sched and the Python package comes from here.
// Part of <schedule/checked.h>, which includes every part.
#ifndef SCHEDULE_CHECKED_NAMES_H
#define SCHEDULE_CHECKED_NAMES_H

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace schedule {

// The candidate nearest to `word` when it is near enough to be a slip of the
// keyboard: letters in another case, and at most one in three characters
// (at least one) left out, added, changed or two of them swapped. The first
// of the nearest wins; a candidate equal to `word` is never offered.
std::optional<std::string> closest_name(std::string_view word, std::span<const std::string> candidates);

// "unknown KIND 'word' (did you mean NAME?)" when a candidate is near,
// otherwise "unknown KIND 'word' (known: a, b, c)", or without the list when
// `list_known` is false.
std::string unknown_name(std::string_view kind, std::string_view word, std::span<const std::string> candidates,
                         bool list_known = true);

}  // namespace schedule

#endif  // SCHEDULE_CHECKED_NAMES_H
