#pragma once

// What the scenery walk and the extraction meet, told as it happens to an optional observer:
// the areas in the order walked and what became of each, every scenery file handed on and what
// became of it, and where the walk of a file's facility section had to end early. The module
// attaches none; the diagnostics of the command-line tool attach one. Events come only per area,
// per file and per early end, never per record, so an absent observer costs one test of a null
// pointer at each of those.

#include <cstdint>

#include "platform/file_entry.h"

namespace halvern {

// Where an area came from: the numbered "Area.NNN" section of scenery.cfg, or an entry of
// scenery\world.vis (counted from 1 in the list's order).
enum class AreaSource { kSceneryConfig, kWorldList };

// What became of the list of areas the walk used.
enum class ListState {
    kRead,        // it was read (scenery.cfg: until its first area number without Active)
    kAbsent,      // there is none (only world.vis: without scenery.cfg the walk turns to it)
    kNotRegular,  // its name is a directory, FIFO or device: it cannot be opened
    kUnreadable,  // it exists but cannot be opened or read
};

struct AreaList {
    AreaSource source;  // scenery.cfg where that name exists, whatever it is; else world.vis
    ListState state;
    // scenery.cfg: the area number at which the walk stopped, the first without an Active value
    // (1 when the file could not be read); 0 for world.vis.
    std::uint64_t stoppedAt;
};

enum class AreaFate {
    kRead,             // its directory was listed and its scenery files handed on
    kInactive,         // scenery.cfg marks it inactive (Active is not "true")
    kAlreadyWalked,    // an earlier area named the same directory (letter case ignored)
    kMissing,          // its directory does not exist or cannot be read
    kBeyondPathLimit,  // its listing's pattern is longer than the host platform's calls take
};

struct SceneryArea {
    const char* directory;  // as composed, in the host's form, ending in a separator
    AreaSource source;
    std::uint64_t entry;  // the area number in scenery.cfg, or the entry's place in world.vis
    AreaFate fate;
    const char* local;  // what the directory was composed from: the Local value of scenery.cfg,
                        // or the path of the world.vis entry
};

enum class FileFate {
    kRead,                // its facility section was walked (see the walk's end for how far)
    kDefaultArea,         // it lies in one of the host's built-in default areas and is left out
    kNotOpened,           // it could not be opened, or is empty
    kNotRegular,          // it is a directory, FIFO or device, which is never opened
    kNoMemory,            // it could not be mapped or walked for want of memory
    kBadHeader,           // its header is not that of a scenery file with a facility section
    kBeyondPathLimit,     // its path is longer than the host platform's calls take
    kNameHoldsSeparator,  // its name on the disk holds '\', which the host's paths take for a
                          // separator: its path names another file
};

// Why the walk of a facility section ended before the section's end.
enum class WalkEnd {
    kRecordPastEnd,     // a record, or a sub-record of an airport's detail block, reaches past
                        // the end of the file
    kTextPastEnd,       // a name or code text starts past the end of the file
    kUnterminatedText,  // a name or code text runs to the end of the file without its zero
    kStepEndsWalk,      // a record of a kind the section does not list, or a step that is not
                        // positive
};

class SceneryObserver {
  public:
    virtual ~SceneryObserver() = default;

    // One area, when the walk comes to it. (The sections of scenery.cfg the walk never reaches
    // are the diagnostics' to read: area_sections.h.)
    virtual void OnArea(const SceneryArea& area) = 0;

    // The list of areas, once the walk of its areas has ended.
    virtual void OnAreaList(const AreaList& /*list*/) {}

    // The walk of the file being read ended early at byte `offset` of the file (the record it
    // could not read or step over, or the airport record whose block or text failed);
    // `airportsBefore` airports of the file were reported before it and are kept.
    virtual void OnWalkEnd(WalkEnd end, std::int64_t offset, std::int32_t airportsBefore) = 0;

    // One scenery file, once it has been handled, with the airports it gave (their OnAirport
    // calls came before this). Walk ends of the file came before this too.
    virtual void OnFile(const char* path, const platform::FileEntry& entry, FileFate fate,
                        std::int32_t airports) = 0;
};

}  // namespace halvern
