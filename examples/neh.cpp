// The NEH heuristic (Nawaz, Enscore and Ham, 1983) for the permutation flow
// shop, minimising the makespan: order the jobs by decreasing total processing
// time, then build the sequence by inserting each job in turn where the
// partial sequence's makespan is smallest (the first such position on a tie).
//
//   neh INSTANCE
//
// INSTANCE holds the machine count, the job count, then one row of
// processing times per machine.
#include <cstdio>
#include <cstdlib>

#include "schedule/schedule.h"

using namespace schedule;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: neh INSTANCE\n");
        return 2;
    }
    int jobs = 0;
    int machines = 0;
    int** pt = loadPTimes_mrows(argv[1], &jobs, &machines, 0);

    int* order = sortPT(jobs, machines, pt, 'D');  // longest total time first
    std::printf("by decreasing total time:");
    for (int k = 0; k < jobs; ++k) std::printf(" %d", order[k]);
    std::printf("\nmakespan in that order: %ld\n", Fm_Prmu_Cmax(order, jobs, machines, pt));

    int* seq = newIVector(jobs);         // the partial sequence, one job longer each step
    long* makespans = newLVector(jobs);  // of each insertion position of the next job
    for (int len = 0; len < jobs; ++len) {
        const int job = order[len];
        Fm_Prmu_Insert_Cmax(seq, len, job, machines, pt, makespans);
        int best = 0;
        for (int l = 1; l <= len; ++l)
            if (makespans[l] < makespans[best]) best = l;
        insertIVector(seq, len + 1, job, best);
    }

    std::printf("NEH sequence:");
    for (int k = 0; k < jobs; ++k) std::printf(" %d", seq[k]);
    std::printf("\nmakespan: %ld\n", Fm_Prmu_Cmax(seq, jobs, machines, pt));

    std::free(makespans);
    std::free(seq);
    std::free(order);
    free_mat_int(pt, machines);
    return 0;
}
