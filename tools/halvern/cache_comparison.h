#pragma once

// The cache file that the next start will read, held beside the airports an extraction gives
// now. The file has no checksum, and its fingerprint keys only the scenery files' paths, sizes
// and write times: a cache that passes every check may still hold other airports than the
// scenery (a file edited by hand, a scenery file rewritten with the same size and time). The
// module trusts it; the diagnostics compare it with a second source.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "airports/airport_finder.h"

namespace halvern::tool {

struct CacheComparison {
    // The records as the module reads them from the file.
    std::unique_ptr<AirportFinder> cache;
    // The first index at which the two lists hold different records (or one of them ends);
    // none when they are the same, record for record.
    std::optional<std::int32_t> firstDifference;
    // For each cache record the scenery record equal to it in every field (code, name,
    // position, elevation), or -1; and the other way round. Equal records pair in their order.
    std::vector<std::int32_t> cacheToScenery;
    std::vector<std::int32_t> sceneryToCache;
    std::vector<std::int32_t> onlyInCache;    // cache records without a scenery record, in order
    std::vector<std::int32_t> onlyInScenery;  // and the other way round
};

// Reads the cache file at `path` as the module does, for the fingerprint `scenery` carries, and
// compares it with `scenery`, in time linear in the records; none when the module would not read
// the file.
std::optional<CacheComparison> CompareCache(const char* path, const AirportFinder& scenery);

}  // namespace halvern::tool
