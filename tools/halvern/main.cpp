// halvern: shows from the command line what the module sees in a simulator's scenery.

#include <cstdio>
#include <string>
#include <vector>

#include "halvern/commands.h"
#include "tool_main.h"

namespace halvern::tool {
namespace {

constexpr const char* kDescription =
    "scan, airports and nearby run the module's airport database step on the simulator\n"
    "directory SIMDIR: the fingerprint pass over the scenery, then the cache file\n"
    "HalvernCache.dat if it was written for the same scenery, otherwise the extraction pass\n"
    "and a new cache file. report and find run the fingerprint pass, check the cache file\n"
    "and run the extraction pass with the module's own code, and write nothing into SIMDIR.";
constexpr const char* kScan =
    "prints 'files N' (scenery files accepted), 'fingerprint 0x...',\n"
    "'source cache' or 'source scenery', and 'airports N'; shows a\n"
    "progress bar on a terminal while extracting";
constexpr const char* kAirports =
    "prints one line per airport in database order: index, code,\n"
    "latitude, longitude, elevation in feet and name, tab-separated";
constexpr const char* kFind =
    "the airports whose code or name contains TEXT (ASCII letter case\n"
    "ignored), with the file and area each comes from and whether the\n"
    "overlay shows it; also those in inactive and default areas; when\n"
    "the database holds none, the areas and files not read and why";

constexpr const char* kRepair =
    "writes a repaired copy of SIMDIR's scenery.cfg to FILE, for you to\n"
    "review and put in place, and prints one line per change: the areas\n"
    "the walk reads keep their numbers; a section without an Active value\n"
    "gets Active=FALSE; every other area section gets a number the walk\n"
    "reads; a folder named scenery that no area names becomes an area.\n"
    "Writes nothing where nothing needs repair";

int Run(int argc, char** argv) {
    CommandLine tool("halvern", kDescription);
    tool.footer("Exit status: 0 on success, 2 for bad arguments or an unreadable SIMDIR.");
    int status = -1;  // left by the command that ran
    AddSimulatorDir(*tool.add_subcommand("scan", kScan), status, RunScan);
    AddSimulatorDir(*tool.add_subcommand("airports", kAirports), status, RunAirports);
    AddNearbyCommand(tool, status);
    AddReportCommand(tool, status);
    CLI::App* find = tool.add_subcommand("find", kFind);
    std::string text;
    // A text that starts with '-' is the text, not an option: it is left over by the parse.
    find->allow_extras();
    AddSimulatorDir(*find, status, [&text, find](const SimulatorDir& dir) {
        const std::vector<std::string> rest = find->remaining();
        if (rest.size() > (text.empty() ? 1u : 0u)) {
            throw CLI::ExtrasError(rest);
        }
        text = rest.empty() ? text : rest.front();
        return text.empty() ? throw CLI::RequiredError("TEXT") : RunFind(dir, text);
    });
    find->add_option("TEXT", text, "the text to find")->type_name("")->check(kNotEmpty);
    CLI::App* repair = tool.add_subcommand("repair", kRepair);
    std::string repaired;
    AddSimulatorDir(*repair, status,
                    [&repaired](const SimulatorDir& dir) { return RunRepair(dir, repaired); });
    repair->add_option("FILE", repaired, "where to write the repaired copy (not in SIMDIR)")
        ->required()
        ->type_name("")
        ->check(kNotEmpty);
    tool.add_subcommand("help", "prints this text")->allow_extras()->callback([&] {
        const auto help =
            tool.get_formatter()->make_help(&tool, "halvern", CLI::AppFormatMode::Normal);
        std::fputs(help.c_str(), stdout);
        status = kExitOk;
    });
    tool.callback([&status] {
        if (status < 0) {
            throw CLI::RequiredError("a command");
        }
    });
    const int parsed = tool.Parse(argc, argv);
    return parsed >= 0 ? parsed : status;
}

}  // namespace
}  // namespace halvern::tool

int main(int argc, char** argv) {
    return halvern::tool::RunReportingFailures("halvern",
                                               [&] { return halvern::tool::Run(argc, argv); });
}
