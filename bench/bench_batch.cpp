// One simulated century without a window, as `orrery --simulate 100y --save
// FILE` runs it: the same option parser and RunBatch, file written at the
// end. Not a test: run it by hand from a release build,
//   cmake -S . -B build-rel -DCMAKE_BUILD_TYPE=Release && cmake --build build-rel --target bench_batch
//   build-rel/bench/bench_batch [runs]
// The goal is a century in under a second.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>
#include <vector>

#include "core/app/Batch.h"
#include "core/app/CommandLine.h"
#include "core/sim/UniverseModel.h"

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 7;
    if (runs < 1 || runs > 1000) {
        std::fprintf(stderr, "usage: bench_batch [runs, 1..1000]\n");
        return 2;
    }
    char path[] = "/tmp/orrery-bench-batch.XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return 1;
    close(fd);

    const char* const args[] = {"orrery", "--simulate", "100y", "--save", path};
    CommandLine options;
    char message[512];
    if (!ParseCommandLine(5, args, &options, message, sizeof message)) {
        std::fprintf(stderr, "%s\n", message);
        return 1;
    }
    UniverseModel start;
    uint64_t ticks = 0;
    if (!SpanToTicks(options.span, start, &ticks, message, sizeof message)) return 1;

    // Processor time beside wall time: on a shared machine the wall time
    // also counts the other programs' turns.
    std::vector<double> seconds, cpuSeconds;
    for (int run = 0; run < runs; ++run) {
        const std::clock_t cpuBegin = std::clock();
        const auto begin = std::chrono::steady_clock::now();
        const BatchResult result = RunBatch(options, message, sizeof message);
        const auto end = std::chrono::steady_clock::now();
        cpuSeconds.push_back(static_cast<double>(std::clock() - cpuBegin) / CLOCKS_PER_SEC);
        if (result != BatchDone) {
            std::fprintf(stderr, "%s\n", message);
            return 1;
        }
        seconds.push_back(std::chrono::duration<double>(end - begin).count());
    }
    std::remove(path);
    std::sort(seconds.begin(), seconds.end());
    std::sort(cpuSeconds.begin(), cpuSeconds.end());
    const double median = seconds[seconds.size() / 2];
    std::printf("--simulate 100y: %llu steps (deltat 0.005), file written at the end\n",
                static_cast<unsigned long long>(ticks));
    std::printf("wall time, median of %d runs: %.3f s (min %.3f, max %.3f)\n", runs, median, seconds.front(),
                seconds.back());
    std::printf("processor time, median: %.3f s (min %.3f)\n", cpuSeconds[cpuSeconds.size() / 2], cpuSeconds.front());
    std::printf("steps per second (median run): %.3g; %.1f ns per step\n", ticks / median, median * 1e9 / ticks);
    return 0;
}
