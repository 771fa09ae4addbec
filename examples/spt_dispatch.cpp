// A dispatching rule for the job shop. The schedule is built one operation at
// a time: the candidates are the next operations of the unfinished jobs; of
// those that can start earliest, the one with the shortest processing time is
// placed (the lower job on a tie). That gives a non-delay schedule, and the
// order of placement is an operation sequence, which the library evaluates and
// writes as a schedule file.
//
//   spt_dispatch INSTANCE SCHEDULE
//
// INSTANCE is a tagged job-shop file; SCHEDULE is the file to write.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "schedule/checked.h"
#include "schedule/schedule.h"

using namespace schedule;

namespace {

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: spt_dispatch INSTANCE SCHEDULE\n");
        return 2;
    }
    JOBSHOP shop = load_JOBSHOP(argv[1]);
    const int jobs = shop.jobs;
    const int machines = shop.machines;
    // The loader checks the shape of the routings, not their entries, and the
    // rule below indexes machines by them.
    for (int j = 0; j < jobs; ++j)
        for (int k = 0; k < machines; ++k)
            if (shop.rt[j][k] < 0 || shop.rt[j][k] >= machines) {
                std::fprintf(stderr, "spt_dispatch: operation %d of job %d is on machine %d, not one of 0 … %d\n", k,
                             j, shop.rt[j][k], machines - 1);
                release(shop);
                return 1;
            }

    int* done = newIVector(jobs);          // operations of each job placed so far
    long* job_free = newLVector(jobs);     // when each job has finished its last placed operation
    long* machine_free = newLVector(machines);
    for (int j = 0; j < jobs; ++j) {
        done[j] = 0;
        job_free[j] = shop.r[j];
    }
    for (int i = 0; i < machines; ++i) machine_free[i] = 0;

    const int operations = jobs * machines;
    int* seq_ops = newIVector(operations);
    for (int placed = 0; placed < operations; ++placed) {
        long earliest = LONG_MAX;
        for (int j = 0; j < jobs; ++j) {
            if (done[j] == machines) continue;
            earliest = std::min(earliest, std::max(job_free[j], machine_free[shop.rt[j][done[j]]]));
        }
        int chosen = -1;
        for (int j = 0; j < jobs; ++j) {
            if (done[j] == machines) continue;
            const int machine = shop.rt[j][done[j]];
            if (std::max(job_free[j], machine_free[machine]) != earliest) continue;
            if (chosen < 0 || shop.pt[machine][j] < shop.pt[shop.rt[chosen][done[chosen]]][chosen]) chosen = j;
        }
        const int machine = shop.rt[chosen][done[chosen]];
        job_free[chosen] = machine_free[machine] = earliest + shop.pt[machine][chosen];
        ++done[chosen];
        seq_ops[placed] = chosen;
    }

    std::printf("\noperation sequence:");
    for (int k = 0; k < operations; ++k) std::printf(" %d", seq_ops[k]);
    std::printf("\nmakespan: %ld\n", Jm_Rj_Cmax(seq_ops, shop));
    Jm_Rj_GenSchedule(seq_ops, shop, argv[2]);
    std::printf("schedule written to %s\n", argv[2]);

    std::free(seq_ops);
    std::free(machine_free);
    std::free(job_free);
    std::free(done);
    release(shop);
    return 0;
}
