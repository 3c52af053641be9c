#pragma once

// Flat-earth (equirectangular) distance and bearing between host positions: one degree counts
// as 60 nautical miles, and longitude differences are scaled by the cosine of the mean latitude.
// Longitude differences are not reduced into +-180 degrees, so points either side of the 180th
// meridian lie almost a full turn apart.

#include <cstdint>

#include "geo/world_position.h"

namespace halvern {

// Distance in metres, in extended precision; symmetric in its arguments.
long double PositionDistance(const WorldPosition& a, const WorldPosition& b);

// PositionDistance without its own precision guard, for a caller that already holds a
// platform::ExtendedPrecisionScope around many measurements (the nearby query measures every
// record of the database under one scope). Outside such a scope the result may differ.
long double PositionDistanceUnguarded(const WorldPosition& a, const WorldPosition& b);

// True bearing in degrees from `from` to `to`, 0 up to 360 (0 for equal positions).
double PositionBearing(const WorldPosition& from, const WorldPosition& to);

// Whole degrees 0..359: the true bearing less the magnetic variation (65536 units to the turn),
// truncated.
int MagneticBearing(double trueBearing, std::uint16_t variationWord);

}  // namespace halvern
