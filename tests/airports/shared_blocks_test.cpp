// Detail blocks shared by many airports, whole or in part: every airport is reported as walking
// its block alone would report it, while each sub-record is read a bounded number of times.

#include <gtest/gtest.h>

#include <random>

#include "fixtures/recording_collector.h"
#include "scenery/plain_extraction.h"
#include "scenery/scenery_file_writer.h"

namespace halvern {
namespace {

using scenery::AirportEntry;
using scenery::CodeText;
using scenery::MakeAirport;
using scenery::PositionWords;
using scenery::SceneryFileWriter;
using scenery::SectionRecord;
using scenery::SubRecord;
using testing::PlainAirport;
using testing::PlainExtraction;
using testing::RecordingCollector;

// Where the payload of a stepped-over record placed first in the section begins.
constexpr std::int32_t kFirstPayload = 0xA0 + 24 + 8;

std::vector<PlainAirport> Reported(const RecordingCollector& collector) {
    std::vector<PlainAirport> airports;
    for (const auto& a : collector.airports) {
        airports.push_back({a.name, a.code, a.latitude, a.longitude, a.elevationMetres});
    }
    return airports;
}

SubRecord Filler() {
    return SubRecord{0x20002, {}, std::nullopt};
}

// A file holding `block` inside a stepped-over record, then one airport record per entry of
// `offsets`, each pointing that far into the block.
std::vector<unsigned char> SharedBlockFile(const std::vector<SubRecord>& block,
                                           const std::vector<std::int32_t>& offsets) {
    SceneryFileWriter writer;
    writer.Add(SectionRecord{0x20001, scenery::DetailBlockBytes(block), std::nullopt});
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        AirportEntry airport = MakeAirport(std::to_string(i), "", 0, 0, 0);
        airport.detail.clear();
        airport.detailOffset = kFirstPayload + offsets[i];
        writer.Add(airport);
    }
    return writer.Build();
}

TEST(ParseMappedFile, EveryAirportOfASoundFileIsReportedHoweverItsBlocksAreShared) {
    const SubRecord position = PositionWords(111130, 0, 0, 0, 0, 0);
    // Seven sub-records: five fillers, a position, a code; then the end.
    std::vector<SubRecord> seven(5, Filler());
    seven.push_back(position);
    seven.push_back(CodeText("SEVN"));
    seven.push_back(scenery::EndOfBlock());
    // Two such blocks one after the other, the second with another code.
    std::vector<SubRecord> two = seven;
    two.insert(two.end(), seven.begin(), seven.end());
    two[14] = CodeText("OTHR");
    const std::int32_t secondOfTwo = 5 * 8 + 36 + 13 + 8;
    // One long block of fillers with a position and a code at its far end.
    std::vector<SubRecord> longBlock(2000, Filler());
    longBlock.push_back(position);
    longBlock.push_back(CodeText("LONG"));
    longBlock.push_back(scenery::EndOfBlock());

    struct Case {
        const char* label;
        std::vector<SubRecord> block;
        std::vector<std::int32_t> offsets;
    };
    std::vector<Case> cases = {{"10000 airports, one block of 7", seven, {}},
                               {"2 blocks in turn", two, {}},
                               {"every sub-record of one long block", longBlock, {}}};
    cases[0].offsets.assign(10000, 0);
    for (int i = 0; i < 10000; ++i) {
        cases[1].offsets.push_back(i % 2 == 0 ? 0 : secondOfTwo);
    }
    for (std::int32_t i = 0; i < 2000; ++i) {
        cases[2].offsets.push_back(8 * i);
    }
    for (const Case& c : cases) {
        const std::vector<unsigned char> image = SharedBlockFile(c.block, c.offsets);
        RecordingCollector collector;
        collector.Parse(image);
        EXPECT_EQ(collector.airports.size(), c.offsets.size()) << c.label;
        EXPECT_EQ(Reported(collector), PlainExtraction(image.data(), image.size()).Airports())
            << c.label;
        // Each sub-record is read at most twice, and once more for each airport that points to
        // it: a number of reads linear in the file's size.
        EXPECT_LE(collector.SubRecordVisits(), image.size() / 2) << c.label;
    }
}

// Random files: a run of random sub-records, airports pointing anywhere into it (on a sub-record
// or between two, repeated or not), then random bytes damaged and the image cut at random.
std::vector<unsigned char> RandomFile(std::mt19937& random) {
    auto word = [&] { return static_cast<std::uint32_t>(random()); };
    auto below = [&](std::size_t n) { return static_cast<std::uint32_t>(random() % n); };
    std::vector<SubRecord> soup;
    std::vector<std::int32_t> boundaries;
    std::int32_t at = 0;
    const std::uint32_t count = 1 + below(60);
    for (std::uint32_t i = 0; i < count; ++i) {
        boundaries.push_back(at);
        SubRecord sub;
        switch (below(8)) {
            case 0:
                sub = PositionWords(static_cast<std::int32_t>(word()), word(),
                                    static_cast<std::int32_t>(word()), word(),
                                    static_cast<std::int32_t>(word()), word());
                break;
            case 1:
                sub = CodeText(std::string(below(12), static_cast<char>('A' + below(26))));
                break;
            case 2:
                sub = SubRecord{1, std::vector<unsigned char>(8, 0x11), std::nullopt};
                break;
            case 3:
                sub = below(4) == 0 ? scenery::EndOfBlock() : Filler();
                break;
            default:
                sub = SubRecord{0x20002, std::vector<unsigned char>(below(24), 0x7), std::nullopt};
                break;
        }
        at += static_cast<std::int32_t>(8 + sub.payload.size());
        soup.push_back(sub);
    }
    std::vector<std::int32_t> offsets;
    const std::uint32_t airports = 1 + below(40);
    for (std::uint32_t i = 0; i < airports; ++i) {
        offsets.push_back(below(5) == 0
                              ? static_cast<std::int32_t>(below(static_cast<std::size_t>(at)))
                              : boundaries[below(boundaries.size())]);
    }
    std::vector<unsigned char> image = SharedBlockFile(soup, offsets);
    const std::uint32_t damage = below(4) == 0 ? 0 : 1 + below(6);
    for (std::uint32_t i = 0; i < damage; ++i) {
        image[below(image.size())] = static_cast<unsigned char>(below(3) == 0 ? 0 : word());
    }
    if (below(4) == 0) {
        image.resize(below(image.size()));
    }
    return image;
}

TEST(ParseMappedFile, RandomFilesReportWhatWalkingEachBlockAloneReports) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 3000; ++round) {
        const std::vector<unsigned char> image = RandomFile(random);
        RecordingCollector collector;
        collector.ExtractAirports(image.data(), image.size());
        ASSERT_EQ(Reported(collector), PlainExtraction(image.data(), image.size()).Airports())
            << "round " << round;
    }
}

}  // namespace
}  // namespace halvern
