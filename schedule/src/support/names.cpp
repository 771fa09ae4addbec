// Suggestions for names that are none of the known ones.
#include <algorithm>
#include <cctype>
#include <vector>

#include "schedule/checked.h"

namespace schedule {

namespace {

char folded(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// Edits from a to b, case ignored: characters left out, added or changed,
// and two neighbours swapped (the optimal string alignment distance).
std::size_t distance(std::string_view a, std::string_view b) {
    const std::size_t n = a.size(), m = b.size();
    std::vector<std::size_t> before(m + 1), previous(m + 1), current(m + 1);
    for (std::size_t j = 0; j <= m; ++j) previous[j] = j;
    for (std::size_t i = 1; i <= n; ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= m; ++j) {
            const bool same = folded(a[i - 1]) == folded(b[j - 1]);
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (same ? 0 : 1)});
            if (i > 1 && j > 1 && folded(a[i - 1]) == folded(b[j - 2]) && folded(a[i - 2]) == folded(b[j - 1]))
                current[j] = std::min(current[j], before[j - 2] + 1);
        }
        before.swap(previous);
        previous.swap(current);
    }
    return previous[m];
}

}  // namespace

std::optional<std::string> closest_name(std::string_view word, std::span<const std::string> candidates) {
    std::optional<std::string> best;
    std::size_t best_distance = 0;
    for (const std::string& candidate : candidates) {
        if (candidate == word) continue;
        const std::size_t allowed = std::max<std::size_t>(1, std::min(word.size(), candidate.size()) / 3);
        const std::size_t d = distance(word, candidate);
        if (d <= allowed && (!best || d < best_distance)) {
            best = candidate;
            best_distance = d;
        }
    }
    return best;
}

std::string unknown_name(std::string_view kind, std::string_view word, std::span<const std::string> candidates,
                         bool list_known) {
    std::string message = "unknown " + std::string(kind) + " '" + std::string(word) + "'";
    if (const auto guess = closest_name(word, candidates)) return message + " (did you mean " + *guess + "?)";
    if (!list_known || candidates.empty()) return message;
    std::string known;
    for (const std::string& candidate : candidates) known += (known.empty() ? "" : ", ") + candidate;
    return message + " (known: " + known + ")";
}

}  // namespace schedule
