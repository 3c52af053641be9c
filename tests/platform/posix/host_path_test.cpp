// Host paths on a disk that compares names exactly: each folder or file that does not exist as
// spelled is found without regard to letter case, as the host platform finds it, and a
// NameLookupScope finds the same path as a lookup without one, whatever it has remembered.

#include "platform/posix/host_path.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fixtures/temp_dir.h"
#include "platform/file_access.h"
#include "platform/name_lookup_scope.h"
#include "platform/native_path.h"

namespace halvern::platform {
namespace {

namespace fs = std::filesystem;

// The native path on which a stat of the host path succeeds, or "" when none does.
std::string Found(const std::string& hostPath) {
    std::string found;
    WithNativePath(hostPath.c_str(), [&found](const char* native) {
        struct stat info {};
        if (::stat(native, &info) != 0) {
            return false;
        }
        found = native;
        return true;
    });
    return found;
}

class HostPathTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fs::canonical(temp.path());
        for (const char* file :
             {"Addon Scenery/Area1/Scenery/a.bgl", "Addon Scenery/Area2/scenery/b.bgl",
              "Addon Scenery/Twin/Scenery/t.bgl", "Addon Scenery/TWIN/Scenery/T.bgl",
              "Addon Scenery/LINK/f.bgl"}) {
            fs::create_directories((root / file).parent_path());
            std::ofstream(root / file) << "x";
        }
        // A dangling link with the exact name, beside a folder that differs only in case.
        fs::create_symlink(root / "nowhere", root / "Addon Scenery" / "Link");
    }

    std::string Host(const std::string& relative) const {
        return HostPathFromNative(root.string()) + '\\' + relative;
    }

    // The file or folder that a path found names ("" for none), without "." and ".." steps.
    std::string Named(const std::string& found) const {
        return found.empty() ? "" : fs::canonical(found).lexically_relative(root).string();
    }

    testing::TempDir temp;
    fs::path root;
};

TEST_F(HostPathTest, FindsTheSamePathWithAndWithoutWhatAScopeRemembers) {
    struct Case {
        const char* host;
        std::string named;  // below the root; "" where nothing is found
    };
    // Of two folders that differ only in case, the host platform opens the first the directory
    // itself gives (as Wine does), not the first it would list.
    std::string twin;
    for (const auto& entry : fs::directory_iterator(root / "Addon Scenery")) {
        const std::string name = entry.path().filename().string();
        if (twin.empty() && (name == "Twin" || name == "TWIN")) {
            twin = "Addon Scenery/" + name + "/Scenery/" + (name == "Twin" ? "t.bgl" : "T.bgl");
        }
    }
    const Case cases[] = {
        {"Addon Scenery\\Area1\\Scenery\\a.bgl", "Addon Scenery/Area1/Scenery/a.bgl"},
        {"aDDON sCENERY\\aREA1\\sCENERY\\A.BGL", "Addon Scenery/Area1/Scenery/a.bgl"},
        {"aDDON sCENERY\\aREA1\\sCENERY\\", "Addon Scenery/Area1/Scenery"},
        // As spelled below a folder found in another case.
        {"aDDON sCENERY\\aREA2\\scenery\\b.bgl", "Addon Scenery/Area2/scenery/b.bgl"},
        // Of two folders that differ only in case, the one spelled so, else the first read.
        {"Addon Scenery\\Twin\\Scenery\\t.bgl", "Addon Scenery/Twin/Scenery/t.bgl"},
        {"aDDON sCENERY\\Twin\\Scenery\\t.bgl", "Addon Scenery/Twin/Scenery/t.bgl"},
        {"aDDON sCENERY\\twin\\Scenery\\t.bgl", twin},
        // A dangling link spelled exactly does not exist: its twin in another case does.
        {"aDDON sCENERY\\Link\\F.BGL", "Addon Scenery/LINK/f.bgl"},
        {"aDDON sCENERY\\.\\aREA1\\..\\aREA2\\sCENERY\\b.bgl", "Addon Scenery/Area2/scenery/b.bgl"},
        {"aDDON sCENERY\\nOWHERE\\a.bgl", ""},
        {"aDDON sCENERY\\nOWHERE\\", ""},
        {"aDDON sCENERY\\aREA1\\sCENERY\\missing.bgl", ""},
        {"aDDON sCENERY\\aREA1\\sCENERY\\A.BGL\\a.bgl", ""},
    };
    const auto check = [&](const Case& c, const char* how) {
        EXPECT_EQ(Named(Found(Host(c.host))), c.named) << c.host << " " << how;
    };
    for (const Case& c : cases) {
        check(c, "without a scope");
        const NameLookupScope scope;
        check(c, "in a fresh scope");
        check(c, "again in that scope");
    }
    // One scope over all of them, forwards and backwards, after each was looked for once.
    const NameLookupScope scope;
    for (const Case& c : cases) {
        check(c, "in one scope");
    }
    for (auto c = std::rbegin(cases); c != std::rend(cases); ++c) {
        check(*c, "in one scope, backwards");
    }
}

TEST_F(HostPathTest, AFileCreatedWithinAScopeIsFoundInAnyCase) {
    const NameLookupScope scope;
    EXPECT_EQ(Named(Found(Host("aDDON sCENERY\\aREA1\\sCENERY\\A.BGL"))),
              "Addon Scenery/Area1/Scenery/a.bgl");
    EXPECT_EQ(Found(Host("aDDON sCENERY\\aREA1\\sCENERY\\New.bgl")), "");
    // Created in the folder as found, under the name as spelled.
    ASSERT_NE(OpenHostFile(Host("AddOn Scenery\\AREA1\\scenery\\New.bgl").c_str(), "wb"), nullptr);
    EXPECT_TRUE(fs::exists(root / "Addon Scenery" / "Area1" / "Scenery" / "New.bgl"));
    EXPECT_EQ(Named(Found(Host("aDDON sCENERY\\aREA1\\sCENERY\\nEW.BGL"))),
              "Addon Scenery/Area1/Scenery/New.bgl");
}

}  // namespace
}  // namespace halvern::platform
