#include "airports/default_areas.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>

#include "support/ascii_case.h"

namespace halvern {

namespace {

// Directory suffixes of the default areas, in the host's order.
constexpr std::string_view kDefaultAreaSuffixes[] = {
    "\\scenedb\\cities\\Egypt\\scenery\\",
    "\\scenedb\\cities\\London\\scenery\\",
    "\\scenedb\\cities\\berlin\\scenery\\",
    "\\scenedb\\cities\\boston\\scenery\\",
    "\\scenedb\\cities\\chicago\\scenery\\",
    "\\scenedb\\cities\\dc\\scenery\\",
    "\\scenedb\\cities\\la\\scenery\\",
    "\\scenedb\\cities\\newyork\\scenery\\",
    "\\scenedb\\cities\\paris\\scenery\\",
    "\\scenedb\\cities\\rome\\scenery\\",
    "\\scenedb\\cities\\sanfran\\scenery\\",
    "\\scenedb\\cities\\seattle\\scenery\\",
    "\\scenedb\\cities\\tokyo\\scenery\\",
    "\\scenedb\\easthem\\Eurnw\\scenery\\",
    "\\scenedb\\easthem\\India\\scenery\\",
    "\\scenedb\\easthem\\Siberia\\scenery\\",
    "\\scenedb\\easthem\\africac\\scenery\\",
    "\\scenedb\\easthem\\africae\\scenery\\",
    "\\scenedb\\easthem\\africas\\scenery\\",
    "\\scenedb\\easthem\\asiac\\scenery\\",
    "\\scenedb\\easthem\\auste\\scenery\\",
    "\\scenedb\\easthem\\austw\\scenery\\",
    "\\scenedb\\easthem\\azores\\scenery\\",
    "\\scenedb\\easthem\\china\\scenery\\",
    "\\scenedb\\easthem\\eursw\\scenery\\",
    "\\scenedb\\easthem\\grnlnde\\scenery\\",
    "\\scenedb\\easthem\\icelnd\\scenery\\",
    "\\scenedb\\easthem\\irkutsk\\scenery\\",
    "\\scenedb\\easthem\\japan\\scenery\\",
    "\\scenedb\\easthem\\kamchat\\scenery\\",
    "\\scenedb\\easthem\\madagas\\scenery\\",
    "\\scenedb\\easthem\\mideast\\scenery\\",
    "\\scenedb\\easthem\\newz\\scenery\\",
    "\\scenedb\\easthem\\russiae\\scenery\\",
    "\\scenedb\\easthem\\russiaw\\scenery\\",
    "\\scenedb\\easthem\\sahara\\scenery\\",
    "\\scenedb\\easthem\\scand\\scenery\\",
    "\\scenedb\\easthem\\seasia\\scenery\\",
    "\\scenedb\\easthem\\swpac\\scenery\\",
    "\\scenedb\\easthem\\wpac\\scenery\\",
    "\\scenedb\\easthem\\yakutsk\\scenery\\",
    "\\scenedb\\usgl\\scenery\\",
    "\\scenedb\\westhem\\Hawaii\\scenery\\",
    "\\scenedb\\westhem\\alaskae\\scenery\\",
    "\\scenedb\\westhem\\alaskaw\\scenery\\",
    "\\scenedb\\westhem\\camerica\\scenery\\",
    "\\scenedb\\westhem\\canc\\scenery\\",
    "\\scenedb\\westhem\\cane\\scenery\\",
    "\\scenedb\\westhem\\canne\\scenery\\",
    "\\scenedb\\westhem\\cannw\\scenery\\",
    "\\scenedb\\westhem\\canw\\scenery\\",
    "\\scenedb\\westhem\\carib\\scenery\\",
    "\\scenedb\\westhem\\epac\\scenery\\",
    "\\scenedb\\westhem\\grnlnd\\scenery\\",
    "\\scenedb\\westhem\\samee\\scenery\\",
    "\\scenedb\\westhem\\sames\\scenery\\",
    "\\scenedb\\westhem\\samew\\scenery\\",
    "\\scenedb\\westhem\\sepac\\scenery\\",
    "\\scenedb\\westhem\\usnc\\scenery\\",
    "\\scenedb\\westhem\\usne\\scenery\\",
    "\\scenedb\\westhem\\usnw\\scenery\\",
    "\\scenedb\\westhem\\ussc\\scenery\\",
    "\\scenedb\\westhem\\usse\\scenery\\",
    "\\scenedb\\westhem\\ussw\\scenery\\",
    "\\scenedb\\world\\scenery\\",
};
static_assert(std::size(kDefaultAreaSuffixes) == 65);

// Every suffix is "\scenedb\", the group folder and a separator where the area has one, the
// area's own folder, then this.
constexpr std::string_view kSceneryFolder = "\\scenery\\";
constexpr std::string_view kSceneryDatabase = "\\scenedb\\";

// An area's own folder, the one before "\scenery\".
constexpr std::string_view AreaFolder(std::string_view suffix) {
    const std::string_view directory = suffix.substr(0, suffix.size() - kSceneryFolder.size());
    return directory.substr(directory.rfind('\\') + 1);
}

// A folder name of up to 8 bytes, its ASCII letters folded, packed into a number: names hold no
// zero byte, so two of them give the same key exactly when they are equal, letter case ignored.
using FolderKey = std::uint64_t;
constexpr std::size_t kLongestFolder = sizeof(FolderKey);

constexpr FolderKey KeyOf(std::string_view folder) {
    FolderKey key = 0;
    for (const char c : folder) {
        key = key << 8 | static_cast<unsigned char>(FoldAsciiCase(c));
    }
    return key;
}

// The suffixes keyed by their area's own folder, in the order of the keys.
struct FolderIndex {
    FolderKey key;
    std::uint8_t suffix;  // its place in kDefaultAreaSuffixes
};

constexpr auto kFolderIndex = [] {
    std::array<FolderIndex, std::size(kDefaultAreaSuffixes)> index{};
    for (std::size_t i = 0; i < index.size(); ++i) {
        index[i] = {KeyOf(AreaFolder(kDefaultAreaSuffixes[i])), static_cast<std::uint8_t>(i)};
    }
    std::sort(index.begin(), index.end(),
              [](const FolderIndex& a, const FolderIndex& b) { return a.key < b.key; });
    return index;
}();

// The index answers for every suffix: each has the shape above, a folder of 1 to 8 bytes, and a
// key of its own, so that the folder names the one suffix that can match.
constexpr bool IndexIsSound() {
    for (std::size_t i = 0; i < kFolderIndex.size(); ++i) {
        const std::string_view suffix = kDefaultAreaSuffixes[kFolderIndex[i].suffix];
        const std::string_view folder = AreaFolder(suffix);
        if (!suffix.starts_with(kSceneryDatabase) || !suffix.ends_with(kSceneryFolder) ||
            folder.empty() || folder.size() > kLongestFolder ||
            (i > 0 && kFolderIndex[i - 1].key >= kFolderIndex[i].key)) {
            return false;
        }
    }
    return true;
}
static_assert(IndexIsSound());

// The suffix whose area folder is `folder` (letter case ignored); empty when there is none.
std::string_view SuffixOfFolder(std::string_view folder) {
    if (folder.empty() || folder.size() > kLongestFolder) {
        return {};
    }
    const FolderKey key = KeyOf(folder);
    const auto found = std::lower_bound(
        kFolderIndex.begin(), kFolderIndex.end(), key,
        [](const FolderIndex& entry, FolderKey wanted) { return entry.key < wanted; });
    return found != kFolderIndex.end() && found->key == key ? kDefaultAreaSuffixes[found->suffix]
                                                            : std::string_view();
}

}  // namespace

bool IsInDefaultArea(const char* path) {
    return IsInDefaultArea(std::string_view(path));
}

bool IsInDefaultArea(std::string_view path) {
    // The directory part ends at the last separator, found from the end.
    std::size_t directoryLength = path.size();
    while (directoryLength > 0 && path[directoryLength - 1] != '\\' &&
           path[directoryLength - 1] != '/') {
        --directoryLength;
    }
    const std::string_view directory = path.substr(0, directoryLength);
    if (!EndsWithIgnoringAsciiCase(directory, kSceneryFolder)) {
        return false;
    }
    // Only the suffix of the folder before "\scenery\" can match; a folder longer than any
    // area's is not looked at further.
    const std::size_t folderEnd = directory.size() - kSceneryFolder.size();
    std::size_t folderStart = folderEnd;
    while (folderStart > 0 && directory[folderStart - 1] != '\\' &&
           folderEnd - folderStart <= kLongestFolder) {
        --folderStart;
    }
    const std::string_view suffix =
        SuffixOfFolder(directory.substr(folderStart, folderEnd - folderStart));
    // The suffix needs a character before it.
    return !suffix.empty() && directory.size() > suffix.size() &&
           EndsWithIgnoringAsciiCase(directory, suffix);
}

std::span<const std::string_view> DefaultAreaSuffixes() {
    return kDefaultAreaSuffixes;
}

}  // namespace halvern
