// Input benchmarks: the loaders on a 500 × 20 flow-shop instance file, the
// tag splitter alone, and reading the same file's bytes, and reading and
// parsing them, as the yardsticks of what a load can cost; sortLVector on 50
// keys.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "perf/bench_instances.h"
#include "perf/registration.h"
#include "schedule/schedule.h"

namespace {

using namespace schedule;

template <class T>
void append_list(std::string& text, const T* values, int len) {
    for (int j = 0; j < len; ++j) {
        if (j > 0) text += ',';
        text += std::to_string(values[j]);
    }
}

// The flow-shop instance as a tagged file: one tag per line, one PT row per
// line.
std::string flow_shop_file(const FLOWSHOP& in) {
    std::string text = "[JOBS=" + std::to_string(in.jobs) + "]\n[MACHINES=" + std::to_string(in.machines) + "]\n";
    text += "[DD=";
    append_list(text, in.dd, in.jobs);
    text += "]\n[R=";
    append_list(text, in.r, in.jobs);
    text += "]\n[W=";
    for (int j = 0; j < in.jobs; ++j) {
        char weight[32];
        std::snprintf(weight, sizeof weight, "%s%g", j > 0 ? "," : "", in.w[j]);
        text += weight;
    }
    text += "]\n[PT=";
    for (int i = 0; i < in.machines; ++i) {
        if (i > 0) text += ";\n";
        append_list(text, in.pt[i], in.jobs);
    }
    text += "]\n";
    return text;
}

// Sends standard output to /dev/null for as long as it lives: the loaders
// echo every attribute they accept.
class Silenced {
public:
    Silenced() : saved_(dup(STDOUT_FILENO)) {
        std::fflush(stdout);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        close(null);
    }
    ~Silenced() {
        std::fflush(stdout);
        dup2(saved_, STDOUT_FILENO);
        close(saved_);
    }
    Silenced(const Silenced&) = delete;
    Silenced& operator=(const Silenced&) = delete;

private:
    int saved_;
};

void count_bytes(benchmark::State& state, long bytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * bytes);
    state.counters["per_byte"] = benchmark::Counter(
        static_cast<double>(bytes), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// A loader of a record whose pt is a matrix of m rows.
template <class Record>
void loader(const char* name, Record (*load)(const char*), const std::string& file, long bytes) {
    benchmark::RegisterBenchmark(name, [load, file, bytes](benchmark::State& state) {
        const Silenced quiet;
        for (auto _ : state) {
            Record in = load(file.c_str());
            benchmark::DoNotOptimize(in);
            state.PauseTiming();
            free_mat_int(in.pt, in.machines);
            std::free(in.dd);
            std::free(in.w);
            std::free(in.r);
            state.ResumeTiming();
        }
        count_bytes(state, bytes);
    });
}

}  // namespace

std::filesystem::path register_input_benchmarks(const std::filesystem::path& scratch) {
    std::string pattern = (scratch / "schedule-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("schedule_bench: cannot make a scratch directory");
        std::exit(1);
    }
    const std::filesystem::path directory = pattern;
    const std::string file = (directory / "flowshop_500x20.txt").string();
    const std::string text = flow_shop_file(bench::flow_shop(7, 500, 20));
    std::ofstream(file, std::ios::binary) << text;
    const long bytes = static_cast<long>(text.size());
    {
        // The file must load whole; a loader that rejects it ends the process.
        const FLOWSHOP expected = bench::flow_shop(7, 500, 20);
        FLOWSHOP loaded;
        {
            const Silenced quiet;
            loaded = load_FLOWSHOP(file.c_str());
        }
        bool same = loaded.jobs == expected.jobs && loaded.machines == expected.machines;
        for (int i = 0; same && i < expected.machines; ++i)
            same = std::memcmp(loaded.pt[i], expected.pt[i], sizeof(int) * expected.jobs) == 0;
        if (!same) {
            std::fprintf(stderr, "schedule_bench: %s does not load as written\n", file.c_str());
            std::exit(1);
        }
    }

    // What reading the bytes costs by itself: character by character, as the
    // tag splitter reads them, and in one block.
    benchmark::RegisterBenchmark("read_bytes/fgetc/500x20", [file, bytes](benchmark::State& state) {
        for (auto _ : state) {
            std::FILE* f = std::fopen(file.c_str(), "rt");
            long sum = 0;
            for (int c; (c = std::fgetc(f)) != EOF;) sum += c;
            std::fclose(f);
            benchmark::DoNotOptimize(sum);
        }
        count_bytes(state, bytes);
    });
    benchmark::RegisterBenchmark("read_bytes/fread/500x20", [file, bytes](benchmark::State& state) {
        std::string block(static_cast<std::size_t>(bytes) + 1, '\0');
        for (auto _ : state) {
            std::FILE* f = std::fopen(file.c_str(), "rt");
            benchmark::DoNotOptimize(std::fread(block.data(), 1, block.size(), f));
            std::fclose(f);
        }
        count_bytes(state, bytes);
    });

    // The floor of a load: the plainest loop that reads the same bytes and
    // converts every number in them. One fread of the whole file, then a walk
    // over it that hands each number to strtol, or to strtod when strtol
    // stops at a decimal point (the weights), and steps over everything else.
    // No tag structure, no checks, no echo: what any reader of the file pays.
    benchmark::RegisterBenchmark("read_and_parse/500x20", [file, bytes](benchmark::State& state) {
        std::string block(static_cast<std::size_t>(bytes) + 1, '\0');
        for (auto _ : state) {
            std::FILE* f = std::fopen(file.c_str(), "rt");
            const std::size_t got = std::fread(block.data(), 1, block.size() - 1, f);
            std::fclose(f);
            block[got] = '\0';
            double sum = 0;
            for (const char* c = block.c_str(); *c != '\0';) {
                if (*c < '0' || *c > '9') {
                    ++c;
                    continue;
                }
                char* end;
                const long whole = std::strtol(c, &end, 10);
                if (*end == '.') {
                    sum += std::strtod(c, &end);
                } else {
                    sum += static_cast<double>(whole);
                }
                c = end;
            }
            benchmark::DoNotOptimize(sum);
        }
        count_bytes(state, bytes);
    });

    benchmark::RegisterBenchmark("load_tag_content/500x20", [file, bytes](benchmark::State& state) {
        auto* tags = new char[tag_entry_slots][tag_text_size];
        auto* contents = new char[tag_entry_slots][tag_content_size];
        for (auto _ : state) {
            benchmark::DoNotOptimize(load_tag_content(file.c_str(), tags, contents));
            benchmark::ClobberMemory();
        }
        delete[] tags;
        delete[] contents;
        count_bytes(state, bytes);
    });

    loader("load_FLOWSHOP/500x20", load_FLOWSHOP, file, bytes);
    loader("load_UNRELATED_MACHINES/500x20", load_UNRELATED_MACHINES, file, bytes);
    loader("load_OPENSHOP/500x20", load_OPENSHOP, file, bytes);

    // The keys are restored before every sort; the copy of 50 longs is part
    // of the time.
    benchmark::RegisterBenchmark("sortLVector/50", [](benchmark::State& state) {
        constexpr int keys = 50;
        bench::Random random(8);
        long original[keys];
        long work[keys];
        int index[keys];
        for (long& key : original) key = random.between(0, 999);
        for (auto _ : state) {
            std::memcpy(work, original, sizeof work);
            sortLVector(work, index, keys, 'A');
            benchmark::DoNotOptimize(work);
            benchmark::DoNotOptimize(index);
            benchmark::ClobberMemory();
        }
    });
    return directory;
}
