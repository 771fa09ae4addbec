// Numbers as the result rows write and read them.
#ifndef ZURUDUDO_HEURISTICS_NUMBERS_H
#define ZURUDUDO_HEURISTICS_NUMBERS_H

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace zurududo::experiment::internal {

// The shortest text that reads back as the same double.
inline std::string shortest(double value) {
    char text[40];
    if (std::nearbyint(value) == value && std::fabs(value) < 1e15) {
        std::snprintf(text, sizeof text, "%.0f", value);
        return text;
    }
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(text, sizeof text, "%.*g", precision, value);
        if (std::strtod(text, nullptr) == value) break;
    }
    return text;
}

inline std::string fixed(double value, int decimals) {
    // As long as it takes: 1e300 has 301 digits before the point.
    std::string text(static_cast<std::size_t>(std::snprintf(nullptr, 0, "%.*f", decimals, value)), '\0');
    std::snprintf(text.data(), text.size() + 1, "%.*f", decimals, value);
    return text;
}

// A number of the text, whole: std::stod without trailing garbage.
inline double number(const std::string& text) {
    std::size_t used = 0;
    const double value = std::stod(text, &used);
    if (used != text.size()) throw std::invalid_argument("number");
    return value;
}
inline long whole(const std::string& text) {
    std::size_t used = 0;
    const long value = std::stol(text, &used);
    if (used != text.size()) throw std::invalid_argument("number");
    return value;
}

}  // namespace zurududo::experiment::internal

#endif
