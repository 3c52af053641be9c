// `halvern find`: the airports whose code or name contains a text in the database the module will
// have at its next start, where each comes from and whether the overlay shows it; those the
// scenery holds that the module will not have; and when the database holds none, the scenery
// that was not read.

#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

#include "halvern/commands.h"
#include "halvern/report_formats.h"
#include "halvern/report_words.h"
#include "halvern/scenery_report.h"
#include "halvern/unread_scenery.h"
#include "halvern/utf8_text.h"

namespace halvern::tool {

namespace {

std::string FromWhere(const SceneryReport& report, const std::string& path, std::size_t area) {
    return ShownPath(path) + ", area " + std::to_string(area + 1) + " (" +
           AreaOrigin(report.areas[area]) + ")";
}

void PrintAirport(const AirportRecord& airport) {
    std::printf("  %-4s  %s  at %.4f, %.4f\n", ShownName(airport.code).c_str(),
                ShownName(airport.name).c_str(), static_cast<double>(airport.latitude),
                static_cast<double>(airport.longitude));
}

// The database the next start will have: the cache file's records where it reads the cache,
// each with its scenery record where the scenery holds it; otherwise the extraction's.
class NextDatabase {
  public:
    explicit NextDatabase(const SceneryReport& report)
        : report_(report),
          cached_(report.cacheComparison ? &*report.cacheComparison : nullptr),
          records_(cached_ != nullptr ? *cached_->cache : report.database) {
        for (std::int32_t i = 0; i < records_.RecordCount(); ++i) {
            firstWithCode_.try_emplace(records_.Record(i).code, i);
        }
    }

    const AirportFinder& Records() const { return records_; }

    // The scenery record of one of its records; -1 for a cache record the scenery lacks.
    std::int32_t SceneryRecord(std::int32_t record) const {
        return cached_ != nullptr ? cached_->cacheToScenery[static_cast<std::size_t>(record)]
                                  : record;
    }

    // Where one of its records comes from: its file, and with `area` the file's area.
    std::string Origin(std::int32_t record, bool area) const {
        const std::int32_t scenery = SceneryRecord(record);
        if (scenery < 0) {
            return "the cache file, whose record the scenery no longer holds (a cache record "
                   "carries no file or area)";
        }
        const ReportFile& file = report_.FileOf(scenery);
        return area ? FromWhere(report_, file.path, file.area) : ShownPath(file.path);
    }

    void PrintMatch(std::int32_t record) const {
        PrintAirport(records_.Record(record));
        std::printf("        record %d from %s\n", record, Origin(record, true).c_str());
        const std::int32_t shown = firstWithCode_.at(records_.Record(record).code);
        if (shown != record) {
            std::printf(
                "        not shown where record %d is within reach (%s, from %s): the overlay "
                "shows the first airport of a code in database order\n",
                shown, ShownName(records_.Record(shown).name).c_str(),
                Origin(shown, false).c_str());
        }
    }

    // The scenery's matching records that the cache file lacks: the next start does not have
    // them.
    void PrintMissingFromCache(const AirportMatch& match) const {
        if (cached_ == nullptr) {
            return;
        }
        std::vector<std::int32_t> missing;
        for (std::int32_t record : cached_->onlyInScenery) {
            const AirportRecord& airport = report_.database.Record(record);
            if (match(airport.code, airport.name)) {
                missing.push_back(record);
            }
        }
        if (!missing.empty()) {
            std::printf(
                "%zu more in the scenery that the cache file lacks (the next start reads the "
                "cache file, so the module will not have them):\n",
                missing.size());
        }
        for (std::int32_t record : missing) {
            PrintAirport(report_.database.Record(record));
            const ReportFile& file = report_.FileOf(record);
            std::printf("        record %d of the extraction, from %s\n", record,
                        FromWhere(report_, file.path, file.area).c_str());
        }
    }

  private:
    const SceneryReport& report_;
    const CacheComparison* cached_;
    const AirportFinder& records_;
    std::unordered_map<std::string, std::int32_t> firstWithCode_;
};

}  // namespace

int RunFind(const SimulatorDir& simulatorDir, const std::string& typed) {
    SceneryReport report;
    BuildSceneryReport(simulatorDir, report);
    const std::optional<std::string> text = NameTextFromTerminal(typed);
    const std::string quoted = text ? ShownName(text->c_str()) : ShownArgument(typed);
    const AirportMatch match(text);
    const NextDatabase next(report);
    std::vector<std::int32_t> found;
    for (std::int32_t i = 0; i < next.Records().RecordCount(); ++i) {
        const AirportRecord& record = next.Records().Record(i);
        if (match(record.code, record.name)) {
            found.push_back(i);
        }
    }
    if (found.empty()) {
        std::printf("No airport in the database has a code or name containing \"%s\".\n",
                    quoted.c_str());
    } else {
        std::printf("%s in the database %s \"%s\":\n",
                    Counted(static_cast<std::int64_t>(found.size()), "airport").c_str(),
                    found.size() == 1 ? "matches" : "match", quoted.c_str());
    }
    for (std::int32_t record : found) {
        next.PrintMatch(record);
    }
    next.PrintMissingFromCache(match);
    const std::vector<UnreadAirport> unread = FindInUnreadAreas(report, match);
    if (!unread.empty()) {
        std::printf("%zu more in scenery the module does not read:\n", unread.size());
    }
    for (const UnreadAirport& airport : unread) {
        std::printf("  %-4s  %s  at %.4f, %.4f\n", ShownName(airport.code.c_str()).c_str(),
                    ShownName(airport.name.c_str()).c_str(), airport.latitude, airport.longitude);
        std::string remedy;
        if (airport.inFolder) {
            const UnreadFolder& folder = report.unreadFolders[airport.area];
            std::printf("        in %s: %s\n", ShownPath(airport.path).c_str(),
                        UnreadFolderReason(report, folder).c_str());
            remedy = UnreadFolderRemedy(report, folder);
        } else {
            const ReportArea& area = report.areas[airport.area];
            std::printf("        in %s: %s\n",
                        FromWhere(report, airport.path, airport.area).c_str(),
                        AreaReason(report, area).c_str());
            remedy = AreaRemedy(report, area);
        }
        if (!remedy.empty()) {
            std::printf("        what to do: %s\n", remedy.c_str());
        }
    }
    if (found.empty()) {
        std::printf("Scenery that was not read, or not in full, where it may lie:\n");
        WriteShortfallsText(report, stdout);
        if (!report.unreadFolders.empty()) {
            std::printf("Scenery that no area reads:\n");
            WriteUnreadFoldersText(report, stdout);
        }
    }
    std::printf("%s.\n", Capitalised(SpellingSentence(report.spelling)).c_str());
    if (report.NextStartExtracts()) {
        std::printf(
            "The cache file is %s: a simulator running now may still show the airports "
            "of its last extraction.\n",
            CacheSentence(report).c_str());
    } else if (report.cacheComparison && report.cacheComparison->firstDifference) {
        std::printf("The next start reads the cache file. %s\n",
                    ComparisonSentence(report).c_str());
    }
    return kExitOk;
}

}  // namespace halvern::tool
