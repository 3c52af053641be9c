// The module installed in simulator directories as deep as the platform's paths reach: the
// module file's path at the host's limit of 260 characters, beyond it with the simulator
// directory still within it, and with the simulator directory itself beyond it. The scenery
// lies in a short folder of its own, which only the module's own paths could push beyond the
// limit.

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fixtures/long_path.h"
#include "module/module_fixture.h"

namespace halvern::testing {
namespace {

namespace desk = platform::desktop;
namespace fs = std::filesystem;

constexpr const char* kCacheName = "HalvernCache.dat";

class ModuleLongPaths : public ModuleFixture {
  protected:
    // Moves the simulator directory so that the installed module file's path (SIMDIR, then
    // "/Modules/" and the file's name) is exactly `length` characters long.
    void UseModulePathOfLength(std::size_t length) {
        const std::size_t tail = std::string("/Modules/").size() +
                                 fs::path(HALVERN_MODULE_FILE).filename().string().size();
        simulatorDir = DirectoryOfLength(dir.path() / "deep", length - tail).string();
    }

    // Every cache file below the test's directory and in the current directory.
    std::vector<fs::path> CacheFiles() const {
        std::vector<fs::path> found;
        for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
            if (entry.path().filename() == kCacheName) {
                found.push_back(entry.path());
            }
        }
        if (fs::exists(kCacheName)) {
            found.push_back(fs::current_path() / kCacheName);
        }
        return found;
    }

    std::string AboutText() {
        Send(platform::kWmCommand, 17921);
        const auto boxes = desk::MessageBoxLog();
        return boxes.empty() ? std::string() : boxes.back().text;
    }
};

TEST_F(ModuleLongPaths, AModuleFileAtThe260CharacterLimitFindsItsSimulatorDirectory) {
    UseModulePathOfLength(260);
    WriteWorld(1, 3, dir.path() / "area");
    StartModule();
    EXPECT_EQ(CacheFiles(), std::vector<fs::path>{fs::path(simulatorDir) / kCacheName});
    CreateMainWindow();
    Event();
    EXPECT_NE(AboutText().find("Airports in the database: 3"), std::string::npos);

    // The simulator directory has 242 characters with its separator, so the two link paths
    // (262 and 261 characters) do not fit the host's path buffer: they stay empty and the shell
    // is never handed a cut path.
    Send(platform::kWmCommand, 17928);
    Send(platform::kWmCommand, 17936);
    const auto requests = desk::ShellLog();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].path, "");
    EXPECT_EQ(requests[1].path, "");
    EXPECT_EQ(desk::MessageBoxLog().back().text, "Unable to launch the webbrowser");
}

TEST_F(ModuleLongPaths, AModuleFilePathBeyondTheLimitStillFindsASimulatorDirectoryWithinIt) {
    // 266 characters: the simulator directory takes 248 of them with its separator, and its
    // scenery.cfg 259. The cache file's path (264 characters) is beyond the limit: no cache is
    // written, and every start extracts, as on the host platform.
    UseModulePathOfLength(266);
    WriteWorld(1, 2, dir.path() / "area");
    StartModule();
    EXPECT_EQ(CacheFiles(), std::vector<fs::path>{});
    CreateMainWindow();
    Event();
    EXPECT_NE(AboutText().find("Airports in the database: 2"), std::string::npos);
}

TEST_F(ModuleLongPaths, ASimulatorDirectoryBeyondTheLimitIsNeverCutIntoAnotherOne) {
    // The simulator directory alone is longer than the host's path buffer: cutting it would
    // name one of its parents. The module runs without a database and writes no cache file
    // anywhere.
    for (std::size_t length : {std::size_t{281}, std::size_t{300}, std::size_t{1200}}) {
        desk::Reset();
        desk::SetRegistryFilePath(dir.File("registry"));
        UseModulePathOfLength(length);
        WriteWorld(1, 2);
        // A world in each parent directory, where a cut simulator directory would lead.
        for (fs::path parent = fs::path(simulatorDir).parent_path(); parent != dir.path();
             parent = parent.parent_path()) {
            std::ofstream(parent / "scenery.cfg") << "[Area.001]\nLocal=Addon\nActive=TRUE\n";
        }
        StartModule();
        EXPECT_EQ(CacheFiles(), std::vector<fs::path>{}) << length;
        CreateMainWindow();
        Event();
        EXPECT_NE(AboutText().find("Airports in the database: 0"), std::string::npos) << length;
        StopModule();
        module.Unload();
    }
}

}  // namespace
}  // namespace halvern::testing
