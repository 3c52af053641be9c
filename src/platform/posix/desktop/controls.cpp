// The controls of the portable desktop's dialogs: check boxes that hold their check and progress
// bars that keep their position, and the history of every position sent.

#include <algorithm>

#include "platform/desktop.h"
#include "platform/dialog_template.h"
#include "platform/posix/desktop/desktop_state.h"
#include "platform/posix/desktop/portable_desktop.h"

namespace halvern::platform::desktop {

namespace {

// The button kinds that hold a check state: check boxes, three-state boxes, radio buttons.
bool HoldsCheck(std::uint32_t style) {
    switch (style & kBsTypeMask) {
        case 0x2:  // check box
        case kBsAutoCheckBox:
        case 0x4:  // radio button
        case 0x5:  // three-state box
        case 0x6:  // automatic three-state box
        case 0x9:  // automatic radio button
            return true;
        default:
            return false;
    }
}

}  // namespace

LResult ControlWindowProcedure(WindowHandle window, std::uint32_t message, WParam wParam, LParam) {
    Window* control = FindWindow(window);
    if (control == nullptr) {
        return 0;
    }
    if (control->controlClass == ControlClass::ProgressBar) {
        if (message == kPbmSetPos) {
            const int previous = control->progressPosition;
            TheDesktop().progress.push_back(
                {AsWindow(control->parent), control->controlId, wParam});
            // The position is an int in the message; the bar keeps it within its range.
            const auto requested = static_cast<std::intptr_t>(wParam);
            control->progressPosition =
                static_cast<int>(std::clamp<std::intptr_t>(requested, 0, 100));
            return previous;
        }
        if (message == kPbmGetPos) {
            return control->progressPosition;
        }
    }
    if (control->controlClass == ControlClass::Button) {
        if (message == kBmGetCheck) {
            return static_cast<LResult>(control->check);
        }
        if (message == kBmSetCheck && HoldsCheck(control->style)) {
            control->check = static_cast<std::uint32_t>(wParam & 0x3);
        }
    }
    return 0;
}

std::vector<ProgressStep> ProgressLog() {
    return TheDesktop().progress;
}

int ProgressPosition(WindowHandle bar) {
    const Window* control = FindWindow(bar);
    if (control == nullptr || control->kind != WindowKind::Control ||
        control->controlClass != ControlClass::ProgressBar) {
        return -1;
    }
    return control->progressPosition;
}

}  // namespace halvern::platform::desktop
