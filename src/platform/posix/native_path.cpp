#include "platform/native_path.h"

#include <unistd.h>

namespace halvern::platform {

std::string HostPathFromNative(const std::string& nativePath) {
    std::string path = nativePath;
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

bool IsTerminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) != 0;
}

}  // namespace halvern::platform
