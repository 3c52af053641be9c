#pragma once

// The start-up database step, shared by the module and the command-line tool: a fingerprint
// pass over the scenery that counts the accepted files, the cache file if it was written for
// the same scenery, and otherwise the extraction pass over the files the fingerprint pass
// accepted and a new cache file.

#include <cstdint>
#include <string>

#include "airports/airport_finder.h"
#include "airports/scenery_observer.h"

namespace halvern {

// The counters of the step. The finder's OnFileScanned override advances filesScanned (and
// may show progress against filesTotal); the step resets them between the passes.
struct ScanProgress {
    std::int32_t filesScanned = 0;
    std::int32_t filesTotal = 0;
};

// Told when the extraction pass begins and ends: the module shows its progress window for
// that time. Neither is called when the cache file is used.
class ExtractionObserver {
  public:
    virtual void BeginExtraction() = 0;
    virtual void EndExtraction() = 0;

  protected:
    ~ExtractionObserver() = default;
};

enum class DatabaseSource { kCache, kScenery };

// The cache file's path: the simulator directory (with its trailing separator) and the name.
std::string CachePath(const char* simulatorDir);

// The fingerprint pass: sets and returns the fingerprint of the scenery as a start would compute
// it now; `finder` is told of every accepted file (OnFileScanned), `accepted`, if given, notes
// each, and `observer`, if given, is told every area and every file of a default area. It reads
// only directory entries.
std::uint32_t FingerprintScenery(AirportFinder& finder, const char* simulatorDir,
                                 SceneryFileList* accepted = nullptr,
                                 SceneryObserver* observer = nullptr);

// Runs the step on `finder` for the simulator directory (host form, trailing separator).
DatabaseSource RunDatabaseStep(AirportFinder& finder, const char* simulatorDir,
                               ScanProgress& progress, ExtractionObserver* observer);

// The step after its fingerprint pass, once `finder` holds the fingerprint of this start and
// `progress` the count of accepted files: the cache file if it was written for that
// fingerprint; otherwise the extraction of the `accepted` files (of the scenery below
// `simulatorDir` where that list is incomplete) and, with `writeCache`, a new cache file.
DatabaseSource LoadDatabase(AirportFinder& finder, const char* simulatorDir,
                            SceneryFileList& accepted, ScanProgress& progress,
                            ExtractionObserver* observer, bool writeCache);

// The progress tick's percentage: true, with the new percentage, when counting file number
// `filesScanned` moves the truncated percentage of `filesTotal`.
bool ProgressPercentMoved(std::int32_t filesScanned, std::int32_t filesTotal, int& percent);

}  // namespace halvern
