#include "platform/file_access.h"

#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>

namespace halvern::platform {

bool FileExists(const char* hostPath) {
    // Any attributes at all mean the name exists, as a file or as a directory.
    return GetFileAttributesA(hostPath) != INVALID_FILE_ATTRIBUTES;
}

FileKind KindOfFile(const char* hostPath) {
    const DWORD attributes = GetFileAttributesA(hostPath);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return FileKind::kNone;
    }
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0
               ? FileKind::kOther
               : FileKind::kRegular;
}

HostStream OpenHostFile(const char* hostPath, const char* mode) {
    HostStream stream(std::fopen(hostPath, mode));
    // A reserved device name ("CON", "NUL.bgl" on older systems) or a pipe opens as a stream
    // too; only a file on a disk is one of ours.
    if (stream && GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream.get())))) !=
                      FILE_TYPE_DISK) {
        stream.reset();
    }
    return stream;
}

}  // namespace halvern::platform
