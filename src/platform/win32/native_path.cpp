#include "platform/native_path.h"

#include <io.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <climits>

namespace halvern::platform {

// Windows paths are already in the host's form; forward slashes are separators there too.
std::string HostPathFromNative(const std::string& nativePath) {
    return nativePath;
}

std::filesystem::path PathFromArgument(const std::string& argument) {
    if (argument.empty() || argument.size() > static_cast<std::size_t>(INT_MAX)) {
        return {};
    }
    const int length = static_cast<int>(argument.size());
    const int wide = MultiByteToWideChar(CP_ACP, 0, argument.data(), length, nullptr, 0);
    if (wide <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, argument.data(), length, text.data(), wide);
    return std::filesystem::path(text);
}

std::filesystem::path PathFromHostText(const std::string& hostPath) {
    return PathFromArgument(hostPath);
}

std::string Utf8FromHostText(const std::string& hostText) {
    // The narrow command line and the host's texts share the ANSI code page.
    const std::u8string utf8 = PathFromArgument(hostText).u8string();
    return std::string(utf8.begin(), utf8.end());
}

std::string ArgumentFromPath(const std::filesystem::path& path) {
    const std::wstring& text = path.native();
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int narrow =
        WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (narrow <= 0) {
        return {};
    }
    std::string argument(static_cast<std::size_t>(narrow), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), length, argument.data(), narrow, nullptr, nullptr);
    return argument;
}

bool NameHoldsHostSeparator(const std::string& /*argument*/) {
    return false;
}

bool IsTerminal(std::FILE* stream) {
    return _isatty(_fileno(stream)) != 0;
}

bool TerminalTextIsUtf8() {
    // The narrow command line and console text are in the ANSI code page.
    return false;
}

}  // namespace halvern::platform
