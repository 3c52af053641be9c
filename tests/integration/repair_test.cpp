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
    // The codes of the database the module builds now, in order.
    std::vector<std::string> Codes() const {
        const ToolRun run = Halvern("airports " + Quoted(sim.string()));
        std::vector<std::string> codes;
        std::istringstream lines(run.out);
        for (std::string line; std::getline(lines, line);) {
            codes.push_back(line.substr(line.find('\t') + 1, 4));
        }
        return codes;
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
    Airport("Addons/A/scenery", "AAAA");
    Airport("Addons/Stop/scenery", "STOP");
    Airport("Addons/Beyond/scenery", "BYND");
    Airport("Addons/Second/scenery", "SCND");
    Airport("Addons/Four/scenery", "FOUR");
    Airport("Addon Scenery/Orphan/scenery", "ORPH");
    List(
        "[Area.001]\nLocal=Addons\\A\nActive=TRUE\n[Area.002]\nLocal=Addons\\Stop\n"
        "[Area.003]\nLocal=Addons\\Beyond\nActive=TRUE\n[Area.001]\nLocal=Addons\\Second\n"
        "Active=TRUE\n[Area.4]\nLocal=Addons\\Four\nActive=TRUE\n");
    const std::vector<std::string> before = Codes();
    ASSERT_EQ(before, std::vector<std::string>{"AAAA"});
    // Each airport find places in scenery the repair takes in, with the word for why.
    for (const auto& [code, why] :
         std::vector<std::pair<std::string, std::string>>{{"BYND", "the walk ends at Area.002"},
                                                          {"SCND", "a second [Area.001] section"},
                                                          {"FOUR", "never asks for [Area.4]"},
                                                          {"ORPH", "no area names this folder"}}) {
        const ToolRun find = Halvern("find " + Quoted(sim.string()) + " " + code);
        EXPECT_NE(find.out.find(why), std::string::npos) << find.out;
        EXPECT_NE(find.out.find("what to do: "), std::string::npos) << find.out;
    }
    ASSERT_EQ(Halvern("repair " + Quoted(sim.string()) + " " + Quoted(copy.string())).status, 0);
    fs::copy_file(copy, sim / "scenery.cfg", fs::copy_options::overwrite_existing);
    const std::vector<std::string> after = Codes();
    const std::set<std::string> read(after.begin(), after.end());
    for (const char* code : {"AAAA", "BYND", "SCND", "FOUR", "ORPH"}) {
        EXPECT_EQ(read.count(code), 1u) << code;
    }
    EXPECT_EQ(read.count("STOP"), 0u) << "the stop's area stays unread until set TRUE";
    // Nothing is left to repair, and nothing is written.
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
