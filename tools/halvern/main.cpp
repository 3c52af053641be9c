// halvern: shows from the command line what the module sees in a simulator's scenery.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "halvern/commands.h"
#include "tool_main.h"

namespace {

constexpr const char* kUsage =
    "usage: halvern COMMAND SIMDIR [OPTIONS]\n"
    "\n"
    "scan, airports and nearby run the module's airport database step on the simulator\n"
    "directory SIMDIR: the fingerprint pass over the scenery, then the cache file\n"
    "HalvernCache.dat if it was written for the same scenery, otherwise the extraction pass\n"
    "and a new cache file. report and find run the fingerprint pass, check the cache file\n"
    "and run the extraction pass with the module's own code, and write nothing into SIMDIR.\n"
    "\n"
    "commands:\n"
    "  scan SIMDIR       prints 'files N' (scenery files accepted), 'fingerprint 0x...',\n"
    "                    'source cache' or 'source scenery', and 'airports N'; shows a\n"
    "                    progress bar on a terminal while extracting\n"
    "  airports SIMDIR   prints one line per airport in database order: index, code,\n"
    "                    latitude, longitude, elevation in feet and name, tab-separated\n"
    "  nearby SIMDIR --lat DEG --lon DEG [--distance NM] [--options N] [--magvar WORD]\n"
    "         [--packed] [--edges DEG]\n"
    "                    puts the aircraft at that latitude and longitude, selects the\n"
    "                    airports within NM (default 30; 0 or negative as the module\n"
    "                    treats them) and prints the overlay lines a refresh there\n"
    "                    composes, one a line, in order. N: the display options (default\n"
    "                    13: name, distance, magnetic bearing; bits 0x01 name, 0x02 code,\n"
    "                    0x04 distance, 0x08 magnetic bearing, 0x10 elevation, 0x20 true\n"
    "                    bearing). WORD: the magnetic variation, 65536 to the turn\n"
    "                    (default 0). Numbers may be decimal or 0x hexadecimal. With\n"
    "                    --packed each line starts with its 18-byte packed position in\n"
    "                    hexadecimal and a blank. With --edges DEG it prints instead the\n"
    "                    positions (latitude and longitude, one a line) on either side of\n"
    "                    every change of the lines within DEG degrees east of --lon:\n"
    "                    where builds that round differently would first disagree.\n"
    "  report SIMDIR [--json | --html FILE]\n"
    "                    why the database holds what it holds: the scenery areas in the\n"
    "                    order walked, where each comes from and what became of it; each\n"
    "                    area's scenery files with size, write time and airports, or why\n"
    "                    a file was left out or where its reading ended early; the codes\n"
    "                    that several files define and which one the overlay shows; the\n"
    "                    cache file's state and whether the next start extracts; totals\n"
    "                    and times. --json prints it as JSON (docs/report-schema.md);\n"
    "                    --html writes one self-contained page with a map to FILE\n"
    "  find SIMDIR TEXT  the airports whose code or name contains TEXT (ASCII letter case\n"
    "                    ignored), with the file and area each comes from and whether the\n"
    "                    overlay shows it; also those in inactive and default areas; when\n"
    "                    the database holds none, the areas and files not read and why\n"
    "  help              prints this text\n"

    "\n"
    "Exit status: 0 on success, 2 for bad arguments or an unreadable SIMDIR.\n";

int UsageError(const char* message) {
    std::fprintf(stderr, "halvern: %s (try 'halvern --help')\n", message);
    return halvern::tool::kExitUsage;
}

}  // namespace

int Run(int argc, char** argv) {
    using namespace halvern::tool;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        return UsageError("no command given");
    }
    const std::string& command = args[0];
    if (command == "help" || command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (command == "nearby") {
        return RunNearby(std::vector<std::string>(args.begin() + 1, args.end()));
    }
    if (command == "report") {
        return RunReport(std::vector<std::string>(args.begin() + 1, args.end()));
    }
    if (command != "scan" && command != "airports" && command != "find") {
        return UsageError(("unknown command '" + command + "'").c_str());
    }
    // scan and airports take SIMDIR alone, find SIMDIR and TEXT.
    const std::size_t wanted = command == "find" ? 3 : 2;
    if (args.size() != wanted) {
        return UsageError(args.size() < 2        ? "the simulator directory is missing"
                          : args.size() < wanted ? "the text to find is missing"
                                                 : "too many arguments");
    }
    if (command == "find" && args[2].empty()) {
        return UsageError("the text to find is empty");
    }
    std::string simulatorDir;
    if (!ResolveSimulatorDir(args[1], simulatorDir)) {
        return kExitUsage;
    }
    if (command == "find") {
        return RunFind(simulatorDir, args[2]);
    }
    return command == "scan" ? RunScan(simulatorDir) : RunAirports(simulatorDir);
}

int main(int argc, char** argv) {
    return halvern::tool::RunReportingFailures("halvern", [&] { return Run(argc, argv); });
}
