#include "platform/directory_identity.h"

#include <sys/stat.h>

#include "platform/posix/host_path.h"

namespace halvern::platform {

std::string DirectoryIdentity(const char* hostDirectory) {
    struct stat info {};
    // stat follows links: a link to the directory is the directory.
    const bool found = WithNativePath(
        hostDirectory, [&info](const char* native) { return ::stat(native, &info) == 0; });
    if (found && S_ISDIR(info.st_mode)) {
        return IdentityKey(info.st_dev, info.st_ino);
    }
    return SpellingKey(hostDirectory);
}

}  // namespace halvern::platform
