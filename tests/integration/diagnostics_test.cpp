// `halvern report` and `halvern find` on small compiled worlds with the edits a user makes by hand
// (a gap in the area numbers, a cache file changed, odd files under scenery names): every answer
// is what the next start meets, nothing blocks, and what is printed is valid UTF-8 in which no
// byte of a scenery file acts on the terminal.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>

#include "airports/byte_order.h"
#include "integration/output_lines.h"
#include "integration/run_tool.h"
#include "scenery/scenery_file_writer.h"
#include "support/temp_dir.h"

namespace halvern {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using scenery::ReadBytes;
using scenery::WriteBytes;
using testing::ExpectLines;
using testing::Quoted;
using testing::RunTool;
using testing::ToolRun;

const std::string kZurich = "Z\xC3\xBCrich Airport";  // UTF-8, as the CSV holds it
const std::string kLongName(1500, 'N');

// Four airports, one area each: AE, CH, GB and XX (the long name), in that order.
const std::string kAirports =
    "ident,gps_code,name,latitude_deg,longitude_deg,elevation_ft,iso_country,type\n"
    "OMAL,OMAL,Al Ain International Airport,24.2617,55.6092,869,AE,large_airport\n"
    "LSZH,LSZH," +
    kZurich +
    ",47.458056,8.548056,1416,CH,large_airport\n"
    "EGLL,EGLL,London Heathrow Airport,51.4706,-0.461941,83,GB,large_airport\n"
    "LONG,LONG," +
    kLongName + ",10,10,1,XX,small_airport\n";

class Diagnostics : public ::testing::Test {
  protected:
    // Compiles the four airports into a fresh simulator directory, with compiler options.
    void Compile(const std::string& options) {
        fs::remove_all(sim);
        const std::string csv = dir.File("airports.csv");
        std::ofstream(csv, std::ios::binary) << kAirports;
        const ToolRun run = RunTool(Quoted(HALVERN_SCENERY_TOOL) + " " + Quoted(csv) + " " +
                                    Quoted(sim.string()) + " --absolute-every 0 " + options);
        ASSERT_EQ(run.status, 0) << run.error;
    }
    // `halvern VERB SIMDIR REST`; a command that blocks is ended after 60 s.
    ToolRun Halvern(const std::string& verb, const std::string& rest = "") const {
        return RunTool("timeout 60 " + Quoted(HALVERN_TOOL) + " " + verb + " " +
                       Quoted(sim.string()) + " " + rest);
    }
    // The scenery folder of a country's area (the compiler spells some "Scenery").
    fs::path Area(const char* country) const {
        const fs::path area = sim / "Addon Scenery" / country;
        return fs::exists(area / "scenery") ? area / "scenery" : area / "Scenery";
    }
    fs::path Cache() const { return sim / "HalvernCache.dat"; }

    testing::TempDir dir;
    fs::path sim = dir.path() / "Sim";
};

// Whether a file's bytes are valid UTF-8, as iconv judges them.
bool ValidUtf8(const std::string& path) {
    return RunTool("iconv -f UTF-8 -t UTF-8 " + Quoted(path) + " >/dev/null").status == 0;
}

TEST_F(Diagnostics, ReportAndFindSayWhatTheNextStartMeets) {
    const auto lowerCount = [this] {
        std::vector<unsigned char> bytes = ReadBytes(Cache().string());
        StoreU32(bytes.data() + 8, LoadU32(bytes.data() + 8) - 1);
        WriteBytes(Cache().string(), bytes);
    };
    const auto hostile = [this] {
        // A name with a terminal's escape sequences and a line break, in a file whose name holds
        // a line break and a byte that is no UTF-8.
        scenery::SceneryFileWriter writer;
        writer.Add(
            scenery::MakeAirport("Esc\x1B]0;title\x07\x1B[2J\nFAKE  line\x7F", "ESC", 1, 2, 0));
        WriteBytes((Area("GB") / "odd\n\xFF.bgl").string(), writer.Build());
    };
    struct Case {
        const char* label;
        const char* compile;
        std::function<void()> edit;  // after a first scan wrote the cache
        std::string command;         // "report", or "find" with its text after SIMDIR
        std::string text;
        std::vector<std::vector<std::string>> facts;
        std::vector<std::string> absent;  // pieces no line may hold
    };
    const Case cases[] = {
        {"gap in the area numbers",
         "--gap-area",
         [] {},
         "report",
         "",
         {{"area 5 (scenery.cfg Area.006): not read: the walk stops at Area.005, the first area "
           "number without an Active value; renumber the areas so there is no gap"},
          {"Local=Addon Scenery\\After Gap"},
          {"area 5 (scenery.cfg Area.006) ", "After Gap\\", ": not read: the walk stops"}},
         {"every area and scenery file was read in full"}},
        {"find looks beyond the gap",
         "--gap-area",
         [] {},
         "find",
         "after gap al ain",
         {{"No airport in the database"},
          {"1 more in scenery the module does not read:"},
          {"OMAL  After gap Al Ain International Airport"},
          {"area 5 (scenery.cfg Area.006): not read: the walk stops at Area.005"}},
         {"every area and scenery file was read in full"}},
        {"a cache that passes the checks but lacks an airport",
         "",
         lowerCount,
         "report",
         "",
         {{"valid: 3 airports for this scenery"},
          {"It differs from the scenery: it holds 3 airports, the scenery 4, and they differ from "
           "record 3 on; 0 only in the cache, 1 only in the scenery. The next start shows the "
           "cache's airports"},
          {"only in the scenery: record 3", "LONG", "NNNN"}},
         {}},
        {"find answers from that cache",
         "",
         lowerCount,
         "find",
         "LONG",
         {{"No airport in the database has a code or name containing \"LONG\"."},
          {"1 more in the scenery that the cache file lacks"},
          {"record 3 of the extraction, from ", "\\XX\\scenery\\AP0000.bgl"},
          {"The next start reads the cache file. It differs from the scenery"}},
         {}},
        {"a long name goes through the cache",
         "",
         [] {},
         "report",
         "",
         {{"valid: 4 airports"},
          {"It holds the same 4 airports as the scenery, in the same order."}},
         {"damaged"}},
        {"a cache without airports",
         "",
         [this] {
             // The header as the module writes it for scenery without airports.
             std::vector<unsigned char> bytes = ReadBytes(Cache().string());
             bytes.resize(12);
             StoreU32(bytes.data() + 8, 0);
             WriteBytes(Cache().string(), bytes);
         },
         "report",
         "",
         {{"HalvernCache.dat: without airports: the module writes such a file for scenery without "
           "airports, and never reads it; the next start extracts the airports from the scenery "
           "again."}},
         {"damaged"}},
        {"a cache that is a directory",
         "",
         [this] {
             fs::remove(Cache());
             fs::create_directory(Cache());
         },
         "report",
         "",
         {{"HalvernCache.dat: not a regular file (a directory, FIFO or device): it cannot be "
           "opened; the next start extracts"}},
         {"damaged"}},
        {"scenery.cfg that is a directory",
         "",
         [this] {
             fs::remove(sim / "scenery.cfg");
             fs::create_directory(sim / "scenery.cfg");
         },
         "find",
         "Heathrow",
         {{"Scenery that was not read, or not in full, where it may lie:"},
          {"scenery.cfg is not a regular file (a directory, FIFO or device): the module reads no "
           "area, and does not turn to scenery\\world.vis instead"}},
         {"every area and scenery file was read in full"}},
        {"FIFOs under a scenery file's and the cache's names",
         "",
         [this] {
             fs::remove(Cache());
             RunTool("mkfifo " + Quoted(Cache().string()) + " " +
                     Quoted((Area("GB") / "pipe.bgl").string()));
         },
         "report",
         "",
         {{"pipe.bgl", "left out: not a regular file (a directory, FIFO or device), never opened"},
          {"HalvernCache.dat: not a regular file"}},
         {}},
        {"control characters and bytes that are no UTF-8 in a path",
         "",
         hostile,
         "report",
         "",
         {{"odd\xE2\x90\x8A\xEF\xBF\xBD.bgl", "1 airport"}},
         {"odd\n"}},
        {"control characters in a name",
         "",
         hostile,
         "find",
         "esc",
         {{"ESC   Esc\xE2\x90\x9B]0;title\xE2\x90\x87\xE2\x90\x9B[2J\xE2\x90\x8A"
           "FAKE  line\xE2\x90\xA1  at 1.0000, 2.0000"},
          {"        record ", " from ", "odd\xE2\x90\x8A\xEF\xBF\xBD.bgl"}},
         {"\x1B", "\x07", "\x7F", "\nFAKE"}},
        {"text typed in UTF-8",
         "",
         [] {},
         "find",
         "z\xC3\xBCrich",
         {{"1 airport in the database matches \"z\xC3\xBCrich\":"}, {"LSZH  " + kZurich}},
         {}},
        {"one directory in many spellings",
         "",
         [this] {
             std::ofstream(sim / "scenery.cfg", std::ios::app)
                 << "[Area.005]\nLocal=Addon Scenery\\\\CH\\\\\nActive=TRUE\n"
                    "[Area.006]\nLocal=.\\Addon Scenery\\.\\CH\\.\\scenery\nActive=TRUE\n";
         },
         "report",
         "",
         {{"area 5 (scenery.cfg Area.005): left out: an earlier area names the same directory"},
          {"area 6 (scenery.cfg Area.006): left out: an earlier area names the same directory"},
          {"Totals: 6 areas (4 read), 4 scenery files"}},
         {}},
    };
    for (const Case& c : cases) {
        Compile(c.compile);
        ASSERT_EQ(Halvern("scan").status, 0) << c.label;
        c.edit();
        const std::string output = dir.File("output.txt");
        const std::string text = c.command == "find" ? Quoted(c.text) : "";
        const ToolRun run = Halvern(c.command, text + " >" + Quoted(output));
        EXPECT_EQ(run.status, 0) << c.label << ": " << run.error;
        const std::vector<unsigned char> bytes = ReadBytes(output);
        const std::string printed(bytes.begin(), bytes.end());
        ExpectLines(printed, c.facts, c.label);
        for (const std::string& piece : c.absent) {
            EXPECT_EQ(printed.find(piece), std::string::npos) << c.label << ": holds " << piece;
        }
        EXPECT_TRUE(ValidUtf8(output)) << c.label;
        if (c.command == "report") {
            // The page carries the same, also in valid UTF-8, and the JSON its schema.
            const std::string page = dir.File("report.html");
            EXPECT_EQ(Halvern("report", "--html " + Quoted(page)).status, 0) << c.label;
            EXPECT_TRUE(ValidUtf8(page)) << c.label;
            const ToolRun document = Halvern("report", "--json >" + Quoted(dir.File("r.json")));
            EXPECT_EQ(RunTool(Quoted(HALVERN_JSONSCHEMA_TOOL) + " -i " +
                              Quoted(dir.File("r.json")) + " " + Quoted(HALVERN_REPORT_SCHEMA))
                          .status,
                      0)
                << c.label;
        }
    }
}

TEST_F(Diagnostics, NoCommandBlocksOrCallsAFailedWriteSuccess) {
    Compile("");
    RunTool("mkfifo " + Quoted((Area("CH") / "pipe.bgl").string()) + " " +
            Quoted((sim / "scenery" / "world.vis").string()));
    const std::pair<const char*, const char*> commands[] = {
        {"scan", ""}, {"airports", ""}, {"report", ""}, {"report", "--json"}, {"find", "Heathrow"}};
    // The module's own step reads past the FIFOs, and does not write its cache into one.
    fs::remove(Cache());
    RunTool("mkfifo " + Quoted(Cache().string()));
    for (const auto& [verb, rest] : commands) {
        const ToolRun run = Halvern(verb, rest);
        EXPECT_EQ(run.status, 0) << verb << " " << rest << ": " << run.error;
        const ToolRun full = Halvern(verb, std::string(rest) + " >/dev/full");
        EXPECT_EQ(full.status, 1) << verb << " " << rest;
        EXPECT_EQ(full.error, "halvern: could not write the output: No space left on device\n")
            << verb << " " << rest;
    }
    EXPECT_TRUE(fs::is_fifo(Cache())) << "the FIFO stays what it was";
    const ToolRun page = Halvern("report", "--html /dev/full");
    EXPECT_EQ(page.status, 1);
}

}  // namespace
}  // namespace halvern
