// The reproducible cosine, arc cosine and hypotenuse against MPFR's correctly rounded results:
// every sample must come out exactly. The samples cover the ranges the module uses (latitudes in
// radians, cosines of bearings, legs of a few degrees), the ends of the arc cosine's domain and
// random bit patterns over all doubles, and the doubles next to multiples of pi/2, where the
// argument reduction must keep every part of pi/2. HALVERN_MPFR_SAMPLES sets the samples per range
// (default 100000; the figures in docs/performance.md used 1000000).

#include <gtest/gtest.h>
#include <mpfr.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "geo/reproducible_math.h"

namespace halvern {
namespace {

int Samples() {
    const char* text = std::getenv("HALVERN_MPFR_SAMPLES");
    const int samples = text != nullptr ? std::atoi(text) : 0;
    return samples > 0 ? samples : 100000;
}

enum class Function { kCos, kAcos, kHypot };

// The correctly rounded result of MPFR at 53 bits, to nearest.
double Exact(Function function, double x, double y = 0) {
    mpfr_t a, b, r;
    mpfr_inits2(53, a, b, r, static_cast<mpfr_ptr>(nullptr));
    mpfr_set_d(a, x, MPFR_RNDN);
    mpfr_set_d(b, y, MPFR_RNDN);
    // Results below the normal range are rounded as doubles are (subnormal steps).
    mpfr_set_emin(-1073);
    mpfr_set_emax(1024);
    int inexact = 0;
    switch (function) {
        case Function::kCos:
            inexact = mpfr_cos(r, a, MPFR_RNDN);
            break;
        case Function::kAcos:
            inexact = mpfr_acos(r, a, MPFR_RNDN);
            break;
        case Function::kHypot:
            inexact = mpfr_hypot(r, a, b, MPFR_RNDN);
            break;
    }
    mpfr_subnormalize(r, inexact, MPFR_RNDN);
    const double result = mpfr_get_d(r, MPFR_RNDN);
    mpfr_clears(a, b, r, static_cast<mpfr_ptr>(nullptr));
    mpfr_set_emin(mpfr_get_emin_min());
    mpfr_set_emax(mpfr_get_emax_max());
    return result;
}

bool Same(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

double AnyDouble(std::mt19937_64& random) {
    const std::uint64_t bits = random();
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The doubles nearest k * pi/2 for k = 1 to 4000 and their two neighbours, in turn: there the
// cosine is tiny, so that the reduction's error shows whole.
std::function<double(std::mt19937_64&)> NextToMultiplesOfHalfPi() {
    std::vector<double> points;
    mpfr_t multiple;
    mpfr_init2(multiple, 256);
    for (unsigned long k = 1; k <= 4000; ++k) {
        mpfr_const_pi(multiple, MPFR_RNDN);
        mpfr_mul_ui(multiple, multiple, k, MPFR_RNDN);
        mpfr_div_2ui(multiple, multiple, 1, MPFR_RNDN);
        const double nearest = mpfr_get_d(multiple, MPFR_RNDN);
        points.insert(points.end(),
                      {std::nextafter(nearest, 0.0), nearest, std::nextafter(nearest, 1e4)});
    }
    mpfr_clear(multiple);
    return [points, next = std::size_t{0}](std::mt19937_64&) mutable {
        return points[next++ % points.size()];
    };
}

struct Range {
    const char* name;
    Function function;
    std::function<double(std::mt19937_64&)> x;
    std::function<double(std::mt19937_64&)> y;
    int leastSamples = 0;  // a range of fixed points is taken whole
};

TEST(ReproducibleMath, EverySampleIsCorrectlyRounded) {
    const auto uniform = [](double low, double high) {
        return [low, high](std::mt19937_64& random) {
            return std::uniform_real_distribution<double>(low, high)(random);
        };
    };
    // 1 - 2^-k * u and -1 + 2^-k * u for k up to 52: the ends, where acos is steepest.
    const auto nearOne = [](std::mt19937_64& random) {
        const int k = static_cast<int>(random() % 53);
        const double u = std::uniform_real_distribution<double>(0, 1)(random);
        const double offset = std::ldexp(u, -k);
        return (random() & 1) != 0 ? 1.0 - offset : -1.0 + offset;
    };
    const Range ranges[] = {
        {"cos of latitudes in radians", Function::kCos, uniform(-1.6, 1.6), nullptr},
        {"cos of wrapped latitudes", Function::kCos, uniform(-400, 400), nullptr},
        {"cos of any double", Function::kCos, AnyDouble, nullptr},
        {"cos next to multiples of pi/2", Function::kCos, NextToMultiplesOfHalfPi(), nullptr,
         3 * 4000},
        {"acos of bearing cosines", Function::kAcos, uniform(-1, 1), nullptr},
        {"acos near its ends", Function::kAcos, nearOne, nullptr},
        {"hypot of legs in degrees", Function::kHypot, uniform(-10, 10), uniform(-10, 10)},
        {"hypot of any doubles", Function::kHypot, AnyDouble, AnyDouble},
    };
    const int samples = Samples();
    std::mt19937_64 random(20261208);
    for (const Range& range : ranges) {
        int wrong = 0;
        const int count = std::max(samples, range.leastSamples);
        for (int i = 0; i < count; ++i) {
            const double x = range.x(random);
            const double y = range.y ? range.y(random) : 0.0;
            const double exact = Exact(range.function, x, y);
            const double ours = range.function == Function::kCos    ? rmath::Cos(x)
                                : range.function == Function::kAcos ? rmath::Acos(x)
                                                                    : rmath::Hypot(x, y);
            if (!Same(ours, exact) && ++wrong <= 3) {
                ADD_FAILURE() << range.name << ": at " << std::hexfloat << x << ", " << y
                              << " gives " << ours << ", correctly rounded " << exact;
            }
        }
        EXPECT_EQ(wrong, 0) << range.name << ": " << wrong << " of " << count;
    }
}

TEST(ReproducibleMath, SpecialValues) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(std::isnan(rmath::Cos(inf)));
    EXPECT_TRUE(std::isnan(rmath::Cos(nan)));
    EXPECT_EQ(rmath::Cos(0.0), 1.0);
    EXPECT_EQ(rmath::Cos(-0.0), 1.0);
    EXPECT_TRUE(std::isnan(rmath::Acos(1.0000000000000002)));
    EXPECT_TRUE(std::isnan(rmath::Acos(nan)));
    EXPECT_EQ(rmath::Acos(1.0), 0.0);
    EXPECT_EQ(rmath::Acos(-1.0), 0x1.921fb54442d18p+1);
    EXPECT_EQ(rmath::Hypot(inf, nan), inf);
    EXPECT_EQ(rmath::Hypot(nan, -inf), inf);
    EXPECT_TRUE(std::isnan(rmath::Hypot(nan, 1.0)));
    EXPECT_EQ(rmath::Hypot(0.0, -0.0), 0.0);
    EXPECT_EQ(rmath::Hypot(3.0, 4.0), 5.0);
    EXPECT_EQ(rmath::Hypot(0x1p+1023, 0x1p+1023), 0x1.6a09e667f3bcdp+1023);
}

}  // namespace
}  // namespace halvern
