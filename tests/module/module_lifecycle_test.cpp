// The module's life under a simulator: start-up with its database step and progress window,
// the chain registration, finding and subclassing the main window, and shutdown.

#include <cstring>
#include <filesystem>

#include "module/module_fixture.h"

namespace halvern::testing {
namespace {

namespace desk = platform::desktop;
namespace fs = std::filesystem;

platform::WindowProc g_replaced = nullptr;
platform::LResult HALVERN_HOSTCALL OtherComponentProc(platform::WindowHandle window,
                                                      std::uint32_t message,
                                                      platform::WParam wParam,
                                                      platform::LParam lParam) {
    return platform::CallWindowProcedure(g_replaced, window, message, wParam, lParam);
}

class ModuleLifecycle : public ModuleFixture {
  protected:
    // Starts the module, lets it subclass the main window, puts another component's procedure
    // in front of the module's and stops the module: the module's procedure stays in the chain.
    void StopBehindAnotherComponent() {
        StartModule();
        CreateMainWindow();
        Event();
        g_replaced = platform::GetWindowProcedure(mainWindow);
        platform::SetWindowProcedure(mainWindow, &OtherComponentProc);
        StopModule();
    }
};

int ProgressDialogsCreated() {
    int count = 0;
    for (const desk::DialogRecord& record : desk::DialogLog()) {
        count += record.resourceId == 3 ? 1 : 0;
    }
    return count;
}

TEST_F(ModuleLifecycle, CacheMissShowsProgressAndWritesTheCacheInTheSimulatorDirectory) {
    WriteWorld(3, 4);
    StartModule();
    EXPECT_TRUE(fs::exists(fs::path(simulatorDir) / "HalvernCache.dat"));
    EXPECT_EQ(ProgressDialogsCreated(), 1);
    const std::vector<desk::DialogRecord> log = desk::DialogLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_FALSE(log[0].modal);
    EXPECT_EQ(log[0].owner, nullptr);
    EXPECT_GE(log[0].showCount, 1);
    EXPECT_GE(log[0].paintCount, 1);
    EXPECT_TRUE(log[0].destroyed) << "the progress window is gone after start-up";
    EXPECT_EQ(services.RegisteredCallbacks(), 1u);
    StopModule();
    EXPECT_EQ(services.RegisteredCallbacks(), 0u);
    module.Unload();

    // The next start finds the cache valid: no window.
    desk::Reset();
    desk::SetRegistryFilePath(dir.File("registry"));
    StartModule();
    EXPECT_EQ(ProgressDialogsCreated(), 0);
}

TEST_F(ModuleLifecycle, ProgressTicksMoveTheBarAtMostOncePerPercent) {
    struct Case {
        int files;
        std::vector<unsigned> firstPositions;
        std::size_t messages;
    };
    const Case cases[] = {
        {250, {1, 2, 3, 4}, 100},  // at files 3, 5, 8, 10, ...
        {50, {2, 4, 6, 8}, 50},    // every file moves it by 2
    };
    for (const Case& c : cases) {
        desk::Reset();
        desk::SetRegistryFilePath(dir.File("registry"));
        fs::remove_all(simulatorDir);
        fs::create_directories(simulatorDir);
        WriteWorld(c.files, 1);
        StartModule();
        const std::vector<desk::ProgressStep> steps = desk::ProgressLog();
        ASSERT_EQ(steps.size(), c.messages) << c.files;
        for (std::size_t i = 0; i < c.firstPositions.size(); ++i) {
            EXPECT_EQ(steps[i].position, c.firstPositions[i]) << c.files;
            EXPECT_EQ(steps[i].controlId, 101);
        }
        EXPECT_EQ(steps.back().position, 100u);
        StopModule();
        module.Unload();
    }
}

TEST_F(ModuleLifecycle, WithoutTheProgressClassTheDatabaseIsStillBuilt) {
    WriteWorld(2, 3);
    desk::SetProgressClassAvailable(false);
    StartModule();
    EXPECT_TRUE(desk::ProgressLog().empty());
    EXPECT_TRUE(fs::exists(fs::path(simulatorDir) / "HalvernCache.dat"));
    CreateMainWindow();
    Event();
    NcPaint();
    Send(platform::kWmCommand, 17921);  // About
    const auto boxes = desk::MessageBoxLog();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("Airports in the database: 6"), std::string::npos);
}

TEST_F(ModuleLifecycle, WithoutAChainServiceTheModuleSaysSoAndNeverAttaches) {
    WriteWorld(1, 1);
    CreateMainWindow();
    StartModule({4});
    const auto boxes = desk::MessageBoxLog();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "chain.dll not found");
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_EQ(services.RegisteredCallbacks(), 0u);
    Event();  // nobody registered: nothing reaches the module
    NcPaint();
    EXPECT_EQ(Submenu(menuBar, "&Modules"), nullptr);
    StopModule();
    // Shutdown still saves the settings.
    EXPECT_TRUE(desk::ReadRegistryValue("Software\\Tavrel Software\\Halvern", "Version"));
}

TEST_F(ModuleLifecycle, ExportedRecordsHaveTheHostsLayout) {
    std::string error;
    ASSERT_TRUE(module.Install(HALVERN_MODULE_FILE, simulatorDir, error)) << error;
    const auto* linkage = reinterpret_cast<const unsigned char*>(module.Linkage());
    const auto* table = reinterpret_cast<const unsigned char*>(module.ImportTable());
    // One pointer-sized field each: 15, ModuleInit, ModuleDeinit, then zeros up to the table.
    std::uintptr_t first = 0;
    std::memcpy(&first, linkage, sizeof first);
    EXPECT_EQ(first, 15u);
    EXPECT_NE(module.Linkage()->moduleInit, nullptr);
    EXPECT_NE(module.Linkage()->moduleDeinit, nullptr);
    ASSERT_EQ(table - linkage, 2072);
    for (std::size_t i = 3 * sizeof(void*); i < 2072; ++i) {
        ASSERT_EQ(linkage[i], 0) << "byte " << i;
    }
    // The shipped table: ids 4, 14, 2, 0 with every address 0.
    const std::uintptr_t ids[] = {4, 14, 2, 0};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(module.ImportTable()[i].id, ids[i]);
        EXPECT_EQ(module.ImportTable()[i].address, nullptr);
    }
}

TEST_F(ModuleLifecycle, FindServiceTakesTheFirstEntryOfAnId) {
    WriteWorld(1, 1);
    std::string error;
    ASSERT_TRUE(module.Install(HALVERN_MODULE_FILE, simulatorDir, error)) << error;
    // The second entry also claims id 4 but carries no table: the first one must be used.
    module.ImportTable()[1].id = 4;
    module.Start();
    EXPECT_EQ(services.RegisteredCallbacks(), 1u);
}

TEST_F(ModuleLifecycle, MainWindowIsFoundOnlyOnceAWindowHasTheFocus) {
    WriteWorld(1, 1);
    StartModule();
    CreateMainWindow(false);
    const platform::WindowProc hostProcedure = platform::GetWindowProcedure(mainWindow);
    Event();
    Event();
    EXPECT_EQ(platform::GetWindowProcedure(mainWindow), hostProcedure);
    NcPaint();
    EXPECT_EQ(Submenu(menuBar, "&Modules"), nullptr);

    // A child of the main window gets the focus: its top-most ancestor is subclassed.
    const platform::WindowHandle child = desk::CreateChildWindow(mainWindow, "view", nullptr);
    desk::SetFocusWindow(child);
    Event();
    EXPECT_NE(platform::GetWindowProcedure(mainWindow), hostProcedure);
    NcPaint();
    EXPECT_NE(ModuleMenu(), nullptr);

    // Losing the focus later changes nothing.
    desk::SetFocusWindow(nullptr);
    Event();
    EXPECT_NE(platform::GetWindowProcedure(mainWindow), hostProcedure);

    StopModule();
    EXPECT_EQ(platform::GetWindowProcedure(mainWindow), hostProcedure) << "restored at shutdown";
    // The menu entries stay; choosing one reaches only the host.
    EXPECT_NE(ModuleMenu(), nullptr);
    hostMessages.clear();
    EXPECT_EQ(Send(platform::kWmCommand, 17921), 7);
    EXPECT_TRUE(desk::MessageBoxLog().empty());
}

TEST_F(ModuleLifecycle, AnotherComponentsProcedureInFrontIsLeftAndMessagesStillReachTheHost) {
    WriteWorld(1, 1);
    StopBehindAnotherComponent();
    EXPECT_EQ(platform::GetWindowProcedure(mainWindow), &OtherComponentProc);
    hostMessages.clear();
    // The module's procedure, still in the chain, hands the message on to the host's.
    EXPECT_EQ(Send(0x0400, 5), 7);
    ASSERT_EQ(hostMessages.size(), 1u);
    EXPECT_EQ(hostMessages[0].wParam, 5u);
    // The host unloads the module file: the file stays loaded, as its procedure is still called.
    module.Unload();
    EXPECT_EQ(Send(0x0400, 6), 7);
    ASSERT_EQ(hostMessages.size(), 2u);
    desk::Reset();
}

// A second start in the same process, with the module's procedure left in the main window's
// chain behind another component's: the new module takes that place over, whether the other
// component is still in front or has gone in between, and messages pass each procedure once.
TEST_F(ModuleLifecycle, ASecondStartTakesOverTheProcedureLeftInTheChain) {
    for (const bool otherLeaves : {false, true}) {
        SCOPED_TRACE(otherLeaves ? "the other component leaves" : "the other component stays");
        desk::Reset();
        desk::SetRegistryFilePath(dir.File("registry"));
        // A module file of its own for each case: the first case's stays loaded.
        module.Unload();
        simulatorDir = dir.File(otherLeaves ? "Sim2" : "Sim1");
        fs::create_directories(simulatorDir);
        WriteWorld(1, 1);
        StopBehindAnotherComponent();
        if (otherLeaves) {
            platform::SetWindowProcedure(mainWindow, g_replaced);
        }

        module.Start();  // the same module file, started again
        Event();
        hostMessages.clear();
        EXPECT_EQ(Send(0x0400, 5), 7);
        EXPECT_EQ(hostMessages.size(), 1u);
        // The running module handles its own commands.
        EXPECT_EQ(Send(platform::kWmCommand, 17921), 0);  // About
        EXPECT_EQ(desk::MessageBoxLog().size(), 1u);
        EXPECT_EQ(hostMessages.size(), 1u);

        StopModule();
        EXPECT_EQ(platform::GetWindowProcedure(mainWindow),
                  otherLeaves ? &HostProc : &OtherComponentProc);
        hostMessages.clear();
        EXPECT_EQ(Send(0x0400, 6), 7);
        EXPECT_EQ(hostMessages.size(), 1u);
    }
    desk::Reset();
}

TEST_F(ModuleLifecycle, OverlayLinesReachTheTextServiceAfterShiftF12) {
    WriteWorld(1, 3);
    StartModule();
    CreateMainWindow();
    Event();
    EXPECT_TRUE(services.LinesOfLastEvent().empty());
    PressF12(true, false, false);
    Event();
    const auto& lines = services.LinesOfLastEvent();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, "Test Field 0 0 NM @ 000");
    EXPECT_EQ(lines[1].text.rfind("Test Field 1 ", 0), 0u) << lines[1].text;
    PressF12(true, false, false);
    Event();
    EXPECT_TRUE(services.LinesOfLastEvent().empty());
}

}  // namespace
}  // namespace halvern::testing
