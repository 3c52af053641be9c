#pragma once

// A file written whole or not at all: written as a new file beside it, then given its name,
// which replaces the old file in one step. A reader meets the old file or the new one, never a
// file two writers wrote into at once or one a writer left cut short. Host paths throughout.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_access.h"

namespace halvern::platform {

// Creates a new regular file for writing; empty where the name exists in any form (a file, a
// leftover, a link, which is never followed) or cannot be created. `exists` tells the first.
HostStream CreateNewHostFile(const char* hostPath, bool& exists);

// Gives the file `from` the name `to`, replacing the file or link of that name (in any letter
// case) that is there; a link is replaced, its target untouched. Anything else under the name
// (a directory, FIFO or device) is left as it is, and the call fails. On Windows a file that
// another program holds open is tried again for about half a second.
bool ReplaceHostFile(const char* from, const char* to);

// Removes a file; false when it cannot.
bool RemoveHostFile(const char* hostPath);

struct NamedFile {
    std::string name;
    std::uint64_t lastWriteTime;  // 100-nanosecond intervals since 1601
};

// The regular files of a directory (ending in a separator) whose names begin with `prefix` and
// end with `suffix`, ASCII letter case ignored.
std::vector<NamedFile> FilesNamedLike(const char* hostDirectory, std::string_view prefix,
                                      std::string_view suffix);

// The time now, in 100-nanosecond intervals since 1601.
std::uint64_t HostTimeNow();

// A number of this process, for names that no other writer makes.
std::uint32_t ProcessNumber();

}  // namespace halvern::platform
