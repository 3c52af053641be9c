// The module's entries in the host's menu bar, its hot key and its commands.

#include "module/module_fixture.h"
#include "resources/version.h"

namespace halvern::testing {
namespace {

namespace desk = platform::desktop;

class ModuleMenuTest : public ModuleFixture {
  protected:
    void SetUp() override {
        ModuleFixture::SetUp();
        WriteWorld(1, 2);
    }
    // Starts the module with the main window focused and attached.
    void Attach() {
        StartModule();
        if (mainWindow == nullptr) {
            CreateMainWindow();
        }
        Event();
    }
    const std::vector<std::string> kModuleItems = {
        "Show &airports\tShift+F12", "&Options", "-",        "Halvern Homepage",
        "Visit Tavrel Software",     "-",        "A&bout..."};
};

TEST_F(ModuleMenuTest, FirstPaintAddsModulesAndHalvernWithTheItemsInOrder) {
    Attach();
    EXPECT_EQ(ItemTexts(menuBar), (std::vector<std::string>{"&File"}));
    NcPaint();
    EXPECT_EQ(ItemTexts(menuBar), (std::vector<std::string>{"&File", "&Modules"}));
    EXPECT_EQ(ItemTexts(Submenu(menuBar, "&Modules")), (std::vector<std::string>{"&Halvern"}));
    EXPECT_EQ(ItemTexts(ModuleMenu()), kModuleItems);
    // Later paints add nothing more.
    NcPaint();
    NcPaint();
    EXPECT_EQ(ItemTexts(menuBar).size(), 2u);
    EXPECT_EQ(ItemTexts(ModuleMenu()), kModuleItems);
}

TEST_F(ModuleMenuTest, AnExistingModulesMenuIsUsedAndOtherCapitalsAreNot) {
    struct Case {
        const char* hostItem;
        std::vector<std::string> barAfter;
    };
    const Case cases[] = {
        {"&Modules", {"&File", "&Modules"}},
        {"Mo&dules", {"&File", "Mo&dules"}},
        {"MODULES", {"&File", "MODULES", "&Modules"}},
    };
    for (const Case& c : cases) {
        desk::Reset();
        desk::SetRegistryFilePath(dir.File("registry"));
        mainWindow = nullptr;
        CreateMainWindow();
        desk::AppendMenuItem(menuBar, c.hostItem, 0, platform::CreatePopupMenuHandle());
        Attach();
        NcPaint();
        EXPECT_EQ(ItemTexts(menuBar), c.barAfter) << c.hostItem;
        StopModule();
        module.Unload();
    }
}

TEST_F(ModuleMenuTest, AHalvernItemOfAnotherComponentIsTakenAsTheSubmenu) {
    CreateMainWindow();
    const platform::MenuHandle modules = platform::CreatePopupMenuHandle();
    const platform::MenuHandle theirs = platform::CreatePopupMenuHandle();
    desk::AppendMenuItem(theirs, "Their item", 999);
    desk::AppendMenuItem(modules, "Halvern", 0, theirs);
    desk::AppendMenuItem(menuBar, "&Modules", 0, modules);
    Attach();
    NcPaint();
    EXPECT_EQ(ItemTexts(modules), (std::vector<std::string>{"Halvern"}));
    std::vector<std::string> expected = {"Their item"};
    expected.insert(expected.end(), kModuleItems.begin(), kModuleItems.end());
    EXPECT_EQ(ItemTexts(theirs), expected);
}

TEST_F(ModuleMenuTest, AModulesItemWithoutSubmenuGetsNothingAppendedAtAnyPaint) {
    CreateMainWindow();
    desk::AppendMenuItem(menuBar, "&Modules", 4242);
    Attach();
    NcPaint();
    NcPaint();
    EXPECT_EQ(ItemTexts(menuBar), (std::vector<std::string>{"&File", "&Modules"}));
}

TEST_F(ModuleMenuTest, TheModulesMenuFollowsTheEnableStateOfTheFirstMenu) {
    Attach();
    NcPaint();
    platform::EnableMenuItemByPosition(menuBar, 0, platform::kMfGrayed);
    NcPaint();
    EXPECT_EQ(platform::GetMenuStateByPosition(menuBar, 1) & 3u, platform::kMfGrayed);
    platform::EnableMenuItemByPosition(menuBar, 0, 0);
    NcPaint();
    EXPECT_EQ(platform::GetMenuStateByPosition(menuBar, 1) & 3u, 0u);
}

TEST_F(ModuleMenuTest, GroupsTheHostRemovedComeBackAtTheEnd) {
    Attach();
    NcPaint();
    const platform::MenuHandle menu = ModuleMenu();
    desk::DeleteMenuItem(menu, 1);  // "&Options"
    desk::DeleteMenuItem(menu, 0);  // "Show &airports"
    NcPaint();
    EXPECT_EQ(ItemTexts(menu),
              (std::vector<std::string>{"-", "Halvern Homepage", "Visit Tavrel Software", "-",
                                        "A&bout...", "Show &airports\tShift+F12", "&Options"}));
    // The whole "Modules" menu removed: it comes back whole.
    desk::DeleteMenuItem(menuBar, 1);
    NcPaint();
    EXPECT_EQ(ItemTexts(ModuleMenu()), kModuleItems);
}

TEST_F(ModuleMenuTest, ShiftF12TogglesAndTheCheckMarkFollows) {
    Attach();
    NcPaint();
    hostMessages.clear();
    EXPECT_FALSE(ShowAirportsChecked());
    PressF12(true, false, false);
    EXPECT_TRUE(ShowAirportsChecked());
    Event();
    EXPECT_EQ(services.LinesOfLastEvent().size(), 2u);
    PressF12(true, false, false);
    EXPECT_FALSE(ShowAirportsChecked());
    // Plain F12 and Ctrl+Shift+F12 toggle nothing; no F12 key-down reaches the host.
    PressF12(false, false, false);
    PressF12(true, true, false);
    EXPECT_FALSE(ShowAirportsChecked());
    EXPECT_TRUE(hostMessages.empty());
    // Alt+F12 arrives as a system key-down, which goes on to the host.
    desk::SetKeyDown(platform::kVkMenu, true);
    EXPECT_EQ(Send(platform::kWmSysKeyDown, platform::kVkF12), 7);
    desk::SetKeyDown(platform::kVkMenu, false);
    ASSERT_EQ(hostMessages.size(), 1u);
    EXPECT_EQ(hostMessages[0].message, platform::kWmSysKeyDown);
    // Another key goes on too.
    EXPECT_EQ(Send(platform::kWmKeyDown, 0x7A), 7);
}

TEST_F(ModuleMenuTest, TheMenuItemTogglesAndOtherCommandsPassOnUnchanged) {
    Attach();
    NcPaint();
    EXPECT_EQ(Send(platform::kWmCommand, 17922), 0);
    EXPECT_TRUE(ShowAirportsChecked());
    // The notification code in the high word is ignored.
    EXPECT_EQ(Send(platform::kWmCommand, (1u << 16) | 17922u), 0);
    EXPECT_FALSE(ShowAirportsChecked());
    hostMessages.clear();
    EXPECT_EQ(Send(platform::kWmCommand, 100), 7);
    EXPECT_EQ(Send(platform::kWmCommand, 17924), 7);
    ASSERT_EQ(hostMessages.size(), 2u);
    EXPECT_EQ(hostMessages[0].wParam, 100u);
    EXPECT_EQ(hostMessages[1].wParam, 17924u);
}

TEST_F(ModuleMenuTest, AboutAndLinks) {
    Attach();
    Send(platform::kWmCommand, 17921);
    Send(platform::kWmCommand, 17928);  // no shortcut file in the simulator directory
    const auto boxes = desk::MessageBoxLog();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, "About Halvern");
    EXPECT_EQ(boxes[0].text.rfind("Halvern version " HALVERN_VERSION_TEXT "\n", 0), 0u);
    EXPECT_NE(boxes[0].text.find("\n\nAirports in the database: 2"), std::string::npos);
    EXPECT_EQ(boxes[0].type, platform::kMbIconInformation);
    EXPECT_EQ(boxes[0].owner, mainWindow);
    EXPECT_EQ(boxes[1].text, "Unable to launch the webbrowser");
    EXPECT_EQ(boxes[1].caption, "Error");
    EXPECT_EQ(boxes[1].type, platform::kMbIconError);
    const auto requests = desk::ShellLog();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].path.substr(requests[0].path.size() - 21), "\\Halvern Homepage.url");

    // With the file present the shell opens it and nothing is shown.
    std::FILE* file = std::fopen((simulatorDir + "/Tavrel Software.url").c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    Send(platform::kWmCommand, 17936);
    EXPECT_EQ(desk::MessageBoxLog().size(), 2u);
    EXPECT_GT(desk::ShellLog().back().result, 32);
}

}  // namespace
}  // namespace halvern::testing
