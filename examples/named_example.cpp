// The named routines: load an instance, evaluate the jobs in reverse order.
#include <cstdio>
#include <cstdlib>

#include <schedule/checked.h>  // schedule::release
#include <schedule/schedule.h>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    schedule::SINGLE_MACHINE instance = schedule::load_SINGLE_MACHINE(argv[1]);  // echoes it
    int* seq = schedule::newIVector(instance.jobs);  // the jobs in reverse order
    for (int k = 0; k < instance.jobs; ++k) seq[k] = instance.jobs - 1 - k;

    long* completion = schedule::S1_Rj_Cj(seq, instance);  // indexed by job, not by position
    schedule::print_long_vector(completion, instance.jobs);
    std::printf("weighted tardiness %f\n", schedule::S1_Rj_Wj_SumTj(seq, instance));  // needs DD

    std::free(completion);
    std::free(seq);
    schedule::release(instance);
}
