// A local search for one machine minimising the total weighted tardiness,
// sum of w_j · max(C_j − d_j, 0). It starts from the earliest-due-date order
// and tries random neighbours, keeping one whenever it is better: first
// adjacent pairwise interchanges (API) until `patience` tries in a row bring
// nothing, then general pairwise interchanges (GPI) the same way.
//
//   tardiness_search INSTANCE [SEED]
//
// INSTANCE is a tagged single-machine file with due dates (DD) and, usually,
// weights (W). The moves draw from std::rand, seeded with SEED (default 1).
#include <cstdio>
#include <cstdlib>

#include "schedule/checked.h"
#include "schedule/schedule.h"

using namespace schedule;

namespace {

using Move = void (*)(const int* original, int* neighbour, int len);

// Improves `current` (value `*value`) with random `move`s until `patience`
// neighbours in a row are no better; returns how many were tried.
long descend(Move move, int*& current, int*& neighbour, double* value, const SINGLE_MACHINE& instance,
             long patience) {
    long tried = 0;
    for (long stale = 0; stale < patience; ++stale, ++tried) {
        move(current, neighbour, instance.jobs);
        const double candidate = S1_Rj_Wj_SumTj(neighbour, instance);
        if (candidate < *value) {
            *value = candidate;
            int* kept = current;
            current = neighbour;
            neighbour = kept;
            stale = -1;
        }
    }
    return tried;
}

void show(const char* what, const int* seq, int jobs, double value) {
    std::printf("%s: %.2f, sequence", what, value);
    for (int k = 0; k < jobs; ++k) std::printf(" %d", seq[k]);
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: tardiness_search INSTANCE [SEED]\n");
        return 2;
    }
    std::srand(argc == 3 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 1u);
    SINGLE_MACHINE instance = load_SINGLE_MACHINE(argv[1]);
    if (instance.dd == nullptr) {
        std::fprintf(stderr, "tardiness_search: %s has no due dates\n", argv[1]);
        release(instance);
        return 1;
    }
    const int jobs = instance.jobs;
    const long patience = 20L * jobs * jobs;

    int* current = ordered_sequence_VECTOR_LONG(instance.dd, jobs, 'A');  // earliest due date first
    int* neighbour = newIVector(jobs);
    double value = S1_Rj_Wj_SumTj(current, instance);
    std::printf("\n");
    show("earliest due date", current, jobs, value);

    const long api = descend(API, current, neighbour, &value, instance, patience);
    show("after API", current, jobs, value);
    const long gpi = descend(GPI, current, neighbour, &value, instance, patience);
    show("after GPI", current, jobs, value);
    std::printf("neighbours tried: %ld API, %ld GPI\n", api, gpi);

    std::free(neighbour);
    std::free(current);
    release(instance);
    return 0;
}
