#pragma once

// The scenery that no area reads: after the walk, one bounded search for folders that hold
// "*.bgl" files no area names. It looks at every folder below the simulator directory to a depth
// of 8 (the built-in default areas left out), and at the folder of each area that lies outside
// the simulator directory, its subfolders to the same depth and its parent. Each folder is
// looked at once, known by its identity on the disk; a link is entered only where its target
// lies inside the simulator directory or an area's folder, and is otherwise told, not followed;
// only regular files count. Each folder found gets its cause: no area names it, it holds files
// beside the scenery folder its area reads, or it lies below one (the walk enters no subfolder).

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace halvern::tool {

struct SceneryReport;

enum class UnreadCause {
    kNoArea,           // no area names it
    kBesideScenery,    // its area reads the "scenery" folder inside it
    kBelowScenery,     // it lies below a scenery folder that an area reads
    kLinkNotFollowed,  // a link to a folder outside the simulator directory and its areas
    kUnnameable,       // its path holds characters the host's code page lacks ('?' then), or a
                       // wildcard: no Local can name it
};

struct UnreadFolder {
    std::string directory;  // in the host's form, with a trailing separator
    UnreadCause cause;
    std::size_t files = 0;            // its "*.bgl" regular files
    std::optional<std::size_t> area;  // the report's area it lies beside or below
};

// The folders deepest the search goes below each place it starts from.
inline constexpr int kSearchDepth = 8;

// Searches the scenery of a report whose walk has been told, in the order folders are met.
std::vector<UnreadFolder> FindUnreadFolders(const SceneryReport& report);

// A folder as the pilot names it in scenery.cfg: relative to the simulator directory where it
// lies inside it (ASCII letter case ignored), without a trailing separator.
std::string LocalOfFolder(const SceneryReport& report, const std::string& directory);

}  // namespace halvern::tool
