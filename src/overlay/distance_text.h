#pragma once

// The overlay's reach as the user types it in the options dialog.

#include <cstdint>

namespace halvern {

inline constexpr std::int32_t kMinimumMaxDistance = 1;
inline constexpr std::int32_t kMaximumMaxDistance = 250;

// Reads one decimal integer the way "%d" does: leading blanks skipped, an optional sign, then
// digits up to the first other character. -1 when there is no number. A number beyond the
// 32-bit range reads as the nearest end of that range, which the dialog then refuses as out of
// range.
std::int32_t ParseDistanceText(const char* text);

}  // namespace halvern
