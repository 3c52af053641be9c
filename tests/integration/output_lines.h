#pragma once

// Checks of a tool's printed output: whether some line holds given pieces in order.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace halvern::testing {

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// Whether some line holds all the pieces, in order.
inline bool SomeLineHolds(const std::vector<std::string>& lines,
                          const std::vector<std::string>& pieces) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
        std::size_t at = 0;
        for (const std::string& piece : pieces) {
            at = line.find(piece, at);
            if (at == std::string::npos) {
                return false;
            }
            at += piece.size();
        }
        return true;
    });
}

inline void ExpectLines(const std::string& output,
                        const std::vector<std::vector<std::string>>& facts,
                        const std::string& label) {
    const std::vector<std::string> lines = Lines(output);
    for (const auto& pieces : facts) {
        std::string joined;
        for (const std::string& piece : pieces) {
            joined += "[" + piece + "]";
        }
        EXPECT_TRUE(SomeLineHolds(lines, pieces)) << label << ": no line holds " << joined;
    }
}

}  // namespace halvern::testing
