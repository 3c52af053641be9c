#include "airports/afd_list.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "airports/default_areas.h"
#include "airports/scenery_fingerprint.h"
#include "scenery/scenery_file_writer.h"
#include "support/ascii_case.h"
#include "support/temp_dir.h"

namespace halvern {
namespace {

struct AreaCase {
    const char* path;
    bool skipped;
};

TEST(DefaultAreas, DirectoryPartMustEndWithASuffix) {
    const AreaCase cases[] = {
        {"C:\\Sim\\scenedb\\cities\\Egypt\\scenery\\a.bgl", true},
        {"C:\\Sim\\Scenedb\\cities\\paris\\scenery\\x.bgl", true},
        {"C:\\Sim\\SCENEDB\\WORLD\\SCENERY\\x.bgl", true},
        {"C:\\Sim\\scenedb\\usgl\\scenery\\x.bgl", true},
        {"C:\\Sim\\scenedb\\easthem\\yakutsk\\scenery\\x.bgl", true},
        {"C:\\Sim\\scenedb\\westhem\\ussw\\scenery\\x.bgl", true},
        {"C:\\Sim\\scenedb\\world\\scenery\\", true},  // the directory itself
        // Below a default area, or beside one: accepted.
        {"C:\\Sim\\scenedb\\world\\scenery\\sub\\x.bgl", false},
        {"C:\\Sim\\scenedb\\world\\scenery2\\x.bgl", false},
        {"C:\\Sim\\scenedb\\cities\\lyon\\scenery\\x.bgl", false},
        {"C:\\Sim\\Addon\\scenery\\x.bgl", false},
        // The suffix needs a character before it.
        {"\\scenedb\\world\\scenery\\x.bgl", false},
        {"a\\scenedb\\world\\scenery\\x.bgl", true},
        // Forward slashes do not match the backslashes of the list.
        {"C:/Sim/scenedb/world/scenery/x.bgl", false},
        {"C:\\Sim\\scenedb\\world\\scenery/x.bgl", false},
        {"x.bgl", false},
        {"", false},
    };
    for (const AreaCase& c : cases) {
        EXPECT_EQ(IsInDefaultArea(c.path), c.skipped) << c.path;
    }
}

// The test as first written: every suffix compared in turn where the path's last separator is.
bool SuffixListTest(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    for (const std::string_view suffix : DefaultAreaSuffixes()) {
        if (separator != std::string::npos && separator >= suffix.size() &&
            EqualIgnoringAsciiCase(
                std::string_view(path).substr(separator + 1 - suffix.size(), suffix.size()),
                suffix)) {
            return true;
        }
    }
    return false;
}

TEST(DefaultAreas, AnswersAsTheSuffixListForEverySuffixAndItsNeighbours) {
    // Every suffix as it is, in capitals, and changed at each place: a character left out or one
    // more, a letter's case or another bit flipped, the next byte, a slash for a backslash.
    std::vector<std::string> variants;
    for (const std::string_view suffix : DefaultAreaSuffixes()) {
        const std::string plain(suffix);
        std::string capitals = plain;
        for (char& c : capitals) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        variants.insert(variants.end(), {plain, capitals});
        for (std::size_t i = 0; i <= plain.size(); ++i) {
            variants.push_back(std::string(plain).insert(i, "x"));
            variants.push_back(std::string(plain).insert(i, "\\"));
            if (i == plain.size()) {
                break;
            }
            variants.push_back(std::string(plain).erase(i, 1));
            const char c = plain[i];
            for (const int other : {c ^ 0x20, c ^ 0x80, c + 1, c == '\\' ? int{'/'} : int{'\\'}}) {
                variants.push_back(plain);
                variants.back()[i] = static_cast<char>(other);
            }
        }
    }
    int inside = 0;
    for (const std::string& variant : variants) {
        for (const char* before : {"", "C:\\Sim"}) {
            for (const char* after : {"", "x.bgl", "sub\\x.bgl", "x/y.bgl"}) {
                const std::string path = before + variant + after;
                const bool expected = SuffixListTest(path);
                ASSERT_EQ(IsInDefaultArea(path.c_str()), expected) << path;
                inside += expected ? 1 : 0;
            }
        }
    }
    // At least each suffix as it is and in capitals, below "C:\Sim", as a folder and with a file.
    EXPECT_GE(inside, 65 * 2 * 2);
}

platform::FileEntry Entry(std::uint64_t size, std::uint64_t written) {
    platform::FileEntry entry{};
    entry.size = size;
    entry.lastWriteTime = written;
    entry.creationTime = 0x1234;
    entry.lastAccessTime = 0x5678;
    entry.attributes = 0x20;
    return entry;
}

TEST(SceneryFingerprint, FoldsPathBytesSizeAndWriteTime) {
    // ((65 * 3) + 92) * 3 + 98 = 959, then XOR (size ^ written low ^ written high).
    EXPECT_EQ(FoldFingerprint(0, "A\\b", Entry(0, 0)), 959u);
    EXPECT_EQ(FoldFingerprint(0, "A\\b", Entry(0x100, 0x0000000300000010)),
              959u ^ 0x100 ^ 0x10 ^ 3);
    // Bytes of 0x80 and above count as negative numbers.
    EXPECT_EQ(FoldFingerprint(0, "\xE9", Entry(0, 0)), 0xFFFFFFE9u);
    EXPECT_EQ(FoldFingerprint(1, "\xFF", Entry(0, 0)), 2u);
    // Arithmetic wraps modulo 2^32.
    EXPECT_EQ(FoldFingerprint(0x80000000u, "", Entry(0, 0)), 0x80000000u);
    EXPECT_EQ(FoldFingerprint(0x80000000u, "\x01", Entry(0, 0)), 0x80000001u);
    // Paths of every length fold as byte after byte.
    std::string path;
    std::uint32_t folded = 11;
    for (const char c : std::string_view("C:\\S\xE9\xFF\\x.bgl")) {
        path += c;
        folded = folded * 3u + static_cast<std::uint32_t>(static_cast<std::int8_t>(c));
        EXPECT_EQ(FoldFingerprint(11, path, Entry(0, 0)), folded) << path;
    }
}

TEST(SceneryFingerprint, IgnoresHighSizeBitsCreationAndAccessTimes) {
    platform::FileEntry a = Entry(0x0000000100000042, 77);
    platform::FileEntry b = Entry(0x42, 77);
    b.creationTime = 999;
    b.lastAccessTime = 888;
    b.attributes = 0x10;
    EXPECT_EQ(FoldFingerprint(5, "x.bgl", a), FoldFingerprint(5, "x.bgl", b));
}

TEST(SceneryFingerprint, ChangesWithEveryPropertyAndWithOrder) {
    const std::uint32_t base =
        FoldFingerprint(FoldFingerprint(0, "a\\1.bgl", Entry(10, 20)), "a\\2.bgl", Entry(30, 40));
    const std::uint32_t variants[] = {
        FoldFingerprint(FoldFingerprint(0, "a\\2.bgl", Entry(30, 40)), "a\\1.bgl", Entry(10, 20)),
        FoldFingerprint(FoldFingerprint(0, "a\\1.bgl", Entry(11, 20)), "a\\2.bgl", Entry(30, 40)),
        FoldFingerprint(FoldFingerprint(0, "a\\1.bgl", Entry(10, 21)), "a\\2.bgl", Entry(30, 40)),
        FoldFingerprint(FoldFingerprint(0, "a\\3.bgl", Entry(10, 20)), "a\\2.bgl", Entry(30, 40)),
        FoldFingerprint(0, "a\\1.bgl", Entry(10, 20)),
    };
    for (std::uint32_t variant : variants) {
        EXPECT_NE(variant, base);
    }
}

// A finder that counts the files reported to it.
class CountingFinder : public AirportFinder {
  public:
    void OnFileScanned(const char* path, const platform::FileEntry& /*entry*/) override {
        scanned.emplace_back(path);
    }
    std::vector<std::string> scanned;
};

class AfdListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        scenery::SceneryFileWriter writer;
        writer.Add(scenery::MakeAirport("Addon Field", "ADDN", 10, 20, 30));
        writer.Add(scenery::MakeAirport("Second Field", "SCND", 11, 21, 31));
        ASSERT_TRUE(scenery::WriteBytes(dir.File("addon.bgl"), writer.Build()));
        ASSERT_TRUE(scenery::WriteBytes(dir.File("broken.bgl"), {1, 2, 3}));
        // Host form of the paths: the file layer turns backslashes back into slashes.
        base = dir.path().string() + "\\";
    }

    testing::TempDir dir;
    std::string base;
    CountingFinder finder;
    const std::string defaultArea = "C:\\Sim\\scenedb\\world\\scenery\\w.bgl";
};

TEST_F(AfdListTest, ExtractionPassAddsAirportsAndReportsEveryAcceptedFile) {
    AirportFinder::My_AFDList collector(finder, SceneryPass::kExtraction);
    collector.ScanFile((base + "addon.bgl").c_str(), Entry(1, 1));
    collector.ScanFile((base + "broken.bgl").c_str(), Entry(1, 1));
    collector.ScanFile((base + "missing.bgl").c_str(), Entry(1, 1));
    collector.ScanFile(defaultArea.c_str(), Entry(1, 1));
    ASSERT_EQ(finder.RecordCount(), 2);
    EXPECT_STREQ(finder.Record(0).name, "Addon Field");
    EXPECT_STREQ(finder.Record(1).code, "SCND");
    // Unreadable files still tick; the default area's file is neither read nor counted.
    EXPECT_EQ(finder.scanned, (std::vector<std::string>{base + "addon.bgl", base + "broken.bgl",
                                                        base + "missing.bgl"}));
    EXPECT_EQ(finder.SceneryFingerprint(), AirportFinder::kUnsetFingerprint);
}

TEST_F(AfdListTest, FingerprintPassFoldsEntriesWithoutOpeningFiles) {
    finder.SetSceneryFingerprint(0);
    AirportFinder::My_AFDList collector(finder, SceneryPass::kFingerprint);
    const platform::FileEntry entry = Entry(4096, 0x01DB000012345678);
    collector.ScanFile((base + "addon.bgl").c_str(), entry);
    collector.ScanFile((base + "missing.bgl").c_str(), entry);  // never opened: folded alike
    collector.ScanFile(defaultArea.c_str(), entry);
    EXPECT_EQ(finder.RecordCount(), 0);
    EXPECT_EQ(finder.scanned.size(), 2u);
    const std::uint32_t expected =
        FoldFingerprint(FoldFingerprint(0, (base + "addon.bgl").c_str(), entry),
                        (base + "missing.bgl").c_str(), entry);
    EXPECT_EQ(finder.SceneryFingerprint(), expected);
}

}  // namespace
}  // namespace halvern
