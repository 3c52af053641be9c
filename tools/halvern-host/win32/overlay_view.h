#pragma once

// What the pilot would see, drawn in the host's window with GDI: the aircraft in the centre, a
// ring at the overlay's reach, and each line the module handed over at its airport's place.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "halvern-host/overlay_picture.h"

namespace halvern::host {

void DrawOverlay(HDC dc, const RECT& area, const OverlayScene& scene);

}  // namespace halvern::host
