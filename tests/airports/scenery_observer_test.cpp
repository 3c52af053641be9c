// What the walk and the extraction tell an observer: where a damaged file's walk ended and why,
// what became of each file, and every area of the scenery list with its fate.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "airports/afd_list.h"
#include "airports/scenery_observer.h"
#include "scenery/scenery_file_writer.h"
#include "support/recording_collector.h"
#include "support/temp_dir.h"

namespace halvern {
namespace {

namespace fs = std::filesystem;
using scenery::MakeAirport;
using scenery::SceneryFileWriter;

struct SeenEnd {
    WalkEnd why;
    std::int64_t offset;
    std::int32_t airportsBefore;
};

struct SeenFile {
    FileFate fate;
    std::int32_t airports;
};

class Diary : public SceneryObserver {
  public:
    void OnArea(const SceneryArea& area) override {
        areas.push_back({area.directory, area.source, area.entry, area.fate});
    }
    void OnWalkEnd(WalkEnd why, std::int64_t offset, std::int32_t airportsBefore) override {
        ends.push_back({why, offset, airportsBefore});
    }
    void OnFile(const char* path, const platform::FileEntry&, FileFate fate,
                std::int32_t airports) override {
        files[fs::path(path).filename().string()] = {fate, airports};
    }

    struct Area {
        std::string directory;
        AreaSource source;
        std::uint64_t entry;
        AreaFate fate;
    };
    std::vector<Area> areas;
    std::vector<SeenEnd> ends;
    std::map<std::string, SeenFile> files;
};

// A file of two airports, "Alpha" and "Bravo", and what lies between them. Their detail block
// comes first, in a record the walk steps over, so that a file cut inside the second airport's
// record still holds the block the first one needs.
std::vector<unsigned char> TwoAirports(const std::vector<scenery::SectionRecord>& between) {
    constexpr std::int32_t kBlock = 0xC0;  // the stepped-over record's payload: 0xA0 + 24 + 8
    SceneryFileWriter writer;
    writer.Add(scenery::SectionRecord{
        0x20001,
        scenery::DetailBlockBytes({scenery::PositionDegrees(10, 20, 0), scenery::CodeText("AAAA"),
                                   scenery::EndOfBlock()}),
        {}});
    scenery::AirportEntry alpha{"Alpha", {}, 0x50001, kBlock, false};
    scenery::AirportEntry bravo{"Bravo", {}, 0x50001, kBlock, false};
    writer.Add(alpha);
    for (const auto& record : between) {
        writer.Add(record);
    }
    writer.Add(bravo);
    return writer.Build();
}

// The offset of the record of the airport named `name` (its name lies 16 bytes into it).
std::int64_t RecordOf(const std::vector<unsigned char>& image, const std::string& name) {
    const auto at = std::search(image.begin(), image.end(), name.begin(), name.end());
    return at == image.end() ? -1 : (at - image.begin()) - 16;
}

TEST(SceneryObserver, AWalkThatEndsEarlySaysWhyWhereAndHowManyAirportsCameBefore) {
    const std::vector<unsigned char> sound = TwoAirports({});
    const std::int64_t bravo = RecordOf(sound, "Bravo");
    const auto cut = [&](std::int64_t length) {
        return std::vector<unsigned char>(sound.begin(), sound.begin() + length);
    };
    // A record of an unlisted kind (12 bytes), or one whose step is 0 (8 bytes), before Bravo.
    const std::vector<unsigned char> unknownKind = TwoAirports({{0x44444, {1, 2, 3, 4}, {}}});
    const std::vector<unsigned char> zeroStep = TwoAirports({{0x20001, {}, 0xFFFFFFF8u}});

    struct Case {
        const char* what;
        std::vector<unsigned char> image;
        std::optional<SeenEnd> end;
        std::size_t airports;
    };
    const Case cases[] = {
        {"a sound file", sound, std::nullopt, 2},
        {"a record cut short", cut(bravo + 6), SeenEnd{WalkEnd::kRecordPastEnd, bravo, 1}, 1},
        {"a name past the end", cut(bravo + 16), SeenEnd{WalkEnd::kTextPastEnd, bravo, 1}, 1},
        {"a name without its zero", cut(bravo + 16 + 5),
         SeenEnd{WalkEnd::kUnterminatedText, bravo, 1}, 1},
        {"an unlisted kind", unknownKind,
         SeenEnd{WalkEnd::kStepEndsWalk, RecordOf(unknownKind, "Bravo") - 12, 1}, 1},
        {"a step of zero", zeroStep,
         SeenEnd{WalkEnd::kStepEndsWalk, RecordOf(zeroStep, "Bravo") - 8, 1}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Diary diary;
        testing::RecordingCollector collector;
        collector.Observe(&diary);
        ASSERT_TRUE(collector.ParseMappedFile(c.image.data(), c.image.size()));
        EXPECT_EQ(collector.airports.size(), c.airports);
        ASSERT_EQ(diary.ends.size(), c.end ? 1u : 0u);
        if (c.end) {
            EXPECT_EQ(diary.ends[0].why, c.end->why);
            EXPECT_EQ(diary.ends[0].offset, c.end->offset);
            EXPECT_EQ(diary.ends[0].airportsBefore, c.end->airportsBefore);
        }
    }
}

}  // namespace
}  // namespace halvern
