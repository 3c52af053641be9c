// Speed of the overlay's two paths: the nearby query, which measures every airport of the
// database (run on toggling, on the options dialog and after 1860 m of flight), and the refresh
// at every host event. Prints the time per record and per line.
//
// The world is data/airports.csv, each airport copied about ten times at deterministic
// pseudo-random offsets of up to a third of a degree, 50,000 records in all.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "airports/airport_finder.h"
#include "geo/position_conversion.h"
#include "host/host_services.h"
#include "overlay/overlay_refresh.h"

namespace halvern {
namespace {

constexpr int kWorldSize = 50000;

struct Place {
    double latitude;
    double longitude;
};

// The fields of one CSV line; quoted fields may hold commas and doubled quotes.
std::vector<std::string> SplitCsv(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

std::vector<Place> ReadPlaces() {
    std::vector<Place> places;
    std::ifstream file(HALVERN_AIRPORTS_CSV);
    std::string line;
    std::getline(file, line);  // header
    while (std::getline(file, line)) {
        const std::vector<std::string> fields = SplitCsv(line);
        if (fields.size() >= 5) {
            places.push_back({std::stod(fields[3]), std::stod(fields[4])});
        }
    }
    return places;
}

std::string CodeFor(int index) {
    std::string code(4, 'A');
    for (int i = 3; i >= 0; --i) {
        code[static_cast<std::size_t>(i)] = static_cast<char>('A' + index % 26);
        index /= 26;
    }
    return code;
}

struct World {
    AirportFinder finder;
    std::vector<WorldPosition> queries;  // aircraft positions at real airports around the globe
};

const World& TheWorld() {
    static World* world = [] {
        auto* built = new World;
        const std::vector<Place> places = ReadPlaces();
        if (places.empty()) {
            return built;
        }
        std::mt19937 random(20240611);
        std::uniform_real_distribution<double> jitter(-1.0 / 3.0, 1.0 / 3.0);
        for (int i = 0; i < kWorldSize; ++i) {
            const Place& base = places[static_cast<std::size_t>(i) % places.size()];
            const double latitude =
                std::fmax(-89.0, std::fmin(89.0, base.latitude + jitter(random)));
            const double longitude = base.longitude + jitter(random);
            built->finder.AddAirport(("Airport " + std::to_string(i)).c_str(), latitude, longitude,
                                     100.0, CodeFor(i).c_str());
        }
        for (std::size_t i = 0; i < places.size(); i += places.size() / 64) {
            built->queries.push_back(PositionFromDegrees(places[i].latitude, places[i].longitude));
        }
        return built;
    }();
    return *world;
}

void BM_NearbyQuery(benchmark::State& state) {
    // The query only reads the records; the nearby list is the finder's own scratch.
    auto& finder = const_cast<AirportFinder&>(TheWorld().finder);
    const std::vector<WorldPosition>& queries = TheWorld().queries;
    if (finder.RecordCount() != kWorldSize || queries.empty()) {
        state.SkipWithError("data/airports.csv could not be read");
        return;
    }
    const double radius = QueryRadiusMetres(static_cast<std::int32_t>(state.range(0)));
    std::size_t next = 0;
    double listed = 0;
    for (auto _ : state) {
        finder.FindNearbyAirports(queries[next], radius);
        listed += finder.NearbyCount();
        next = (next + 1) % queries.size();
    }
    state.counters["per_record"] = benchmark::Counter(
        kWorldSize, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["listed"] = benchmark::Counter(listed, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_NearbyQuery)->ArgName("NM")->Arg(30)->Arg(250)->Unit(benchmark::kMillisecond);

std::size_t charactersShown = 0;

void HALVERN_HOSTCALL ShowLine(const unsigned char* record, const TextCell* cell) {
    charactersShown += std::strlen(*cell) + record[16];
}

void BM_RefreshOverlay(benchmark::State& state) {
    constexpr int kLines = 100;
    AirportFinder finder;
    for (int i = 0; i < kLines; ++i) {
        // Spread over a circle of about 25 NM around 47N 8E.
        const double angle = i * 2.399963;
        const double reach = 0.4 * std::sqrt((i + 0.5) / kLines);
        finder.AddAirport(("Regional Airfield " + std::to_string(i)).c_str(),
                          47.0 + reach * std::cos(angle), 8.0 + reach * std::sin(angle) * 1.47,
                          400.0 + i, CodeFor(i).c_str());
    }
    HostEntry textTable[8] = {};
    textTable[kTextShowEntry] = reinterpret_cast<HostEntry>(&ShowLine);
    unsigned char variables[0x800] = {};
    const WorldPosition aircraft = PositionFromDegrees(47.0, 8.0);
    std::memcpy(variables + kAircraftPositionOffset, &aircraft, sizeof aircraft);
    variables[kMagneticVariationOffset] = 0x34;
    HostServices host;
    host.textService = textTable;
    host.simVariables = variables;

    OverlayState overlay;
    overlay.overlayOn = -1;
    overlay.displayOptions = static_cast<std::int32_t>(state.range(0));
    UpdateNearbyList(finder, host, overlay);
    if (finder.NearbyCount() != kLines) {
        state.SkipWithError("the airfields are not all in range");
        return;
    }
    for (auto _ : state) {
        RefreshOverlay(finder, host, overlay);
    }
    benchmark::DoNotOptimize(charactersShown);
    state.counters["per_line"] = benchmark::Counter(
        kLines, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RefreshOverlay)->ArgName("options")->Arg(13)->Arg(63)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace halvern

BENCHMARK_MAIN();
