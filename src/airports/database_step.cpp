#include "airports/database_step.h"

#include "airports/afd_list.h"
#include "airports/cache_file.h"
#include "airports/scenery_file_list.h"
#include "platform/name_lookup_scope.h"

namespace halvern {

std::string CachePath(const char* simulatorDir) {
    return std::string(simulatorDir) + kCacheFileName;
}

std::uint32_t FingerprintScenery(AirportFinder& finder, const char* simulatorDir,
                                 SceneryFileList* accepted, SceneryObserver* observer) {
    finder.SetSceneryFingerprint(0);
    AirportFinder::My_AFDList fingerprinting(finder, SceneryPass::kFingerprint, accepted);
    fingerprinting.Observe(observer);
    fingerprinting.EnumerateSceneryAreas(simulatorDir);
    return finder.SceneryFingerprint();
}

DatabaseSource RunDatabaseStep(AirportFinder& finder, const char* simulatorDir,
                               ScanProgress& progress, ExtractionObserver* observer) {
    // Both passes, the cache read and the write meet the same folders: a folder spelled in
    // another letter case than on the disk is looked for once.
    platform::NameLookupScope lookups;
    // The files the fingerprint pass accepted (and counted): an extraction pass reads them
    // without a second walk over the scenery.
    progress.filesScanned = 0;
    SceneryFileList accepted;
    FingerprintScenery(finder, simulatorDir, &accepted);
    accepted.Trim();
    progress.filesTotal = progress.filesScanned;
    return LoadDatabase(finder, simulatorDir, accepted, progress, observer, true);
}

DatabaseSource LoadDatabase(AirportFinder& finder, const char* simulatorDir,
                            SceneryFileList& accepted, ScanProgress& progress,
                            ExtractionObserver* observer, bool writeCache) {
    const std::string cachePath = CachePath(simulatorDir);
    if (finder.ReadCache(cachePath.c_str())) {
        return DatabaseSource::kCache;
    }
    progress.filesScanned = 0;
    if (observer != nullptr) {
        observer->BeginExtraction();
    }
    if (accepted.Complete()) {
        finder.BuildFromFiles(accepted);
    } else {
        finder.BuildFromScenery(simulatorDir);
    }
    accepted.Clear();
    // A database that lost airports for want of storage is not cached, so that no later start
    // trusts it; a cache that cannot be written is not reported. Either way the next start
    // extracts again.
    if (writeCache && finder.Complete()) {
        finder.WriteCache(cachePath.c_str());
    }
    if (observer != nullptr) {
        observer->EndExtraction();
    }
    return DatabaseSource::kScenery;
}

bool ProgressPercentMoved(std::int32_t filesScanned, std::int32_t filesTotal, int& percent) {
    if (filesTotal <= 0) {
        return false;
    }
    // 64-bit products: a count near the 32-bit limit times 100 must not overflow.
    const std::int64_t scanned = filesScanned;
    const std::int64_t before = (scanned - 1) * 100 / filesTotal;
    const std::int64_t now = scanned * 100 / filesTotal;
    if (before == now) {
        return false;
    }
    percent = now > INT32_MAX ? INT32_MAX : static_cast<int>(now);
    return true;
}

}  // namespace halvern
