#pragma once

// An airport database whose nearby list and codes the tests can set directly, and helpers that
// place airports at known distances.

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "airports/airport_finder.h"

namespace halvern::testing {

class TestFinder : public AirportFinder {
  public:
    void SetNearby(std::initializer_list<std::int32_t> indices) {
        nearby.Clear();
        for (const std::int32_t index : indices) {
            nearby.Append(index);
        }
    }

    // Replaces all five code bytes, including bytes after the terminator that AddAirport
    // would never leave.
    void SetCodeBytes(std::int32_t index, const char (&bytes)[5]) {
        std::memcpy(records[index].code, bytes, sizeof bytes);
    }

    std::vector<std::int32_t> Nearby() const {
        return std::vector<std::int32_t>(NearbyIndices(), NearbyIndices() + NearbyCount());
    }
};

// One degree counts as 60 nautical miles of 1852 m.
inline constexpr double kMetresPerDegree = 111120.0;

// Degrees of latitude north of the equator at which an airport lies `metres` from 0N 0E.
inline double DegreesForMetres(double metres) {
    return metres / kMetresPerDegree;
}

// A distinct four-letter code for each index below 26^4.
inline std::string CodeFor(int index) {
    std::string code(4, 'A');
    for (int i = 3; i >= 0; --i) {
        code[static_cast<std::size_t>(i)] = static_cast<char>('A' + index % 26);
        index /= 26;
    }
    return code;
}

}  // namespace halvern::testing
