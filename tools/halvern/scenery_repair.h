#pragma once

// A repaired copy of scenery.cfg, for `halvern repair`: the areas the walk reaches keep their
// numbers; the section where it stops (no Active value) gets Active=FALSE, so that the walk goes
// on past it as before it stays unread; every other area section (beyond the stop, a second
// section of a number, a number the walk never forms) gets the next numbers after the highest
// kept, in order of its written number and then of its place in the file (and Active=FALSE where
// it has no Active value); then each folder named "scenery" that no area names becomes a new
// active area. Every other byte stays as it was: comments, other keys and sections, line ends,
// the file's encoding. Files beside or below a scenery folder cannot be reached by any Local:
// they are told, not repaired.

#include <string>
#include <vector>

#include "halvern/scenery_report.h"

namespace halvern::tool {

struct SceneryRepair {
    std::vector<std::string> changes;    // one line per change made, in the order made
    std::vector<std::string> untouched;  // one line per thing no scenery.cfg can repair
    std::string bytes;                   // the repaired file; the old one where nothing changed
};

// The repair of the scenery.cfg whose bytes are `config`, for the report of its walk.
SceneryRepair RepairSceneryConfig(const SceneryReport& report, const std::string& config);

}  // namespace halvern::tool
