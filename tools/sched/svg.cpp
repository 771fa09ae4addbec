#include "svg.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "common.h"
#include "schedule/checked.h"

namespace sched {

// A colour per job, the same wherever the job appears: hues spread by the
// golden angle, converted to RGB so that every SVG renderer reads them.
std::string job_colour(int job) {
    const double hue = std::fmod(job * 137.508, 360.0) / 60.0;
    const double saturation = 0.55, lightness = job % 2 == 0 ? 0.62 : 0.50;
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

std::string fixed(double value) {
    char text[48];
    std::snprintf(text, sizeof text, "%.2f", value);
    std::string s = text;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

std::string xml_escape(const std::string& text) {
    std::string out;
    for (char c : text) {
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

double tick_step(double span) {
    double step = std::pow(10.0, std::floor(std::log10(span / 10)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0})
        if (span / (step * factor) <= 10) return step * factor;
    return step * 10;
}

void write_picture(const std::string& path, const std::string& svg) {
    const std::filesystem::path target(path);
    if (target.extension() != ".png") {
        write_output(path, svg);
        return;
    }
    if (!program_available("rsvg-convert"))
        failure("cannot write '" + path +
                "': PNG output needs rsvg-convert (Debian: librsvg2-bin); write .svg instead");
    // The picture is drawn beside a temporary SVG, then moved into place whole.
    std::string svg_name = (std::filesystem::temp_directory_path() / "sched-XXXXXX").string();
    const int fd = mkstemp(svg_name.data());
    if (fd < 0) failure("cannot write '" + path + "': no temporary file");
    close(fd);
    const std::string png_name = svg_name + ".png";
    struct Cleanup {
        std::string a, b;
        ~Cleanup() {
            std::remove(a.c_str());
            std::remove(b.c_str());
        }
    } cleanup{svg_name, png_name};
    try {
        schedule::write_file_atomically(svg_name, svg);
    } catch (const schedule::Error& e) {
        failure(e.what());
    }
    if (run_program({"rsvg-convert", "-f", "png", "-o", png_name, svg_name}) != 0)
        failure("cannot write '" + path + "': rsvg-convert failed");
    std::string png;
    try {
        png = schedule::read_file(png_name);
    } catch (const schedule::Error& e) {
        failure(e.what());
    }
    write_output(path, png);
}

}  // namespace sched
