#include "platform/mapped_file.h"

#include "platform/path_limit.h"

namespace halvern::platform {

MappedFile::~MappedFile() {
    Close();
}

bool MappedFile::Open(const char* hostPath) {
    Close();
    outOfMemory_ = false;
    // A path beyond the host platform's limit opens on no platform.
    return hostPath != nullptr && FitsPathLimit(hostPath) && OpenNative(hostPath);
}

}  // namespace halvern::platform
