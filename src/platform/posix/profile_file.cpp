#include "platform/profile_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/file_access.h"
#include "platform/posix/host_path.h"
#include "support/ascii_case.h"

namespace halvern::platform {

// The whole file is parsed once at Load into views of its text: a table of its sections, each
// the run of its key lines in file order. Nothing is copied per line, and a look-up folds no
// text: on a scenery.cfg of a few hundred areas, parsing was a third of a warm start when every
// name was a string of its own, folded and hashed into nested tables.
struct ProfileFile::Contents {
    struct Line {
        std::string_view key;
        std::string_view value;
    };
    struct Lines {
        std::size_t first;
        std::size_t count;
    };
    // Section names compare and hash with their ASCII letter case folded.
    struct FoldedHash {
        std::size_t operator()(std::string_view name) const {
            std::size_t hash = 14695981039346656037u;  // FNV-1a
            for (const char c : name) {
                hash = (hash ^ static_cast<unsigned char>(FoldAsciiCase(c))) * 1099511628211u;
            }
            return hash;
        }
    };
    struct FoldedEqual {
        bool operator()(std::string_view a, std::string_view b) const {
            return EqualIgnoringAsciiCase(a, b);
        }
    };

    std::string text;  // what the views point into
    std::vector<Line> lines;
    std::unordered_map<std::string_view, Lines, FoldedHash, FoldedEqual> sections;
    std::vector<std::string> sectionOrder;  // as spelled at their first occurrence

    void Parse();
};

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The host platform hands out a value enclosed in a pair of like quotes without them.
std::string_view Unquoted(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

bool ReadWholeFile(const char* hostPath, std::string& text) {
    const HostStream stream = OpenHostFile(hostPath, "rb");
    if (!stream) {
        return false;
    }
    char chunk[4096];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, stream.get());
        text.append(chunk, got);
        if (got < sizeof chunk) {
            break;
        }
    }
    // A directory opens as a stream here but cannot be read.
    return std::ferror(stream.get()) == 0;
}

// The text as the host platform's profile functions read it: a UTF-8 byte-order mark is
// skipped, and a file that starts with the UTF-16 little-endian mark is read as UTF-16, each
// character narrowed to one byte (characters beyond 255 become '?', as in a code page that
// lacks them).
std::string NarrowedText(const std::string& bytes) {
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        return bytes.substr(3);
    }
    if (bytes.size() < 2 || bytes.compare(0, 2, "\xFF\xFE") != 0) {
        return bytes;
    }
    std::string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const unsigned unit =
            static_cast<unsigned char>(bytes[i]) |
            (static_cast<unsigned>(static_cast<unsigned char>(bytes[i + 1])) << 8);
        text += unit < 0x100 ? static_cast<char>(unit) : '?';
    }
    return text;
}

}  // namespace

void ProfileFile::Contents::Parse() {
    const std::string_view all(text);
    // The section being read; none before the first section header and within a repeated
    // section, whose lines the host platform never reaches.
    Lines* current = nullptr;
    std::size_t start = 0;
    while (start < all.size()) {
        // CR, LF and CR LF all end a line; the empty lines this leaves are skipped.
        std::size_t end = start;
        while (end < all.size() && all[end] != '\r' && all[end] != '\n') {
            ++end;
        }
        const std::string_view line = Trimmed(all.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            if (close != std::string_view::npos) {
                const std::string_view name = Trimmed(line.substr(1, close - 1));
                const auto [section, isNew] = sections.try_emplace(name, Lines{lines.size(), 0});
                current = isNew ? &section->second : nullptr;
                if (isNew) {
                    sectionOrder.emplace_back(name);
                }
                continue;
            }
        }
        const std::size_t equals = line.find('=');
        if (current == nullptr || equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = Trimmed(line.substr(0, equals));
        if (!key.empty()) {
            // A section's lines are the ones after its header: they stay together.
            lines.push_back({key, Unquoted(Trimmed(line.substr(equals + 1)))});
            ++current->count;
        }
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
    contents_->text = NarrowedText(bytes);
    contents_->Parse();
    return true;
}

void ProfileFile::ReadValue(const char* section, const char* key, char* buffer,
                            std::size_t capacity) const {
    const auto found = contents_->sections.find(section);
    if (found == contents_->sections.end()) {
        return;
    }
    // The first occurrence of the key counts.
    const std::string_view wanted(key);
    const Contents::Line* line = contents_->lines.data() + found->second.first;
    for (std::size_t i = 0; i < found->second.count; ++i, ++line) {
        if (EqualIgnoringAsciiCase(line->key, wanted)) {
            const std::size_t length = std::min(line->value.size(), capacity - 1);
            std::memcpy(buffer, line->value.data(), length);
            buffer[length] = '\0';
            return;
        }
    }
}

std::vector<std::string> ProfileFile::SectionNames() const {
    return contents_ == nullptr ? std::vector<std::string>() : contents_->sectionOrder;
}

}  // namespace halvern::platform
