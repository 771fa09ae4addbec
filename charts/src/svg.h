// What the charts share: numbers and text as SVG writes them, the ticks of an
// axis, and the rows that keep labels apart.
#ifndef ZURUDUDO_CHARTS_SVG_H
#define ZURUDUDO_CHARTS_SVG_H

#include <string>
#include <string_view>
#include <vector>

namespace zurududo::charts::svg {

// A coordinate with at most two decimals.
std::string fixed(double value);
// A tick step of 1, 2 or 5 times a power of ten giving about ten ticks over `span`.
double tick_step(double span);
// "#111111" or "#ffffff": the text colour that reads on a fill.
std::string text_on(const std::string& fill);

// The head of a standalone SVG of width × height, white behind.
std::string head(double width, double height);

// Labels along a line of rows: a label takes the first row where it keeps a
// gap to every label placed in that row, or none.
class Rows {
public:
    explicit Rows(int count) : rows_(static_cast<std::size_t>(count)) {}
    // The row of a label spanning left … right, now taken; -1 when no row has room.
    int place(double left, double right);

private:
    struct Span {
        double left, right;
    };
    std::vector<std::vector<Span>> rows_;
};

}  // namespace zurududo::charts::svg

#endif  // ZURUDUDO_CHARTS_SVG_H
