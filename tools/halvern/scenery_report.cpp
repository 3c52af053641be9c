#include "halvern/scenery_report.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <stdexcept>

#include "airports/database_step.h"
#include "airports/default_areas.h"
#include "airports/scenery_areas.h"
#include "platform/file_access.h"
#include "platform/name_lookup_scope.h"

namespace halvern::tool {

namespace {

// Takes the areas and files as the extraction pass meets them. The records a file gave are
// those the database gained since the file before it.
class ReportObserver final : public SceneryObserver {
  public:
    ReportObserver(SceneryReport& report, WalkRecord& walk) : report_(report), walk_(walk) {}

    void OnArea(const SceneryArea& area) override {
        walk_.OnArea(area);
        AreaOutcome outcome = AreaOutcome::kRead;
        switch (area.fate) {
            case AreaFate::kRead:
                outcome = IsInDefaultArea(area.directory) ? AreaOutcome::kDefaultArea
                                                          : AreaOutcome::kRead;
                break;
            case AreaFate::kInactive:
                outcome = AreaOutcome::kInactive;
                break;
            case AreaFate::kAlreadyWalked:
                outcome = AreaOutcome::kAlreadyWalked;
                break;
            case AreaFate::kMissing:
                outcome = AreaOutcome::kMissing;
                break;
            case AreaFate::kBeyondPathLimit:
                outcome = AreaOutcome::kBeyondPathLimit;
                break;
        }
        const bool config = area.source == AreaSource::kSceneryConfig;
        report_.areas.push_back({area.directory, area.local != nullptr ? area.local : "",
                                 area.source, area.entry, outcome, report_.files.size(), 0, 0,
                                 std::nullopt, config ? AreaSectionName(area.entry) : ""});
    }

    void OnAreaList(const AreaList& list) override { report_.list = list; }

    void OnWalkEnd(WalkEnd end, std::int64_t offset, std::int32_t airportsBefore) override {
        walkEnd_ = ReportWalkEnd{end, offset, airportsBefore};
    }

    void OnFile(const char* path, const platform::FileEntry& entry, FileFate fate,
                std::int32_t /*airports*/) override {
        walk_.OnFile(path, entry);
        // Files come only inside an area, which the walk tells first.
        if (report_.areas.empty()) {
            fileOutsideAreas_ = true;
            return;
        }
        const std::size_t area = report_.areas.size() - 1;
        const std::int32_t records = report_.database.RecordCount();
        report_.files.push_back({path, area, entry.size, entry.lastWriteTime, fate, recorded_,
                                 records - recorded_, walkEnd_});
        ++report_.areas.back().fileCount;
        report_.areas.back().airports += records - recorded_;
        report_.recordFile.resize(static_cast<std::size_t>(records), report_.files.size() - 1);
        recorded_ = records;
        walkEnd_.reset();
    }

    // Whether every file came inside an area and every record with a file: the analysis and the
    // faces of the report index by both.
    bool Consistent() const {
        return !fileOutsideAreas_ && report_.recordFile.size() ==
                                         static_cast<std::size_t>(report_.database.RecordCount());
    }

  private:
    SceneryReport& report_;
    WalkRecord& walk_;
    bool fileOutsideAreas_ = false;
    std::int32_t recorded_ = 0;
    std::optional<ReportWalkEnd> walkEnd_;
};

// The codes carried by the records of more than one file, in the order of their first record.
void FindSharedCodes(SceneryReport& report) {
    std::map<std::string, std::vector<std::int32_t>> byCode;
    for (std::int32_t i = 0; i < report.database.RecordCount(); ++i) {
        const std::string code = report.database.Record(i).code;
        byCode[code].push_back(i);
    }
    for (auto& [code, records] : byCode) {
        const std::size_t firstFile = report.recordFile[static_cast<std::size_t>(records[0])];
        for (std::int32_t record : records) {
            if (report.recordFile[static_cast<std::size_t>(record)] != firstFile) {
                report.sharedCodes.push_back({code, std::move(records)});
                break;
            }
        }
    }
    std::sort(report.sharedCodes.begin(), report.sharedCodes.end(),
              [](const SharedCode& a, const SharedCode& b) { return a.records[0] < b.records[0]; });
}

// Reads scenery.cfg's text itself and tells every area section the walk does not read, each
// with what it names; an area the walk read is tied to its section.
void TellSections(SceneryReport& report) {
    if (report.list.source != AreaSource::kSceneryConfig || report.list.state != ListState::kRead) {
        return;
    }
    std::string bytes;
    if (!platform::ReadHostFile((report.simulatorDir + kSceneryConfigName).c_str(), bytes)) {
        return;
    }
    const ProfileText text(bytes);
    report.sections = AreaSections(text, report.list.stoppedAt);
    for (std::size_t s = 0; s < report.sections.size(); ++s) {
        const AreaSection& section = report.sections[s];
        if (section.role == SectionRole::kWalked) {
            for (ReportArea& area : report.areas) {
                if (area.source == AreaSource::kSceneryConfig && area.entry == section.number) {
                    area.section = s;
                }
            }
            continue;
        }
        constexpr AreaOutcome kOutcomes[] = {AreaOutcome::kRead, AreaOutcome::kWalkStop,
                                             AreaOutcome::kBeyondStop, AreaOutcome::kSecondSection,
                                             AreaOutcome::kNeverFormed};
        report.areas.push_back(
            {AreaDirectory(AreaSource::kSceneryConfig, report.simulatorDir, section.local.c_str()),
             section.local, AreaSource::kSceneryConfig, section.number,
             kOutcomes[static_cast<int>(section.role)], report.files.size(), 0, 0, s,
             section.name});
    }
}

// Runs `step` and notes how long it took.
template <typename Step>
void Timed(SceneryReport& report, const char* name, Step step) {
    const auto start = std::chrono::steady_clock::now();
    step();
    const std::chrono::duration<double, std::milli> taken =
        std::chrono::steady_clock::now() - start;
    report.times.push_back({name, taken.count()});
}

}  // namespace

std::string ReportFile::Name() const {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

ReportTotals TotalsOf(const SceneryReport& report) {
    ReportTotals totals;
    totals.areas = report.areas.size();
    for (const ReportArea& area : report.areas) {
        totals.areasRead += area.outcome == AreaOutcome::kRead ? 1u : 0u;
    }
    totals.files = report.files.size();
    for (const ReportFile& file : report.files) {
        const bool read = file.fate == FileFate::kRead;
        totals.filesRead += read ? 1u : 0u;
        totals.filesLeftOut += read ? 0u : 1u;
        totals.filesEndedEarly += file.walkEnd ? 1u : 0u;
    }
    totals.airports = report.database.RecordCount();
    totals.sharedCodes = report.sharedCodes.size();
    return totals;
}

std::vector<Shortfall> ShortfallsOf(const SceneryReport& report) {
    std::vector<Shortfall> shortfalls;
    for (std::size_t a = 0; a < report.areas.size(); ++a) {
        const ReportArea& area = report.areas[a];
        if (area.outcome != AreaOutcome::kRead) {
            shortfalls.push_back({a, nullptr});
        }
        for (std::size_t f = area.firstFile; f < area.firstFile + area.fileCount; ++f) {
            const ReportFile& file = report.files[f];
            if (file.walkEnd ||
                (file.fate != FileFate::kRead && file.fate != FileFate::kDefaultArea)) {
                shortfalls.push_back({a, &file});
            }
        }
    }
    return shortfalls;
}

std::vector<DifferingRecord> DifferingRecords(const CacheComparison& comparison) {
    constexpr std::size_t kShown = 10;
    std::vector<DifferingRecord> differing;
    auto cached = comparison.onlyInCache.begin();
    auto extracted = comparison.onlyInScenery.begin();
    while (differing.size() < kShown && (cached != comparison.onlyInCache.end() ||
                                         extracted != comparison.onlyInScenery.end())) {
        const bool fromCache = extracted == comparison.onlyInScenery.end() ||
                               (cached != comparison.onlyInCache.end() && *cached <= *extracted);
        differing.push_back({fromCache, fromCache ? *cached++ : *extracted++});
    }
    return differing;
}

void BuildSceneryReport(const SimulatorDir& simulatorDir, SceneryReport& report) {
    platform::NameLookupScope lookups;
    const std::string& directory = simulatorDir.directory;
    report.simulatorDir = directory;
    report.cachePath = CachePath(directory.c_str());
    // One walk: the extraction's listing gives the fingerprint under every spelling.
    WalkRecord walk;
    ReportObserver observer(report, walk);
    Timed(report, "extraction pass", [&] {
        report.database.BuildFromScenery(directory.c_str(), &observer);
        if (!observer.Consistent()) {
            throw std::logic_error(
                "the extraction told a file outside an area or an airport outside a file");
        }
        TellSections(report);
    });
    Timed(report, "fingerprint pass", [&] {
        report.spelling = FindModuleSpelling(simulatorDir.typed, simulatorDir.moduleSpelling, walk,
                                             report.cachePath);
        report.fingerprint = report.spelling.fingerprint;
        report.database.SetSceneryFingerprint(report.fingerprint);
    });
    Timed(report, "cache check",
          [&] { report.cache = InspectCache(report.cachePath.c_str(), report.fingerprint); });
    Timed(report, "unread search", [&] { report.unreadFolders = FindUnreadFolders(report); });
    Timed(report, "analysis", [&] {
        FindSharedCodes(report);
        if (report.cache.state == CacheState::kValid) {
            report.cacheComparison = CompareCache(report.cachePath.c_str(), report.database);
        }
    });
}

}  // namespace halvern::tool
