#pragma once

// A directory entry's time (100-nanosecond intervals since 1 January 1601, UTC) as people and
// the JSON report read it.

#include <cstdint>
#include <optional>
#include <string>

namespace halvern::tool {

// "2024-05-01T10:00:00Z"; none for a time after the year 9999.
std::optional<std::string> FileTimeText(std::uint64_t fileTime);

}  // namespace halvern::tool
