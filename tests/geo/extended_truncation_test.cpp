#include "geo/extended_truncation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "geo/checked_conversion.h"

namespace halvern {
namespace {

// The bit-level conversions must agree with the checked casts for every input: the host words
// of PositionFromDegrees depend on them.
void ExpectSameAsCheckedCasts(long double value) {
    ASSERT_EQ(TruncateExtendedToInt64OrZero(value), TruncateToInt64OrZero(value))
        << "trunc " << static_cast<double>(value);
    ASSERT_EQ(FloorExtendedToInt64OrZero(value), FloorToInt64OrZero(value))
        << "floor " << static_cast<double>(value);
}

TEST(ExtendedTruncation, AgreesWithTheCheckedCastsAtTheEdges) {
    using Limits = std::numeric_limits<long double>;
    const long double two63 = std::ldexp(1.0L, 63);
    std::vector<long double> values = {
        0.0L,
        -0.0L,
        0.5L,
        -0.5L,
        1.0L,
        -1.0L,
        1.5L,
        -1.5L,
        2.0L,
        -2.0L,
        std::nextafter(1.0L, 0.0L),
        -std::nextafter(1.0L, 0.0L),
        Limits::denorm_min(),
        -Limits::denorm_min(),
        Limits::min(),
        -Limits::min(),
        Limits::max(),
        Limits::lowest(),
        Limits::infinity(),
        -Limits::infinity(),
        Limits::quiet_NaN(),
        -Limits::quiet_NaN(),
        two63,
        -two63,
        two63 - 1,
        -two63 + 1,
        -two63 - 1,
        two63 + 2,
        -two63 - 2,
        std::ldexp(1.0L, 64),
        -std::ldexp(1.0L, 64),
        std::nextafter(std::ldexp(1.0L, 64), 0.0L),
        -std::nextafter(std::ldexp(1.0L, 64), 0.0L),
        std::ldexp(1.0L, 62) + 0.5L,
        -std::ldexp(1.0L, 62) - 0.5L,
        // The scaled products of PositionFromDegrees at +-180 degrees of longitude.
        180.0L * 51240955760304312.0L,
        -180.0L * 51240955760304312.0L,
        -180.0L * 11930464.711111112L,
        -0.5L * 477302101697422.25L,
    };
    for (const long double value : values) {
        ExpectSameAsCheckedCasts(value);
    }
}

TEST(ExtendedTruncation, AgreesWithTheCheckedCastsOnRandomValues) {
    std::mt19937_64 random(7);
    std::uniform_int_distribution<int> exponent(-70, 70);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (int i = 0; i < 200000; ++i) {
        // Every magnitude around the 64-bit range, with all 64 significand bits in use.
        const long double value =
            std::ldexp(static_cast<long double>(unit(random)) +
                           static_cast<long double>(random() >> 11) * 0x1p-80L,
                       exponent(random));
        ExpectSameAsCheckedCasts(value);
    }
}

}  // namespace
}  // namespace halvern
