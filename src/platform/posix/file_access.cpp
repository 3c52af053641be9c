#include "platform/file_access.h"

#include <sys/stat.h>

#include "platform/posix/host_path.h"

namespace halvern::platform {

bool FileExists(const char* hostPath) {
    struct stat info {};
    return ::stat(NativePath(hostPath).c_str(), &info) == 0;
}

HostStream OpenHostFile(const char* hostPath, const char* mode) {
    return HostStream(std::fopen(NativePath(hostPath).c_str(), mode));
}

}  // namespace halvern::platform
