#include "airports/scenery_areas.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "airports/area_sections.h"
#include "airports/default_areas.h"
#include "platform/directory_listing.h"
#include "platform/file_access.h"
#include "platform/file_entry.h"
#include "platform/name_lookup_scope.h"
#include "platform/path_limit.h"
#include "platform/profile_file.h"
#include "support/ascii_case.h"
#include "support/byte_order.h"

namespace halvern {

namespace {

constexpr const char* kWorldListName = "scenery\\world.vis";

// The host reads an area's directory into 260 characters and its Active flag into 255, both
// with the terminator.
constexpr std::size_t kLocalCapacity = 260;
constexpr std::size_t kActiveCapacity = 255;

// An area's files lie in its "scenery" folder unless its directory names that folder already.
constexpr std::string_view kSceneryFolderSuffix = "\\scenery\\";
constexpr std::string_view kSceneryFolder = "scenery\\";

// world.vis: only its first 100000 bytes are used; the 16-bit offset of the first entry lies at
// offset 10; every entry opens with 3 bytes the walk does not interpret, then its path text.
constexpr std::size_t kWorldListLimit = 100000;
constexpr std::size_t kFirstEntryField = 10;
constexpr std::size_t kEntryPathOffset = 3;
// An entry path that begins with this is relative to the simulator directory.
constexpr std::string_view kSimulatorRelativePrefix = "=:\\=\\";

// The area directories walked so far, each by the directory itself rather than by its
// spelling (platform/directory_identity.h), and by whether the spelling names a built-in default
// area, whose files the collector leaves out. A directory that several areas name with the same
// outcome is walked once: its files and airports would only come again, and a list that names
// one directory many times, in whatever spellings, would otherwise cost time and memory of its
// length times the directory's files. A directory named once as a default area and once
// otherwise (through a link, say) is walked for each: the second walk reads what the first left
// out.
class WalkedAreas {
  public:
    // Whether the listing's directory comes for the first time with this outcome. The key is
    // read from the open listing, which the walk needs anyway: no second look-up of its name.
    bool FirstVisit(platform::DirectoryListing& listing, const char* areaDir) {
        std::string key = listing.Identity();
        key += IsInDefaultArea(areaDir) ? 'd' : 'a';
        return visited_.insert(std::move(key)).second;
    }

  private:
    std::unordered_set<std::string> visited_;
};

// The area directory of a scenery.cfg area with a non-empty Local value.
std::string AreaFromLocal(const std::string& simulatorDir, const char* local) {
    const bool absolute =
        local[0] == '/' || local[0] == '\\' || (local[0] != '\0' && local[1] == ':');
    // Composed in one block: the directory, the value and what may follow it.
    const std::string_view value(local);
    std::string area;
    area.reserve((absolute ? 0 : simulatorDir.size()) + value.size() + 1 + kSceneryFolder.size());
    if (!absolute) {
        area = simulatorDir;
    }
    area += value;
    // Only a backslash counts as the end: a value ending in "/" gets a "\" after it.
    if (area.empty() || area.back() != '\\') {
        area += '\\';
    }
    // A directory of 9 characters or fewer is taken as it is.
    if (area.size() > kSceneryFolderSuffix.size() &&
        !EndsWithIgnoringAsciiCase(area, kSceneryFolderSuffix)) {
        area += kSceneryFolder;
    }
    return area;
}

// The area directory of a world.vis entry: the folder of the entry's path (cut after its last
// "\", "/" or ":"; nothing of it is left when it has none) followed by "scenery\".
std::string AreaFromWorldListPath(const std::string& simulatorDir, std::string_view path) {
    std::string area;
    if (path.substr(0, kSimulatorRelativePrefix.size()) == kSimulatorRelativePrefix) {
        area = simulatorDir;
        area += path.substr(kSimulatorRelativePrefix.size());
    } else {
        area = path;
    }
    const std::size_t cut = area.find_last_of("\\/:");
    area.resize(cut == std::string::npos ? 0 : cut + 1);
    area += kSceneryFolder;
    return area;
}

void ReportArea(const SceneryWalkTarget& target, const SceneryArea& area) {
    if (target.Observer() != nullptr) {
        target.Observer()->OnArea(area);
    }
}

// Hands on the scenery files of a listing whose first entry has been asked for (`listed`: there
// was one). With `announced`, the area is first told to the target's observer, its fate filled
// in (read, or its directory missing).
void WalkListing(SceneryWalkTarget& target, const char* areaDir,
                 platform::DirectoryListing& listing, platform::FileEntry& entry, bool listed,
                 SceneryArea* announced) {
    // The area is told before its files, with whether its directory could be listed at all.
    if (announced != nullptr && target.Observer() != nullptr) {
        announced->fate = !platform::ListingFitsPathLimit(areaDir) ? AreaFate::kBeyondPathLimit
                          : !listed && listing.Unreadable()        ? AreaFate::kMissing
                                                                   : AreaFate::kRead;
        target.Observer()->OnArea(*announced);
    }
    // The directory is written once, with room for the longest name; each file's name replaces
    // the one before it.
    const std::string_view directory(areaDir);
    std::string path;
    path.reserve(directory.size() + sizeof entry.name);
    path = directory;
    for (; listed; listed = listing.Next(entry)) {
        const std::string_view name(entry.name);
        if (name == "." || name == "..") {
            continue;
        }
        path.resize(directory.size());
        path += name;
        target.ScanFile(path.c_str(), entry);
    }
}

// Walks an area of the list, telling the observer of it with its fate; an area whose directory
// an earlier area walked is told as already walked.
void WalkListedArea(SceneryWalkTarget& target, SceneryArea area, WalkedAreas& walked) {
    platform::DirectoryListing listing(area.directory);
    if (!walked.FirstVisit(listing, area.directory)) {
        area.fate = AreaFate::kAlreadyWalked;
        ReportArea(target, area);
        return;
    }
    platform::FileEntry entry{};
    const bool listed = listing.Next(entry);
    WalkListing(target, area.directory, listing, entry, listed, &area);
}

// What became of a list file that could not be opened or read.
ListState FailedListState(const char* path) {
    switch (platform::KindOfFile(path)) {
        case platform::FileKind::kNone:
            return ListState::kAbsent;
        case platform::FileKind::kOther:
            return ListState::kNotRegular;
        case platform::FileKind::kRegular:
            break;
    }
    return ListState::kUnreadable;
}

void WalkSceneryConfig(SceneryWalkTarget& target, const std::string& simulatorDir,
                       const std::string& configPath, WalkedAreas& walked) {
    platform::ProfileFile config;
    // A file that exists but cannot be read has no values: the walk ends at the first area.
    const bool loaded = config.Load(configPath.c_str());
    // The area number has no upper bound; the first area without an Active value ends the walk.
    unsigned long long number = 1;
    for (;; ++number) {
        const std::string section = AreaSectionName(number);
        char local[kLocalCapacity];
        char active[kActiveCapacity];
        config.ReadString(section.c_str(), "Local", local, sizeof local);
        config.ReadString(section.c_str(), "Active", active, sizeof active);
        if (active[0] == '\0') {
            break;
        }
        if (local[0] == '\0') {
            continue;
        }
        const std::string area = AreaFromLocal(simulatorDir, local);
        if (!EqualIgnoringAsciiCase(active, "true")) {
            ReportArea(target, {area.c_str(), AreaSource::kSceneryConfig, number,
                                AreaFate::kInactive, local});
        } else {
            WalkListedArea(
                target, {area.c_str(), AreaSource::kSceneryConfig, number, AreaFate::kRead, local},
                walked);
        }
    }
    // What follows only informs an observer; the module attaches none and pays nothing for it.
    if (target.Observer() != nullptr) {
        const ListState state = loaded ? ListState::kRead : FailedListState(configPath.c_str());
        target.Observer()->OnAreaList({AreaSource::kSceneryConfig, state, number});
    }
}

// The index of the first zero byte at or after `from`, or false when the data holds none there.
bool FindTerminator(const std::vector<unsigned char>& data, std::size_t from, std::size_t& at) {
    for (std::size_t i = from; i < data.size(); ++i) {
        if (data[i] == 0) {
            at = i;
            return true;
        }
    }
    return false;
}

// Walks the areas of world.vis; what became of the list.
ListState WalkWorldList(SceneryWalkTarget& target, const std::string& simulatorDir,
                        const std::string& listPath, WalkedAreas& walked) {
    std::vector<unsigned char> data(kWorldListLimit);
    ListState state = ListState::kRead;
    {
        const platform::HostStream stream = platform::OpenHostFile(listPath.c_str(), "rb");
        if (!stream) {
            return target.Observer() != nullptr ? FailedListState(listPath.c_str())
                                                : ListState::kAbsent;
        }
        data.resize(std::fread(data.data(), 1, data.size(), stream.get()));
        // What could be read before a read error is walked all the same.
        state = std::ferror(stream.get()) != 0 ? ListState::kUnreadable : ListState::kRead;
    }
    if (data.size() < kFirstEntryField + 2) {
        return state;
    }
    // Every position below stays under kWorldListLimit + a few bytes, so no sum can wrap.
    std::size_t entry = LoadU16(data.data() + kFirstEntryField);
    for (std::uint64_t number = 1; entry < data.size() && data[entry] != 0; ++number) {
        const std::size_t pathStart = entry + kEntryPathOffset;
        std::size_t pathEnd = 0;
        std::size_t secondEnd = 0;
        // An entry whose two texts do not both end inside the data ends the list.
        if (!FindTerminator(data, pathStart, pathEnd) ||
            !FindTerminator(data, pathEnd + 1, secondEnd)) {
            return state;
        }
        const char* path = reinterpret_cast<const char*>(data.data() + pathStart);
        const std::string area = AreaFromWorldListPath(simulatorDir, path);
        entry = secondEnd + 1;
        WalkListedArea(
            target, {area.c_str(), AreaSource::kWorldList, number, AreaFate::kRead, path}, walked);
    }
    return state;
}

}  // namespace

std::string AreaDirectory(AreaSource source, const std::string& simulatorDir, const char* local) {
    if (source == AreaSource::kWorldList) {
        return AreaFromWorldListPath(simulatorDir, local);
    }
    return local[0] == '\0' ? std::string() : AreaFromLocal(simulatorDir, local);
}

void WalkSceneryAreas(SceneryWalkTarget& target, const char* simulatorDir) {
    if (simulatorDir == nullptr) {
        return;
    }
    // Areas below one folder spelled in another letter case look for it once.
    platform::NameLookupScope lookups;
    const std::string directory(simulatorDir);
    const std::string configPath = directory + kSceneryConfigName;
    // Where scenery.cfg exists, it alone lists the areas, whatever it holds.
    WalkedAreas walked;
    if (platform::FileExists(configPath.c_str())) {
        WalkSceneryConfig(target, directory, configPath, walked);
        return;
    }
    const ListState state = WalkWorldList(target, directory, directory + kWorldListName, walked);
    if (target.Observer() != nullptr) {
        target.Observer()->OnAreaList({AreaSource::kWorldList, state, 0});
    }
}

void WalkAreaDirectory(SceneryWalkTarget& target, const char* areaDir, SceneryArea* announced) {
    if (areaDir == nullptr) {
        return;
    }
    platform::DirectoryListing listing(areaDir);
    platform::FileEntry entry{};
    const bool listed = listing.Next(entry);
    WalkListing(target, areaDir, listing, entry, listed, announced);
}

}  // namespace halvern
