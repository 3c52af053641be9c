#include "platform/posix/host_names.h"

#include <locale.h>
#include <wctype.h>

#include <optional>

#include "support/windows_1252.h"

namespace halvern::platform {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The upper case of a UTF-16 unit by the Unicode tables of the C library's UTF-8 locale, where
// it maps the unit to one unit; a surrogate stays as it is.
char16_t UpperUnit(char16_t unit) {
    static const locale_t unicode = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    if (unit < 0x80) {
        return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - u'a' + u'A') : unit;
    }
    if (unicode == locale_t{} || (unit >= 0xD800 && unit < 0xE000)) {
        return unit;
    }
    const wint_t upper = ::towupper_l(unit, unicode);
    return upper <= 0xFFFF ? static_cast<char16_t>(upper) : unit;
}

void AppendUtf16(std::u16string& out, char32_t codePoint) {
    if (codePoint < 0x10000) {
        out += static_cast<char16_t>(codePoint);
    } else {
        codePoint -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (codePoint >> 10));
        out += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
    }
}

ComparedName WithUpper(std::u16string units) {
    ComparedName name{std::move(units), {}};
    name.upper.reserve(name.units.size());
    for (const char16_t unit : name.units) {
        name.upper += UpperUnit(unit);
    }
    return name;
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

std::string HostText(std::string_view nativeName) {
    std::string host;
    host.reserve(nativeName.size());
    for (std::size_t at = 0; at < nativeName.size();) {
        const std::optional<char32_t> codePoint = NextUtf8CodePoint(nativeName, at);
        host += Windows1252Byte(codePoint.value_or(kReplacement)).value_or('?');
    }
    return host;
}

ComparedName CompareFormOfNative(std::string_view nativeName) {
    std::u16string units;
    units.reserve(nativeName.size());
    for (std::size_t at = 0; at < nativeName.size();) {
        AppendUtf16(units, NextUtf8CodePoint(nativeName, at).value_or(kReplacement));
    }
    return WithUpper(std::move(units));
}

ComparedName CompareFormOfHost(std::string_view hostText) {
    std::u16string units;
    units.reserve(hostText.size());
    for (const char c : hostText) {
        AppendUtf16(units, CodePointOfWindows1252(static_cast<unsigned char>(c)));
    }
    return WithUpper(std::move(units));
}

}  // namespace halvern::platform
