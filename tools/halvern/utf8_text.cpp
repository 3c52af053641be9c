#include "halvern/utf8_text.h"

#include <cstdio>

#include "platform/native_path.h"
#include "support/windows_1252.h"

namespace halvern::tool {

namespace {

constexpr char32_t kControlPictures = 0x2400;  // U+2400 + c pictures the C0 control c
constexpr char32_t kDeletePicture = 0x2421;
constexpr char32_t kReplacement = 0xFFFD;

bool IsControl(char32_t c) {
    return c < 0x20 || c == 0x7F;
}

// What the ANSI terminal shows of native text: its bytes, each control character a '?'.
std::string WithoutControls(std::string_view text) {
    std::string shown(text);
    for (char& c : shown) {
        c = IsControl(static_cast<unsigned char>(c)) ? '?' : c;
    }
    return shown;
}

}  // namespace

std::string Utf8Name(const char* name) {
    return Utf8FromWindows1252(name);
}

std::string Utf8Path(const std::string& path) {
    const std::string converted = platform::Utf8FromHostText(path);
    std::string utf8;
    utf8.reserve(converted.size());
    for (std::size_t at = 0; at < converted.size();) {
        AppendUtf8(utf8, NextUtf8CodePoint(converted, at).value_or(kReplacement));
    }
    return utf8;
}

bool IsInvisible(char32_t c) {
    return (c >= 0x80 && c <= 0x9F) || c == 0x061C || (c >= 0x200B && c <= 0x200F) ||
           (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF;
}

std::string WithControlPictures(std::string_view utf8) {
    std::string shown;
    shown.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t start = at;
        const char32_t c = NextUtf8CodePoint(utf8, at).value_or(kReplacement);
        if (c < 0x80 && !IsControl(c)) {
            shown += static_cast<char>(c);
        } else if (IsControl(c)) {
            AppendUtf8(shown, c == 0x7F ? kDeletePicture : kControlPictures + c);
        } else if (IsInvisible(c)) {
            char name[16];
            std::snprintf(name, sizeof name, "<U+%04X>", static_cast<unsigned>(c));
            shown += name;
        } else {
            shown.append(utf8.substr(start, at - start));
        }
    }
    return shown;
}

std::string WithInvisibleEscaped(std::string_view json) {
    std::string escaped;
    escaped.reserve(json.size());
    for (std::size_t at = 0; at < json.size();) {
        const std::size_t start = at;
        const std::optional<char32_t> c = NextUtf8CodePoint(json, at);
        if (c && IsInvisible(*c)) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(*c));
            escaped += escape;
        } else {
            escaped.append(json.substr(start, at - start));
        }
    }
    return escaped;
}

std::string PageName(const char* name) {
    return WithControlPictures(Utf8Name(name));
}

std::string PagePath(const std::string& path) {
    return WithControlPictures(Utf8Path(path));
}

std::string ShownName(const char* name) {
    return platform::TerminalTextIsUtf8() ? PageName(name) : WithoutControls(name);
}

std::string ShownPath(const std::string& path) {
    return platform::TerminalTextIsUtf8() ? PagePath(path) : WithoutControls(path);
}

std::string ShownArgument(const std::string& typed) {
    if (!platform::TerminalTextIsUtf8()) {
        return WithoutControls(typed);
    }
    std::string utf8;
    for (std::size_t at = 0; at < typed.size();) {
        AppendUtf8(utf8, NextUtf8CodePoint(typed, at).value_or(kReplacement));
    }
    return WithControlPictures(utf8);
}

std::optional<std::string> NameTextFromTerminal(const std::string& typed) {
    if (!platform::TerminalTextIsUtf8()) {
        return typed;
    }
    std::string text;
    for (std::size_t at = 0; at < typed.size();) {
        const std::optional<char32_t> codePoint = NextUtf8CodePoint(typed, at);
        if (!codePoint) {
            return typed;
        }
        const std::optional<char> byte = Windows1252Byte(*codePoint);
        if (!byte) {
            return std::nullopt;
        }
        text += *byte;
    }
    return text;
}

}  // namespace halvern::tool
