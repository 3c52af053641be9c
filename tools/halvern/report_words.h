#pragma once

// The words the report and the finder use for what became of areas, files and the cache: a
// token for the JSON report (docs/report-schema.md) and a phrase for people, one pair per value,
// so that the text, JSON and HTML reports say the same.

#include <cstdint>
#include <string>

#include "halvern/scenery_report.h"

namespace halvern::tool {

struct Words {
    const char* token;
    const char* phrase;
};

Words WordsFor(AreaOutcome outcome);
Words WordsFor(AreaSource source);
Words WordsFor(FileFate fate);
Words WordsFor(WalkEnd end);
Words WordsFor(CacheState state);

// "scenery.cfg Area.007" or "world.vis entry 7".
std::string AreaOrigin(const ReportArea& area);

// Where and why the extraction of a file ended early, without a full stop: "at byte 441: a
// record reaches past the end of the file (2 airports before it kept)".
std::string WalkEndSentence(const ReportWalkEnd& end);

// Why a shortfall's airports are not all in the database, without a full stop: the area's fate,
// the file's fate, or where and why its walk ended early.
std::string ShortfallReason(const SceneryReport& report, const Shortfall& shortfall);

// The cache file's state in a sentence without its full stop, with the fingerprints or the
// place of the damage where they tell why.
std::string CacheSentence(const SceneryReport& report);

// "1 airport", "2 airports": a count and a noun whose plural takes an s.
std::string Counted(std::int64_t count, const char* noun);

// A 32-bit value as 0x and eight hexadecimal digits.
std::string Hex32(std::uint32_t value);

}  // namespace halvern::tool
