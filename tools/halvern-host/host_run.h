#pragma once

// One run of the substitute host: install and start the module, fly the script while raising
// the refresh event at a steady rate, act on the script's actions, report what the module does.

#include <cstdio>
#include <string>

namespace halvern::host {

struct RunOptions {
    std::string modulePath;    // the module file to install
    std::string simulatorDir;  // the simulator directory (operating system's form)
    std::string scriptPath;
    std::string outputDir = ".";  // where svg actions write their pictures
    bool changesOnly = false;     // print an event's lines only when they differ from before
    long every = 1;               // print the lines of every Nth event only
};

// Returns the process's exit status: 0, or 2 for bad input or a module that does not load.
int RunHost(const RunOptions& options, std::FILE* out);

}  // namespace halvern::host
