#pragma once

// The module's own collector: it leaves out the host's default areas and, for each accepted
// scenery file, either folds it into the finder's fingerprint (fingerprint pass) or extracts
// its airports into the finder (extraction pass), then tells the finder the file was scanned.

#include <cstdint>

#include "airports/afd_info_collector.h"
#include "airports/airport_finder.h"
#include "airports/scenery_file_list.h"

namespace halvern {

class AirportFinder::My_AFDList : public AFDInfoCollector {
  public:
    // A fingerprinting collector given `accepted` also notes every file it accepts there, for an
    // extraction pass that may follow (BuildFromFiles).
    My_AFDList(AirportFinder& finderToFill, bool fingerprinting,
               SceneryFileList* accepted = nullptr)
        : fingerprintMode(fingerprinting ? 1 : 0), finder(finderToFill), acceptedFiles(accepted) {}
    ~My_AFDList() override = default;

    void ScanFile(const char* path, const platform::FileEntry& entry) override;
    void OnAirport(const char* name, double latitude, double longitude, double elevationMetres,
                   const char* code) override;

  private:
    std::uint8_t fingerprintMode;  // any value but 0 selects the fingerprint behaviour
    AirportFinder& finder;
    SceneryFileList* acceptedFiles;  // null when the accepted files are not kept
};

}  // namespace halvern
