#include "platform/posix/host_names.h"

#include <locale.h>
#include <wctype.h>

#include <optional>

#include "support/windows_1252.h"

namespace halvern::platform {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

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

// The number of continuation bytes a lead byte asks for; 0 for a byte that leads nothing.
int ContinuationsOf(unsigned char lead) {
    return lead >= 0xC2 && lead <= 0xDF   ? 1
           : lead >= 0xE0 && lead <= 0xEF ? 2
           : lead >= 0xF0 && lead <= 0xF4 ? 3
                                          : 0;
}

// The value of the character whose lead byte stands before `at` and whose continuations end at
// `end`, checked byte by byte as the system checks it; none where a byte fails (an overlong
// form, a surrogate, a value beyond U+10FFFF or a byte that continues nothing), `at` then left
// at the byte that failed, or after it where the system has already taken it.
std::optional<char32_t> Continued(std::string_view bytes, unsigned char lead, int continuations,
                                  std::size_t end, std::size_t& at) {
    constexpr unsigned char kLeadMasks[] = {0x7F, 0x1F, 0x0F, 0x07};
    char32_t value = lead & kLeadMasks[continuations];
    const auto next = [&](std::size_t back) {
        return static_cast<unsigned char>(bytes[end - back]) ^ 0x80u;
    };
    if (continuations == 3) {
        if (next(3) >= 0x40) {
            return std::nullopt;
        }
        value = (value << 6) | next(3);
        ++at;
        if (value < 0x10) {
            return std::nullopt;
        }
    }
    if (continuations >= 2) {
        if (next(2) >= 0x40) {
            return std::nullopt;
        }
        value = (value << 6) | next(2);
        if (value >= (0x110000 >> 6)) {
            return std::nullopt;
        }
        ++at;
        if (value < 0x20 || (value >= (0xD800 >> 6) && value <= (0xDFFF >> 6))) {
            return std::nullopt;
        }
    }
    if (next(1) >= 0x40) {
        return std::nullopt;
    }
    value = (value << 6) | next(1);
    ++at;
    if (value < 0x80) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::u16string UnitsOfUtf8(std::string_view bytes) {
    std::u16string units;
    units.reserve(bytes.size());
    std::size_t at = 0;
    while (at < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[at++]);
        if (lead < 0x80) {
            units += static_cast<char16_t>(lead);
            continue;
        }
        const int continuations = ContinuationsOf(lead);
        if (continuations == 0) {
            units += kReplacement;
            continue;
        }
        const std::size_t end = at + static_cast<std::size_t>(continuations);
        if (end > bytes.size()) {
            units += kReplacement;
            break;
        }
        const std::optional<char32_t> value = Continued(bytes, lead, continuations, end, at);
        if (!value) {
            units += kReplacement;
        } else if (*value >= 0x10000) {
            const char32_t above = *value - 0x10000;
            units += static_cast<char16_t>(0xD800 + (above >> 10));
            units += static_cast<char16_t>(0xDC00 + (above & 0x3FF));
        } else {
            units += static_cast<char16_t>(*value);
        }
    }
    return units;
}

namespace {

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
