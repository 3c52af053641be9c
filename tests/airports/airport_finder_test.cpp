#include "airports/airport_finder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "airports/growable_array.h"

namespace halvern {
namespace {

TEST(AirportFinder, StartsEmptyWithCapacity1000AndTheUnsetFingerprint) {
    AirportFinder finder;
    EXPECT_EQ(finder.RecordCount(), 0);
    EXPECT_EQ(finder.RecordCapacity(), 1000);
    EXPECT_EQ(finder.NearbyCount(), 0);
    EXPECT_EQ(finder.NearbyCapacity(), 1000);
    EXPECT_EQ(finder.SceneryFingerprint(), 0x5555AAAAu);
}

TEST(AirportFinder, CapacityGrowsTo2001Then3002) {
    AirportFinder finder;
    for (int i = 0; i < 2002; ++i) {
        finder.AddAirport(("Airport " + std::to_string(i)).c_str(), i * 0.01, -i * 0.01, 0, "X");
        const std::int32_t count = finder.RecordCount();
        const std::int32_t expected = count <= 1000 ? 1000 : (count <= 2001 ? 2001 : 3002);
        ASSERT_EQ(finder.RecordCapacity(), expected) << "after record " << count;
    }
    // Growing kept every earlier record.
    EXPECT_STREQ(finder.Record(0).name, "Airport 0");
    EXPECT_STREQ(finder.Record(1500).name, "Airport 1500");
    EXPECT_STREQ(finder.Record(2001).name, "Airport 2001");
    EXPECT_FLOAT_EQ(finder.Record(1500).latitude, 15.0f);
}

struct CodeCase {
    const char* given;
    const char stored[5];
};

TEST(AirportFinder, CodeKeepsAtMostFourCharactersZeroPadded) {
    const CodeCase cases[] = {
        {"ABC", {'A', 'B', 'C', 0, 0}},    {"ABCDEF", {'A', 'B', 'C', 'D', 0}},
        {"ABCD", {'A', 'B', 'C', 'D', 0}}, {"", {0, 0, 0, 0, 0}},
        {"????", {'?', '?', '?', '?', 0}},
    };
    AirportFinder finder;
    for (const CodeCase& c : cases) {
        finder.AddAirport("Name", 1, 2, 3, c.given);
        const AirportRecord& record = finder.Record(finder.RecordCount() - 1);
        EXPECT_EQ(std::memcmp(record.code, c.stored, 5), 0) << c.given;
    }
}

TEST(AirportFinder, NarrowsCoordinatesToNearestFloatAndOwnsTheName) {
    AirportFinder finder;
    std::string name = "Lakeside Field";
    finder.AddAirport(name.c_str(), 47.123456789012345, -122.30999999999999, 0, "ABCD");
    name[0] = 'X';  // the record holds its own copy
    const AirportRecord& record = finder.Record(0);
    EXPECT_STREQ(record.name, "Lakeside Field");
    EXPECT_EQ(record.latitude, static_cast<float>(47.123456789012345));
    EXPECT_EQ(record.longitude, static_cast<float>(-122.30999999999999));
}

struct ElevationCase {
    double metres;
    std::int16_t feet;
};

TEST(AirportFinder, ElevationInFeetOfPoint305MetresTruncatedAndSaturated) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const ElevationCase cases[] = {
        {-10.5, -34},         {2000.0, 6557},   {0.0, 0},
        {0.305, 1},                              // exactly one foot in extended precision
        {1234 * 0.305, 1234}, {10000.0, 32767},  // saturated instead of wrapping to -32750
        {-10000.0, -32768},   {nan, 0},         {inf, 32767},
        {-inf, -32768},
    };
    AirportFinder finder;
    for (const ElevationCase& c : cases) {
        finder.AddAirport("E", 0, 0, c.metres, "E");
        EXPECT_EQ(finder.Record(finder.RecordCount() - 1).elevation, c.feet) << c.metres;
    }
}

TEST(AirportFinder, ClearRecordsEmptiesTheListAndSlotsAreReused) {
    AirportFinder finder;
    finder.AddAirport("First", 1, 1, 1, "AAAA");
    finder.AddAirport("Second", 2, 2, 2, "BBBB");
    finder.ClearRecords();
    EXPECT_EQ(finder.RecordCount(), 0);
    EXPECT_EQ(finder.RecordCapacity(), 1000);
    finder.AddAirport("Third", 3, 3, 3, "CC");
    EXPECT_EQ(finder.RecordCount(), 1);
    EXPECT_STREQ(finder.Record(0).name, "Third");
    EXPECT_STREQ(finder.Record(0).code, "CC");
}

// An element a quarter of the address space large: four of them make a byte count that wraps
// to 0 in size_t, on 32 bits as on 64.
struct QuarterOfMemory {
    unsigned char bytes[(SIZE_MAX >> 2) + 1];
};

TEST(GrowableArray, AByteCountBeyondSizeTIsRefused) {
    QuarterOfMemory* storage = nullptr;
    EXPECT_FALSE(ResizeStorage(storage, 0, 4));
    EXPECT_EQ(storage, nullptr);
    std::free(storage);
}

TEST(RecordImage, RoundTripsAndIgnoresTheReservedBytes) {
    AirportRecord record{};
    record.latitude = -33.9461f;
    record.longitude = 151.177f;
    record.elevation = -21;
    std::memcpy(record.code, "YSSY", 5);
    unsigned char image[kRecordImageSize];
    EncodeRecordImage(record, image);
    const unsigned char expectedTail[] = {0xEB, 0xFF, 0, 0, 0, 0, 'Y', 'S', 'S', 'Y', 0};
    EXPECT_EQ(std::memcmp(image + 8, expectedTail, sizeof expectedTail), 0);

    image[10] = 0xAA;  // reserved: whatever it holds is ignored
    image[18] = 'Z';   // byte 18 not zero: the code still reads as four characters
    AirportRecord decoded{};
    DecodeRecordImage(image, decoded);
    EXPECT_EQ(decoded.latitude, record.latitude);
    EXPECT_EQ(decoded.longitude, record.longitude);
    EXPECT_EQ(decoded.elevation, -21);
    EXPECT_STREQ(decoded.code, "YSSY");
}

}  // namespace
}  // namespace halvern
