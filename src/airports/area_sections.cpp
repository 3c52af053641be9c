#include "airports/area_sections.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <unordered_set>

namespace halvern {

namespace {

// The host reads an area's directory into 260 characters and its Active flag into 255, both
// with the terminator.
constexpr std::size_t kLocalCapacity = 260;
constexpr std::size_t kActiveCapacity = 255;

// The value of the digits after "Area." (letter case ignored); false for any other name. A value
// beyond 64 bits is held at the largest.
bool AreaDigits(std::u16string_view name, std::u16string& digits, std::uint64_t& number) {
    constexpr std::u16string_view kPrefix = u"area.";
    if (name.size() <= kPrefix.size() || !ProfileText::SameName(name.substr(0, 5), kPrefix)) {
        return false;
    }
    digits = name.substr(kPrefix.size());
    number = 0;
    for (const char16_t digit : digits) {
        if (digit < u'0' || digit > u'9') {
            return false;
        }
        const auto value = static_cast<std::uint64_t>(digit - u'0');
        number = number > (UINT64_MAX - value) / 10 ? UINT64_MAX : number * 10 + value;
    }
    return true;
}

// The edit distance of two short keys, ASCII letter case ignored, up to a bound.
std::size_t Distance(std::u16string_view a, std::u16string_view b) {
    const auto fold = [](char16_t c) {
        return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
    };
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1,
                               diagonal + (fold(a[i - 1]) == fold(b[j - 1]) ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// Whether a key looks like "Active" misspelt: not it, but within two edits of it.
bool LooksLikeActive(std::u16string_view key) {
    constexpr std::u16string_view kActive = u"active";
    return key.size() >= 4 && key.size() <= 8 && !ProfileText::SameName(key, kActive) &&
           Distance(key, kActive) <= 2;
}

}  // namespace

std::string AreaSectionName(std::uint64_t number) {
    char name[32];
    std::snprintf(name, sizeof name, "Area.%03llu", static_cast<unsigned long long>(number));
    return name;
}

std::vector<AreaSection> AreaSections(const ProfileText& text, std::uint64_t stoppedAt) {
    std::vector<AreaSection> found;
    const std::vector<ProfileSection>& sections = text.Sections();
    // The names met so far, in lower case: a second section of one is never read.
    std::unordered_set<std::u16string> names;
    for (std::size_t s = 0; s < sections.size(); ++s) {
        const ProfileSection& section = sections[s];
        std::u16string digits;
        std::uint64_t number = 0;
        if (!AreaDigits(section.name, digits, number)) {
            continue;
        }
        AreaSection area{ProfileText::HostTextOfUnits(section.name),
                         number,
                         SectionRole::kWalked,
                         {},
                         {},
                         false,
                         false,
                         {},
                         s};
        bool localGiven = false;
        for (std::size_t i = 0; i < section.lineCount; ++i) {
            const ProfileLine& line = text.Lines()[section.firstLine + i];
            if (ProfileText::SameName(line.key, u"Local") && !localGiven) {
                localGiven = true;
                area.local = ProfileText::ValueAsRead(line, kLocalCapacity);
            } else if (ProfileText::SameName(line.key, u"Active")) {
                area.activeRepeated = area.activeGiven;
                if (!area.activeGiven) {
                    area.active = ProfileText::ValueAsRead(line, kActiveCapacity);
                }
                area.activeGiven = true;
            } else if (area.misspeltActive.empty() && LooksLikeActive(line.key)) {
                area.misspeltActive = ProfileText::HostTextOfUnits(line.key);
            }
        }
        const bool formed =
            number >= 1 && number != UINT64_MAX &&
            ProfileText::SameName(section.name,
                                  ProfileText::UnitsOfHostText(AreaSectionName(number)));
        std::u16string folded(section.name);
        for (char16_t& c : folded) {
            c = c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
        }
        const bool second = !names.insert(std::move(folded)).second;
        area.role = !formed               ? SectionRole::kNeverFormed
                    : second              ? SectionRole::kSecondSection
                    : number < stoppedAt  ? SectionRole::kWalked
                    : number == stoppedAt ? SectionRole::kStop
                                          : SectionRole::kBeyondStop;
        found.push_back(std::move(area));
    }
    return found;
}

}  // namespace halvern
