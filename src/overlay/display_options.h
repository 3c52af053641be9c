#pragma once

// What each overlay line shows: a bit set chosen in the options dialog and kept in the
// settings. Only these six bits have a meaning; the pieces of a line follow the order of
// ComposeOverlayLine, not the order of the bits.

#include <cstdint>

namespace halvern {

inline constexpr std::int32_t kShowName = 0x01;
inline constexpr std::int32_t kShowCode = 0x02;
inline constexpr std::int32_t kShowDistance = 0x04;
inline constexpr std::int32_t kShowMagneticBearing = 0x08;
inline constexpr std::int32_t kShowElevation = 0x10;
inline constexpr std::int32_t kShowTrueBearing = 0x20;

// Name, distance and magnetic bearing.
inline constexpr std::int32_t kDefaultDisplayOptions =
    kShowName | kShowDistance | kShowMagneticBearing;
static_assert(kDefaultDisplayOptions == 13);

}  // namespace halvern
