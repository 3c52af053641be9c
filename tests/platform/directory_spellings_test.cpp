// The spellings under which the module may know a directory typed on a command line.

#include "platform/directory_spellings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "fixtures/temp_dir.h"

namespace halvern {
namespace {

namespace fs = std::filesystem;

std::string HostForm(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path + (path.back() == '\\' ? "" : "\\");
}

TEST(DirectorySpellings, StoredCaseFirstThenAsTypedResolvedAndWinesDrives) {
    testing::TempDir dir;
    // No prefix of the user's own takes part (each test runs in a process of its own).
    ::setenv("HOME", dir.path().c_str(), 1);
    ::unsetenv("WINEPREFIX");
    // A Wine prefix whose C: is its drive_c, with the simulator inside and reached by a link.
    const fs::path prefix = dir.path() / "prefix";
    const fs::path sim = prefix / "drive_c" / "Sim";
    fs::create_directories(sim);
    fs::create_directories(prefix / "dosdevices");
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
    fs::create_directory_symlink(sim, dir.path() / "Link");
    const std::string stored = HostForm(sim.string());
    const std::string drive = HostForm(dir.path().string()).substr(1);  // without the root

    struct Case {
        std::string typed;
        std::vector<std::string> spellings;
    };
    const Case cases[] = {
        {sim.string(),
         {stored, "Z:\\" + drive + "prefix\\drive_c\\Sim\\",
          "z:\\" + drive + "prefix\\drive_c\\Sim\\", "C:\\Sim\\", "c:\\Sim\\"}},
        // A module loaded through the spelling typed keeps it: its drive paths come too.
        {(prefix / "DRIVE_C" / ".//sim/").string(),
         {stored, HostForm((prefix / "DRIVE_C" / "sim").string()),
          "Z:\\" + drive + "prefix\\drive_c\\Sim\\", "z:\\" + drive + "prefix\\drive_c\\Sim\\",
          "C:\\Sim\\", "c:\\Sim\\", "Z:\\" + drive + "prefix\\DRIVE_C\\sim\\",
          "z:\\" + drive + "prefix\\DRIVE_C\\sim\\", "C:\\sim\\", "c:\\sim\\"}},
        {(dir.path() / "Link").string(),
         {HostForm((dir.path() / "Link").string()), stored,
          "Z:\\" + drive + "prefix\\drive_c\\Sim\\", "z:\\" + drive + "prefix\\drive_c\\Sim\\",
          "C:\\Sim\\", "c:\\Sim\\", "Z:\\" + drive + "Link\\", "z:\\" + drive + "Link\\"}},
        {(dir.path() / "absent").string(), {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::DirectorySpellings(c.typed), c.spellings) << c.typed;
    }
}

}  // namespace
}  // namespace halvern
