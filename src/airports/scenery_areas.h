#pragma once

// The host's scenery list: the areas named by scenery.cfg in the simulator directory, or where
// there is none by scenery\world.vis, each an area directory whose "*.bgl" files are handed to a
// walk target's ScanFile. Area directories are composed in the host's form, byte for byte, because
// the scenery fingerprint folds the paths made from them.

#include <string>

#include "airports/scenery_observer.h"
#include "platform/file_entry.h"

namespace halvern {

// What the walk hands its finds to: every scenery file to ScanFile and, when there is an
// observer, every area and the list to it. The collector (afd_info_collector.h) is one; the walk
// knows it by this alone.
class SceneryWalkTarget {
  public:
    virtual ~SceneryWalkTarget() = default;

    virtual void ScanFile(const char* path, const platform::FileEntry& entry) = 0;

    // Tells `observer` (null for none) from now on which areas the walk comes to, what becomes
    // of each file and where a file's walk ends early.
    void Observe(SceneryObserver* observer) { observer_ = observer; }
    SceneryObserver* Observer() const { return observer_; }

  private:
    SceneryObserver* observer_ = nullptr;
};

// The list of areas, first choice, in the simulator directory.
inline constexpr const char* kSceneryConfigName = "scenery.cfg";

// The area directory the walk composes from an area's Local value (scenery.cfg) or entry path
// (world.vis) and the simulator directory (host form, trailing separator); empty for an empty
// Local value, which names no area.
std::string AreaDirectory(AreaSource source, const std::string& simulatorDir, const char* local);

// Walks the list below `simulatorDir` (host form, trailing separator) and hands every scenery
// file of every active area to the target, in the fixed visiting order; an area directory that
// several areas name is walked once. Each area is told to the target's observer.
void WalkSceneryAreas(SceneryWalkTarget& target, const char* simulatorDir);

// Hands every "*.bgl" entry of one area directory (ending in a separator) to the target, in the
// order of the directory listing. With `announced`, the area is first told to the target's
// observer, its fate filled in (read, or its directory missing).
void WalkAreaDirectory(SceneryWalkTarget& target, const char* areaDir,
                       SceneryArea* announced = nullptr);

}  // namespace halvern
