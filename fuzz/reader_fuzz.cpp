// One fuzz target per way a file enters the library. The build compiles this
// harness once per reader, naming the reader in FUZZ_READER. Readers of
// files get the input as an in-memory file opened by name; readers of text
// get it as it is.
//
// The targets drive the checked core, which reports a rejected input by
// throwing schedule::Error: that is a normal outcome here. Anything the
// sanitizers report, a leak (on a rejection path too), or any other
// exception is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

#include "schedule/checked.h"
#include "schedule/schedule.h"

namespace {

using namespace schedule;

// The in-memory file that holds the current input, and its name.
int input_fd = -1;
std::string input_name;

// Where the readers' echo goes, so that it is written (and its formatting
// exercised) without filling the fuzzer's output.
std::FILE* echo = nullptr;

void store_input(const std::uint8_t* data, std::size_t size) {
    if (ftruncate(input_fd, 0) != 0) std::abort();
    std::size_t done = 0;
    while (done < size) {
        const ssize_t wrote = pwrite(input_fd, data + done, size - done, static_cast<off_t>(done));
        if (wrote <= 0) std::abort();
        done += static_cast<std::size_t>(wrote);
    }
}

// Runs one reading; a rejection is an ordinary outcome.
template <class Read>
void attempt(Read read) {
    try {
        read();
    } catch (const Error&) {
    }
}

// --- Tagged files ----------------------------------------------------------

// The working storage of a tag load; too large for the stack.
char tags[tag_entry_slots][tag_text_size];
char contents[tag_entry_slots][tag_content_size];

template <class T>
void read_and_free(int (*reader)(const char*, const char (*)[tag_text_size], const char (*)[tag_content_size], int,
                                 T**),
                   const char* tag, int lines) {
    T* v = nullptr;
    if (reader(tag, tags, contents, lines, &v) >= 0) std::free(v);
}

// load_tag_content, then every tag reader on what it stored (they fail only
// when memory runs out).
void feed_tag_readers(std::string_view) {
    const int lines = load_tag_content(input_name.c_str(), tags, contents);
    const int jobs = load_int_tag("[JOBS=", tags, contents, lines);
    const int machines = load_int_tag("[MACHINES=", tags, contents, lines);
    read_and_free(load_long_vector_tag, "[DD=", lines);
    read_and_free(load_double_vector_tag, "[W=", lines);
    read_and_free(load_int_vector_tag, "[R=", lines);
    for (int i = 0; i < lines; ++i) {
        int* v = nullptr;
        string_to_VECTOR_INT(contents[i], &v);
        std::free(v);
    }
    // The caller sizes a matrix; keep it to what a small instance needs.
    if (jobs >= 1 && jobs <= 64 && machines >= 1 && machines <= 64) {
        Matrix pt = Matrix::allocate(machines, jobs);
        load_int_matrix_tag("[PT=", tags, contents, lines, pt.get(), machines, jobs);
    }
}

// Every load both as specified and strictly.
template <InstanceRecord Record>
void feed_load(std::string_view) {
    for (const bool strict : {false, true}) attempt([&] { (void)load<Record>(input_name, LoadOptions{echo, strict}); });
}

void feed_tagged_environment(std::string_view text) {
    attempt([&] { (void)tagged_environment_text(text, "input"); });
}

// --- Plain-format readers ----------------------------------------------------

template <PlainJobShopLayout layout>
void feed_job_shop(std::string_view) {
    for (const bool description : {false, true})
        attempt([&] { (void)read_plain_job_shop(input_name, layout, description, echo); });
}

template <TimesLayout layout>
void feed_times(std::string_view) {
    attempt([&] { (void)read_processing_times(input_name, layout, echo); });
}

void feed_read_parameter(std::string_view) {
    for (int row = -1; row <= 4; ++row) attempt([&] { (void)read_parameter(input_name, row); });
}

// The processing-time layouts through the dispatcher, with the strict check
// of their text.
void feed_load_instance_times(std::string_view) {
    for (const Layout layout : {Layout::machine_rows, Layout::machine_rows_due_dates, Layout::job_rows,
                                Layout::job_rows_due_dates})
        attempt([&] { (void)load_instance(input_name, std::nullopt, layout, LoadOptions{nullptr, true}); });
}

// --- Benchmark layouts -------------------------------------------------------

// The listing, the refusal to choose, then the first few instances by
// position and by name.
template <Layout layout, class Read>
void feed_benchmark(std::string_view text, Read read) {
    attempt([&] { (void)read(text, "input", InstanceChoice{}); });
    std::vector<BenchmarkInstance> instances;
    attempt([&] { instances = list_instances_text(text, "input", layout); });
    for (std::size_t k = 0; k < instances.size() && k < 4; ++k) {
        attempt([&] { (void)read(text, "input", InstanceChoice{k}); });
        attempt([&] { (void)read(text, "input", InstanceChoice{instances[k].name}); });
    }
}

void feed_read_taillard(std::string_view text) { feed_benchmark<Layout::taillard>(text, read_taillard_text); }
void feed_read_classic_job_shop(std::string_view text) {
    feed_benchmark<Layout::classic>(text, read_classic_job_shop_text);
}
void feed_read_taillard_job_shop(std::string_view text) {
    feed_benchmark<Layout::taillard_jobshop>(text, read_taillard_job_shop_text);
}

// --- Schedule files --------------------------------------------------------

void feed_read_schedule_text(std::string_view text) {
    // The lists of whole numbers it reads its groups with, which are also
    // sched's sequence files, on the whole input.
    (void)integer_list(text);
    attempt([&] {
        const ScheduleFile file = read_schedule_text(text, "input");
        // What it accepts holds together: every operation of a job of the
        // order on a machine of the file, ending no earlier than it starts.
        for (const Operation& op : file.operations)
            if (op.job < 0 || op.job >= file.jobs || op.machine < 0 || op.machine >= file.machines || op.end < op.start)
                std::abort();
    });
}

struct Feed {
    const char* reader;
    void (*feed)(std::string_view text);
};

constexpr Feed feeds[] = {
    {"tag_readers", feed_tag_readers},
    {"load_SINGLE_MACHINE", feed_load<SINGLE_MACHINE>},
    {"load_PARALLEL_MACHINES", feed_load<PARALLEL_MACHINES>},
    {"load_RELATED_MACHINES", feed_load<RELATED_MACHINES>},
    {"load_UNRELATED_MACHINES", feed_load<UNRELATED_MACHINES>},
    {"load_FLOWSHOP", feed_load<FLOWSHOP>},
    {"load_OPENSHOP", feed_load<OPENSHOP>},
    {"load_JOBSHOP", feed_load<JOBSHOP>},
    {"tagged_environment", feed_tagged_environment},
    {"loadJSData", feed_job_shop<PlainJobShopLayout::classic>},
    {"loadJS_DD_Data", feed_job_shop<PlainJobShopLayout::due_dates>},
    {"loadJS_DD_Data_Zorvane", feed_job_shop<PlainJobShopLayout::due_dates_rows>},
    {"loadJS_MM_Data", feed_job_shop<PlainJobShopLayout::machine_times>},
    {"loadPTimes_mrows", feed_times<TimesLayout::machine_rows>},
    {"loadPTimes_mrowsDD", feed_times<TimesLayout::machine_rows_due_dates>},
    {"loadPTimes_nrows", feed_times<TimesLayout::job_rows>},
    {"loadPTimes_nrowsDD", feed_times<TimesLayout::job_rows_due_dates>},
    {"load_instance_times", feed_load_instance_times},
    {"read_parfile_int", feed_read_parameter},
    {"read_taillard", feed_read_taillard},
    {"read_classic_job_shop", feed_read_classic_job_shop},
    {"read_taillard_job_shop", feed_read_taillard_job_shop},
    {"read_schedule_text", feed_read_schedule_text},
};

void (*feed)(std::string_view text) = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    echo = std::fopen("/dev/null", "w");
    if (echo == nullptr) std::abort();
    input_fd = memfd_create("fuzz-input", 0);
    if (input_fd < 0) std::abort();
    input_name = "/proc/self/fd/" + std::to_string(input_fd);
    for (const Feed& f : feeds) {
        if (std::string_view(f.reader) == FUZZ_READER) feed = f.feed;
    }
    if (feed == nullptr) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    store_input(data, size);
    feed(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
