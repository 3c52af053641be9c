// One airport read from a scenery-file image written out byte by byte here, with no constant of
// the reader's layout header or of the scenery writer the other tests use: if a kind number or an
// offset were wrong in both, this test still sees it.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "fixtures/recording_collector.h"

namespace halvern {
namespace {

void Put32(std::vector<unsigned char>& image, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        image[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
    }
}

TEST(GoldenScenery, ALiteralImageYieldsItsAirport) {
    std::vector<unsigned char> image(0x300, 0);
    Put32(image, 0x76, 0x87654321);  // magic, at an odd offset
    Put32(image, 0x90, 1);           // version
    Put32(image, 0x9C, 0xA0);        // the facility section
    // The section's first record: its size is the distance to the section end, 0x2A0.
    Put32(image, 0xA0, 0x30001);
    Put32(image, 0xA4, 0x200);
    // A stepped-over runway-like record of kind 0x10006 (size + 8 = 16 bytes) ...
    Put32(image, 0xB8, 0x10006);
    Put32(image, 0xBC, 8);
    // ... then the airport facility record: tag, detail block at 0x120, name.
    Put32(image, 0xC8, 0x30002);
    Put32(image, 0xCC, 0x20);
    Put32(image, 0xD0, 0x50001);
    Put32(image, 0xD4, 0x120);
    std::memcpy(&image[0xD8], "Golden Field", 13);
    // The detail block: a short sub-record (step 16), the position, the code, the end.
    Put32(image, 0x120, 1);
    Put32(image, 0x130, 0x10001);
    Put32(image, 0x134, 28);
    Put32(image, 0x13C, 5000875);     // latitude: half of the equator-to-pole 10001750 units
    Put32(image, 0x140, 0x80000000);  // and half a unit
    Put32(image, 0x144, 0xC0000000);  // longitude: 3/4 of the turn, -90 degrees
    Put32(image, 0x148, 0);
    Put32(image, 0x14C, 123);         // elevation, metres
    Put32(image, 0x150, 0x40000000);  // and a quarter
    Put32(image, 0x154, 0x10006);
    Put32(image, 0x158, 8);
    std::memcpy(&image[0x15C], "GOLD", 5);
    Put32(image, 0x164, 0);

    testing::RecordingCollector collector;
    collector.Parse(image);
    ASSERT_EQ(collector.airports.size(), 1u);
    const testing::ReportedAirport& airport = collector.airports[0];
    EXPECT_EQ(airport.name, "Golden Field");
    EXPECT_EQ(airport.code, "GOLD");
    EXPECT_NEAR(airport.latitude, 45.0 + 0.5 * 90.0 / 10001750.0, 1e-9);
    EXPECT_NEAR(airport.longitude, -90.0, 1e-9);
    EXPECT_NEAR(airport.elevationMetres, 123.25, 1e-9);
}

}  // namespace
}  // namespace halvern
