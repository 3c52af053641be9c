#include "platform/file_replacement.h"

#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "platform/path_limit.h"
#include "support/ascii_case.h"

namespace halvern::platform {

namespace {

std::uint64_t FileTimeValue(const FILETIME& time) {
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

}  // namespace

HostStream CreateNewHostFile(const char* hostPath, bool& exists) {
    exists = false;
    if (!FitsPathLimit(hostPath)) {
        return nullptr;
    }
    // CREATE_NEW fails on any existing name, a link included.
    const HANDLE file = CreateFileA(hostPath, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        exists = GetLastError() == ERROR_FILE_EXISTS;
        return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(file);
        DeleteFileA(hostPath);
        return nullptr;
    }
    std::FILE* stream = _fdopen(fd, "wb");
    if (stream == nullptr) {
        _close(fd);
        DeleteFileA(hostPath);
    }
    return HostStream(stream);
}

bool ReplaceHostFile(const char* from, const char* to) {
    if (!FitsPathLimit(from) || !FitsPathLimit(to)) {
        return false;
    }
    // Only a file or a link is replaced: a directory or device under the name stays what it is.
    const DWORD attributes = GetFileAttributesA(to);
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0 &&
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return false;
    }
    // A program that holds the old file open (a virus scanner, an indexer, a second writer
    // reading it) makes the replacement fail for a moment: it is tried again for about half a
    // second.
    constexpr int kAttempts = 10;
    constexpr DWORD kPause = 50;  // milliseconds
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0) {
            return true;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) {
            return false;
        }
        Sleep(kPause);
    }
    return false;
}

bool RemoveHostFile(const char* hostPath) {
    return FitsPathLimit(hostPath) && DeleteFileA(hostPath) != 0;
}

std::vector<NamedFile> FilesNamedLike(const char* hostDirectory, std::string_view prefix,
                                      std::string_view suffix) {
    std::vector<NamedFile> files;
    const std::string pattern = std::string(hostDirectory) + "*";
    if (!FitsPathLimit(pattern)) {
        return files;
    }
    WIN32_FIND_DATAA found{};
    const HANDLE listing = FindFirstFileA(pattern.c_str(), &found);
    if (listing == INVALID_HANDLE_VALUE) {
        return files;
    }
    do {
        const std::string_view name(found.cFileName);
        const DWORD kinds = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
        if ((found.dwFileAttributes & kinds) == 0 && name.size() >= prefix.size() + suffix.size() &&
            EqualIgnoringAsciiCase(name.substr(0, prefix.size()), prefix) &&
            EndsWithIgnoringAsciiCase(name, suffix)) {
            files.push_back({std::string(name), FileTimeValue(found.ftLastWriteTime)});
        }
    } while (FindNextFileA(listing, &found) != 0);
    FindClose(listing);
    return files;
}

std::uint64_t HostTimeNow() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return FileTimeValue(now);
}

std::uint32_t ProcessNumber() {
    return GetCurrentProcessId();
}

}  // namespace halvern::platform
