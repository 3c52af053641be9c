#pragma once

// The words the report and the finder use for what became of areas, files and the cache: a
// token for the JSON report (docs/report-schema.md) and a phrase for people, one pair per value,
// so that the text, JSON and HTML reports say the same.

#include <cstdint>
#include <string>

#include "halvern/module_spelling.h"
#include "halvern/scenery_report.h"
#include "halvern/utf8_text.h"

namespace halvern::tool {

// How a face shows host text (a path, a section's name): ShownPath on the terminal, PagePath on
// the page, Utf8Path in the JSON. The sentences below that quote host text take one, the
// terminal's by default.
using ShownText = std::string (*)(const std::string&);

struct Words {
    const char* token;
    const char* phrase;
};

Words WordsFor(AreaOutcome outcome);
Words WordsFor(AreaSource source);
Words WordsFor(FileFate fate);
Words WordsFor(WalkEnd end);
Words WordsFor(CacheState state);
Words WordsFor(ListState state);
Words WordsFor(SpellingBasis basis);

// What became of a file, without a full stop: the phrase of its fate, and for a path beyond the
// host platform's limit its length and what to do.
std::string FileReason(const ReportFile& file);

// What became of an area, without a full stop; for a section the walk does not read, why not:
// where the walk stops and why, a second section of a number, a number never asked for.
std::string AreaReason(const SceneryReport& report, const ReportArea& area,
                       ShownText shown = ShownPath);

// What to do about an area that is not read, or a file that is not read in full, in one line
// without a full stop; empty where there is nothing to do (the simulator's own areas, an area
// read elsewhere).
std::string AreaRemedy(const SceneryReport& report, const ReportArea& area,
                       ShownText shown = ShownPath);
std::string FileRemedy(const ReportFile& file);
std::string ShortfallRemedy(const SceneryReport& report, const Shortfall& shortfall,
                            ShownText shown = ShownPath);

// Why a folder of scenery files is read by no area, and what to do, each without a full stop.
std::string UnreadFolderReason(const SceneryReport& report, const UnreadFolder& folder,
                               ShownText shown = ShownPath);
std::string UnreadFolderRemedy(const SceneryReport& report, const UnreadFolder& folder,
                               ShownText shown = ShownPath);

// Why the list of areas gave none, without a full stop: the list missing, empty or unreadable,
// and what the module then does.
std::string ListSentence(const SceneryReport& report);

// "scenery.cfg Area.007" or "world.vis entry 7".
std::string AreaOrigin(const ReportArea& area, ShownText shown = ShownPath);

// Where and why the extraction of a file ended early, without a full stop: "at byte 441: a
// record reaches past the end of the file (2 airports before it kept)".
std::string WalkEndSentence(const ReportWalkEnd& end);

// Why a shortfall's airports are not all in the database, without a full stop: the area's fate,
// the file's fate, or where and why its walk ended early.
std::string ShortfallReason(const SceneryReport& report, const Shortfall& shortfall,
                            ShownText shown = ShownPath);

// The cache file's state in a sentence without its full stop, with the fingerprints or the
// place of the damage where they tell why.
std::string CacheSentence(const SceneryReport& report);

// When the next start reads the cache: whether it holds the scenery's airports, and if not how
// it differs and what the next start then shows, with full stops; empty otherwise.
std::string ComparisonSentence(const SceneryReport& report);

// How the module's spelling of the simulator directory was found, without a full stop: the
// spelling and why, or the spellings tried when none matched the cache file and what to do.
std::string SpellingSentence(const ModuleSpelling& spelling, ShownText shown = ShownPath);

// The sentence with its first letter in upper case.
std::string Capitalised(std::string sentence);

// "1 airport", "2 airports": a count and a noun whose plural takes an s.
std::string Counted(std::int64_t count, const char* noun);

// A 32-bit value as 0x and eight hexadecimal digits.
std::string Hex32(std::uint32_t value);

}  // namespace halvern::tool
