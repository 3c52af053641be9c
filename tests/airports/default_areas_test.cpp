#include "airports/default_areas.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "support/ascii_case.h"

namespace halvern {
namespace {

struct AreaCase {
    const char* path;
    bool skipped;
};

TEST(DefaultAreas, DirectoryPartMustEndWithASuffix) {
    const AreaCase cases[] = {
        {"C:\\Sim\\scenedb\\cities\\Egypt\\scenery\\a.bgl", true},
        {"C:\\Sim\\Scenedb\\cities\\paris\\scenery\\x.bgl", true},
        {"C:\\Sim\\SCENEDB\\WORLD\\SCENERY\\x.bgl", true},
        {"C:\\Sim\\scenedb\\usgl\\scenery\\x.bgl", true},
        {"C:\\Sim\\scenedb\\easthem\\yakutsk\\scenery\\x.bgl", true},
        {"C:\\Sim\\scenedb\\westhem\\ussw\\scenery\\x.bgl", true},
        {"C:\\Sim\\scenedb\\world\\scenery\\", true},  // the directory itself
        // Below a default area, or beside one: accepted.
        {"C:\\Sim\\scenedb\\world\\scenery\\sub\\x.bgl", false},
        {"C:\\Sim\\scenedb\\world\\scenery2\\x.bgl", false},
        {"C:\\Sim\\scenedb\\cities\\lyon\\scenery\\x.bgl", false},
        {"C:\\Sim\\Addon\\scenery\\x.bgl", false},
        // The suffix needs a character before it.
        {"\\scenedb\\world\\scenery\\x.bgl", false},
        {"a\\scenedb\\world\\scenery\\x.bgl", true},
        // Forward slashes do not match the backslashes of the list.
        {"C:/Sim/scenedb/world/scenery/x.bgl", false},
        {"C:\\Sim\\scenedb\\world\\scenery/x.bgl", false},
        {"x.bgl", false},
        {"", false},
    };
    for (const AreaCase& c : cases) {
        EXPECT_EQ(IsInDefaultArea(c.path), c.skipped) << c.path;
    }
}

// The test as first written: every suffix compared in turn where the path's last separator is.
bool SuffixListTest(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    for (const std::string_view suffix : DefaultAreaSuffixes()) {
        if (separator != std::string::npos && separator >= suffix.size() &&
            EqualIgnoringAsciiCase(
                std::string_view(path).substr(separator + 1 - suffix.size(), suffix.size()),
                suffix)) {
            return true;
        }
    }
    return false;
}

TEST(DefaultAreas, AnswersAsTheSuffixListForEverySuffixAndItsNeighbours) {
    // Every suffix as it is, in capitals, and changed at each place: a character left out or one
    // more, a letter's case or another bit flipped, the next byte, a slash for a backslash.
    std::vector<std::string> variants;
    for (const std::string_view suffix : DefaultAreaSuffixes()) {
        const std::string plain(suffix);
        std::string capitals = plain;
        for (char& c : capitals) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        variants.insert(variants.end(), {plain, capitals});
        for (std::size_t i = 0; i <= plain.size(); ++i) {
            variants.push_back(std::string(plain).insert(i, "x"));
            variants.push_back(std::string(plain).insert(i, "\\"));
            if (i == plain.size()) {
                break;
            }
            variants.push_back(std::string(plain).erase(i, 1));
            const char c = plain[i];
            for (const int other : {c ^ 0x20, c ^ 0x80, c + 1, c == '\\' ? int{'/'} : int{'\\'}}) {
                variants.push_back(plain);
                variants.back()[i] = static_cast<char>(other);
            }
        }
    }
    int inside = 0;
    for (const std::string& variant : variants) {
        for (const char* before : {"", "C:\\Sim"}) {
            for (const char* after : {"", "x.bgl", "sub\\x.bgl", "x/y.bgl"}) {
                const std::string path = before + variant + after;
                const bool expected = SuffixListTest(path);
                ASSERT_EQ(IsInDefaultArea(path.c_str()), expected) << path;
                inside += expected ? 1 : 0;
            }
        }
    }
    // At least each suffix as it is and in capitals, below "C:\Sim", as a folder and with a file.
    EXPECT_GE(inside, 65 * 2 * 2);
}

}  // namespace
}  // namespace halvern
