// halvern-scenery: compiles a CSV of airports into a simulator directory with scenery areas,
// scenery files in the host's layout and the host's scenery list.

#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "halvern-scenery/airport_csv.h"
#include "halvern-scenery/world_builder.h"
#include "tool_main.h"

namespace {

constexpr const char* kUsage =
    "usage: halvern-scenery CSV SIMDIR [OPTIONS]\n"
    "\n"
    "Writes a simulator directory SIMDIR from the airports in CSV (columns ident, gps_code,\n"
    "name, latitude_deg, longitude_deg, elevation_ft, iso_country, type): one scenery area\n"
    "per country below 'Addon Scenery', each with .bgl files, listed in scenery.cfg.\n"
    "Names are written in Windows-1252; the code is the GPS code, else the ident.\n"
    "\n"
    "options:\n"
    "  --world-vis          list the areas in scenery\\world.vis instead of scenery.cfg\n"
    "  --airports N         replicate the airports with jittered positions up to N\n"
    "  --areas N            deal the airports into N areas instead of one per country\n"
    "  --files N            with --areas: N scenery files in all (default 25 per area)\n"
    "  --per-file N         per-country areas: at most N airports a file (default 40)\n"
    "  --absolute-every N   name every Nth area by its absolute path (default 3; 0: none)\n"
    "  --inactive-area      add an area that is switched off (its airports are hidden)\n"
    "  --default-area       add an area below scenedb\\world (skipped by the module)\n"
    "  --missing-area       list an area whose directory does not exist\n"
    "  --gap-area           add an area, listed last, whose number skips one: the walk\n"
    "                       stops at the gap, so its airports are never read\n"
    "  --damaged-area       add an area of scenery files damaged in each way the module\n"
    "                       meets (a bad header, an empty file, records and texts cut off,\n"
    "                       an unknown record kind), each after two good airports\n"
    "  --addon-airport CODE add an area, listed last, with a copy of the airport CODE named\n"
    "                       '... (add-on)': two files defining one code\n"
    "  --seed N             seed of the jitter (default 1)\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "halvern-scenery: %s\n", message.c_str());
    return 2;
}

// A whole decimal number from 0 to `largest`.
template <typename T>
bool ParseWhole(const std::string& text, T& value, T largest) {
    const char* end = text.data() + text.size();
    T number = 0;
    const auto result = std::from_chars(text.data(), end, number);
    if (result.ec != std::errc() || result.ptr != end || number < 0 || number > largest) {
        return false;
    }
    value = number;
    return true;
}

// The largest worlds the compiler writes: beyond them a run would only fill the disk.
constexpr std::int64_t kMostAirports = 10000000;
constexpr int kMostAreas = 100000;
constexpr int kMostFiles = 1000000;

int Compile(const std::vector<std::string>& args) {
    using namespace halvern::scenery;
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h" || args[0] == "help")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (args.size() < 2) {
        return Fail("expected CSV and SIMDIR (try --help)");
    }
    if (args[1].empty()) {
        return Fail("the simulator directory is empty");
    }
    WorldOptions options;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& option = args[i];
        const bool hasValue = i + 1 < args.size();
        bool ok = true;
        if (option == "--world-vis") {
            options.worldVis = true;
        } else if (option == "--inactive-area") {
            options.inactiveArea = true;
        } else if (option == "--default-area") {
            options.defaultArea = true;
        } else if (option == "--missing-area") {
            options.missingArea = true;
        } else if (option == "--damaged-area") {
            options.damagedArea = true;
        } else if (option == "--gap-area") {
            options.gapArea = true;
        } else if (option == "--addon-airport" && hasValue) {
            options.addonAirport = args[++i];
        } else if (option == "--airports" && hasValue) {
            ok = ParseWhole(args[++i], options.airportCount, kMostAirports);
        } else if (option == "--areas" && hasValue) {
            ok = ParseWhole(args[++i], options.areaCount, kMostAreas);
        } else if (option == "--files" && hasValue) {
            ok = ParseWhole(args[++i], options.fileCount, kMostFiles);
        } else if (option == "--per-file" && hasValue) {
            ok = ParseWhole(args[++i], options.airportsPerFile, kMostFiles) &&
                 options.airportsPerFile > 0;
        } else if (option == "--absolute-every" && hasValue) {
            ok = ParseWhole(args[++i], options.absoluteEvery, INT_MAX);
        } else if (option == "--seed" && hasValue) {
            ok = ParseWhole(args[++i], options.seed, UINT32_MAX);
        } else {
            return Fail("unknown or incomplete option '" + option + "' (try --help)");
        }
        if (!ok) {
            return Fail("bad value for " + option);
        }
    }
    std::vector<CsvAirport> airports;
    std::string error;
    if (!ReadAirportCsv(args[0], airports, error)) {
        return Fail(error);
    }
    WorldSummary summary;
    if (!BuildWorld(airports, args[1], options, summary, error)) {
        return Fail(error);
    }
    std::printf("areas %d\nfiles %d\nairports %lld\n", summary.areas, summary.files,
                static_cast<long long>(summary.airports));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return halvern::tool::RunReportingFailures("halvern-scenery", [&] {
        return Compile(std::vector<std::string>(argv + 1, argv + argc));
    });
}
