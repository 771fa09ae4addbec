// Many sequences at once: the rows of an array checked and evaluated by the
// library's checked batch routine, without the GIL.
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include <schedule/checked.h>

#include "bindings.h"

namespace zurududo_python {

py::array Instance::evaluate_many(const py::object& seqs, const std::string& objective, const py::object& threads) const {
    const auto wanted = static_cast<unsigned>(integer_argument(threads, "number of threads", 0, 4096));
    return evaluated_visit([&]<class Record>(const Record& record) -> py::array {
        const schedule::Objective<Record>& entry = schedule::find_objective<Record>(objective);
        if (entry.needs_due_dates && record.dd == nullptr)
            value_error(std::string(entry.name) + " needs due dates and the instance has none");
        const IntegerRows rows(seqs, "sequences");
        // A row of the wrong length is named before anything is copied.
        constexpr bool operations = std::is_same_v<Record, schedule::JOBSHOP>;
        const long long length = static_cast<long long>(record.jobs) * (operations ? record.machines : 1);
        if (rows.rows() > 0 && rows.cols() != length)
            value_error(std::string("row 0: the ") + (operations ? "operation sequence" : "sequence") + " has " +
                        std::to_string(rows.cols()) + " entries; the instance needs " + std::to_string(length));
        std::vector<int> converted;
        const std::span<const int> entries = rows.entries(converted);
        const auto run = [&]<class Out>(py::array_t<Out> result) -> py::array {
            const std::span<Out> out(result.mutable_data(), static_cast<std::size_t>(rows.rows()));
            py::gil_scoped_release unlocked;
            schedule::evaluate_many(record, entries, static_cast<std::size_t>(rows.cols()), entry, out, wanted);
            return result;
        };
        if (entry.weighted) return run(py::array_t<double>(rows.rows()));
        return run(py::array_t<long>(rows.rows()));
    });
}

void init_batches(py::class_<Instance>& instance) {
    instance
        .def("evaluate_many", checked_method(&Instance::evaluate_many), py::arg("seqs"), py::arg("objective") = "Cmax",
             py::arg("threads") = 0, R"doc(
The value of one objective for each row of a two-dimensional integer array.

seqs       one sequence a row (int32 rows are read in place; other integer types are
           converted on the fly).
objective  as for evaluate.
threads    worker threads; 0 uses every core. The GIL is released meanwhile, and the
           result does not depend on the number of threads.
Returns an int64 array (float64 for Wj_ objectives), one value a row. Every row is
checked; the first bad one is named in the ValueError. On the single machine and the
flow shop the checked rows go to the library's batch evaluators (several sequences in
the same vector instructions); the values are those of evaluate, bit for bit.
)doc");
}

}  // namespace zurududo_python
