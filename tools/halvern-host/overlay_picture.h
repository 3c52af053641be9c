#pragma once

// What the pilot would see: the overlay's lines, each at its airport's position, around the
// aircraft, drawn as an SVG picture; and the packed positions decoded back to degrees.

#include <string>
#include <vector>

#include "halvern-host/flight_script.h"
#include "halvern-host/simulator_services.h"

namespace halvern::host {

// The latitude and longitude, in degrees, of a position in its packed form.
Waypoint DegreesOfPacked(const PackedPosition& position);

// Writes the picture: the aircraft at the centre, a ring at `rangeNm`, each line at its place.
bool WriteOverlaySvg(const std::string& path, const Waypoint& aircraft, double rangeNm,
                     const std::vector<ShownLine>& lines, const std::string& caption);

// An 8-bit text of the host's code page as UTF-8 (for pictures and terminals).
std::string Utf8FromWindows1252(const std::string& text);

}  // namespace halvern::host
