#pragma once

// The commands of the `halvern` tool. Each returns the process's exit status.

#include <memory>
#include <optional>
#include <string>

#include "command_line.h"

namespace halvern::tool {

// The simulator directory a command was given.
struct SimulatorDir {
    std::string typed;      // SIMDIR as typed
    std::string directory;  // absolute, in the disk's letter case, in the host's form with a
                            // trailing separator: what the tool reads
    std::optional<std::string> moduleSpelling;  // --module-spelling, as typed
};

// Checks a simulator directory given on the command line and returns its host form with a
// trailing separator; on failure prints a one-line error and returns false.
bool ResolveSimulatorDir(const std::string& argument, std::string& simulatorDir);

// Declares a command's SIMDIR and its --module-spelling; once they are parsed, `run` is given
// them, or the command ends with exit status 2 when SIMDIR is no readable directory.
template <typename Run>
void AddSimulatorDir(CLI::App& command, int& status, Run run) {
    const auto given = std::make_shared<SimulatorDir>();
    const auto spelling = std::make_shared<std::string>();
    command.add_option("SIMDIR", given->typed, "the simulator directory")
        ->required()
        ->type_name("")
        ->check(kSimulatorDirectory);
    CLI::Option* spellingOption =
        command
            .add_option("--module-spelling", *spelling,
                        "the simulator directory as the module spells it, where no spelling\n"
                        "tried matches its cache file (see 'Why is my airport not shown?')")
            ->type_name("DIR")
            ->check(kNotEmpty);
    command.callback([given, spelling, spellingOption, &status, run] {
        if (spellingOption->count() > 0) {
            given->moduleSpelling = *spelling;
        }
        status = ResolveSimulatorDir(given->typed, given->directory) ? run(*given) : kExitUsage;
    });
}

int RunScan(const SimulatorDir& simulatorDir);
int RunAirports(const SimulatorDir& simulatorDir);
int RunFind(const SimulatorDir& simulatorDir, const std::string& text);
int RunRepair(const SimulatorDir& simulatorDir, const std::string& file);
// Each declares its command and options on `tool`; the command runs once the line is parsed.
void AddNearbyCommand(CLI::App& tool, int& status);
void AddReportCommand(CLI::App& tool, int& status);

}  // namespace halvern::tool
