#pragma once

// Names on a POSIX disk as the host platform's narrow calls see them when it runs there (Wine's
// kernel32 is the reference): the host's texts are Windows-1252 and the disk's names UTF-8;
// names are compared without regard to letter case, and a directory lists its entries sorted,
// as Windows compares names: by their UTF-16 units, each taken in upper case.

#include <string>
#include <string_view>

namespace halvern::platform {

// The disk's spelling of host text: each byte as the code page's character in UTF-8, each
// backslash a slash.
std::string NativeSpelling(std::string_view hostText);

// The host text of a name or path on the disk, as the narrow calls hand it out: its characters
// in Windows-1252, those the code page lacks as the system gives them.
std::string HostText(std::string_view nativeName);

// A name as the host platform compares it: its UTF-16 units, and the same in upper case.
struct ComparedName {
    std::u16string units;
    std::u16string upper;
};

// The compared form of a name on the disk (UTF-8, or bytes the system takes for it).
ComparedName CompareFormOfNative(std::string_view nativeName);
// The compared form of a host text (Windows-1252).
ComparedName CompareFormOfHost(std::string_view hostText);

// Whether two names are one to the host platform: equal but for letter case.
inline bool SameNameIgnoringCase(const ComparedName& a, const ComparedName& b) {
    return a.upper == b.upper;
}

// The order of a listing: by the upper-case units, and names equal in them by their own units.
inline bool ListsBefore(const ComparedName& a, const ComparedName& b) {
    return a.upper != b.upper ? a.upper < b.upper : a.units < b.units;
}

}  // namespace halvern::platform
