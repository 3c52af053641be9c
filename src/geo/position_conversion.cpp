#include "geo/position_conversion.h"

#include "geo/checked_conversion.h"
#include "geo/extended_truncation.h"
#include "geo/position_units.h"
#include "platform/extended_precision.h"

namespace halvern {

WorldPosition& CopyPosition(WorldPosition& destination, const WorldPosition& source) {
    destination = source;
    return destination;
}

namespace {

// One coordinate as its (fraction, integer) pair: the integer word from the floored product,
// the fraction word from the truncated product scaled by 2^32. For negative values the two
// agree: together they form the two's-complement fixed-point value.
void ToPair(double degrees, double unitsPerDegree, double scaledUnitsPerDegree,
            std::uint32_t& fraction, std::int32_t& integer) {
    const long double units = static_cast<long double>(degrees) * unitsPerDegree;
    const long double scaled = static_cast<long double>(degrees) * scaledUnitsPerDegree;
    // Read from the values' bits: the same words as FloorToInt64OrZero and
    // TruncateToInt64OrZero, without switching the x87 rounding mode twice for each.
    integer = static_cast<std::int32_t>(LowWord(FloorExtendedToInt64OrZero(units)));
    fraction = LowWord(TruncateExtendedToInt64OrZero(scaled));
}

}  // namespace

WorldPosition PositionFromDegrees(double latitude, double longitude) {
    platform::ExtendedPrecisionScope extended;
    return extended.Fenced(
        PositionFromDegreesUnguarded(extended.Fenced(latitude), extended.Fenced(longitude)));
}

WorldPosition PositionFromDegreesUnguarded(double latitude, double longitude) {
    WorldPosition position{};
    ToPair(latitude, kLatitudeUnitsPerDegree, kLatitudeScaledUnitsPerDegree,
           position.latitudeFraction, position.latitudeInteger);
    ToPair(longitude, kLongitudeUnitsPerDegree, kLongitudeScaledUnitsPerDegree,
           position.longitudeFraction, position.longitudeInteger);
    return position;
}

void PackPosition(const WorldPosition& position, PackedPosition& packed) {
    packed.latitudeFraction = static_cast<std::uint16_t>(position.latitudeFraction >> 16);
    packed.latitudeInteger = position.latitudeInteger;
    packed.longitudeFraction = static_cast<std::uint16_t>(position.longitudeFraction >> 16);
    packed.longitudeInteger = position.longitudeInteger;
    packed.altitudeFraction = static_cast<std::uint16_t>(position.altitudeFraction >> 16);
    packed.altitudeInteger = position.altitudeInteger;
}

}  // namespace halvern
