#pragma once

// Letter case as the host's file system, its initialisation files and its registry compare
// names: only the ASCII letters are folded, and every byte above 0x7F compares as it is (the
// names are in the ANSI code page, whose other letters the module does not interpret).

#include <cstddef>
#include <string>
#include <string_view>

namespace halvern {

constexpr char FoldAsciiCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string FoldedAscii(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        c = FoldAsciiCase(c);
    }
    return folded;
}

constexpr bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAsciiCase(a[i]) != FoldAsciiCase(b[i])) {
            return false;
        }
    }
    return true;
}

constexpr bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           EqualIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace halvern
