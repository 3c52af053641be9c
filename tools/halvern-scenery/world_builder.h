#pragma once

// Lays the airports of a CSV out as a simulator directory: scenery areas, each with ".bgl"
// files in the host's scenery layout, named by "scenery.cfg" or by "scenery\world.vis".

#include <cstdint>
#include <string>
#include <vector>

#include "halvern-scenery/airport_csv.h"

namespace halvern::scenery {

// How the section of the area that ends the walk (--stop-area) spells its Active value.
enum class StopArea {
    kNone,      // no such area
    kMissing,   // no Active line
    kEmpty,     // "Active=": present, without a value
    kMisspelt,  // "Activ=TRUE": a key the walk does not ask for
};

struct WorldOptions {
    bool worldVis = false;          // write scenery\world.vis instead of scenery.cfg
    std::int64_t airportCount = 0;  // replicate (jittered) up to this many airports; 0 = as is
    int areaCount = 0;              // deal the airports into this many areas; 0 = one per country
    int fileCount = 0;              // total scenery files when areaCount is set; 0 = 25 per area
    int airportsPerFile = 40;       // per-country areas: at most this many airports a file
    int absoluteEvery = 3;          // every Nth area is named by its absolute path; 0 = none
    bool inactiveArea = false;      // add an area switched off (scenery.cfg only)
    bool defaultArea = false;       // add an area below scenedb\world, which the module skips
    bool missingArea = false;       // list an area whose directory does not exist
    bool damagedArea = false;       // add an area of damaged scenery files (damaged_files.h)
    bool gapArea = false;           // add an area numbered after a gap (scenery.cfg only)
    std::string addonAirport;       // add an area with a copy of the airport of this code
    std::uint32_t seed = 1;         // for the jitter of replicated airports
    // Name every area's folders in the list with each letter in the other case than on the disk,
    // and make every scenery folder "Scenery" on the disk, so that each folder the walk composes
    // an area's directory of (the area's folders and the scenery folder it appends or its Local
    // value names) exists only in another letter case. Absolute values keep the simulator
    // directory's own spelling.
    bool otherCase = false;
    // Scenery whose airports the walk never takes, each holding copies of the first airports of
    // the CSV named after its kind ("Stop ...", "Flat ..."): areas listed after the areas above
    // and before the area after a gap, each named by a plain relative Local value, and a folder
    // that no area names. The first four are shapes of scenery.cfg, left out with world.vis.
    StopArea stopArea = StopArea::kNone;  // an area ending the walk, and an active one after it
    bool secondSection = false;           // a second section of an area number used before
    bool misnumberedAreas = false;        // sections [Area.4], [Area.0005] and [Area.000]
    bool repeatedKey = false;             // a section holding Active=FALSE, then Active=TRUE
    bool orphanFolder = false;            // Addon Scenery\Orphan\scenery\o.bgl, which no area names
    bool flatArea = false;                // Local=Addons\Flat, its files in that folder itself
    bool deepArea = false;                // Local=Addons\Deep, its files in its scenery\more folder
    // Folders and files that are not scenery (clutter.h), as a simulator directory holds them.
    int clutterFolders = 0;
    std::int64_t clutterFiles = 0;
};

struct WorldSummary {
    int areas = 0;
    int files = 0;
    std::int64_t airports = 0;  // extracted: in active, non-default areas, before any damage
};

// Writes the world into `simulatorDir` (the operating system's form; created if missing).
bool BuildWorld(const std::vector<CsvAirport>& airports, const std::string& simulatorDir,
                const WorldOptions& options, WorldSummary& summary, std::string& error);

}  // namespace halvern::scenery
