// The substitute host flying a script over a compiled world with the real module file: what its
// text service received is printed, and checked here against the tool's own view of the world.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "fixtures/temp_dir.h"
#include "integration/run_tool.h"
#include "resources/version.h"

namespace halvern {
namespace {

namespace fs = std::filesystem;
using testing::Quoted;
using testing::RunTool;
using testing::ToolRun;

// The lines printed for the event at `time` (the event header "[    T s] event").
std::vector<std::string> LinesOfEvent(const std::string& out, const std::string& time) {
    std::istringstream in(out);
    std::vector<std::string> lines;
    bool inEvent = false;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("[", 0) == 0) {
            inEvent = line.find(time + " s] event") != std::string::npos;
            continue;
        }
        if (inEvent && line.rfind("    ", 0) == 0) {
            // "    TEXT   at LAT LON": keep the text.
            lines.push_back(line.substr(4, line.rfind(" at ") - 4));
            while (!lines.back().empty() && lines.back().back() == ' ') {
                lines.back().pop_back();
            }
        }
    }
    return lines;
}

TEST(HostFlight, TheTextServiceReceivesTheLinesOfTheToolAtTheSamePlace) {
    testing::TempDir dir;
    const std::string sim = (dir.path() / "Sim").string();
    ASSERT_EQ(RunTool(Quoted(HALVERN_SCENERY_TOOL) + " " + Quoted(HALVERN_AIRPORTS_CSV) + " " +
                      Quoted(sim))
                  .status,
              0);
    // Standing still at Frankfurt: every event shows the same lines.
    const std::string script =
        "events-per-second 2\n"
        "from 50.0379 8.5622\n"
        "at 1 key shift+F12\n"
        "at 2 options 40 0x27\n"
        "at 2.5 menu Modules>Halvern>About...\n"
        "at 3 key F12\n"
        "at 3.5 key ctrl+shift+F12\n"
        "at 4 menu Modules>Halvern>Show airports\n"
        "end 5\n";
    std::ofstream(dir.File("flight")) << script;
    // The host's registry lives in the test's own folder: settings of other runs must not leak in.
    const ToolRun host = RunTool(
        "XDG_CONFIG_HOME=" + Quoted(dir.File("config")) + " " + Quoted(HALVERN_HOST_TOOL) +
        " --module " + Quoted(HALVERN_MODULE_FILE) + " --simdir " + Quoted(sim) + " --script " +
        Quoted(dir.File("flight")) + " --out " + Quoted(dir.path().string()) + " 2>&1");
    ASSERT_EQ(host.status, 0) << host.out << host.error;
    EXPECT_TRUE(fs::exists(fs::path(sim) / "Modules" / fs::path(HALVERN_MODULE_FILE).filename()));
    EXPECT_TRUE(fs::exists(fs::path(sim) / "HalvernCache.dat"));

    // Before the key: nothing; after it: the default lines within 30 NM.
    EXPECT_TRUE(LinesOfEvent(host.out, "0.50").empty());
    const ToolRun thirty =
        RunTool(Quoted(HALVERN_TOOL) + " nearby " + Quoted(sim) + " --lat 50.0379 --lon 8.5622");
    std::vector<std::string> expected;
    std::istringstream in(thirty.out);
    for (std::string line; std::getline(in, line);) {
        expected.push_back(line);
    }
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(LinesOfEvent(host.out, "1.50"), expected);

    // After the options dialog: 40 NM with name, code, distance and true bearing.
    const ToolRun forty = RunTool(Quoted(HALVERN_TOOL) + " nearby " + Quoted(sim) +
                                  " --lat 50.0379 --lon 8.5622 --distance 40 --options 0x27");
    std::vector<std::string> expectedForty;
    std::istringstream in40(forty.out);
    for (std::string line; std::getline(in40, line);) {
        expectedForty.push_back(line);
    }
    EXPECT_EQ(LinesOfEvent(host.out, "3.00"), expectedForty);
    EXPECT_NE(
        host.out.find("message box [About Halvern]: Halvern version " HALVERN_VERSION_TEXT " / "),
        std::string::npos);
    // Plain F12 and Ctrl+Shift+F12 change nothing; the menu item switches the overlay off.
    EXPECT_EQ(LinesOfEvent(host.out, "4.00"), expectedForty);
    EXPECT_TRUE(LinesOfEvent(host.out, "4.50").empty());
    EXPECT_NE(host.out.find("ModuleDeinit done; 0 chain callback(s) registered"),
              std::string::npos);
}

TEST(HostFlight, TheToolsJudgeTheModulesCacheUnderEverySpellingOfItsDirectory) {
    // The host is given the directory with "." steps and doubled separators; the module spells
    // it normalised. However SIMDIR is typed, the tools find that spelling by the cache.
    testing::TempDir dir;
    const fs::path sim = dir.path() / "Sim";
    ASSERT_EQ(RunTool(Quoted(HALVERN_SCENERY_TOOL) + " " + Quoted(HALVERN_AIRPORTS_CSV) + " " +
                      Quoted(sim.string()) + " --per-file 2000")
                  .status,
              0);
    std::ofstream(dir.File("flight")) << "from 50 8\nend 1\n";
    const ToolRun host = RunTool(
        "cd " + Quoted(dir.path().string()) + " && XDG_CONFIG_HOME=" + Quoted(dir.File("config")) +
        " " + Quoted(HALVERN_HOST_TOOL) + " --module " + Quoted(HALVERN_MODULE_FILE) +
        " --simdir ./Sim//. --script flight");
    ASSERT_EQ(host.status, 0) << host.error;
    const fs::path cache = sim / "HalvernCache.dat";
    ASSERT_TRUE(fs::exists(cache));
    const auto written = fs::last_write_time(cache);
    std::string moduleSpelling = sim.string() + "/";
    std::replace(moduleSpelling.begin(), moduleSpelling.end(), '/', '\\');

    const std::string root = dir.path().string();
    for (const std::string& typed :
         {sim.string(), std::string("Sim"), std::string("./Sim/"), std::string(".//Sim/./"),
          std::string("SIM"), root + "/../" + dir.path().filename().string() + "/Sim"}) {
        const std::string in = "cd " + Quoted(root) + " && " + Quoted(HALVERN_TOOL);
        const ToolRun report = RunTool(in + " report " + Quoted(typed) + " --json");
        ASSERT_EQ(report.status, 0) << typed << ": " << report.error;
        const nlohmann::json document = nlohmann::json::parse(report.out);
        EXPECT_EQ(document.at("cache").at("state"), "valid") << typed;
        EXPECT_EQ(document.at("moduleSpelling").at("basis"), "cacheMatch") << typed;
        EXPECT_EQ(document.at("moduleSpelling").at("directory"), moduleSpelling) << typed;
        // The cache is the module's: a scan reads it and writes nothing.
        const ToolRun scan = RunTool(in + " scan " + Quoted(typed));
        EXPECT_NE(scan.out.find("source cache"), std::string::npos) << typed << ": " << scan.out;
    }
    EXPECT_EQ(fs::last_write_time(cache), written);
}

// Every bad argument and script line ends the run before the module is loaded, with exit
// status 2 and one line that names it.
TEST(HostFlight, BadArgumentsAndScriptLinesFailWithOneLineNamingThem) {
    testing::TempDir dir;
    const std::string sim = dir.File("Sim");
    fs::create_directories(sim);
    struct Case {
        std::string script;     // the lines after "from 50 8"
        std::string arguments;  // added to the command line
        std::string named;      // what the error line must contain
    };
    // "end 2" lets a host that reads actions only when it runs them reach them.
    const Case cases[] = {
        {"end 2\nat 0.5 command abc\n", "", "line 3"},
        {"end 2\nat 0.5 command 70000\n", "", "line 3"},
        {"end 2\nat 0.5 command\n", "", "line 3"},
        {"end 2\nat 1 key shift+F11\n", "", "line 3"},
        {"end 2\nat 1 options 40 zz\n", "", "line 3"},
        {"end 2\nat 1 print extra\n", "", "line 3"},
        {"end 2\nat 1e300 print\n", "", "line 3"},
        {"end 2\nspeed 0\n", "", "line 3"},
        {"end -1\n", "", "line 2"},
        {"to 0 180\nspeed 0.0001\nend 1e9\n", "", "line 4"},
        {"to 0 180\nspeed 0.0001\n", "", "route takes longer"},
        {"end 2\n", "--every -5", "--every"},
        {"end 2\n", "--every abc", "--every"},
        {"end 2\n", "--bogus", "--bogus"},
        // A directory whose backslash the module would take for a separator.
        {"end 2\n", "--simdir " + Quoted(dir.File("Sim\\two")), "--simdir"},
    };
    for (const Case& c : cases) {
        std::ofstream(dir.File("flight")) << "from 50 8\n" << c.script;
        const ToolRun run = RunTool(Quoted(HALVERN_HOST_TOOL) + " --module " +
                                    Quoted(HALVERN_MODULE_FILE) + " --simdir " + Quoted(sim) +
                                    " --script " + Quoted(dir.File("flight")) + " " + c.arguments);
        const std::string what = c.script + c.arguments;
        EXPECT_EQ(run.status, 2) << what;
        EXPECT_EQ(std::count(run.error.begin(), run.error.end(), '\n'), 1) << run.error;
        EXPECT_NE(run.error.find(c.named), std::string::npos) << run.error;
        EXPECT_FALSE(fs::exists(fs::path(sim) / "Modules")) << what;
    }
    EXPECT_FALSE(fs::exists(dir.File("Sim\\two"))) << "nothing is installed there";
}

}  // namespace
}  // namespace halvern
