// Taillard's generator and the instances it makes.
#include <numeric>
#include <string>
#include <vector>

#include <zurududo/benchmarks.h>

namespace zurududo::benchmarks {

namespace {

constexpr std::int32_t multiplier = 16807;
constexpr std::int32_t quotient = 127773;  // modulus div multiplier
constexpr std::int32_t remainder = 2836;   // modulus mod multiplier
constexpr std::int32_t modulus = 2147483647;

void check_size(int jobs, int machines, const char* what) {
    if (jobs < 1 || machines < 1)
        throw schedule::Error(schedule::ErrorKind::argument, 999,
                              std::string(what) + ": " + std::to_string(jobs) + " jobs and " +
                                  std::to_string(machines) + " machines (both must be at least 1)");
}

// Unit weights and release dates 0, as the toolkit's records default to.
template <class Record>
void default_vectors(Record& record, int jobs) {
    record.dd = nullptr;
    record.w = schedule::newDVector(jobs);
    record.r = schedule::newIVector(jobs);
    schedule::setval_Dvector(record.w, jobs, 1.0);
    schedule::setval_Ivector(record.r, jobs, 0);
}

}  // namespace

int TaillardRandom::uniform(int low, int high) {
    const std::int32_t k = seed_ / quotient;
    seed_ = multiplier * (seed_ % quotient) - k * remainder;
    if (seed_ < 0) seed_ += modulus;
    const double fraction = static_cast<double>(seed_) / static_cast<double>(modulus);
    return low + static_cast<int>(fraction * (high - low + 1));
}

schedule::Instance<schedule::FLOWSHOP> taillard_flowshop(int jobs, int machines, std::int32_t time_seed) {
    check_size(jobs, machines, "taillard_flowshop");
    schedule::FLOWSHOP record{};
    record.jobs = jobs;
    record.machines = machines;
    record.pt = reinterpret_cast<int**>(schedule::dyn_mat(machines, jobs, sizeof(int)));
    default_vectors(record, jobs);
    schedule::Instance<schedule::FLOWSHOP> owned(record);
    TaillardRandom random(time_seed);
    for (int i = 0; i < machines; ++i)
        for (int j = 0; j < jobs; ++j) record.pt[i][j] = random.uniform(1, 99);
    return owned;
}

schedule::Instance<schedule::JOBSHOP> taillard_jobshop(int jobs, int machines, std::int32_t time_seed,
                                                       std::int32_t machine_seed) {
    check_size(jobs, machines, "taillard_jobshop");
    schedule::JOBSHOP record{};
    record.jobs = jobs;
    record.machines = machines;
    record.pt = reinterpret_cast<int**>(schedule::dyn_mat(machines, jobs, sizeof(int)));
    record.rt = reinterpret_cast<int**>(schedule::dyn_mat(jobs, machines, sizeof(int)));
    default_vectors(record, jobs);
    schedule::Instance<schedule::JOBSHOP> owned(record);

    TaillardRandom times(time_seed);
    std::vector<int> time(static_cast<std::size_t>(jobs) * static_cast<std::size_t>(machines));
    for (int& t : time) t = times.uniform(1, 99);

    TaillardRandom routes(machine_seed);
    std::vector<int> routing(static_cast<std::size_t>(machines));
    for (int j = 0; j < jobs; ++j) {
        std::iota(routing.begin(), routing.end(), 0);
        for (int i = 1; i <= machines; ++i) std::swap(routing[i - 1], routing[routes.uniform(i, machines) - 1]);
        for (int k = 0; k < machines; ++k) {
            record.rt[j][k] = routing[k];
            record.pt[routing[k]][j] = time[static_cast<std::size_t>(j) * machines + k];
        }
    }
    return owned;
}

}  // namespace zurududo::benchmarks
