#pragma once

// The module's own collector: it leaves out the host's default areas and, for each accepted
// scenery file, either folds it into the finder's fingerprint (fingerprint pass) or extracts
// its airports into the finder (extraction pass), then tells the finder the file was scanned.

#include <cstdint>

#include "airports/afd_info_collector.h"
#include "airports/airport_finder.h"
#include "airports/scenery_file_list.h"

namespace halvern {

// The two passes of the scenery walk at start-up. Held in a byte; any value but kExtraction
// selects the fingerprint behaviour.
enum class SceneryPass : std::uint8_t { kExtraction = 0, kFingerprint = 1 };

class AirportFinder::My_AFDList : public AFDInfoCollector {
  public:
    // A fingerprinting collector given `accepted` also notes every file it accepts there, for an
    // extraction pass that may follow (BuildFromFiles).
    My_AFDList(AirportFinder& finderToFill, SceneryPass pass, SceneryFileList* accepted = nullptr)
        : fingerprintMode(pass), finder(finderToFill), acceptedFiles(accepted) {}
    ~My_AFDList() override = default;

    void ScanFile(const char* path, const platform::FileEntry& entry) override;
    void OnAirport(const char* name, double latitude, double longitude, double elevationMetres,
                   const char* code) override;

  private:
    SceneryPass fingerprintMode;
    AirportFinder& finder;
    SceneryFileList* acceptedFiles;  // null when the accepted files are not kept
};

}  // namespace halvern
