#include "platform/directory_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstring>
#include <ctime>
#include <limits>
#include <string_view>

#include "platform/directory_identity.h"
#include "platform/posix/host_path.h"
#include "support/ascii_case.h"

namespace halvern::platform {

namespace {

// "*.bgl": the star matches any run of characters, none included, so ".bgl" itself matches.
constexpr std::string_view kSceneryExtension = ".bgl";

// Attribute bits of the host platform's directory entries.
constexpr std::uint32_t kAttributeReadOnly = 0x01;
constexpr std::uint32_t kAttributeDirectory = 0x10;
constexpr std::uint32_t kAttributeNormal = 0x80;

// The host platform counts time in 100-nanosecond intervals since 1 January 1601, which lies
// this many seconds before 1 January 1970.
constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;
constexpr std::uint64_t kIntervalsPerSecond = 10000000;
constexpr long kNanosecondsPerInterval = 100;
// The last second, counted from 1970, whose every interval still fits in 64 bits.
constexpr std::int64_t kLastRepresentableSecond =
    static_cast<std::int64_t>(std::numeric_limits<std::uint64_t>::max() / kIntervalsPerSecond) -
    kSecondsFrom1601To1970 - 1;

// A POSIX time in the host's count, its sub-second part included. Times before 1601 read as 0,
// times beyond the 64-bit count as its largest value.
std::uint64_t HostTime(const timespec& time) {
    const std::int64_t seconds = time.tv_sec;
    if (seconds < -kSecondsFrom1601To1970) {
        return 0;
    }
    if (seconds > kLastRepresentableSecond) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    const auto whole = static_cast<std::uint64_t>(seconds + kSecondsFrom1601To1970);
    const bool validFraction = time.tv_nsec >= 0 && time.tv_nsec < 1000000000;
    const auto intervals =
        validFraction ? static_cast<std::uint64_t>(time.tv_nsec / kNanosecondsPerInterval) : 0;
    return whole * kIntervalsPerSecond + intervals;
}

std::uint32_t HostAttributes(const struct stat& info) {
    if (S_ISDIR(info.st_mode)) {
        return kAttributeDirectory;
    }
    // A file nobody may write is the nearest thing to the host's read-only attribute.
    const bool writable = (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    return writable ? kAttributeNormal : kAttributeReadOnly;
}

// Fills `entry` for one name of the open directory; false when the name does not match the
// pattern, does not fit the entry, or cannot be looked at.
bool FillEntry(int directory, const char* name, FileEntry& entry) {
    const std::string_view view(name);
    if (view.size() >= sizeof entry.name || !EndsWithIgnoringAsciiCase(view, kSceneryExtension)) {
        return false;
    }
    struct stat info {};
    // A dangling symbolic link is still listed, with the details of the link itself.
    if (::fstatat(directory, name, &info, 0) != 0 &&
        ::fstatat(directory, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return false;
    }
    std::memcpy(entry.name, name, view.size() + 1);
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

// Opens the directory of a listing, once.
void OpenListing(const std::string& query, void*& handle, bool& started, bool& unreadable) {
    if (!started) {
        started = true;
        handle = ::opendir(query.c_str());
        unreadable = handle == nullptr;
    }
}

}  // namespace

std::string DirectoryListing::QueryFor(const char* hostDirectory) {
    std::string query = NativePath(hostDirectory);
    // An empty directory part names the current directory, as it does to the host platform.
    if (query.empty()) {
        query.push_back('.');
    }
    return query;
}

std::string DirectoryListing::Identity() {
    OpenListing(query_, handle_, started_, unreadable_);
    struct stat info {};
    // The listing's own descriptor: no second look-up of the name.
    if (handle_ != nullptr && ::fstat(::dirfd(static_cast<DIR*>(handle_)), &info) == 0) {
        return IdentityKey(info.st_dev, info.st_ino);
    }
    return SpellingKey(directory_);
}

DirectoryListing::~DirectoryListing() {
    if (handle_ != nullptr) {
        ::closedir(static_cast<DIR*>(handle_));
    }
}

bool DirectoryListing::Next(FileEntry& entry) {
    OpenListing(query_, handle_, started_, unreadable_);
    if (handle_ == nullptr) {
        return false;
    }
    DIR* directory = static_cast<DIR*>(handle_);
    while (const dirent* found = ::readdir(directory)) {
        if (FillEntry(::dirfd(directory), found->d_name, entry)) {
            return true;
        }
    }
    return false;
}

}  // namespace halvern::platform
