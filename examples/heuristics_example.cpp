// The benchmark sets and the reference heuristics: an iterated greedy on a
// Taillard flow shop, then the tabu search on Fisher and Thompson's 6 × 6
// job shop, each compared with the best known value.
#include <cstdio>

#include <schedule/schedule.h>
#include <zurududo/benchmarks.h>
#include <zurududo/heuristics.h>

int main() {
    namespace bench = zurududo::benchmarks;
    namespace heur = zurududo::heuristics;

    const bench::Entry* flow = bench::find("ta001");
    const auto shop = bench::make_flowshop(*flow);
    heur::Options options;
    options.budget.iterations = 200;  // or a time limit: options.budget.seconds, on options.budget.clock
    options.seed = 1;
    const heur::Result greedy = heur::iterated_greedy(shop.get(), options);
    std::printf("ta001: %.0f (best known %ld, NEH %.0f)\n", greedy.value, flow->best_known,
                heur::neh(shop.get()).value);

    const bench::Entry* job = bench::find("ft06");
    const auto jobs = bench::make_jobshop(*job);
    options.budget.iterations = 20000;
    options.target = static_cast<double>(job->best_known);  // stop at the optimum
    const heur::Result tabu = heur::tabu_search(jobs.get(), options);
    std::printf("ft06: %.0f (optimum %ld), Jm_Rj_Cmax of its sequence %ld\n", tabu.value, job->best_known,
                schedule::Jm_Rj_Cmax(tabu.sequence.data(), jobs.get()));
}
