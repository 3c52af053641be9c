#pragma once

// The host platform's limit on a path: its narrow file calls take at most MAX_PATH characters,
// the terminator included. The portable layer refuses a longer path as those calls do, and the
// diagnostics tell an area or a file that the limit shuts out by the same rule.

#include <cstddef>
#include <string_view>

namespace halvern::platform {

// The longest path a narrow call takes: MAX_PATH (260) less the terminator.
inline constexpr std::size_t kLongestHostPath = 259;

// What a listing of scenery files asks the system for: the directory followed by this pattern.
inline constexpr std::string_view kSceneryFilePattern = "*.bgl";

// Whether a path fits the limit.
constexpr bool FitsPathLimit(std::string_view hostPath) {
    return hostPath.size() <= kLongestHostPath;
}

// Whether the listing of a directory (ending in a separator) fits the limit: its pattern does.
constexpr bool ListingFitsPathLimit(std::string_view hostDirectory) {
    return hostDirectory.size() + kSceneryFilePattern.size() <= kLongestHostPath;
}

}  // namespace halvern::platform
