#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "airports/afd_info_collector.h"
#include "fixtures/temp_dir.h"

namespace halvern {
namespace {

namespace fs = std::filesystem;

// Records what the enumeration hands on instead of opening the files.
class RecordingCollector : public AFDInfoCollector {
  public:
    void ScanFile(const char* path, const platform::FileEntry& entry) override {
        paths.emplace_back(path);
        entries.push_back(entry);
    }
    std::vector<std::string> paths;
    std::vector<platform::FileEntry> entries;
};

std::string HostForm(const fs::path& directory) {
    std::string text = directory.string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text + '\\';
}

std::string NativeForm(std::string hostPath) {
    std::replace(hostPath.begin(), hostPath.end(), '\\', '/');
    return hostPath;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// The temp directory is also the current directory, so that area directories the host would
// take as drive- or folder-relative ("D:\Scn\X\", "scenery\") land inside it.
class SceneryAreas : public ::testing::Test {
  protected:
    SceneryAreas() : previous_(fs::current_path()) { fs::current_path(temp_.path()); }
    ~SceneryAreas() override {
        std::error_code ignored;
        fs::current_path(previous_, ignored);
    }

    // Puts one scenery file into an area directory given in the host's form and returns the
    // path the enumeration must hand on for it.
    static std::string PutSceneryFile(const std::string& areaDir, const std::string& name) {
        WriteFile(NativeForm(areaDir + name), "scenery");
        return areaDir + name;
    }

    std::vector<std::string> Enumerate(const std::string& simulatorDir) const {
        RecordingCollector collector;
        collector.EnumerateSceneryAreas(simulatorDir.c_str());
        return collector.paths;
    }

    testing::TempDir temp_;
    fs::path previous_;
    const std::string sim_ = HostForm(temp_.path() / "sim");
};

std::string AreaSection(int number, const char* local, const char* active) {
    char header[32];
    std::snprintf(header, sizeof header, "[Area.%03d]\n", number);
    std::string text = header;
    text += local != nullptr ? std::string("Local=") + local + "\n" : "";
    text += active != nullptr ? std::string("Active=") + active + "\n" : "";
    return text;
}

TEST_F(SceneryAreas, ComposesAreaDirectoriesFromLocalValues) {
    const std::string absolute = HostForm(temp_.path() / "abs");
    const struct {
        std::string local;
        std::string areaDir;
    } cases[] = {
        {"Addon\\One", sim_ + "Addon\\One\\scenery\\"},
        {"Addon\\Two\\Scenery", sim_ + "Addon\\Two\\Scenery\\"},
        {"Addon\\Three\\SCENERY\\", sim_ + "Addon\\Three\\SCENERY\\"},
        {"Addon/Four/", sim_ + "Addon/Four/\\scenery\\"},
        {"Scenedb\\cities\\paris", sim_ + "Scenedb\\cities\\paris\\scenery\\"},
        {"D:\\Scn\\X", "D:\\Scn\\X\\"},  // 9 characters with the "\": nothing appended
        {"D:\\Scn\\XY", "D:\\Scn\\XY\\scenery\\"},
        {absolute.substr(0, absolute.size() - 1), absolute + "scenery\\"},
    };
    std::string config;
    std::vector<std::string> expected;
    int number = 1;
    for (const auto& c : cases) {
        config += AreaSection(number, c.local.c_str(), "TRUE");
        expected.push_back(PutSceneryFile(c.areaDir, "f" + std::to_string(number++) + ".bgl"));
    }
    WriteFile(NativeForm(sim_ + "scenery.cfg"), config);
    EXPECT_EQ(Enumerate(sim_), expected);
}

TEST_F(SceneryAreas, WalksAreasInNumberOrderUntilOneLacksAnActiveValue) {
    // Area n has the Local value "A<n>" (empty for area `emptyLocal`) and a scenery file in
    // sim\A<n>\scenery\ (none for area `noDirectory`); null stands for a missing Active key.
    const struct {
        const char* what;
        std::vector<const char*> active;
        int emptyLocal;
        int noDirectory;
        std::vector<int> scanned;
    } cases[] = {
        {"empty Local is skipped", {"true", "true", "true", "true", "true"}, 3, 0, {1, 2, 4, 5}},
        {"missing Active ends the walk", {"true", "true", nullptr, "true"}, 0, 0, {1, 2}},
        {"Active is true in any letter case",
         {"true", "FALSE", "TRUE", "True", "yes", "true"},
         0,
         0,
         {1, 3, 4, 6}},
        {"a missing directory contributes nothing", {"true", "true", "true"}, 0, 2, {1, 3}},
    };
    int run = 0;
    for (const auto& c : cases) {
        const std::string sim = HostForm(temp_.path() / ("sim" + std::to_string(run++)));
        std::string config;
        std::vector<std::string> expected;
        for (int n = 1; n <= static_cast<int>(c.active.size()); ++n) {
            const std::string local = n == c.emptyLocal ? "" : "A" + std::to_string(n);
            // Highest number first in the file: the walk goes by number, not by file order.
            config =
                AreaSection(n, local.c_str(), c.active[static_cast<std::size_t>(n - 1)]) + config;
            const std::string path = sim + local + "\\scenery\\f.bgl";
            if (n != c.noDirectory) {
                WriteFile(NativeForm(path), "scenery");
            }
            if (std::count(c.scanned.begin(), c.scanned.end(), n) != 0) {
                expected.push_back(path);
            }
        }
        WriteFile(NativeForm(sim + "scenery.cfg"), config);
        EXPECT_EQ(Enumerate(sim), expected) << c.what;
    }
}

TEST_F(SceneryAreas, ADirectoryThatSeveralAreasNameIsWalkedOnce) {
    // A1 named five times (once switched off, then in other spellings of the same directory),
    // A2 once: each directory's files are handed on once, at its first active naming.
    const std::string a1 = PutSceneryFile(sim_ + "A1\\scenery\\", "f.bgl");
    const std::string a2 = PutSceneryFile(sim_ + "A2\\scenery\\", "f.bgl");
    WriteFile(NativeForm(sim_ + "scenery.cfg"),
              AreaSection(1, "A1", "FALSE") + AreaSection(2, "A1", "TRUE") +
                  AreaSection(3, ".\\A1\\\\", "TRUE") + AreaSection(4, "A2", "TRUE") +
                  AreaSection(5, "A1\\.\\scenery", "TRUE") +
                  AreaSection(6, (sim_ + "A2\\..\\A1").c_str(), "TRUE"));
    EXPECT_EQ(Enumerate(sim_), (std::vector<std::string>{a1, a2}));
}

// world.vis bytes: the first-entry offset at 10, then the entries, each 3 bytes, its path text
// and a second text; `ends` receives the index of each entry's last byte.
std::string WorldList(const std::vector<std::string>& paths, std::vector<std::size_t>& ends,
                      std::size_t firstEntry = 16, std::size_t noteLength = 4) {
    std::string bytes(firstEntry, 'h');
    bytes[10] = static_cast<char>(firstEntry & 0xFF);
    bytes[11] = static_cast<char>(firstEntry >> 8);
    for (const std::string& path : paths) {
        bytes += "\x01\x02\x03" + path + '\0' + std::string(noteLength, 'n') + '\0';
        ends.push_back(bytes.size() - 1);
    }
    return bytes;
}

TEST_F(SceneryAreas, WorldListEntriesNameTheFoldersOfTheirAreas) {
    const std::string other = HostForm(temp_.path() / "other");
    const struct {
        std::string path;
        std::string areaDir;
    } cases[] = {
        {"=:\\=\\scenedb\\x\\y.dat", sim_ + "scenedb\\x\\scenery\\"},
        {other + "list.dat", other + "scenery\\"},
        {"=:\\=Xnot\\prefix.dat", "=:\\=Xnot\\scenery\\"},  // the prefix must match exactly
        {"Q:file.dat", "Q:scenery\\"},
        {"plain.dat", "scenery\\"},  // no folder: relative to the current directory
    };
    std::vector<std::string> paths;
    std::vector<std::string> expected;
    for (const auto& c : cases) {
        paths.push_back(c.path);
        expected.push_back(PutSceneryFile(c.areaDir, "f" + std::to_string(paths.size()) + ".bgl"));
    }
    std::vector<std::size_t> ends;
    WriteFile(NativeForm(sim_ + "scenery\\world.vis"), WorldList(paths, ends) + '\0');
    EXPECT_EQ(Enumerate(sim_), expected);

    // Once scenery.cfg exists, world.vis is never consulted, even with no areas in it.
    WriteFile(NativeForm(sim_ + "scenery.cfg"), "[General]\nTitle=x\n");
    EXPECT_EQ(Enumerate(sim_), std::vector<std::string>());
}

TEST_F(SceneryAreas, AWorldListEndsWhereItsDataOrItsEntriesDo) {
    const std::vector<std::string> areas = {"=:\\=\\a\\x", "=:\\=\\b\\x", "=:\\=\\c\\x"};
    std::vector<std::string> files;
    for (const char* folder : {"a", "b", "c", "d"}) {
        files.push_back(PutSceneryFile(sim_ + folder + "\\scenery\\", "f.bgl"));
    }
    std::vector<std::size_t> ends;
    // A zero byte where an entry would begin ends the list: entry d is never reached.
    const std::string full =
        WorldList(areas, ends) + '\0' + "\x01\x02\x03=:\\=\\d\\x" + '\0' + "n" + '\0';
    const std::string listPath = NativeForm(sim_ + "scenery\\world.vis");
    for (std::size_t length = 0; length <= full.size(); ++length) {
        WriteFile(listPath, full.substr(0, length));
        std::vector<std::string> expected;
        for (std::size_t i = 0; i < ends.size(); ++i) {
            if (ends[i] < length) {
                expected.push_back(files[i]);
            }
        }
        ASSERT_EQ(Enumerate(sim_), expected) << "world.vis cut to " << length << " bytes";
    }
    // A first-entry offset at or past the end of the data: no areas.
    std::string pastEnd = full;
    pastEnd[10] = static_cast<char>(pastEnd.size() & 0xFF);
    pastEnd[11] = static_cast<char>(pastEnd.size() >> 8);
    WriteFile(listPath, pastEnd);
    EXPECT_EQ(Enumerate(sim_), std::vector<std::string>());
    // 11 bytes: the offset field is cut short, although its first byte would lead to an entry.
    PutSceneryFile("a:scenery\\", "f.bgl");
    WriteFile(listPath, std::string("\x01\x01\x01"
                                    "a:\0n\0hh\0",
                                    11));
    EXPECT_EQ(Enumerate(sim_), std::vector<std::string>());
}

TEST_F(SceneryAreas, OnlyTheFirst100000BytesOfAWorldListAreRead) {
    const std::string one = PutSceneryFile(sim_ + "one\\scenery\\", "f.bgl");
    PutSceneryFile(sim_ + "two\\scenery\\", "f.bgl");
    std::vector<std::size_t> ends;
    // The first entry starts at 60000 and its second text carries the second entry to byte
    // 99990, so that the second entry's path text ends only past byte 100000.
    const std::size_t firstEntry = 60000;
    const std::string first = "=:\\=\\one\\x";
    const std::size_t note = 99990 - (firstEntry + 3 + first.size() + 1) - 1;
    std::string bytes = WorldList({first}, ends, firstEntry, note);
    ASSERT_EQ(bytes.size(), 99990u);
    bytes += std::string("\x01\x02\x03=:\\=\\two\\x") + '\0' + "n" + '\0' + '\0';
    WriteFile(NativeForm(sim_ + "scenery\\world.vis"), bytes);
    EXPECT_EQ(Enumerate(sim_), std::vector<std::string>{one});
}

TEST_F(SceneryAreas, ScanAreaDirectoryHandsOnMatchingSubdirectoriesToo) {
    const std::string area = HostForm(temp_.path() / "area");
    const std::string file = PutSceneryFile(area, "a.bgl");
    fs::create_directories(NativeForm(area + "sub.bgl"));
    RecordingCollector collector;
    collector.ScanAreaDirectory(area.c_str());
    std::sort(collector.paths.begin(), collector.paths.end());
    EXPECT_EQ(collector.paths, (std::vector<std::string>{file, area + "sub.bgl"}));
}

}  // namespace
}  // namespace halvern
