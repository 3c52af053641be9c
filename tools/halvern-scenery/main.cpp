// halvern-scenery: compiles a CSV of airports into a simulator directory with scenery areas,
// scenery files in the host's layout and the host's scenery list.

#include <climits>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
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
constexpr int kMostClutterFolders = 1000000;
constexpr std::int64_t kMostClutterFiles = 10000000;

// The spellings of --stop-area's Active value.
const std::map<std::string, StopArea> kStopAreas = {{"missing", StopArea::kMissing},
                                                    {"empty", StopArea::kEmpty},
                                                    {"misspelt", StopArea::kMisspelt}};

// --clutter FOLDERS,FILES: two whole numbers, each read by the one reader of numbers.
void AddClutter(tool::CommandLine& line, WorldOptions& options) {
    line.add_option_function<std::string>(
            "--clutter",
            [&options](const std::string& text) {
                const std::size_t comma = text.find(',');
                const auto folders = Whole(0, kMostClutterFolders)(text.substr(0, comma));
                const auto files =
                    comma == std::string::npos
                        ? std::nullopt
                        : Whole<std::int64_t>(0, kMostClutterFiles)(text.substr(comma + 1));
                if (!folders || !files || (*folders == 0 && *files > 0)) {
                    throw CLI::ValidationError("--clutter", "bad value '" + text + "'");
                }
                options.clutterFolders = *folders;
                options.clutterFiles = *files;
            },
            "add FOLDERS folders holding FILES files in all that are not\n"
            "scenery (aircraft .cfg and .air files, .dds textures, .wav\n"
            "sounds of a few bytes each) nested below SimObjects\\Aircraft,\n"
            "Texture and Sound")
        ->type_name("FOLDERS,FILES");
}

int Compile(int argc, char** argv) {
    tool::CommandLine line("halvern-scenery", kDescription);
    std::string csv;
    std::string simulatorDir;
    WorldOptions options;
    std::string stopArea;
    line.footer(
        "The areas of --inactive-area, --default-area, --gap-area and --stop-area to\n"
        "--deep-area hold copies of the first five airports of CSV, each name preceded by\n"
        "the area's kind: 'Inactive', 'Default', 'After gap', 'Stop' and 'After stop',\n"
        "'Second section', 'Misnumbered 4', 'Misnumbered 0005', 'Misnumbered 000',\n"
        "'Repeated key', 'Orphan', 'Flat', 'Deep'.");
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
    line.add_option("--stop-area", stopArea,
                    "add an area that ends the walk, its section without an Active\n"
                    "value (KIND missing, the default: no Active line; empty:\n"
                    "'Active='; misspelt: 'Activ=TRUE'), and an active area after\n"
                    "it: the airports of neither are read")
        ->expected(0, 1)
        ->default_str("missing")
        ->option_text("[=KIND]")
        ->check(CLI::IsMember(kStopAreas).description(""));
    line.add_flag("--second-section", options.secondSection,
                  "add a second [Area.002] section: the reader takes the first, so\n"
                  "the area the second names is never read");
    line.add_flag("--misnumbered-areas", options.misnumberedAreas,
                  "add active areas in sections [Area.4], [Area.0005] and\n"
                  "[Area.000], names the walk never forms");
    line.add_flag("--repeated-key", options.repeatedKey,
                  "add an area whose section holds Active=FALSE, then\n"
                  "Active=TRUE: the first counts, so it is inactive");
    line.add_flag("--orphan-folder", options.orphanFolder,
                  "add the scenery file Addon Scenery\\Orphan\\scenery\\o.bgl,\n"
                  "whose folder no area names");
    line.add_flag("--flat-area", options.flatArea,
                  "add an area Local=Addons\\Flat whose files lie in that folder\n"
                  "itself: the walk reads its scenery folder, which is missing");
    line.add_flag("--deep-area", options.deepArea,
                  "add an area Local=Addons\\Deep whose files lie in\n"
                  "Addons\\Deep\\scenery\\more, a folder the walk does not enter");
    AddClutter(line, options);
    AddNumber(line, "--seed", options.seed, Whole<std::uint32_t>(0, UINT32_MAX),
              "seed of the jitter (default 1)");
    if (const int status = line.Parse(argc, argv); status >= 0) {
        return status;
    }
    if (!stopArea.empty()) {
        options.stopArea = kStopAreas.at(stopArea);
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
