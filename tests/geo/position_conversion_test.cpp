#include "geo/position_conversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace halvern {
namespace {

struct WordsCase {
    const char* label;
    double degrees;
    bool isLatitude;
    std::uint32_t integer;
    std::uint32_t fraction;
};

// Worked conversions, to the bit.
const WordsCase kWorkedWords[] = {
    {"0.5 N", 0.5, true, 0x0000D90D, 0x471C71C7},
    {"0.5 S", -0.5, true, 0xFFFF26F2, 0xB8E38E39},
    {"47.5 N", 47.5, true, 0x00508BED, 0x638E38E4},
    {"90 E", 90.0, false, 0x40000000, 0x000000B0},
    {"122.25 W", -122.25, false, 0xA9111111, 0x11111022},
    // The scaled product at +-180 lies just outside the signed 64-bit range: fraction 0.
    {"180 E", 180.0, false, 0x80000000, 0},
    {"180 W", -180.0, false, 0x7FFFFFFF, 0},
    {"equator", 0.0, true, 0, 0},
    {"prime meridian", 0.0, false, 0, 0},
};

class WorkedWords : public ::testing::TestWithParam<WordsCase> {};

TEST_P(WorkedWords, MatchToTheBit) {
    const WordsCase& c = GetParam();
    const WorldPosition p =
        c.isLatitude ? PositionFromDegrees(c.degrees, 0.0) : PositionFromDegrees(0.0, c.degrees);
    const auto integer =
        static_cast<std::uint32_t>(c.isLatitude ? p.latitudeInteger : p.longitudeInteger);
    const std::uint32_t fraction = c.isLatitude ? p.latitudeFraction : p.longitudeFraction;
    EXPECT_EQ(integer, c.integer) << c.label;
    EXPECT_EQ(fraction, c.fraction) << c.label;
    EXPECT_EQ(p.altitudeFraction, 0u);
    EXPECT_EQ(p.altitudeInteger, 0);
}

INSTANTIATE_TEST_SUITE_P(PositionFromDegrees, WorkedWords, ::testing::ValuesIn(kWorkedWords));

TEST(PositionFromDegrees, NegativeCoordinatesFormTwosComplementPairs) {
    // For every coordinate the 64-bit pair equals the truncated value scaled by 2^32.
    for (double degrees = -89.75; degrees < 90.0; degrees += 7.3) {
        const WorldPosition p = PositionFromDegrees(degrees, degrees * 1.9);
        const auto pair = static_cast<std::int64_t>(
            (static_cast<std::uint64_t>(static_cast<std::uint32_t>(p.latitudeInteger)) << 32) |
            p.latitudeFraction);
        const long double expected =
            std::trunc(static_cast<long double>(degrees) * 477302101697422.25L);
        EXPECT_EQ(pair, static_cast<std::int64_t>(expected)) << degrees;
    }
}

TEST(PositionFromDegrees, NonFiniteAndOutOfRangeInputsGiveZeroWords) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double bad : {nan, inf, -inf, 1e300, -1e300}) {
        const WorldPosition p = PositionFromDegrees(bad, bad);
        EXPECT_EQ(p.latitudeInteger, 0) << bad;
        EXPECT_EQ(p.latitudeFraction, 0u) << bad;
        EXPECT_EQ(p.longitudeInteger, 0) << bad;
        EXPECT_EQ(p.longitudeFraction, 0u) << bad;
    }
    // Large but representable: the integer word keeps the low 32 bits of the floored units.
    const WorldPosition far = PositionFromDegrees(0.0, 720.0);
    EXPECT_EQ(far.longitudeInteger, 0);  // 2 * 2^32 units wrap to 0
}

TEST(PackPosition, KeepsUpperFractionBitsAndIntegerWords) {
    WorldPosition p{};
    p.latitudeFraction = 0x471C71C7;
    p.latitudeInteger = 55565;
    p.longitudeFraction = 0x0000FFFF;
    p.longitudeInteger = -7;
    p.altitudeFraction = 0xABCD1234;
    p.altitudeInteger = 12;
    PackedPosition packed{};
    PackPosition(p, packed);
    // Fields of the packed record are read by value: a reference to one would be misaligned.
    EXPECT_EQ(static_cast<int>(packed.latitudeFraction), 0x471C);
    EXPECT_EQ(static_cast<int>(packed.latitudeInteger), 55565);
    EXPECT_EQ(static_cast<int>(packed.longitudeFraction), 0);
    EXPECT_EQ(static_cast<int>(packed.longitudeInteger), -7);
    EXPECT_EQ(static_cast<int>(packed.altitudeFraction), 0xABCD);
    EXPECT_EQ(static_cast<int>(packed.altitudeInteger), 12);

    // On the wire: little-endian, no padding.
    unsigned char bytes[18];
    std::memcpy(bytes, &packed, sizeof bytes);
    const unsigned char expected[18] = {0x1C, 0x47, 0x0D, 0xD9, 0x00, 0x00, 0x00, 0x00, 0xF9,
                                        0xFF, 0xFF, 0xFF, 0xCD, 0xAB, 0x0C, 0x00, 0x00, 0x00};
    EXPECT_EQ(std::memcmp(bytes, expected, sizeof bytes), 0);
}

TEST(CopyPosition, CopiesAllSixWordsAndReturnsTheDestination) {
    const WorldPosition source{1, -2, 3, -4, 5, -6};
    WorldPosition destination{};
    WorldPosition& result = CopyPosition(destination, source);
    EXPECT_EQ(&result, &destination);
    EXPECT_EQ(std::memcmp(&destination, &source, sizeof source), 0);
}

}  // namespace
}  // namespace halvern
