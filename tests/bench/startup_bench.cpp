// Start-up: the database step the host waits for, on a world compiled by the scenery compiler,
// each against its floor, the least work that any database step must do on the same world:
//   warm start (valid cache: fingerprint pass and cache read) against listing and stat-ing every
//   scenery file once plus reading the cache file into fresh memory once;
//   cold start (fingerprint pass, extraction pass, cache write) against reading every scenery
//   file once.
// Argument 0 is the scale world, 1 the demo world, 2 the world of many small files. The starts
// also run on 3, the world of many small files with every folder of its areas named in another
// letter case than on the disk: its floor is the same start on world 2, spelled exactly.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "airports/database_step.h"
#include "bench_world.h"
#include "platform/directory_listing.h"
#include "platform/file_access.h"

namespace halvern::bench {
namespace {

const BenchWorld* WorldFor(benchmark::State& state) {
    const BenchWorld* world = World(static_cast<WorldKind>(state.range(0)));
    if (world == nullptr) {
        state.SkipWithError(
            "no world: give --world=DIR, --demo-world=DIR, --many-world=DIR and "
            "--many-other-case-world=DIR");
    }
    return world;
}

void SetWorldCounters(benchmark::State& state, const BenchWorld& world, std::int32_t airports) {
    state.counters["airports"] = airports;
    state.counters["files"] = static_cast<double>(world.sceneryFiles.size());
}

// One database step on a fresh finder; the finder's release is not timed.
std::int32_t TimedStep(benchmark::State& state, const BenchWorld& world, DatabaseSource expected) {
    auto finder = std::make_unique<AirportFinder>();
    ScanProgress progress;
    const DatabaseSource source =
        RunDatabaseStep(*finder, world.simulatorDir.c_str(), progress, nullptr);
    state.PauseTiming();
    if (source != expected) {
        state.SkipWithError(expected == DatabaseSource::kCache ? "the cache was not used"
                                                               : "the cache was used");
    }
    const std::int32_t airports = finder->RecordCount();
    finder.reset();
    state.ResumeTiming();
    return airports;
}

void BM_WarmStart(benchmark::State& state) {
    const BenchWorld* world = WorldFor(state);
    if (world == nullptr) {
        return;
    }
    std::int32_t airports = 0;
    for (auto _ : state) {
        airports = TimedStep(state, *world, DatabaseSource::kCache);
    }
    SetWorldCounters(state, *world, airports);
}

void BM_WarmStartFloor(benchmark::State& state) {
    const BenchWorld* world = WorldFor(state);
    if (world == nullptr) {
        return;
    }
    std::size_t listed = 0;
    for (auto _ : state) {
        for (const std::string& area : world->areaDirectories) {
            platform::DirectoryListing listing(area.c_str());
            platform::FileEntry entry{};
            while (listing.Next(entry)) {
                ++listed;
            }
        }
        const platform::HostStream file = platform::OpenHostFile(world->cachePath.c_str(), "rb");
        if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) {
            state.SkipWithError("the cache file cannot be read");
            break;
        }
        const long length = std::ftell(file.get());
        std::rewind(file.get());
        // Fresh memory each time, as a reader of the cache must obtain it.
        const std::unique_ptr<unsigned char[]> bytes(
            new unsigned char[static_cast<std::size_t>(length)]);
        const std::size_t read =
            std::fread(bytes.get(), 1, static_cast<std::size_t>(length), file.get());
        benchmark::DoNotOptimize(bytes.get());
        benchmark::DoNotOptimize(read);
    }
    benchmark::DoNotOptimize(listed);
    SetWorldCounters(state, *world, 0);
}

void BM_ColdStart(benchmark::State& state) {
    const BenchWorld* world = WorldFor(state);
    if (world == nullptr) {
        return;
    }
    std::int32_t airports = 0;
    for (auto _ : state) {
        state.PauseTiming();
        RemoveCacheFile(*world);
        state.ResumeTiming();
        airports = TimedStep(state, *world, DatabaseSource::kScenery);
    }
    SetWorldCounters(state, *world, airports);
}

void BM_ColdStartFloor(benchmark::State& state) {
    const BenchWorld* world = WorldFor(state);
    if (world == nullptr) {
        return;
    }
    std::vector<unsigned char> buffer(1 << 16);
    std::size_t total = 0;
    for (auto _ : state) {
        for (const std::string& path : world->sceneryFiles) {
            const platform::HostStream file = platform::OpenHostFile(path.c_str(), "rb");
            while (file) {
                const std::size_t read = std::fread(buffer.data(), 1, buffer.size(), file.get());
                total += read;
                if (read < buffer.size()) {
                    break;
                }
            }
        }
        benchmark::DoNotOptimize(buffer.data());
    }
    benchmark::DoNotOptimize(total);
    SetWorldCounters(state, *world, 0);
}

BENCHMARK(BM_WarmStart)->ArgName("world")->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WarmStartFloor)->ArgName("world")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColdStart)->ArgName("world")->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColdStartFloor)->ArgName("world")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace halvern::bench
