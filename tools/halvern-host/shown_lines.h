#pragma once

// What the substitute hosts print of the lines the module handed to the text service.

#include <cstdio>
#include <string>
#include <vector>

#include "halvern-host/simulator_services.h"

namespace halvern::host {

// The lines' texts, each followed by a line feed: what is compared from event to event.
std::string JoinedLines(const std::vector<ShownLine>& lines);

// One printed line per shown line: its text (as UTF-8) and its position in degrees.
void PrintShownLines(std::FILE* out, const std::vector<ShownLine>& lines);

}  // namespace halvern::host
