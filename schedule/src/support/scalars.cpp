// Scalar helpers: maxima and minima with their tie rules, sign, rounding.
#include <cmath>
#include <limits>

#include "schedule/schedule.h"

namespace schedule {

// The comparisons are written out so that ties and NaN pick the argument the
// contract names (the second one whenever the comparison is false).
float fMax(float A, float B) { return A > B ? A : B; }
float fMin(float a, float b) { return a <= b ? a : b; }
double dMax(double a, double b) { return a >= b ? a : b; }
double dMin(double a, double b) { return a <= b ? a : b; }
int iMax(int A, int B) { return A > B ? A : B; }
int iMin(int a, int b) { return a <= b ? a : b; }
long lMax(long a, long b) { return a >= b ? a : b; }
long lMin(long a, long b) { return a <= b ? a : b; }

int sign(int number) { return number < 0 ? -1 : 1; }

long lround(double number) {
    if (std::isnan(number)) return 0;
    const double down = std::floor(number);
    const double rounded = 0.5 > number - down ? down : std::ceil(number);
    // Saturate instead of converting an out-of-range value (undefined).
    constexpr double lowest = static_cast<double>(std::numeric_limits<long>::min());
    constexpr double beyond_highest = -lowest;  // 2^63, the first value above LONG_MAX
    if (rounded < lowest) return std::numeric_limits<long>::min();
    if (rounded >= beyond_highest) return std::numeric_limits<long>::max();
    return static_cast<long>(rounded);
}

}  // namespace schedule
