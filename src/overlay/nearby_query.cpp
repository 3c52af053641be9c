// The nearby airport query: the part of AirportFinder that the overlay drives.

#include <cstring>

#include "airports/airport_finder.h"
#include "geo/geodesy.h"
#include "geo/position_conversion.h"
#include "platform/extended_precision.h"

namespace halvern {

namespace {

// Codes are compared over at most four characters, stopping after the first zero: "AB" and
// "ABC" differ, two empty codes are equal, and bytes after a code's terminator never count.
bool SameCode(const char (&a)[5], const char (&b)[5]) {
    return std::strncmp(a, b, 4) == 0;
}

}  // namespace

void AirportFinder::FindNearbyAirports(const WorldPosition& position, double limitMetres) {
    nearbyCount = 0;
    // One precision guard for the whole walk instead of two per record.
    platform::ExtendedPrecisionScope extended;
    for (std::int32_t i = 0; i < recordCount; ++i) {
        const AirportRecord& record = records[i];
        const WorldPosition at = PositionFromDegreesUnguarded(
            static_cast<double>(record.latitude), static_cast<double>(record.longitude));
        const auto metres = static_cast<double>(PositionDistanceUnguarded(position, at));
        // An airport exactly at the limit is listed.
        if (metres > limitMetres) {
            continue;
        }
        // The first airport of a code in database order wins, however far it is.
        bool listed = false;
        for (std::int32_t j = 0; j < nearbyCount && !listed; ++j) {
            listed = SameCode(records[nearbyIndices[j]].code, record.code);
        }
        if (listed) {
            continue;
        }
        // When the list cannot grow it keeps the airports found so far.
        if (!AppendNearby(i)) {
            return;
        }
    }
}

}  // namespace halvern
