// The OR-Library job-shop layout, read from an embedded file.
#include <sstream>
#include <string>

#include "internal.h"

namespace zurududo::benchmarks::internal {

schedule::Instance<schedule::JOBSHOP> orlib_jobshop(std::string_view text, std::string_view origin) {
    std::istringstream in{std::string(text)};
    std::string description;
    std::getline(in, description);
    int jobs = 0;
    int machines = 0;
    if (!(in >> jobs >> machines) || jobs < 1 || machines < 1)
        throw schedule::Error(schedule::ErrorKind::instance, 0,
                              std::string(origin) + ":2: expected the number of jobs and of machines");
    schedule::JOBSHOP record{};
    record.jobs = jobs;
    record.machines = machines;
    record.pt = reinterpret_cast<int**>(schedule::dyn_mat(machines, jobs, sizeof(int)));
    record.rt = reinterpret_cast<int**>(schedule::dyn_mat(jobs, machines, sizeof(int)));
    record.dd = nullptr;
    record.w = schedule::newDVector(jobs);
    record.r = schedule::newIVector(jobs);
    schedule::Instance<schedule::JOBSHOP> owned(record);
    schedule::setval_Dvector(record.w, jobs, 1.0);
    schedule::setval_Ivector(record.r, jobs, 0);
    schedule::setval_Imatrix(record.pt, machines, jobs, -1);
    for (int j = 0; j < jobs; ++j)
        for (int k = 0; k < machines; ++k) {
            int machine = 0;
            int time = 0;
            if (!(in >> machine >> time) || machine < 0 || machine >= machines || time < 0 ||
                record.pt[machine][j] != -1)
                throw schedule::Error(schedule::ErrorKind::instance, 0,
                                      std::string(origin) + ":" + std::to_string(3 + j) + ": job " + std::to_string(j) +
                                          ", operation " + std::to_string(k) + ": expected a new machine below " +
                                          std::to_string(machines) + " and a time of at least 0");
            record.rt[j][k] = machine;
            record.pt[machine][j] = time;
        }
    return owned;
}

}  // namespace zurududo::benchmarks::internal
