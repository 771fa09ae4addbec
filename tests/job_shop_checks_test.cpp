// The job shop's checks of its operation sequence and routing compare each
// entry once, as an unsigned number; entries at the ends of int must be
// caught like any other.
#include <climits>
#include <cstdlib>
#include <vector>

#include "schedule/schedule.h"
#include "test_support.h"

using namespace schedule;
using testing_support::stdout_to_stderr;

namespace {

struct JobShopExtremes : testing::Test {
    std::vector<int> m0{3, 2}, m1{4, 1}, route0{0, 1}, route1{1, 0}, r{0, 1};
    int* pt[2] = {m0.data(), m1.data()};
    int* rt[2] = {route0.data(), route1.data()};
    std::vector<long> dd{10, 8};
    std::vector<double> w{1.0, 2.0};
    JOBSHOP instance{2, 2, pt, rt, dd.data(), w.data(), r.data()};
};

using JobShopExtremesDeathTest = JobShopExtremes;

TEST_F(JobShopExtremesDeathTest, JobsAtTheEndsOfIntAreOutOfRange) {
    const std::vector<int> lowest{0, INT_MIN, 1, 0}, highest{0, 1, INT_MAX, 0};
    EXPECT_EXIT((stdout_to_stderr(), Jm_Rj_Cmax(lowest.data(), instance)), testing::ExitedWithCode(1),
                "Jm_Rj_Cmax: entry 1 of the operation sequence is job -2147483648, outside 0..1\n$");
    EXPECT_EXIT((stdout_to_stderr(), Jm_Rj_Cj(highest.data(), instance)), testing::ExitedWithCode(1),
                "Jm_Rj_Cj: entry 2 of the operation sequence is job 2147483647, outside 0..1\n$");
}

TEST_F(JobShopExtremesDeathTest, MachinesAtTheEndsOfIntAreOutOfRange) {
    const std::vector<int> seq{0, 1, 1, 0};
    route1[0] = INT_MIN;
    EXPECT_EXIT((stdout_to_stderr(), Jm_Rj_SumCj(seq.data(), instance)), testing::ExitedWithCode(1),
                "Jm_Rj_SumCj: operation 0 of job 1 is routed to machine -2147483648, outside 0..1\n$");
    route1[0] = 1;
    route0[1] = INT_MAX;
    EXPECT_EXIT((stdout_to_stderr(), Jm_Rj_Wj_SumTj(seq.data(), instance)), testing::ExitedWithCode(1),
                "Jm_Rj_Wj_SumTj: operation 1 of job 0 is routed to machine 2147483647, outside 0..1\n$");
}

TEST_F(JobShopExtremes, EveryEntryInRangeIsAccepted) {
    const std::vector<int> seq{0, 1, 1, 0};
    long* c = Jm_Rj_Cj(seq.data(), instance);
    EXPECT_EQ(c[0], 7);  // job 0: machine 0 from 0 to 3, machine 1 from 3 to 7
    EXPECT_EQ(c[1], 5);  // job 1: machine 1 from 1 to 2, machine 0 from 3 to 5
    std::free(c);
}

}  // namespace
