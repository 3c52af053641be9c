// The command-line tool and the scenery compiler together: worlds compiled from the bundled
// airports, scanned as the module scans them at start-up.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>

#include "airports/airport_finder.h"
#include "airports/scenery_areas.h"
#include "fixtures/temp_dir.h"
#include "halvern-scenery/airport_csv.h"
#include "integration/run_tool.h"
#include "platform/native_path.h"
#include "resources/version.h"
#include "scenery/scenery_file_writer.h"
#include "support/ascii_case.h"
#include "support/byte_order.h"
#include "support/windows_1252.h"

namespace halvern {
namespace {

namespace fs = std::filesystem;
using scenery::ReadBytes;
using scenery::WriteBytes;
using testing::Quoted;
using testing::RunTool;
using testing::ToolRun;

std::map<std::string, std::string> ScanFields(const std::string& out) {
    std::map<std::string, std::string> fields;
    std::istringstream lines(out);
    std::string key;
    std::string value;
    while (lines >> key >> value) {
        fields[key] = value;
    }
    return fields;
}

struct ListedAirport {
    std::string code;
    double latitude;
    double longitude;
    int elevation;
    std::string name;
};

std::vector<ListedAirport> ParseAirports(const std::string& out) {
    std::vector<ListedAirport> airports;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        std::istringstream parts(line);
        std::string field;
        while (std::getline(parts, field, '\t')) {
            fields.push_back(field);
        }
        EXPECT_EQ(fields.size(), 6u) << line;
        if (fields.size() != 6) {
            continue;
        }
        EXPECT_EQ(std::stoul(fields[0]), airports.size()) << "database order";
        airports.push_back({fields[1], std::stod(fields[2]), std::stod(fields[3]),
                            std::stoi(fields[4]), fields[5]});
    }
    return airports;
}

class CliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(scenery::ReadAirportCsv(HALVERN_AIRPORTS_CSV, csv, error)) << error;
        simulatorDir = dir.path() / "Sim";
    }

    ToolRun Compile(const std::string& options) {
        return RunTool(Quoted(HALVERN_SCENERY_TOOL) + " " + Quoted(HALVERN_AIRPORTS_CSV) + " " +
                       Quoted(simulatorDir.string()) + " " + options);
    }
    ToolRun Halvern(const std::string& arguments) {
        return RunTool(Quoted(HALVERN_TOOL) + " " + arguments);
    }
    // `options` may name the module's spelling; `error`, if given, receives stderr.
    std::map<std::string, std::string> Scan(const std::string& options = "",
                                            std::string* error = nullptr) {
        const ToolRun run = Halvern("scan " + Quoted(simulatorDir.string()) + options);
        EXPECT_EQ(run.status, 0) << run.error;
        if (error != nullptr) {
            *error = run.error;
        }
        return ScanFields(run.out);
    }
    std::string SpellingOption() const {
        return " --module-spelling " + Quoted(simulatorDir.string());
    }
    std::string Airports() {
        const ToolRun run = Halvern("airports " + Quoted(simulatorDir.string()));
        EXPECT_EQ(run.status, 0) << run.error;
        return run.out;
    }
    fs::path CachePath() const { return simulatorDir / "HalvernCache.dat"; }

    // Every airport of the CSV is listed once, with its code, position and elevation.
    void ExpectTheCsvAirports(const std::vector<ListedAirport>& listed) {
        std::multimap<std::string, const ListedAirport*> byName;
        for (const ListedAirport& airport : listed) {
            byName.emplace(airport.name, &airport);
        }
        ASSERT_EQ(listed.size(), csv.size());
        for (const scenery::CsvAirport& row : csv) {
            const std::string name = Windows1252FromUtf8(row.name);
            const std::string code = (row.gpsCode.empty() ? row.ident : row.gpsCode).substr(0, 4);
            bool found = false;
            const auto [first, last] = byName.equal_range(name);
            for (auto it = first; it != last && !found; ++it) {
                const ListedAirport& a = *it->second;
                found = a.code == code && std::fabs(a.latitude - row.latitude) < 1e-5 &&
                        std::fabs(a.longitude - row.longitude) < 1e-5;
                if (found) {
                    const int feet =
                        ElevationFeetFromMetres(row.elevationFeet.value_or(0) * 0.3048);
                    EXPECT_LE(std::abs(a.elevation - feet), 1) << name;
                }
            }
            EXPECT_TRUE(found) << row.ident << " " << row.name;
        }
    }

    testing::TempDir dir;
    fs::path simulatorDir;
    std::vector<scenery::CsvAirport> csv;
};

TEST_F(CliTest, FirstScanExtractsSecondReadsTheCacheWithTheSameRecords) {
    ASSERT_EQ(Compile("--inactive-area --default-area").status, 0);
    const auto first = Scan();
    EXPECT_EQ(first.at("source"), "scenery");
    EXPECT_EQ(first.at("airports"), std::to_string(csv.size()));
    EXPECT_TRUE(fs::exists(CachePath()));
    const std::string fromScenery = Airports();  // reads the cache written by the scan

    const auto second = Scan();
    EXPECT_EQ(second.at("source"), "cache");
    EXPECT_EQ(second.at("fingerprint"), first.at("fingerprint"));
    EXPECT_EQ(second.at("files"), first.at("files"));
    EXPECT_EQ(Airports(), fromScenery);

    // The inactive and the default area's airports never reach the database.
    const std::vector<ListedAirport> listed = ParseAirports(fromScenery);
    for (const ListedAirport& airport : listed) {
        ASSERT_NE(airport.name.rfind("Inactive ", 0), 0u) << airport.name;
        ASSERT_NE(airport.name.rfind("Default ", 0), 0u) << airport.name;
    }
    ExpectTheCsvAirports(listed);
}

TEST_F(CliTest, ExtractionAndCacheGiveIdenticalListings) {
    ASSERT_EQ(Compile("").status, 0);
    fs::remove(CachePath());
    const std::string extracted = Airports();  // no cache: extraction pass, then written
    EXPECT_EQ(Airports(), extracted);          // from the cache
}

TEST_F(CliTest, DefaultAreaFilesAreNotCountedOrFingerprinted) {
    ASSERT_EQ(Compile("").status, 0);
    const auto plain = Scan();
    ASSERT_EQ(Compile("--default-area").status, 0);
    fs::remove(CachePath());
    const auto withDefault = Scan();
    EXPECT_EQ(withDefault.at("files"), plain.at("files"));
    EXPECT_EQ(withDefault.at("airports"), plain.at("airports"));
}

TEST_F(CliTest, TouchingOneSceneryFileRebuilds) {
    ASSERT_EQ(Compile("").status, 0);
    const auto first = Scan();
    ASSERT_EQ(Scan().at("source"), "cache");
    fs::path touched;
    for (const auto& entry : fs::recursive_directory_iterator(simulatorDir)) {
        if (entry.path().extension() == ".bgl") {
            touched = entry.path();
            break;
        }
    }
    ASSERT_FALSE(touched.empty());
    fs::last_write_time(touched, fs::last_write_time(touched) + std::chrono::nanoseconds(100));
    // The cache's fingerprint now matches under no spelling: the tool cannot tell a cache of
    // other scenery from one a module wrote under a spelling not tried, and leaves it alone.
    const std::vector<unsigned char> old = ReadBytes(CachePath().string());
    std::string error;
    const auto after = Scan("", &error);
    EXPECT_NE(after.at("fingerprint"), first.at("fingerprint"));
    EXPECT_EQ(after.at("source"), "scenery");
    EXPECT_EQ(after.at("airports"), first.at("airports"));
    EXPECT_EQ(ReadBytes(CachePath().string()), old);
    EXPECT_NE(error.find("matches under none of the spellings"), std::string::npos) << error;
    // Named outright, the spelling is the module's: the cache is written for it.
    EXPECT_EQ(Scan(SpellingOption()).at("source"), "scenery");
    EXPECT_EQ(Scan().at("source"), "cache");
}

TEST_F(CliTest, EveryKindOfDamagedCacheIsRejectedAndRebuilt) {
    ASSERT_EQ(Compile("--per-file 400").status, 0);
    Scan();
    const std::vector<unsigned char> valid = ReadBytes(CachePath().string());
    ASSERT_GT(valid.size(), 100u);
    struct Damage {
        const char* label;
        void (*apply)(std::vector<unsigned char>&);
        // A fingerprint that matches under no spelling is rewritten only under a spelling given
        // outright.
        bool spellingGiven = false;
    };
    const Damage damages[] = {
        {"version", [](auto& b) { b[0] = 2; }},
        {"fingerprint", [](auto& b) { b[4] ^= 1; }, true},
        {"no records", [](auto& b) { StoreU32(b.data() + 8, 0); }},
        {"count above length / 19", [](auto& b) { StoreU32(b.data() + 8, 0x10000000); }},
        {"name length 0", [](auto& b) { StoreU32(b.data() + 12 + 19, 0); }},
        {"name length 1024", [](auto& b) { StoreU32(b.data() + 12 + 19, 1024); }},
        {"cut short", [](auto& b) { b.resize(b.size() - 1); }},
        {"count one too many", [](auto& b) { StoreU32(b.data() + 8, LoadU32(b.data() + 8) + 1); }},
    };
    for (const Damage& damage : damages) {
        std::vector<unsigned char> bytes = valid;
        damage.apply(bytes);
        ASSERT_TRUE(WriteBytes(CachePath().string(), bytes));
        const bool given = damage.spellingGiven;
        if (given) {
            EXPECT_EQ(Scan().at("source"), "scenery") << damage.label;
            EXPECT_EQ(ReadBytes(CachePath().string()), bytes) << damage.label << ": left alone";
        }
        EXPECT_EQ(Scan(given ? SpellingOption() : "").at("source"), "scenery") << damage.label;
        EXPECT_EQ(ReadBytes(CachePath().string()), valid) << damage.label << ": rewritten alike";
        EXPECT_EQ(Scan().at("source"), "cache") << damage.label;
    }
}

TEST_F(CliTest, WorldVisOnlyWorld) {
    ASSERT_EQ(Compile("--world-vis --default-area").status, 0);
    ASSERT_FALSE(fs::exists(simulatorDir / "scenery.cfg"));
    const auto scan = Scan();
    EXPECT_EQ(scan.at("source"), "scenery");
    ExpectTheCsvAirports(ParseAirports(Airports()));
}

// The directories of the areas that a walk lists, as it composes them from the list.
class ListedAreas : public SceneryWalkTarget, public SceneryObserver {
  public:
    ListedAreas() { Observe(this); }
    void ScanFile(const char* /*path*/, const platform::FileEntry& /*entry*/) override {}
    void OnArea(const SceneryArea& area) override {
        if (area.fate == AreaFate::kRead) {
            directories.emplace_back(area.directory);
        }
    }
    void OnWalkEnd(WalkEnd /*end*/, std::int64_t /*offset*/, std::int32_t /*before*/) override {}
    void OnFile(const char* /*path*/, const platform::FileEntry& /*entry*/, FileFate /*fate*/,
                std::int32_t /*airports*/) override {}

    std::vector<std::string> directories;
};

TEST_F(CliTest, AWorldNamedInAnotherCaseGivesTheSameAirportsInTheSameOrder) {
    struct Case {
        const char* label;
        std::string options;
    };
    const Case cases[] = {
        {"scenery.cfg", "--default-area --inactive-area --missing-area --damaged-area"},
        {"world.vis", "--world-vis --default-area --missing-area"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        simulatorDir = dir.path() / c.label / "Exact";
        ASSERT_EQ(Compile(c.options).status, 0);
        const std::string exact = Airports();
        ASSERT_FALSE(exact.empty());

        simulatorDir = dir.path() / c.label / "Other";
        ASSERT_EQ(Compile(c.options + " --other-case").status, 0);
        // Every folder below the simulator directory that the walk names exists on the disk only
        // in another letter case, so that each area is found only by the search ignoring case.
        const std::string host =
            platform::HostPathFromNative(fs::absolute(simulatorDir).string()) + '\\';
        ListedAreas areas;
        WalkSceneryAreas(areas, host.c_str());
        ASSERT_FALSE(areas.directories.empty());
        for (const std::string& area : areas.directories) {
            ASSERT_EQ(area.rfind(host, 0), 0u) << area;
            std::istringstream folders(area.substr(host.size()));
            fs::path onDisk = simulatorDir;
            for (std::string folder; std::getline(folders, folder, '\\');) {
                int exactly = 0;
                fs::path found;
                for (const fs::directory_entry& entry : fs::directory_iterator(onDisk)) {
                    const std::string name = entry.path().filename().string();
                    exactly += name == folder ? 1 : 0;
                    found = EqualIgnoringAsciiCase(name, folder) ? entry.path() : found;
                }
                EXPECT_EQ(exactly, 0) << folder << " of " << area;
                ASSERT_FALSE(found.empty()) << folder << " of " << area;
                onDisk = found;
            }
        }

        EXPECT_EQ(Airports(), exact) << "extracted";
        EXPECT_EQ(Scan().at("source"), "cache");
        EXPECT_EQ(Airports(), exact) << "from the cache";
    }
}

TEST_F(CliTest, TrailingSeparatorIsOptional) {
    ASSERT_EQ(Compile("").status, 0);
    const auto without = Scan();
    const ToolRun with = Halvern("scan " + Quoted(simulatorDir.string() + "/"));
    ASSERT_EQ(with.status, 0);
    EXPECT_EQ(ScanFields(with.out).at("fingerprint"), without.at("fingerprint"));
}

TEST_F(CliTest, BadArgumentsFailWithOneLineAndWriteNothing) {
    const std::string missing = Quoted((dir.path() / "nowhere").string());
    const std::string file = (dir.path() / "plain.txt").string();
    ASSERT_TRUE(WriteBytes(file, {'x'}));
    // A directory the module cannot name: its backslash would be a separator to it.
    const std::string backslashed = Quoted((dir.path() / "Sim\\one").string());
    fs::create_directories(dir.path() / "Sim\\one");
    const std::string cases[] = {
        "scan " + backslashed,
        "report " + backslashed,
        "",
        "frob",
        "scan",
        "bogus " + Quoted(dir.path().string()),
        "scan " + missing,
        "airports " + missing,
        "scan " + Quoted(file),
        "scan " + Quoted(dir.path().string()) + " extra",
        "report",
        "report " + missing,
        "report " + Quoted(dir.path().string()) + " --bogus",
        "report " + Quoted(dir.path().string()) + " --html",
        "report " + Quoted(dir.path().string()) + " --json --html x.html",
        "report " + Quoted(dir.path().string()) + " --html " + Quoted(file + "/x.html"),
        "find " + Quoted(dir.path().string()),
        "find " + Quoted(dir.path().string()) + " ''",
        "find " + missing + " EGLL",
        "find " + Quoted(dir.path().string()) + " EGLL extra",
    };
    for (const std::string& arguments : cases) {
        const ToolRun run = Halvern(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_TRUE(run.out.empty()) << arguments;
        EXPECT_EQ(std::count(run.error.begin(), run.error.end(), '\n'), 1) << run.error;
    }
    EXPECT_FALSE(fs::exists(dir.path() / "HalvernCache.dat"));
    EXPECT_EQ(Halvern("--help").status, 0);
}

TEST_F(CliTest, TheSceneryCompilerRefusesBadArgumentsWithOneLine) {
    const std::string airports = Quoted(HALVERN_AIRPORTS_CSV);
    const std::string target = Quoted((dir.path() / "new").string());
    const std::string cases[] = {
        "",
        airports + " ''",
        airports + " " + target + " --airports 20000000",
        airports + " " + target + " --areas 100000000",
        airports + " " + target + " --files 1000000000 --areas 1",
        airports + " " + target + " --per-file 0",
        airports + " " + target + " --seed -1",
        airports + " " + Quoted((dir.path() / "new\\one").string()),
    };
    for (const std::string& arguments : cases) {
        const ToolRun run = RunTool(Quoted(HALVERN_SCENERY_TOOL) + " " + arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_EQ(std::count(run.error.begin(), run.error.end(), '\n'), 1) << run.error;
        EXPECT_FALSE(fs::exists(dir.path() / "new")) << arguments;
        EXPECT_FALSE(fs::exists(dir.path() / "new\\one")) << arguments;
    }
}

TEST_F(CliTest, NearbyPrintsTheLinesOfARefreshAtThatPlace) {
    ASSERT_EQ(Compile("").status, 0);
    const std::string sim = Quoted(simulatorDir.string());
    // At London Heathrow, with the name, code and distance.
    const ToolRun here = Halvern("nearby " + sim + " --lat 51.4706 --lon -0.461941 --options 7");
    ASSERT_EQ(here.status, 0) << here.error;
    std::istringstream lines(here.out);
    std::vector<std::string> all;
    for (std::string line; std::getline(lines, line);) {
        all.push_back(line);
    }
    ASSERT_GT(all.size(), 5u);
    EXPECT_NE(std::find(all.begin(), all.end(), "London Heathrow Airport (EGLL) 0 NM"), all.end());
    for (const std::string& line : all) {
        // Within the 30 NM reach (1862 m to the mile), shown at 1852 m to the mile.
        const auto nm = line.find(" NM");
        ASSERT_NE(nm, std::string::npos) << line;
        const int miles = std::stoi(line.substr(line.rfind(' ', nm - 1) + 1));
        EXPECT_LE(miles, 30) << line;
    }

    // With --packed every line starts with 36 hex digits: the 18 bytes of the position.
    const ToolRun packed = Halvern("nearby " + sim + " --lat 51.4706 --lon -0.461941 --packed");
    ASSERT_EQ(packed.status, 0);
    std::istringstream packedLines(packed.out);
    std::size_t count = 0;
    for (std::string line; std::getline(packedLines, line); ++count) {
        ASSERT_GT(line.size(), 37u);
        EXPECT_EQ(line.find_first_not_of("0123456789abcdef"), 36u) << line;
        EXPECT_EQ(line.substr(32, 4), "0000") << "altitude zero: " << line;
    }
    EXPECT_EQ(count, all.size());

    // Everything within reach of a hand-edited huge distance, each code once; nothing at -1.
    const ToolRun everything =
        Halvern("nearby " + sim + " --lat 0 --lon 0 --distance 5000000 --options 2");
    const ToolRun nothing = Halvern("nearby " + sim + " --lat 0 --lon 0 --distance 0xFFFFFFFF");
    EXPECT_GT(std::count(everything.out.begin(), everything.out.end(), '\n'), 5000);
    EXPECT_TRUE(nothing.out.empty());
    EXPECT_EQ(nothing.status, 0);

    const std::string bad[] = {
        "nearby " + sim,
        "nearby " + sim + " --lat 1",
        "nearby " + sim + " --lat x --lon 1",
        "nearby " + sim + " --lat 1 --lon 1 --options 0x100000000",
        "nearby " + sim + " --lat 1 --lon 1 --magvar 70000",
        "nearby " + sim + " --lat 1 --lon 1 --distance 2147483648",
        "nearby " + sim + " --lat 1 --lon 1 --bogus 3",
        "nearby " + sim + " --lat 1 --lon 1 --options 0b11",
        "nearby " + sim + " --lat 1 --lon 1 --magvar true",
    };
    for (const std::string& arguments : bad) {
        const ToolRun run = Halvern(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_EQ(std::count(run.error.begin(), run.error.end(), '\n'), 1) << run.error;
    }
}

// Each tool prints its version; an argument it does not know is named before any that is missing.
TEST_F(CliTest, EachToolPrintsItsVersionAndNamesAnUnknownArgument) {
    for (const fs::path tool : {HALVERN_TOOL, HALVERN_SCENERY_TOOL, HALVERN_HOST_TOOL}) {
        const ToolRun version = RunTool(Quoted(tool.string()) + " --version");
        EXPECT_EQ(version.status, 0) << tool;
        EXPECT_EQ(version.out, tool.stem().string() + " " HALVERN_VERSION_TEXT "\n");
        const ToolRun unknown = RunTool(Quoted(tool.string()) + " --frob");
        EXPECT_EQ(unknown.status, 2) << tool;
        EXPECT_TRUE(unknown.out.empty()) << tool;
        EXPECT_EQ(std::count(unknown.error.begin(), unknown.error.end(), '\n'), 1) << unknown.error;
        EXPECT_NE(unknown.error.find("--frob"), std::string::npos) << unknown.error;
    }
}

TEST_F(CliTest, AnEmptySimulatorDirectoryHasNoAirportsAndIsScannedAgain) {
    fs::create_directories(simulatorDir);
    const auto first = Scan();
    EXPECT_EQ(first.at("files"), "0");
    EXPECT_EQ(first.at("fingerprint"), "0x00000000");
    EXPECT_EQ(first.at("airports"), "0");
    // A cache of zero records is never accepted.
    EXPECT_EQ(Scan().at("source"), "scenery");
}

}  // namespace
}  // namespace halvern
