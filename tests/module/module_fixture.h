#pragma once

// A simulator around the real module file: a simulator directory with scenery, the module
// installed in its Modules folder and loaded as the simulator loads it, the simulator's services,
// and a main window with a menu bar of its own on the portable desktop.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/temp_dir.h"
#include "halvern-host/module_host.h"
#include "halvern-host/simulator_services.h"
#include "platform/desktop.h"
#include "platform/posix/desktop/portable_desktop.h"

namespace halvern::testing {

class ModuleFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes scenery.cfg with one area holding `files` scenery files of `airportsPerFile`
    // airports each (airports about 0.1 degree apart around 47 N 8 E): the area "Addon" of the
    // simulator directory, or the folder `elsewhere` named by its absolute path.
    void WriteWorld(int files, int airportsPerFile, const std::filesystem::path& elsewhere = {});

    // Installs and starts the module; withheld services keep address 0.
    void StartModule(const std::vector<std::uint32_t>& withheld = {});
    void StopModule();

    // The host's main window with a "&File" menu and focus; its procedure records messages.
    void CreateMainWindow(bool focus = true);
    void Event() { services.RaiseChainEvent(16); }
    platform::LResult Send(std::uint32_t message, platform::WParam wParam,
                           platform::LParam lParam = 0) {
        return platform::SendWindowMessage(mainWindow, message, wParam, lParam);
    }
    void NcPaint() { Send(platform::kWmNcPaint, 1); }
    void PressF12(bool shift, bool control, bool alt);

    // The texts of a menu's items ("-" for a separator), ampersands kept.
    static std::vector<std::string> ItemTexts(platform::MenuHandle menu);
    // The submenu of the item with that text (ampersands kept); null when none.
    static platform::MenuHandle Submenu(platform::MenuHandle menu, const std::string& text);
    platform::MenuHandle ModuleMenu() const;
    bool ShowAirportsChecked() const;

    // The messages the host's own window procedure received.
    struct HostMessage {
        std::uint32_t message;
        platform::WParam wParam;
    };
    static std::vector<HostMessage> hostMessages;
    static platform::LResult HALVERN_HOSTCALL HostProc(platform::WindowHandle,
                                                       std::uint32_t message,
                                                       platform::WParam wParam, platform::LParam);

    TempDir dir;
    std::string simulatorDir;  // operating system's form, no trailing separator
    host::SimulatorServices services;
    host::ModuleHost module{services};
    platform::WindowHandle mainWindow = nullptr;
    platform::MenuHandle menuBar = nullptr;
};

}  // namespace halvern::testing
