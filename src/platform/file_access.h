#pragma once

// Single files named by host paths (backslash separators): whether one exists and of what kind,
// and opening one as a buffered stream of the C runtime. Only a regular file is ever opened, and
// opening never waits: a FIFO or a device under a scenery file's name would otherwise stop the
// host's start-up in the open call. The stream is closed when its owner goes out of scope.

#include <cstdio>
#include <memory>
#include <string>

namespace halvern::platform {

struct StreamCloser {
    void operator()(std::FILE* stream) const { std::fclose(stream); }
};

using HostStream = std::unique_ptr<std::FILE, StreamCloser>;

// True when a file or a directory of that name exists.
bool FileExists(const char* hostPath);

// What a name is, as far as the system tells without opening it: for a diagnostic's words after
// an open failed (opening itself checks the kind of what it opened).
enum class FileKind {
    kNone,     // nothing of that name can be looked at
    kRegular,  // a regular file
    kOther,    // a directory, FIFO, socket or device
};
FileKind KindOfFile(const char* hostPath);

// Reads a whole regular file into `bytes`; false when it cannot be opened or read.
bool ReadHostFile(const char* hostPath, std::string& bytes);

// Opens a regular file with a mode as for fopen ("rb", "wb"); empty when it cannot be opened or
// is not a regular file.
HostStream OpenHostFile(const char* hostPath, const char* mode);

}  // namespace halvern::platform
