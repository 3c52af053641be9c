#pragma once

// Composition of one overlay line: the airport's name and/or code, its distance in nautical
// miles, its magnetic and/or true bearing and its elevation, as the display options choose.
// Runs for every shown airport on every host event, so it writes into the caller's fixed buffer
// and allocates nothing.

#include <cstddef>
#include <cstdint>

#include "airports/airport_record.h"

namespace halvern {

// The line buffer: 255 characters and the terminating zero.
inline constexpr std::size_t kOverlayLineSize = 256;
inline constexpr std::size_t kOverlayLineMaxLength = kOverlayLineSize - 1;

// The airport as measured from the aircraft. Only the figures that the options show are read.
struct LineFigures {
    long double distanceMetres = 0;   // PositionDistance, aircraft to airport
    double trueBearing = 0;           // PositionBearing, aircraft to airport, degrees
    std::uint16_t variationWord = 0;  // magnetic variation, 65536 units to the turn
};

// Whole nautical miles of a distance in metres, truncated: the metres times the double nearest
// 1/1852 (a little above it, so that exact multiples of 1852 m give their whole number), formed
// in extended precision. Saturates at the 32-bit range.
std::int32_t WholeNauticalMiles(long double metres);

// Composes the line for `record` into `line` and returns its length. The pieces, each only when
// its option bit is set, in this fixed order:
//   name:      the name and a blank;
//   code:      "(%s) " after a name, otherwise "%s ";
//   distance:  "%d NM ";
//   magnetic:  "@ %03d ";
//   true:      "(%03d true)" after a magnetic bearing, otherwise "@ %03d ";
//   elevation: " %d MSL".
// A line that would exceed 255 characters is cut there; then one trailing blank, if any, is
// dropped. The true bearing is truncated toward zero (not reduced modulo 360) by a checked
// conversion that saturates instead of overflowing.
std::size_t ComposeOverlayLine(const AirportRecord& record, const LineFigures& figures,
                               std::int32_t options, char (&line)[kOverlayLineSize]);

}  // namespace halvern
