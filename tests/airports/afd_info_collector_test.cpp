#include "airports/afd_info_collector.h"

#include <gtest/gtest.h>

#include "fixtures/recording_collector.h"
#include "fixtures/temp_dir.h"
#include "scenery/scenery_file_writer.h"
#include "support/byte_order.h"

namespace halvern {
namespace {

using scenery::AirportEntry;
using scenery::CodeText;
using scenery::MakeAirport;
using scenery::PositionWords;
using scenery::SceneryFileWriter;
using scenery::SectionRecord;
using scenery::SubRecord;
using testing::RecordingCollector;

std::vector<std::string> Names(const RecordingCollector& collector) {
    std::vector<std::string> names;
    for (const auto& airport : collector.airports) {
        names.push_back(airport.name);
    }
    return names;
}

AirportEntry Airport(const std::string& name, const std::string& code) {
    return MakeAirport(name, code, 10.0, 20.0, 100.0);
}

// A sub-record of eight bytes that the walk steps over.
SubRecord Filler() {
    return SubRecord{0x20002, {}, std::nullopt};
}

TEST(ExtractAirports, OneAirportWithPositionAndCode) {
    SceneryFileWriter writer;
    AirportEntry airport;
    airport.name = "Lakeside Field";
    // 1 degree north, 90 degrees east, 123.5 m.
    airport.detail = {PositionWords(111130, 0x8E38E38E, 0x40000000, 0, 123, 0x80000000),
                      CodeText("ABCD")};
    writer.Add(airport);
    RecordingCollector collector;
    collector.Parse(writer.Build());
    ASSERT_EQ(collector.airports.size(), 1u);
    const auto& found = collector.airports[0];
    EXPECT_EQ(found.name, "Lakeside Field");
    EXPECT_EQ(found.code, "ABCD");
    EXPECT_NEAR(found.latitude, 1.0, 1e-12);
    EXPECT_EQ(found.longitude, 90.0);
    // The fraction word counts (2^32 + 1) * 2^-64: 0x80000000 reads a little above one half.
    EXPECT_EQ(found.elevationMetres, static_cast<double>(123.0L + 0x80000000 * 0x1.00000001p-32L));
}

struct DecodeCase {
    std::int32_t latitude;
    std::uint32_t latitudeFraction;
    std::int32_t longitude;
    std::uint32_t longitudeFraction;
    std::int32_t elevation;
    std::uint32_t elevationFraction;
    double expectedLatitude;
    double expectedLongitude;
    double expectedElevation;
};

TEST(ExtractAirports, DecodesHostUnitsToDegreesAndMetres) {
    const DecodeCase cases[] = {
        {111130, 0x8E38E38E, 0x40000000, 0, 0, 0, 1.0, 90.0, 0.0},
        {-111131, 0x71C71C72, -0x40000000, 0, -5, 0, -1.0, -90.0, -5.0},
        // A fraction of 0xFFFFFFFF reads as just under one whole unit.
        {0, 0, 0, 0, 7, 0xFFFFFFFF, 0.0, 0.0, 7.0 + 0.99999999999999999989},
        {0, 0, INT32_MIN, 0, 0, 0, 0.0, -180.0, 0.0},
    };
    for (const DecodeCase& c : cases) {
        SceneryFileWriter writer;
        AirportEntry airport;
        airport.name = "A";
        airport.detail = {PositionWords(c.latitude, c.latitudeFraction, c.longitude,
                                        c.longitudeFraction, c.elevation, c.elevationFraction)};
        writer.Add(airport);
        RecordingCollector collector;
        collector.Parse(writer.Build());
        ASSERT_EQ(collector.airports.size(), 1u);
        EXPECT_NEAR(collector.airports[0].latitude, c.expectedLatitude, 1e-12);
        EXPECT_EQ(collector.airports[0].longitude, c.expectedLongitude);
        EXPECT_EQ(collector.airports[0].elevationMetres, c.expectedElevation);
    }
}

TEST(ExtractAirports, DetailBlockVariants) {
    struct Case {
        const char* label;
        std::vector<SubRecord> detail;
        size_t reports;
        const char* code;
        double latitude;
    };
    const SubRecord first = PositionWords(111130, 0x8E38E38E, 0, 0, 0, 0);      // 1 N
    const SubRecord second = PositionWords(222261, 0x1C71C71C, 0, 0, 0, 0);     // 2 N
    SubRecord shortRecord{1, std::vector<unsigned char>(8, 0xEE), 0xFFFFFFF0};  // step 16
    SubRecord other{0x20002, std::vector<unsigned char>(12, 0), std::nullopt};
    const Case cases[] = {
        {"code missing", {first}, 1, "????", 1.0},
        {"position missing", {CodeText("ABCD")}, 0, "", 0},
        {"second position wins", {first, CodeText("AB"), second}, 1, "AB", 2.0},
        {"second code wins", {CodeText("FRST"), first, CodeText("SCND")}, 1, "SCND", 1.0},
        {"kind 1 steps 16 whatever its size", {shortRecord, first}, 1, "????", 1.0},
        {"other kinds are stepped over", {other, first, CodeText("X")}, 1, "X", 1.0},
        {"empty code text", {first, CodeText("")}, 1, "", 1.0},
        // The code is held in 8 characters with the terminator; longer texts are cut.
        {"long code is cut to seven", {first, CodeText("ABCDEFGHIJK")}, 1, "ABCDEFG", 1.0},
        {"kind 0 ends the block", {scenery::EndOfBlock(), first}, 0, "", 0},
    };
    for (const Case& c : cases) {
        SceneryFileWriter writer;
        AirportEntry airport;
        airport.name = c.label;
        airport.detail = c.detail;
        writer.Add(airport);
        RecordingCollector collector;
        collector.Parse(writer.Build());
        ASSERT_EQ(collector.airports.size(), c.reports) << c.label;
        if (c.reports == 1) {
            EXPECT_EQ(collector.airports[0].code, c.code) << c.label;
            EXPECT_NEAR(collector.airports[0].latitude, c.latitude, 1e-9) << c.label;
        }
    }
}

TEST(ExtractAirports, SectionLevelRecords) {
    struct Case {
        const char* label;
        SectionRecord between;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"0x10003 ends the walk", {0x10003, {}, std::nullopt}, {"First"}},
        {"unknown kind ends the walk", {0x40000, {}, std::nullopt}, {"First"}},
        {"0x20001 is stepped over",
         {0x20001, std::vector<unsigned char>(40, 0xAB), std::nullopt},
         {"First", "Second"}},
        {"0x10006 is stepped over",
         {0x10006, std::vector<unsigned char>(3, 'x'), std::nullopt},
         {"First", "Second"}},
        {"kind 0 steps 8 whatever its size", {0, {}, 0x7777}, {"First", "Second"}},
        {"kind 1 steps 16 whatever its size",
         {1, std::vector<unsigned char>(8, 0), 0xFFFF},
         {"First", "Second"}},
        // size + 8 wraps to 0 in 32 bits: a step that is not positive ends the walk.
        {"wrapping step ends the walk", {0x10002, {}, 0xFFFFFFF8}, {"First"}},
        {"negative step ends the walk", {0x10002, {}, 0x80000000}, {"First"}},
    };
    for (const Case& c : cases) {
        SceneryFileWriter writer;
        writer.Add(Airport("First", "AAAA"));
        writer.Add(c.between);
        writer.Add(Airport("Second", "BBBB"));
        RecordingCollector collector;
        collector.Parse(writer.Build());
        EXPECT_EQ(Names(collector), c.names) << c.label;
    }
}

TEST(ExtractAirports, AirportRecordsThatAreSkipped) {
    struct Case {
        const char* label;
        std::uint32_t tag;
        std::optional<std::int32_t> detailOffset;
    };
    const Case cases[] = {
        {"tag other than 0x50001", 0x50002, std::nullopt},
        {"negative detail offset", 0x50001, -16},
        {"detail offset far beyond the section", 0x50001, 0x7FFFFF00},
    };
    for (const Case& c : cases) {
        SceneryFileWriter writer;
        AirportEntry skipped = Airport("Skipped", "SKIP");
        skipped.tag = c.tag;
        skipped.detailOffset = c.detailOffset;
        writer.Add(skipped);
        writer.Add(Airport("Kept", "KEPT"));
        RecordingCollector collector;
        collector.Parse(writer.Build());
        EXPECT_EQ(Names(collector), std::vector<std::string>{"Kept"}) << c.label;
    }
}

TEST(ExtractAirports, DetailBlockMustStartMoreThan128BytesBeforeTheSectionEnd) {
    // The last block starts right after the previous one; the padding decides its distance to
    // the section end. Block of the last airport: position (36) + code (13) + end (8) = 57.
    for (std::uint32_t padding : {70u, 71u, 72u, 128u}) {
        SceneryFileWriter writer;
        writer.trailingPadding = padding;
        writer.Add(Airport("Only", "ONLY"));
        RecordingCollector collector;
        collector.Parse(writer.Build());
        const bool kept = 57 + padding > 128;
        EXPECT_EQ(collector.airports.size(), kept ? 1u : 0u) << padding;
    }
}

TEST(ParseMappedFile, RejectsWrongHeaders) {
    struct Case {
        const char* label;
        std::uint32_t magic;
        std::uint32_t version;
        std::uint32_t firstKind;
    };
    const Case cases[] = {
        {"magic", 0x12345678, 1, 0x30001},
        {"version", 0x87654321, 2, 0x30001},
        {"first section record", 0x87654321, 1, 0x30002},
    };
    for (const Case& c : cases) {
        SceneryFileWriter writer;
        writer.magic = c.magic;
        writer.version = c.version;
        writer.firstSectionKind = c.firstKind;
        writer.Add(Airport("A", "A"));
        RecordingCollector collector;
        collector.Parse(writer.Build());
        EXPECT_TRUE(collector.airports.empty()) << c.label;
    }
}

TEST(ParseMappedFile, ImagesThatReachPastTheirEnd) {
    SceneryFileWriter writer;
    writer.Add(Airport("First", "AAAA"));
    writer.Add(Airport("Second", "BBBB"));
    const std::vector<unsigned char> full = writer.Build();

    RecordingCollector whole;
    whole.Parse(full);
    ASSERT_EQ(Names(whole).size(), 2u);

    // Shorter than the header, a facility section outside the image, and every truncation:
    // no read leaves the image, and airports before the cut stay reported.
    for (std::size_t length = 0; length < full.size(); ++length) {
        std::vector<unsigned char> cut(full.begin(), full.begin() + static_cast<long>(length));
        RecordingCollector collector;
        collector.Parse(cut);
        EXPECT_LE(collector.airports.size(), 2u);
    }
    std::vector<unsigned char> outside = full;
    StoreU32(outside.data() + 0x9C, 0xFFFFFFF0);
    RecordingCollector collector;
    collector.Parse(outside);
    EXPECT_TRUE(collector.airports.empty());
}

TEST(ParseMappedFile, UnterminatedNameEndsTheWalk) {
    // A detail block inside a stepped-over record, then the airport record that points to it,
    // as the last bytes of the image.
    const std::vector<unsigned char> block =
        scenery::DetailBlockBytes({PositionWords(111130, 0, 0, 0, 0, 0), scenery::EndOfBlock()});
    const std::int32_t blockOffset = 0xA0 + 24 + 8;
    const std::size_t nameOffset = static_cast<std::size_t>(blockOffset) + block.size() + 16;
    SceneryFileWriter writer;
    writer.Add(SectionRecord{0x20001, block, std::nullopt});
    AirportEntry airport = Airport("Unterminated", "UNTR");
    airport.detailOffset = blockOffset;
    writer.Add(airport);
    const std::vector<unsigned char> full = writer.Build();
    ASSERT_EQ(std::string(reinterpret_cast<const char*>(full.data() + nameOffset)), "Unterminated");

    // With its zero byte the name is reported; cut before it, the walk ends without a report.
    const auto terminated = static_cast<long>(nameOffset + 13);
    RecordingCollector whole;
    whole.Parse(std::vector<unsigned char>(full.begin(), full.begin() + terminated));
    EXPECT_EQ(Names(whole), std::vector<std::string>{"Unterminated"});
    RecordingCollector cut;
    cut.Parse(std::vector<unsigned char>(full.begin(), full.begin() + terminated - 1));
    EXPECT_TRUE(cut.airports.empty());
}

TEST(ParseMappedFile, AirportsPointingIntoOneLongBlockAreAllReportedInLinearTime) {
    // One long block inside a stepped-over record, its position at the far end, and thousands of
    // airport records that all point to it: walking it for each of them would take time that
    // grows with the square of the file size.
    constexpr std::size_t kFillers = 2000;
    constexpr std::size_t kAirports = 2000;
    std::vector<SubRecord> subRecords(kFillers, Filler());
    subRecords.push_back(PositionWords(111130, 0, 0, 0, 0, 0));
    subRecords.push_back(scenery::EndOfBlock());
    const std::vector<unsigned char> block = scenery::DetailBlockBytes(subRecords);
    SceneryFileWriter writer;
    writer.Add(SectionRecord{0x20001, block, std::nullopt});
    for (std::size_t i = 0; i < kAirports; ++i) {
        AirportEntry airport = Airport("Shared " + std::to_string(i), "SHRD");
        airport.detail.clear();
        airport.detailOffset = 0xA0 + 24 + 8;
        writer.Add(airport);
    }
    const std::vector<unsigned char> image = writer.Build();

    RecordingCollector collector;
    collector.Parse(image);
    // Every airport is reported from the shared block, which is read once, not once for each.
    ASSERT_EQ(collector.airports.size(), kAirports);
    EXPECT_NEAR(collector.airports.back().latitude, 1.0, 1e-4);
    EXPECT_EQ(collector.airports.back().code, "????");
    EXPECT_LE(collector.SubRecordVisits(), 2 * (kFillers + 2) + 1);
}

TEST(ParseMappedFile, DenselyFilledSoundBlocksAreWalkedWhole) {
    // Blocks of eight-byte sub-records, one after the other, as many as the file holds: no
    // bound on the walk may cut a file whose blocks do not overlap.
    constexpr int kAirports = 300;
    SceneryFileWriter writer;
    writer.trailingPadding = 129;
    for (int i = 0; i < kAirports; ++i) {
        AirportEntry airport = Airport("Dense " + std::to_string(i), "D" + std::to_string(i));
        airport.detail.insert(airport.detail.begin(), 200, Filler());
        writer.Add(airport);
    }
    RecordingCollector collector;
    collector.Parse(writer.Build());
    ASSERT_EQ(collector.airports.size(), static_cast<std::size_t>(kAirports));
    EXPECT_EQ(collector.airports.back().name, "Dense 299");
    EXPECT_EQ(collector.airports.back().code, "D299");
}

TEST(ScanFile, MapsARealFileAndSkipsWhatCannotBeMapped) {
    testing::TempDir dir;
    SceneryFileWriter writer;
    writer.Add(Airport("Mapped", "MAPD"));
    ASSERT_TRUE(scenery::WriteBytes(dir.File("a.bgl"), writer.Build()));
    ASSERT_TRUE(scenery::WriteBytes(dir.File("empty.bgl"), {}));
    const platform::FileEntry entry{};

    RecordingCollector collector;
    collector.ScanFile(dir.File("a.bgl").c_str(), entry);
    collector.ScanFile(dir.File("empty.bgl").c_str(), entry);
    collector.ScanFile(dir.File("missing.bgl").c_str(), entry);
    collector.ScanFile(dir.path().string().c_str(), entry);  // a directory
    EXPECT_EQ(Names(collector), std::vector<std::string>{"Mapped"});
}

}  // namespace
}  // namespace halvern
