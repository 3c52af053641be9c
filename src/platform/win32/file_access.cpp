#include "platform/file_access.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace halvern::platform {

bool FileExists(const char* hostPath) {
    // Any attributes at all mean the name exists, as a file or as a directory.
    return GetFileAttributesA(hostPath) != INVALID_FILE_ATTRIBUTES;
}

HostStream OpenHostFile(const char* hostPath, const char* mode) {
    return HostStream(std::fopen(hostPath, mode));
}

}  // namespace halvern::platform
