#pragma once

// One entry of a directory listing, as the platform's listing returned it. Times count
// 100-nanosecond intervals since 1 January 1601; a directory's size is 0.

#include <cstdint>

namespace halvern::platform {

inline constexpr int kFileNameCapacity =
    260;  // the host platform's name limit, terminator included

struct FileEntry {
    char name[kFileNameCapacity];
    std::uint32_t attributes;
    std::uint64_t size;
    std::uint64_t creationTime;
    std::uint64_t lastAccessTime;
    std::uint64_t lastWriteTime;
};

}  // namespace halvern::platform
