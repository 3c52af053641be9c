#include "platform/directory_listing.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstring>
#include <ctime>
#include <string_view>
#include <vector>

#include "platform/directory_identity.h"
#include "platform/posix/host_path.h"
#include "platform/posix/host_time.h"

namespace halvern::platform {

namespace {

// Attribute bits of the host platform's directory entries.
constexpr std::uint32_t kAttributeReadOnly = 0x01;
constexpr std::uint32_t kAttributeDirectory = 0x10;
constexpr std::uint32_t kAttributeNormal = 0x80;

std::uint32_t HostAttributes(const struct stat& info) {
    if (S_ISDIR(info.st_mode)) {
        return kAttributeDirectory;
    }
    // A file nobody may write is the nearest thing to the host's read-only attribute.
    const bool writable = (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    return writable ? kAttributeNormal : kAttributeReadOnly;
}

// Fills `entry` for one name of the open directory; false when the name does not fit the entry
// or cannot be looked at.
bool FillEntry(int directory, const std::string& native, FileEntry& entry) {
    const std::string name = HostText(native);
    if (name.size() >= sizeof entry.name) {
        return false;
    }
    struct stat info {};
    // A dangling symbolic link is still listed, with the details of the link itself.
    if (::fstatat(directory, native.c_str(), &info, 0) != 0 &&
        ::fstatat(directory, native.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return false;
    }
    std::memcpy(entry.name, name.c_str(), name.size() + 1);
    entry.attributes = HostAttributes(info);
    // The host lists a directory with size 0.
    entry.size =
        S_ISDIR(info.st_mode) || info.st_size < 0 ? 0 : static_cast<std::uint64_t>(info.st_size);
    // The status-change time is the closest a POSIX file system keeps to a creation time.
    entry.creationTime = HostTime(info.st_ctim);
    entry.lastAccessTime = HostTime(info.st_atim);
    entry.lastWriteTime = HostTime(info.st_mtim);
    return true;
}

}  // namespace

// The open directory and its matching names in the host platform's order, read at once: the
// order is the host's, not the file system's, so every name is read before the first is
// handed out. Each entry is looked at only when it is handed out.
struct DirectoryListing::State {
    int directory = -1;
    std::vector<DirectoryName> names;
    std::size_t next = 0;

    ~State() {
        if (directory >= 0) {
            ::close(directory);
        }
    }
};

DirectoryListing::DirectoryListing(const char* hostDirectory)
    : directory_(hostDirectory != nullptr ? hostDirectory : "") {
    RefuseUnlistable(hostDirectory);
}

DirectoryListing::~DirectoryListing() = default;

void DirectoryListing::Start() {
    if (started_) {
        return;
    }
    started_ = true;
    state_ = std::make_unique<State>();
    // An empty directory part names the current directory, as it does to the host platform.
    const std::string query = directory_.empty() ? std::string(".") : directory_;
    int& fd = state_->directory;
    const bool opened = WithNativePath(query.c_str(), [&fd](const char* native) {
        fd = ::open(native, O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
        return fd >= 0;
    });
    unreadable_ = !opened || !ReadSortedNames(fd, MatchesSceneryPattern, state_->names);
}

std::string DirectoryListing::Identity() {
    Start();
    struct stat info {};
    // The listing's own descriptor: no second look-up of the name.
    if (state_ != nullptr && state_->directory >= 0 && ::fstat(state_->directory, &info) == 0) {
        return IdentityKey(info.st_dev, info.st_ino);
    }
    return SpellingKey(directory_);
}

bool DirectoryListing::Next(FileEntry& entry) {
    Start();
    if (state_ == nullptr || unreadable_) {
        return false;
    }
    while (state_->next < state_->names.size()) {
        const DirectoryName& name = state_->names[state_->next++];
        if (FillEntry(state_->directory, name.native, entry)) {
            return true;
        }
    }
    return false;
}

}  // namespace halvern::platform
