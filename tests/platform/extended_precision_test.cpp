#include "platform/extended_precision.h"

#include <gtest/gtest.h>

#include <cstring>

#include "airports/airport_finder.h"
#include "geo/geodesy.h"
#include "geo/position_conversion.h"

namespace halvern {
namespace {

using platform::kX87Precision53;
using platform::kX87PrecisionMask;
using platform::ReadX87ControlWord;
using platform::WriteX87ControlWord;

// Runs `work` with the x87 unit at 53-bit precision, as a host built with Microsoft's runtime
// leaves it, and checks that the caller's setting is back afterwards.
template <typename Work>
void AtDoublePrecision(Work work) {
    const std::uint16_t original = ReadX87ControlWord();
    const auto hostWord =
        static_cast<std::uint16_t>((original & ~kX87PrecisionMask) | kX87Precision53);
    WriteX87ControlWord(hostWord);
    work();
    const std::uint16_t after = ReadX87ControlWord();
    WriteX87ControlWord(original);
    EXPECT_EQ(after, hostWord) << "the caller's control word must be restored";
}

bool SamePosition(const WorldPosition& a, const WorldPosition& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

const double kCoordinates[][2] = {
    {0.5, 90.0},
    {-0.5, -122.25},
    {47.5, 180.0},
    {-33.94599914550781, 151.177001953125},
    {64.1300048828125, -21.94059944152832},
    {89.999, -179.999},
    {1e-7, -1e-7},
};

TEST(ExtendedPrecision, ResultsDoNotDependOnTheCallersPrecisionControl) {
    for (const auto& c : kCoordinates) {
        const WorldPosition reference = PositionFromDegrees(c[0], c[1]);
        const WorldPosition origin = PositionFromDegrees(1.25, 2.5);
        const long double referenceDistance = PositionDistance(origin, reference);
        const double referenceBearing = PositionBearing(origin, reference);
        const std::int16_t referenceFeet = ElevationFeetFromMetres(c[0] * 37.1);

        AtDoublePrecision([&] {
            EXPECT_TRUE(SamePosition(PositionFromDegrees(c[0], c[1]), reference)) << c[0];
            EXPECT_EQ(PositionDistance(origin, reference), referenceDistance) << c[0];
            EXPECT_EQ(PositionBearing(origin, reference), referenceBearing) << c[0];
            EXPECT_EQ(ElevationFeetFromMetres(c[0] * 37.1), referenceFeet) << c[0];
        });
    }
}

TEST(ExtendedPrecision, DoublePrecisionWouldChangeTheWorkedFraction) {
    // The guard above matters: at 53 bits the product of -122.25 degrees and the longitude scale
    // rounds away its lowest bits, so a conversion without the scope would differ.
    volatile double degrees = -122.25;
    volatile double scale = 51240955760304312.0;
    long double product53 = 0;
    AtDoublePrecision([&] { product53 = static_cast<long double>(degrees) * scale; });
    const long double product64 = static_cast<long double>(degrees) * scale;
    EXPECT_NE(product53, product64);
}

}  // namespace
}  // namespace halvern
