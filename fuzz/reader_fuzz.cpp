// One fuzz target per way a file enters the library. The build compiles this
// harness once per reader, naming the reader in FUZZ_READER; every input is
// written to an in-memory file that the reader then opens by name.
//
// The library is built for fuzzing with its process end turned into a
// thrown ProcessEnd, so an input that a reader rejects (as it would by
// ending the process) is a normal outcome here; anything the sanitizers
// report, or a leak, is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

#include "record_release.h"
#include "schedule/support/failure.h"
#include "schedule/schedule.h"

namespace {

using namespace schedule;
using testing_support::release;

// The in-memory file that holds the current input, and its name.
int input_fd = -1;
std::string input_name;

void store_input(const std::uint8_t* data, std::size_t size) {
    if (ftruncate(input_fd, 0) != 0) std::abort();
    std::size_t done = 0;
    while (done < size) {
        const ssize_t wrote = pwrite(input_fd, data + done, size - done, static_cast<off_t>(done));
        if (wrote <= 0) std::abort();
        done += static_cast<std::size_t>(wrote);
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

// load_tag_content, then every tag reader on what it stored.
void feed_tag_readers(const char* name) {
    const int lines = load_tag_content(name, tags, contents);
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
        int** pt = reinterpret_cast<int**>(dyn_mat(machines, jobs, sizeof(int)));
        load_int_matrix_tag("[PT=", tags, contents, lines, pt, machines, jobs);
        free_mat_int(pt, machines);
    }
}

// --- Instance loaders --------------------------------------------------------

template <class Record>
void feed_loader(Record (*load)(const char*), const char* name) {
    Record record = load(name);
    release(record);
}

void feed_load_SINGLE_MACHINE(const char* name) { feed_loader(load_SINGLE_MACHINE, name); }
void feed_load_PARALLEL_MACHINES(const char* name) { feed_loader(load_PARALLEL_MACHINES, name); }
void feed_load_RELATED_MACHINES(const char* name) { feed_loader(load_RELATED_MACHINES, name); }
void feed_load_UNRELATED_MACHINES(const char* name) { feed_loader(load_UNRELATED_MACHINES, name); }
void feed_load_FLOWSHOP(const char* name) { feed_loader(load_FLOWSHOP, name); }
void feed_load_OPENSHOP(const char* name) { feed_loader(load_OPENSHOP, name); }
void feed_load_JOBSHOP(const char* name) { feed_loader(load_JOBSHOP, name); }

// --- Plain-format readers ----------------------------------------------------

// What a plain reader hands over; freed whatever the reader filled.
struct PlainResult {
    int jobs = 0;
    int machines = 0;
    int** pt = nullptr;
    int** rm = nullptr;
    long* dd = nullptr;
    int* am = nullptr;

    ~PlainResult() {
        if (pt != nullptr) free_mat_int(pt, machines);
        if (rm != nullptr) free_mat_int(rm, jobs);
        std::free(dd);
        std::free(am);
    }
};

void feed_loadJSData(const char* name) {
    PlainResult out;
    loadJSData(name, &out.jobs, &out.machines, &out.pt, &out.rm, 1);
}

// Both with and without a description line.
template <class Reader>
void feed_with_and_without_description(Reader reader, const char* name) {
    for (int descr = 0; descr <= 1; ++descr) {
        PlainResult out;
        reader(name, descr, &out.jobs, &out.machines, &out.pt, &out.rm, &out.dd, 1);
    }
}

void feed_loadJS_DD_Data(const char* name) { feed_with_and_without_description(loadJS_DD_Data, name); }
void feed_loadJS_DD_Data_Zorvane(const char* name) {
    feed_with_and_without_description(loadJS_DD_Data_Zorvane, name);
}

void feed_loadJS_MM_Data(const char* name) {
    PlainResult out;
    loadJS_MM_Data(name, &out.jobs, &out.machines, &out.pt, &out.rm, &out.am, 1);
}

void feed_loadPTimes_mrows(const char* name) {
    PlainResult out;
    out.pt = loadPTimes_mrows(name, &out.jobs, &out.machines, 1);
}

void feed_loadPTimes_mrowsDD(const char* name) {
    PlainResult out;
    out.pt = loadPTimes_mrowsDD(name, &out.jobs, &out.machines, &out.dd, 1);
}

void feed_loadPTimes_nrows(const char* name) {
    PlainResult out;
    out.pt = loadPTimes_nrows(name, &out.jobs, &out.machines, 1);
}

void feed_loadPTimes_nrowsDD(const char* name) {
    PlainResult out;
    out.pt = loadPTimes_nrowsDD(name, &out.jobs, &out.machines, &out.dd, 1);
}

void feed_read_parfile_int(const char* name) {
    for (int row = -1; row <= 4; ++row) (void)read_parfile_int(name, row);
}

struct Feed {
    const char* reader;
    void (*feed)(const char* name);
};

constexpr Feed feeds[] = {
    {"tag_readers", feed_tag_readers},
    {"load_SINGLE_MACHINE", feed_load_SINGLE_MACHINE},
    {"load_PARALLEL_MACHINES", feed_load_PARALLEL_MACHINES},
    {"load_RELATED_MACHINES", feed_load_RELATED_MACHINES},
    {"load_UNRELATED_MACHINES", feed_load_UNRELATED_MACHINES},
    {"load_FLOWSHOP", feed_load_FLOWSHOP},
    {"load_OPENSHOP", feed_load_OPENSHOP},
    {"load_JOBSHOP", feed_load_JOBSHOP},
    {"loadJSData", feed_loadJSData},
    {"loadJS_DD_Data", feed_loadJS_DD_Data},
    {"loadJS_DD_Data_Zorvane", feed_loadJS_DD_Data_Zorvane},
    {"loadJS_MM_Data", feed_loadJS_MM_Data},
    {"loadPTimes_mrows", feed_loadPTimes_mrows},
    {"loadPTimes_mrowsDD", feed_loadPTimes_mrowsDD},
    {"loadPTimes_nrows", feed_loadPTimes_nrows},
    {"loadPTimes_nrowsDD", feed_loadPTimes_nrowsDD},
    {"read_parfile_int", feed_read_parfile_int},
};

void (*feed)(const char* name) = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The readers echo what they read; the fuzzer reports on standard error.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
    input_fd = memfd_create("fuzz-input", 0);
    if (input_fd < 0) std::abort();
    input_name = "/proc/self/fd/" + std::to_string(input_fd);
    for (const Feed& f : feeds) {
        if (std::string(f.reader) == FUZZ_READER) feed = f.feed;
    }
    if (feed == nullptr) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    store_input(data, size);
    try {
        feed(input_name.c_str());
    } catch (const ProcessEnd&) {
        // The reader rejected the input and would have ended the process.
    }
    return 0;
}
