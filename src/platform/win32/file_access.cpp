#include "platform/file_access.h"

#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>

#include "platform/path_limit.h"

namespace halvern::platform {

// The narrow calls refuse a longer path on Windows; Wine takes one character more, and is held
// to Windows' limit here, so that both builds see the same files.

bool FileExists(const char* hostPath) {
    if (!FitsPathLimit(hostPath)) {
        return false;
    }
    // Any attributes at all mean the name exists, as a file or as a directory.
    return GetFileAttributesA(hostPath) != INVALID_FILE_ATTRIBUTES;
}

FileKind KindOfFile(const char* hostPath) {
    if (!FitsPathLimit(hostPath)) {
        return FileKind::kNone;
    }
    const DWORD attributes = GetFileAttributesA(hostPath);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return FileKind::kNone;
    }
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0
               ? FileKind::kOther
               : FileKind::kRegular;
}

HostStream OpenHostFile(const char* hostPath, const char* mode) {
    if (!FitsPathLimit(hostPath)) {
        return nullptr;
    }
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
