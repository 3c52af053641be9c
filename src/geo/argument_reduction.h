#pragma once

// The reduction of an argument modulo pi/2 for the reproducible trigonometric functions:
// x = quadrant * pi/2 + r with |r| <= pi/4 (and a little), r in double-double arithmetic, exact
// enough for a correctly rounded result for every finite double.

#include "geo/double_double.h"

namespace halvern::rmath {

// pi/2 as double-double.
inline constexpr dd::Double2 kHalfPi{0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};

struct Reduced {
    dd::Double2 r;  // x - quadrant * pi/2, |r| <= pi/4 (and a little)
    int quadrant;   // modulo 4
};

// For finite x >= 0: Cody and Waite's reduction with pi/2 in four parts below 2^20, and above
// it Payne and Hanek's with the binary digits of 2/pi.
Reduced ReduceQuarterTurns(double x);

}  // namespace halvern::rmath
