// The diagnostics report (`halvern report`) on the clutter world, a simulator directory that
// holds 20,000 folders of 200,000 files that are not scenery beside 5,210 airports in 50 areas,
// against its floor: listing every folder of the simulator directory once, each entry once.
// The figure is whatever the report's BuildSceneryReport does: the fingerprint pass, the cache
// check, the extraction pass, the analysis, and any search of the directory beyond the areas,
// which may cost up to the floor's listing.

#include <benchmark/benchmark.h>
#include <dirent.h>
#include <sys/stat.h>

#include <memory>
#include <optional>
#include <string>

#include "bench_world.h"
#include "halvern/scenery_report.h"

namespace halvern::bench {
namespace {

// Lists the folder `path` and every folder below it, each entry once, without following links:
// the folders listed and the other entries seen are counted.
void ListTree(std::string& path, std::size_t& folders, std::size_t& others) {
    DIR* const listing = opendir(path.c_str());
    if (listing == nullptr) {
        return;
    }
    ++folders;
    const std::size_t length = path.size();
    while (const dirent* entry = readdir(listing)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
            continue;
        }
        path.resize(length);
        path += '/';
        path += name;
        bool folder = entry->d_type == DT_DIR;
        // Only where the file system does not tell the entry's kind in the listing.
        if (entry->d_type == DT_UNKNOWN) {
            struct stat status {};
            folder = lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
        }
        if (folder) {
            ListTree(path, folders, others);
        } else {
            ++others;
        }
    }
    path.resize(length);
    closedir(listing);
}

// The clutter world, its directory listed once untimed, so that the figure and its floor both
// meet the system's cache of directory entries warm, whichever runs first.
const BenchWorld* ClutterWorld(benchmark::State& state) {
    const BenchWorld* world = World(WorldKind::kClutter);
    if (world == nullptr) {
        state.SkipWithError("no world: give --clutter-world=DIR");
        return nullptr;
    }
    std::string path = world->nativeDirectory;
    std::size_t folders = 0;
    std::size_t others = 0;
    ListTree(path, folders, others);
    return world;
}

void BM_SceneryReport(benchmark::State& state) {
    const BenchWorld* world = ClutterWorld(state);
    if (world == nullptr) {
        return;
    }
    const tool::SimulatorDir simulatorDir{world->nativeDirectory, world->simulatorDir,
                                          std::nullopt};
    std::int32_t airports = 0;
    std::size_t files = 0;
    for (auto _ : state) {
        auto report = std::make_unique<tool::SceneryReport>();
        tool::BuildSceneryReport(simulatorDir, *report);
        // The report's release is not timed.
        state.PauseTiming();
        airports = report->database.RecordCount();
        files = report->files.size();
        report.reset();
        state.ResumeTiming();
    }
    state.counters["airports"] = airports;
    state.counters["files"] = static_cast<double>(files);
}

void BM_SceneryReportFloor(benchmark::State& state) {
    const BenchWorld* world = ClutterWorld(state);
    if (world == nullptr) {
        return;
    }
    std::size_t folders = 0;
    std::size_t others = 0;
    for (auto _ : state) {
        std::string path = world->nativeDirectory;
        folders = 0;
        others = 0;
        ListTree(path, folders, others);
        benchmark::DoNotOptimize(others);
    }
    state.counters["folders"] = static_cast<double>(folders);
    state.counters["files"] = static_cast<double>(others);
}

BENCHMARK(BM_SceneryReport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SceneryReportFloor)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace halvern::bench
