#include "module/module_fixture.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "geo/position_conversion.h"
#include "scenery/scenery_file_writer.h"

namespace halvern::testing {

namespace desk = platform::desktop;

std::vector<ModuleFixture::HostMessage> ModuleFixture::hostMessages;

void ModuleFixture::SetUp() {
    desk::Reset();
    desk::SetRegistryFilePath(dir.File("registry"));
    hostMessages.clear();
    simulatorDir = dir.File("Sim");
    std::filesystem::create_directories(simulatorDir);
    services.SetAircraftPosition(PositionFromDegrees(47.0, 8.0));
}

void ModuleFixture::TearDown() {
    StopModule();
    module.Unload();
    desk::Reset();
}

void ModuleFixture::WriteWorld(int files, int airportsPerFile,
                               const std::filesystem::path& elsewhere) {
    const std::filesystem::path addon =
        elsewhere.empty() ? std::filesystem::path(simulatorDir) / "Addon" : elsewhere;
    const std::filesystem::path area = addon / "scenery";
    std::filesystem::create_directories(area);
    int number = 0;
    for (int f = 0; f < files; ++f) {
        scenery::SceneryFileWriter writer;
        for (int a = 0; a < airportsPerFile; ++a, ++number) {
            char code[8];
            std::snprintf(code, sizeof code, "T%03d", number % 1000);
            writer.Add(scenery::MakeAirport("Test Field " + std::to_string(number), code,
                                            47.0 + 0.1 * (number % 10), 8.0 + 0.1 * (number / 10),
                                            400.0));
        }
        char name[32];
        std::snprintf(name, sizeof name, "F%04d.bgl", f);
        ASSERT_TRUE(scenery::WriteBytes((area / name).string(), writer.Build()));
    }
    std::ofstream config(std::filesystem::path(simulatorDir) / "scenery.cfg");
    std::string local = elsewhere.empty() ? std::string("Addon") : addon.string();
    std::replace(local.begin(), local.end(), '/', '\\');
    config << "[Area.001]\nTitle=Test\nLocal=" << local << "\nActive=TRUE\n";
}

void ModuleFixture::StartModule(const std::vector<std::uint32_t>& withheld) {
    std::string error;
    ASSERT_TRUE(module.Install(HALVERN_MODULE_FILE, simulatorDir, error)) << error;
    for (std::uint32_t id : withheld) {
        module.Withhold(id);
    }
    module.Start();
}

void ModuleFixture::StopModule() {
    module.Stop();
}

void ModuleFixture::CreateMainWindow(bool focus) {
    mainWindow = desk::CreateTopLevelWindow("Simulator", &HostProc);
    menuBar = desk::CreateMenuBar();
    const platform::MenuHandle file = platform::CreatePopupMenuHandle();
    desk::AppendMenuItem(file, "E&xit", 100);
    desk::AppendMenuItem(menuBar, "&File", 0, file);
    desk::SetWindowMenuBar(mainWindow, menuBar);
    if (focus) {
        desk::SetFocusWindow(mainWindow);
    }
}

void ModuleFixture::PressF12(bool shift, bool control, bool alt) {
    desk::SetKeyDown(platform::kVkShift, shift);
    desk::SetKeyDown(platform::kVkControl, control);
    desk::SetKeyDown(platform::kVkMenu, alt);
    Send(platform::kWmKeyDown, platform::kVkF12, 1);
    desk::SetKeyDown(platform::kVkShift, false);
    desk::SetKeyDown(platform::kVkControl, false);
    desk::SetKeyDown(platform::kVkMenu, false);
}

std::vector<std::string> ModuleFixture::ItemTexts(platform::MenuHandle menu) {
    std::vector<std::string> texts;
    for (int i = 0; i < platform::GetMenuItemCount(menu); ++i) {
        platform::MenuItem item;
        if (platform::GetMenuItemByPosition(menu, i, item)) {
            texts.push_back(item.type == platform::kMftSeparator ? "-" : item.text);
        }
    }
    return texts;
}

platform::MenuHandle ModuleFixture::Submenu(platform::MenuHandle menu, const std::string& text) {
    for (int i = 0; i < platform::GetMenuItemCount(menu); ++i) {
        platform::MenuItem item;
        if (platform::GetMenuItemByPosition(menu, i, item) && text == item.text) {
            return item.submenu;
        }
    }
    return nullptr;
}

platform::MenuHandle ModuleFixture::ModuleMenu() const {
    return Submenu(Submenu(menuBar, "&Modules"), "&Halvern");
}

bool ModuleFixture::ShowAirportsChecked() const {
    const platform::MenuHandle menu = ModuleMenu();
    for (int i = 0; i < platform::GetMenuItemCount(menu); ++i) {
        platform::MenuItem item;
        if (platform::GetMenuItemByPosition(menu, i, item) && item.id == 17922) {
            return (item.state & platform::kMfsChecked) != 0;
        }
    }
    return false;
}

platform::LResult HALVERN_HOSTCALL ModuleFixture::HostProc(platform::WindowHandle,
                                                           std::uint32_t message,
                                                           platform::WParam wParam,
                                                           platform::LParam) {
    hostMessages.push_back({message, wParam});
    return 7;  // distinguishable from the module's own 0
}

}  // namespace halvern::testing
