// Windows, focus, window procedures, key state and message boxes of the portable desktop.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/desktop/desktop_fixture.h"
#include "platform/posix/desktop/portable_desktop.h"

namespace halvern {
namespace {

namespace desktop = platform::desktop;
using platform::LParam;
using platform::LResult;
using platform::WindowHandle;
using platform::WindowProc;
using platform::WParam;
using testing::DesktopTest;

struct Seen {
    std::string by;
    WindowHandle window;
    std::uint32_t message;
    WParam wParam;
    LParam lParam;
};

std::vector<Seen> seen;
WindowProc hostPrevious = nullptr;  // what the subclassing procedure hands on to

LResult HostAnswer(std::uint32_t message) {
    return 1000 + static_cast<LResult>(message);
}

// The host's own procedure: answers every message with a value of its own.
LResult HALVERN_HOSTCALL HostProc(WindowHandle window, std::uint32_t message, WParam wParam,
                                  LParam lParam) {
    seen.push_back({"host", window, message, wParam, lParam});
    return HostAnswer(message);
}

// A module's procedure put in front of the host's: it keeps key-downs and hands on the rest.
LResult HALVERN_HOSTCALL SubclassProc(WindowHandle window, std::uint32_t message, WParam wParam,
                                      LParam lParam) {
    seen.push_back({"module", window, message, wParam, lParam});
    if (message == platform::kWmKeyDown) {
        return 0;
    }
    return platform::CallWindowProcedure(hostPrevious, window, message, wParam, lParam);
}

class DesktopWindows : public DesktopTest {
  protected:
    void SetUp() override {
        DesktopTest::SetUp();
        seen.clear();
        hostPrevious = nullptr;
    }
};

TEST_F(DesktopWindows, ParentsLeadFromTheFocusWindowToItsTopLevelWindow) {
    EXPECT_EQ(platform::GetFocusWindow(), nullptr);  // nothing to set up first
    const WindowHandle main = desktop::CreateTopLevelWindow("Host", HostProc);
    const WindowHandle view = desktop::CreateChildWindow(main, "View", HostProc);
    const WindowHandle pane = desktop::CreateChildWindow(view, "Pane", nullptr);
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(desktop::CreateChildWindow(nullptr, "Orphan", nullptr), nullptr);

    ASSERT_TRUE(desktop::SetFocusWindow(pane));
    EXPECT_EQ(platform::GetFocusWindow(), pane);
    EXPECT_EQ(platform::GetParentWindow(pane), view);
    EXPECT_EQ(platform::GetParentWindow(view), main);
    EXPECT_EQ(platform::GetParentWindow(main), nullptr);

    // Destroying the top-level window takes its children and the focus with it.
    platform::DestroyWindowNow(main);
    for (const WindowHandle window : {main, view, pane}) {
        EXPECT_FALSE(desktop::IsWindowAlive(window));
        EXPECT_EQ(platform::GetParentWindow(window), nullptr);
    }
    EXPECT_EQ(platform::GetFocusWindow(), nullptr);
    EXPECT_FALSE(desktop::SetFocusWindow(view));
}

TEST_F(DesktopWindows, DestructionTellsTheWindowBeforeItsChildren) {
    const WindowHandle main = desktop::CreateTopLevelWindow("Host", HostProc);
    const WindowHandle child = desktop::CreateChildWindow(main, "Child", HostProc);
    platform::DestroyWindowNow(main);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].window, main);
    EXPECT_EQ(seen[0].message, platform::kWmDestroy);
    EXPECT_EQ(seen[1].window, child);
    EXPECT_EQ(seen[1].message, platform::kWmDestroy);
    // A second destruction, and messages to the dead window, reach nobody.
    platform::DestroyWindowNow(main);
    EXPECT_EQ(platform::SendWindowMessage(main, platform::kWmNcPaint, 0, 0), 0);
    EXPECT_EQ(seen.size(), 2u);
}

TEST_F(DesktopWindows, ASubclassingProcedureSeesEveryMessageFirstAndHandsOnWhatItKeepsNot) {
    const WindowHandle main = desktop::CreateTopLevelWindow("Host", HostProc);
    hostPrevious = platform::GetWindowProcedure(main);
    ASSERT_EQ(hostPrevious, &HostProc);
    platform::SetWindowProcedure(main, SubclassProc);
    EXPECT_EQ(platform::GetWindowProcedure(main), &SubclassProc);

    struct Case {
        std::uint32_t message;
        WParam wParam;
        LParam lParam;
        LResult result;
        std::vector<std::string> path;
    };
    const Case cases[] = {
        {platform::kWmNcPaint, 1, 0, HostAnswer(platform::kWmNcPaint), {"module", "host"}},
        {platform::kWmKeyDown, platform::kVkF12, 0x1, 0, {"module"}},
        {platform::kWmCommand,
         0x10004602,
         -7,
         HostAnswer(platform::kWmCommand),
         {"module", "host"}},
    };
    for (const Case& c : cases) {
        seen.clear();
        EXPECT_EQ(platform::SendWindowMessage(main, c.message, c.wParam, c.lParam), c.result)
            << c.message;
        std::vector<std::string> path;
        for (const Seen& s : seen) {
            path.push_back(s.by);
            // Every procedure in the chain gets the same four values.
            EXPECT_EQ(s.window, main);
            EXPECT_EQ(s.message, c.message);
            EXPECT_EQ(s.wParam, c.wParam);
            EXPECT_EQ(s.lParam, c.lParam);
        }
        EXPECT_EQ(path, c.path) << c.message;
    }

    // Putting the old procedure back takes the module out of the chain.
    platform::SetWindowProcedure(main, hostPrevious);
    seen.clear();
    EXPECT_EQ(platform::SendWindowMessage(main, platform::kWmKeyDown, platform::kVkF12, 0),
              HostAnswer(platform::kWmKeyDown));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].by, "host");
}

TEST_F(DesktopWindows, AWindowWithoutAProcedureOfItsOwnClosesAsTheSystemsDefaultDoes) {
    const WindowHandle window = desktop::CreateTopLevelWindow("Plain", nullptr);
    const WindowProc procedure = platform::GetWindowProcedure(window);
    ASSERT_NE(procedure, nullptr);  // a real procedure that a subclass can hand on to
    EXPECT_EQ(platform::CallWindowProcedure(procedure, window, platform::kWmNcPaint, 0, 0), 0);
    EXPECT_TRUE(desktop::IsWindowAlive(window));
    platform::SendWindowMessage(window, platform::kWmClose, 0, 0);
    EXPECT_FALSE(desktop::IsWindowAlive(window));
    EXPECT_EQ(platform::CallWindowProcedure(nullptr, window, platform::kWmClose, 0, 0), 0);
}

TEST_F(DesktopWindows, UserDataBelongsToOneWindowAndGoesWithIt) {
    const WindowHandle first = desktop::CreateTopLevelWindow("First", nullptr);
    const WindowHandle second = desktop::CreateTopLevelWindow("Second", nullptr);
    platform::SetWindowUserData(first, -42);
    EXPECT_EQ(platform::GetWindowUserData(first), -42);
    EXPECT_EQ(platform::GetWindowUserData(second), 0);
    platform::DestroyWindowNow(first);
    EXPECT_EQ(platform::GetWindowUserData(first), 0);
}

TEST_F(DesktopWindows, HandlesOfBeforeAResetStayInvalid) {
    const WindowHandle before = desktop::CreateTopLevelWindow("Old", HostProc);
    desktop::Reset();
    const WindowHandle after = desktop::CreateTopLevelWindow("New", HostProc);
    EXPECT_NE(before, after);
    EXPECT_FALSE(desktop::IsWindowAlive(before));
    EXPECT_EQ(platform::SendWindowMessage(before, platform::kWmNcPaint, 0, 0), 0);
    EXPECT_TRUE(seen.empty());
}

TEST_F(DesktopWindows, KeyStateHasTheHighBitWhileDownAndTogglesAtEachPress) {
    struct Step {
        bool down;
        std::int16_t expected;
    };
    // 0x8000 down, 0x0001 toggled; as a signed 16-bit value a key that is down is negative.
    const Step steps[] = {
        {true, static_cast<std::int16_t>(0x8001)},
        {true, static_cast<std::int16_t>(0x8001)},  // auto-repeat: no second toggle
        {false, 0x0001},
        {true, static_cast<std::int16_t>(0x8000)},
        {false, 0x0000},
    };
    for (const Step& step : steps) {
        desktop::SetKeyDown(platform::kVkShift, step.down);
        EXPECT_EQ(platform::GetKeyStateOf(platform::kVkShift), step.expected);
        EXPECT_EQ(platform::GetKeyStateOf(platform::kVkShift) < 0, step.down);
        EXPECT_EQ(platform::GetKeyStateOf(platform::kVkControl), 0);
    }
    desktop::SetKeyDown(-1, true);
    desktop::SetKeyDown(0x100, true);
    EXPECT_EQ(platform::GetKeyStateOf(-1), 0);
    EXPECT_EQ(platform::GetKeyStateOf(0x100), 0);
}

TEST_F(DesktopWindows, MessageBoxesAreLoggedAndAnsweredByTheResponder) {
    const WindowHandle main = desktop::CreateTopLevelWindow("Host", nullptr);
    EXPECT_EQ(platform::ShowMessageBox(nullptr, "chain.dll not found", "", platform::kMbOk),
              platform::kIdOk);

    desktop::SetMessageBoxResponder([](const desktop::MessageBoxRecord& box) {
        return box.caption == "Error" ? platform::kIdCancel : 7;
    });
    EXPECT_EQ(platform::ShowMessageBox(main, "Bad input", "Error", platform::kMbIconError),
              platform::kIdCancel);
    EXPECT_EQ(platform::ShowMessageBox(main, nullptr, nullptr, platform::kMbIconInformation),
              platform::kIdCancel);  // no caption is the system's "Error"
    EXPECT_EQ(platform::ShowMessageBox(main, "About", "About Halvern", platform::kMbOk), 7);

    const std::vector<desktop::MessageBoxRecord> log = desktop::MessageBoxLog();
    ASSERT_EQ(log.size(), 4u);
    const struct {
        WindowHandle owner;
        const char* text;
        const char* caption;
        std::uint32_t type;
        int answer;
    } expected[] = {
        {nullptr, "chain.dll not found", "", platform::kMbOk, platform::kIdOk},
        {main, "Bad input", "Error", platform::kMbIconError, platform::kIdCancel},
        {main, "", "Error", platform::kMbIconInformation, platform::kIdCancel},
        {main, "About", "About Halvern", platform::kMbOk, 7},
    };
    for (std::size_t i = 0; i < log.size(); ++i) {
        EXPECT_EQ(log[i].owner, expected[i].owner) << i;
        EXPECT_EQ(log[i].text, expected[i].text) << i;
        EXPECT_EQ(log[i].caption, expected[i].caption) << i;
        EXPECT_EQ(log[i].type, expected[i].type) << i;
        EXPECT_EQ(log[i].answer, expected[i].answer) << i;
    }
}

}  // namespace
}  // namespace halvern
