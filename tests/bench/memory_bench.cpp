// Memory of the airport database: the most heap bytes held at any moment of the database step
// (its passes' buffers and paths included), per airport, once for a warm start from the cache
// file and once for a cold start that extracts and writes the cache; and the bytes the database
// keeps afterwards. Against the budget of 48 bytes plus the name's length per airport, and
// against the floor of the bytes each airport takes in the cache file (record image, name
// length and name). Runs once per world: it counts bytes, it does not time.

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "airports/cache_file.h"
#include "airports/database_step.h"
#include "alloc/heap_counter.h"
#include "bench_world.h"

namespace halvern::bench {
namespace {

using testing::CurrentHeap;

void MeasureStep(benchmark::State& state, bool cold) {
    const BenchWorld* world = World(static_cast<WorldKind>(state.range(0)));
    if (world == nullptr) {
        state.SkipWithError("no world: give --world=DIR, --demo-world=DIR and --many-world=DIR");
        return;
    }
    for (auto _ : state) {
        if (cold) {
            RemoveCacheFile(*world);
        }
        const testing::HeapCounts before = CurrentHeap();
        testing::ResetHeapPeak();
        auto finder = std::make_unique<AirportFinder>();
        ScanProgress progress;
        const DatabaseSource source =
            RunDatabaseStep(*finder, world->simulatorDir.c_str(), progress, nullptr);
        const testing::HeapCounts after = CurrentHeap();
        if (source != (cold ? DatabaseSource::kScenery : DatabaseSource::kCache)) {
            state.SkipWithError("the database step took the other way");
            break;
        }
        const std::int32_t airports = finder->RecordCount();
        double nameBytes = 0;
        for (std::int32_t i = 0; i < airports; ++i) {
            nameBytes += static_cast<double>(std::strlen(finder->Record(i).name));
        }
        const double count = airports > 0 ? airports : 1;
        state.counters["airports"] = airports;
        state.counters["name_length"] = nameBytes / count;
        state.counters["peak_per_airport"] =
            static_cast<double>(after.peakBytes - before.liveBytes) / count;
        state.counters["kept_per_airport"] =
            static_cast<double>(after.liveBytes - before.liveBytes) / count;
        // Image, name length and name with its terminator.
        state.counters["file_per_airport"] =
            static_cast<double>(kRecordImageSize + 4 + 1) + nameBytes / count;
    }
}

void BM_DatabaseMemoryWarm(benchmark::State& state) {
    MeasureStep(state, false);
}

void BM_DatabaseMemoryCold(benchmark::State& state) {
    MeasureStep(state, true);
}

BENCHMARK(BM_DatabaseMemoryWarm)->ArgName("world")->DenseRange(0, 2)->Iterations(1)->Repetitions(1);
BENCHMARK(BM_DatabaseMemoryCold)->ArgName("world")->DenseRange(0, 2)->Iterations(1)->Repetitions(1);

}  // namespace
}  // namespace halvern::bench
