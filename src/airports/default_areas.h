#pragma once

// The host's built-in default scenery areas, whose files the module leaves out: their airports
// are the host's own, and their files never change.

#include <span>
#include <string_view>

namespace halvern {

// True when the directory part of a full file path ends with one of the default-area suffixes
// ("\scenedb\...\scenery\", letter case ignored) and has at least one character before it.
// Costs one look at the path from its end and one look-up of the folder before "\scenery\".
bool IsInDefaultArea(const char* path);
bool IsInDefaultArea(std::string_view path);

// The directory suffixes of the default areas, in the host's order.
std::span<const std::string_view> DefaultAreaSuffixes();

}  // namespace halvern
