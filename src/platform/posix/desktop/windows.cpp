// Windows, focus and messages of the portable desktop.

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

namespace desktop {

// --- The desktop's own procedure ----------------------------------------------------------------

LResult DefaultWindowProcedure(WindowHandle window, std::uint32_t message, WParam, LParam) {
    if (message == kWmClose) {
        DestroyWindowNow(window);
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

}  // namespace desktop
}  // namespace halvern::platform
