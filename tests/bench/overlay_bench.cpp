// Speed of the overlay's two paths: the nearby query, which looks at every airport of the
// database (run on toggling, on the options dialog and after 1860 m of flight), and the refresh
// at every host event. Prints the time per query and per record, per refresh and per line, and
// the heap allocations per refresh; each against a floor measured in the same run:
//   the query against one pass that reads every record's position;
//   the refresh against handing the same number of finished lines to the text service.
//
// The query runs on the scale world's database (--world=DIR) when one is given; otherwise on
// data/airports.csv copied about ten times at deterministic pseudo-random offsets of up to a
// third of a degree, 50,000 records in all.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "airports/airport_finder.h"
#include "airports/database_step.h"
#include "alloc/heap_counter.h"
#include "bench_world.h"
#include "geo/position_conversion.h"
#include "host/host_services.h"
#include "host/text_record.h"
#include "overlay/overlay_refresh.h"

namespace halvern::bench {
namespace {

using testing::CurrentHeap;

constexpr int kGeneratedWorldSize = 50000;

std::string CodeFor(int index) {
    std::string code(4, 'A');
    for (int i = 3; i >= 0; --i) {
        code[static_cast<std::size_t>(i)] = static_cast<char>('A' + index % 26);
        index /= 26;
    }
    return code;
}

// The query's database: the scale world's, or the generated one.
AirportFinder& QueryDatabase() {
    static AirportFinder* finder = [] {
        auto* built = new AirportFinder;
        if (const BenchWorld* world = World(WorldKind::kScale)) {
            ScanProgress progress;
            RunDatabaseStep(*built, world->simulatorDir.c_str(), progress, nullptr);
            return built;
        }
        const std::vector<Place>& places = CsvPlaces();
        std::mt19937 random(20240611);
        std::uniform_real_distribution<double> jitter(-1.0 / 3.0, 1.0 / 3.0);
        for (int i = 0; i < kGeneratedWorldSize && !places.empty(); ++i) {
            const Place& base = places[static_cast<std::size_t>(i) % places.size()];
            const double latitude =
                std::fmax(-89.0, std::fmin(89.0, base.latitude + jitter(random)));
            const double longitude = base.longitude + jitter(random);
            built->AddAirport(("Airport " + std::to_string(i)).c_str(), latitude, longitude, 100.0,
                              CodeFor(i).c_str());
        }
        return built;
    }();
    return *finder;
}

void SetPerRecord(benchmark::State& state, std::int32_t records) {
    state.counters["records"] = records;
    state.counters["per_record"] = benchmark::Counter(
        records, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_NearbyQuery(benchmark::State& state) {
    // The query only reads the records; the nearby list is the finder's own scratch.
    AirportFinder& finder = QueryDatabase();
    const std::vector<WorldPosition>& queries = QueryPositions();
    if (finder.RecordCount() == 0 || queries.empty()) {
        state.SkipWithError("no database: data/airports.csv or the world could not be read");
        return;
    }
    const double radius = QueryRadiusMetres(static_cast<std::int32_t>(state.range(0)));
    // What the queries list, once at every position: the mean length of the list, and a digest
    // of every index in order, by which builds can be compared for the same results.
    double listed = 0;
    std::uint32_t digest = 2166136261u;
    for (const WorldPosition& position : queries) {
        finder.FindNearbyAirports(position, radius);
        listed += finder.NearbyCount();
        for (std::int32_t i = 0; i < finder.NearbyCount(); ++i) {
            digest = (digest ^ static_cast<std::uint32_t>(finder.NearbyIndices()[i])) * 16777619u;
        }
    }
    std::size_t next = 0;
    for (auto _ : state) {
        finder.FindNearbyAirports(queries[next], radius);
        next = (next + 1) % queries.size();
    }
    SetPerRecord(state, finder.RecordCount());
    state.counters["listed"] = listed / static_cast<double>(queries.size());
    state.counters["digest"] = digest;
}

// The least any query over the whole database does: read every record's position once.
void BM_NearbyQueryFloor(benchmark::State& state) {
    const AirportFinder& finder = QueryDatabase();
    const std::int32_t count = finder.RecordCount();
    for (auto _ : state) {
        float sum = 0;
        for (std::int32_t i = 0; i < count; ++i) {
            sum += finder.Record(i).latitude + finder.Record(i).longitude;
        }
        benchmark::DoNotOptimize(sum);
    }
    SetPerRecord(state, count);
}

BENCHMARK(BM_NearbyQuery)->ArgName("NM")->Arg(30)->Arg(250)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NearbyQueryFloor)->Unit(benchmark::kMillisecond);

constexpr int kLines = 100;
std::size_t charactersShown = 0;

void HALVERN_HOSTCALL ShowLine(const unsigned char* record, const TextCell* cell) {
    charactersShown += std::strlen(*cell) + record[16];
}

// A host with a text service and an aircraft at 47N 8E, among 100 airfields within about 25 NM.
struct RefreshScene {
    AirportFinder finder;
    HostEntry textTable[8] = {};
    unsigned char variables[0x800] = {};
    HostServices host;
    OverlayState overlay;

    explicit RefreshScene(std::int32_t options) {
        for (int i = 0; i < kLines; ++i) {
            const double angle = i * 2.399963;
            const double reach = 0.4 * std::sqrt((i + 0.5) / kLines);
            finder.AddAirport(("Regional Airfield " + std::to_string(i)).c_str(),
                              47.0 + reach * std::cos(angle), 8.0 + reach * std::sin(angle) * 1.47,
                              400.0 + i, CodeFor(i).c_str());
        }
        textTable[kTextShowEntry] = reinterpret_cast<HostEntry>(&ShowLine);
        const WorldPosition aircraft = PositionFromDegrees(47.0, 8.0);
        std::memcpy(variables + kAircraftPositionOffset, &aircraft, sizeof aircraft);
        variables[kMagneticVariationOffset] = 0x34;
        host.textService = textTable;
        host.simVariables = variables;
        overlay.overlayOn = kOverlayOn;
        overlay.displayOptions = options;
        UpdateNearbyList(finder, host, overlay);
    }
};

void SetPerLine(benchmark::State& state) {
    state.counters["per_line"] = benchmark::Counter(
        kLines, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_RefreshOverlay(benchmark::State& state) {
    RefreshScene scene(static_cast<std::int32_t>(state.range(0)));
    if (scene.finder.NearbyCount() != kLines) {
        state.SkipWithError("the airfields are not all in range");
        return;
    }
    const std::uint64_t allocationsBefore = CurrentHeap().Allocations();
    for (auto _ : state) {
        RefreshOverlay(scene.finder, scene.host, scene.overlay);
    }
    const std::uint64_t allocations = CurrentHeap().Allocations() - allocationsBefore;
    benchmark::DoNotOptimize(charactersShown);
    SetPerLine(state);
    state.counters["allocations"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}

// The host's side alone: the same number of finished lines, each with its text record.
void BM_RefreshOverlayFloor(benchmark::State& state) {
    RefreshScene scene(0);
    std::vector<TextRecord> records(kLines, kTextRecordTemplate);
    std::vector<std::string> lines;
    for (int i = 0; i < kLines; ++i) {
        records[static_cast<std::size_t>(i)][16] = static_cast<unsigned char>(i);
        lines.push_back("Regional Airfield " + std::to_string(i) + " 12 NM @ 045");
    }
    for (auto _ : state) {
        for (int i = 0; i < kLines; ++i) {
            const TextCell cell = lines[static_cast<std::size_t>(i)].c_str();
            ShowText(scene.host, records[static_cast<std::size_t>(i)].data(), &cell);
        }
    }
    benchmark::DoNotOptimize(charactersShown);
    SetPerLine(state);
}

BENCHMARK(BM_RefreshOverlay)->ArgName("options")->Arg(13)->Arg(63)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RefreshOverlayFloor)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace halvern::bench
