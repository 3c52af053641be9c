#include "platform/directory_identity.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "fixtures/temp_dir.h"

namespace halvern {
namespace {

namespace fs = std::filesystem;
using platform::DirectoryIdentity;

std::string HostForm(const fs::path& path) {
    std::string text = path.string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

TEST(DirectoryIdentity, EverySpellingOfADirectoryHasItsKeyAndNoOtherDirectoryHasIt) {
    testing::TempDir dir;
    fs::create_directories(dir.path() / "Addon" / "US");
    fs::create_directories(dir.path() / "Other");
    fs::create_directory_symlink(dir.path() / "Addon", dir.path() / "Link");
    // "$" stands for the temporary directory. A directory that exists is known by its identity
    // on the disk, a missing one by its spelling normalised.
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"$\\Addon\\US\\", "$\\Addon\\US", true},
        {"$\\Addon\\US\\", "$\\Addon\\\\US\\\\\\", true},
        {"$\\Addon\\US\\", "$\\.\\Addon\\.\\US\\.", true},
        {"$\\Addon\\US\\", "$/Addon/./US/", true},
        {"$\\Addon\\US\\", "$\\Other\\..\\Addon\\US\\", true},
        {"$\\Addon\\US\\", "$\\Link\\US\\", true},
        {"$\\Addon\\US\\", "$\\Other\\", false},
        {"$\\Addon\\US\\", "$\\Addon\\", false},
        {"C:\\Sim\\Gone\\scenery\\", "c:\\sim\\.\\GONE\\\\scenery\\", true},
        {"C:\\Sim\\Gone\\scenery\\", "C:/Sim//Gone/./scenery/", true},
        {".\\Gone\\", "Gone\\", true},
        {"C:\\Sim\\Gone\\", "C:\\Sim\\Gone2\\", false},
        {"C:\\Sim\\Gone\\", "C:\\Sim\\..\\Gone\\", false},  // ".." is not resolved by name
        {"\\Gone\\", "Gone\\", false},                      // rooted or not
    };
    const auto key = [&](std::string spelling) {
        if (spelling[0] == '$') {
            spelling.replace(0, 1, HostForm(dir.path()));
        }
        return DirectoryIdentity(spelling.c_str());
    };
    for (const auto& c : cases) {
        EXPECT_EQ(key(c.a) == key(c.b), c.same) << c.a << " " << c.b;
    }
}

}  // namespace
}  // namespace halvern
