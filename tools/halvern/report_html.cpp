// The HTML report: one self-contained page (its styles inline, no script, and a content policy
// that lets it load nothing else) with the summary, a map of the database's airports coloured by
// area, where the airports of files whose walk ended early are ringed, and the tables of areas,
// files, shared codes, the cache file and the times.

#include <cmath>
#include <cstdio>

#include "halvern/file_time.h"
#include "halvern/report_formats.h"
#include "halvern/report_words.h"
#include "halvern/utf8_text.h"
#include "markup_escape.h"

namespace halvern::tool {

namespace {

constexpr const char* kStyle = R"(
body { font: 14px/1.4 sans-serif; margin: 1.5em; color: #1d2733; background: #fbfcfd; }
h1 { font-size: 1.5em; margin-bottom: 0.2em; }
h2 { font-size: 1.15em; margin-top: 1.6em; }
.directory, td.path { font-family: monospace; word-break: break-all; }
table { border-collapse: collapse; margin-top: 0.4em; }
th, td { border: 1px solid #c9d2dc; padding: 2px 6px; text-align: left; vertical-align: top; }
th { background: #e9eef3; }
td.number { text-align: right; font-variant-numeric: tabular-nums; }
td.origin { white-space: nowrap; }
tr.left-out td { color: #7a828b; }
tr.damaged td, .damaged-text { color: #b3141b; }
.swatch { display: inline-block; width: 0.9em; height: 0.9em; border-radius: 50%; }
svg.map { width: 100%; max-width: 1100px; border: 1px solid #c9d2dc; background: #dbe9f5; }
.map .grid { stroke: #b8cbdc; stroke-width: 0.25; fill: none; }
.map .ring { fill: none; stroke: #d0101a; stroke-width: 0.45; }
.legend { color: #4a5560; }
)";

// A colour for each area, hues spread by the golden angle so that neighbours differ.
std::string AreaColour(std::size_t area) {
    char colour[48];
    std::snprintf(colour, sizeof colour, "hsl(%.0f, 70%%, 42%%)",
                  std::fmod(static_cast<double>(area) * 137.508, 360.0));
    return colour;
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

void WriteMap(const SceneryReport& report, std::ostream& out) {
    out << "<svg class=\"map\" viewBox=\"-180 -90 360 180\" xmlns=\"http://www.w3.org/2000/svg\" "
           "role=\"img\" aria-label=\"Map of the database's airports\">\n<path class=\"grid\" d=\"";
    for (int longitude = -150; longitude < 180; longitude += 30) {
        out << "M" << longitude << " -90V90";
    }
    for (int latitude = -60; latitude < 90; latitude += 30) {
        out << "M-180 " << latitude << "H180";
    }
    out << "\"/>\n";
    const AirportFinder& database = report.database;
    std::string rings;
    for (std::size_t f = 0; f < report.files.size(); ++f) {
        const ReportFile& file = report.files[f];
        if (file.airports == 0) {
            continue;
        }
        out << "<g fill=\"" << AreaColour(file.area) << "\">";
        for (std::int32_t r = file.firstRecord; r < file.firstRecord + file.airports; ++r) {
            const AirportRecord& record = database.Record(r);
            const std::string at = "cx=\"" + Number(record.longitude) + "\" cy=\"" +
                                   Number(-static_cast<double>(record.latitude)) + "\"";
            out << "<circle " << at << " r=\"0.6\"><title>" << MarkupEscaped(PageName(record.code))
                << " " << MarkupEscaped(PageName(record.name)) << "</title></circle>";
            if (file.walkEnd) {
                rings += "<circle class=\"ring\" " + at + " r=\"1.6\"/>";
            }
        }
        out << "</g>\n";
    }
    out << "<g>" << rings << "</g>\n</svg>\n"
        << "<p class=\"legend\">Each dot is an airport of the database, coloured as its area in "
           "the table below; a red ring marks the airports of a file whose walk ended early "
           "(the file is damaged, and airports after the damage are lost).</p>\n";
}

void WriteAreas(const SceneryReport& report, std::ostream& out) {
    out << "<h2>Scenery areas in the order walked</h2>\n<table id=\"areas\">\n<tr><th>#</th>"
           "<th></th><th>from</th><th>what became of it</th><th>directory</th><th>files</th>"
           "<th>airports</th></tr>\n";
    for (std::size_t a = 0; a < report.areas.size(); ++a) {
        const ReportArea& area = report.areas[a];
        const bool read = area.outcome == AreaOutcome::kRead;
        out << "<tr class=\"" << (read ? "read" : "left-out") << "\"><td class=\"number\">" << a + 1
            << "</td><td><span class=\"swatch\" style=\"background: "
            << (read ? AreaColour(a) : std::string("#c9d2dc"))
            << "\"></span></td><td class=\"origin\">" << MarkupEscaped(AreaOrigin(area, PagePath))
            << "</td><td>" << MarkupEscaped(AreaReason(report, area, PagePath))
            << "</td><td class=\"path\">" << MarkupEscaped(PagePath(area.directory));
        // A section the walk never reads is told with the value scenery.cfg gives it.
        if (area.section && report.sections[*area.section].role != SectionRole::kWalked) {
            out << "<br>Local=" << MarkupEscaped(PagePath(area.local));
        }
        out << "</td><td class=\"number\">" << area.fileCount << "</td><td class=\"number\">"
            << area.airports << "</td></tr>\n";
    }
    out << "</table>\n";
}

void WriteFiles(const SceneryReport& report, std::ostream& out) {
    out << "<h2>Scenery files</h2>\n<table id=\"files\">\n<tr><th>area</th><th>file</th>"
           "<th>bytes</th><th>written (UTC)</th><th>what became of it</th><th>airports</th></tr>\n";
    for (const ReportFile& file : report.files) {
        std::string fate = FileReason(file);
        const char* kind = file.fate == FileFate::kRead ? "read" : "left-out";
        if (file.walkEnd) {
            fate = "ended early " + WalkEndSentence(*file.walkEnd);
            kind = "damaged";
        } else if (file.fate == FileFate::kBadHeader) {
            kind = "damaged";
        }
        out << "<tr class=\"" << kind << "\"><td class=\"number\">" << file.area + 1
            << "</td><td class=\"path\">" << MarkupEscaped(PagePath(file.Name()))
            << "</td><td class=\"number\">" << file.size << "</td><td>"
            << FileTimeText(file.lastWriteTime).value_or("?") << "</td><td>" << MarkupEscaped(fate)
            << "</td><td class=\"number\">" << file.airports << "</td></tr>\n";
    }
    out << "</table>\n";
}

void WriteShortfalls(const SceneryReport& report, std::ostream& out) {
    out << "<h2>Not read, or not in full</h2>\n";
    if (report.ListGaveNoArea()) {
        out << "<p id=\"area-list\">No area: " << MarkupEscaped(ListSentence(report)) << ".</p>\n";
    }
    out << "<table id=\"not-read\">\n<tr><th>area</th><th>directory or file</th><th>why</th>"
           "<th>what to do</th></tr>\n";
    for (const Shortfall& shortfall : ShortfallsOf(report)) {
        const std::string& where = shortfall.file != nullptr
                                       ? shortfall.file->path
                                       : report.areas[shortfall.area].directory;
        out << "<tr class=\"" << (shortfall.file != nullptr ? "damaged" : "left-out")
            << "\"><td class=\"number\">" << shortfall.area + 1 << "</td><td class=\"path\">"
            << MarkupEscaped(PagePath(where)) << "</td><td>"
            << MarkupEscaped(ShortfallReason(report, shortfall, PagePath)) << "</td><td>"
            << MarkupEscaped(ShortfallRemedy(report, shortfall, PagePath)) << "</td></tr>\n";
    }
    out << "</table>\n";
}

void WriteUnreadFolders(const SceneryReport& report, std::ostream& out) {
    out << "<h2>Scenery that no area reads</h2>\n<table id=\"unread-folders\">\n<tr><th>folder"
           "</th><th>scenery files</th><th>why</th><th>what to do</th></tr>\n";
    for (const UnreadFolder& folder : report.unreadFolders) {
        out << "<tr class=\"left-out\"><td class=\"path\">"
            << MarkupEscaped(PagePath(folder.directory)) << "</td><td class=\"number\">"
            << folder.files << "</td><td>"
            << MarkupEscaped(UnreadFolderReason(report, folder, PagePath)) << "</td><td>"
            << MarkupEscaped(UnreadFolderRemedy(report, folder, PagePath)) << "</td></tr>\n";
    }
    out << "</table>\n";
}

void WriteSharedCodes(const SceneryReport& report, std::ostream& out) {
    out << "<h2>Codes that several files define</h2>\n<p>Where more than one is within reach, "
           "the overlay shows the first in database order.</p>\n<table id=\"shared-codes\">\n"
           "<tr><th>code</th><th>record</th><th>name</th><th>file</th><th>area</th>"
           "<th>overlay</th></tr>\n";
    for (const SharedCode& shared : report.sharedCodes) {
        for (std::int32_t record : shared.records) {
            const ReportFile& file = report.FileOf(record);
            out << "<tr><td>" << MarkupEscaped(PageName(shared.code.c_str()))
                << "</td><td class=\"number\">" << record << "</td><td>"
                << MarkupEscaped(PageName(report.database.Record(record).name))
                << "</td><td class=\"path\">" << MarkupEscaped(PagePath(file.path))
                << "</td><td class=\"number\">" << file.area + 1 << "</td><td>"
                << (record == shared.records.front() ? "shown" : "hidden") << "</td></tr>\n";
        }
    }
    out << "</table>\n";
}

// Whether the cache file the next start reads holds the scenery's airports, and the first of
// those only one of them holds.
void WriteCacheComparison(const SceneryReport& report, std::ostream& out) {
    if (!report.cacheComparison) {
        return;
    }
    const CacheComparison& comparison = *report.cacheComparison;
    out << "<p id=\"cache-comparison\">" << MarkupEscaped(ComparisonSentence(report)) << "</p>\n";
    const std::vector<DifferingRecord> differing = DifferingRecords(comparison);
    if (differing.empty()) {
        return;
    }
    out << "<table id=\"cache-differences\">\n<tr><th>only in</th><th>record</th><th>code</th>"
           "<th>name</th></tr>\n";
    for (const DifferingRecord& only : differing) {
        const AirportRecord& record = only.inCache ? comparison.cache->Record(only.record)
                                                   : report.database.Record(only.record);
        out << "<tr class=\"damaged\"><td>" << (only.inCache ? "cache" : "scenery")
            << "</td><td class=\"number\">" << only.record << "</td><td>"
            << MarkupEscaped(PageName(record.code)) << "</td><td>"
            << MarkupEscaped(PageName(record.name)) << "</td></tr>\n";
    }
    out << "</table>\n";
}

}  // namespace

void WriteReportHtml(const SceneryReport& report, std::ostream& out) {
    const ReportTotals totals = TotalsOf(report);
    out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        << "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
           "style-src 'unsafe-inline'\">\n"
        << "<title>Halvern scenery report</title>\n<style>" << kStyle << "</style>\n</head>\n"
        << "<body>\n<h1>Halvern scenery report</h1>\n<p class=\"directory\">"
        << MarkupEscaped(PagePath(report.simulatorDir)) << "</p>\n<p id=\"spelling\">"
        << MarkupEscaped(Capitalised(SpellingSentence(report.spelling, PagePath)))
        << ".</p>\n<ul id=\"totals\">\n<li>" << totals.areas << " scenery areas, "
        << totals.areasRead << " read</li>\n<li>" << totals.files
        << " scenery files: " << totals.filesRead << " read, " << totals.filesLeftOut
        << " left out, " << totals.filesEndedEarly << " ended early</li>\n<li>" << totals.airports
        << " airports; " << totals.sharedCodes
        << " codes defined by several files</li>\n<li>Cache file: "
        << MarkupEscaped(CacheSentence(report)) << ".</li>\n</ul>\n";
    WriteShortfalls(report, out);
    WriteUnreadFolders(report, out);
    out << "<h2>The database's airports</h2>\n";
    WriteMap(report, out);
    WriteAreas(report, out);
    WriteFiles(report, out);
    WriteSharedCodes(report, out);
    out << "<h2>Cache file</h2>\n<p id=\"cache\"><span class=\"path\">"
        << MarkupEscaped(PagePath(report.cachePath))
        << "</span>: " << MarkupEscaped(CacheSentence(report)) << ".</p>\n";
    WriteCacheComparison(report, out);
    out << "<h2>Times</h2>\n<table id=\"times\">\n";
    for (const StepTime& time : report.times) {
        out << "<tr><td>" << time.step << "</td><td class=\"number\">" << Number(time.milliseconds)
            << " ms</td></tr>\n";
    }
    out << "</table>\n<p>Scenery fingerprint " << Hex32(report.fingerprint)
        << ".</p>\n</body>\n</html>\n";
}

}  // namespace halvern::tool
