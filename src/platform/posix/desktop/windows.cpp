// Windows, focus, messages, key state and message boxes of the portable desktop.

#include <algorithm>
#include <utility>

#include "platform/desktop.h"
#include "platform/dialog_template.h"
#include "platform/posix/desktop/desktop_state.h"
#include "platform/posix/desktop/portable_desktop.h"

namespace halvern::platform {

using desktop::FindWindow;
using desktop::Handle;
using desktop::TheDesktop;
using desktop::Window;

namespace {

constexpr std::uint32_t kWsOverlappedWindow = 0x00CF0000;  // caption, frame, system menu, boxes

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

WindowHandle CreatePlainWindow(Handle parent, const char* title, WindowProc procedure,
                               std::uint32_t style) {
    Window window;
    window.className = "HalvernDesktopWindow";
    window.text = title == nullptr ? "" : title;
    window.parent = parent;
    window.style = style;
    window.procedure = procedure;
    window.visible = true;
    return desktop::AsWindow(desktop::AddWindow(std::move(window)));
}

}  // namespace

// --- Windows -----------------------------------------------------------------------------------

WindowHandle GetFocusWindow() {
    return desktop::AsWindow(TheDesktop().focus);
}

WindowHandle GetParentWindow(WindowHandle window) {
    const Window* found = FindWindow(window);
    if (found == nullptr) {
        return nullptr;
    }
    // As the system answers: a child window's parent, a pop-up window's owner, and for any other
    // top-level window none.
    if ((found->style & kWsChild) != 0) {
        return desktop::AsWindow(found->parent);
    }
    if ((found->style & kWsPopup) != 0) {
        return desktop::AsWindow(found->owner);
    }
    return nullptr;
}

WindowProc GetWindowProcedure(WindowHandle window) {
    const Window* found = FindWindow(window);
    return found == nullptr ? nullptr : found->procedure;
}

void SetWindowProcedure(WindowHandle window, WindowProc procedure) {
    if (Window* found = FindWindow(window)) {
        found->procedure = procedure;
    }
}

LResult CallWindowProcedure(WindowProc procedure, WindowHandle window, std::uint32_t message,
                            WParam wParam, LParam lParam) {
    return procedure == nullptr ? 0 : procedure(window, message, wParam, lParam);
}

std::intptr_t GetWindowUserData(WindowHandle window) {
    const Window* found = FindWindow(window);
    return found == nullptr ? 0 : found->userData;
}

void SetWindowUserData(WindowHandle window, std::intptr_t value) {
    if (Window* found = FindWindow(window)) {
        found->userData = value;
    }
}

LResult SendWindowMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                          LParam lParam) {
    const Window* found = FindWindow(window);
    if (found == nullptr) {
        return 0;
    }
    return CallWindowProcedure(found->procedure, window, message, wParam, lParam);
}

void ShowWindowNormal(WindowHandle window) {
    Window* found = FindWindow(window);
    if (found == nullptr) {
        return;
    }
    found->visible = true;
    ++found->showCount;
    if (found->kind == desktop::WindowKind::Dialog) {
        ++TheDesktop().dialogs[found->logIndex].showCount;
    }
}

void PaintWindowNow(WindowHandle window) {
    Window* found = FindWindow(window);
    if (found == nullptr) {
        return;
    }
    ++found->paintCount;
    if (found->kind == desktop::WindowKind::Dialog) {
        ++TheDesktop().dialogs[found->logIndex].paintCount;
    }
}

void DestroyWindowNow(WindowHandle window) {
    Window* found = FindWindow(window);
    if (found == nullptr || found->destroying) {
        return;
    }
    found->destroying = true;
    const Handle handle = desktop::NumberOf(window);
    // The order the system keeps: owned windows go first; the window hears kWmDestroy while its
    // children still exist, then they follow.
    for (const Handle owned : desktop::OwnedBy(handle)) {
        DestroyWindowNow(desktop::AsWindow(owned));
    }
    SendWindowMessage(window, kWmDestroy, 0, 0);
    for (const Handle child : desktop::ChildrenOf(handle)) {
        DestroyWindowNow(desktop::AsWindow(child));
    }
    desktop::Desktop& state = TheDesktop();
    found = FindWindow(window);
    if (found == nullptr) {
        return;
    }
    if (found->kind == desktop::WindowKind::Dialog) {
        state.dialogs[found->logIndex].destroyed = true;
    }
    // A window's menu bar, with its submenus, goes with the window.
    const Handle menu = found->menu;
    state.windows.erase(handle);
    if (state.focus == handle) {
        state.focus = 0;
    }
    desktop::DestroyMenuTree(menu);
}

// --- Keys and message boxes ---------------------------------------------------------------------

std::int16_t GetKeyStateOf(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 0xFF) {
        return 0;
    }
    const std::uint8_t key = TheDesktop().keys[static_cast<std::size_t>(virtualKey)];
    const auto bits = static_cast<std::uint16_t>(((key & 0x80) != 0 ? 0x8000 : 0) | (key & 0x01));
    return static_cast<std::int16_t>(bits);
}

int ShowMessageBox(WindowHandle owner, const char* text, const char* caption, std::uint32_t type) {
    desktop::MessageBoxRecord record;
    record.owner = owner;
    record.text = text == nullptr ? "" : text;
    record.caption = caption == nullptr ? "Error" : caption;
    record.type = type;
    auto& log = TheDesktop().messageBoxes;
    const std::size_t index = log.size();
    log.push_back(record);
    // A copy: the responder may install another while it runs.
    const desktop::MessageBoxResponder responder = TheDesktop().responder;
    const int answer = responder ? responder(record) : kIdOk;
    if (index < TheDesktop().messageBoxes.size()) {
        TheDesktop().messageBoxes[index].answer = answer;
    }
    return answer;
}

namespace desktop {

// --- The desktop's own procedures ---------------------------------------------------------------

LResult DefaultWindowProcedure(WindowHandle window, std::uint32_t message, WParam, LParam) {
    if (message == kWmClose) {
        DestroyWindowNow(window);
    }
    return 0;
}

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

// --- The host's side ----------------------------------------------------------------------------

WindowHandle CreateTopLevelWindow(const char* title, WindowProc procedure) {
    return CreatePlainWindow(0, title, procedure, kWsOverlappedWindow | kWsVisible);
}

WindowHandle CreateChildWindow(WindowHandle parent, const char* title, WindowProc procedure) {
    if (FindWindow(parent) == nullptr) {
        return nullptr;
    }
    return CreatePlainWindow(NumberOf(parent), title, procedure, kWsChild | kWsVisible);
}

bool IsWindowAlive(WindowHandle window) {
    return FindWindow(window) != nullptr;
}

std::optional<WindowInfo> DescribeWindow(WindowHandle window) {
    const Window* found = FindWindow(window);
    if (found == nullptr) {
        return std::nullopt;
    }
    WindowInfo info;
    info.className = found->className;
    info.text = found->text;
    info.parent = AsWindow(found->parent);
    info.owner = AsWindow(found->owner);
    info.style = found->style;
    info.controlId = found->controlId;
    info.visible = found->visible;
    info.showCount = found->showCount;
    info.paintCount = found->paintCount;
    info.dialogResource = found->resourceId;
    return info;
}

bool SetFocusWindow(WindowHandle window) {
    if (window != nullptr && FindWindow(window) == nullptr) {
        return false;
    }
    TheDesktop().focus = NumberOf(window);
    return true;
}

void SetKeyDown(int virtualKey, bool down) {
    if (virtualKey < 0 || virtualKey > 0xFF) {
        return;
    }
    std::uint8_t& key = TheDesktop().keys[static_cast<std::size_t>(virtualKey)];
    auto toggled = static_cast<std::uint8_t>(key & 0x01);
    if (down && (key & 0x80) == 0) {
        toggled ^= 0x01;
    }
    key = static_cast<std::uint8_t>((down ? 0x80 : 0) | toggled);
}

void SetMessageBoxResponder(MessageBoxResponder responder) {
    TheDesktop().responder = std::move(responder);
}

std::vector<MessageBoxRecord> MessageBoxLog() {
    return TheDesktop().messageBoxes;
}

}  // namespace desktop
}  // namespace halvern::platform
