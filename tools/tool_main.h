#pragma once

// The outermost frame of every tool's main: whatever fails unforeseen (memory, the file system)
// ends the run with one line and exit status 1, not with an uncaught exception; and output that
// could not be written (a full disk, a closed pipe) ends it so too, never with success.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>

namespace halvern::tool {

template <typename Run>
int RunReportingFailures(const char* toolName, Run&& run) {
    int status = 1;
    try {
        status = run();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s: %s\n", toolName, failure.what());
    } catch (...) {
        std::fprintf(stderr, "%s: failed\n", toolName);
    }
    // A failed write leaves the stream's error flag set, and its reason in errno, which the
    // output's last writes leave alone; the flush writes what is still held, and a failure of
    // its own gives its own reason.
    const int earlier = std::ferror(stdout) != 0 ? errno : 0;
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        const int reason = errno != 0 ? errno : earlier;
        std::fprintf(stderr, "%s: could not write the output: %s\n", toolName,
                     reason != 0 ? std::strerror(reason) : "write error");
        return 1;
    }
    return status;
}

}  // namespace halvern::tool
