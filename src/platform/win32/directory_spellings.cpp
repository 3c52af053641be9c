#include "platform/directory_spellings.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <cctype>

namespace halvern::platform {

namespace {

// Removes "." steps, ".." steps and doubled separators, and makes the path absolute, as the
// system does to every path it is given.
std::string FullPath(const std::string& path) {
    std::string full(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            return {};
        }
        // A result that does not fit reports the size it needs, terminator included.
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);
    }
}

// Each component after the root as the directory listing spells it.
std::string StoredCase(const std::string& full) {
    std::size_t at = full.find('\\');
    if (full.size() > 2 && full[0] == '\\' && full[1] == '\\') {
        // \\server\share\ : the share is no component a listing gives.
        at = full.find('\\', full.find('\\', 2) + 1);
    }
    if (at == std::string::npos) {
        return full;
    }
    std::string stored = full.substr(0, at + 1);
    while (at + 1 < full.size()) {
        const std::size_t end = std::min(full.find('\\', at + 1), full.size());
        const std::string component = full.substr(at + 1, end - at - 1);
        WIN32_FIND_DATAA found{};
        const HANDLE listing = FindFirstFileA((stored + component).c_str(), &found);
        if (listing == INVALID_HANDLE_VALUE) {
            stored += component;
        } else {
            stored += found.cFileName;
            FindClose(listing);
        }
        if (end < full.size()) {
            stored += '\\';
        }
        at = end;
    }
    return stored;
}

// The directory with every link resolved; empty where the system cannot tell.
std::string Resolved(const std::string& full) {
    // FILE_FLAG_BACKUP_SEMANTICS: the only way to open a directory.
    const HANDLE directory =
        CreateFileA(full.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (directory == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string path(MAX_PATH * 4, '\0');
    const DWORD length = GetFinalPathNameByHandleA(
        directory, path.data(), static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED);
    CloseHandle(directory);
    if (length == 0 || length >= path.size()) {
        return {};
    }
    path.resize(length);
    // The system answers with the long-path forms "\\?\C:\..." and "\\?\UNC\server\...".
    if (path.rfind("\\\\?\\UNC\\", 0) == 0) {
        return "\\" + path.substr(7);
    }
    return path.rfind("\\\\?\\", 0) == 0 ? path.substr(4) : path;
}

std::string WithSeparator(std::string path) {
    if (!path.empty() && path.back() != '\\' && path.back() != '/') {
        path += '\\';
    }
    return path;
}

}  // namespace

std::vector<std::string> SpellingsOfDirectory(const std::string& argument) {
    const std::string full = FullPath(argument);
    const DWORD attributes =
        full.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(full.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return {};
    }
    std::vector<std::string> spellings{WithSeparator(StoredCase(full)), WithSeparator(full)};
    if (const std::string resolved = Resolved(full); !resolved.empty()) {
        spellings.push_back(WithSeparator(resolved));
    }
    // The drive letter in the other case: the system takes either, and keeps the one it is given.
    const std::size_t count = spellings.size();
    for (std::size_t i = 0; i < count; ++i) {
        std::string other = spellings[i];
        if (other.size() > 1 && other[1] == ':' &&
            std::isalpha(static_cast<unsigned char>(other[0]))) {
            const auto letter = static_cast<unsigned char>(other[0]);
            other[0] = static_cast<char>(std::isupper(letter) ? std::tolower(letter)
                                                              : std::toupper(letter));
            spellings.push_back(other);
        }
    }
    return spellings;
}

}  // namespace halvern::platform
