#pragma once

// The overlay lines a refresh composes for an aircraft at a given place, as the module's text
// service would receive them: what `halvern nearby` prints, and what its `--edges` compares.

#include <cstdint>
#include <string>
#include <vector>

#include "airports/airport_finder.h"
#include "geo/world_position.h"
#include "overlay/overlay_refresh.h"

namespace halvern::tool {

struct OverlayLineAt {
    std::string text;
    unsigned char packed[sizeof(PackedPosition)];
};

// Queries the database at the position (a fresh query, as after a start) with the state's
// reach and options and the given variation word, and refreshes the overlay once.
std::vector<OverlayLineAt> OverlayAt(AirportFinder& database, double latitude, double longitude,
                                     OverlayState state, std::uint16_t variationWord);

}  // namespace halvern::tool
