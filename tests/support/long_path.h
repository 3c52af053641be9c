#pragma once

// Directories whose paths have an exact length, for tests of paths at the host's limits.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace halvern::testing {

// Creates a directory below `base` whose path, in the operating system's form and without a
// trailing separator, is exactly `length` characters long, and returns it.
inline std::filesystem::path DirectoryOfLength(const std::filesystem::path& base,
                                               std::size_t length) {
    std::string path = base.string();
    EXPECT_LT(path.size() + 2, length) << "the base directory is already too long";
    while (path.size() + 1 < length) {
        // Components of at most 100 characters; no separator is left without a character
        // after it.
        std::size_t component = std::min<std::size_t>(100, length - path.size() - 1);
        if (length - path.size() - 1 - component == 1) {
            --component;
        }
        path += '/' + std::string(component, 'd');
    }
    std::filesystem::create_directories(path);
    return path;
}

}  // namespace halvern::testing
