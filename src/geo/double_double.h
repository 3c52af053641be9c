#pragma once

// Double-double arithmetic: a value held as the unevaluated sum hi + lo of two doubles, with
// |lo| at most half an ulp of hi, about 106 bits of significand. Built from IEEE basic operations
// only (addition, multiplication, division and square root, each correctly rounded), so that it
// gives the same bits on every processor and compiler that rounds double operations to double,
// as SSE2 and every 64-bit x86 do. Products are split by Veltkamp's method rather than a fused
// multiply-add, which not every target has; the build keeps the compiler from contracting
// a * b + c into one (-ffp-contract=off).

#include <cmath>

namespace halvern::dd {

struct Double2 {
    double hi = 0;
    double lo = 0;
};

// a + b exactly, for |a| >= |b| or a == 0.
// The integer nearest to v (ties to even), for |v| < 2^51: adding and taking away 1.5 * 2^52
// leaves no fraction bits; no library call.
inline double NearestInteger(double v) {
    constexpr double kShifter = 0x1.8p+52;
    return (v + kShifter) - kShifter;
}

inline Double2 FastTwoSum(double a, double b) {
    const double sum = a + b;
    return {sum, b - (sum - a)};
}

// a + b exactly, for any a and b.
inline Double2 TwoSum(double a, double b) {
    const double sum = a + b;
    const double bPart = sum - a;
    return {sum, (a - (sum - bPart)) + (b - bPart)};
}

// a split into two halves of 26 bits each, so that products of halves are exact (|a| < 2^995).
inline Double2 Split(double a) {
    const double scaled = 134217729.0 * a;  // 2^27 + 1
    const double high = scaled - (scaled - a);
    return {high, a - high};
}

// a * b exactly (Dekker), barring overflow and underflow.
inline Double2 TwoProduct(double a, double b) {
    const double product = a * b;
    const Double2 sa = Split(a);
    const Double2 sb = Split(b);
    const double error =
        ((sa.hi * sb.hi - product) + sa.hi * sb.lo + sa.lo * sb.hi) + sa.lo * sb.lo;
    return {product, error};
}

inline Double2 Add(Double2 a, Double2 b) {
    Double2 s = TwoSum(a.hi, b.hi);
    const Double2 t = TwoSum(a.lo, b.lo);
    s.lo += t.hi;
    s = FastTwoSum(s.hi, s.lo);
    s.lo += t.lo;
    return FastTwoSum(s.hi, s.lo);
}

inline Double2 Negated(Double2 a) {
    return {-a.hi, -a.lo};
}

inline Double2 Subtract(Double2 a, Double2 b) {
    return Add(a, Negated(b));
}

inline Double2 Multiply(Double2 a, Double2 b) {
    Double2 p = TwoProduct(a.hi, b.hi);
    p.lo += a.hi * b.lo + a.lo * b.hi;
    return FastTwoSum(p.hi, p.lo);
}

inline Double2 Multiply(Double2 a, double b) {
    Double2 p = TwoProduct(a.hi, b);
    p.lo += a.lo * b;
    return FastTwoSum(p.hi, p.lo);
}

// a / b by three quotient digits.
inline Double2 Divide(Double2 a, Double2 b) {
    const double q1 = a.hi / b.hi;
    Double2 r = Subtract(a, Multiply(b, q1));
    const double q2 = r.hi / b.hi;
    r = Subtract(r, Multiply(b, q2));
    const double q3 = r.hi / b.hi;
    return Add(FastTwoSum(q1, q2), Double2{q3, 0});
}

// a / b by two quotient digits, the remainder of the first formed exactly: about 2^-104 of the
// quotient, a third of Divide's work.
inline Double2 QuickDivide(Double2 a, Double2 b) {
    const double q1 = a.hi / b.hi;
    const Double2 p = TwoProduct(q1, b.hi);
    const double remainder = ((a.hi - p.hi) - p.lo + a.lo) - q1 * b.lo;
    return FastTwoSum(q1, remainder / b.hi);
}

// The square root of a >= 0 by one correction of the double square root.
inline Double2 SquareRoot(Double2 a) {
    if (a.hi <= 0) {
        return {0, 0};
    }
    const double root = std::sqrt(a.hi);
    const Double2 square = TwoProduct(root, root);
    const double correction = (((a.hi - square.hi) - square.lo) + a.lo) / (2.0 * root);
    return FastTwoSum(root, correction);
}

}  // namespace halvern::dd
