#pragma once

// The airport cache file, "HalvernCache.dat" in the simulator directory (format version 3):
// a 12-byte header (version i32, scenery fingerprint u32, record count N u32), then per record
// its 19-byte image, the name length L (u32, terminator included) and the L name bytes. All
// integers little-endian, no alignment.

#include <cstdint>
#include <functional>

namespace halvern {

class AirportFinder;

inline constexpr const char* kCacheFileName = "HalvernCache.dat";
inline constexpr std::int32_t kCacheFormatVersion = 3;
inline constexpr std::uint32_t kCacheHeaderSize = 12;
// Names are read into a buffer of this size: L must be 1 to 1023.
inline constexpr std::uint32_t kCacheNameCapacity = 1024;

// What a cache file holds, as a diagnostic tells it: whether the next start can use it.
enum class CacheState {
    kAbsent,        // there is no file
    kUnreadable,    // it exists but cannot be opened or read
    kNotRegular,    // its name is a directory, FIFO or device, which is never opened
    kNoRecords,     // its header counts no records: the module writes such a file for scenery
                    // without airports, and never reads it
    kOtherVersion,  // its header names another format version
    kOtherScenery,  // it was written for another scenery fingerprint
    kDamaged,       // its header or an entry is not as the format requires (see damagedAt)
    kValid,         // the next start reads it and does not extract
};

struct CacheInspection {
    CacheState state = CacheState::kAbsent;
    std::uint64_t size = 0;         // the file's length in bytes
    std::int32_t version = 0;       // from the header, once it could be read
    std::uint32_t fingerprint = 0;  // from the header, once it could be read
    std::uint32_t recordCount = 0;  // from the header, once it could be read
    std::uint64_t damagedAt = 0;    // kDamaged: the offset of the header or entry that fails
    const char* damage = "";        // kDamaged: what fails there, in a few words
};

// Writes the finder's records to the cache file at `path` whole or not at all: into a new file
// beside it ("HalvernCache.dat.<writer>.tmp"), which then takes the cache's place (a link there is
// replaced, not followed; a cache of the name in another letter case is the one replaced).
// Where no new file can be made there, the cache is rewritten in place. `step`, if given, is
// called before each record is written with its index, and with the record count once the last
// is written, before the new file takes the cache's place: a test stops a writer there.
// AirportFinder::WriteCache is this without a step.
using CacheWriteStep = std::function<void(std::int32_t record)>;
bool WriteCacheFile(const AirportFinder& finder, const char* path, const CacheWriteStep& step);

// Checks the file at `path` as the module's read does, against the current scenery fingerprint,
// without keeping any record. The read and the write are AirportFinder::ReadCache and
// WriteCache, which live with the format in cache_file.cpp.
CacheInspection InspectCache(const char* path, std::uint32_t sceneryFingerprint);

}  // namespace halvern
