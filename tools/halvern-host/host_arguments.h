#pragma once

// The command line of the substitute hosts: the options both hosts take. Each host adds its own.

#include <climits>

#include "command_line.h"
#include "halvern-host/run_options.h"

namespace halvern::host {

inline void AddHostOptions(CLI::App& line, RunOptions& options) {
    line.add_option("--module", options.modulePath, "the module file to install and load")
        ->required()
        ->check(tool::kNotEmpty)
        ->type_name("FILE");
    line.add_option("--simdir", options.simulatorDir, "the simulator directory")
        ->required()
        ->check(tool::kSimulatorDirectory)
        ->type_name("DIR");
    line.add_option("--script", options.scriptPath, "the flight script (docs/flight-script.md)")
        ->required()
        ->check(tool::kNotEmpty)
        ->type_name("FILE");
    line.add_option("--out", options.outputDir, "where svg actions write their pictures")
        ->type_name("DIR");
    tool::AddNumber(line, "--every", options.every, tool::Whole(1L, LONG_MAX),
                    "print the lines at every Nth event only");
    line.add_flag("--changes-only", options.changesOnly,
                  "print an event's lines only when they differ from the event before");
}

}  // namespace halvern::host
