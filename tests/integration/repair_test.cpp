// `halvern repair`: the repaired copy of scenery.cfg byte for byte, a sound list left unwritten,
// no copy written into the simulator directory, and the proof that the module then reads every
// airport `find` placed in the scenery it repairs.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "fixtures/temp_dir.h"
#include "integration/run_tool.h"
#include "scenery/scenery_file_writer.h"

namespace halvern {
namespace {

namespace fs = std::filesystem;
using testing::Quoted;
using testing::RunTool;
using testing::ToolRun;

class RepairTest : public ::testing::Test {
  protected:
    // A scenery file of one airport, code CODE and named "Field CODE", in `folder`.
    void Airport(const std::string& folder, const std::string& code) {
        scenery::SceneryFileWriter writer;
        writer.Add(scenery::MakeAirport("Field " + code, code, 10.0, 20.0, 100.0));
        fs::create_directories(sim / folder);
        ASSERT_TRUE(scenery::WriteBytes((sim / folder / (code + ".bgl")).string(), writer.Build()));
    }
    void List(const std::string& bytes) const {
        std::ofstream(sim / "scenery.cfg", std::ios::binary | std::ios::trunc) << bytes;
    }
    ToolRun Halvern(const std::string& arguments) const {
        return RunTool(Quoted(HALVERN_TOOL) + " " + arguments);
    }
    // The names of the database the module builds now, in order.
    std::vector<std::string> Names() const {
        const ToolRun run = Halvern("airports " + Quoted(sim.string()));
        std::vector<std::string> names;
        std::istringstream lines(run.out);
        for (std::string line; std::getline(lines, line);) {
            names.push_back(line.substr(line.rfind('\t') + 1));
        }
        return names;
    }
    std::string Read(const fs::path& path) const {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    testing::TempDir dir;
    fs::path sim = dir.path() / "Sim";
    fs::path copy = dir.path() / "repaired.cfg";
};

TEST_F(RepairTest, WritesEveryChangeAndKeepsEveryOtherByte) {
    struct Case {
        const char* label;
        std::vector<std::string> folders;  // each with one airport: its last part's first four
        std::string list;                  // scenery.cfg as written
        std::string repaired;              // the copy; empty where none is written
    };
    // A list in UTF-16 (little-endian, its mark first), from ASCII with LF for CR LF.
    const auto utf16 = [](const std::string& text) {
        std::string bytes = "\xFF\xFE";
        for (const char c : text) {
            bytes += c == '\n' ? std::string("\r\0\n\0", 4) : std::string(1, c) + '\0';
        }
        return bytes;
    };
    const Case cases[] = {
        {"a sound list",
         {"Addons/A/scenery"},
         "[General]\r\nTitle=t\r\n[Area.001]\r\nLocal=Addons\\A\r\nActive=TRUE\r\n",
         ""},
        {"every shape, CR LF, comments and other sections kept",
         {"Addons/A/scenery", "Addons/Stop/scenery", "Addons/Beyond/scenery",
          "Addons/Second/scenery", "Addons/Four/scenery", "Addon Scenery/Orphan/Scenery",
          "Addons/Flat"},
         "; kept\r\n[General]\r\nTitle=t\r\n[Area.001]\r\nLocal=Addons\\A\r\nActive=TRUE\r\n"
         "Layer=4\r\n[Area.002]\r\nLocal=Addons\\Stop\r\nActiv=TRUE\r\n[Area.004]\r\n"
         "Local=Addons\\Beyond\r\nActive=TRUE\r\n[AREA.001]\r\nLocal=Addons\\Second\r\n"
         "Active=TRUE\r\n[Area.0005]\r\nLocal=Addons\\Four\r\n[Area.005-off]\r\nLocal=x\r\n"
         "[Area.003]\r\nLocal=Addons\\Flat\r\nActive=TRUE",
         "; kept\r\n[General]\r\nTitle=t\r\n[Area.001]\r\nLocal=Addons\\A\r\nActive=TRUE\r\n"
         "Layer=4\r\n[Area.002]\r\nActive=FALSE\r\nLocal=Addons\\Stop\r\nActiv=TRUE\r\n"
         "[Area.005]\r\nLocal=Addons\\Beyond\r\nActive=TRUE\r\n[Area.003]\r\n"
         "Local=Addons\\Second\r\nActive=TRUE\r\n[Area.006]\r\nActive=FALSE\r\n"
         "Local=Addons\\Four\r\n[Area.005-off]\r\nLocal=x\r\n[Area.004]\r\n"
         "Local=Addons\\Flat\r\nActive=TRUE\r\n\r\n[Area.007]\r\nTitle=Orphan\r\n"
         "Local=Addon Scenery\\Orphan\r\nLayer=5\r\nActive=TRUE\r\nRequired=FALSE\r\n"},
        {"UTF-16 without a line end at the end",
         {"Addons/A/scenery", "Addons/Four/scenery"},
         utf16("[Area.001]\nLocal=Addons\\A\nActive=TRUE\n[Area.2]\nLocal=Addons\\Four\n"
               "Active=TRUE"),
         utf16("[Area.001]\nLocal=Addons\\A\nActive=TRUE\n[Area.002]\nLocal=Addons\\Four\n"
               "Active=TRUE")},
    };
    for (const Case& c : cases) {
        // A world of its own for each list.
        sim = dir.path() / c.label;
        for (const std::string& folder : c.folders) {
            const std::string last = fs::path(folder).parent_path().filename().string();
            Airport(folder, folder.ends_with("Flat") ? "FLAT" : last.substr(0, 4));
        }
        List(c.list);
        fs::remove(copy);
        const ToolRun run = Halvern("repair " + Quoted(sim.string()) + " " + Quoted(copy.string()));
        EXPECT_EQ(run.status, 0) << c.label << ": " << run.error;
        EXPECT_EQ(fs::exists(copy), !c.repaired.empty()) << c.label << "\n" << run.out;
        if (!c.repaired.empty()) {
            EXPECT_EQ(Read(copy), c.repaired) << c.label << "\n" << run.out;
        }
    }
}

TEST_F(RepairTest, TheModuleReadsWhatFindPlacedInTheRepairedScenery) {
    // A world of every shape the walk takes no airports from, each holding copies of the same
    // airports named "<kind> <name>".
    ASSERT_EQ(RunTool(Quoted(HALVERN_SCENERY_TOOL) + " " + Quoted(HALVERN_AIRPORTS_CSV) + " " +
                      Quoted(sim.string()) +
                      " --stop-area --second-section --misnumbered-areas --orphan-folder "
                      "--flat-area --deep-area --per-file 400")
                  .status,
              0);
    const std::vector<std::string> before = Names();
    // What find says of each kind, and whether the repair brings it in.
    const struct {
        const char* kind;
        const char* why;
        bool repaired;
    } kinds[] = {
        {"Stop ", "the walk ends here: its section has no Active key", false},
        {"After stop ", "the walk ends at Area.", true},
        {"Second section ", "a second [Area.", true},
        {"Misnumbered 4 ", "the walk never asks for [Area.4]", true},
        {"Misnumbered 0005 ", "the walk never asks for [Area.0005]", true},
        {"Misnumbered 000 ", "the walk never asks for [Area.000]", true},
        {"Orphan ", "no area names this folder", true},
        {"Flat ", "but these files lie beside that folder", false},
        {"Deep ", "the walk enters no subfolder", false},
    };
    for (const auto& kind : kinds) {
        const ToolRun find = Halvern("find " + Quoted(sim.string()) + " " +
                                     Quoted(kind.kind + std::string("Al Ain")));
        EXPECT_NE(find.out.find(kind.why), std::string::npos) << kind.kind << "\n" << find.out;
        EXPECT_NE(find.out.find("what to do: "), std::string::npos) << kind.kind << "\n"
                                                                    << find.out;
    }
    ASSERT_EQ(Halvern("repair " + Quoted(sim.string()) + " " + Quoted(copy.string())).status, 0);
    fs::copy_file(copy, sim / "scenery.cfg", fs::copy_options::overwrite_existing);
    const std::vector<std::string> after = Names();
    const std::set<std::string> read(after.begin(), after.end());
    for (const std::string& name : before) {
        EXPECT_EQ(read.count(name), 1u) << name << " was read before";
    }
    for (const auto& kind : kinds) {
        const bool found = std::any_of(after.begin(), after.end(), [&](const std::string& name) {
            return name.rfind(kind.kind, 0) == 0;
        });
        EXPECT_EQ(found, kind.repaired) << kind.kind;
    }
    // Nothing is left that a repair could mend, and nothing is written.
    fs::remove(copy);
    EXPECT_EQ(Halvern("repair " + Quoted(sim.string()) + " " + Quoted(copy.string())).status, 0);
    EXPECT_FALSE(fs::exists(copy));
}

TEST_F(RepairTest, NoCopyIsWrittenIntoTheSimulatorDirectory) {
    Airport("Addons/A/scenery", "AAAA");
    List("[Area.3]\nLocal=Addons\\A\nActive=TRUE\n");
    fs::create_directory_symlink(sim / "Addons", dir.path() / "Elsewhere");
    for (const fs::path& inside :
         {sim / "x.cfg", sim / "Addons" / "A" / "x.cfg", dir.path() / "Elsewhere" / "x.cfg"}) {
        const ToolRun run =
            Halvern("repair " + Quoted(sim.string()) + " " + Quoted(inside.string()));
        EXPECT_EQ(run.status, 2) << inside;
        EXPECT_EQ(std::count(run.error.begin(), run.error.end(), '\n'), 1) << run.error;
        EXPECT_FALSE(fs::exists(inside)) << inside;
    }
}

}  // namespace
}  // namespace halvern
