// The module file's name from an instance handle, and the shell, on the portable desktop.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "fixtures/temp_dir.h"
#include "platform/desktop.h"
#include "platform/desktop/desktop_fixture.h"
#include "platform/posix/desktop/portable_desktop.h"

namespace halvern {
namespace {

namespace desktop = platform::desktop;
using platform::InstanceHandle;
using testing::DesktopTest;

std::string HostForm(std::string path) {
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

std::string ModuleFilePath(InstanceHandle instance, std::uint32_t capacity = 261) {
    std::string path(capacity, 'x');
    const std::uint32_t length = platform::GetModuleFilePath(instance, path.data(), capacity);
    EXPECT_EQ(path.find('\0'), length);  // terminated right after the characters counted
    return path.substr(0, length);
}

int inThisProgram = 0;

class DesktopModuleFile : public DesktopTest {};

TEST_F(DesktopModuleFile, AnInstanceIsTheModuleThatHoldsTheAddressAndNamesItsFile) {
    const std::string program = HostForm(std::filesystem::read_symlink("/proc/self/exe").string());
    const InstanceHandle self = platform::InstanceOfAddress(&inThisProgram);
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(ModuleFilePath(self), program);
    EXPECT_EQ(ModuleFilePath(nullptr), program);  // no instance: the program itself

    // The desktop is a library of its own, with an instance and a file of its own: a window's
    // default procedure is one of its addresses.
    const platform::WindowProc inLibrary =
        platform::GetWindowProcedure(desktop::CreateTopLevelWindow("Host", nullptr));
    const InstanceHandle library =
        platform::InstanceOfAddress(reinterpret_cast<const void*>(inLibrary));
    ASSERT_NE(library, nullptr);
    EXPECT_NE(library, self);
    const std::string libraryPath = ModuleFilePath(library);
    EXPECT_EQ(libraryPath.front(), '\\');
    EXPECT_EQ(libraryPath.find('/'), std::string::npos);
    EXPECT_TRUE(libraryPath.ends_with("\\libhalvern_desktop.so")) << libraryPath;
}

TEST_F(DesktopModuleFile, APathLongerThanTheBufferIsCutAndTerminated) {
    const InstanceHandle self = platform::InstanceOfAddress(&inThisProgram);
    const std::string whole = ModuleFilePath(self);
    ASSERT_GT(whole.size(), 5u);
    EXPECT_EQ(ModuleFilePath(self, 6), whole.substr(0, 5));
    EXPECT_EQ(ModuleFilePath(self, 1), "");
    char untouched = 'u';
    EXPECT_EQ(platform::GetModuleFilePath(self, &untouched, 0), 0u);
    EXPECT_EQ(untouched, 'u');
}

TEST_F(DesktopModuleFile, AnAddressOutsideEveryModuleHasNoInstanceAndNoFile) {
    int onTheStack = 0;
    EXPECT_EQ(platform::InstanceOfAddress(&onTheStack), nullptr);
    EXPECT_EQ(platform::InstanceOfAddress(nullptr), nullptr);
    // An address inside a module that is not the module's start is no instance.
    const auto inside = reinterpret_cast<InstanceHandle>(
        reinterpret_cast<std::uintptr_t>(platform::InstanceOfAddress(&inThisProgram)) + 16);
    EXPECT_EQ(ModuleFilePath(&onTheStack), "");
    EXPECT_EQ(ModuleFilePath(inside), "");
}

TEST_F(DesktopModuleFile, AFileNamedForAnInstanceIsItsFileUntilTheReset) {
    const InstanceHandle self = platform::InstanceOfAddress(&inThisProgram);
    const std::string program = ModuleFilePath(self);
    const InstanceHandle library =
        platform::InstanceOfAddress(reinterpret_cast<const void*>(&desktop::SetModuleFilePath));
    const std::string libraryPath = ModuleFilePath(library);

    desktop::SetModuleFilePath(self, "/sim/Modules/halvern.so");
    EXPECT_EQ(ModuleFilePath(self), "\\sim\\Modules\\halvern.so");
    EXPECT_EQ(ModuleFilePath(library), libraryPath);  // other instances keep their files
    desktop::Reset();
    EXPECT_EQ(ModuleFilePath(self), program);
}

TEST_F(DesktopModuleFile, TheShellOpensExistingFilesOnlyAndRecordsEveryRequest) {
    testing::TempDir dir;
    std::ofstream(dir.File("Halvern Homepage.url")) << "[InternetShortcut]\n";
    const platform::WindowHandle main = desktop::CreateTopLevelWindow("Host", nullptr);
    const std::string present = HostForm(dir.File("Halvern Homepage.url"));
    const std::string missing = HostForm(dir.File("Tavrel Software.url"));

    EXPECT_GT(platform::OpenWithShell(main, present.c_str()), 32);
    EXPECT_EQ(platform::OpenWithShell(main, missing.c_str()), 2);
    EXPECT_EQ(platform::OpenWithShell(nullptr, nullptr), 2);

    const std::vector<desktop::ShellRequest> log = desktop::ShellLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].owner, main);
    EXPECT_EQ(log[0].path, present);
    EXPECT_EQ(log[0].result, 42);
    EXPECT_EQ(log[1].path, missing);
    EXPECT_EQ(log[1].result, 2);
    EXPECT_EQ(log[2].owner, nullptr);
    EXPECT_EQ(log[2].path, "");
}

}  // namespace
}  // namespace halvern
