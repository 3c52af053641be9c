#include "platform/directory_identity.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace halvern {
namespace {

namespace fs = std::filesystem;
using platform::DirectoryIdentity;

std::string HostForm(const fs::path& path) {
    std::string text = path.string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

TEST(DirectoryIdentity, EverySpellingOfADirectoryHasItsKeyAndOtherDirectoriesNot) {
    testing::TempDir dir;
    fs::create_directories(dir.path() / "Addon" / "US");
    fs::create_directories(dir.path() / "Other");
    fs::create_directory_symlink(dir.path() / "Addon", dir.path() / "Link");
    const std::string root = HostForm(dir.path());
    const std::string us = DirectoryIdentity((root + "\\Addon\\US\\").c_str());
    for (const std::string& spelling :
         {root + "\\Addon\\US", root + "\\Addon\\\\US\\\\\\", root + "\\.\\Addon\\.\\US\\.",
          root + "/Addon/./US/", root + "\\Other\\..\\Addon\\US\\", root + "\\Link\\US\\"}) {
        EXPECT_EQ(DirectoryIdentity(spelling.c_str()), us) << spelling;
    }
    EXPECT_NE(DirectoryIdentity((root + "\\Other\\").c_str()), us);
    EXPECT_NE(DirectoryIdentity((root + "\\Addon\\").c_str()), us);
}

TEST(DirectoryIdentity, AMissingDirectoryIsKeyedByItsNormalisedSpelling) {
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"C:\\Sim\\Gone\\scenery\\", "c:\\sim\\.\\GONE\\\\scenery\\", true},
        {"C:\\Sim\\Gone\\scenery\\", "C:/Sim//Gone/./scenery/", true},
        {".\\Gone\\", "Gone\\", true},
        {"C:\\Sim\\Gone\\", "C:\\Sim\\Gone2\\", false},
        {"C:\\Sim\\Gone\\", "C:\\Sim\\..\\Gone\\", false},  // ".." is not resolved by name
        {"\\Gone\\", "Gone\\", false},                      // rooted or not
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DirectoryIdentity(c.a) == DirectoryIdentity(c.b), c.same) << c.a << " " << c.b;
    }
}

}  // namespace
}  // namespace halvern
