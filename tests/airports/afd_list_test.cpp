#include "airports/afd_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "airports/scenery_fingerprint.h"
#include "fixtures/file_entry.h"
#include "fixtures/temp_dir.h"
#include "scenery/scenery_file_writer.h"

namespace halvern {
namespace {

using testing::Entry;

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
