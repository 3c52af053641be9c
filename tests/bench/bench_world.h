#pragma once

// The worlds the benchmarks run on: simulator directories compiled by the scenery compiler (the
// scale world of 50,000 airports in 1,000 scenery files, the plain demo world, the world of
// many small files: about 4,000 files of 9 airports in 400 areas, as real installations with
// many add-ons have, the same world with every folder of its areas named in another letter
// case than on the disk, and the clutter world: 5,210 airports in 50 areas beside 20,000 folders
// of 200,000 files that are not scenery), named on the command line, and what the floors need
// to know about them.

#include <string>
#include <vector>

#include "airports/airport_finder.h"
#include "geo/world_position.h"

namespace halvern::bench {

enum class WorldKind {
    kScale = 0,
    kDemo = 1,
    kManyFiles = 2,
    kManyFilesOtherCase = 3,
    kClutter = 4
};
inline constexpr int kWorldKinds = 5;

// Sets the world's directory (the operating system's form); called by main before the run.
void SetWorldDirectory(WorldKind kind, const std::string& nativeDirectory);

struct BenchWorld {
    std::string nativeDirectory;  // the operating system's form, absolute
    std::string simulatorDir;     // host form, with its trailing separator
    std::string cachePath;        // host form
    std::string nativeCachePath;
    // What the database step's passes touch, gathered once outside any timing: every area
    // directory that the walk lists (in walk order, each once), and every scenery file that
    // the extraction pass reads.
    std::vector<std::string> areaDirectories;
    std::vector<std::string> sceneryFiles;
};

// The world, or null when no directory was given for it (or it holds no scenery). The first
// call runs the database step once, so that the cache file is valid afterwards.
const BenchWorld* World(WorldKind kind);

// Removes the world's cache file, so that the next database step extracts again.
void RemoveCacheFile(const BenchWorld& world);

// The positions of the airports of data/airports.csv, in degrees.
struct Place {
    double latitude;
    double longitude;
};
const std::vector<Place>& CsvPlaces();

// Aircraft positions at 65 real airports around the globe (every 81st of data/airports.csv).
const std::vector<WorldPosition>& QueryPositions();

}  // namespace halvern::bench
