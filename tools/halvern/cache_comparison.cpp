#include "halvern/cache_comparison.h"

#include <cstring>
#include <string>
#include <unordered_map>

namespace halvern::tool {

namespace {

// Every field of a record, as one text: equal texts, equal records.
std::string RecordKey(const AirportRecord& record) {
    std::string key(record.name);
    key += '\0';
    key.append(record.code, sizeof record.code);
    char numbers[sizeof record.latitude + sizeof record.longitude + sizeof record.elevation];
    std::memcpy(numbers, &record.latitude, sizeof record.latitude);
    std::memcpy(numbers + 4, &record.longitude, sizeof record.longitude);
    std::memcpy(numbers + 8, &record.elevation, sizeof record.elevation);
    key.append(numbers, sizeof numbers);
    return key;
}

}  // namespace

std::optional<CacheComparison> CompareCache(const char* path, const AirportFinder& scenery) {
    CacheComparison comparison;
    comparison.cache = std::make_unique<AirportFinder>();
    AirportFinder& cache = *comparison.cache;
    cache.SetSceneryFingerprint(scenery.SceneryFingerprint());
    if (!cache.ReadCache(path)) {
        return std::nullopt;
    }
    const std::int32_t cached = cache.RecordCount();
    const std::int32_t extracted = scenery.RecordCount();
    for (std::int32_t i = 0; i < cached || i < extracted; ++i) {
        if (i >= cached || i >= extracted ||
            RecordKey(cache.Record(i)) != RecordKey(scenery.Record(i))) {
            comparison.firstDifference = i;
            break;
        }
    }
    // The scenery's records by their fields, each run of equal ones in order.
    std::unordered_map<std::string, std::vector<std::int32_t>> byKey;
    for (std::int32_t i = extracted - 1; i >= 0; --i) {
        byKey[RecordKey(scenery.Record(i))].push_back(i);
    }
    comparison.cacheToScenery.assign(static_cast<std::size_t>(cached), -1);
    comparison.sceneryToCache.assign(static_cast<std::size_t>(extracted), -1);
    for (std::int32_t i = 0; i < cached; ++i) {
        const auto equal = byKey.find(RecordKey(cache.Record(i)));
        if (equal == byKey.end() || equal->second.empty()) {
            comparison.onlyInCache.push_back(i);
            continue;
        }
        const std::int32_t match = equal->second.back();
        equal->second.pop_back();
        comparison.cacheToScenery[static_cast<std::size_t>(i)] = match;
        comparison.sceneryToCache[static_cast<std::size_t>(match)] = i;
    }
    for (std::int32_t i = 0; i < extracted; ++i) {
        if (comparison.sceneryToCache[static_cast<std::size_t>(i)] < 0) {
            comparison.onlyInScenery.push_back(i);
        }
    }
    return comparison;
}

}  // namespace halvern::tool
