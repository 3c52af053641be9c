// The nearby airport query: the part of AirportFinder that the overlay drives.
//
// The query keeps, in database order, every airport within the limit whose code is not yet
// listed. Two shortcuts skip work without changing any result:
//   - a latitude band: the distance is never less than the latitude difference at 111120 m a
//     degree, so an airport whose latitude lies farther from the query's than the limit (and a
//     margin far above every rounding involved) cannot pass the distance test, and is passed over
//     before its position is converted and measured;
//   - a filter of the codes listed so far: a code whose bit is clear cannot be in the list, so
//     the list is searched only when the bit is set.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "airports/airport_finder.h"
#include "geo/geodesy.h"
#include "geo/position_conversion.h"
#include "geo/position_units.h"
#include "platform/extended_precision.h"

namespace halvern {

namespace {

// Codes are compared over at most four characters, stopping after the first zero: "AB" and
// "ABC" differ, two empty codes are equal, and bytes after a code's terminator never count.
bool SameCode(const char (&a)[5], const char (&b)[5]) {
    return std::strncmp(a, b, 4) == 0;
}

// The latitudes, in degrees, outside which no airport can lie within the limit.
class LatitudeBand {
  public:
    LatitudeBand(const WorldPosition& position, double limitMetres) {
        const long double units =
            static_cast<long double>(position.latitudeInteger) +
            static_cast<long double>(position.latitudeFraction) * kFractionUnit;
        const auto centre = static_cast<double>(units * kLatitudeDegreesPerUnit);
        // The distance test compares against the limit after converting each airport to host
        // units, which may land up to one unit (9e-6 degree) from its latitude, and rounds a few
        // times in double; the margin of 1e-3 degree (111 m) covers that many times over. A NaN
        // limit, which keeps every airport, gives NaN edges that exclude nothing (comparisons
        // with NaN are false); an infinite one gives infinite edges.
        const double halfWidth = limitMetres / kMetresPerDegree * (1 + 1e-9) + kMarginDegrees;
        south_ = centre - halfWidth;
        north_ = centre + halfWidth;
    }

    // True when an airport at this latitude cannot lie within the limit. Only latitudes that the
    // conversion to host units keeps in order (within +-1000 degrees, far below where its words
    // wrap) are judged; any other value, NaN included, is left to the full test.
    bool Excludes(float latitude) const {
        const double degrees = latitude;
        return (degrees < south_ || degrees > north_) && std::fabs(degrees) <= kLargestJudged;
    }

  private:
    static constexpr double kMetresPerDegree = 111120.0;  // 60 nautical miles of 1852 m
    static constexpr double kMarginDegrees = 1e-3;
    static constexpr double kLargestJudged = 1000.0;

    double south_ = -std::numeric_limits<double>::infinity();
    double north_ = std::numeric_limits<double>::infinity();
};

// A one-sided filter of the codes in the list: one bit per hash of a code, cleared for every
// query. Equal codes (as SameCode compares them) always hash alike.
class ListedCodes {
  public:
    ListedCodes() { std::memset(bits_, 0, sizeof bits_); }

    void Add(const char (&code)[5]) {
        const std::uint32_t bit = Bit(code);
        bits_[bit / 64] |= std::uint64_t{1} << (bit % 64);
    }

    // False only when no listed code equals this one.
    bool MayHold(const char (&code)[5]) const {
        const std::uint32_t bit = Bit(code);
        return (bits_[bit / 64] >> (bit % 64) & 1) != 0;
    }

  private:
    static constexpr std::uint32_t kBitsLog2 = 14;

    // The code as SameCode sees it: its first four characters, those after a zero taken as zero.
    static std::uint32_t Bit(const char (&code)[5]) {
        std::uint32_t key = 0;
        for (int i = 0; i < 4 && code[i] != '\0'; ++i) {
            key |= static_cast<std::uint32_t>(static_cast<unsigned char>(code[i])) << (8 * i);
        }
        return (key * 0x9E3779B1u) >> (32 - kBitsLog2);
    }

    std::uint64_t bits_[(std::uint32_t{1} << kBitsLog2) / 64];
};

}  // namespace

void AirportFinder::FindNearbyAirports(const WorldPosition& position, double limitMetres) {
    nearbyCount = 0;
    // One precision guard for the whole walk instead of two per record.
    platform::ExtendedPrecisionScope extended;
    const LatitudeBand band(position, limitMetres);
    ListedCodes listedCodes;
    for (std::int32_t i = 0; i < recordCount; ++i) {
        const AirportRecord& record = records[i];
        if (band.Excludes(record.latitude)) {
            continue;
        }
        const WorldPosition at = PositionFromDegreesUnguarded(
            static_cast<double>(record.latitude), static_cast<double>(record.longitude));
        const auto metres = static_cast<double>(PositionDistanceUnguarded(position, at));
        // An airport exactly at the limit is listed.
        if (metres > limitMetres) {
            continue;
        }
        // The first airport of a code in database order wins, however far it is.
        bool listed = false;
        if (listedCodes.MayHold(record.code)) {
            for (std::int32_t j = 0; j < nearbyCount && !listed; ++j) {
                listed = SameCode(records[nearbyIndices[j]].code, record.code);
            }
        }
        if (listed) {
            continue;
        }
        // When the list cannot grow it keeps the airports found so far.
        if (!AppendNearby(i)) {
            return;
        }
        listedCodes.Add(record.code);
    }
}

}  // namespace halvern
