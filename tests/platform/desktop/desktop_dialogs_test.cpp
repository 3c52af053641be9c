// Dialogs of the portable desktop: built from the module's templates handed to it, run modally by a
// driver that plays the user, or created modeless with a progress bar.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/desktop/desktop_fixture.h"
#include "platform/posix/desktop/portable_desktop.h"
#include "resources/dialog_templates.h"

namespace halvern {
namespace {

namespace desktop = platform::desktop;
namespace resources = halvern::resources;
using platform::LParam;
using platform::WindowHandle;
using platform::WParam;
using testing::DesktopTest;

// What a dialog procedure under test saw and read back.
struct DialogScript {
    std::vector<std::uint32_t> messages;
    std::vector<WParam> commands;
    LParam initParameter = 0;
    std::string distanceRead;
    std::uint32_t codeChecked = 0;
    bool endOnCancel = true;
    bool endInInit = false;
};

DialogScript script;

// Plays the module's options dialog: fills the controls at initialisation and reads them at OK.
std::intptr_t HALVERN_HOSTCALL OptionsProc(WindowHandle dialog, std::uint32_t message,
                                           WParam wParam, LParam lParam) {
    script.messages.push_back(message);
    switch (message) {
        case platform::kWmInitDialog:
            script.initParameter = lParam;
            platform::SetWindowUserData(dialog, lParam);
            platform::SetDialogItemText(dialog, resources::kOptionDistanceEdit, "30");
            platform::CheckDialogButton(dialog, resources::kOptionNameCheckBox,
                                        platform::kButtonChecked);
            if (script.endInInit) {
                platform::EndModalDialog(dialog, 77);
            }
            return 1;
        case platform::kWmCommand:
            script.commands.push_back(wParam);
            if ((wParam & 0xFFFF) == static_cast<WParam>(platform::kIdOk)) {
                char text[255];
                platform::GetDialogItemText(dialog, resources::kOptionDistanceEdit, text,
                                            sizeof text);
                script.distanceRead = text;
                script.codeChecked =
                    platform::IsDialogButtonChecked(dialog, resources::kOptionCodeCheckBox);
                platform::EndModalDialog(dialog, platform::kIdOk);
            } else if ((wParam & 0xFFFF) == static_cast<WParam>(platform::kIdCancel) &&
                       script.endOnCancel) {
                platform::EndModalDialog(dialog, platform::kIdCancel);
            }
            return 1;
        default:
            return 0;
    }
}

std::intptr_t HALVERN_HOSTCALL ProgressProc(WindowHandle dialog, std::uint32_t message, WParam,
                                            LParam lParam) {
    script.messages.push_back(message);
    if (message == platform::kWmInitDialog) {
        platform::SetWindowUserData(dialog, lParam);
        return 1;
    }
    return 0;
}

std::intptr_t RunOptions(WindowHandle owner, LParam parameter = 0x5150) {
    return platform::RunModalDialog(nullptr, &resources::kOptionsDialog, owner, OptionsProc,
                                    parameter);
}

class DesktopDialogs : public DesktopTest {
  protected:
    void SetUp() override {
        DesktopTest::SetUp();
        script = DialogScript{};
        main_ = desktop::CreateTopLevelWindow("Host", nullptr);
    }

    WindowHandle main_ = nullptr;
};

TEST_F(DesktopDialogs, ADialogIsBuiltFromItsTemplateInTemplateOrder) {
    for (const platform::DialogTemplate* dialogTemplate : resources::kDialogTemplates) {
        const WindowHandle dialog =
            platform::CreateModelessDialog(nullptr, dialogTemplate, main_, ProgressProc, 0);
        ASSERT_NE(dialog, nullptr) << dialogTemplate->resourceId;
        const std::optional<desktop::WindowInfo> info = desktop::DescribeWindow(dialog);
        ASSERT_TRUE(info.has_value());
        EXPECT_EQ(info->text, dialogTemplate->caption);
        EXPECT_EQ(info->style, dialogTemplate->style);
        for (const platform::DialogControl& control : dialogTemplate->controls) {
            if (control.id == -1) {
                continue;  // not addressable; several share the id
            }
            const std::optional<desktop::WindowInfo> item =
                desktop::DescribeWindow(platform::GetDialogItem(dialog, control.id));
            ASSERT_TRUE(item.has_value()) << control.id;
            EXPECT_EQ(item->className, platform::ControlClassName(control.windowClass));
            EXPECT_EQ(item->text, control.text);
            EXPECT_EQ(item->style, control.style);
            EXPECT_EQ(platform::GetParentWindow(platform::GetDialogItem(dialog, control.id)),
                      dialog);
        }
        EXPECT_EQ(platform::GetDialogItem(dialog, 999), nullptr);
        // A dialog's parent is its owner, so the focus in a dialog leads to the host's window.
        EXPECT_EQ(platform::GetParentWindow(dialog), main_);
        platform::DestroyWindowNow(dialog);
    }
}

TEST_F(DesktopDialogs, TheDriverFillsTheDialogAndClicksOk) {
    std::vector<int> driven;
    desktop::SetDialogDriver([&driven](WindowHandle dialog, int resourceId) {
        driven.push_back(resourceId);
        // The procedure has run its initialisation by now.
        EXPECT_EQ(desktop::ControlText(dialog, resources::kOptionDistanceEdit), "30");
        EXPECT_EQ(platform::IsDialogButtonChecked(dialog, resources::kOptionNameCheckBox),
                  platform::kButtonChecked);
        EXPECT_EQ(platform::GetWindowUserData(dialog), 0x5150);
        platform::SetDialogItemText(dialog, resources::kOptionDistanceEdit, "120");
        EXPECT_TRUE(desktop::ClickButton(dialog, resources::kOptionCodeCheckBox));
        EXPECT_TRUE(desktop::ClickButton(dialog, platform::kIdOk));
        EXPECT_FALSE(desktop::ClickButton(dialog, 999));
    });
    EXPECT_EQ(RunOptions(main_), platform::kIdOk);

    EXPECT_EQ(driven, std::vector<int>{resources::kOptionsDialogResource});
    EXPECT_EQ(script.initParameter, 0x5150);
    EXPECT_EQ(script.distanceRead, "120");
    EXPECT_EQ(script.codeChecked, platform::kButtonChecked);  // the click checked the box
    // Each click is a command with the control's id and notification 0.
    EXPECT_EQ(script.commands, (std::vector<WParam>{resources::kOptionCodeCheckBox,
                                                    static_cast<WParam>(platform::kIdOk)}));
    EXPECT_EQ(script.messages.front(), platform::kWmInitDialog);
    EXPECT_EQ(script.messages.back(), platform::kWmDestroy);

    const std::vector<desktop::DialogRecord> log = desktop::DialogLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_TRUE(log[0].modal);
    EXPECT_EQ(log[0].owner, main_);
    EXPECT_EQ(log[0].parameter, 0x5150);
    EXPECT_TRUE(log[0].ended);
    EXPECT_EQ(log[0].result, platform::kIdOk);
    EXPECT_TRUE(log[0].destroyed);
    EXPECT_FALSE(desktop::IsWindowAlive(log[0].dialog));
    EXPECT_EQ(desktop::FindDialog(resources::kOptionsDialogResource), nullptr);
}

TEST_F(DesktopDialogs, AModalDialogEndsWithWhatItsProcedureOrTheDesktopDecides) {
    struct Case {
        const char* name;
        bool withDriver;
        bool endOnCancel;
        bool endInInit;
        std::intptr_t result;
        std::vector<WParam> commands;
    };
    const WParam cancel = platform::kIdCancel;
    const Case cases[] = {
        // Without a driver the dialog is dismissed once, as with Esc.
        {"no driver", false, true, false, platform::kIdCancel, {cancel}},
        {"no driver, cancel ignored", false, false, false, -1, {cancel}},
        // A driver that leaves the dialog open does not hang it.
        {"idle driver", true, true, false, -1, {}},
        // Ended during initialisation: nobody is asked.
        {"ended in init", true, true, true, 77, {}},
    };
    for (const Case& c : cases) {
        script = DialogScript{};
        script.endOnCancel = c.endOnCancel;
        script.endInInit = c.endInInit;
        int driverCalls = 0;
        desktop::SetDialogDriver(
            c.withDriver
                ? desktop::DialogDriver([&driverCalls](WindowHandle, int) { ++driverCalls; })
                : desktop::DialogDriver());
        EXPECT_EQ(RunOptions(main_), c.result) << c.name;
        EXPECT_EQ(script.commands, c.commands) << c.name;
        EXPECT_EQ(driverCalls, c.withDriver && !c.endInInit ? 1 : 0) << c.name;
        EXPECT_EQ(desktop::FindDialog(resources::kOptionsDialogResource), nullptr) << c.name;
    }
}

TEST_F(DesktopDialogs, TheCloseBoxOfADialogMeansCancel) {
    desktop::SetDialogDriver([](WindowHandle dialog, int) { desktop::CloseDialog(dialog); });
    EXPECT_EQ(RunOptions(main_), platform::kIdCancel);
    EXPECT_EQ(script.commands, std::vector<WParam>{static_cast<WParam>(platform::kIdCancel)});
}

TEST_F(DesktopDialogs, ControlTextsAndChecksFollowTheSystemsRules) {
    const WindowHandle dialog =
        platform::CreateModelessDialog(nullptr, &resources::kOptionsDialog, main_, ProgressProc, 0);
    ASSERT_NE(dialog, nullptr);
    platform::SetDialogItemText(dialog, resources::kOptionDistanceEdit, "12345");

    struct TextCase {
        int capacity;
        const char* expected;
    };
    for (const TextCase c : {TextCase{255, "12345"}, TextCase{4, "123"}, TextCase{1, ""}}) {
        char text[8] = "xxxxxxx";
        platform::GetDialogItemText(dialog, resources::kOptionDistanceEdit, text, c.capacity);
        EXPECT_STREQ(text, c.expected) << c.capacity;
    }
    char untouched[4] = "abc";
    platform::GetDialogItemText(dialog, resources::kOptionDistanceEdit, untouched, 0);
    EXPECT_STREQ(untouched, "abc");
    platform::GetDialogItemText(dialog, 999, untouched, sizeof untouched);
    EXPECT_STREQ(untouched, "");
    platform::SetDialogItemText(dialog, resources::kOptionDistanceEdit, nullptr);
    EXPECT_EQ(desktop::ControlText(dialog, resources::kOptionDistanceEdit), "");

    // Check boxes hold a check; push buttons, edits and missing controls do not.
    for (const int id : {resources::kOptionNameCheckBox, resources::kOptionTrueBearingCheckBox}) {
        platform::CheckDialogButton(dialog, id, platform::kButtonChecked);
        EXPECT_EQ(platform::IsDialogButtonChecked(dialog, id), platform::kButtonChecked) << id;
        platform::CheckDialogButton(dialog, id, 0);
        EXPECT_EQ(platform::IsDialogButtonChecked(dialog, id), 0u) << id;
    }
    for (const int id : {platform::kIdOk, resources::kOptionDistanceEdit, 999}) {
        platform::CheckDialogButton(dialog, id, platform::kButtonChecked);
        EXPECT_EQ(platform::IsDialogButtonChecked(dialog, id), 0u) << id;
    }
    // A click on a check box turns its check over before the procedure hears of it.
    ASSERT_TRUE(desktop::ClickButton(dialog, resources::kOptionElevationCheckBox));
    EXPECT_EQ(platform::IsDialogButtonChecked(dialog, resources::kOptionElevationCheckBox),
              platform::kButtonChecked);
    ASSERT_TRUE(desktop::ClickButton(dialog, resources::kOptionElevationCheckBox));
    EXPECT_EQ(platform::IsDialogButtonChecked(dialog, resources::kOptionElevationCheckBox), 0u);
}

TEST_F(DesktopDialogs, AModelessProgressDialogKeepsEveryPositionItWasSent) {
    const WindowHandle dialog = platform::CreateModelessDialog(nullptr, &resources::kProgressDialog,
                                                               nullptr, ProgressProc, 0x77);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(script.messages, std::vector<std::uint32_t>{platform::kWmInitDialog});
    EXPECT_EQ(platform::GetWindowUserData(dialog), 0x77);
    EXPECT_EQ(desktop::FindDialog(resources::kProgressDialogResource), dialog);
    platform::ShowWindowNormal(dialog);
    platform::PaintWindowNow(dialog);

    const WindowHandle bar = platform::GetDialogItem(dialog, resources::kProgressBar);
    EXPECT_EQ(desktop::ProgressPosition(bar), 0);
    struct Step {
        WParam sent;
        platform::LResult previous;
        int shown;
    };
    const Step steps[] = {
        {3, 0, 3},
        {50, 3, 50},
        {101, 50, 100},  // past the end of the range: the bar stays full
        {100, 100, 100},
    };
    for (const Step& step : steps) {
        EXPECT_EQ(platform::SendWindowMessage(bar, platform::kPbmSetPos, step.sent, 0),
                  step.previous);
        EXPECT_EQ(desktop::ProgressPosition(bar), step.shown);
    }
    EXPECT_EQ(desktop::ProgressPosition(dialog), -1);
    platform::DestroyWindowNow(dialog);

    // The history outlives the window.
    const std::vector<desktop::ProgressStep> log = desktop::ProgressLog();
    ASSERT_EQ(log.size(), std::size(steps));
    for (std::size_t i = 0; i < log.size(); ++i) {
        EXPECT_EQ(log[i].dialog, dialog);
        EXPECT_EQ(log[i].controlId, resources::kProgressBar);
        EXPECT_EQ(log[i].position, steps[i].sent);
    }
    const std::vector<desktop::DialogRecord> dialogs = desktop::DialogLog();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_FALSE(dialogs[0].modal);
    EXPECT_EQ(dialogs[0].owner, nullptr);
    EXPECT_EQ(dialogs[0].showCount, 1);
    EXPECT_EQ(dialogs[0].paintCount, 1);
    EXPECT_TRUE(dialogs[0].destroyed);
    EXPECT_FALSE(desktop::IsWindowAlive(bar));
}

TEST_F(DesktopDialogs, WithoutTheProgressClassOnlyTheProgressDialogCannotBeCreated) {
    desktop::SetProgressClassAvailable(false);
    EXPECT_EQ(platform::CreateModelessDialog(nullptr, &resources::kProgressDialog, nullptr,
                                             ProgressProc, 0),
              nullptr);
    EXPECT_TRUE(script.messages.empty());  // no procedure ever ran
    EXPECT_TRUE(desktop::DialogLog().empty());
    EXPECT_EQ(RunOptions(main_), platform::kIdCancel);

    desktop::SetProgressClassAvailable(true);
    const WindowHandle dialog = platform::CreateModelessDialog(nullptr, &resources::kProgressDialog,
                                                               nullptr, ProgressProc, 0);
    EXPECT_NE(dialog, nullptr);
}

TEST_F(DesktopDialogs, AnUnknownResourceOrADeadOwnerCreatesNothing) {
    int driverCalls = 0;
    desktop::SetDialogDriver([&driverCalls](WindowHandle, int) { ++driverCalls; });
    // The module has no dialog 2: the lookup gives no template.
    const platform::DialogTemplate* unknown = resources::FindDialogTemplate(2);
    EXPECT_EQ(platform::RunModalDialog(nullptr, unknown, main_, OptionsProc, 0), -1);
    EXPECT_EQ(platform::CreateModelessDialog(nullptr, unknown, main_, ProgressProc, 0), nullptr);
    platform::DestroyWindowNow(main_);
    EXPECT_EQ(RunOptions(main_), -1);
    EXPECT_EQ(driverCalls, 0);
    EXPECT_TRUE(script.messages.empty());
    EXPECT_TRUE(desktop::DialogLog().empty());
}

TEST_F(DesktopDialogs, DestroyingTheOwnerDestroysItsDialogs) {
    const WindowHandle dialog =
        platform::CreateModelessDialog(nullptr, &resources::kOptionsDialog, main_, ProgressProc, 0);
    ASSERT_NE(dialog, nullptr);
    platform::DestroyWindowNow(main_);
    EXPECT_FALSE(desktop::IsWindowAlive(dialog));
    EXPECT_EQ(script.messages.back(), platform::kWmDestroy);
}

}  // namespace
}  // namespace halvern
