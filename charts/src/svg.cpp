#include "svg.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <zurududo/charts.h>

namespace zurududo::charts {

namespace svg {

std::string fixed(double value) {
    char text[48];
    std::snprintf(text, sizeof text, "%.2f", value);
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

double tick_step(double span) {
    double step = std::pow(10.0, std::floor(std::log10(span / 10)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0})
        if (span / (step * factor) <= 10) return step * factor;
    return step * 10;
}

std::string text_on(const std::string& fill) {
    const auto channel = [&](int at) { return std::strtol(fill.substr(static_cast<std::size_t>(at), 2).c_str(), nullptr, 16) / 255.0; };
    const double luminance = 0.2126 * channel(1) + 0.7152 * channel(3) + 0.0722 * channel(5);
    return luminance < 0.45 ? "#ffffff" : "#111111";
}

std::string head(double width, double height) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
           fixed(width) + "\" height=\"" + fixed(height) + "\" viewBox=\"0 0 " + fixed(width) + " " + fixed(height) +
           "\" font-family=\"DejaVu Sans, Arial, sans-serif\" font-size=\"12\">\n"
           "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
}

int Rows::place(double left, double right) {
    constexpr double gap = 4;
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        bool free = true;
        for (const Span& taken : rows_[row])
            if (left < taken.right + gap && taken.left < right + gap) free = false;
        if (free) {
            rows_[row].push_back({left, right});
            return static_cast<int>(row);
        }
    }
    return -1;
}

}  // namespace svg

double text_width(std::string_view text, double size) {
    // DejaVu Sans' advance widths, in ems, rounded up.
    double ems = 0;
    for (const char c : text) {
        if (c >= '0' && c <= '9') ems += 0.64;
        else if (c == 'M' || c == 'W' || c == 'm' || c == 'w') ems += 0.98;
        else if (c >= 'A' && c <= 'Z') ems += 0.75;
        else if (c == ' ' || c == '.' || c == ',' || c == ':' || c == ';' || c == 'i' || c == 'l' || c == 'j' ||
                 c == '(' || c == ')' || c == '\'')
            ems += 0.36;
        else ems += 0.64;
    }
    return ems * size;
}

std::string job_colour(int job) {
    // Hue by the golden angle; the shade (lightness and saturation) the next
    // of six. Jobs whose hues come within 35 degrees are 5, 8, 13, 21, 34, 55
    // or 89 apart (144 is the next), none a multiple of 6: they differ in shade,
    // and the order of the shades keeps those pairs at least 40 apart in RGB.
    constexpr double shades[6][2] = {{0.32, 0.50}, {0.68, 0.75}, {0.41, 0.75},
                                     {0.77, 0.50}, {0.50, 0.75}, {0.59, 0.75}};
    const int shade = ((job % 6) + 6) % 6;
    const double hue = std::fmod(std::fmod(job * 137.508, 360.0) + 360.0, 360.0) / 60.0;
    const double lightness = shades[shade][0];
    const double saturation = shades[shade][1];
    const double chroma = (1 - std::fabs(2 * lightness - 1)) * saturation;
    const double x = chroma * (1 - std::fabs(std::fmod(hue, 2.0) - 1));
    double r = 0, g = 0, b = 0;
    switch (static_cast<int>(hue)) {
        case 0: r = chroma, g = x; break;
        case 1: r = x, g = chroma; break;
        case 2: g = chroma, b = x; break;
        case 3: g = x, b = chroma; break;
        case 4: r = x, b = chroma; break;
        default: r = chroma, b = x; break;
    }
    const double offset = lightness - chroma / 2;
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", static_cast<int>(std::lround((r + offset) * 255)),
                  static_cast<int>(std::lround((g + offset) * 255)), static_cast<int>(std::lround((b + offset) * 255)));
    return text;
}

std::string xml_escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace zurududo::charts
