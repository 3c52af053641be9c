#include "platform/file_access.h"

namespace halvern::platform {

bool ReadHostFile(const char* hostPath, std::string& bytes) {
    const HostStream stream = OpenHostFile(hostPath, "rb");
    if (!stream) {
        return false;
    }
    char chunk[4096];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, stream.get());
        bytes.append(chunk, got);
        if (got < sizeof chunk) {
            break;
        }
    }
    // A directory opens as a stream on some systems but cannot be read.
    return std::ferror(stream.get()) == 0;
}

}  // namespace halvern::platform
