#include "platform/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/posix/host_path.h"

namespace halvern::platform {

namespace {

bool StatHostPath(const char* hostPath, struct stat& info) {
    return WithNativePath(hostPath,
                          [&info](const char* native) { return ::stat(native, &info) == 0; });
}

}  // namespace

bool FileExists(const char* hostPath) {
    struct stat info {};
    return StatHostPath(hostPath, info);
}

FileKind KindOfFile(const char* hostPath) {
    struct stat info {};
    if (!StatHostPath(hostPath, info)) {
        return FileKind::kNone;
    }
    return S_ISREG(info.st_mode) ? FileKind::kRegular : FileKind::kOther;
}

HostStream OpenHostFile(const char* hostPath, const char* mode) {
    // The modes the module uses: reading, or writing a new or emptied file.
    int flags = 0;
    bool creates = false;
    if (std::strcmp(mode, "rb") == 0 || std::strcmp(mode, "r") == 0) {
        flags = O_RDONLY;
    } else if (std::strcmp(mode, "wb") == 0 || std::strcmp(mode, "w") == 0) {
        // A link under the name is never followed: what it points at is no file of ours.
        flags = O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW;
        creates = true;
    } else {
        return nullptr;
    }
    // O_NONBLOCK: opening a FIFO without a writer (or, for writing, without a reader) returns at
    // once instead of waiting for one; a regular file ignores the flag for its reads and writes.
    // The kind is checked on what was opened, so nothing can swap the name in between.
    int fd = -1;
    const auto open = [&fd, flags](const char* native) {
        fd = ::open(native, flags | O_NONBLOCK | O_CLOEXEC, 0666);
        return fd >= 0;
    };
    if (creates) {
        // A file that exists in another letter case is the file the host platform replaces.
        const std::optional<std::string> native = NativePathToCreate(hostPath);
        if (!native || !open(native->c_str())) {
            return nullptr;
        }
    } else if (!WithNativePath(hostPath, open)) {
        return nullptr;
    }
    struct stat info {};
    std::FILE* stream = nullptr;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        stream = ::fdopen(fd, mode);
    }
    if (stream == nullptr) {
        ::close(fd);
    }
    return HostStream(stream);
}

}  // namespace halvern::platform
