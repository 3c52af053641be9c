#include "platform/directory_listing.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>
#include <cstring>

#include "platform/directory_identity.h"
#include "platform/path_limit.h"

namespace halvern::platform {

namespace {

std::uint64_t FileTimeValue(const FILETIME& time) {
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

// Fills `entry` from one result of the listing; false when the name does not fit the entry.
bool FillEntry(const WIN32_FIND_DATAA& found, FileEntry& entry) {
    // cFileName is terminated by the system; the bound only guards against a name without one.
    const void* end = std::memchr(found.cFileName, 0, sizeof found.cFileName);
    if (end == nullptr) {
        return false;
    }
    const auto length = static_cast<std::size_t>(static_cast<const char*>(end) - found.cFileName);
    if (length >= sizeof entry.name) {
        return false;
    }
    std::memcpy(entry.name, found.cFileName, length + 1);
    entry.attributes = found.dwFileAttributes;
    entry.size = (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
    entry.creationTime = FileTimeValue(found.ftCreationTime);
    entry.lastAccessTime = FileTimeValue(found.ftLastAccessTime);
    entry.lastWriteTime = FileTimeValue(found.ftLastWriteTime);
    return true;
}

}  // namespace

// The open find handle.
struct DirectoryListing::State {
    HANDLE handle = INVALID_HANDLE_VALUE;

    ~State() {
        if (handle != INVALID_HANDLE_VALUE) {
            FindClose(handle);
        }
    }
};

DirectoryListing::DirectoryListing(const char* hostDirectory)
    : directory_(hostDirectory != nullptr ? hostDirectory : "") {
    RefuseUnlistable(hostDirectory);
}

DirectoryListing::~DirectoryListing() = default;

void DirectoryListing::Start() {
    started_ = true;
}

std::string DirectoryListing::Identity() {
    // A find handle does not tell the directory it lists: the directory is opened by its name.
    return DirectoryIdentity(directory_.c_str());
}

bool DirectoryListing::Next(FileEntry& entry) {
    WIN32_FIND_DATAA found{};
    for (;;) {
        if (!started_) {
            Start();
            // The system's wildcard matching ignores letter case, so "*.bgl" also finds "X.BGL".
            const std::string query = directory_ + std::string(kSceneryFilePattern);
            // A missing directory, a path beyond the system's limit and a directory without a
            // match all come back as INVALID_HANDLE_VALUE; the error tells them apart.
            HANDLE listing = FindFirstFileA(query.c_str(), &found);
            if (listing == INVALID_HANDLE_VALUE) {
                // Only "no match" means the directory itself was read.
                unreadable_ = GetLastError() != ERROR_FILE_NOT_FOUND;
                return false;
            }
            state_ = std::make_unique<State>();
            state_->handle = listing;
        } else if (state_ == nullptr || !FindNextFileA(state_->handle, &found)) {
            return false;
        }
        if (FillEntry(found, entry)) {
            return true;
        }
    }
}

}  // namespace halvern::platform
