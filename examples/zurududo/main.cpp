// Practice driver: loads "test_single_machine.txt" from the working directory,
// evaluates the identity sequence and prints every job's completion time.
#include <cstdlib>

#include "schedule/checked.h"
#include "schedule/schedule.h"

int main() {
    using namespace schedule;
    SINGLE_MACHINE my_single = load_SINGLE_MACHINE("test_single_machine.txt");
    int* seq = newIVector(my_single.jobs);
    for (int i = 0; i < my_single.jobs; ++i) seq[i] = i;
    long* completion_times = S1_Rj_Cj(seq, my_single);
    print_long_vector(completion_times, my_single.jobs);
    std::free(seq);
    std::free(completion_times);
    // The instance lives until here; releasing it keeps leak checkers quiet.
    release(my_single);
    return 0;
}
