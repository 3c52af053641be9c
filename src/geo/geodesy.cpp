#include "geo/geodesy.h"

#include <cmath>

#include "geo/checked_conversion.h"
#include "geo/position_units.h"
#include "geo/reproducible_math.h"
#include "platform/extended_precision.h"

namespace halvern {

namespace {

// A pair read as one number of units; exact in extended precision (32 integer and 32 fraction
// bits fit the 64-bit significand).
long double PairValue(std::uint32_t fraction, std::int32_t integer) {
    return static_cast<long double>(integer) + static_cast<long double>(fraction) * kFractionUnit;
}

// The two legs of the flat-earth triangle from `from` to `to`, in degrees, each rounded to
// double as the host's arithmetic stores them.
struct Legs {
    double north;  // latitude difference
    double east;   // longitude difference scaled by the cosine of the mean latitude
};

Legs LegsBetween(const WorldPosition& from, const WorldPosition& to) {
    const long double latFrom = PairValue(from.latitudeFraction, from.latitudeInteger);
    const long double latTo = PairValue(to.latitudeFraction, to.latitudeInteger);
    const long double lonFrom = PairValue(from.longitudeFraction, from.longitudeInteger);
    const long double lonTo = PairValue(to.longitudeFraction, to.longitudeInteger);
    const auto meanLatitude = static_cast<double>(
        (latFrom * kLatitudeRadiansPerUnit + latTo * kLatitudeRadiansPerUnit) * 0.5L);
    const double cosine = rmath::Cos(meanLatitude);
    Legs legs{};
    legs.north =
        static_cast<double>(latTo * kLatitudeDegreesPerUnit - latFrom * kLatitudeDegreesPerUnit);
    legs.east = static_cast<double>(
        (lonTo * kLongitudeDegreesPerUnit - lonFrom * kLongitudeDegreesPerUnit) * cosine);
    return legs;
}

}  // namespace

long double PositionDistance(const WorldPosition& a, const WorldPosition& b) {
    platform::ExtendedPrecisionScope extended;
    return extended.Fenced(PositionDistanceUnguarded(a, b));
}

long double PositionDistanceUnguarded(const WorldPosition& a, const WorldPosition& b) {
    // Measured from b to a; the hypotenuse does not depend on the direction.
    const Legs legs = LegsBetween(b, a);
    const long double degrees = rmath::Hypot(legs.north, legs.east);
    return degrees * kMetresPerNauticalMile * kNauticalMilesPerDegree;
}

double PositionBearing(const WorldPosition& from, const WorldPosition& to) {
    platform::ExtendedPrecisionScope extended;
    const Legs legs = extended.Fenced(LegsBetween(from, to));
    const double hypotenuse = rmath::Hypot(legs.north, legs.east);
    if (hypotenuse == 0.0) {
        return 0.0;
    }
    // The hypotenuse is correctly rounded, so never below |north|; the clamp is a guard only.
    double cosine = legs.north / hypotenuse;
    cosine = cosine > 1.0 ? 1.0 : (cosine < -1.0 ? -1.0 : cosine);
    const double bearing = rmath::Acos(cosine) * kDegreesPerRadian;
    // Targets west of the meridian of `from` lie on the far half of the circle; exactly on the
    // meridian counts as east, so due north is 0 and due south 180.
    return legs.east < 0.0 ? 360.0 - bearing : bearing;
}

int MagneticBearing(double trueBearing, std::uint16_t variationWord) {
    const double variation = static_cast<double>(variationWord) * 360.0 * (1.0 / 65536.0);
    const double magnetic = trueBearing - variation;
    int degrees = TruncateToInt32Saturated(magnetic + 360.0) % 360;
    // Only a bearing outside 0..360 (never produced by PositionBearing) can land below zero.
    if (degrees < 0) {
        degrees += 360;
    }
    return degrees;
}

}  // namespace halvern
