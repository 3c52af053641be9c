// The scenery compiler's shapes of scenery that keep their airports from the module: each is
// checked on the disk, then by the module's own database step (`halvern airports`, `halvern
// scan`), and then repaired by hand as a user would, after which the module reads its airports:
// the shape alone kept them out.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "fixtures/temp_dir.h"
#include "integration/run_tool.h"
#include "scenery/scenery_file_writer.h"

namespace halvern {
namespace {

namespace fs = std::filesystem;
using testing::Quoted;
using testing::RunTool;
using testing::ToolRun;

// Three airports, one area each: Area.001 to Area.003. Every shape holds copies of all three,
// named "<kind> <name>".
const std::string kAirports =
    "ident,gps_code,name,latitude_deg,longitude_deg,elevation_ft,iso_country,type\n"
    "OMAL,OMAL,Al Ain International Airport,24.2617,55.6092,869,AE,large_airport\n"
    "LSZH,LSZH,Zurich Airport,47.458056,8.548056,1416,CH,large_airport\n"
    "EGLL,EGLL,London Heathrow Airport,51.4706,-0.461941,83,GB,large_airport\n";
const std::multiset<std::string> kRead = {"Al Ain International Airport", "Zurich Airport",
                                          "London Heathrow Airport"};

class SceneryShapes : public ::testing::Test {
  protected:
    // Compiles the three airports into `into`; returns what the compiler printed.
    std::string Compile(const std::string& options, const fs::path& into) {
        std::ofstream(dir.File("airports.csv"), std::ios::binary) << kAirports;
        const ToolRun run =
            RunTool(Quoted(HALVERN_SCENERY_TOOL) + " " + Quoted(dir.File("airports.csv")) + " " +
                    Quoted(into.string()) + " " + options);
        EXPECT_EQ(run.status, 0) << run.error;
        return run.out;
    }
    ToolRun Halvern(const std::string& verb) const {
        const ToolRun run = RunTool(Quoted(HALVERN_TOOL) + " " + verb + " " + Quoted(sim.string()));
        EXPECT_EQ(run.status, 0) << run.error;
        return run;
    }
    // The names of the database's airports, as `halvern airports` lists them.
    std::multiset<std::string> Names() const {
        std::multiset<std::string> names;
        std::istringstream lines(Halvern("airports").out);
        for (std::string line; std::getline(lines, line);) {
            names.insert(line.substr(line.rfind('\t') + 1));
        }
        return names;
    }
    // How many of the names start with the kind.
    static std::size_t OfKind(const std::multiset<std::string>& names, const std::string& kind) {
        return static_cast<std::size_t>(std::count_if(names.begin(), names.end(), [&](auto& name) {
            return name.rfind(kind + " ", 0) == 0;
        }));
    }
    std::string Config() const {
        const std::vector<unsigned char> bytes = scenery::ReadBytes((sim / "scenery.cfg").string());
        return std::string(bytes.begin(), bytes.end());
    }
    // Replaces `from` in scenery.cfg by `to`; an empty `from` appends `to`.
    void EditConfig(const std::string& from, const std::string& to) {
        std::string text = Config();
        const std::size_t at = from.empty() ? text.size() : text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
        ASSERT_TRUE(
            scenery::WriteBytes((sim / "scenery.cfg").string(), {text.begin(), text.end()}));
    }

    testing::TempDir dir;
    fs::path sim = dir.path() / "Sim";
};

TEST_F(SceneryShapes, EachShapeKeepsItsAirportsOutUntilItIsRepaired) {
    const std::string stop = "\r\n[Area.004]\r\nTitle=Stop\r\nLocal=Addon Scenery\\Stop\r\n";
    const struct {
        std::string option;
        std::vector<std::string> kinds;  // of the copies it holds
        std::string config;              // what scenery.cfg holds
        // The repair: in scenery.cfg each text replaced (an empty one: the other appended), or
        // with `move` the file moved below SIMDIR to where the walk reads.
        std::vector<std::pair<std::string, std::string>> repair;
        bool move = false;
    } kShapes[] = {
        {"--stop-area",
         {"Stop", "After stop"},
         stop + "Layer=4\r\n",
         {{stop, stop + "Active=TRUE\r\n"}}},
        {"--stop-area=empty",
         {"Stop", "After stop"},
         stop + "Active=\r\nLayer=4\r\n",
         {{"Active=\r\n", "Active=TRUE\r\n"}}},
        {"--stop-area misspelt",
         {"Stop", "After stop"},
         stop + "Activ=TRUE\r\nLayer=4\r\n",
         {{"Activ=", "Active="}}},
        {"--second-section",
         {"Second section"},
         "[Area.002]\r\nTitle=Second section\r\n"
         "Local=Addon Scenery\\Second Section\r\nActive=TRUE\r\nLayer=2\r\n",
         {{"[Area.002]\r\nTitle=Second", "[Area.004]\r\nTitle=Second"}}},
        {"--misnumbered-areas",
         {"Misnumbered 4", "Misnumbered 0005", "Misnumbered 000"},
         "[Area.4]\r\nTitle=Misnumbered 4\r\n"
         "Local=Addon Scenery\\Misnumbered 4\r\nActive=TRUE\r\nLayer=4\r\n",
         {{"[Area.4]", "[Area.004]"}, {"[Area.0005]", "[Area.005]"}, {"[Area.000]", "[Area.006]"}}},
        {"--repeated-key",
         {"Repeated key"},
         "Local=Addon Scenery\\Repeated Key\r\nActive=FALSE\r\nActive=TRUE\r\n",
         {{"Active=FALSE\r\n", ""}}},
        {"--orphan-folder",
         {"Orphan"},
         "",
         {{"", "[Area.004]\r\nLocal=Addon Scenery\\Orphan\r\nActive=TRUE\r\n"}}},
        {"--flat-area",
         {"Flat"},
         "Local=Addons\\Flat\r\nActive=TRUE\r\n",
         {{"Addons/Flat/AP0000.bgl", "Addons/Flat/scenery/AP0000.bgl"}},
         true},
        {"--deep-area",
         {"Deep"},
         "Local=Addons\\Deep\r\nActive=TRUE\r\n",
         {{"Addons/Deep/scenery/more/AP0000.bgl", "Addons/Deep/scenery/AP0000.bgl"}},
         true},
    };
    for (const auto& shape : kShapes) {
        SCOPED_TRACE(shape.option);
        fs::remove_all(sim);
        Compile(shape.option, sim);
        EXPECT_NE(Config().find(shape.config), std::string::npos) << shape.config;
        EXPECT_EQ(Names(), kRead);
        for (const auto& [from, to] : shape.repair) {
            if (shape.move) {
                // Where the walk reads, the file is not.
                EXPECT_FALSE(fs::exists(sim / to));
                fs::create_directories(fs::path(sim / to).parent_path());
                std::error_code moved;
                fs::rename(sim / from, sim / to, moved);
                EXPECT_FALSE(moved) << moved.message();
            } else {
                EditConfig(from, to);
            }
        }
        const std::multiset<std::string> repaired = Names();
        EXPECT_EQ(repaired.size(), kRead.size() * (1 + shape.kinds.size()));
        for (const std::string& kind : shape.kinds) {
            EXPECT_EQ(OfKind(repaired, kind), kRead.size()) << kind;
        }
    }
}

TEST_F(SceneryShapes, AWorldOfEveryShapeAndClutterReadsOnlyItsUsualAreas) {
    const std::string every =
        "--stop-area --second-section --misnumbered-areas --repeated-key --orphan-folder "
        "--flat-area --deep-area --clutter 60,300";
    // 12 areas listed, 13 scenery files, only the usual areas' airports extracted.
    EXPECT_EQ(Compile(every, sim), "areas 12\nfiles 13\nairports 3\n");
    EXPECT_EQ(Config().find("Orphan"), std::string::npos);
    const ToolRun scan = Halvern("scan");
    EXPECT_NE(scan.out.find("files 3\n"), std::string::npos) << scan.out;
    EXPECT_NE(scan.out.find("airports 3\n"), std::string::npos) << scan.out;
    EXPECT_EQ(Names(), kRead);

    // The clutter: 60 folders, some within others, holding 300 files that are not scenery, the
    // same in every run.
    const auto clutter = [](const fs::path& root) {
        std::set<std::string> paths;
        for (const char* top : {"SimObjects/Aircraft", "Texture", "Sound"}) {
            for (const auto& entry : fs::recursive_directory_iterator(root / top)) {
                paths.insert(fs::relative(entry.path(), root).string() +
                             (entry.is_directory() ? "/" : ""));
            }
        }
        return paths;
    };
    const std::set<std::string> paths = clutter(sim);
    const auto folders = std::count_if(paths.begin(), paths.end(),
                                       [](const std::string& path) { return path.ends_with('/'); });
    EXPECT_EQ(folders, 60);
    EXPECT_EQ(paths.size(), 360u);
    EXPECT_TRUE(std::none_of(paths.begin(), paths.end(),
                             [](const std::string& path) { return path.ends_with(".bgl"); }));
    EXPECT_TRUE(paths.contains("Texture/Set 00000/Set 00008/")) << "folders within folders";
    Compile(every, dir.path() / "Again");
    EXPECT_EQ(clutter(dir.path() / "Again"), paths);

    // Once the stop area's section sets Active=TRUE, the walk reads it and the area after it,
    // and nothing else of the shapes.
    EditConfig("Title=Stop\r\nLocal=Addon Scenery\\Stop\r\n",
               "Title=Stop\r\nLocal=Addon Scenery\\Stop\r\nActive=TRUE\r\n");
    const std::multiset<std::string> names = Names();
    EXPECT_EQ(names.size(), 9u);
    EXPECT_EQ(OfKind(names, "Stop"), 3u);
    EXPECT_EQ(OfKind(names, "After stop"), 3u);
}

}  // namespace
}  // namespace halvern
