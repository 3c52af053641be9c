#include "geo/geodesy.h"

#include <gtest/gtest.h>

#include "geo/position_conversion.h"

namespace halvern {
namespace {

struct LegCase {
    const char* label;
    double fromLat, fromLon, toLat, toLon;
    double metres;
    double metresTolerance;
    double bearing;
    double bearingTolerance;
};

const LegCase kLegs[] = {
    {"same place", 12.5, -3.25, 12.5, -3.25, 0.0, 0.0, 0.0, 0.0},
    {"one degree north", 0, 0, 1, 0, 111120.0, 0.05, 0.0, 1e-9},
    {"one degree east", 0, 0, 0, 1, 111120.0, 0.05, 90.0, 1e-9},
    {"one degree south", 0, 0, -1, 0, 111120.0, 0.05, 180.0, 1e-9},
    {"one degree west", 0, 0, 0, -1, 111120.0, 0.05, 270.0, 1e-9},
    // The cosine is taken at the mean latitude, 0.5 degrees.
    {"north-east", 0, 0, 1, 1, 157144.4, 0.05, 44.9989, 5e-5},
    {"60 N, one degree east", 60, 0, 60, 1, 55560.0, 0.05, 90.0, 1e-9},
    {"30 NM up the meridian", 47.0, 8.0, 47.5, 8.0, 55560.0, 0.05, 0.0, 1e-9},
    // Longitude differences are not reduced: across the 180th meridian it is 359 degrees.
    {"across the date line", 0, 179.5, 0, -179.5, 39892080.0, 1.0, 270.0, 1e-9},
};

class Legs : public ::testing::TestWithParam<LegCase> {};

TEST_P(Legs, DistanceAndBearing) {
    const LegCase& c = GetParam();
    const WorldPosition from = PositionFromDegrees(c.fromLat, c.fromLon);
    const WorldPosition to = PositionFromDegrees(c.toLat, c.toLon);
    EXPECT_NEAR(static_cast<double>(PositionDistance(from, to)), c.metres, c.metresTolerance);
    EXPECT_EQ(PositionDistance(from, to), PositionDistance(to, from)) << "symmetric";
    EXPECT_NEAR(PositionBearing(from, to), c.bearing, c.bearingTolerance);
}

INSTANTIATE_TEST_SUITE_P(Geodesy, Legs, ::testing::ValuesIn(kLegs));

TEST(PositionDistance, PlusAndMinus180AreAlmostAFullTurnApart) {
    const WorldPosition east = PositionFromDegrees(0, 180.0);
    const WorldPosition west = PositionFromDegrees(0, -180.0);
    EXPECT_EQ(static_cast<std::uint32_t>(east.longitudeInteger) -
                  static_cast<std::uint32_t>(west.longitudeInteger),
              1u);
    EXPECT_NEAR(static_cast<double>(PositionDistance(east, west)), 360.0 * 111120.0, 1.0);
}

TEST(PositionBearing, BarelyWestOfNorthIsJustUnder360) {
    const WorldPosition from = PositionFromDegrees(10.0, 20.0);
    WorldPosition to = PositionFromDegrees(11.0, 20.0);
    to.longitudeInteger -= 1;
    const double bearing = PositionBearing(from, to);
    EXPECT_LT(bearing, 360.0);
    EXPECT_GT(bearing, 359.99);
}

TEST(PositionBearing, DueNorthAndSouthCountAsEast) {
    const WorldPosition centre = PositionFromDegrees(-33.0, 151.0);
    EXPECT_EQ(PositionBearing(centre, PositionFromDegrees(-32.0, 151.0)), 0.0);
    EXPECT_EQ(PositionBearing(centre, PositionFromDegrees(-34.0, 151.0)), 180.0);
}

struct MagneticCase {
    double trueBearing;
    std::uint16_t word;
    int expected;
};

TEST(MagneticBearing, SubtractsVariationAndTruncates) {
    const MagneticCase cases[] = {
        {30.0, 0x2000, 345},                       // variation 45 degrees
        {10.0, 3641, 349},                         // 20.0006 degrees: truncation, not rounding
        {359.5, 0, 359},     {45.0, 0x4000, 315},  // 90 degrees
        {45.0, 0xC000, 135},                       // 270 degrees, read unsigned
        {50.7, 0x0400, 45},                        // 5.625 degrees
        {0.0, 0, 0},         {360.0, 0, 0},
        {0.0, 0xFFFF, 0},  // just under 360 degrees of variation
    };
    for (const MagneticCase& c : cases) {
        EXPECT_EQ(MagneticBearing(c.trueBearing, c.word), c.expected)
            << c.trueBearing << " / " << c.word;
    }
}

TEST(MagneticBearing, AlwaysWithinACircle) {
    for (double t : {-1000.0, -0.5, 719.9, 1e12, -1e12}) {
        const int m = MagneticBearing(t, 0x1234);
        EXPECT_GE(m, 0) << t;
        EXPECT_LE(m, 359) << t;
    }
}

}  // namespace
}  // namespace halvern
