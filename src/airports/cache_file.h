#pragma once

// The airport cache file, "HalvernCache.dat" in the simulator directory (format version 3):
// a 12-byte header (version i32, scenery fingerprint u32, record count N u32), then per record
// its 19-byte image, the name length L (u32, terminator included) and the L name bytes. All
// integers little-endian, no alignment. The readers and writers are AirportFinder::ReadCache
// and AirportFinder::WriteCache.

#include <cstdint>

namespace halvern {

inline constexpr const char* kCacheFileName = "HalvernCache.dat";
inline constexpr std::int32_t kCacheFormatVersion = 3;
inline constexpr std::uint32_t kCacheHeaderSize = 12;
// Names are read into a buffer of this size: L must be 1 to 1023.
inline constexpr std::uint32_t kCacheNameCapacity = 1024;

}  // namespace halvern
