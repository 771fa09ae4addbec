#include "svg.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "common.h"
#include "schedule/checked.h"

namespace sched {

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
