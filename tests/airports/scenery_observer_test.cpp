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

#include "airports/airport_finder.h"
#include "airports/scenery_observer.h"
#include "fixtures/recording_collector.h"
#include "fixtures/temp_dir.h"
#include "scenery/scenery_file_writer.h"

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
        const std::string text(path);
        files[text.substr(text.find_last_of('\\') + 1)] = {fate, airports};
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

std::string HostForm(const fs::path& directory) {
    std::string text = directory.string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text + '\\';
}

void WriteBytes(const fs::path& path, const std::vector<unsigned char>& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

TEST(SceneryObserver, EveryAreaAndFileIsToldWithWhatBecameOfIt) {
    testing::TempDir sim;
    const std::string simDir = HostForm(sim.path());
    std::ofstream(sim.path() / "scenery.cfg") << "[Area.001]\nLocal=Addon\nActive=TRUE\n"
                                                 "[Area.002]\nLocal=Off\nActive=FALSE\n"
                                                 "[Area.003]\nLocal=.\\Addon\\\nActive=true\n"
                                                 "[Area.004]\nLocal=Gone\nActive=TRUE\n"
                                                 "[Area.005]\nLocal=scenedb\\cities\\paris\n"
                                                 "Active=TRUE\n";
    const std::vector<unsigned char> sound = TwoAirports({});
    std::vector<unsigned char> badHeader = sound;
    badHeader[0x76] ^= 1;  // the magic number
    WriteBytes(sim.path() / "Addon/scenery/sound.bgl", sound);
    WriteBytes(sim.path() / "Addon/scenery/badheader.bgl", badHeader);
    WriteBytes(sim.path() / "Addon/scenery/empty.bgl", {});
    WriteBytes(sim.path() / "Off/scenery/off.bgl", sound);
    WriteBytes(sim.path() / "scenedb/cities/paris/scenery/paris.bgl", sound);

    Diary diary;
    AirportFinder finder;
    finder.BuildFromScenery(simDir.c_str(), &diary);

    const std::vector<std::pair<std::string, AreaFate>> areas = {
        {"Addon\\scenery\\", AreaFate::kRead},
        {"Off\\scenery\\", AreaFate::kInactive},
        {".\\Addon\\scenery\\", AreaFate::kAlreadyWalked},
        {"Gone\\scenery\\", AreaFate::kMissing},
        {"scenedb\\cities\\paris\\scenery\\", AreaFate::kRead},
    };
    ASSERT_EQ(diary.areas.size(), areas.size());
    for (std::size_t i = 0; i < areas.size(); ++i) {
        EXPECT_EQ(diary.areas[i].directory, simDir + areas[i].first);
        EXPECT_EQ(diary.areas[i].source, AreaSource::kSceneryConfig);
        EXPECT_EQ(diary.areas[i].entry, i + 1);
        EXPECT_EQ(diary.areas[i].fate, areas[i].second) << i;
    }
    const std::map<std::string, std::pair<FileFate, std::int32_t>> files = {
        {"sound.bgl", {FileFate::kRead, 2}},
        {"badheader.bgl", {FileFate::kBadHeader, 0}},
        {"empty.bgl", {FileFate::kNotOpened, 0}},
        {"paris.bgl", {FileFate::kDefaultArea, 0}},
    };
    ASSERT_EQ(diary.files.size(), files.size());
    for (const auto& [name, expected] : files) {
        ASSERT_EQ(diary.files.count(name), 1u) << name;
        EXPECT_EQ(diary.files[name].fate, expected.first) << name;
        EXPECT_EQ(diary.files[name].airports, expected.second) << name;
    }
    EXPECT_EQ(finder.RecordCount(), 2);
}

TEST(SceneryObserver, ADirectoryNamedAsADefaultAreaAndAsAnAddOnIsWalkedForTheAddOn) {
    // Addons\Mirror\scenery is a link to the default area's folder: read as an add-on there,
    // whichever area comes first.
    testing::TempDir sim;
    const std::string simDir = HostForm(sim.path());
    WriteBytes(sim.path() / "Scenedb/world/scenery/w.bgl", TwoAirports({}));
    fs::create_directories(sim.path() / "Addons/Mirror");
    fs::create_directory_symlink(sim.path() / "Scenedb/world/scenery",
                                 sim.path() / "Addons/Mirror/scenery");
    for (const bool defaultFirst : {true, false}) {
        const char* const locals[] = {"Scenedb\\world", "Addons\\Mirror"};
        std::ofstream config(sim.path() / "scenery.cfg", std::ios::trunc);
        for (int i = 0; i < 2; ++i) {
            config << "[Area.00" << i + 1 << "]\nLocal=" << locals[defaultFirst ? i : 1 - i]
                   << "\nActive=TRUE\n";
        }
        config.close();
        Diary diary;
        AirportFinder finder;
        finder.BuildFromScenery(simDir.c_str(), &diary);
        EXPECT_EQ(finder.RecordCount(), 2) << defaultFirst;
        ASSERT_EQ(diary.areas.size(), 2u);
        EXPECT_EQ(diary.areas[0].fate, AreaFate::kRead) << defaultFirst;
        EXPECT_EQ(diary.areas[1].fate, AreaFate::kRead) << defaultFirst;
    }
}

}  // namespace
}  // namespace halvern
