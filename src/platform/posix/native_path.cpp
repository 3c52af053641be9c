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

// Paths here are bytes: the string is the path.
std::filesystem::path PathFromArgument(const std::string& argument) {
    return std::filesystem::path(argument);
}

std::string ArgumentFromPath(const std::filesystem::path& path) {
    return path.string();
}

bool IsTerminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) != 0;
}

bool TerminalTextIsUtf8() {
    // The systems the portable build runs on take UTF-8 at their terminals and command lines.
    return true;
}

}  // namespace halvern::platform
