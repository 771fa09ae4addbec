// The calibration driver of docs/results.md ("Defaults of the tabu search"):
// tabu_search with the parameters given on named instances, 10 s of thread
// CPU time each unless -s says otherwise, stopped at the best known value;
// one line per instance (name, best known, value, RPD %, seconds to the
// value, moves), then the mean RPD. Built by hand against the libraries:
//   g++ -std=c++20 -O2 -I heuristics/include -I benchmarks/include -I schedule/include calibrate.cpp \
//       build/heuristics/libzurududo_heuristics.a build/benchmarks/libzurududo_benchmarks.a \
//       build/schedule/libzurududo-schedule.a -o calibrate
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <zurududo/benchmarks.h>
#include <zurududo/heuristics.h>
using namespace zurududo;
int main(int argc, char** argv) {
    heuristics::TabuSearchParameters p;
    heuristics::Options o;
    o.budget.clock = heuristics::Clock::thread_cpu;
    o.budget.seconds = 10;
    std::vector<std::string> names;
    for (int k = 1; k < argc; ++k) {
        std::string a = argv[k];
        auto v = [&] { return std::string(argv[++k]); };
        if (a == "-s") o.budget.seconds = std::stod(v());
        else if (a == "-n") p.neighbourhood = v() == "n5" ? heuristics::Neighbourhood::n5 : heuristics::Neighbourhood::n6;
        else if (a == "-e") p.escape = v() == "bj" ? heuristics::Escape::back_jump : heuristics::Escape::path_relinking;
        else if (a == "-g") p.stagnation = std::stol(v());
        else if (a == "-p") p.population = std::stoi(v());
        else if (a == "-t") p.threads = std::stoi(v());
        else if (a == "-l") p.tenure = std::stoi(v());
        else if (a == "-x") p.exchange = std::stol(v());
        else if (a == "--seed") o.seed = std::stoull(v());
        else names.push_back(a);
    }
    double sum = 0;
    for (const auto& name : names) {
        const auto* e = benchmarks::find(name);
        auto shop = benchmarks::make_jobshop(*e);
        o.target = static_cast<double>(e->best_known);
        double to_best = 0;
        o.on_improvement = [&](const heuristics::Improvement& i) { to_best = i.seconds; };
        auto r = heuristics::tabu_search(shop.get(), o, p);
        double rpd = 100.0 * (r.value - e->best_known) / e->best_known;
        sum += rpd;
        std::printf("%s %ld %.0f %.3f %.2f %ld\n", name.c_str(), e->best_known, r.value, rpd, to_best, r.iterations);
        std::fflush(stdout);
    }
    std::printf("mean %.3f\n", sum / names.size());
}
