#include "platform/profile_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/ascii_case.h"
#include "platform/file_access.h"
#include "platform/posix/host_path.h"

namespace halvern::platform {

// The whole file is parsed once at Load; names are kept folded to lower case.
struct ProfileFile::Contents {
    using Values = std::unordered_map<std::string, std::string>;
    std::unordered_map<std::string, Values> sections;
    std::vector<std::string> sectionOrder;  // as spelled at their first occurrence

    void Parse(std::string_view text);
};

namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
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

void ProfileFile::Contents::Parse(std::string_view text) {
    // The values of the section being read; none before the first section header and within a
    // repeated section, whose lines the host platform never reaches.
    Values* current = nullptr;
    std::size_t start = 0;
    while (start <= text.size()) {
        // CR, LF and CR LF all end a line; the empty lines this leaves are skipped.
        const std::size_t end = text.find_first_of("\r\n", start);
        const std::string_view line =
            Trimmed(text.substr(start, end == std::string_view::npos ? end : end - start));
        start = end == std::string_view::npos ? text.size() + 1 : end + 1;
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            if (close != std::string_view::npos) {
                const std::string_view name = Trimmed(line.substr(1, close - 1));
                const auto [section, isNew] = sections.try_emplace(FoldedAscii(name));
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
            // try_emplace leaves an earlier occurrence of the key in place.
            current->try_emplace(FoldedAscii(key), Unquoted(Trimmed(line.substr(equals + 1))));
        }
    }
}

ProfileFile::ProfileFile() = default;
ProfileFile::~ProfileFile() = default;

bool ProfileFile::Load(const char* hostPath) {
    contents_.reset();
    std::string text;
    if (hostPath == nullptr || !ReadWholeFile(hostPath, text)) {
        return false;
    }
    contents_ = std::make_unique<Contents>();
    contents_->Parse(NarrowedText(text));
    return true;
}

void ProfileFile::ReadValue(const char* section, const char* key, char* buffer,
                            std::size_t capacity) const {
    const auto values = contents_->sections.find(FoldedAscii(section));
    if (values == contents_->sections.end()) {
        return;
    }
    const auto value = values->second.find(FoldedAscii(key));
    if (value == values->second.end()) {
        return;
    }
    const std::size_t length = std::min(value->second.size(), capacity - 1);
    std::memcpy(buffer, value->second.data(), length);
    buffer[length] = '\0';
}

std::vector<std::string> ProfileFile::SectionNames() const {
    return contents_ == nullptr ? std::vector<std::string>() : contents_->sectionOrder;
}

}  // namespace halvern::platform
