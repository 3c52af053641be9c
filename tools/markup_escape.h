#pragma once

// Text put into HTML or SVG markup, with the characters that markup reads escaped, for the
// pages and pictures the tools write.

#include <string>
#include <string_view>

namespace halvern::tool {

inline std::string MarkupEscaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace halvern::tool
