// `halvern find`: the airports whose code or name contains a text, where each comes from and
// whether the overlay shows it; and when the database holds none, the scenery that was not read.

#include <cstdio>
#include <string>
#include <vector>

#include "halvern/commands.h"
#include "halvern/report_formats.h"
#include "halvern/report_words.h"
#include "halvern/scenery_report.h"
#include "halvern/unread_scenery.h"

namespace halvern::tool {

namespace {

std::string FromWhere(const SceneryReport& report, const std::string& path, std::size_t area) {
    return path + ", area " + std::to_string(area + 1) + " (" + AreaOrigin(report.areas[area]) +
           ")";
}

void PrintMatch(const SceneryReport& report, std::int32_t record) {
    const AirportRecord& airport = report.database.Record(record);
    const ReportFile& file = report.FileOf(record);
    std::printf("  %-4s  %s  at %.4f, %.4f\n        record %d from %s\n", airport.code,
                airport.name, static_cast<double>(airport.latitude),
                static_cast<double>(airport.longitude), record,
                FromWhere(report, file.path, file.area).c_str());
    const std::int32_t shown = report.ShownRecordFor(record);
    if (shown != record) {
        const ReportFile& shownFile = report.FileOf(shown);
        std::printf(
            "        not shown where record %d is within reach (%s, from %s): the overlay "
            "shows the first airport of a code in database order\n",
            shown, report.database.Record(shown).name, shownFile.path.c_str());
    }
}

}  // namespace

int RunFind(const std::string& simulatorDir, const std::string& text) {
    SceneryReport report;
    BuildSceneryReport(simulatorDir, report);
    const AirportMatch match(text);
    std::vector<std::int32_t> found;
    for (std::int32_t i = 0; i < report.database.RecordCount(); ++i) {
        const AirportRecord& record = report.database.Record(i);
        if (match(record.code, record.name)) {
            found.push_back(i);
        }
    }
    if (found.empty()) {
        std::printf("No airport in the database has a code or name containing \"%s\".\n",
                    text.c_str());
    } else {
        std::printf("%s in the database %s \"%s\":\n",
                    Counted(static_cast<std::int64_t>(found.size()), "airport").c_str(),
                    found.size() == 1 ? "matches" : "match", text.c_str());
    }
    for (std::int32_t record : found) {
        PrintMatch(report, record);
    }
    const std::vector<UnreadAirport> unread = FindInUnreadAreas(report, match);
    if (!unread.empty()) {
        std::printf("%zu more in scenery the module does not read:\n", unread.size());
    }
    for (const UnreadAirport& airport : unread) {
        std::printf("  %-4s  %s  at %.4f, %.4f\n        in %s: %s\n", airport.code.c_str(),
                    airport.name.c_str(), airport.latitude, airport.longitude,
                    FromWhere(report, airport.path, airport.area).c_str(),
                    WordsFor(report.areas[airport.area].outcome).phrase);
    }
    if (found.empty()) {
        std::printf("Scenery that was not read, or not in full, where it may lie:\n");
        WriteShortfallsText(report, stdout);
    }
    if (report.NextStartExtracts()) {
        std::printf(
            "The cache file is %s: a simulator running now may still show the airports "
            "of its last extraction.\n",
            CacheSentence(report).c_str());
    }
    return kExitOk;
}

}  // namespace halvern::tool
