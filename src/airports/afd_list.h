#pragma once

// The module's own collector: it leaves out the host's default areas and, for each accepted
// scenery file, either folds it into the finder's fingerprint (fingerprint pass) or extracts
// its airports into the finder (extraction pass), then tells the finder the file was scanned.

#include <cstdint>

#include "airports/afd_info_collector.h"
#include "airports/airport_finder.h"

namespace halvern {

class AirportFinder::My_AFDList : public AFDInfoCollector {
  public:
    My_AFDList(AirportFinder& finderToFill, bool fingerprinting)
        : fingerprintMode(fingerprinting ? 1 : 0), finder(finderToFill) {}
    ~My_AFDList() override = default;

    void ScanFile(const char* path, const platform::FileEntry& entry) override;
    void OnAirport(const char* name, double latitude, double longitude, double elevationMetres,
                   const char* code) override;

  private:
    std::uint8_t fingerprintMode;  // any value but 0 selects the fingerprint behaviour
    AirportFinder& finder;
};

}  // namespace halvern
