// First steps: load an instance and evaluate a sequence under objectives of
// the catalogue; a file or a sequence the toolkit refuses is a schedule::Error.
#include <cstdio>
#include <variant>
#include <vector>

#include <schedule/checked.h>

int main() {
    try {
        // A permutation flow shop of 20 jobs on 5 machines, a row of times per machine.
        const schedule::AnyInstance loaded = schedule::load_instance(
            "examples/data/flow_shop_20x5.txt", schedule::Environment::flowshop, schedule::Layout::machine_rows);
        const schedule::FLOWSHOP& shop = std::get<schedule::Instance<schedule::FLOWSHOP>>(loaded).get();

        const std::vector<int> neh{8, 6, 16, 1, 9, 13, 19, 14, 0, 18, 5, 4, 12, 17, 15, 7, 2, 10, 11, 3};
        for (const char* objective : {"Cmax", "SumCj"})
            std::printf("%-6s %ld\n", objective, std::get<long>(schedule::evaluate(shop, neh, objective)));
    } catch (const schedule::Error& e) {
        std::fprintf(stderr, "refused: %s\n", e.what());
        return 1;
    }
}
