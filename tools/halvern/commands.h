#pragma once

// The commands of the `halvern` tool. Each returns the process's exit status.

#include <memory>
#include <string>

#include "command_line.h"

namespace halvern::tool {

// Checks a simulator directory given on the command line and returns its host form with a
// trailing separator; on failure prints a one-line error and returns false.
bool ResolveSimulatorDir(const std::string& argument, std::string& simulatorDir);

// Declares a command's SIMDIR; once it is parsed, `run` is given its host form, or the command
// ends with exit status 2 when it is no readable directory.
template <typename Run>
void AddSimulatorDir(CLI::App& command, int& status, Run run) {
    const auto argument = std::make_shared<std::string>();
    command.add_option("SIMDIR", *argument, "the simulator directory")->required()->type_name("");
    command.callback([argument, &status, run] {
        std::string simulatorDir;
        status = ResolveSimulatorDir(*argument, simulatorDir) ? run(simulatorDir) : kExitUsage;
    });
}

int RunScan(const std::string& simulatorDir);
int RunAirports(const std::string& simulatorDir);
int RunFind(const std::string& simulatorDir, const std::string& text);
// Each declares its command and options on `tool`; the command runs once the line is parsed.
void AddNearbyCommand(CLI::App& tool, int& status);
void AddReportCommand(CLI::App& tool, int& status);

}  // namespace halvern::tool
