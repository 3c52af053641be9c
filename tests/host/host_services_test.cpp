#include "host/host_services.h"

#include <gtest/gtest.h>

#include <cstring>

#include "halvern-host/simulator_services.h"
#include "host/text_record.h"

namespace halvern {
namespace {

using host::ChainCall;
using host::SimulatorServices;

void HALVERN_HOSTCALL SomeCallback(std::uint32_t, std::uint32_t) {}

TEST(HostVariables, AircraftPositionIsSixLittleEndianWordsAt0x560) {
    SimulatorServices host;
    const unsigned char bytes[24] = {
        0xC7, 0x71, 0x1C, 0x47, 0x0D, 0xD9, 0x00, 0x00,  // latitude 0x471C71C7, 0x0000D90D
        0x22, 0x10, 0x11, 0x11, 0x11, 0x11, 0x11, 0xA9,  // longitude 0x11111022, 0xA9111111
        0x01, 0x02, 0x03, 0x04, 0xFE, 0xFF, 0xFF, 0xFF,  // altitude 0x04030201, -2
    };
    // The block starts misaligned, so a read through a cast word pointer would be caught here.
    std::memcpy(host.Variables() + 0x560, bytes, sizeof bytes);
    const WorldPosition p = ReadAircraftPosition(host.Services());
    EXPECT_EQ(p.latitudeFraction, 0x471C71C7u);
    EXPECT_EQ(p.latitudeInteger, 0xD90D);
    EXPECT_EQ(p.longitudeFraction, 0x11111022u);
    EXPECT_EQ(static_cast<std::uint32_t>(p.longitudeInteger), 0xA9111111u);
    EXPECT_EQ(p.altitudeFraction, 0x04030201u);
    EXPECT_EQ(p.altitudeInteger, -2);
}

TEST(HostVariables, MagneticVariationIsAnUnsignedLittleEndianWordAt0x2A0) {
    SimulatorServices host;
    host.Variables()[0x2A0] = 0x34;
    host.Variables()[0x2A1] = 0xC2;
    EXPECT_EQ(ReadMagneticVariation(host.Services()), 0xC234u);
}

TEST(HostVariables, NoBlockReadsAsZero) {
    const HostServices none;
    const WorldPosition p = ReadAircraftPosition(none);
    const WorldPosition zero{};
    EXPECT_EQ(std::memcmp(&p, &zero, sizeof p), 0);
    EXPECT_EQ(ReadMagneticVariation(none), 0u);
}

TEST(HostTextService, ShowTextCallsTheSeventhEntryWithRecordAndCell) {
    SimulatorServices host;
    TextRecord record = kTextRecordTemplate;
    record[20] = 0x5A;
    const char line[] = "Lakeside Field 12 NM @ 045";
    const TextCell cell = line;
    ShowText(host.Services(), record.data(), &cell);
    ASSERT_EQ(host.LinesOfLastEvent().size(), 1u);
    EXPECT_EQ(host.LinesOfLastEvent()[0].text, line);
    EXPECT_EQ(host.LinesOfLastEvent()[0].record, record);
}

TEST(HostTextService, NothingIsHandedOverWithoutTheServiceOrItsEntry) {
    SimulatorServices host;
    const TextRecord record = kTextRecordTemplate;
    const TextCell cell = "x";

    HostServices noService = host.Services();
    noService.textService = nullptr;
    ShowText(noService, record.data(), &cell);

    host.TextTable()[kTextShowEntry] = nullptr;
    ShowText(host.Services(), record.data(), &cell);

    EXPECT_TRUE(host.LinesOfLastEvent().empty());
}

TEST(HostChainService, RegisterAndUnregisterUseTheSeventhAndEighthEntriesForEvent16) {
    SimulatorServices host;
    RegisterChainCallback(host.Services(), &SomeCallback);
    UnregisterChainCallback(host.Services(), &SomeCallback);
    ASSERT_EQ(host.ChainCalls().size(), 2u);
    EXPECT_EQ(host.ChainCalls()[0].entry, 6u);
    EXPECT_EQ(host.ChainCalls()[1].entry, 7u);
    for (const ChainCall& call : host.ChainCalls()) {
        EXPECT_EQ(call.event, 16u);
        EXPECT_EQ(call.callback, &SomeCallback);
    }
}

TEST(HostChainService, NothingIsCalledWithoutTheService) {
    SimulatorServices host;
    HostServices services = host.Services();
    services.chainService = nullptr;
    RegisterChainCallback(services, &SomeCallback);
    UnregisterChainCallback(services, &SomeCallback);
    EXPECT_TRUE(host.ChainCalls().empty());
}

TEST(TextRecord, WritingThePositionChangesOnlyBytes16To33) {
    TextRecord record;
    record.fill(0xEE);
    PackedPosition packed{};
    packed.latitudeFraction = 0x471C;
    packed.latitudeInteger = 0x0000D90D;
    packed.longitudeFraction = 0xA1B2;
    packed.longitudeInteger = -2;
    packed.altitudeFraction = 0x0102;
    packed.altitudeInteger = 0x03040506;
    WriteTextRecordPosition(record, packed);

    const unsigned char expected[18] = {
        0x1C, 0x47, 0x0D, 0xD9, 0x00, 0x00,  // latitude
        0xB2, 0xA1, 0xFE, 0xFF, 0xFF, 0xFF,  // longitude
        0x02, 0x01, 0x06, 0x05, 0x04, 0x03,  // altitude
    };
    for (std::size_t i = 0; i < record.size(); ++i) {
        if (i >= 16 && i < 34) {
            EXPECT_EQ(record[i], expected[i - 16]) << "byte " << i;
        } else {
            EXPECT_EQ(record[i], 0xEE) << "byte " << i;
        }
    }
}

}  // namespace
}  // namespace halvern
