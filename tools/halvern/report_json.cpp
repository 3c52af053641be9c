// The JSON report: the fields and their meaning are those of docs/report-schema.md, checked by
// docs/report-schema.json.

#include <nlohmann/json.hpp>

#include "halvern/file_time.h"
#include "halvern/report_formats.h"
#include "halvern/report_words.h"
#include "halvern/utf8_text.h"

namespace halvern::tool {

namespace {

// The members in the order the schema lists them.
using json = nlohmann::ordered_json;

// A remedy, or null where there is nothing to do.
json Remedy(const std::string& remedy) {
    return remedy.empty() ? json(nullptr) : json(remedy);
}

json FileJson(const ReportFile& file) {
    json walkEnd = nullptr;
    if (file.walkEnd) {
        walkEnd = {{"reason", WordsFor(file.walkEnd->end).token},
                   {"offset", file.walkEnd->offset},
                   {"airportsBefore", file.walkEnd->airportsBefore}};
    }
    const std::optional<std::string> written = FileTimeText(file.lastWriteTime);
    return {{"path", Utf8Path(file.path)},
            {"name", Utf8Path(file.Name())},
            {"size", file.size},
            {"writeTime", written ? json(*written) : json(nullptr)},
            {"fate", WordsFor(file.fate).token},
            {"airports", file.airports},
            {"firstRecord", file.firstRecord},
            {"walkEnd", walkEnd},
            {"remedy", Remedy(FileRemedy(file))}};
}

json AreaListJson(const SceneryReport& report) {
    const bool config = report.list.source == AreaSource::kSceneryConfig;
    return {{"source", WordsFor(report.list.source).token},
            {"state", WordsFor(report.list.state).token},
            {"stoppedAt", config ? json(report.list.stoppedAt) : json(nullptr)},
            {"summary", report.ListGaveNoArea() ? json(ListSentence(report)) : json(nullptr)}};
}

json AreasJson(const SceneryReport& report) {
    json areas = json::array();
    for (std::size_t a = 0; a < report.areas.size(); ++a) {
        const ReportArea& area = report.areas[a];
        json files = json::array();
        for (std::size_t f = area.firstFile; f < area.firstFile + area.fileCount; ++f) {
            files.push_back(FileJson(report.files[f]));
        }
        areas.push_back(
            {{"number", a + 1},
             {"directory", Utf8Path(area.directory)},
             {"local", Utf8Path(area.local)},
             {"source", WordsFor(area.source).token},
             {"entry", area.entry},
             {"section",
              area.sectionName.empty() ? json(nullptr) : json(Utf8Name(area.sectionName.c_str()))},
             {"fate", WordsFor(area.outcome).token},
             {"reason", AreaReason(report, area, Utf8Path)},
             {"remedy", Remedy(AreaRemedy(report, area, Utf8Path))},
             {"airports", area.airports},
             {"files", std::move(files)}});
    }
    return areas;
}

json SharedCodesJson(const SceneryReport& report) {
    json codes = json::array();
    for (const SharedCode& shared : report.sharedCodes) {
        json records = json::array();
        for (std::int32_t record : shared.records) {
            const ReportFile& file = report.FileOf(record);
            records.push_back({{"record", record},
                               {"name", Utf8Name(report.database.Record(record).name)},
                               {"file", Utf8Path(file.path)},
                               {"area", file.area + 1},
                               {"shown", record == shared.records.front()}});
        }
        codes.push_back({{"code", Utf8Name(shared.code.c_str())}, {"records", std::move(records)}});
    }
    return codes;
}

// The cache file's records beside the scenery's, where the next start reads the file.
json ComparisonJson(const SceneryReport& report) {
    if (!report.cacheComparison) {
        return nullptr;
    }
    const CacheComparison& comparison = *report.cacheComparison;
    json differing = json::array();
    for (const DifferingRecord& only : DifferingRecords(comparison)) {
        const AirportRecord& record = only.inCache ? comparison.cache->Record(only.record)
                                                   : report.database.Record(only.record);
        differing.push_back({{"onlyIn", only.inCache ? "cache" : "scenery"},
                             {"record", only.record},
                             {"code", Utf8Name(record.code)},
                             {"name", Utf8Name(record.name)}});
    }
    return {{"cacheAirports", comparison.cache->RecordCount()},
            {"sceneryAirports", report.database.RecordCount()},
            {"firstDifference",
             comparison.firstDifference ? json(*comparison.firstDifference) : json(nullptr)},
            {"onlyInCache", comparison.onlyInCache.size()},
            {"onlyInScenery", comparison.onlyInScenery.size()},
            {"differing", std::move(differing)},
            {"summary", ComparisonSentence(report)}};
}

json CacheJson(const SceneryReport& report) {
    const CacheInspection& cache = report.cache;
    const bool present = cache.state != CacheState::kAbsent &&
                         cache.state != CacheState::kUnreadable &&
                         cache.state != CacheState::kNotRegular;
    const bool damaged = cache.state == CacheState::kDamaged;
    return {{"path", Utf8Path(report.cachePath)},
            {"state", WordsFor(cache.state).token},
            {"size", present ? json(cache.size) : json(nullptr)},
            {"version", present ? json(cache.version) : json(nullptr)},
            {"fingerprint", present ? json(cache.fingerprint) : json(nullptr)},
            {"recordCount", present ? json(cache.recordCount) : json(nullptr)},
            {"damagedAt", damaged ? json(cache.damagedAt) : json(nullptr)},
            {"damage", damaged ? json(cache.damage) : json(nullptr)},
            {"nextStartExtracts", report.NextStartExtracts()},
            {"summary", CacheSentence(report)},
            {"comparison", ComparisonJson(report)}};
}

json SpellingJson(const ModuleSpelling& spelling) {
    json candidates = json::array();
    for (const std::string& candidate : spelling.candidates) {
        candidates.push_back(Utf8Path(candidate));
    }
    return {{"directory", Utf8Path(spelling.directory)},
            {"basis", WordsFor(spelling.basis).token},
            {"candidates", std::move(candidates)},
            {"summary", SpellingSentence(spelling, Utf8Path)}};
}

json UnreadFoldersJson(const SceneryReport& report) {
    constexpr const char* kCauses[] = {"noArea", "besideScenery", "belowScenery", "linkNotFollowed",
                                       "unnameable"};
    json folders = json::array();
    for (const UnreadFolder& folder : report.unreadFolders) {
        folders.push_back({{"directory", Utf8Path(folder.directory)},
                           {"cause", kCauses[static_cast<int>(folder.cause)]},
                           {"files", folder.files},
                           {"area", folder.area ? json(*folder.area + 1) : json(nullptr)},
                           {"reason", UnreadFolderReason(report, folder, Utf8Path)},
                           {"remedy", Remedy(UnreadFolderRemedy(report, folder, Utf8Path))}});
    }
    return folders;
}

json TotalsJson(const SceneryReport& report) {
    const ReportTotals totals = TotalsOf(report);
    return {{"areas", totals.areas},
            {"areasRead", totals.areasRead},
            {"files", totals.files},
            {"filesRead", totals.filesRead},
            {"filesLeftOut", totals.filesLeftOut},
            {"filesEndedEarly", totals.filesEndedEarly},
            {"airports", totals.airports},
            {"sharedCodes", totals.sharedCodes}};
}

}  // namespace

std::string ReportJson(const SceneryReport& report) {
    json times = json::array();
    for (const StepTime& time : report.times) {
        times.push_back({{"step", time.step}, {"milliseconds", time.milliseconds}});
    }
    const json document = {{"format", "halvern-report"},
                           {"version", 1},
                           {"simulatorDirectory", Utf8Path(report.simulatorDir)},
                           {"moduleSpelling", SpellingJson(report.spelling)},
                           {"fingerprint", report.fingerprint},
                           {"areaList", AreaListJson(report)},
                           {"areas", AreasJson(report)},
                           {"unreadFolders", UnreadFoldersJson(report)},
                           {"sharedCodes", SharedCodesJson(report)},
                           {"cache", CacheJson(report)},
                           {"totals", TotalsJson(report)},
                           {"times", std::move(times)}};
    return WithInvisibleEscaped(document.dump(2, ' ', false, json::error_handler_t::replace)) +
           "\n";
}

}  // namespace halvern::tool
