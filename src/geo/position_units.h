#pragma once

// The constants of the host's position units. Each is the double the host's arithmetic uses;
// products with them are formed in extended precision by the callers.

namespace halvern {

// Latitude: 10001750 units from the equator to a pole.
inline constexpr double kLatitudeUnitsPerDegree = 111130.55555555556;        // 10001750 / 90
inline constexpr double kLatitudeScaledUnitsPerDegree = 477302101697422.25;  // the above * 2^32
inline constexpr double kLatitudeDegreesPerUnit = 8.998425275576774e-6;      // 90 / 10001750
inline constexpr double kLatitudeRadiansPerUnit = 1.5705214855349278e-7;     // (pi/2) / 10001750

// Longitude: 2^32 units to the full turn.
inline constexpr double kLongitudeUnitsPerDegree = 11930464.711111112;         // 2^32 / 360
inline constexpr double kLongitudeScaledUnitsPerDegree = 51240955760304312.0;  // ~ 2^64 / 360
inline constexpr double kLongitudeDegreesPerUnit = 8.381903171539307e-8;       // 360 / 2^32

// The fraction word counts 2^-32 of a unit.
inline constexpr long double kFractionUnit = 2.3283064365386963e-10L;  // 2^-32, exact

// Distances count one degree as 60 nautical miles of 1852 metres.
inline constexpr long double kMetresPerNauticalMile = 1852.0L;
inline constexpr long double kNauticalMilesPerDegree = 60.0L;

inline constexpr double kDegreesPerRadian = 57.29577951308232;  // 180 / pi

}  // namespace halvern
