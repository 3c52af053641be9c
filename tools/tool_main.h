#pragma once

// The outermost frame of every tool's main: whatever fails unforeseen (memory, the file system)
// ends the run with one line and exit status 1, not with an uncaught exception.

#include <cstdio>
#include <exception>

namespace halvern::tool {

template <typename Run>
int RunReportingFailures(const char* toolName, Run&& run) {
    try {
        return run();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s: %s\n", toolName, failure.what());
    } catch (...) {
        std::fprintf(stderr, "%s: failed\n", toolName);
    }
    return 1;
}

}  // namespace halvern::tool
