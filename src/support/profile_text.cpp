#include "support/profile_text.h"

#include <algorithm>

#include "support/host_utf8.h"
#include "support/windows_1252.h"

namespace halvern {

namespace {

// The blanks the reader trims: tab, line feed, vertical tab, form feed, carriage return, space,
// and the end-of-file mark 0x1A.
bool IsBlank(char16_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == u' ' || c == 0x1A;
}

std::u16string_view TrimmedFront(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

std::u16string_view TrimmedBack(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::u16string_view Trimmed(std::u16string_view text) {
    return TrimmedBack(TrimmedFront(text));
}

// A name or value ends at its first NUL, as a text of the host platform does.
std::u16string_view UpToNul(std::u16string_view text) {
    return text.substr(0, text.find(u'\0'));
}

char16_t Folded(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

}  // namespace

ProfileText::ProfileText(std::string_view bytes) : byteCount_(bytes.size()) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        encoding_ = TextEncoding::kUtf8;
        markSize_ = 3;
        units_ = UnitsOfUtf8(bytes.substr(3), &utf8Starts_);
    } else if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
        const bool little = bytes[0] == '\xFF';
        encoding_ = little ? TextEncoding::kUtf16Little : TextEncoding::kUtf16Big;
        markSize_ = 2;
        units_.reserve(bytes.size() / 2);
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const auto first = static_cast<unsigned char>(bytes[i]);
            const auto second = static_cast<unsigned char>(bytes[i + 1]);
            units_ += static_cast<char16_t>(little ? first | (second << 8) : (first << 8) | second);
        }
    } else {
        units_ = UnitsOfHostText(bytes);
    }
    Parse();
}

void ProfileText::Parse() {
    const std::u16string_view all(units_);
    sections_.push_back({std::u16string_view(), 0, 0, 0});
    std::size_t start = 0;
    while (start < all.size()) {
        // Any run of CR and LF ends a line.
        std::size_t end = start;
        while (end < all.size() && all[end] != u'\r' && all[end] != u'\n') {
            ++end;
        }
        std::size_t next = end;
        while (next < all.size() && (all[next] == u'\r' || all[next] == u'\n')) {
            ++next;
        }
        const std::u16string_view line = Trimmed(all.substr(start, end - start));
        start = next;
        if (line.empty()) {
            continue;
        }
        const std::size_t close =
            line.front() == u'[' ? line.rfind(u']') : std::u16string_view::npos;
        if (close != std::u16string_view::npos && close > 0) {
            sections_.push_back(
                {Trimmed(UpToNul(line.substr(1, close - 1))), next, lines_.size(), 0});
            continue;
        }
        const std::size_t equals = line.find(u'=');
        const bool hasValue = equals != std::u16string_view::npos;
        lines_.push_back(
            {UpToNul(TrimmedBack(line.substr(0, equals))),
             hasValue ? UpToNul(TrimmedFront(line.substr(equals + 1))) : std::u16string_view(),
             hasValue, next});
        ++sections_.back().lineCount;
    }
}

std::size_t ProfileText::ByteOffset(std::size_t unit) const {
    switch (encoding_) {
        case TextEncoding::kUtf8:
            return markSize_ + (unit < utf8Starts_.size() ? utf8Starts_[unit] : byteCount_);
        case TextEncoding::kUtf16Little:
        case TextEncoding::kUtf16Big:
            return std::min(markSize_ + 2 * unit, byteCount_);
        case TextEncoding::kWindows1252:
            break;
    }
    return std::min(unit, byteCount_);
}

std::u16string_view ProfileText::LineEnd() const {
    const std::size_t at = units_.find_first_of(u"\r\n");
    if (at == std::u16string::npos) {
        return u"\r\n";
    }
    if (units_[at] == u'\r') {
        return at + 1 < units_.size() && units_[at + 1] == u'\n' ? u"\r\n" : u"\r";
    }
    return u"\n";
}

std::string ProfileText::Encoded(std::u16string_view text) const {
    std::string bytes;
    switch (encoding_) {
        case TextEncoding::kUtf8:
            for (std::size_t i = 0; i < text.size(); ++i) {
                char32_t c = text[i];
                const bool pair = c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() &&
                                  text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
                if (pair) {
                    c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
                }
                AppendUtf8(bytes, c);
            }
            return bytes;
        case TextEncoding::kUtf16Little:
        case TextEncoding::kUtf16Big:
            for (const char16_t unit : text) {
                const char high = static_cast<char>(unit >> 8);
                const char low = static_cast<char>(unit & 0xFF);
                bytes += encoding_ == TextEncoding::kUtf16Little ? low : high;
                bytes += encoding_ == TextEncoding::kUtf16Little ? high : low;
            }
            return bytes;
        case TextEncoding::kWindows1252:
            break;
    }
    return HostTextOfUnits(text);
}

std::string ProfileText::ValueAsRead(const ProfileLine& line, std::size_t capacity) {
    if (!line.hasValue || capacity == 0) {
        return {};
    }
    std::u16string_view value = line.value;
    const bool quoted = value.size() > 1 && (value.front() == u'"' || value.front() == u'\'') &&
                        value.back() == value.front();
    if (quoted) {
        value.remove_prefix(1);
    }
    std::size_t length = std::min(value.size(), capacity - 1);
    if (quoted && capacity >= value.size() && length > 0) {
        --length;
    }
    return HostTextOfUnits(value.substr(0, length));
}

bool ProfileText::SameName(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return Folded(x) == Folded(y); });
}

std::u16string ProfileText::UnitsOfHostText(std::string_view text) {
    std::u16string units;
    units.reserve(text.size());
    for (const char c : text) {
        units += static_cast<char16_t>(CodePointOfWindows1252(static_cast<unsigned char>(c)));
    }
    return units;
}

std::string ProfileText::HostTextOfUnits(std::u16string_view units) {
    std::string text;
    text.reserve(units.size());
    for (const char16_t unit : units) {
        text += Windows1252ByteOfUnit(unit);
    }
    return text;
}

}  // namespace halvern
