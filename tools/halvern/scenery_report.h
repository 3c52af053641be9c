#pragma once

// What `halvern report` and `halvern find` tell: the scenery as the module walks it, every area
// and file with what became of it, where the extraction of a file ended early, the codes that
// several files define, and the cache file's state. Gathered by the module's own passes with an
// observer attached; nothing is written to the simulator directory.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "airports/airport_finder.h"
#include "airports/area_sections.h"
#include "airports/cache_file.h"
#include "airports/scenery_observer.h"
#include "halvern/cache_comparison.h"
#include "halvern/commands.h"
#include "halvern/module_spelling.h"
#include "halvern/unnamed_scenery.h"

namespace halvern::tool {

// What became of an area: the walk's fate, except that an area read whose directory is one of
// the host's built-in default areas is told as left out (the module leaves out all its files);
// and, for the sections of scenery.cfg the walk never reads (area_sections.h), why not.
enum class AreaOutcome {
    kRead,
    kInactive,
    kAlreadyWalked,
    kMissing,
    kBeyondPathLimit,
    kDefaultArea,
    kWalkStop,       // the section where the walk stops: it has no Active value
    kBeyondStop,     // numbered above the stop
    kSecondSection,  // a second section of a number: the reader takes the first
    kNeverFormed,    // a number the walk never asks for
};

struct ReportArea {
    std::string directory;  // as composed, in the host's form; empty for a section without Local
    std::string local;      // the Local value or world.vis path it was composed from
    AreaSource source;
    std::uint64_t entry;
    AreaOutcome outcome;
    std::size_t firstFile = 0;  // its files are files[firstFile, firstFile + fileCount)
    std::size_t fileCount = 0;
    std::int64_t airports = 0;  // extracted from its files
    // Its section of scenery.cfg as the text holds it (SceneryReport::sections), where read.
    std::optional<std::size_t> section;
    std::string sectionName;  // as the file spells it ("Area.007", "area.4"); empty for world.vis

    // Whether the module reads none of its files: every outcome but kRead.
    bool Unread() const { return outcome != AreaOutcome::kRead; }
};

struct ReportWalkEnd {
    WalkEnd end;
    std::int64_t offset;          // byte offset in the file
    std::int32_t airportsBefore;  // kept
};

struct ReportFile {
    std::string path;  // in the host's form
    std::size_t area;  // index into SceneryReport::areas
    std::uint64_t size;
    std::uint64_t lastWriteTime;  // 100 ns units since 1601
    FileFate fate;
    std::int32_t firstRecord;  // its airports are database records [firstRecord, + airports)
    std::int32_t airports;
    std::optional<ReportWalkEnd> walkEnd;

    // The file's name: its path after the last separator.
    std::string Name() const;
};

// A code that records of more than one file carry, with those records in database order. The
// overlay de-duplicates codes in database order: where several are within reach it shows the
// first.
struct SharedCode {
    std::string code;
    std::vector<std::int32_t> records;
};

struct StepTime {
    const char* step;  // "fingerprint pass", "cache check", "extraction pass", "analysis"
    double milliseconds;
};

struct SceneryReport {
    std::string simulatorDir;  // host form, trailing separator: as typed, what was read
    ModuleSpelling spelling;   // the module's spelling, which the fingerprint is folded under
    AreaList list{};           // the list of areas the walk used, and what became of it
    // Every area section of scenery.cfg as its text holds it (none for world.vis or a list that
    // could not be read).
    std::vector<AreaSection> sections;
    // In walk order, then every section the walk does not read, in file order.
    std::vector<ReportArea> areas;
    std::vector<ReportFile> files;
    // The folders of "*.bgl" files that no area reads, found by the bounded search.
    std::vector<UnreadFolder> unreadFolders;
    std::vector<std::size_t> recordFile;  // the file index of every database record
    std::vector<SharedCode> sharedCodes;
    std::uint32_t fingerprint = 0;  // of the scenery as it is now, under the module's spelling
    std::string cachePath;
    CacheInspection cache;
    // When the next start reads the cache: its records beside the extraction's.
    std::optional<CacheComparison> cacheComparison;
    std::vector<StepTime> times;
    AirportFinder database;  // the records in database order, as an extraction now gives them

    // Whether the next start extracts: every cache state but a valid one.
    bool NextStartExtracts() const { return cache.state != CacheState::kValid; }
    // Whether the list of areas exists but could not be read.
    bool ListUnreadable() const {
        return list.state == ListState::kNotRegular || list.state == ListState::kUnreadable;
    }
    // Whether the list gave no area, or could not be read: then ListSentence says why.
    bool ListGaveNoArea() const { return areas.empty() || ListUnreadable(); }
    // The file a database record comes from.
    const ReportFile& FileOf(std::int32_t record) const {
        return files[recordFile[static_cast<std::size_t>(record)]];
    }
};

struct ReportTotals {
    std::size_t areas = 0;
    std::size_t areasRead = 0;
    std::size_t files = 0;
    std::size_t filesRead = 0;
    std::size_t filesLeftOut = 0;     // any fate but read
    std::size_t filesEndedEarly = 0;  // read, with a walk that ended early
    std::int32_t airports = 0;
    std::size_t sharedCodes = 0;
};

ReportTotals TotalsOf(const SceneryReport& report);

// An area or file whose airports are not all in the database: an area not read, a file left out
// (other than one of a default area, which its area tells) or a file whose walk ended early.
struct Shortfall {
    std::size_t area;
    const ReportFile* file;  // null for the area itself
};

// The shortfalls in walk order: where an airport missing from the database may lie.
std::vector<Shortfall> ShortfallsOf(const SceneryReport& report);

// A record that only one of the cache and the scenery holds.
struct DifferingRecord {
    bool inCache;  // a cache record the scenery lacks; else a scenery record the cache lacks
    std::int32_t record;
};

// At most ten of the records that only the cache or only the scenery holds, lowest index first.
std::vector<DifferingRecord> DifferingRecords(const CacheComparison& comparison);

// Runs the extraction pass on the simulator directory, folds its fingerprint under the module's
// spelling and checks the cache file, into `report`, which must be fresh.
void BuildSceneryReport(const SimulatorDir& simulatorDir, SceneryReport& report);

}  // namespace halvern::tool
