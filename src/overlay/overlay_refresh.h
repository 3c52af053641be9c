#pragma once

// The overlay's two operations on the module's state: the nearby query from the aircraft's
// position, and the refresh at every host event that hands one line per nearby airport to the
// host's text service.

#include <cstdint>

#include "airports/airport_finder.h"
#include "geo/world_position.h"
#include "host/host_services.h"
#include "overlay/display_options.h"

namespace halvern {

// The query radius reaches 1862 m per nautical mile, a little beyond the configured distance
// (the lines themselves count 1852 m to the mile).
inline constexpr std::int64_t kQueryMetresPerNauticalMile = 1862;
// The aircraft may move this far from the last query position before the list is rebuilt.
inline constexpr long double kRequeryDistanceMetres = 1860.0L;
inline constexpr std::int32_t kDefaultMaxDistance = 30;  // nautical miles

// True when the aircraft has moved far enough from the last query position for a new query.
// Compared at full precision: exactly 1860 m is not far enough.
inline bool MovedBeyondRequeryDistance(long double metresFromLastQuery) {
    return metresFromLastQuery > kRequeryDistanceMetres;
}

// The values of OverlayState::overlayOn that the toggle leaves: off, or on with all bits set.
// Any value but kOverlayOff counts as on.
inline constexpr std::int32_t kOverlayOff = 0;
inline constexpr std::int32_t kOverlayOn = ~0;

// The overlay's part of the module object.
struct OverlayState {
    std::int32_t maxDistance = kDefaultMaxDistance;  // nautical miles; the dialog keeps 1..250
    std::int32_t displayOptions = kDefaultDisplayOptions;
    WorldPosition lastQueryPosition{};
    std::int32_t overlayOn = kOverlayOff;

    bool Shown() const { return overlayOn != kOverlayOff; }
};

// The query radius in metres. The product is formed in 64 bits, so that a hand-edited distance
// however large gives its true radius instead of overflowing; a negative distance gives a
// negative radius, which lists nothing.
double QueryRadiusMetres(std::int32_t maxDistance);

// Takes the aircraft's position as the new query position and rebuilds the nearby list around
// it. Grows the list storage only when more airports are in range than it has room for.
void UpdateNearbyList(AirportFinder& finder, const HostServices& host, OverlayState& state);

// Does nothing while the overlay is off. Otherwise rebuilds the nearby list if the aircraft has
// moved more than 1860 m from the last query position, then hands the host one line for each
// nearby airport, in list order, with the airport's position in the text record. Skips list
// entries that name no record. Composes the lines even without a text service. Allocates
// nothing unless the nearby list must grow.
void RefreshOverlay(AirportFinder& finder, const HostServices& host, OverlayState& state);

}  // namespace halvern
