// The benchmark sets: Taillard's generator against his published check
// values, the catalogue against the instances it makes, and the
// weighted-tardiness reader on good and bad input.
#include <cerrno>
#include <cstdio>
#include <map>
#include <variant>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <zurududo/benchmarks.h>

namespace {

using namespace zurududo;
using namespace zurududo::benchmarks;

TEST(TaillardGenerator, FlowShopCheckValues) {
    const auto ta001 = make_flowshop(*find("ta001"));
    ASSERT_EQ(ta001.jobs(), 20);
    ASSERT_EQ(ta001.machines(), 5);
    const std::vector<std::vector<int>> expected = {
        {54, 83, 15, 71, 77, 36, 53, 38, 27, 87, 76, 91, 14, 29, 12, 77, 32, 87, 68, 94},
        {79, 3, 11, 99, 56, 70, 99, 60, 5, 56, 3, 61, 73, 75, 47, 14, 21, 86, 5, 77}};
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(std::vector<int>(ta001.get().pt[i], ta001.get().pt[i] + 20), expected[static_cast<std::size_t>(i)]);
}

TEST(TaillardGenerator, JobShopCheckValues) {
    const auto ta01 = make_jobshop(*find("ta01"));
    ASSERT_EQ(ta01.jobs(), 15);
    ASSERT_EQ(ta01.machines(), 15);
    const std::vector<int> expected = {6,  94, 12, 66, 4,  10, 7,  53, 3,  26, 2,  15, 10, 65, 11,
                                       82, 8,  10, 14, 27, 9,  93, 13, 92, 5,  96, 0,  70, 1,  83};
    std::vector<int> job0;
    for (int k = 0; k < 15; ++k) {
        const int machine = ta01.get().rt[0][k];
        job0.push_back(machine);
        job0.push_back(ta01.get().pt[machine][0]);
    }
    EXPECT_EQ(job0, expected);
}

TEST(TaillardGenerator, RefusesAnEmptyShop) {
    EXPECT_THROW(taillard_flowshop(0, 5, 1), schedule::Error);
    EXPECT_THROW(taillard_jobshop(5, 0, 1, 1), schedule::Error);
}

// Every named instance is made with the size its entry states, every job-shop
// routing a permutation of the machines.
TEST(Catalogue, EveryInstanceHasTheSizeOfItsEntry) {
    std::map<std::string, int> per_set;
    for (const Entry& entry : catalogue()) {
        ++per_set[entry.set];
        ASSERT_EQ(find(entry.name), &entry);
        EXPECT_GE(entry.best_known, entry.lower_bound.value_or(0)) << entry.name;
        if (entry.optimal && entry.lower_bound) {
            EXPECT_EQ(entry.best_known, *entry.lower_bound) << entry.name;
        }
        if (entry.environment == schedule::Environment::flowshop) {
            const auto instance = make_flowshop(entry);
            EXPECT_EQ(instance.jobs(), entry.jobs);
            EXPECT_EQ(instance.machines(), entry.machines);
            EXPECT_GE(*entry.neh_makespan, *entry.best_known_classic);
            EXPECT_GE(*entry.best_known_classic, entry.best_known);
        } else if (entry.environment == schedule::Environment::jobshop) {
            const auto instance = make_jobshop(entry);
            ASSERT_EQ(instance.jobs(), entry.jobs) << entry.name;
            ASSERT_EQ(instance.machines(), entry.machines) << entry.name;
            for (int j = 0; j < entry.jobs; ++j) {
                std::vector<bool> seen(static_cast<std::size_t>(entry.machines), false);
                for (int k = 0; k < entry.machines; ++k) {
                    const int machine = instance.get().rt[j][k];
                    ASSERT_TRUE(machine >= 0 && machine < entry.machines && !seen[static_cast<std::size_t>(machine)])
                        << entry.name;
                    seen[static_cast<std::size_t>(machine)] = true;
                    EXPECT_GE(instance.get().pt[machine][j], 0);
                }
            }
        }
    }
    const std::map<std::string, int> expected = {{"taillard-flowshop", 120},
                                                 {"taillard-jobshop", 80},
                                                 {"orlib-jobshop", 82},
                                                 {"wt40", 125},
                                                 {"wt50", 125},
                                                 {"wt100", 125}};
    EXPECT_EQ(per_set, expected);
    EXPECT_EQ(sets(), (std::vector<std::string>{"taillard-flowshop", "taillard-jobshop", "orlib-jobshop", "wt40",
                                                "wt50", "wt100"}));
    EXPECT_EQ(find("ta121"), nullptr);
    EXPECT_THROW(make_jobshop(*find("ta001")), schedule::Error);
}

TEST(Catalogue, OrlibJobShopAsInTheFile) {
    const Entry& entry = *find("ft06");
    EXPECT_EQ(entry.best_known, 55);
    EXPECT_TRUE(entry.optimal);
    const auto ft06 = make_jobshop(entry);
    // "2 1 0 3 1 6 3 7 5 3 4 6": job 0 visits machines 2, 0, 1, 3, 5, 4.
    const std::vector<std::pair<int, int>> job0 = {{2, 1}, {0, 3}, {1, 6}, {3, 7}, {5, 3}, {4, 6}};
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(ft06.get().rt[0][k], job0[static_cast<std::size_t>(k)].first);
        EXPECT_EQ(ft06.get().pt[job0[static_cast<std::size_t>(k)].first][0], job0[static_cast<std::size_t>(k)].second);
    }
}

TEST(WeightedTardinessReader, ReadsEveryInstanceOfEachFile) {
    for (const auto& [file, jobs] : std::vector<std::pair<std::string, int>>{
             {"smtwt/wt40.txt", 40}, {"smtwt/wt50.txt", 50}, {"smtwt/wt100.txt", 100}}) {
        const auto instances = read_weighted_tardiness(*embedded_file(file), jobs, file);
        ASSERT_EQ(instances.size(), 125u) << file;
        for (const auto& instance : instances)
            for (int j = 0; j < jobs; ++j) {
                ASSERT_TRUE(instance.get().pt[j] >= 1 && instance.get().pt[j] <= 100) << file;
                ASSERT_TRUE(instance.get().w[j] >= 1 && instance.get().w[j] <= 10) << file;
                ASSERT_EQ(instance.get().r[j], 0);
            }
    }
    // The first instance of wt40 starts with "26 24 79 46"; its weights (third line) with "1 10 9".
    const auto wt40_001 = make_single_machine(*find("wt40_001"));
    EXPECT_EQ(std::vector<int>(wt40_001.get().pt, wt40_001.get().pt + 4), (std::vector<int>{26, 24, 79, 46}));
    EXPECT_EQ(std::vector<double>(wt40_001.get().w, wt40_001.get().w + 3), (std::vector<double>{1, 10, 9}));
}

TEST(WeightedTardinessReader, InstancesNeedNotStartOnANewLine) {
    const auto instances = read_weighted_tardiness("1 2 3 4 5 6\n7 8\r\n9 10 11 12", 2, "two.txt");
    ASSERT_EQ(instances.size(), 2u);
    EXPECT_EQ(instances[1].get().pt[1], 8);
    EXPECT_EQ(instances[1].get().w[0], 9.0);
    EXPECT_EQ(instances[1].get().dd[1], 12);
}

struct BadInput {
    const char* text;
    const char* message;  // a part of the error's message
};

class WeightedTardinessRejects : public testing::TestWithParam<BadInput> {};

TEST_P(WeightedTardinessRejects, NamingTheLine) {
    try {
        read_weighted_tardiness(GetParam().text, 2, "wt.txt");
        FAIL() << "accepted";
    } catch (const schedule::Error& error) {
        EXPECT_EQ(error.kind(), schedule::ErrorKind::instance);
        EXPECT_NE(std::string(error.what()).find(GetParam().message), std::string::npos) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(BadFiles, WeightedTardinessRejects,
                         testing::Values(BadInput{"", "wt.txt:1: no instance"},
                                         BadInput{"1 2\n3 4\n5 x6", "wt.txt:3: \"x6\""},
                                         BadInput{"1 2\n3 -4\n5 6", "wt.txt:2: \"-4\" is out of range"},
                                         BadInput{"1 2\n3 4\n5 2147483648", "wt.txt:3: \"2147483648\" is out of range"},
                                         BadInput{"1 2\n3 4\n5 99999999999999999999999", "wt.txt:3:"},
                                         BadInput{"1 2 3 4 5 6\n1 2\n3", "wt.txt:3: instance 2 is cut short: 3 of 6"},
                                         BadInput{"1 2 3 4 5 6.5", "wt.txt:1: \"6.5\" is not"},
                                         BadInput{"1 2 3 4 5 +6", "wt.txt:1: \"+6\" is not"}));

TEST(WeightedTardinessReader, RefusesAnInstanceWithoutJobs) {
    try {
        read_weighted_tardiness("1 2 3", 0, "wt.txt");
        FAIL() << "accepted";
    } catch (const schedule::Error& error) {
        EXPECT_EQ(error.kind(), schedule::ErrorKind::argument);
    }
}

// The resolver: a file first, then a benchmark name (its case ignored); what
// is neither is named with the nearest name.
TEST(Resolver, FilesThenNamesWithSuggestions) {
    const std::string dir = testing::TempDir();
    const std::string file = dir + "/resolver_flow.txt";
    {
        std::FILE* out = std::fopen(file.c_str(), "w");
        ASSERT_NE(out, nullptr);
        std::fputs("[JOBS=3]\n[MACHINES=2]\n[PT=3,2,4;2,5,1]\n", out);
        std::fclose(out);
    }
    ResolveOptions flowshop;
    flowshop.environment = schedule::Environment::flowshop;
    const Resolved loaded = resolve(file, flowshop);
    EXPECT_EQ(loaded.label, file);
    EXPECT_EQ(loaded.entry, nullptr);
    EXPECT_EQ(std::get<schedule::Instance<schedule::FLOWSHOP>>(loaded.instance).get().pt[1][1], 5);

    for (const char* name : {"ta056", "TA056", "Ta056"}) {
        const Resolved named = resolve(name);
        ASSERT_NE(named.entry, nullptr) << name;
        EXPECT_EQ(named.entry->name, "ta056");
        EXPECT_EQ(named.label, "ta056");
        EXPECT_EQ(std::get<schedule::Instance<schedule::FLOWSHOP>>(named.instance).jobs(), 50);
    }
    const auto refused = [](const std::string& what, const ResolveOptions& options) -> schedule::Error {
        try {
            (void)resolve(what, options);
        } catch (const schedule::Error& e) {
            return e;
        }
        ADD_FAILURE() << "resolved: " << what;
        return schedule::Error(schedule::ErrorKind::memory, 0, "");
    };
    const struct {
        const char* what;
        schedule::ErrorKind kind;
        const char* message;
    } cases[] = {
        {"ta0566", schedule::ErrorKind::file, "no file or benchmark named 'ta0566' (did you mean ta056?)"},
        {"ft11", schedule::ErrorKind::file, "no file or benchmark named 'ft11' (did you mean ft10?)"},
        {"wt40_01", schedule::ErrorKind::file, "no file or benchmark named 'wt40_01' (did you mean wt40_001?)"},
        {"nothing-like-it", schedule::ErrorKind::file, "no file or benchmark named 'nothing-like-it'"},
        {"ft06", schedule::ErrorKind::argument, "ft06 is a jobshop instance, not a flowshop"},
    };
    for (const auto& c : cases) {
        const schedule::Error e = refused(c.what, flowshop);
        EXPECT_EQ(e.kind(), c.kind) << c.what;
        EXPECT_EQ(std::string(e.what()), c.message);
    }
    EXPECT_EQ(refused(dir, {}).kind(), schedule::ErrorKind::file);
    EXPECT_EQ(refused(dir, {}).os_error(), EISDIR);
    EXPECT_EQ(refused("no/such.txt", {}).os_error(), ENOENT);
    EXPECT_EQ(closest_instance("la1"), "la01");
    EXPECT_EQ(find("FT06"), find("ft06"));
    std::remove(file.c_str());
}

}  // namespace
