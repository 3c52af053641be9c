// halvern-scenery: compiles a CSV of airports into a simulator directory with scenery areas,
// scenery files in the host's layout and the host's scenery list.

#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "command_line.h"
#include "halvern-scenery/airport_csv.h"
#include "halvern-scenery/world_builder.h"
#include "tool_main.h"

namespace halvern::scenery {
namespace {

using tool::AddNumber;
using tool::Whole;

constexpr const char* kDescription =
    "Writes a simulator directory SIMDIR from the airports in CSV (columns ident, gps_code,\n"
    "name, latitude_deg, longitude_deg, elevation_ft, iso_country, type): one scenery area\n"
    "per country below 'Addon Scenery', each with .bgl files, listed in scenery.cfg.\n"
    "Names are written in Windows-1252; the code is the GPS code, else the ident.";

// The largest worlds the compiler writes: beyond them a run would only fill the disk.
constexpr std::int64_t kMostAirports = 10000000;
constexpr int kMostAreas = 100000;
constexpr int kMostFiles = 1000000;

int Compile(int argc, char** argv) {
    tool::CommandLine line("halvern-scenery", kDescription);
    std::string csv;
    std::string simulatorDir;
    WorldOptions options;
    line.add_option("CSV", csv, "the airports")->required()->type_name("");
    line.add_option("SIMDIR", simulatorDir, "the simulator directory to write")
        ->required()
        ->type_name("")
        ->check(tool::kSimulatorDirectory);
    line.add_flag("--world-vis", options.worldVis,
                  "list the areas in scenery\\world.vis instead of scenery.cfg");
    AddNumber(line, "--airports", options.airportCount, Whole<std::int64_t>(0, kMostAirports),
              "replicate the airports with jittered positions up to N");
    AddNumber(line, "--areas", options.areaCount, Whole(0, kMostAreas),
              "deal the airports into N areas instead of one per country");
    AddNumber(line, "--files", options.fileCount, Whole(0, kMostFiles),
              "with --areas: N scenery files in all (default 25 per area)");
    AddNumber(line, "--per-file", options.airportsPerFile, Whole(1, kMostFiles),
              "per-country areas: at most N airports a file (default 40)");
    AddNumber(line, "--absolute-every", options.absoluteEvery, Whole(0, INT_MAX),
              "name every Nth area by its absolute path (default 3; 0: none)");
    line.add_flag("--inactive-area", options.inactiveArea,
                  "add an area that is switched off (its airports are hidden)");
    line.add_flag("--default-area", options.defaultArea,
                  "add an area below scenedb\\world (skipped by the module)");
    line.add_flag("--missing-area", options.missingArea,
                  "list an area whose directory does not exist");
    line.add_flag("--gap-area", options.gapArea,
                  "add an area, listed last, whose number skips one: the walk\n"
                  "stops at the gap, so its airports are never read");
    line.add_flag("--damaged-area", options.damagedArea,
                  "add an area of scenery files damaged in each way the module\n"
                  "meets (a bad header, an empty file, records and texts cut off,\n"
                  "an unknown record kind), each after two good airports");
    line.add_option("--addon-airport", options.addonAirport,
                    "add an area, listed last, with a copy of the airport CODE named\n"
                    "'... (add-on)': two files defining one code")
        ->type_name("CODE");
    line.add_flag("--other-case", options.otherCase,
                  "name the area folders in scenery.cfg (or world.vis) with every\n"
                  "letter in the other case, and each scenery folder 'Scenery' on\n"
                  "the disk: no folder of an area's directory is found as spelled");
    AddNumber(line, "--seed", options.seed, Whole<std::uint32_t>(0, UINT32_MAX),
              "seed of the jitter (default 1)");
    if (const int status = line.Parse(argc, argv); status >= 0) {
        return status;
    }
    std::vector<CsvAirport> airports;
    WorldSummary summary;
    std::string error;
    if (!ReadAirportCsv(csv, airports, error) ||
        !BuildWorld(airports, simulatorDir, options, summary, error)) {
        std::fprintf(stderr, "halvern-scenery: %s\n", error.c_str());
        return tool::kExitUsage;
    }
    std::printf("areas %d\nfiles %d\nairports %lld\n", summary.areas, summary.files,
                static_cast<long long>(summary.airports));
    return tool::kExitOk;
}

}  // namespace
}  // namespace halvern::scenery

int main(int argc, char** argv) {
    return halvern::tool::RunReportingFailures(
        "halvern-scenery", [&] { return halvern::scenery::Compile(argc, argv); });
}
