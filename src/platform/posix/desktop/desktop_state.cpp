#include "platform/posix/desktop/desktop_state.h"

#include <utility>

namespace halvern::platform::desktop {

Desktop& TheDesktop() {
    // Never destroyed: a module or a host object that lets go of a window or a registry key
    // while the process exits still finds the desktop in place.
    static Desktop* const desktop = new Desktop();
    return *desktop;
}

Handle NewHandle() {
    // In steps of four, as the system gives out its own handles.
    return TheDesktop().lastHandle += 4;
}

void Reset() {
    Desktop& desktop = TheDesktop();
    const Handle lastHandle = desktop.lastHandle;
    desktop = Desktop();
    desktop.lastHandle = lastHandle;
}

Window* FindWindow(WindowHandle window) {
    auto& windows = TheDesktop().windows;
    const auto found = windows.find(NumberOf(window));
    return found == windows.end() ? nullptr : &found->second;
}

Menu* FindMenu(Handle menu) {
    auto& menus = TheDesktop().menus;
    const auto found = menus.find(menu);
    return found == menus.end() ? nullptr : &found->second;
}

Handle AddWindow(Window window) {
    if (window.procedure == nullptr) {
        switch (window.kind) {
            case WindowKind::Plain:
                window.procedure = DefaultWindowProcedure;
                break;
            case WindowKind::Dialog:
                window.procedure = DialogWindowProcedure;
                break;
            case WindowKind::Control:
                window.procedure = ControlWindowProcedure;
                break;
        }
    }
    const Handle handle = NewHandle();
    TheDesktop().windows.emplace(handle, std::move(window));
    return handle;
}

std::vector<Handle> ChildrenOf(Handle window) {
    std::vector<Handle> children;
    for (const auto& [handle, child] : TheDesktop().windows) {
        if (child.parent == window) {
            children.push_back(handle);
        }
    }
    return children;
}

std::vector<Handle> OwnedBy(Handle window) {
    std::vector<Handle> owned;
    for (const auto& [handle, other] : TheDesktop().windows) {
        if (other.owner == window) {
            owned.push_back(handle);
        }
    }
    return owned;
}

void DestroyMenuTree(Handle menu) {
    auto& menus = TheDesktop().menus;
    // A menu met twice (shared or in a cycle) is gone at its second meeting.
    const auto found = menus.find(menu);
    if (found == menus.end()) {
        return;
    }
    const std::vector<MenuEntry> items = std::move(found->second.items);
    menus.erase(found);
    for (const MenuEntry& item : items) {
        DestroyMenuTree(item.submenu);
    }
}

}  // namespace halvern::platform::desktop
