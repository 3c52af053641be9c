#pragma once

// The one state of the portable desktop, shared by every caller in the process. Handles are
// numbers, never addresses: a handle is looked up at every call, so a stale or foreign handle
// finds nothing instead of touching freed memory, and numbers are never given out twice.
//
// Callbacks (window and dialog procedures, the driver, the responder) may create and destroy
// windows and menus, so no reference into the state is held across a callback.

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/dialog_template.h"
#include "platform/posix/desktop/portable_desktop.h"
#include "platform/posix/desktop/registry_store.h"

namespace halvern::platform::desktop {

using Handle = std::uintptr_t;

// Control messages the desktop's controls answer, besides kPbmSetPos.
inline constexpr std::uint32_t kBmGetCheck = 0x00F0;  // button: read the check state
inline constexpr std::uint32_t kBmSetCheck = 0x00F1;  // button: set the check state
inline constexpr std::uint32_t kPbmGetPos = 0x0408;   // progress bar: read the position

enum class WindowKind { Plain, Dialog, Control };

struct Window {
    WindowKind kind = WindowKind::Plain;
    std::string className;
    std::string text;
    Handle parent = 0;  // child windows: the window they belong to
    Handle owner = 0;   // top-level pop-up windows: the window that owns them
    std::uint32_t style = 0;
    WindowProc procedure = nullptr;
    std::intptr_t userData = 0;
    Handle menu = 0;
    int controlId = 0;
    bool visible = false;
    int showCount = 0;
    int paintCount = 0;
    bool destroying = false;

    // Dialogs.
    DialogProc dialogProcedure = nullptr;
    int resourceId = 0;
    std::size_t logIndex = 0;  // its entry in the dialog log
    bool ended = false;
    std::intptr_t result = 0;

    // Controls.
    ControlClass controlClass = ControlClass::Static;
    std::uint32_t check = 0;
    int progressPosition = 0;
};

struct MenuEntry {
    std::uint32_t type = kMftString;
    std::uint32_t state = 0;
    std::uint32_t id = 0;
    Handle submenu = 0;
    std::uintptr_t data = 0;
    std::string text;
};

struct Menu {
    std::vector<MenuEntry> items;
};

struct Desktop {
    Handle lastHandle = 0x10000;  // survives resets, so that no number is given out twice

    std::map<Handle, Window> windows;  // in order of creation
    std::map<Handle, Menu> menus;
    Handle focus = 0;
    std::array<std::uint8_t, 256> keys{};  // 0x80: down, 0x01: toggled

    MessageBoxResponder responder;
    std::vector<MessageBoxRecord> messageBoxes;

    DialogDriver driver;
    std::vector<DialogRecord> dialogs;
    std::vector<ProgressStep> progress;
    bool progressClassAvailable = true;

    std::map<InstanceHandle, std::string> moduleFiles;  // SetModuleFilePath

    std::vector<ShellRequest> shellRequests;

    Registry registry;
};

Desktop& TheDesktop();
Handle NewHandle();

inline Handle NumberOf(WindowHandle window) {
    return reinterpret_cast<Handle>(window);
}
inline Handle NumberOf(MenuHandle menu) {
    return reinterpret_cast<Handle>(menu);
}
inline WindowHandle AsWindow(Handle number) {
    return reinterpret_cast<WindowHandle>(number);
}
inline MenuHandle AsMenu(Handle number) {
    return reinterpret_cast<MenuHandle>(number);
}

// The window or menu behind a handle; null when there is none.
Window* FindWindow(WindowHandle window);
Menu* FindMenu(Handle menu);

// Creates a window; its procedure is the desktop's own for its kind unless one is given.
Handle AddWindow(Window window);
// The windows whose parent (or owner) is that window, in order of creation.
std::vector<Handle> ChildrenOf(Handle window);
std::vector<Handle> OwnedBy(Handle window);
// Destroys the menu and its submenus.
void DestroyMenuTree(Handle menu);

// The desktop's own procedures: what a window answers before anyone subclasses it.
LResult DefaultWindowProcedure(WindowHandle window, std::uint32_t message, WParam wParam,
                               LParam lParam);
LResult DialogWindowProcedure(WindowHandle window, std::uint32_t message, WParam wParam,
                              LParam lParam);
LResult ControlWindowProcedure(WindowHandle window, std::uint32_t message, WParam wParam,
                               LParam lParam);

}  // namespace halvern::platform::desktop
