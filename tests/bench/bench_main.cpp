// The performance suite of Halvern: start-up, nearby query, overlay refresh, database memory and
// the diagnostics report, each against its floor measured in the same run, summed up in one table
// at the end.
//
//   halvern_bench --world=SCALE_DIR --demo-world=DEMO_DIR --many-world=MANY_DIR
//                 --many-other-case-world=MANY_OTHER_CASE_DIR --clutter-world=CLUTTER_DIR
//                 [options]
//
// The five directories are simulator directories compiled by halvern-scenery (scripts/perf.sh
// makes them; the fourth is the many-files world compiled with --other-case, the last a world
// compiled with --clutter). Without them the start-up, memory and report benchmarks report an
// error and the query runs on a world generated in memory.
// The console report goes to standard error, the table to standard output.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <iostream>
#include <string_view>
#include <vector>

#include "bench_world.h"
#include "floor_table.h"

int main(int argc, char** argv) {
    using namespace halvern::bench;
    // The option that names each world's directory.
    constexpr struct {
        std::string_view option;
        WorldKind kind;
    } kWorldOptions[] = {{"--world=", WorldKind::kScale},
                         {"--demo-world=", WorldKind::kDemo},
                         {"--many-world=", WorldKind::kManyFiles},
                         {"--many-other-case-world=", WorldKind::kManyFilesOtherCase},
                         {"--clutter-world=", WorldKind::kClutter}};
    // Our own options are taken out before the library reads the rest.
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        bool ours = false;
        for (const auto& world : kWorldOptions) {
            if (argument.substr(0, world.option.size()) == world.option) {
                SetWorldDirectory(world.kind, std::string(argument.substr(world.option.size())));
                ours = true;
            }
        }
        if (!ours) {
            rest.push_back(argv[i]);
        }
    }
    // Freed memory stays in the heap for the next repetition, for the figures and their floors
    // alike. On a virtual machine the first touch of a fresh page can cost microseconds; without
    // this, whether a repetition pays for it would depend on the allocator's thresholds (which
    // move as blocks are freed), not on the code measured.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    if (benchmark::ReportUnrecognizedArguments(restCount, rest.data())) {
        return 2;
    }
    FloorTableReporter reporter(std::cout);
    reporter.SetOutputStream(&std::cerr);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
