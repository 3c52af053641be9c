// Paths and names at the limits the host's buffers and calls set: a cache file's path at the
// host platform's path limit, scenery.cfg Local values of 259 characters and longer, and airport
// names of 1022 characters and longer on their way from a scenery file through the cache file
// to the overlay.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "airports/afd_info_collector.h"
#include "airports/afd_list.h"
#include "airports/airport_finder.h"
#include "airports/cache_file.h"
#include "airports/database_step.h"
#include "fixtures/long_path.h"
#include "fixtures/temp_dir.h"
#include "overlay/display_options.h"
#include "overlay/overlay_line.h"
#include "scenery/scenery_file_writer.h"

namespace halvern {
namespace {

namespace fs = std::filesystem;
using testing::DirectoryOfLength;

std::string HostForm(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// The directories of the areas the walk comes to.
class AreaRecorder : public SceneryObserver {
  public:
    void OnArea(const SceneryArea& area) override { directories.emplace_back(area.directory); }
    void OnWalkEnd(WalkEnd, std::int64_t, std::int32_t) override {}
    void OnFile(const char*, const platform::FileEntry&, FileFate, std::int32_t) override {}
    std::vector<std::string> directories;
};

class RecordingCollector : public AFDInfoCollector {
  public:
    void ScanFile(const char* path, const platform::FileEntry& /*entry*/) override {
        paths.emplace_back(path);
    }
    std::vector<std::string> paths;
};

void WriteScenery(const fs::path& areaDir, const std::string& file,
                  const std::vector<std::string>& names) {
    scenery::SceneryFileWriter writer;
    for (std::size_t i = 0; i < names.size(); ++i) {
        writer.Add(scenery::MakeAirport(names[i], "LP" + std::to_string(i), 47.0, 8.0, 400.0));
    }
    fs::create_directories(areaDir);
    ASSERT_TRUE(scenery::WriteBytes((areaDir / file).string(), writer.Build()));
}

TEST(LongPath, TheCacheIsWrittenAndReadOnlyWhereItsPathFitsTheLimit) {
    // The simulator directory's length with its separator; the cache file's name adds 16
    // characters, the area's "A\scenery\*.bgl" 15 and its file "A\scenery\a.bgl" 15.
    struct Case {
        std::size_t simulatorDir;
        DatabaseSource secondStart;
    };
    for (const Case c : {Case{243, DatabaseSource::kCache}, Case{244, DatabaseSource::kScenery}}) {
        testing::TempDir temp;
        const fs::path sim = DirectoryOfLength(temp.path(), c.simulatorDir - 1);
        const std::string simulatorDir = HostForm(sim.string()) + '\\';
        ASSERT_EQ(simulatorDir.size(), c.simulatorDir);
        WriteScenery(sim / "A" / "scenery", "a.bgl", {"First", "Second"});
        std::ofstream(sim / "scenery.cfg") << "[Area.001]\nLocal=A\nActive=TRUE\n";

        AirportFinder finder;
        ScanProgress progress;
        EXPECT_EQ(RunDatabaseStep(finder, simulatorDir.c_str(), progress, nullptr),
                  DatabaseSource::kScenery);
        EXPECT_EQ(finder.RecordCount(), 2) << c.simulatorDir;
        // A cache path of 260 characters is one the host platform cannot create.
        EXPECT_EQ(fs::exists(sim / kCacheFileName), c.secondStart == DatabaseSource::kCache);

        AirportFinder next;
        EXPECT_EQ(RunDatabaseStep(next, simulatorDir.c_str(), progress, nullptr), c.secondStart);
        ASSERT_EQ(next.RecordCount(), 2) << c.simulatorDir;
        EXPECT_STREQ(next.Record(1).name, "Second");
    }
}

TEST(LongPath, LocalValuesAreReadUpTo259CharactersAndListedWithinTheLimit) {
    testing::TempDir temp;
    const fs::path sim = temp.path() / "Sim";
    fs::create_directories(sim);
    // Absolute Local values of 259 characters (read whole) and of 260 (cut to its first 259,
    // as the host reads them into 260 characters with the terminator): their directories are
    // beyond the limit and list nothing. One of 245 characters lists its folder, whose pattern
    // has 259.
    const fs::path area259 = DirectoryOfLength(temp.path() / "a", 259);
    const fs::path area245 = DirectoryOfLength(temp.path() / "b", 245);
    for (const fs::path& area : {area259, fs::path(area259.string() + "X"), area245}) {
        fs::create_directories(area / "scenery");
        std::ofstream(area / "scenery" / "f.bgl") << "scenery";
    }
    struct Case {
        const char* label;
        std::string local;
        std::string area;
        std::vector<std::string> scanned;
    };
    const std::string host259 = HostForm(area259.string());
    const std::string host245 = HostForm(area245.string());
    const Case cases[] = {
        {"259 characters", host259, host259 + "\\scenery\\", {}},
        {"260 characters", host259 + "X", host259 + "\\scenery\\", {}},
        {"1000 characters", host259 + std::string(741, 'Y'), host259 + "\\scenery\\", {}},
        {"245 characters", host245, host245 + "\\scenery\\", {host245 + "\\scenery\\f.bgl"}},
    };
    for (const Case& c : cases) {
        std::ofstream(sim / "scenery.cfg", std::ios::trunc)
            << "[Area.001]\nLocal=" << c.local << "\nActive=TRUE\n";
        RecordingCollector collector;
        AreaRecorder areas;
        collector.Observe(&areas);
        collector.EnumerateSceneryAreas((HostForm(sim.string()) + '\\').c_str());
        EXPECT_EQ(areas.directories, std::vector<std::string>{c.area}) << c.label;
        EXPECT_EQ(collector.paths, c.scanned) << c.label;
    }
}

TEST(LongPath, NamesOf1022CharactersGoThroughTheCacheAndAreCutOnTheOverlay) {
    testing::TempDir temp;
    const std::string name1022(1022, 'N');
    WriteScenery(temp.path(), "a.bgl", {name1022, "Short"});
    AirportFinder finder;
    {
        AirportFinder::My_AFDList extraction(finder, SceneryPass::kExtraction);
        extraction.ScanFile(temp.File("a.bgl").c_str(), platform::FileEntry{});
    }
    ASSERT_EQ(finder.RecordCount(), 2);
    EXPECT_EQ(std::strlen(finder.Record(0).name), 1022u);
    const std::string cache = temp.File(kCacheFileName);
    ASSERT_TRUE(finder.WriteCache(cache.c_str()));

    AirportFinder reread;
    reread.SetSceneryFingerprint(finder.SceneryFingerprint());
    ASSERT_TRUE(reread.ReadCache(cache.c_str()));
    EXPECT_EQ(reread.Record(0).name, name1022);

    // The line buffer holds 255 characters: the name fills it, and the pieces after it are
    // dropped rather than written past its end.
    char line[kOverlayLineSize];
    std::memset(line, '#', sizeof line);
    const std::size_t length = ComposeOverlayLine(reread.Record(0), LineFigures{}, 0x3F, line);
    EXPECT_EQ(length, kOverlayLineMaxLength);
    EXPECT_EQ(std::string(line), std::string(255, 'N'));
}

TEST(LongPath, ALongerNameIsKeptTo1022CharactersSoThatItsCacheIsRead) {
    // The reader takes names of at most 1022 characters: a longer one written whole would make a
    // cache that every start rejects and extracts again.
    testing::TempDir temp;
    const std::string cache = temp.File(kCacheFileName);
    for (const std::size_t length : {1023u, 1024u, 5000u}) {
        AirportFinder finder;
        finder.SetSceneryFingerprint(7);
        finder.AddAirport(std::string(length, 'N').c_str(), 1, 2, 3, "LONG");
        EXPECT_EQ(std::string(finder.Record(0).name), std::string(1022, 'N')) << length;
        ASSERT_TRUE(finder.WriteCache(cache.c_str()));
        AirportFinder reread;
        reread.SetSceneryFingerprint(7);
        ASSERT_TRUE(reread.ReadCache(cache.c_str())) << length;
        EXPECT_EQ(std::string(reread.Record(0).name), finder.Record(0).name) << length;
    }
}

}  // namespace
}  // namespace halvern
