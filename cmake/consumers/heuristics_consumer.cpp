// A program that uses the installed benchmark sets and reference heuristics:
// NEH on Taillard's first flow shop.
#include <cstdio>

#include <zurududo/benchmarks.h>
#include <zurududo/heuristics.h>

int main() {
    const zurududo::benchmarks::Entry* entry = zurududo::benchmarks::find("ta001");
    if (entry == nullptr) return 1;
    const auto shop = zurududo::benchmarks::make_flowshop(*entry);
    std::printf("ta001 NEH %.0f\n", zurududo::heuristics::neh(shop.get()).value);
    return 0;
}
