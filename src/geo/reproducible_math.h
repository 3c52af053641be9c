#pragma once

// Cosine, arc cosine and hypotenuse computed from IEEE basic operations only, in double-double
// arithmetic, so that the same inputs give the same bits on every platform, compiler and C
// runtime: no library call and no x87 transcendental instruction, whose last bits differ between
// runtimes and processor makers. The results are correctly rounded to nearest but for inputs
// whose exact result lies within about 2^-100 of a rounding boundary (none was met among the
// millions of inputs the tests compare with MPFR).

namespace halvern::rmath {

// cos(x) for every double x (NaN and infinities give NaN).
double Cos(double x);

// acos(x) in [0, pi] for x in [-1, 1]; NaN outside.
double Acos(double x);

// sqrt(x^2 + y^2) without overflow or underflow in between; infinity if either is infinite,
// otherwise NaN if either is NaN.
double Hypot(double x, double y);

}  // namespace halvern::rmath
