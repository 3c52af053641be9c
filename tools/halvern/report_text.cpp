// The text report: one block per area in the order walked, with its files; then the areas and
// files not read in full, the codes that several files define, the cache file, the totals and
// the times. Names and paths are shown as the terminal takes them (utf8_text.h).

#include <cstdio>

#include "halvern/file_time.h"
#include "halvern/report_formats.h"
#include "halvern/report_words.h"
#include "halvern/utf8_text.h"

namespace halvern::tool {

namespace {

void WriteFileLine(const ReportFile& file, std::FILE* out) {
    std::string fate = FileReason(file);
    if (file.fate == FileFate::kRead) {
        fate = Counted(file.airports, "airport");
        if (file.walkEnd) {
            fate += "; ended early " + WalkEndSentence(*file.walkEnd);
        }
    }
    std::fprintf(out, "    %-24s %10llu bytes  %-20s  %s\n", ShownPath(file.Name()).c_str(),
                 static_cast<unsigned long long>(file.size),
                 FileTimeText(file.lastWriteTime).value_or("?").c_str(), fate.c_str());
}

void WriteAreas(const SceneryReport& report, std::FILE* out) {
    std::fprintf(out, "Scenery areas in the order walked:\n");
    if (report.ListGaveNoArea()) {
        std::fprintf(out, "  none: %s\n", ListSentence(report).c_str());
    }
    for (std::size_t a = 0; a < report.areas.size(); ++a) {
        const ReportArea& area = report.areas[a];
        std::string fate = AreaReason(report, area);
        if (area.outcome == AreaOutcome::kRead) {
            fate += ": " + Counted(static_cast<std::int64_t>(area.fileCount), "file") + ", " +
                    Counted(area.airports, "airport");
        }
        std::fprintf(out, "  area %zu (%s): %s\n", a + 1, AreaOrigin(area).c_str(), fate.c_str());
        // A section the walk never reads is told with the value scenery.cfg gives it.
        if (area.section && report.sections[*area.section].role != SectionRole::kWalked) {
            std::fprintf(out, "    Local=%s\n", ShownPath(area.local).c_str());
        }
        std::fprintf(out, "    %s\n", ShownPath(area.directory).c_str());
        for (std::size_t f = area.firstFile; f < area.firstFile + area.fileCount; ++f) {
            WriteFileLine(report.files[f], out);
        }
    }
}

void WriteSharedCodes(const SceneryReport& report, std::FILE* out) {
    if (report.sharedCodes.empty()) {
        std::fprintf(out, "\nNo code is defined by more than one file.\n");
        return;
    }
    std::fprintf(out,
                 "\nCodes that several files define (where more than one is within reach, the "
                 "overlay shows the first in database order):\n");
    for (const SharedCode& shared : report.sharedCodes) {
        for (std::int32_t record : shared.records) {
            const bool first = record == shared.records.front();
            const ReportFile& file = report.FileOf(record);
            std::fprintf(out, "  %-4s  %-6s record %-7d area %-4zu %-14s %s\n",
                         first ? ShownName(shared.code.c_str()).c_str() : "",
                         first ? "shown" : "hidden", record, file.area + 1,
                         ShownPath(file.Name()).c_str(),
                         ShownName(report.database.Record(record).name).c_str());
        }
    }
}

void WriteCache(const SceneryReport& report, std::FILE* out) {
    std::fprintf(out, "\nCache file %s: %s.\n", ShownPath(report.cachePath).c_str(),
                 CacheSentence(report).c_str());
    if (!report.cacheComparison) {
        return;
    }
    std::fprintf(out, "%s\n", ComparisonSentence(report).c_str());
    const CacheComparison& comparison = *report.cacheComparison;
    for (const DifferingRecord& differing : DifferingRecords(comparison)) {
        const AirportRecord& record = differing.inCache ? comparison.cache->Record(differing.record)
                                                        : report.database.Record(differing.record);
        std::fprintf(out, "  only in the %-7s record %-7d %-4s  %s\n",
                     differing.inCache ? "cache:" : "scenery:", differing.record,
                     ShownName(record.code).c_str(), ShownName(record.name).c_str());
    }
}

}  // namespace

void WriteShortfallsText(const SceneryReport& report, std::FILE* out) {
    if (report.ListUnreadable()) {
        std::fprintf(out, "  %s\n", ListSentence(report).c_str());
    }
    const std::vector<Shortfall> shortfalls = ShortfallsOf(report);
    for (const Shortfall& shortfall : shortfalls) {
        const ReportArea& area = report.areas[shortfall.area];
        if (shortfall.file == nullptr) {
            std::fprintf(out, "  area %zu (%s) %s: %s\n", shortfall.area + 1,
                         AreaOrigin(area).c_str(), ShownPath(area.directory).c_str(),
                         ShortfallReason(report, shortfall).c_str());
        } else {
            std::fprintf(out, "  file %s (area %zu): %s\n", ShownPath(shortfall.file->path).c_str(),
                         shortfall.area + 1, ShortfallReason(report, shortfall).c_str());
        }
        if (const std::string remedy = ShortfallRemedy(report, shortfall); !remedy.empty()) {
            std::fprintf(out, "    what to do: %s\n", remedy.c_str());
        }
    }
    if (shortfalls.empty() && !report.ListUnreadable()) {
        std::fprintf(out, "  none: every area and scenery file was read in full\n");
    }
}

void WriteUnreadFoldersText(const SceneryReport& report, std::FILE* out) {
    for (const UnreadFolder& folder : report.unreadFolders) {
        std::fprintf(out, "  folder %s (%s): %s\n", ShownPath(folder.directory).c_str(),
                     Counted(static_cast<std::int64_t>(folder.files), "scenery file").c_str(),
                     UnreadFolderReason(report, folder).c_str());
        if (const std::string remedy = UnreadFolderRemedy(report, folder); !remedy.empty()) {
            std::fprintf(out, "    what to do: %s\n", remedy.c_str());
        }
    }
    if (report.unreadFolders.empty()) {
        std::fprintf(out,
                     "  none: every folder of scenery files within %d folders of the simulator "
                     "directory and of its areas is read by an area\n",
                     kSearchDepth);
    }
}

void WriteReportText(const SceneryReport& report, std::FILE* out) {
    std::fprintf(out, "Halvern scenery report for %s\n", ShownPath(report.simulatorDir).c_str());
    std::fprintf(out, "%s.\n\n", Capitalised(SpellingSentence(report.spelling)).c_str());
    WriteAreas(report, out);
    std::fprintf(out, "\nNot read, or not in full:\n");
    WriteShortfallsText(report, out);
    std::fprintf(out, "\nScenery that no area reads:\n");
    WriteUnreadFoldersText(report, out);
    WriteSharedCodes(report, out);
    WriteCache(report, out);
    const ReportTotals totals = TotalsOf(report);
    std::fprintf(out,
                 "\nTotals: %zu areas (%zu read), %zu scenery files (%zu read, %zu left out, %zu "
                 "ended early), %d airports, %zu codes defined by several files; scenery "
                 "fingerprint %s.\n",
                 totals.areas, totals.areasRead, totals.files, totals.filesRead,
                 totals.filesLeftOut, totals.filesEndedEarly, totals.airports, totals.sharedCodes,
                 Hex32(report.fingerprint).c_str());
    std::fprintf(out, "Times:");
    for (std::size_t i = 0; i < report.times.size(); ++i) {
        std::fprintf(out, "%s %s %.1f ms", i == 0 ? "" : ",", report.times[i].step,
                     report.times[i].milliseconds);
    }
    std::fprintf(out, ".\n");
}

}  // namespace halvern::tool
