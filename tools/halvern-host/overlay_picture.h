#pragma once

// What the pilot would see: the overlay's lines, each at its airport's position, around the
// aircraft, drawn as an SVG picture; and the packed positions decoded back to degrees.

#include <string>
#include <vector>

#include "halvern-host/flight_script.h"
#include "halvern-host/simulator_services.h"

namespace halvern::host {

// The overlay after one event, as the pictures show it.
struct OverlayScene {
    double time;        // simulated seconds
    Waypoint aircraft;  // at the centre
    double rangeNm;     // the ring: the module's reach as last entered in its options
    const std::vector<ShownLine>& lines;
};

// "t = 12.5 s   51.4700 -0.4543   11 airports": the caption of the pictures.
std::string SceneCaption(const OverlayScene& scene);

// The latitude and longitude, in degrees, of a position in its packed form.
Waypoint DegreesOfPacked(const PackedPosition& position);

// Writes the picture: the aircraft at the centre, the ring, each line at its place, the caption.
bool WriteOverlaySvg(const std::string& path, const OverlayScene& scene);

}  // namespace halvern::host
