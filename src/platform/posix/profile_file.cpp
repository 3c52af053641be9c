#include "platform/profile_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/file_access.h"
#include "platform/posix/host_names.h"
#include "support/windows_1252.h"

namespace halvern::platform {

// The file is read as the host platform's profile functions read it (Wine's kernel32, measured):
// as UTF-16 text, decoded by its byte-order mark (UTF-8, UTF-16 in either byte order) or, without
// one, as Windows-1252; values are handed out in Windows-1252 (best fit, or '?'). The text is
// parsed once at Load into views of it: a table of its sections, each the run of its key lines
// in file order. Nothing is copied per line, and a look-up folds no text: on a scenery.cfg of a
// few hundred areas, parsing was a third of a warm start when every name was a string of its
// own, folded and hashed into nested tables.
struct ProfileFile::Contents {
    struct Line {
        std::u16string_view key;
        std::u16string_view value;
        bool hasValue;  // the line holds a '='; a key without one reads as missing
    };
    struct Lines {
        std::size_t first;
        std::size_t count;
    };
    // Names compare and hash with their ASCII letter case folded, as the host compares them.
    struct FoldedHash {
        std::size_t operator()(std::u16string_view name) const {
            std::size_t hash = 14695981039346656037u;  // FNV-1a
            for (const char16_t c : name) {
                hash = (hash ^ Folded(c)) * 1099511628211u;
            }
            return hash;
        }
    };
    struct FoldedEqual {
        bool operator()(std::u16string_view a, std::u16string_view b) const {
            return EqualFolded(a, b);
        }
    };

    static char16_t Folded(char16_t c) {
        return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
    }
    static bool EqualFolded(std::u16string_view a, std::u16string_view b) {
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(),
                          [](char16_t x, char16_t y) { return Folded(x) == Folded(y); });
    }

    std::u16string text;  // what the views point into
    std::vector<Line> lines;
    std::unordered_map<std::u16string_view, Lines, FoldedHash, FoldedEqual> sections;
    std::vector<std::string> sectionOrder;  // every header, in file order, as spelled

    void Parse();
};

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

bool ReadWholeFile(const char* hostPath, std::string& bytes) {
    const HostStream stream = OpenHostFile(hostPath, "rb");
    if (!stream) {
        return false;
    }
    char chunk[4096];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, stream.get());
        bytes.append(chunk, got);
        if (got < sizeof chunk) {
            break;
        }
    }
    // A directory opens as a stream here but cannot be read.
    return std::ferror(stream.get()) == 0;
}

// The file's text in UTF-16 units, by its byte-order mark.
std::u16string DecodedText(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        return UnitsOfUtf8(bytes.substr(3));
    }
    const bool little = bytes.substr(0, 2) == "\xFF\xFE";
    if (little || bytes.substr(0, 2) == "\xFE\xFF") {
        std::u16string units;
        units.reserve(bytes.size() / 2);
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const auto first = static_cast<unsigned char>(bytes[i]);
            const auto second = static_cast<unsigned char>(bytes[i + 1]);
            units += static_cast<char16_t>(little ? first | (second << 8) : (first << 8) | second);
        }
        return units;
    }
    std::u16string units;
    units.reserve(bytes.size());
    for (const char c : bytes) {
        units += static_cast<char16_t>(CodePointOfWindows1252(static_cast<unsigned char>(c)));
    }
    return units;
}

std::u16string UnitsOfHostText(const char* text) {
    std::u16string units;
    for (; *text != '\0'; ++text) {
        units += static_cast<char16_t>(CodePointOfWindows1252(static_cast<unsigned char>(*text)));
    }
    return units;
}

}  // namespace

void ProfileFile::Contents::Parse() {
    const std::u16string_view all(text);
    // Lines before the first header belong to a section without a name, which no look-up of a
    // named section reaches.
    // (Pointers to the table's entries outlive its growth; its iterators do not.)
    Lines* current = &sections.try_emplace(std::u16string_view(), Lines{0, 0}).first->second;
    bool inFirst = true;  // lines after a repeated header belong to a section never searched
    std::size_t start = 0;
    while (start < all.size()) {
        // Any run of CR and LF ends a line.
        std::size_t end = start;
        while (end < all.size() && all[end] != u'\r' && all[end] != u'\n') {
            ++end;
        }
        const std::u16string_view line = Trimmed(all.substr(start, end - start));
        start = end + 1;
        if (line.empty()) {
            continue;
        }
        // A header runs from '[' to the line's last ']'; a '[' without one starts a key line.
        const std::size_t close =
            line.front() == u'[' ? line.rfind(u']') : std::u16string_view::npos;
        if (close != std::u16string_view::npos && close > 0) {
            const std::u16string_view name = Trimmed(UpToNul(line.substr(1, close - 1)));
            const auto [section, isNew] = sections.try_emplace(name, Lines{lines.size(), 0});
            current = &section->second;
            inFirst = isNew;
            if (!name.empty()) {
                sectionOrder.push_back(HostTextOfUnits(name));
            }
            continue;
        }
        if (!inFirst) {
            continue;
        }
        // The key runs to the first '='; a line without one is a key without a value.
        const std::size_t equals = line.find(u'=');
        const bool hasValue = equals != std::u16string_view::npos;
        const std::u16string_view key = UpToNul(TrimmedBack(line.substr(0, equals)));
        const std::u16string_view value =
            hasValue ? UpToNul(TrimmedFront(line.substr(equals + 1))) : std::u16string_view();
        // A section's lines are the ones after its header: they stay together.
        lines.push_back({key, value, hasValue});
        ++current->count;
    }
}

ProfileFile::ProfileFile() = default;
ProfileFile::~ProfileFile() = default;

bool ProfileFile::Load(const char* hostPath) {
    contents_.reset();
    std::string bytes;
    if (hostPath == nullptr || !ReadWholeFile(hostPath, bytes)) {
        return false;
    }
    contents_ = std::make_unique<Contents>();
    contents_->text = DecodedText(bytes);
    contents_->Parse();
    return true;
}

void ProfileFile::ReadValue(const char* section, const char* key, char* buffer,
                            std::size_t capacity) const {
    const std::u16string wantedSection = UnitsOfHostText(section);
    const auto found = contents_->sections.find(Trimmed(wantedSection));
    if (found == contents_->sections.end()) {
        return;
    }
    // The first occurrence of the key counts, with or without a value.
    const std::u16string wantedKey = UnitsOfHostText(key);
    const std::u16string_view keyName = Trimmed(wantedKey);
    const Contents::Line* line = contents_->lines.data() + found->second.first;
    for (std::size_t i = 0; i < found->second.count; ++i, ++line) {
        if (!Contents::EqualFolded(line->key, keyName)) {
            continue;
        }
        if (!line->hasValue) {
            return;
        }
        // A value enclosed in one pair of like quotes is handed out without them. The opening
        // quote is dropped before the value is cut to the buffer, and the closing one after,
        // only when the buffer could hold the rest whole: so the host platform does it.
        std::u16string_view value = line->value;
        const bool quoted = value.size() > 1 && (value.front() == u'"' || value.front() == u'\'') &&
                            value.back() == value.front();
        if (quoted) {
            value.remove_prefix(1);
        }
        std::size_t length = std::min(value.size(), capacity - 1);
        if (quoted && capacity >= value.size() && length > 0) {
            --length;
        }
        const std::string text = HostTextOfUnits(value.substr(0, length));
        std::memcpy(buffer, text.data(), text.size());
        buffer[text.size()] = '\0';
        return;
    }
}

std::vector<std::string> ProfileFile::SectionNames() const {
    return contents_ == nullptr ? std::vector<std::string>() : contents_->sectionOrder;
}

}  // namespace halvern::platform
