#include "platform/native_path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "platform/posix/host_names.h"
#include "platform/posix/host_path.h"
#include "support/windows_1252.h"

namespace halvern::platform {

std::string HostPathFromNative(const std::string& nativePath) {
    // The disk's UTF-8 in the host's code page, as the host platform's narrow calls give it.
    std::string path = HostText(nativePath);
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

std::filesystem::path PathFromHostText(const std::string& hostPath) {
    const std::string spelled = NativeSpelling(hostPath);
    struct stat info {};
    if (::lstat(spelled.c_str(), &info) == 0) {
        return spelled;
    }
    const std::optional<std::string> found = FindIgnoringCase(spelled);
    return found ? *found : spelled;
}

std::string Utf8FromHostText(const std::string& hostText) {
    std::string utf8;
    utf8.reserve(hostText.size());
    for (const char c : hostText) {
        AppendUtf8(utf8, CodePointOfWindows1252(static_cast<unsigned char>(c)));
    }
    return utf8;
}

std::string ArgumentFromPath(const std::filesystem::path& path) {
    return path.string();
}

bool NameHoldsHostSeparator(const std::string& argument) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(argument, error);
    return (error ? argument : absolute.string()).find('\\') != std::string::npos;
}

bool IsTerminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) != 0;
}

bool TerminalTextIsUtf8() {
    // The systems the portable build runs on take UTF-8 at their terminals and command lines.
    return true;
}

}  // namespace halvern::platform
