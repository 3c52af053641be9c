#include "airports/default_areas.h"

#include <cstring>
#include <iterator>
#include <string_view>

#include "platform/ascii_case.h"

namespace halvern {

namespace {

// Directory suffixes of the default areas, in the order they are tested.
constexpr const char* kDefaultAreaSuffixes[] = {
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

}  // namespace

bool IsInDefaultArea(const char* path) {
    const char* lastSeparator = nullptr;
    for (const char* c = path; *c != '\0'; ++c) {
        if (*c == '\\' || *c == '/') {
            lastSeparator = c;
        }
    }
    if (lastSeparator == nullptr) {
        return false;
    }
    // p is the separator's index; the suffix must end at it and leave a character before it.
    const auto p = static_cast<std::size_t>(lastSeparator - path);
    for (const char* suffix : kDefaultAreaSuffixes) {
        const std::size_t length = std::strlen(suffix);
        if (p >= length && platform::EqualIgnoringAsciiCase(
                               std::string_view(path + p + 1 - length, length), suffix)) {
            return true;
        }
    }
    return false;
}

}  // namespace halvern
