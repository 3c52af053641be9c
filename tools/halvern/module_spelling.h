#pragma once

// The simulator directory as the module spells it. The scenery fingerprint folds every scenery
// file's full path, which the module composes from the directory it derives from its own file's
// name; a tool that composed them from the directory as typed would judge the module's cache by
// another fingerprint. The tool walks the scenery once, under the spelling it was given, keeps
// what the walk listed, and folds it again under each candidate spelling
// (platform/directory_spellings.h): the one under which the cache file's fingerprint matches is
// the module's.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "airports/scenery_observer.h"
#include "platform/file_entry.h"

namespace halvern::tool {

// What a walk over the scenery listed, kept so that its fingerprint can be folded under another
// spelling of the simulator directory: every area listed, with what it was composed from, and
// the files its listing gave, in visiting order.
class WalkRecord {
  public:
    // An area the walk comes to; the files that follow are its own.
    void OnArea(const SceneryArea& area);
    // A file the walk handed on (accepted or of a default area), of the last area told.
    void OnFile(const char* path, const platform::FileEntry& entry);

    // The fingerprint a start folds when its simulator directory is spelled `simulatorDir` (host
    // form, trailing separator): each area composed anew, the path limit and the default areas
    // judged on the paths so composed.
    std::uint32_t FingerprintUnder(const std::string& simulatorDir) const;

  private:
    struct File {
        std::string name;
        platform::FileEntry entry;
    };
    struct Area {
        AreaSource source;
        std::string local;      // the Local value or world.vis path
        std::string directory;  // as composed under the walk's spelling
        std::vector<File> files;
    };
    std::vector<Area> areas_;
};

// How the module's spelling was found.
enum class SpellingBasis {
    kCacheMatch,  // the cache file's fingerprint matches under it
    kNoCache,     // no cache file holds a fingerprint: the stored letter case is taken
    kNoMatch,     // the cache file's fingerprint matches under no candidate
    kGiven,       // named outright (--module-spelling)
};

struct ModuleSpelling {
    std::string directory;  // host form, trailing separator
    SpellingBasis basis = SpellingBasis::kNoCache;
    std::vector<std::string> candidates;  // tried, in order (the given one alone, if given)
    std::uint32_t fingerprint = 0;        // of the scenery under `directory`

    // Whether a command may write the cache file: never over one written under another spelling.
    bool MayWriteCache() const { return basis != SpellingBasis::kNoMatch; }
};

// The candidates for SIMDIR as typed (the stored letter case first), or `given` alone; the
// module's spelling among them, judged by the cache file at `cachePath`.
ModuleSpelling FindModuleSpelling(const std::string& typed, const std::optional<std::string>& given,
                                  const WalkRecord& walk, const std::string& cachePath);

}  // namespace halvern::tool
