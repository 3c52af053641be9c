#include "platform/native_path.h"

#include <io.h>

namespace halvern::platform {

// Windows paths are already in the host's form; forward slashes are separators there too.
std::string HostPathFromNative(const std::string& nativePath) {
    return nativePath;
}

bool IsTerminal(std::FILE* stream) {
    return _isatty(_fileno(stream)) != 0;
}

}  // namespace halvern::platform
