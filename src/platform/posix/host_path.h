#pragma once

// The module composes every path in the host's form, with backslash separators, so that path
// tests and the scenery fingerprint behave alike on every platform. Only when the operating
// system is called is each backslash turned back into a slash.

#include <cstddef>
#include <string>
#include <string_view>

namespace halvern::platform {

inline std::string NativePath(const char* hostPath) {
    std::string path(hostPath);
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    return path;
}

// The host platform compares file names, and the section and key names of initialisation files,
// without regard to letter case. Only ASCII letters are folded; other bytes compare as they are.
inline char FoldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string FoldedName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        c = FoldCase(c);
    }
    return folded;
}

inline bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) {
        return false;
    }
    const std::string_view tail = text.substr(text.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        if (FoldCase(tail[i]) != FoldCase(suffix[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace halvern::platform
