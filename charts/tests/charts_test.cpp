// The charts as a person looks at them: well-formed SVG, every bar where its
// operation runs, no text over another (the boxes of the texts computed from
// the SVG itself), neighbouring jobs in colours apart, and counts in words.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <zurududo/benchmarks.h>
#include <zurududo/charts.h>

#include "test_support.h"

namespace {

using namespace zurududo;

struct Box {
    double left, right, top, bottom;
    std::string text;
};

// Every <text> of an SVG as the box it covers: its width reckoned at 0.66 em
// a character (DejaVu Sans' digits take 0.64, its widest letters more, its
// narrow ones less), its height from the ascent to the descent.
std::vector<Box> text_boxes(const std::string& svg) {
    const std::regex text("<text([^>]*)>([^<]*)</text>");
    const std::regex number_of("([a-z-]+)=\"([^\"]*)\"");
    std::vector<Box> boxes;
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), text); it != std::sregex_iterator(); ++it) {
        const std::string attributes = (*it)[1].str(), content = (*it)[2].str();
        if (content.empty()) continue;
        std::map<std::string, std::string> a;
        for (auto at = std::sregex_iterator(attributes.begin(), attributes.end(), number_of);
             at != std::sregex_iterator(); ++at)
            a[(*at)[1].str()] = (*at)[2].str();
        const double size = a.count("font-size") ? std::stod(a["font-size"]) : 12;
        const double x = std::stod(a["x"]), y = std::stod(a["y"]);
        double width = 0;
        for (const char c : content) width += (c == 'M' || c == 'W' || c == 'm' || c == 'w') ? 0.98 : 0.66;
        width *= size * (a.count("font-weight") ? 1.1 : 1.0);
        const std::string anchor = a.count("text-anchor") ? a["text-anchor"] : "start";
        const double left = anchor == "middle" ? x - width / 2 : anchor == "end" ? x - width : x;
        boxes.push_back({left, left + width, y - 0.76 * size, y + 0.24 * size, content});
    }
    return boxes;
}

std::vector<std::string> overlaps(const std::vector<Box>& boxes) {
    std::vector<std::string> found;
    for (std::size_t a = 0; a < boxes.size(); ++a)
        for (std::size_t b = a + 1; b < boxes.size(); ++b)
            if (boxes[a].left < boxes[b].right && boxes[b].left < boxes[a].right && boxes[a].top < boxes[b].bottom &&
                boxes[b].top < boxes[a].bottom)
                found.push_back("'" + boxes[a].text + "' and '" + boxes[b].text + "'");
    return found;
}

bool xmllint_available() { return std::system("command -v xmllint >/dev/null 2>&1") == 0; }

// A benchmark instance and a sequence of it: the identity, or the jobs by due date.
struct Drawn {
    const char* name;
    bool dates;
};

void PrintTo(const Drawn& drawn, std::ostream* out) { *out << drawn.name; }

class Chart : public testing::TestWithParam<Drawn> {};

TEST_P(Chart, ParsesAndNoTextCoversAnother) {
    const benchmarks::Resolved resolved = benchmarks::resolve(GetParam().name);
    const benchmarks::Entry& entry = *resolved.entry;
    std::vector<int> sequence;
    const int rounds = entry.environment == schedule::Environment::jobshop ? entry.machines : 1;
    for (int round = 0; round < rounds; ++round)
        for (int j = 0; j < entry.jobs; ++j) sequence.push_back(j);
    const std::string svg = charts::gantt_svg(resolved.instance, sequence, GetParam().dates, entry.name);
    const std::vector<Box> boxes = text_boxes(svg);
    EXPECT_GT(boxes.size(), 10u);
    const std::vector<std::string> found = overlaps(boxes);
    EXPECT_TRUE(found.empty()) << found.size() << " overlaps, the first " << found.front();
    // A label for many bars even at 50 and 100 jobs a machine.
    const std::regex bar("class=\"bar\"");
    const auto bars = std::distance(std::sregex_iterator(svg.begin(), svg.end(), bar), std::sregex_iterator());
    long labels = 0;
    for (const Box& box : boxes) labels += std::all_of(box.text.begin(), box.text.end(), ::isdigit) ? 1 : 0;
    EXPECT_GT(labels, bars / 3) << labels << " of " << bars;
    if (GetParam().dates) {
        EXPECT_NE(svg.find("class=\"due-dates\""), std::string::npos);
        EXPECT_NE(svg.find(">d0</text>"), std::string::npos);
    }
    if (xmllint_available()) {
        const testing_support::TempDir dir;
        const std::string file = dir.write("chart.svg", svg);
        EXPECT_EQ(std::system(("xmllint --noout " + file).c_str()), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Benchmarks, Chart,
                         testing::Values(Drawn{"ta056", false}, Drawn{"ft10", false}, Drawn{"wt40_001", true},
                                         Drawn{"wt100_001", true}, Drawn{"ta111", false}),
                         [](const testing::TestParamInfo<Drawn>& info) { return std::string(info.param.name); });

// Where the chart draws each operation, and its counts in words.
TEST(Gantt, PlacesEveryBarAndSaysTheCounts) {
    const std::vector<schedule::Operation> operations{{0, 0, 0, 4}, {0, 1, 6, 16}, {1, 1, 0, 6}, {1, 0, 8, 16}};
    const std::string svg = charts::gantt_svg(2, 2, operations, {"two jobs", 0, {}, {}});
    const std::regex bar("data-job=\"(\\d)\" data-machine=\"(\\d)\" x=\"([\\d.]+)\" y=\"([\\d.]+)\" width=\"([\\d.]+)\"");
    std::vector<std::string> found;
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), bar); it != std::sregex_iterator(); ++it)
        found.push_back((*it)[1].str() + "@" + (*it)[2].str() + ":" + (*it)[3].str() + "," + (*it)[4].str() + "+" +
                        (*it)[5].str());
    // Makespan 16 over 800: 50 a unit; lanes from 56, bars 6 inside.
    EXPECT_EQ(found, (std::vector<std::string>{"0@0:100,62+200", "0@1:400,102+500", "1@1:100,102+300",
                                               "1@0:500,62+400"}));
    EXPECT_NE(svg.find(">2 jobs, 2 machines; Cmax = 16</text>"), std::string::npos);
    const std::vector<schedule::Operation> one{{0, 0, 0, 3}};
    EXPECT_NE(charts::gantt_svg(1, 1, one).find(">1 job, 1 machine; Cmax = 3</text>"), std::string::npos);
    EXPECT_EQ(charts::gantt_svg(2, 2, operations, {"two jobs", 0, {}, {}}), svg);  // the same bytes again
    // Dates beyond the makespan widen the axis instead of falling outside it.
    const std::string late = charts::gantt_svg(2, 2, operations, {"", 0, {40, 8}, {}});
    EXPECT_NE(late.find("data-job=\"0\" data-machine=\"1\" x=\"220\""), std::string::npos) << late;
    EXPECT_THROW(charts::gantt_svg(2, 1, operations), schedule::Error);
}

// Neighbouring jobs, and jobs whose hues come close (a Fibonacci number apart), differ in colour.
TEST(Gantt, ColoursOfJobsCloseInHueDiffer) {
    const auto rgb = [](const std::string& colour) {
        return std::vector<double>{static_cast<double>(std::stoi(colour.substr(1, 2), nullptr, 16)),
                                   static_cast<double>(std::stoi(colour.substr(3, 2), nullptr, 16)),
                                   static_cast<double>(std::stoi(colour.substr(5, 2), nullptr, 16))};
    };
    double closest = 1e9;
    for (int j = 0; j < 100; ++j)
        for (const int k : {1, 2, 3, 5, 8, 13, 21, 34, 55, 89}) {
            if (j + k >= 100) continue;
            const auto a = rgb(charts::job_colour(j)), b = rgb(charts::job_colour(j + k));
            closest = std::min(closest, std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]));
        }
    EXPECT_GT(closest, 38) << "two jobs of close hues nearly alike";
}

}  // namespace
