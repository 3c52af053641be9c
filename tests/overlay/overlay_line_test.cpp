#include "overlay/overlay_line.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "overlay/display_options.h"

namespace halvern {
namespace {

constexpr std::int32_t kAllOptions = 0x3F;

// Lakeside Field, code ABCD, 1234 ft, lying 12.9 NM away on a true bearing of 50.7 degrees;
// with the variation word 0x0400 (5.625 degrees) its magnetic bearing is 45.
constexpr long double kLakesideMetres = 12.9L * 1852.0L;
constexpr double kLakesideBearing = 50.7;
constexpr std::uint16_t kLakesideVariation = 0x0400;

struct LineCase {
    const char* label;
    const char* name;
    const char* code;
    std::int16_t elevation;
    long double metres;
    double trueBearing;
    std::uint16_t variation;
    std::int32_t options;
    const char* expected;
};

const LineCase kLines[] = {
    {"default options", "Lakeside Field", "ABCD", 1234, kLakesideMetres, kLakesideBearing,
     kLakesideVariation, kDefaultDisplayOptions, "Lakeside Field 12 NM @ 045"},
    {"all six", "Lakeside Field", "ABCD", 1234, kLakesideMetres, kLakesideBearing,
     kLakesideVariation, kAllOptions, "Lakeside Field (ABCD) 12 NM @ 045 (050 true) 1234 MSL"},
    {"code only", "Lakeside Field", "ABCD", 1234, kLakesideMetres, kLakesideBearing,
     kLakesideVariation, kShowCode, "ABCD"},
    {"code and distance", "Lakeside Field", "ABCD", 1234, kLakesideMetres, kLakesideBearing,
     kLakesideVariation, kShowCode | kShowDistance, "ABCD 12 NM"},
    {"true bearing without magnetic", "Lakeside Field", "ABCD", 1234, kLakesideMetres,
     kLakesideBearing, kLakesideVariation, kShowCode | kShowTrueBearing, "ABCD @ 050"},
    {"name and elevation", "Lakeside Field", "ABCD", 1234, kLakesideMetres, kLakesideBearing,
     kLakesideVariation, kShowName | kShowElevation, "Lakeside Field  1234 MSL"},
    {"negative elevation", "Lakeside Field", "ABCD", -20, kLakesideMetres, kLakesideBearing,
     kLakesideVariation, kShowCode | kShowElevation, "ABCD  -20 MSL"},
    {"elevation alone keeps its leading blank", "X", "ABCD", -20, 0, 0, 0, kShowElevation,
     " -20 MSL"},
    {"1851 m is 0 NM", "X", "ABCD", 0, 1851.0L, 0, 0, kShowDistance, "0 NM"},
    {"at the aircraft", "X", "ABCD", 0, 0, 0.0, 0, kShowDistance | kShowTrueBearing, "0 NM @ 000"},
    {"variation 90 degrees", "X", "ABCD", 0, 0, 45.0, 0x4000, kShowMagneticBearing, "@ 315"},
    {"variation 270 degrees", "X", "ABCD", 0, 0, 45.0, 0xC000, kShowMagneticBearing, "@ 135"},
    {"both bearings truncate", "X", "ABCD", 0, 0, 359.99, 0,
     kShowMagneticBearing | kShowTrueBearing, "@ 359 (359 true)"},
    {"true bearing is not reduced", "X", "ABCD", 0, 0, 360.0, 0, kShowTrueBearing, "@ 360"},
    {"negative bearing pads after the sign", "X", "ABCD", 0, 0, -5.0, 0, kShowTrueBearing, "@ -05"},
    {"empty name", "", "ABCD", 0, 0, 0, 0, kShowName, ""},
    {"no options", "Lakeside Field", "ABCD", 0, 0, 0, 0, 0, ""},
    {"unknown bits are ignored", "Lakeside Field", "AB", 0, 0, 0, 0, 0x7FFFFFC0 | kShowCode, "AB"},
};

class Lines : public ::testing::TestWithParam<LineCase> {};

TEST_P(Lines, ComposeAsTheOptionsChoose) {
    const LineCase& c = GetParam();
    std::string name = c.name;
    AirportRecord record{};
    record.name = name.data();
    std::strncpy(record.code, c.code, 4);
    record.elevation = c.elevation;
    const LineFigures figures{c.metres, c.trueBearing, c.variation};

    char line[kOverlayLineSize];
    std::memset(line, '#', sizeof line);
    const std::size_t length = ComposeOverlayLine(record, figures, c.options, line);
    EXPECT_STREQ(line, c.expected);
    EXPECT_EQ(length, std::strlen(c.expected));
}

INSTANTIATE_TEST_SUITE_P(OverlayLine, Lines, ::testing::ValuesIn(kLines));

struct MilesCase {
    long double metres;
    std::int32_t miles;
};

TEST(WholeNauticalMiles, TruncatesAndGivesExactMultiplesOf1852TheirNumber) {
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    const MilesCase cases[] = {
        {0, 0},      {1851, 0},     {1852, 1},   {3704, 2},  {1852 * 7, 7}, {1852 * 250, 250},
        {18600, 10}, {18519.9L, 9}, {-1852, -1}, {-1851, 0}, {nan, 0},      {1e30L, INT32_MAX},
    };
    for (const MilesCase& c : cases) {
        EXPECT_EQ(WholeNauticalMiles(c.metres), c.miles) << static_cast<double>(c.metres);
    }
}

// A line buffer with guard bytes behind it, to see that composition never writes past it.
struct GuardedLine {
    char line[kOverlayLineSize];
    char guard[32];
};

struct LongNameCase {
    std::size_t nameLength;
    std::int32_t options;
    std::size_t expectedLength;
    char expectedLast;
};

TEST(OverlayLine, LongLinesAreCutTo255CharactersThenLoseOneTrailingBlank) {
    const LongNameCase cases[] = {
        {1022, kShowName, 255, 'n'},               // cut inside the name
        {255, kShowName | kShowCode, 255, 'n'},    // the name fills the line
        {254, kShowName | kAllOptions, 254, 'n'},  // the cut falls after the blank: dropped
        {253, kShowName | kShowCode, 255, '('},    // "name (" and no more of the code
        {247, kAllOptions, 254, ')'},              // "name (ABCD)", the cut at the next blank
        {240, kAllOptions, 255, '@'},              // cut inside the magnetic bearing
    };
    for (const LongNameCase& c : cases) {
        std::string name(c.nameLength, 'n');
        AirportRecord record{};
        record.name = name.data();
        std::memcpy(record.code, "ABCD", 4);
        record.elevation = 1234;
        const LineFigures figures{12.9L * 1852.0L, 50.7, 0x0400};
        GuardedLine buffer;
        std::memset(&buffer, '#', sizeof buffer);
        const std::size_t length = ComposeOverlayLine(record, figures, c.options, buffer.line);
        SCOPED_TRACE(c.nameLength);
        EXPECT_EQ(length, c.expectedLength);
        EXPECT_EQ(std::strlen(buffer.line), c.expectedLength);
        EXPECT_EQ(buffer.line[c.expectedLength - 1], c.expectedLast);
        for (const char g : buffer.guard) {
            ASSERT_EQ(g, '#') << "written past the line buffer";
        }
    }
}

}  // namespace
}  // namespace halvern
