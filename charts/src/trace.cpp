// The best value of a search over time.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include <zurududo/charts.h>

#include "svg.h"

namespace zurududo::charts {

std::string trace_svg(std::span<const std::pair<double, double>> points, double seconds, const std::string& title) {
    using svg::fixed;
    const double left = 90, top = 40, width = 640, height = 300;
    double low = points.empty() ? 0 : points.front().second, high = low;
    double end = std::max(seconds, points.empty() ? 0.0 : points.back().first);
    for (const auto& [t, v] : points) low = std::min(low, v), high = std::max(high, v);
    if (high == low) high = low + 1;
    if (end <= 0) end = 1;
    const auto x_of = [&](double t) { return left + t / end * width; };
    const auto y_of = [&](double v) { return top + (high - v) / (high - low) * height; };
    std::string out = svg::head(left + width + 40, top + height + 60);
    out += "<text x=\"" + fixed(left) + "\" y=\"24\" font-size=\"15\" font-weight=\"bold\">" + xml_escaped(title) +
           "</text>\n";
    out += "<g class=\"axes\" stroke=\"#555555\">\n<line x1=\"" + fixed(left) + "\" y1=\"" + fixed(top + height) +
           "\" x2=\"" + fixed(left + width) + "\" y2=\"" + fixed(top + height) + "\"/>\n<line x1=\"" + fixed(left) +
           "\" y1=\"" + fixed(top) + "\" x2=\"" + fixed(left) + "\" y2=\"" + fixed(top + height) + "\"/>\n";
    const auto label = [](double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", value);
        return std::string(text);
    };
    const double t_step = svg::tick_step(end);
    svg::Rows numbers(1);
    for (int k = 0; k * t_step <= end * 1.0001; ++k) {
        const std::string number = label(k * t_step);
        const double x = x_of(k * t_step), half = text_width(number, 12) / 2;
        if (numbers.place(x - half, x + half) < 0) continue;
        out += "<text x=\"" + fixed(x) + "\" y=\"" + fixed(top + height + 18) +
               "\" text-anchor=\"middle\" stroke=\"none\" fill=\"#333333\">" + number + "</text>\n";
    }
    const double v_step = svg::tick_step(high - low);
    for (double k = std::ceil(low / v_step); k * v_step <= high; ++k)
        out += "<text x=\"" + fixed(left - 8) + "\" y=\"" + fixed(y_of(k * v_step) + 4) +
               "\" text-anchor=\"end\" stroke=\"none\" fill=\"#333333\">" + label(k * v_step) + "</text>\n";
    out += "<text x=\"" + fixed(left + width / 2) + "\" y=\"" + fixed(top + height + 40) +
           "\" text-anchor=\"middle\" stroke=\"none\" fill=\"#333333\">seconds</text>\n</g>\n";
    std::string path;
    for (std::size_t k = 0; k < points.size(); ++k) {
        path += (k == 0 ? "M" : " H") + fixed(x_of(points[k].first));
        path += (k == 0 ? " " : " V") + fixed(y_of(points[k].second));
    }
    if (!points.empty()) path += " H" + fixed(x_of(end));
    out += "<path class=\"best\" d=\"" + path + "\" fill=\"none\" stroke=\"#1f5fbf\" stroke-width=\"2\"/>\n</svg>\n";
    return out;
}

}  // namespace zurududo::charts
