#pragma once

// What the pilot would see, drawn in the host's window with GDI: the aircraft in the centre, a
// ring at the overlay's reach, and each line the module handed over at its airport's place.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>
#include <vector>

#include "halvern-host/flight_script.h"
#include "halvern-host/simulator_services.h"

namespace halvern::host {

void DrawOverlay(HDC dc, const RECT& area, const Waypoint& aircraft, double rangeNm,
                 const std::vector<ShownLine>& lines, const std::string& caption);

}  // namespace halvern::host
