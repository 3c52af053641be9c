// The cache file written whole or not at all: a writer stopped or killed part-way, two writers
// at once, a link at the cache's name and what failed writers leave behind.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "airports/airport_finder.h"
#include "airports/cache_file.h"
#include "fixtures/temp_dir.h"
#include "scenery/scenery_file_writer.h"

namespace halvern {
namespace {

namespace fs = std::filesystem;
using scenery::ReadBytes;

// A database of 1,000 airports, all at one elevation, for the scenery of one fingerprint. Their
// long names make a file of several of the writer's pieces, so that a writer paused half-way
// has written some of them to the file already.
void Fill(AirportFinder& finder, std::uint32_t fingerprint, double elevationMetres) {
    finder.SetSceneryFingerprint(fingerprint);
    for (int i = 0; i < 1000; ++i) {
        finder.AddAirport(("Field " + std::to_string(i) + std::string(120, '.')).c_str(), i * 0.05,
                          i * 0.1, elevationMetres, "FLD");
    }
}

// The bytes a writer writes when nothing stops it.
std::vector<unsigned char> WholeFile(const AirportFinder& finder, const std::string& path) {
    EXPECT_TRUE(finder.WriteCache(path.c_str()));
    return ReadBytes(path);
}

class CacheReplacement : public ::testing::Test {
  protected:
    void SetUp() override {
        Fill(older, 1, 40.0);  // 131 ft
        Fill(newer, 2, 50.0);  // 164 ft
        oldBytes = WholeFile(older, dir.File("old.dat"));
        newBytes = WholeFile(newer, dir.File("new.dat"));
        ASSERT_TRUE(older.WriteCache(cache.c_str()));
    }

    // The files beside the cache: the writers must leave none behind.
    std::size_t FilesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }

    testing::TempDir dir;
    fs::path folder = (fs::create_directory(dir.path() / "sim"), dir.path() / "sim");
    std::string cache = (folder / kCacheFileName).string();
    AirportFinder older;
    AirportFinder newer;
    std::vector<unsigned char> oldBytes;
    std::vector<unsigned char> newBytes;
};

TEST_F(CacheReplacement, TwoWritersAtOnceLeaveOneWritersWholeFile) {
    // The first writer is paused between two records while the scenery changes and a second
    // writer finishes; then the first goes on. Its file, written whole, is the one that stays.
    bool ran = false;
    ASSERT_TRUE(WriteCacheFile(newer, cache.c_str(), [&](std::int32_t record) {
        if (record == 500) {
            ASSERT_TRUE(older.WriteCache(cache.c_str()));
            ran = true;
        }
    }));
    ASSERT_TRUE(ran);
    EXPECT_EQ(ReadBytes(cache), newBytes);
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(CacheReplacement, AWriterKilledAtAnyRecordLeavesTheOldCacheOrTheNew) {
    for (std::int32_t stop = 0; stop <= 1000; ++stop) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            WriteCacheFile(newer, cache.c_str(), [stop](std::int32_t record) {
                if (record == stop) {
                    ::_exit(0);  // as if killed: nothing of the process runs on
                }
            });
            ::_exit(1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_EQ(ReadBytes(cache), oldBytes) << "killed before record " << stop;
        // The killed writer's new file is left beside the cache (a writer removes it once it is
        // a day old); cleared here so that each writer meets the folder as the first did.
        ASSERT_EQ(FilesInFolder(), 2u) << stop;
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path() != cache) {
                fs::remove(entry.path());
            }
        }
    }
    // What the killed writers left beside the cache is never read; the next writer replaces
    // the cache whole.
    ASSERT_TRUE(newer.WriteCache(cache.c_str()));
    EXPECT_EQ(ReadBytes(cache), newBytes);
}

TEST_F(CacheReplacement, ALinkAtTheCachesNameIsReplacedNotFollowed) {
    const fs::path outside = dir.path() / "outside.txt";
    std::ofstream(outside) << "not a cache";
    fs::remove(cache);
    fs::create_symlink(outside, cache);
    ASSERT_TRUE(newer.WriteCache(cache.c_str()));
    EXPECT_FALSE(fs::is_symlink(cache));
    EXPECT_EQ(ReadBytes(cache), newBytes);
    EXPECT_EQ(ReadBytes(outside.string()),
              std::vector<unsigned char>({'n', 'o', 't', ' ', 'a', ' ', 'c', 'a', 'c', 'h', 'e'}));
}

TEST_F(CacheReplacement, LeftoversOlderThanADayAreRemovedOthersKept) {
    const auto now = fs::file_time_type::clock::now();
    const struct {
        const char* name;
        fs::file_time_type written;
        bool kept;
    } files[] = {
        {"HalvernCache.dat.7-0.tmp", now - std::chrono::hours(25), false},
        {"halverncache.DAT.8-3.TMP", now - std::chrono::hours(48), false},
        {"HalvernCache.dat.9-0.tmp", now - std::chrono::hours(1), true},  // a writer at work
        {"HalvernCache.dat.bak", now - std::chrono::hours(48), true},
        {"Other.dat.7-0.tmp", now - std::chrono::hours(48), true},
    };
    for (const auto& file : files) {
        std::ofstream(folder / file.name) << "x";
        fs::last_write_time(folder / file.name, file.written);
    }
    ASSERT_TRUE(newer.WriteCache(cache.c_str()));
    for (const auto& file : files) {
        EXPECT_EQ(fs::exists(folder / file.name), file.kept) << file.name;
    }
}

}  // namespace
}  // namespace halvern
