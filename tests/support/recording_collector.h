#pragma once

// A collector that records every airport reported to it, for tests of the extraction.

#include <string>
#include <vector>

#include "airports/afd_info_collector.h"

namespace halvern::testing {

struct ReportedAirport {
    std::string name;
    double latitude;
    double longitude;
    double elevationMetres;
    std::string code;
};

class RecordingCollector : public AFDInfoCollector {
  public:
    void OnAirport(const char* name, double latitude, double longitude, double elevationMetres,
                   const char* code) override {
        airports.push_back({name, latitude, longitude, elevationMetres, code});
    }

    void Parse(const std::vector<unsigned char>& image) {
        ParseMappedFile(image.data(), image.size());
    }

    std::vector<ReportedAirport> airports;
};

}  // namespace halvern::testing
