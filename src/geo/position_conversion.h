#pragma once

// Building host world positions from degrees, copying and packing them.

#include "geo/world_position.h"

namespace halvern {

// Copies all six words (the altitude pair included) and returns the destination.
WorldPosition& CopyPosition(WorldPosition& destination, const WorldPosition& source);

// The host position of a latitude and longitude in degrees, with zero altitude. The products
// are formed in extended precision whatever the caller's x87 setting. A coordinate that is NaN
// or whose scaled value lies outside the signed 64-bit range gives 0 for that word; at exactly
// +180 and -180 degrees of longitude the fraction word is therefore 0 and the integer words are
// 0x80000000 and 0x7FFFFFFF.
WorldPosition PositionFromDegrees(double latitude, double longitude);

// PositionFromDegrees without its own precision guard, for a caller that already holds a
// platform::ExtendedPrecisionScope around many conversions (the nearby query converts every
// record of the database under one scope). Outside such a scope the words may differ.
WorldPosition PositionFromDegreesUnguarded(double latitude, double longitude);

void PackPosition(const WorldPosition& position, PackedPosition& packed);

}  // namespace halvern
