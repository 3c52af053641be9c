#pragma once

// The host's built-in default scenery areas, whose files the module leaves out: their airports
// are the host's own, and their files never change.

namespace halvern {

// True when the directory part of a full file path ends with one of the default-area suffixes
// ("\scenedb\...\scenery\", letter case ignored) and has at least one character before it.
bool IsInDefaultArea(const char* path);

}  // namespace halvern
