#include "platform/posix/host_names.h"

#include <locale.h>
#include <wctype.h>

#include <optional>

#include "support/host_utf8.h"
#include "support/windows_1252.h"

namespace halvern::platform {

namespace {

// The upper case of a UTF-16 unit: its simple upper case by the C library's Unicode tables,
// where that maps back to it in lower case; a surrogate stays as it is. (This reproduces every
// unit of the system's upper-case table.)
char16_t UpperUnit(char16_t unit) {
    if (unit < 0x80) {
        return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - u'a' + u'A') : unit;
    }
    static const locale_t unicode = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    if (unicode == locale_t{} || (unit >= 0xD800 && unit < 0xE000)) {
        return unit;
    }
    const wint_t upper = ::towupper_l(unit, unicode);
    if (upper > 0xFFFF || ::towlower_l(upper, unicode) != unit) {
        return unit;
    }
    return static_cast<char16_t>(upper);
}

// Characters a short (8.3) name cannot hold.
bool IllegalInShortName(char16_t unit) {
    return unit > 0x7F ||
           std::u16string_view(u"*?<>|\"+=,;[] ").find(unit) != std::u16string_view::npos;
}

// Whether a name is a valid short name itself (the system then makes none of it).
bool IsShortName(std::u16string_view name) {
    if (name.size() > 12 || name.empty() || name.front() == u'.') {
        return false;
    }
    std::size_t dot = std::u16string_view::npos;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char16_t unit = name[i];
        if (IllegalInShortName(unit) || unit == u':' || unit == u'/' || unit == u'\\') {
            return false;
        }
        if (unit == u'.') {
            if (dot != std::u16string_view::npos) {
                return false;
            }
            dot = i;
        }
    }
    if (dot == std::u16string_view::npos) {
        return name.size() <= 8;
    }
    return dot <= 8 && name.size() - dot > 1 && name.size() - dot < 5;
}

// The extension of the short name the system makes of a name: up to three units after its last
// dot that is neither its first nor its last unit, each unit a short name cannot hold as '_'.
std::u16string ShortExtension(std::u16string_view upper) {
    std::size_t dot = std::u16string_view::npos;
    for (std::size_t i = 1; i + 1 < upper.size(); ++i) {
        if (upper[i] == u'.') {
            dot = i;
        }
    }
    std::u16string extension;
    if (dot == std::u16string_view::npos) {
        return extension;
    }
    for (const char16_t unit : upper.substr(dot + 1, 3)) {
        extension += IllegalInShortName(unit) || unit == u'~' || unit == u'.' ? u'_' : unit;
    }
    return extension;
}

}  // namespace

std::string NativeSpelling(std::string_view hostText) {
    std::string native;
    native.reserve(hostText.size());
    for (const char c : hostText) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            native += c == '\\' ? '/' : c;
        } else {
            AppendUtf8(native, CodePointOfWindows1252(byte));
        }
    }
    return native;
}

std::string HostTextOfUnits(std::u16string_view units) {
    std::string host;
    host.reserve(units.size());
    for (const char16_t unit : units) {
        host += Windows1252ByteOfUnit(unit);
    }
    return host;
}

std::string HostText(std::string_view nativeName) {
    return HostTextOfUnits(UnitsOfUtf8(nativeName));
}

ComparedName CompareFormOfNative(std::string_view nativeName) {
    ComparedName name{UnitsOfUtf8(nativeName), {}};
    name.upper.reserve(name.units.size());
    for (const char16_t unit : name.units) {
        name.upper += UpperUnit(unit);
    }
    return name;
}

bool MatchesSceneryPattern(const ComparedName& name) {
    constexpr std::u16string_view kExtension = u".BGL";
    const std::u16string_view upper(name.upper);
    if (upper.size() >= kExtension.size() &&
        upper.substr(upper.size() - kExtension.size()) == kExtension) {
        return true;
    }
    return !IsShortName(name.units) && ShortExtension(upper) == kExtension.substr(1);
}

bool HoldsWildcard(std::string_view hostPath) {
    return hostPath.find_first_of("?*") != std::string_view::npos;
}

}  // namespace halvern::platform
