// `halvern report` and `halvern find` on small compiled worlds with the edits a user makes by hand
// (a gap in the area numbers, a cache file changed, odd files under scenery names): every answer
// is what the next start meets, nothing blocks, and what is printed is valid UTF-8 in which no
// byte of a scenery file acts on the terminal.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "fixtures/temp_dir.h"
#include "integration/run_tool.h"
#include "scenery/scenery_file_writer.h"
#include "support/byte_order.h"

namespace halvern {
namespace {

namespace fs = std::filesystem;
using scenery::ReadBytes;
using scenery::WriteBytes;
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
    // Lowers the cache's record count by one, or with `none` writes the header alone, as the
    // module writes it for scenery without airports.
    const auto lowerCount = [this](bool none) {
        std::vector<unsigned char> bytes = ReadBytes(Cache().string());
        bytes.resize(none ? 12 : bytes.size());
        StoreU32(bytes.data() + 8, none ? 0 : LoadU32(bytes.data() + 8) - 1);
        WriteBytes(Cache().string(), bytes);
    };
    const auto replace = [](const fs::path& path, const char* fifo) {
        fs::remove(path);
        fifo != nullptr ? static_cast<void>(RunTool("mkfifo " + Quoted(path.string())))
                        : static_cast<void>(fs::create_directory(path));
    };
    const auto hostile = [this] {
        // A name with a terminal's escape sequences and a line break, in a file whose name holds
        // a line break; and a file whose name holds a byte that is no UTF-8, which the host
        // platform reads as '?' and so cannot open.
        scenery::SceneryFileWriter writer;
        writer.Add(scenery::MakeAirport("Esc\x1B]0;t\x07\x1B[2J\nFAKE  line\x7F", "ESC", 1, 2, 0));
        WriteBytes((Area("GB") / "odd\n.bgl").string(), writer.Build());
        WriteBytes((Area("GB") / "bad\xFF.bgl").string(), writer.Build());
    };
    const std::string gapReason =
        "not read: the walk ends at Area.005, a number without a section (a gap in the "
        "numbering)";
    const std::string sameDirectory = "left out: an earlier area names the same directory";
    const std::string notRegular = "not a regular file (a directory, FIFO or device)";
    const std::string allRead = "!every area and scenery file was read in full";
    struct Case {
        const char* label;
        const char* compile;
        std::function<void()> edit;      // after a first scan wrote the cache
        std::string arguments;           // after SIMDIR: none for report, the text for find
        std::vector<std::string> facts;  // what some line holds; "!...": what none holds
    };
    const auto invisible = [this] {
        // A file whose name holds a C1 control (U+0081, Windows-1252's byte 0x81), one whose name
        // holds a backslash, and an airport name with that byte.
        scenery::SceneryFileWriter writer;
        writer.Add(scenery::MakeAirport("Rtl\x81name", "RTL", 1, 2, 0));
        WriteBytes((Area("GB") / "odd\xC2\x81.bgl").string(), writer.Build());
        WriteBytes((Area("GB") / "a\\b.bgl").string(), writer.Build());
    };
    const Case cases[] = {
        {"C1 controls and a backslash in a file's name",
         "",
         invisible,
         "",
         {"odd<U+0081>.bgl", "a\\b.bgl",
          "left out: its name holds \\, which the module takes as a separator", "!\xC2\x81"}},
        {"C1 controls in a name", "", invisible, "rtl", {"Rtl<U+0081>name", "!\xC2\x81"}},
        {"a direction override in a text typed",
         "",
         invisible,
         "\xE2\x80\xAErtl",
         {"containing \"<U+202E>rtl\"", "!\xE2\x80\xAE"}},
        // The section where the walk stops, for each way a section lacks its Active value.
        {"a stop whose Active value is empty",
         "--stop-area=empty",
         [] {},
         "'stop al ain'",
         {"the walk ends here: its section has an empty Active value", "what to do: Area.",
          "so the walk ends there: set Active=TRUE or Active=FALSE"}},
        {"a stop whose Active key is misspelt",
         "--stop-area=misspelt",
         [] {},
         "'after stop al ain'",
         {"whose section has no Active key (\"Activ\" looks like a misspelt one)"}},
        {"gap in the numbering",
         "--gap-area",
         [] {},
         "",
         {"area 5 (scenery.cfg Area.006): " + gapReason, "Local=Addon Scenery\\After Gap",
          "After Gap\\Scenery\\: " + gapReason,
          "what to do: renumber the areas so that no number is missing", allRead}},
        {"find looks beyond the gap",
         "--gap-area",
         [] {},
         "'after gap al ain'",
         {"1 more in scenery the module does not read:", "OMAL  After gap Al Ain International",
          "area 5 (scenery.cfg Area.006): " + gapReason, allRead}},
        {"a cache that passes the checks but lacks an airport",
         "",
         [&] { lowerCount(false); },
         "",
         {"valid: 3 airports for this scenery",
          "It differs from the scenery: it holds 3 airports, the scenery 4, and they differ from "
          "record 3 on; 0 only in the cache, 1 only in the scenery. The next start shows the "
          "cache's airports",
          "only in the scenery: record 3       LONG  NNNN"}},
        {"find answers from that cache",
         "",
         [&] { lowerCount(false); },
         "LONG",
         {"No airport in the database has a code or name containing \"LONG\".",
          "1 more in the scenery that the cache file lacks", "\\XX\\scenery\\AP0000.bgl, area 4",
          "The next start reads the cache file. It differs"}},
        {"a long name goes through the cache",
         "",
         [] {},
         "",
         {"valid: 4 airports", "It holds the same 4 airports as the scenery, in the same order."}},
        {"a cache without airports",
         "",
         [&] { lowerCount(true); },
         "",
         {"HalvernCache.dat: without airports: the module writes such a file for scenery without "
          "airports, and never reads it; the next start extracts the airports from the scenery "
          "again.",
          "!damaged"}},
        {"a cache that is a directory",
         "",
         [&] { replace(Cache(), nullptr); },
         "",
         {"HalvernCache.dat: " + notRegular + ": it cannot be opened; the next start extracts",
          "!damaged"}},
        {"scenery.cfg that is a directory",
         "",
         [&] { replace(sim / "scenery.cfg", nullptr); },
         "Heathrow",
         {"scenery.cfg is " + notRegular +
              ": the module reads no area, and does not turn to "
              "scenery\\world.vis instead",
          allRead}},
        {"FIFOs under a scenery file's and the cache's names",
         "",
         [&] {
             replace(Cache(), "fifo");
             replace(Area("GB") / "pipe.bgl", "fifo");
         },
         "",
         {"pipe.bgl", "left out: " + notRegular + ", never opened",
          "HalvernCache.dat: " + notRegular}},
        {"control characters and bytes that are no UTF-8 in a path",
         "",
         hostile,
         "",
         {"odd\xE2\x90\x8A.bgl", "!odd\n", "bad?.bgl", "left out: it cannot be opened"}},
        {"control characters in a name",
         "",
         hostile,
         "esc",
         {"ESC   Esc\xE2\x90\x9B]0;t\xE2\x90\x87\xE2\x90\x9B[2J\xE2\x90\x8A"
          "FAKE  line\xE2\x90\xA1  at 1.0000, 2.0000",
          "odd\xE2\x90\x8A.bgl, area 3", "!\x1B", "!\x07", "!\x7F", "!\nFAKE"}},
        {"text typed in UTF-8",
         "",
         [] {},
         "z\xC3\xBCrich",
         {"1 airport in the database matches \"z\xC3\xBCrich\":", "LSZH  " + kZurich}},
        {"one directory in many spellings",
         "",
         [this] {
             std::ofstream(sim / "scenery.cfg", std::ios::app)
                 << "[Area.005]\nLocal=Addon Scenery\\\\CH\\\\\nActive=TRUE\n"
                    "[Area.006]\nLocal=.\\Addon Scenery\\.\\CH\\.\\scenery\nActive=TRUE\n";
         },
         "",
         {"area 5 (scenery.cfg Area.005): " + sameDirectory,
          "area 6 (scenery.cfg Area.006): " + sameDirectory,
          "Totals: 6 areas (4 read), 4 scenery files"}},
    };
    for (const Case& c : cases) {
        Compile(c.compile);
        ASSERT_EQ(Halvern("scan").status, 0) << c.label;
        c.edit();
        const std::string output = dir.File("output.txt");
        const bool find = !c.arguments.empty();
        const ToolRun run = Halvern(find ? "find" : "report", c.arguments + " >" + Quoted(output));
        EXPECT_EQ(run.status, 0) << c.label << ": " << run.error;
        const std::vector<unsigned char> bytes = ReadBytes(output);
        const std::string printed(bytes.begin(), bytes.end());
        for (const std::string& fact : c.facts) {
            const bool absent = fact.front() == '!';
            EXPECT_EQ(printed.find(fact.substr(absent ? 1 : 0)) == std::string::npos, absent)
                << c.label << ": " << fact << "\n"
                << printed;
        }
        EXPECT_TRUE(ValidUtf8(output)) << c.label;
        if (!find) {
            // The page carries the same in valid UTF-8, and the JSON follows its schema.
            const std::string page = dir.File("report.html");
            const std::string document = dir.File("r.json");
            EXPECT_EQ(Halvern("report", "--html " + Quoted(page)).status, 0) << c.label;
            EXPECT_TRUE(ValidUtf8(page)) << c.label;
            Halvern("report", "--json >" + Quoted(document));
            // C1 controls and invisible characters are escaped text on the page, \u escapes in
            // the JSON, never the characters themselves.
            for (const std::string& written : {page, document}) {
                const std::vector<unsigned char> text = ReadBytes(written);
                const std::string all(text.begin(), text.end());
                EXPECT_EQ(all.find("\xC2\x81"), std::string::npos) << c.label << " " << written;
            }
            EXPECT_EQ(RunTool(Quoted(HALVERN_JSONSCHEMA_TOOL) + " -i " + Quoted(document) + " " +
                              Quoted(HALVERN_REPORT_SCHEMA))
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
