// The benchmark layouts (Taillard's flow-shop and job-shop files, the classic
// job-shop layout, OR-Library's many-instance file, JSPLIB's comments) and
// the dispatcher that loads any environment from any layout.
#include <string>
#include <variant>
#include <vector>

#include "schedule/checked.h"
#include "test_support.h"

namespace {

using namespace std::string_literals;
using schedule::Environment;
using schedule::Error;
using schedule::ErrorKind;
using schedule::Instance;
using schedule::InstanceChoice;
using schedule::Layout;
using testing_support::TempDir;

const std::string taillard_header =
    "number of jobs, number of machines, initial seed, upper bound and lower bound :\n";

// Two flow shops of three jobs on two machines.
const std::string two_flow_shops = taillard_header +
                                   "           3           2   873654221        1278        1232\n"
                                   "processing times :\n 5 3 6\n 4 6 2\n" +
                                   taillard_header +
                                   "           3           2   379008056        1359        1290\n"
                                   "processing times :\n 1 2 3\n 7 8 9\n";

// OR-Library's layout: a preamble, then each instance between lines of "+".
const std::string or_library =
    " This file holds two job-shop instances.\n"
    " Each instance is a description, \"n m\", and one line per job.\n"
    " +++++++++++++++++++++++++++++\n"
    " \n"
    " instance tiny1\n"
    " \n"
    " +++++++++++++++++++++++++++++\n"
    " a first tiny shop\n"
    " 2 2\n"
    " 0 3 1 2\n"
    " 1 4 0 1\n"
    " +++++++++++++++++++++++++++++\n"
    " \n"
    " instance tiny2\n"
    " \n"
    " +++++++++++++++++++++++++++++\n"
    " a second tiny shop\n"
    " 2 2\n"
    " 1 5 0 6\n"
    " 0 7 1 8\n"
    " +++++++++++++++++++++++++++++\n"
    " EOF\n";

// Taillard's job-shop layout: machines numbered from 1.
const std::string taillard_job_shop =
    "Nb of jobs, Nb of Machines, Time seed, Machine seed, Upper bound, Lower bound\n"
    "  2  2  840612802  398197754  11  9\n"
    "Times\n 3 2\n 4 1\nMachines\n 1 2\n 2 1\n";

std::string names(const std::vector<schedule::BenchmarkInstance>& instances) {
    std::string all;
    for (const auto& i : instances) all += i.name + "(" + std::to_string(i.jobs) + "x" + std::to_string(i.machines) + "@" +
                                           std::to_string(i.line) + ") ";
    return all;
}

// The message of the Error `body` throws, and its kind.
template <class Body>
std::pair<ErrorKind, std::string> error_of(Body body) {
    try {
        body();
    } catch (const Error& e) {
        return {e.kind(), e.what()};
    }
    ADD_FAILURE() << "no Error";
    return {ErrorKind::file, ""};
}

TEST(BenchmarkLayouts, TaillardFilesListAndChooseTheirInstances) {
    const auto listed = schedule::list_instances_text(two_flow_shops, "tai.txt", Layout::taillard);
    EXPECT_EQ(names(listed), "873654221(3x2@1) 379008056(3x2@6) ");
    EXPECT_EQ(listed[1].upper_bound, 1359);
    EXPECT_EQ(listed[1].lower_bound, 1290);
    // By position, by name (the seed), and by a position written as text.
    for (const InstanceChoice& choice : {InstanceChoice(std::size_t{1}), InstanceChoice("379008056"s), InstanceChoice("1"s)}) {
        const Instance<schedule::FLOWSHOP> second = schedule::read_taillard_text(two_flow_shops, "tai.txt", choice);
        ASSERT_EQ(second.jobs(), 3);
        ASSERT_EQ(second.machines(), 2);
        EXPECT_EQ(second->pt[0][2], 3);
        EXPECT_EQ(second->pt[1][0], 7);
        EXPECT_EQ(second->w[2], 1.0);
        EXPECT_EQ(second->r[2], 0);
        EXPECT_EQ(second->dd, nullptr);
    }
    // A file of one instance needs no choice.
    const std::string first_only = two_flow_shops.substr(0, two_flow_shops.find(taillard_header, 1));
    EXPECT_EQ(schedule::read_taillard_text(first_only, "one.txt")->pt[1][1], 6);
}

TEST(BenchmarkLayouts, ClassicOrLibraryAndJsplibFiles) {
    EXPECT_EQ(names(schedule::list_instances_text(or_library, "jobshop1.txt", Layout::classic)),
              "tiny1(2x2@5) tiny2(2x2@14) ");
    for (const InstanceChoice& choice : {InstanceChoice(std::size_t{1}), InstanceChoice("tiny2"s)}) {
        const auto shop = schedule::read_classic_job_shop_text(or_library, "jobshop1.txt", choice);
        EXPECT_EQ(shop->rt[0][0], 1);
        EXPECT_EQ(shop->rt[1][1], 1);
        EXPECT_EQ(shop->pt[1][0], 5);  // pt[machine][job]
        EXPECT_EQ(shop->pt[0][0], 6);
        EXPECT_EQ(shop->pt[1][1], 8);
    }
    const std::string jsplib = "#+++++++++\n# instance ft02\n#+++++++++\n# a two-job shop\n2 2\n0 3 1 2\n1 4 0 1\n";
    const auto listed = schedule::list_instances_text(jsplib, "ft02", Layout::classic);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].name, "ft02");
    EXPECT_EQ(listed[0].description, "a two-job shop");
    // With and without a description line, the same shop.
    for (const std::string& text : {jsplib, "a tiny job shop\n 2 2\n 0 3 1 2\n 1 4 0 1\n"s, "2 2\n0 3 1 2\n1 4 0 1"s}) {
        const auto shop = schedule::read_classic_job_shop_text(text, "ft02");
        EXPECT_EQ(shop->pt[1][0], 2);
        EXPECT_EQ(shop->rt[1][0], 1);
        EXPECT_EQ(schedule::evaluate(shop.get(), std::vector<int>{0, 1, 0, 1}, "Cmax"), schedule::Value(6L));
    }
}

TEST(BenchmarkLayouts, TaillardJobShopMachinesCountFromOne) {
    const auto shop = schedule::read_taillard_job_shop_text(taillard_job_shop, "tai15_15.txt", std::size_t{0});
    EXPECT_EQ(shop->rt[0][0], 0);
    EXPECT_EQ(shop->rt[0][1], 1);
    EXPECT_EQ(shop->rt[1][0], 1);
    EXPECT_EQ(shop->pt[1][1], 4);
    EXPECT_EQ(shop->pt[0][1], 1);
    const auto listed = schedule::list_instances_text(taillard_job_shop, "tai15_15.txt", Layout::taillard_jobshop);
    EXPECT_EQ(names(listed), "840612802(2x2@1) ");
    EXPECT_EQ(listed[0].upper_bound, 11);
}

TEST(BenchmarkLayouts, AFileOfSeveralIsNeverReadAsItsFirst) {
    const auto [kind, message] = error_of([] { (void)schedule::read_taillard_text(two_flow_shops, "tai.txt"); });
    EXPECT_EQ(kind, ErrorKind::argument);
    EXPECT_EQ(message, "no instance chosen; tai.txt holds 2 instances: 873654221 and 379008056 (choose one by name or "
                       "by position, 0 to 1)");
    EXPECT_EQ(error_of([] { (void)schedule::read_classic_job_shop_text(or_library, "j.txt", "ft06"s); }).second,
              "no instance is named ft06; j.txt holds 2 instances: tiny1 and tiny2 (choose one by name or by position, "
              "0 to 1)");
    EXPECT_EQ(error_of([] { (void)schedule::read_classic_job_shop_text(or_library, "j.txt", std::size_t{2}); }).first,
              ErrorKind::argument);
}

struct Rejected {
    Layout layout;
    std::string text;
    std::string message;
};

class RejectedFiles : public testing::TestWithParam<Rejected> {};

TEST_P(RejectedFiles, NameTheSourceAndTheLine) {
    const Rejected& c = GetParam();
    const auto [kind, message] = error_of([&] {
        (void)schedule::load_instance_text(c.text, "f.txt", std::nullopt, c.layout, {}, std::size_t{0});
    });
    EXPECT_EQ(kind, ErrorKind::instance);
    EXPECT_EQ(message, c.message);
}

const std::string taillard_counts = "  2  2  1  1  1\nprocessing times :\n";

INSTANTIATE_TEST_SUITE_P(
    BenchmarkLayouts, RejectedFiles,
    testing::Values(
        Rejected{Layout::taillard, taillard_header + taillard_counts + " 5 x\n 4 6\n", "f.txt:4: \"x\" is not a whole number"},
        Rejected{Layout::taillard, taillard_header + taillard_counts + " 5 3\n 4 -6\n", "f.txt:5: \"-6\" must be at least 0"},
        Rejected{Layout::taillard, taillard_header + taillard_counts + " 5 3\n 4\n",
                 "f.txt:5: expected 2 rows of 2 processing times; the data end after 3 numbers"},
        Rejected{Layout::taillard, taillard_header + taillard_counts + " 5 3\n 4 6 1\n",
                 "f.txt:5: more numbers than 2 rows of 2 processing times"},
        Rejected{Layout::taillard, taillard_header + "  0  2  1  1  1\nprocessing times :\n", "f.txt:2: \"0\" must be at least 1"},
        Rejected{Layout::taillard, taillard_header + "  2  2  1  1  1\ntimes :\n 1 2\n 3 4\n",
                 "f.txt:3: expected a line \"processing times\""},
        Rejected{Layout::taillard, "\nthe first flow shop\n", "f.txt:2: expected Taillard's header \"number of jobs, "
                                                             "number of machines, initial seed, upper bound and lower bound :\""},
        Rejected{Layout::classic, "2 2\n0 3 1 2\n1 4\n", "f.txt:3: expected 2 jobs of 2 \"machine time\" pairs; the data end after 6 numbers"},
        Rejected{Layout::classic, "2 2\n0 3 1 2\n1 4 1 1\n", "f.txt:3: job 1 visits machine 1 twice (each job visits each machine exactly once)"},
        Rejected{Layout::classic, "2 2\n0 3 1 2\n\n2 4 0 1\n", "f.txt:4: job 1 names machine 2; machines are 0..1"},
        Rejected{Layout::classic, "# no data\n", "f.txt:1: no job-shop instance (\"n m\") in the file"},
        Rejected{Layout::classic, "2 2\n0 3 1 2.5\n1 4 0 1\n", "f.txt:2: \"2.5\" is not a whole number"},
        Rejected{Layout::classic, " +++\n instance a\n +++\n 1 1\n 0 5\n +++\n instance b\n +++\n",
                 "f.txt:7: instance b has no data"},
        Rejected{Layout::classic, " +++\n instance a\n +++\n 1 1\n 0 5\n +++\n something\n +++\n 1 1\n 0 5\n",
                 "f.txt:7: expected a line \" instance NAME\" between the lines of \"+\""},
        Rejected{Layout::taillard_jobshop, taillard_job_shop.substr(0, taillard_job_shop.find("\nMachines") + 1) + "Machines\n 1 2\n 2 3\n",
                 "f.txt:8: \"3\" must be at most 2"},
        Rejected{Layout::taillard_jobshop, taillard_job_shop.substr(0, taillard_job_shop.find("\nMachines") + 1) + "Machines\n 1 2\n 2 2\n",
                 "f.txt:8: job 1 visits machine 2 twice (each job visits each machine exactly once)"},
        Rejected{Layout::taillard_jobshop, taillard_job_shop.substr(0, taillard_job_shop.find("\nMachines") + 1),
                 "f.txt:3: the times are not followed by a line \"Machines\""}));

TEST(LoadInstance, TaggedFilesTellTheirEnvironment) {
    const std::pair<const char*, Environment> cases[] = {
        {"[JOBS=2]\n[PT=3,4]\n", Environment::single},
        {"[JOBS=2]\n[MACHINES=2]\n[PT=3,4]\n", Environment::identical},
        {"[JOBS=2]\n[MACHINES=2]\n[V=1,2]\n[PT=3,4]\n", Environment::uniform},
        {"[JOBS=2]\n[MACHINES=2]\n[PT=3,2;1,4]\n[RT=0,1;1,0]\n", Environment::jobshop},
    };
    for (const auto& [text, environment] : cases) {
        const schedule::AnyInstance any = schedule::load_instance_text(text, "t.txt", std::nullopt);
        EXPECT_EQ(any.index(), static_cast<std::size_t>(environment)) << text;
    }
    const auto [kind, message] = error_of(
        [] { (void)schedule::load_instance_text("[JOBS=2]\n[MACHINES=2]\n[PT=3,2;1,4]\n", "t.txt", std::nullopt); });
    EXPECT_EQ(kind, ErrorKind::argument);
    EXPECT_NE(message.find("name the environment"), std::string::npos) << message;
    const auto flow = schedule::load_instance_text("[JOBS=2]\n[MACHINES=2]\n[PT=3,2;1,4]\n", "t.txt", Environment::flowshop);
    EXPECT_EQ(std::get<Instance<schedule::FLOWSHOP>>(flow)->pt[1][1], 4);
}

TEST(LoadInstance, LayoutsHoldTheirEnvironmentsAndOnlyBenchmarksChoose) {
    EXPECT_EQ(error_of([] { (void)schedule::load_instance_text(two_flow_shops, "t", Environment::jobshop, Layout::taillard); }).second,
              "the taillard layout holds a flow shop (environment flowshop), not jobshop");
    EXPECT_EQ(error_of([] {
                  (void)schedule::load_instance_text("[JOBS=1]\n[PT=1]\n", "t", std::nullopt, Layout::tagged, {}, "x"s);
              }).first,
              ErrorKind::argument);
    const auto shop = schedule::load_instance_text(or_library, "j", std::nullopt, Layout::classic, {}, "tiny1"s);
    EXPECT_EQ(std::get<Instance<schedule::JOBSHOP>>(shop)->pt[0][1], 1);
    for (const char* name : {"tagged", "taillard", "classic", "taillard-jobshop", "mrows", "mrows-dd", "nrows", "nrows-dd"})
        EXPECT_EQ(schedule::layout_name(*schedule::layout_named(name)), name);
    EXPECT_FALSE(schedule::layout_named("csv"));
}

// The processing-time layouts ("m n", then the times) into the records that
// hold a machines × jobs matrix; strict loads (the default) check the text first.
TEST(LoadInstance, ProcessingTimeLayouts) {
    TempDir dir;
    const std::string machine_rows = dir.write("m.txt", "2 3\n5 3 6\n4 6 2\n10 20 30\n");
    const std::string job_rows = dir.write("n.txt", "2 3\n5 4 10\n3 6 20\n6 2 30\n");
    const auto flow = schedule::load_instance(machine_rows, std::nullopt, Layout::machine_rows_due_dates);
    const auto& f = std::get<Instance<schedule::FLOWSHOP>>(flow);
    EXPECT_EQ(f->pt[1][2], 2);
    EXPECT_EQ(f->dd[2], 30);
    const auto unrelated = schedule::load_instance(job_rows, Environment::unrelated, Layout::job_rows_due_dates);
    const auto& u = std::get<Instance<schedule::UNRELATED_MACHINES>>(unrelated);
    EXPECT_EQ(u->pt[1][2], 2);
    EXPECT_EQ(u->dd[1], 20);
    const std::string bad = dir.write("bad.txt", "2 2\n5 3\n4 x\n");
    EXPECT_EQ(error_of([&] { (void)schedule::load_instance(bad, std::nullopt, Layout::machine_rows); }).second,
              bad + ":3: \"x\" is not a whole number");
    const schedule::LoadOptions lenient{nullptr, false};
    EXPECT_EQ(std::get<Instance<schedule::FLOWSHOP>>(
                  schedule::load_instance(bad, std::nullopt, Layout::machine_rows, lenient))->pt[1][1],
              0);
    EXPECT_EQ(error_of([&] { (void)schedule::load_instance(bad, Environment::jobshop, Layout::machine_rows); }).first,
              ErrorKind::argument);
}

}  // namespace
