#include "support/windows_1252.h"

#include <cstdint>

namespace halvern {

namespace {

// The code points of bytes 0x80..0x9F; 0 where the code page leaves the byte undefined.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

std::optional<char32_t> NextUtf8CodePoint(std::string_view utf8, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(utf8[at]);
    const std::size_t length = lead < 0x80                   ? 1
                               : lead >= 0xC2 && lead < 0xE0 ? 2
                               : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xF0 && lead < 0xF5 ? 4
                                                             : 0;
    if (length == 0 || utf8.size() - at < length) {
        ++at;
        return std::nullopt;
    }
    // A lead byte of a longer sequence keeps only the bits below its length marker.
    char32_t codePoint = length == 1 ? char32_t{lead} : char32_t{lead & (0x7Fu >> length)};
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(utf8[at + k]);
        if ((next >> 6) != 2) {
            ++at;
            return std::nullopt;
        }
        codePoint = (codePoint << 6) | (next & 0x3Fu);
    }
    // The shortest form only, and no surrogate or value beyond the last code point.
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < kSmallest[length] || (codePoint >= 0xD800 && codePoint < 0xE000) ||
        codePoint > 0x10FFFF) {
        ++at;
        return std::nullopt;
    }
    at += length;
    return codePoint;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

std::optional<char> Windows1252Byte(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<char>(static_cast<unsigned char>(codePoint));
    }
    for (unsigned i = 0; i < 32; ++i) {
        // An undefined byte stands for the C1 control of its value.
        const char32_t character = kHighControls[i] != 0 ? kHighControls[i] : 0x80 + i;
        if (character == codePoint) {
            return static_cast<char>(0x80 + i);
        }
    }
    return std::nullopt;
}

char32_t CodePointOfWindows1252(unsigned char byte) {
    if (byte < 0x80 || byte >= 0xA0) {
        return byte;
    }
    return kHighControls[byte - 0x80] != 0 ? kHighControls[byte - 0x80] : char32_t{byte};
}

std::string Windows1252FromUtf8(const std::string& utf8) {
    std::string out;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::optional<char32_t> codePoint = NextUtf8CodePoint(utf8, at);
        out += codePoint ? Windows1252Byte(*codePoint).value_or('?') : '?';
    }
    return out;
}

std::string Utf8FromWindows1252(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        char32_t codePoint = byte;
        if (byte >= 0x80 && byte < 0xA0) {
            codePoint = kHighControls[byte - 0x80] != 0 ? kHighControls[byte - 0x80] : 0xFFFD;
        }
        AppendUtf8(out, codePoint);
    }
    return out;
}

}  // namespace halvern
