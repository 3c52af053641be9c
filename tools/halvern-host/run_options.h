#pragma once

// What one run of a substitute host is given on its command line, on every host.

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

}  // namespace halvern::host
