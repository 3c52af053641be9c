#include "halvern/module_spelling.h"

#include <string_view>

#include "airports/cache_file.h"
#include "airports/default_areas.h"
#include "airports/scenery_areas.h"
#include "airports/scenery_fingerprint.h"
#include "platform/directory_spellings.h"
#include "platform/native_path.h"
#include "platform/path_limit.h"

namespace halvern::tool {

void WalkRecord::OnArea(const SceneryArea& area) {
    areas_.push_back({area.source, area.local != nullptr ? area.local : "", area.directory, {}});
}

void WalkRecord::OnFile(const char* path, const platform::FileEntry& entry) {
    if (areas_.empty()) {
        return;
    }
    // The walk composes each path as the area directory followed by the entry's name.
    Area& area = areas_.back();
    const std::string_view full(path);
    const std::string_view name =
        full.substr(full.size() <= area.directory.size() ? 0 : area.directory.size());
    area.files.push_back({std::string(name), entry});
}

std::uint32_t WalkRecord::FingerprintUnder(const std::string& simulatorDir) const {
    std::uint32_t fingerprint = 0;
    std::string path;
    for (const Area& area : areas_) {
        const std::string directory = AreaDirectory(area.source, simulatorDir, area.local.c_str());
        // A listing beyond the path limit lists nothing under this spelling.
        if (area.files.empty() || !platform::ListingFitsPathLimit(directory)) {
            continue;
        }
        for (const File& file : area.files) {
            path = directory;
            path += file.name;
            if (!IsInDefaultArea(path)) {
                fingerprint = FoldFingerprint(fingerprint, path, file.entry);
            }
        }
    }
    return fingerprint;
}

ModuleSpelling FindModuleSpelling(const std::string& typed, const std::optional<std::string>& given,
                                  const WalkRecord& walk, const std::string& cachePath) {
    ModuleSpelling spelling;
    if (given) {
        spelling.directory = platform::HostPathFromNative(*given);
        if (spelling.directory.empty() || spelling.directory.back() != '\\') {
            spelling.directory += '\\';
        }
        spelling.basis = SpellingBasis::kGiven;
        spelling.candidates = {spelling.directory};
        spelling.fingerprint = walk.FingerprintUnder(spelling.directory);
        return spelling;
    }
    spelling.candidates = platform::DirectorySpellings(typed);
    if (spelling.candidates.empty()) {
        std::string host = platform::HostPathFromNative(typed);
        if (host.empty() || host.back() != '\\') {
            host += '\\';
        }
        spelling.candidates.push_back(host);
    }
    // The stored letter case, unless the cache proves another.
    spelling.directory = spelling.candidates.front();
    spelling.fingerprint = walk.FingerprintUnder(spelling.directory);
    const CacheInspection cache = InspectCache(cachePath.c_str(), spelling.fingerprint);
    // Only a header the module would read tells the fingerprint it was written for.
    if (cache.size < kCacheHeaderSize || cache.version != kCacheFormatVersion) {
        spelling.basis = SpellingBasis::kNoCache;
        return spelling;
    }
    for (const std::string& candidate : spelling.candidates) {
        // The cache file of a spelling lies within the path limit, or no start wrote it.
        const std::uint32_t fingerprint = walk.FingerprintUnder(candidate);
        if (fingerprint == cache.fingerprint &&
            platform::FitsPathLimit(candidate + kCacheFileName)) {
            spelling.directory = candidate;
            spelling.fingerprint = fingerprint;
            spelling.basis = SpellingBasis::kCacheMatch;
            return spelling;
        }
    }
    spelling.basis = SpellingBasis::kNoMatch;
    return spelling;
}

}  // namespace halvern::tool
