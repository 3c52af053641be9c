// `halvern report` and `halvern find` on a compiled world with each kind of trouble the module
// meets: an inactive area, a built-in default area, a missing area directory, a damaged file of
// each kind, two files defining one code, and a cache written for other scenery. Each face says
// each of them: the text, the JSON (checked against docs/report-schema.json by Debian's
// validator) and the HTML page (rendered in a browser).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <sstream>

#include "fixtures/temp_dir.h"
#include "integration/browser.h"
#include "integration/run_tool.h"
#include "scenery/scenery_file_writer.h"
#include "support/byte_order.h"
#include "support/windows_1252.h"

namespace halvern {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using scenery::ReadBytes;
using scenery::WriteBytes;
using testing::Quoted;
using testing::RunTool;
using testing::ToolRun;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// Whether some line holds all the pieces, in order.
bool SomeLineHolds(const std::vector<std::string>& lines, const std::vector<std::string>& pieces) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
        std::size_t at = 0;
        for (const std::string& piece : pieces) {
            at = line.find(piece, at);
            if (at == std::string::npos) {
                return false;
            }
            at += piece.size();
        }
        return true;
    });
}

void ExpectLines(const std::string& output, const std::vector<std::vector<std::string>>& facts,
                 const std::string& label) {
    const std::vector<std::string> lines = Lines(output);
    for (const auto& pieces : facts) {
        std::string joined;
        for (const std::string& piece : pieces) {
            joined += "[" + piece + "]";
        }
        EXPECT_TRUE(SomeLineHolds(lines, pieces)) << label << ": no line holds " << joined;
    }
}

// The value of one "key value" line of `halvern scan`.
std::string ScanField(const std::string& out, const std::string& key) {
    for (const std::string& line : Lines(out)) {
        if (line.rfind(key + " ", 0) == 0) {
            return line.substr(key.size() + 1);
        }
    }
    return "";
}

std::string Hex32(std::uint64_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

const json* WithMember(const json& list, const char* key, const std::string& suffix) {
    for (const json& item : list) {
        const std::string value = item.at(key).get<std::string>();
        if (value.size() >= suffix.size() &&
            value.compare(value.size() - suffix.size(), suffix.size(), suffix) == 0) {
            return &item;
        }
    }
    return nullptr;
}

const std::string kZurich = "Z\xC3\xBCrich Airport";  // UTF-8, as the CSV holds it

class ReportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        simulatorDir = dir.path() / "Sim";
        const ToolRun compiled = RunTool(
            Quoted(HALVERN_SCENERY_TOOL) + " " + Quoted(HALVERN_AIRPORTS_CSV) + " " + Sim() +
            " --inactive-area --default-area --missing-area --damaged-area "
            "--addon-airport LSZH --absolute-every 0");
        ASSERT_EQ(compiled.status, 0) << compiled.error;
        const ToolRun first = Scan();
        writtenFingerprint = ScanField(first.out, "fingerprint");
        // A scenery file rewritten since the cache was written.
        const fs::path rewritten = simulatorDir / "Addon Scenery" / "AE" / "scenery" / "AP0000.bgl";
        fs::last_write_time(rewritten, fs::last_write_time(rewritten) + std::chrono::seconds(2));
    }

    std::string Sim() const { return Quoted(simulatorDir.string()); }
    fs::path CacheFile() const { return simulatorDir / "HalvernCache.dat"; }
    ToolRun Halvern(const std::string& arguments) const {
        return RunTool(Quoted(HALVERN_TOOL) + " " + arguments);
    }
    ToolRun Scan() const {
        const ToolRun run = Halvern("scan " + Sim());
        EXPECT_EQ(run.status, 0) << run.error;
        return run;
    }

    // Whether Debian's validator accepts the document against docs/report-schema.json.
    bool SchemaAccepts(const std::string& document) const {
        const std::string file = dir.File("report.json");
        EXPECT_TRUE(WriteBytes(file, std::vector<unsigned char>(document.begin(), document.end())));
        const ToolRun run = RunTool(Quoted(HALVERN_JSONSCHEMA_TOOL) + " -i " + Quoted(file) + " " +
                                    Quoted(HALVERN_REPORT_SCHEMA));
        EXPECT_NE(run.status, -1) << run.error;
        return run.status == 0;
    }

    // `halvern report --json`, checked against the schema.
    json Report() const {
        const ToolRun run = Halvern("report " + Sim() + " --json");
        EXPECT_EQ(run.status, 0) << run.error;
        EXPECT_TRUE(SchemaAccepts(run.out)) << run.out.substr(0, 2000);
        return json::parse(run.out);
    }

    testing::TempDir dir;
    fs::path simulatorDir;
    std::string writtenFingerprint;  // of the scenery the cache was written for
};

TEST_F(ReportTest, TextReportSaysWhatBecameOfEachAreaAndFileAndOfTheCache) {
    const ToolRun run = Halvern("report " + Sim());
    ASSERT_EQ(run.status, 0) << run.error;
    const std::string now = ScanField(Scan().out, "fingerprint");
    ExpectLines(
        run.out,
        {
            {"area 1 (scenery.cfg Area.001): left out as a built-in default area"},
            {"\\Scenedb\\world\\Scenery\\: left out as a built-in default area"},
            {"\\Switched Off\\scenery\\: inactive"},
            {"\\Removed\\Scenery\\: directory missing or unreadable"},
            {"BadHeader.bgl", "left out: bad header"},
            {"Empty.bgl", "left out: it cannot be opened, or is empty"},
            {"StepEndsWalk.bgl", "2 airports; ended early at byte ",
             ": a record of an unknown kind", "(2 airports before it kept)"},
            {"RecordPastEnd.bgl", ": a record reaches past the end of the file"},
            {"TextPastEnd.bgl", ": a name or code text starts past the end of the file"},
            {"UnterminatedText.bgl", "runs to the end of the file without its terminator"},
            {"LSZH  shown", "AP0000.bgl", kZurich},
            {"hidden", "AP0000.bgl", kZurich + " (add-on)"},
            {"HalvernCache.dat: written for other scenery (fingerprint " + writtenFingerprint +
             " in the file, " + now + " now); the next start extracts"},
            {"Totals: ", " areas (", " read), ", "4 ended early"},
            {"Times: extraction pass ", "fingerprint pass ", "cache check ", "unread search ",
             "analysis "},
        },
        "report");
}

// Where each damaged file's walk ended, checked against the file's own bytes.
void ExpectWalkEndInFile(const json& file, const std::string& reason, const fs::path& path) {
    const std::vector<unsigned char> bytes = ReadBytes(path.string());
    ASSERT_FALSE(file.at("walkEnd").is_null()) << path;
    const json& end = file.at("walkEnd");
    EXPECT_EQ(end.at("reason"), reason) << path;
    EXPECT_EQ(end.at("airportsBefore"), 2) << path;
    EXPECT_EQ(file.at("airports"), 2) << path;
    const auto offset = end.at("offset").get<std::size_t>();
    ASSERT_LE(offset + 16, bytes.size()) << path;
    const std::uint32_t kind = LoadU32(bytes.data() + offset);
    if (reason == "stepEndsWalk") {
        EXPECT_EQ(kind, 0x7FFF0001u) << "the unknown record the compiler put there";
        return;
    }
    // Otherwise the airport facility record whose block or name could not be read.
    EXPECT_EQ(kind, 0x30002u) << path;
    const std::size_t name = offset + 16;
    const std::size_t block = LoadU32(bytes.data() + offset + 12);
    if (reason == "recordPastEnd") {
        EXPECT_GT(block + 36, bytes.size()) << "the position sub-record reaches past the end";
    } else if (reason == "textPastEnd") {
        EXPECT_EQ(name, bytes.size()) << "the name starts at the end";
    } else {
        EXPECT_LT(name, bytes.size());
        EXPECT_EQ(std::find(bytes.begin() + static_cast<long>(name), bytes.end(), 0), bytes.end())
            << "no terminator after the name";
    }
}

TEST_F(ReportTest, JsonReportFollowsTheSchemaAndLocatesEveryDamage) {
    const std::vector<unsigned char> cacheBefore = ReadBytes(CacheFile().string());
    const json report = Report();
    EXPECT_EQ(ReadBytes(CacheFile().string()), cacheBefore) << "the report writes nothing";

    const json& areas = report.at("areas");
    const std::pair<const char*, const char*> areaFates[] = {
        {"\\Scenedb\\world\\Scenery\\", "defaultArea"},
        {"\\Switched Off\\scenery\\", "inactive"},
        {"\\Removed\\Scenery\\", "missing"},
        {"\\Damaged\\Scenery\\", "read"},
        {"\\Addon LSZH\\scenery\\", "read"},
    };
    for (const auto& [suffix, fate] : areaFates) {
        const json* area = WithMember(areas, "directory", suffix);
        ASSERT_NE(area, nullptr) << suffix;
        EXPECT_EQ(area->at("fate"), fate) << suffix;
        EXPECT_EQ(area->at("source"), "scenery.cfg");
    }

    const json& damaged = WithMember(areas, "directory", "\\Damaged\\Scenery\\")->at("files");
    const fs::path damagedDir = simulatorDir / "Addon Scenery" / "Damaged" / "Scenery";
    const std::pair<const char*, const char*> fileFates[] = {
        {"BadHeader.bgl", "badHeader"}, {"Empty.bgl", "notOpened"},
        {"StepEndsWalk.bgl", "read"},   {"RecordPastEnd.bgl", "read"},
        {"TextPastEnd.bgl", "read"},    {"UnterminatedText.bgl", "read"},
    };
    for (const auto& [name, fate] : fileFates) {
        const json* file = WithMember(damaged, "name", name);
        ASSERT_NE(file, nullptr) << name;
        EXPECT_EQ(file->at("fate"), fate) << name;
        EXPECT_EQ(file->at("size"), fs::file_size(damagedDir / name)) << name;
    }
    ExpectWalkEndInFile(*WithMember(damaged, "name", "StepEndsWalk.bgl"), "stepEndsWalk",
                        damagedDir / "StepEndsWalk.bgl");
    ExpectWalkEndInFile(*WithMember(damaged, "name", "RecordPastEnd.bgl"), "recordPastEnd",
                        damagedDir / "RecordPastEnd.bgl");
    ExpectWalkEndInFile(*WithMember(damaged, "name", "TextPastEnd.bgl"), "textPastEnd",
                        damagedDir / "TextPastEnd.bgl");
    ExpectWalkEndInFile(*WithMember(damaged, "name", "UnterminatedText.bgl"), "unterminatedText",
                        damagedDir / "UnterminatedText.bgl");

    // The stock airport and its add-on copy: the overlay shows the first in database order.
    const json* shared = nullptr;
    for (const json& code : report.at("sharedCodes")) {
        shared = code.at("code") == "LSZH" ? &code : shared;
    }
    ASSERT_NE(shared, nullptr);
    const json& records = shared->at("records");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].at("name"), kZurich);
    EXPECT_TRUE(records[0].at("shown").get<bool>());
    const json& stockArea = areas.at(records[0].at("area").get<std::size_t>() - 1);
    EXPECT_NE(stockArea.at("directory").get<std::string>().find("\\CH\\"), std::string::npos);
    EXPECT_EQ(records[0].at("file").get<std::string>().rfind(stockArea.at("directory"), 0), 0u);
    EXPECT_EQ(records[1].at("name"), kZurich + " (add-on)");
    EXPECT_FALSE(records[1].at("shown").get<bool>());
    EXPECT_LT(records[0].at("record"), records[1].at("record"));

    // The cache was written for the scenery before the file was rewritten.
    const json& cache = report.at("cache");
    EXPECT_EQ(cache.at("state"), "otherScenery");
    EXPECT_TRUE(cache.at("nextStartExtracts").get<bool>());
    EXPECT_EQ(Hex32(cache.at("fingerprint").get<std::uint64_t>()), writtenFingerprint);
    EXPECT_EQ(cache.at("size"), cacheBefore.size());

    // What the next start does is what the report says: it extracts, for the scenery the report
    // fingerprinted, the airports the report counted, the first two of each damaged file.
    const ToolRun next = Scan();
    EXPECT_EQ(ScanField(next.out, "source"), "scenery");
    EXPECT_EQ(ScanField(next.out, "fingerprint"),
              Hex32(report.at("fingerprint").get<std::uint64_t>()));
    const json& totals = report.at("totals");
    EXPECT_EQ(ScanField(next.out, "airports"), std::to_string(totals.at("airports").get<int>()));
    const ToolRun listed = Halvern("airports " + Sim());
    const std::vector<std::string> database = Lines(listed.out);
    ASSERT_EQ(database.size(), totals.at("airports").get<std::size_t>());
    const json& stepped = *WithMember(damaged, "name", "StepEndsWalk.bgl");
    const auto first = stepped.at("firstRecord").get<std::size_t>();
    EXPECT_TRUE(database[first].ends_with("\tStep ends walk kept 1")) << database[first];
    EXPECT_TRUE(database[first + 1].ends_with("\tStep ends walk kept 2")) << database[first + 1];
    EXPECT_EQ(listed.out.find("lost"), std::string::npos);

    // The validator is no formality: a document without a required field fails it.
    json broken = report;
    broken["areas"][0].erase("fate");
    EXPECT_FALSE(SchemaAccepts(broken.dump()));
}

TEST_F(ReportTest, TheCacheStateIsWhatTheNextStartMeets) {
    // The cache of the scenery before the fixture's change matches under no spelling, and only
    // a spelling given outright writes over it.
    Halvern("scan " + Sim() + " --module-spelling " + Sim());
    const std::vector<unsigned char> valid = ReadBytes(CacheFile().string());
    ASSERT_GT(valid.size(), 100u);
    struct Case {
        const char* state;
        std::function<void(std::vector<unsigned char>&)> damage;  // none: the file is removed
        std::uint64_t damagedAt = 0;
    };
    const Case cases[] = {
        {"valid", [](auto&) {}},
        {"absent", nullptr},
        {"otherVersion", [](auto& b) { b[0] = 2; }},
        {"otherScenery", [](auto& b) { b[4] ^= 1; }},
        {"damaged", [](auto& b) { StoreU32(b.data() + 12 + 19, 0); }, 12 + 19},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> bytes = valid;
        if (c.damage) {
            c.damage(bytes);
            ASSERT_TRUE(WriteBytes(CacheFile().string(), bytes));
        } else {
            fs::remove(CacheFile());
        }
        const json cache = Report().at("cache");
        EXPECT_EQ(cache.at("state"), c.state);
        const bool extracts = std::string(c.state) != "valid";
        EXPECT_EQ(cache.at("nextStartExtracts").get<bool>(), extracts) << c.state;
        if (c.damagedAt != 0) {
            EXPECT_EQ(cache.at("damagedAt"), c.damagedAt);
            EXPECT_FALSE(cache.at("damage").get<std::string>().empty());
        }
        EXPECT_EQ(ScanField(Scan().out, "source"), extracts ? "scenery" : "cache") << c.state;
    }
}

TEST_F(ReportTest, AreasOfWorldVisAreToldByTheirEntry) {
    ASSERT_EQ(RunTool(Quoted(HALVERN_SCENERY_TOOL) + " " + Quoted(HALVERN_AIRPORTS_CSV) + " " +
                      Quoted(dir.File("Vis")) + " --world-vis --missing-area --absolute-every 0")
                  .status,
              0);
    simulatorDir = dir.path() / "Vis";
    const json areas = Report().at("areas");
    ASSERT_GT(areas.size(), 2u);
    for (std::size_t i = 0; i < areas.size(); ++i) {
        EXPECT_EQ(areas[i].at("source"), "world.vis");
        EXPECT_EQ(areas[i].at("entry"), i + 1);
    }
    EXPECT_EQ(areas.back().at("fate"), "missing");
    const std::string last = std::to_string(areas.size());
    ExpectLines(Halvern("report " + Sim()).out,
                {{"area " + last + " (world.vis entry " + last + "): directory missing"}},
                "report");
}

TEST_F(ReportTest, FindTellsWhereEachMatchComesFromAndWhatWasNotRead) {
    const std::string& zurich = kZurich;
    const std::pair<std::string, std::vector<std::vector<std::string>>> cases[] = {
        {"lszh",
         {
             {"2 airports in the database match \"lszh\":"},
             {"LSZH  " + zurich + "  at 47.4581, 8.5481"},
             {"record ", " from ", "\\Addon Scenery\\CH\\", "AP0000.bgl, area ",
              "(scenery.cfg Area."},
             {"LSZH  " + zurich + " (add-on)  at 47.4581, 8.5481"},
             {"record ", " from ", "\\Addon LSZH\\scenery\\AP0000.bgl"},
             {"not shown where record ", " is within reach (" + zurich + ", from "},
         }},
        {"Abu Dhabi",
         {
             {"1 airport in the database matches \"Abu Dhabi\":"},
             {"2 more in scenery the module does not read:"},
             {"in ", "\\Switched Off\\scenery\\AP0000.bgl, area ", "): inactive"},
             {"in ",
              "\\Scenedb\\world\\Scenery\\AP0000.bgl, area 1 (scenery.cfg Area.001): "
              "left out as a built-in default area"},
         }},
        {"kept 1", {{"4 airports in the database match \"kept 1\":"}}},
        {"-kept", {{"No airport in the database has a code or name containing \"-kept\"."}}},
        {"step ends walk lost",
         {
             {"No airport in the database has a code or name containing \"step ends walk lost\"."},
             {"StepEndsWalk.bgl", "ended early at byte "},
             {"BadHeader.bgl", "left out: bad header"},
             {"Empty.bgl", "cannot be opened, or is empty"},
             {"\\Switched Off\\scenery\\: inactive"},
             {"\\Scenedb\\world\\Scenery\\: left out as a built-in default area"},
             {"\\Removed\\Scenery\\: directory missing or unreadable"},
             {"The cache file's fingerprint matches under none of the spellings of the "
              "simulator directory tried (",
              "\\Sim\\)"},
             {"The cache file is written for other scenery"},
         }},
    };
    for (const auto& [text, facts] : cases) {
        const ToolRun run = Halvern("find " + Sim() + " " + Quoted(text));
        EXPECT_EQ(run.status, 0) << run.error;
        ExpectLines(run.out, facts, "find " + text);
    }

    // Only the add-on is not shown, and it is hidden behind the stock airport's record.
    const std::vector<std::string> lines = Lines(Halvern("find " + Sim() + " LSZH").out);
    ASSERT_EQ(lines.size(), 8u);
    const std::string stockRecord = lines[2].substr(0, lines[2].find(" from "));
    EXPECT_NE(lines[3].find("(add-on)"), std::string::npos) << lines[3];
    EXPECT_EQ(lines[5].find("not shown where " + stockRecord.substr(stockRecord.find("record"))),
              8u)
        << lines[5];
    EXPECT_EQ(lines.back().find("The cache file is"), 0u) << lines.back();
}

TEST_F(ReportTest, HtmlReportRendersInTheBrowserWithoutConsoleErrors) {
    // SIMDIR given relative to the working directory, as a user types it: the page's paths are
    // short, as in the README's picture.
    const std::string page = dir.File("report.html");
    const ToolRun run = RunTool("cd " + Quoted(dir.path().string()) + " && " +
                                Quoted(HALVERN_TOOL) + " report Sim --html report.html");
    ASSERT_EQ(run.status, 0) << run.error;
    EXPECT_TRUE(run.out.empty());
    const json report = Report();

    const testing::PageRun rendered = testing::RenderPage(page);
    ASSERT_EQ(rendered.status, 0);
    EXPECT_TRUE(rendered.console.empty()) << rendered.console.front();
    ExpectLines(rendered.dom,
                {
                    {"Scenedb\\world\\Scenery\\", "left out as a built-in default area"},
                    {"Switched Off\\scenery\\", "inactive"},
                    {"Removed\\Scenery\\", "directory missing or unreadable"},
                    {"BadHeader.bgl", "left out: bad header"},
                    {"Empty.bgl", "cannot be opened, or is empty"},
                    {"StepEndsWalk.bgl", "a record of an unknown kind"},
                    {"RecordPastEnd.bgl", "a record reaches past the end of the file"},
                    {"TextPastEnd.bgl", "a name or code text starts past the end of the file"},
                    {"UnterminatedText.bgl", "without its terminator"},
                    {"LSZH", kZurich, "shown"},
                    {"LSZH", kZurich + " (add-on)", "hidden"},
                    {"written for other scenery"},
                },
                "page");
    // One dot per airport of the database, a ring for each airport of a file that ended early.
    std::size_t ringed = 0;
    for (const json& area : report.at("areas")) {
        for (const json& file : area.at("files")) {
            ringed += file.at("walkEnd").is_null() ? 0 : file.at("airports").get<std::size_t>();
        }
    }
    const auto count = [&](const std::string& what) {
        std::size_t n = 0;
        for (std::size_t at = 0; (at = rendered.dom.find(what, at)) != std::string::npos; ++at) {
            ++n;
        }
        return n;
    };
    EXPECT_EQ(count("<circle cx="), report.at("totals").at("airports").get<std::size_t>());
    EXPECT_EQ(ringed, 8u);
    EXPECT_EQ(count("<circle class=\"ring\""), ringed);

    // The picture for the README.
    fs::create_directories(HALVERN_PICTURES_DIR);
    const std::string png = std::string(HALVERN_PICTURES_DIR) + "/halvern-report.png";
    fs::remove(png);
    const testing::PageRun shot = testing::ScreenshotPage(page, png, 1280, 1500);
    EXPECT_EQ(shot.status, 0);
    EXPECT_TRUE(shot.console.empty()) << shot.console.front();
    const std::vector<unsigned char> picture = ReadBytes(png);
    ASSERT_GT(picture.size(), 24u);
    EXPECT_EQ(std::string(picture.begin() + 1, picture.begin() + 4), "PNG");
    // The header's width, big-endian.
    EXPECT_EQ(picture[16] << 24 | picture[17] << 16 | picture[18] << 8 | picture[19], 1280);

    // The console check is no formality: a page that loads from elsewhere is caught.
    const std::string bad = dir.File("bad.html");
    const std::string markup =
        "<!DOCTYPE html><meta http-equiv=\"Content-Security-Policy\" content=\"default-src "
        "'none'\"><img src=\"http://halvern.example/a.png\">";
    ASSERT_TRUE(WriteBytes(bad, std::vector<unsigned char>(markup.begin(), markup.end())));
    EXPECT_FALSE(testing::RenderPage(bad).console.empty());
}

}  // namespace
}  // namespace halvern
