#pragma once

// The host's scenery list: the areas named by scenery.cfg in the simulator directory, or where
// there is none by scenery\world.vis, each an area directory whose "*.bgl" files are handed to a
// collector's ScanFile. Area directories are composed in the host's form, byte for byte, because
// the scenery fingerprint folds the paths made from them.

#include "airports/afd_info_collector.h"
#include "airports/scenery_observer.h"

namespace halvern {

// Walks the list below `simulatorDir` (host form, trailing separator) and hands every scenery
// file of every active area to the collector, in the fixed visiting order; an area directory
// that several areas name is walked once. Each area is told to the collector's observer.
void WalkSceneryAreas(AFDInfoCollector& collector, const char* simulatorDir);

// Hands every "*.bgl" entry of one area directory (ending in a separator) to the collector, in
// the order of the directory listing. With `announced`, the area is first told to the
// collector's observer, its fate filled in (read, or its directory missing).
void WalkAreaDirectory(AFDInfoCollector& collector, const char* areaDir,
                       SceneryArea* announced = nullptr);

}  // namespace halvern
