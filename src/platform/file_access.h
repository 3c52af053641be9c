#pragma once

// Single files named by host paths (backslash separators): whether one exists, and opening one
// as a buffered stream of the C runtime. The stream is closed when its owner goes out of scope.

#include <cstdio>
#include <memory>

namespace halvern::platform {

struct StreamCloser {
    void operator()(std::FILE* stream) const { std::fclose(stream); }
};

using HostStream = std::unique_ptr<std::FILE, StreamCloser>;

// True when a file or a directory of that name exists.
bool FileExists(const char* hostPath);

// Opens the file with a mode as for fopen ("rb", "wb"); empty when it cannot be opened.
HostStream OpenHostFile(const char* hostPath, const char* mode);

}  // namespace halvern::platform
