#include "airports/scenery_file_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "airports/afd_list.h"
#include "airports/cache_file.h"
#include "airports/database_step.h"
#include "fixtures/temp_dir.h"
#include "scenery/scenery_file_writer.h"

namespace halvern {
namespace {

platform::FileEntry Entry(const char* name, std::uint64_t size, std::uint64_t written) {
    platform::FileEntry entry{};
    std::strncpy(entry.name, name, sizeof entry.name - 1);
    entry.attributes = 0x80;
    entry.size = size;
    entry.creationTime = written - 7;
    entry.lastAccessTime = written + 7;
    entry.lastWriteTime = written;
    return entry;
}

bool SameEntry(const platform::FileEntry& a, const platform::FileEntry& b) {
    return std::strcmp(a.name, b.name) == 0 && a.attributes == b.attributes && a.size == b.size &&
           a.creationTime == b.creationTime && a.lastAccessTime == b.lastAccessTime &&
           a.lastWriteTime == b.lastWriteTime;
}

TEST(SceneryFileList, GivesBackEveryPathAndEntryInOrder) {
    struct Case {
        const char* path;
        platform::FileEntry entry;
    };
    const std::string longName(300, 'n');  // longer than an entry's name field
    platform::FileEntry unterminated = Entry("", 1, 2);
    std::memset(unterminated.name, 'u', sizeof unterminated.name);
    const Case cases[] = {
        {"C:\\Sim\\Area\\scenery\\a.bgl", Entry("a.bgl", 10, 1000)},
        {"C:\\Sim\\Area\\scenery\\b.bgl", Entry("b.bgl", 0, 0)},  // the same directory
        {"C:\\Sim\\Other\\scenery\\a.bgl", Entry("a.bgl", 1u << 31, ~0ull)},
        {"C:\\Sim\\Area\\scenery\\c.bgl", Entry("c.bgl", 3, 3)},  // a directory seen before
        {"x.bgl", Entry("x.bgl", 5, 5)},                          // no directory at all
        {"C:/Sim/slash/y.bgl", Entry("y.bgl", 6, 6)},
        {"C:\\Sim\\Area\\scenery\\", Entry("", 7, 7)},        // no leaf
        {"C:\\Sim\\odd.bgl", Entry("other name.bgl", 8, 8)},  // an entry that is not the leaf
        {"C:\\Sim\\cut.bgl", unterminated},
    };
    SceneryFileList list;
    for (const Case& c : cases) {
        list.Add(c.path, c.entry);
    }
    list.Trim();
    ASSERT_TRUE(list.Complete());
    ASSERT_EQ(list.Count(), std::size(cases));
    std::string path;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        list.Path(i, path);
        EXPECT_EQ(path, cases[i].path) << i;
        platform::FileEntry expected = cases[i].entry;
        expected.name[sizeof expected.name - 1] = '\0';  // the name as far as its field holds it
        EXPECT_TRUE(SameEntry(list.Entry(i), expected)) << i;
    }
    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
}

// A finder that notes every file reported to it, with its entry, and the order of events.
class RecordingFinder : public AirportFinder {
  public:
    void OnFileScanned(const char* path, const platform::FileEntry& entry) override {
        paths.emplace_back(path);
        entries.push_back(entry);
    }
    std::vector<std::string> paths;
    std::vector<platform::FileEntry> entries;
};

// A random world: areas listed in scenery.cfg, some switched off, missing or among the host's
// default areas, each with scenery files of random airports, some of them unreadable.
std::string WriteRandomWorld(const testing::TempDir& dir, std::uint32_t seed) {
    std::mt19937 random(seed);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::string config = "[General]\r\nTitle=World\r\n";
    const int areas = 1 + pick(12);
    int airport = 0;
    for (int a = 1; a <= areas; ++a) {
        const bool defaultArea = pick(8) == 0;
        const std::string local = defaultArea ? "scenedb\\world" : "Area" + std::to_string(a);
        const std::string folder = defaultArea ? "scenedb/world/scenery" : local + "/scenery";
        config += "[Area." + std::string(a < 10 ? "00" : "0") + std::to_string(a) +
                  "]\r\nLocal=" + local + "\r\nActive=" + (pick(6) == 0 ? "FALSE" : "TRUE") +
                  "\r\n";
        if (pick(10) == 0) {
            continue;  // listed but missing
        }
        std::filesystem::create_directories(dir.path() / folder);
        for (int f = 0, files = pick(7); f < files; ++f) {
            const std::string file =
                (dir.path() / folder / ("F" + std::to_string(f) + ".bgl")).string();
            if (pick(6) == 0) {
                scenery::WriteBytes(file, {1, 2, 3});  // unreadable as scenery
                continue;
            }
            scenery::SceneryFileWriter writer;
            for (int n = 0, count = pick(5); n < count; ++n, ++airport) {
                writer.Add(scenery::MakeAirport(
                    "Field " + std::to_string(airport), "C" + std::to_string(airport % 50),
                    pick(180) - 90 + 0.25, pick(360) - 180 + 0.5, pick(2000)));
            }
            scenery::WriteBytes(file, writer.Build());
        }
    }
    std::ofstream(dir.path() / "scenery.cfg", std::ios::binary) << config;
    std::string simulatorDir = dir.path().string();
    for (char& c : simulatorDir) {
        c = c == '/' ? '\\' : c;
    }
    return simulatorDir + "\\";
}

TEST(DatabaseStepSameness, ExtractingTheAcceptedFilesEqualsWalkingTheSceneryAgain) {
    int airports = 0;
    for (std::uint32_t seed = 1; seed <= 60; ++seed) {
        testing::TempDir dir;
        const std::string simulatorDir = WriteRandomWorld(dir, seed);

        // The step: the fingerprint pass, no cache, the extraction over the accepted files.
        RecordingFinder step;
        ScanProgress progress;
        ASSERT_EQ(RunDatabaseStep(step, simulatorDir.c_str(), progress, nullptr),
                  DatabaseSource::kScenery);

        // The same by two walks over the scenery.
        RecordingFinder walked;
        walked.SetSceneryFingerprint(0);
        {
            AirportFinder::My_AFDList fingerprinting(walked, SceneryPass::kFingerprint);
            fingerprinting.EnumerateSceneryAreas(simulatorDir.c_str());
        }
        const std::size_t fingerprinted = walked.paths.size();
        walked.BuildFromScenery(simulatorDir.c_str());

        EXPECT_EQ(step.SceneryFingerprint(), walked.SceneryFingerprint()) << seed;
        ASSERT_EQ(step.paths, walked.paths) << seed;
        EXPECT_EQ(step.paths.size(), 2 * fingerprinted) << seed;
        // The entries too, but for their access times: the step's extraction reports each file
        // with its entry from the fingerprint pass, while the second walk lists the files after
        // the step has read them, which may have moved their access times.
        for (std::size_t i = 0; i < step.entries.size(); ++i) {
            platform::FileEntry entry = step.entries[i];
            entry.lastAccessTime = walked.entries[i].lastAccessTime;
            ASSERT_TRUE(SameEntry(entry, walked.entries[i])) << seed << " " << i;
        }
        ASSERT_EQ(step.RecordCount(), walked.RecordCount()) << seed;
        for (std::int32_t i = 0; i < step.RecordCount(); ++i) {
            const AirportRecord& a = step.Record(i);
            const AirportRecord& b = walked.Record(i);
            ASSERT_STREQ(a.name, b.name);
            ASSERT_EQ(a.latitude, b.latitude);
            ASSERT_EQ(a.longitude, b.longitude);
            ASSERT_EQ(a.elevation, b.elevation);
            ASSERT_EQ(std::memcmp(a.code, b.code, 5), 0);
        }
        airports += step.RecordCount();

        // The cache it wrote is taken at the next start.
        RecordingFinder next;
        ScanProgress again;
        const DatabaseSource source = RunDatabaseStep(next, simulatorDir.c_str(), again, nullptr);
        EXPECT_EQ(source,
                  step.RecordCount() > 0 ? DatabaseSource::kCache : DatabaseSource::kScenery)
            << seed;
        EXPECT_EQ(next.RecordCount(), step.RecordCount()) << seed;
    }
    EXPECT_GT(airports, 300);
}

}  // namespace
}  // namespace halvern
