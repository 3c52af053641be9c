#pragma once

// Names on a POSIX disk as the host platform's narrow calls see them when it runs there (Wine's
// kernel32, measured, is the reference): the host's texts are Windows-1252 and the disk's names
// UTF-8; names are compared without regard to letter case, and a directory lists its entries
// sorted, as Windows compares names: by their UTF-16 units, each in upper case.

#include <string>
#include <string_view>

namespace halvern::platform {

// The disk's spelling of host text: each byte as the code page's character in UTF-8 (the five
// bytes it leaves undefined as the C1 controls of their value), each backslash a slash.
std::string NativeSpelling(std::string_view hostText);

// UTF-16 units in Windows-1252 as the narrow calls give them: each unit in the code page, or its
// best fit, or '?'.
std::string HostTextOfUnits(std::u16string_view units);

// The host text of a name or path on the disk, as the narrow calls hand it out: decoded from
// UTF-8 (a byte that begins no character, or a character cut short, as U+FFFD), each UTF-16 unit
// in Windows-1252 or its best fit, '?' where the code page has neither.
std::string HostText(std::string_view nativeName);

// A name as the host platform compares it: its UTF-16 units, and the same in upper case (each
// unit to its simple upper case where that maps back to it: 'y' with diaeresis to its capital,
// but the micro sign, dotless i and long s stay as they are).
struct ComparedName {
    std::u16string units;
    std::u16string upper;
};

// The compared form of a name on the disk.
ComparedName CompareFormOfNative(std::string_view nativeName);

// Whether two names are one to the host platform: equal but for letter case.
inline bool SameNameIgnoringCase(const ComparedName& a, const ComparedName& b) {
    return a.upper == b.upper;
}

// The order of a listing: by the upper-case units, and names equal in them by their own units.
inline bool ListsBefore(const ComparedName& a, const ComparedName& b) {
    return a.upper != b.upper ? a.upper < b.upper : a.units < b.units;
}

// Whether the pattern "*.bgl" matches a name as the host platform matches it: the name ends in
// ".bgl" (letter case ignored), or it is no valid short (8.3) name and the short name the system
// makes of it has the extension "BGL" (so "x.bglx" and "a.bgl_old" match, "a.bgl.bak" not).
bool MatchesSceneryPattern(const ComparedName& name);

// Whether a host path holds a character that no name may hold ('?' or '*', which the narrow
// calls take for wildcards): such a path names no file.
bool HoldsWildcard(std::string_view hostPath);

}  // namespace halvern::platform
