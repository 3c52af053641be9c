#include "platform/profile_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/file_access.h"
#include "support/profile_text.h"

namespace halvern::platform {

// The text as the host platform's profile functions read it (support/profile_text.h), with a
// table of the first section of each name. Parsed once at Load into views of the text: nothing
// is copied per line, and a look-up folds no text: on a scenery.cfg of a few hundred areas,
// parsing was a third of a warm start when every name was a string of its own, folded and
// hashed into nested tables.
struct ProfileFile::Contents {
    // Names hash with their ASCII letter case folded, as the host compares them.
    struct FoldedHash {
        std::size_t operator()(std::u16string_view name) const {
            std::size_t hash = 14695981039346656037u;  // FNV-1a
            for (const char16_t c : name) {
                const char16_t folded =
                    c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
                hash = (hash ^ folded) * 1099511628211u;
            }
            return hash;
        }
    };
    struct FoldedEqual {
        bool operator()(std::u16string_view a, std::u16string_view b) const {
            return ProfileText::SameName(a, b);
        }
    };

    explicit Contents(std::string_view bytes) : text(bytes) {
        for (const ProfileSection& section : text.Sections()) {
            // The first section of a name is the one the host reads.
            sections.try_emplace(section.name, &section);
        }
    }

    ProfileText text;
    std::unordered_map<std::u16string_view, const ProfileSection*, FoldedHash, FoldedEqual>
        sections;
};

namespace {

// A name asked for, as the host compares it: trimmed of blanks.
std::u16string_view TrimmedName(const std::u16string& name) {
    const auto blank = [](char16_t c) {
        return (c >= 0x09 && c <= 0x0D) || c == u' ' || c == 0x1A;
    };
    std::u16string_view view(name);
    while (!view.empty() && blank(view.front())) {
        view.remove_prefix(1);
    }
    while (!view.empty() && blank(view.back())) {
        view.remove_suffix(1);
    }
    return view;
}

}  // namespace

ProfileFile::ProfileFile() = default;
ProfileFile::~ProfileFile() = default;

bool ProfileFile::Load(const char* hostPath) {
    contents_.reset();
    std::string bytes;
    if (hostPath == nullptr || !ReadHostFile(hostPath, bytes)) {
        return false;
    }
    contents_ = std::make_unique<Contents>(bytes);
    return true;
}

void ProfileFile::ReadValue(const char* section, const char* key, char* buffer,
                            std::size_t capacity) const {
    const std::u16string wantedSection = ProfileText::UnitsOfHostText(section);
    const auto found = contents_->sections.find(TrimmedName(wantedSection));
    if (found == contents_->sections.end()) {
        return;
    }
    // The first occurrence of the key counts, with or without a value.
    const std::u16string wantedKey = ProfileText::UnitsOfHostText(key);
    const std::u16string_view keyName = TrimmedName(wantedKey);
    const ProfileSection& lines = *found->second;
    for (std::size_t i = 0; i < lines.lineCount; ++i) {
        const ProfileLine& line = contents_->text.Lines()[lines.firstLine + i];
        if (!ProfileText::SameName(line.key, keyName)) {
            continue;
        }
        // A key without a value reads as missing; the first occurrence counts either way.
        const std::string text = ProfileText::ValueAsRead(line, capacity);
        std::memcpy(buffer, text.data(), text.size());
        buffer[text.size()] = '\0';
        return;
    }
}

}  // namespace halvern::platform
