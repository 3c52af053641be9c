#include "geo/reproducible_math.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "geo/argument_reduction.h"
#include "geo/double_double.h"

namespace halvern::rmath {

namespace {

using dd::Double2;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// pi as double-double (pi/2: argument_reduction.h).
constexpr Double2 kPi{0x1.921fb54442d18p+1, 0x1.1a62633145c07p-53};

// The step of the tables: sin, cos and atan are tabulated at multiples of 1/64.
constexpr double kStep = 64.0;
constexpr int kSineEntries = 52;        // up to 51/64 > pi/4
constexpr int kArcTangentEntries = 65;  // up to 1

Double2 Sum(Double2 a, double b) {
    return dd::Add(a, Double2{b, 0});
}

// sum over n of coefficient[n] * t^n for the even or odd powers, by Horner's rule in t^2.
Double2 Series(const Double2* coefficients, int count, Double2 tSquared) {
    Double2 sum = coefficients[count - 1];
    for (int i = count - 2; i >= 0; --i) {
        sum = dd::Add(dd::Multiply(sum, tSquared), coefficients[i]);
    }
    return sum;
}

struct Tables {
    // 1/n! with alternating signs: cosine[i] = (-1)^i / (2i)!, sine[i] = (-1)^i / (2i+1)!.
    static constexpr int kTerms = 16;
    Double2 cosine[kTerms];
    Double2 sine[kTerms];
    // (-1)^i / (2i+1), the arc tangent's series.
    static constexpr int kArcTerms = 40;
    Double2 arcTangent[kArcTerms];
    Double2 sinAt[kSineEntries];
    Double2 cosAt[kSineEntries];
    Double2 atanAt[kArcTangentEntries];

    Tables() {
        Double2 factorial{1, 0};
        for (int n = 1; n <= 2 * kTerms; ++n) {
            factorial = dd::Multiply(factorial, static_cast<double>(n));
            const Double2 reciprocal = dd::Divide(Double2{1, 0}, factorial);
            const bool negative = ((n / 2) % 2) == 1;
            if (n % 2 == 0 && n / 2 < kTerms) {
                cosine[n / 2] = negative ? dd::Negated(reciprocal) : reciprocal;
            } else if (n % 2 == 1 && n / 2 < kTerms) {
                sine[n / 2] = negative ? dd::Negated(reciprocal) : reciprocal;
            }
        }
        cosine[0] = {1, 0};
        for (int i = 0; i < kArcTerms; ++i) {
            const Double2 reciprocal =
                dd::Divide(Double2{1, 0}, Double2{static_cast<double>(2 * i + 1), 0});
            arcTangent[i] = i % 2 == 1 ? dd::Negated(reciprocal) : reciprocal;
        }
        // The tabulated points lie below 0.8: the full series converge there.
        for (int j = 0; j < kSineEntries; ++j) {
            const Double2 a{j / kStep, 0};
            const Double2 a2 = dd::Multiply(a, a);
            cosAt[j] = Series(cosine, kTerms, a2);
            sinAt[j] = dd::Multiply(Series(sine, kTerms, a2), a);
        }
        // atan(c) = 2 atan(c / (1 + sqrt(1 + c^2))): three halvings bring c <= 1 below 0.05,
        // where the series converges fast enough.
        for (int j = 0; j < kArcTangentEntries; ++j) {
            Double2 c{j / kStep, 0};
            for (int halving = 0; halving < 3; ++halving) {
                const Double2 root = dd::SquareRoot(Sum(dd::Multiply(c, c), 1.0));
                c = dd::Divide(c, Sum(root, 1.0));
            }
            const Double2 value =
                dd::Multiply(Series(arcTangent, kArcTerms, dd::Multiply(c, c)), c);
            atanAt[j] = dd::Multiply(value, 8.0);
        }
    }
};

const Tables& TheTables() {
    static const Tables tables;
    return tables;
}

// The terms kept for |t| <= 1/128 (plus rounding): the first neglected term lies below 2^-120
// of the result.
constexpr int kKernelTerms = 7;
constexpr int kArcKernelTerms = 10;

// cos(r) or sin(r) for |r| <= pi/4 + a little: r = j/64 + t with |t| <= 1/128, and
// cos(a + t) = cos a cos t - sin a sin t, sin(a + t) = sin a cos t + cos a sin t.
Double2 Kernel(Double2 r, bool sine) {
    const Tables& tables = TheTables();
    const double nearest = dd::NearestInteger(r.hi * kStep);
    int j = static_cast<int>(nearest);
    const Double2 t = dd::Add(dd::TwoSum(r.hi, -nearest / kStep), Double2{r.lo, 0});
    const bool negative = j < 0;
    if (negative) {
        j = -j;
    }
    const Double2 t2 = dd::Multiply(t, t);
    const Double2 cosT = Series(tables.cosine, kKernelTerms, t2);
    const Double2 sinT = dd::Multiply(Series(tables.sine, kKernelTerms, t2), t);
    // sin(-a) = -sin a: the table holds the non-negative points.
    const Double2 sinA = negative ? dd::Negated(tables.sinAt[j]) : tables.sinAt[j];
    const Double2& cosA = tables.cosAt[j];
    if (sine) {
        return dd::Add(dd::Multiply(sinA, cosT), dd::Multiply(cosA, sinT));
    }
    return dd::Subtract(dd::Multiply(cosA, cosT), dd::Multiply(sinA, sinT));
}

// Whether a result known as h + l, within `error` of the exact value, rounds to h: true when
// |l| + error stays below half an ulp of h, the distance to the midpoints on either side (a
// quarter ulp on the side below a power of two, where the ulp halves). h must be a normal
// number and |l| at most half its ulp, as FastTwoSum leaves them.
bool RoundsTo(double h, double l, double error) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &h, sizeof bits);
    const std::uint64_t exponent = (bits >> 52) & 0x7FF;
    if (exponent <= 54) {
        return false;
    }
    const bool powerOfTwo = (bits & ((std::uint64_t{1} << 52) - 1)) == 0;
    const bool towardZero = (l < 0) != (h < 0);
    // Half an ulp of h is 2^(exponent - 1023 - 53); a quarter, one step less.
    const std::uint64_t limitExponent = powerOfTwo && towardZero ? exponent - 54 : exponent - 53;
    const std::uint64_t limitBits = limitExponent << 52;
    double limit = 0;
    std::memcpy(&limit, &limitBits, sizeof limit);
    return std::fabs(l) + error < limit;
}

// The first try at cos(r) or sin(r): the same decomposition as Kernel, the leading products
// exact and the small rest in double, within 2^-58 of the result (a margin of more than 2^5 over
// the error of its terms). Returns false when that does not decide the rounding; the caller
// then takes the double-double kernel.
bool FastKernel(Double2 r, bool sine, bool negate, double& result) {
    const Tables& tables = TheTables();
    const double nearest = dd::NearestInteger(r.hi * kStep);
    int j = static_cast<int>(nearest);
    // Exact: r.hi and j/64 lie within a factor of two of each other (or j is 0).
    const double th = r.hi - nearest / kStep;
    const double tl = r.lo;
    const bool negative = j < 0;
    if (negative) {
        j = -j;
    }
    const double t2 = th * th;
    // cos t - 1 and sin t / t - 1, truncated below 2^-70 of the result.
    const double pc = t2 * (-0.5 + t2 * (1.0 / 24 + t2 * (-1.0 / 720 + t2 * (1.0 / 40320))));
    const double ps = t2 * (-1.0 / 6 + t2 * (1.0 / 120 + t2 * (-1.0 / 5040)));
    const double sinRest = th * ps + tl;  // sin t = th + sinRest
    const double cosRest = pc - th * tl;  // cos t = 1 + cosRest
    const Double2 sinA = negative ? dd::Negated(tables.sinAt[j]) : tables.sinAt[j];
    const Double2& cosA = tables.cosAt[j];
    Double2 main{};
    double rest = 0;
    if (sine) {
        // sin(a + t) = sin a + cos a * th + (sin a * cosRest + cos a * sinRest)
        const Double2 product = dd::TwoProduct(cosA.hi, th);
        main = dd::TwoSum(sinA.hi, product.hi);
        rest =
            main.lo + product.lo + sinA.lo + cosA.lo * th + sinA.hi * cosRest + cosA.hi * sinRest;
    } else {
        // cos(a + t) = cos a - sin a * th + (cos a * cosRest - sin a * sinRest)
        const Double2 product = dd::TwoProduct(sinA.hi, th);
        main = dd::TwoSum(cosA.hi, -product.hi);
        rest =
            main.lo - product.lo + cosA.lo - sinA.lo * th + cosA.hi * cosRest - sinA.hi * sinRest;
    }
    const Double2 value = dd::FastTwoSum(main.hi, rest);
    if (value.hi == 0 || !RoundsTo(value.hi, value.lo, std::fabs(value.hi) * 0x1p-58)) {
        return false;
    }
    result = negate ? -value.hi : value.hi;
    return true;
}

}  // namespace

double Cos(double x) {
    if (!std::isfinite(x)) {
        return kNaN;
    }
    const double magnitude = std::fabs(x);
    if (magnitude < 0x1p-27) {
        // cos x = 1 - x^2/2 + ... lies within a quarter ulp of 1.
        return 1.0;
    }
    // cos is even: reduce |x|.
    const Reduced reduced = ReduceQuarterTurns(magnitude);
    // Quadrants 1 and 2 negate; 1 and 3 take the sine.
    const bool sine = (reduced.quadrant & 1) != 0;
    const bool negate = reduced.quadrant == 1 || reduced.quadrant == 2;
    double fast = 0;
    if (FastKernel(reduced.r, sine, negate, fast)) {
        return fast;
    }
    const Double2 value = Kernel(reduced.r, sine);
    const double rounded = value.hi + value.lo;
    return negate ? -rounded : rounded;
}

namespace {

// The first try at acos(x) for -1 < x < 1, as Acos below but with the arc tangent's series and
// the final sums in double around exact leading terms, within 2^-58 of the result. Returns false
// when that does not decide the rounding.
bool FastAcos(Double2 w, double& result) {
    const bool inverted = w.hi > 1.0;
    const Double2 v = inverted ? dd::QuickDivide(Double2{1, 0}, w) : w;
    const Tables& tables = TheTables();
    const double nearest = dd::NearestInteger(v.hi * kStep);
    const double c = nearest / kStep;
    // u = (v - c) / (1 + v c) as uh + ul: the numerator's leading difference v.hi - c is exact,
    // the denominator is 1 + v.hi c as a double plus what that leaves out, and ul corrects uh by
    // the remainder of the division, formed exactly but for its small terms.
    const double difference = v.hi - c;
    const Double2 product = dd::TwoProduct(v.hi, c);
    const Double2 denominator = dd::TwoSum(1.0, product.hi);
    const double denominatorRest = denominator.lo + product.lo + v.lo * c;
    const double uh = (difference + v.lo) / denominator.hi;
    const Double2 check = dd::TwoProduct(uh, denominator.hi);
    const double ul =
        ((difference - check.hi) - check.lo + v.lo - uh * denominatorRest) / denominator.hi;
    const double u2 = uh * uh;
    // atan u / u - 1, truncated below 2^-70 of the result.
    const double pa = u2 * (-1.0 / 3 + u2 * (1.0 / 5 + u2 * (-1.0 / 7 + u2 * (1.0 / 9))));
    const Double2& table = tables.atanAt[static_cast<int>(nearest)];
    Double2 main = dd::TwoSum(table.hi, uh);
    double rest = main.lo + table.lo + ul + uh * pa;
    if (inverted) {
        // pi/2 - atan(1/w)
        const Double2 complement = dd::TwoSum(kHalfPi.hi, -main.hi);
        main = complement;
        rest = complement.lo + kHalfPi.lo - rest;
    }
    const Double2 value = dd::FastTwoSum(2.0 * main.hi, 2.0 * rest);
    if (value.hi == 0 || !RoundsTo(value.hi, value.lo, std::fabs(value.hi) * 0x1p-58)) {
        return false;
    }
    result = value.hi;
    return true;
}

}  // namespace

double Acos(double x) {
    if (!(x >= -1.0 && x <= 1.0)) {
        return kNaN;
    }
    if (x == 1.0) {
        return 0.0;
    }
    if (x == -1.0) {
        return kPi.hi;
    }
    // acos x = 2 atan(sqrt((1 - x) / (1 + x))): well conditioned at both ends.
    const Double2 w = dd::SquareRoot(dd::QuickDivide(dd::TwoSum(1.0, -x), dd::TwoSum(1.0, x)));
    double fast = 0;
    if (FastAcos(w, fast)) {
        return fast;
    }
    // atan w = pi/2 - atan(1/w) above 1; then atan v = atan c + atan((v - c) / (1 + v c)) with
    // c the nearest tabulated point, |(v - c) / (1 + v c)| <= 1/128.
    const bool inverted = w.hi > 1.0;
    const Double2 v = inverted ? dd::QuickDivide(Double2{1, 0}, w) : w;
    const Tables& tables = TheTables();
    const double nearest = dd::NearestInteger(v.hi * kStep);
    const double c = nearest / kStep;
    const Double2 u =
        dd::Divide(dd::Add(dd::TwoSum(v.hi, -c), Double2{v.lo, 0}), Sum(dd::Multiply(v, c), 1.0));
    const Double2 atanU =
        dd::Multiply(Series(tables.arcTangent, kArcKernelTerms, dd::Multiply(u, u)), u);
    Double2 angle = dd::Add(tables.atanAt[static_cast<int>(nearest)], atanU);
    if (inverted) {
        angle = dd::Subtract(kHalfPi, angle);
    }
    angle = dd::Multiply(angle, 2.0);
    return angle.hi + angle.lo;
}

double Hypot(double x, double y) {
    if (std::isinf(x) || std::isinf(y)) {
        return std::numeric_limits<double>::infinity();
    }
    if (std::isnan(x) || std::isnan(y)) {
        return kNaN;
    }
    double big = std::fabs(x);
    double small = std::fabs(y);
    if (small > big) {
        const double swap = big;
        big = small;
        small = swap;
    }
    if (small == 0) {
        return big;
    }
    // Beyond a ratio of 2^60 the smaller adds less than 2^-121 of the larger.
    if (big > small * 0x1p+60) {
        return big;
    }
    // Scale by a power of two (exact) so that the squares neither overflow nor underflow.
    double scale = 1.0;
    if (big > 0x1p+500) {
        scale = 0x1p+600;
        big *= 0x1p-600;
        small *= 0x1p-600;
    } else if (small < 0x1p-500) {
        scale = 0x1p-600;
        big *= 0x1p+600;
        small *= 0x1p+600;
    }
    const Double2 sum = dd::Add(dd::TwoProduct(big, big), dd::TwoProduct(small, small));
    const Double2 root = dd::SquareRoot(sum);
    return (root.hi + root.lo) * scale;
}

}  // namespace halvern::rmath
