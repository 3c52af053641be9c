#pragma once

// The subcommands of the `halvern` tool. Each returns the process's exit status.

#include <string>
#include <vector>

namespace halvern::tool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 2;

// Checks a simulator directory given on the command line and returns its host form with a
// trailing separator; on failure prints a one-line error and returns false.
bool ResolveSimulatorDir(const std::string& argument, std::string& simulatorDir);

int RunScan(const std::string& simulatorDir);
int RunAirports(const std::string& simulatorDir);
// `nearby SIMDIR --lat DEG --lon DEG [--distance NM] [--options N] [--magvar WORD] [--packed]`.
int RunNearby(const std::vector<std::string>& args);
// `report SIMDIR [--json | --html FILE]`.
int RunReport(const std::vector<std::string>& args);
// `find SIMDIR TEXT`, with the simulator directory already checked.
int RunFind(const std::string& simulatorDir, const std::string& text);

}  // namespace halvern::tool
