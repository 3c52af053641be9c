#pragma once

// The substitute host's main window, with a menu bar of its own, as the module meets it: the
// window the module subclasses, the bar it adds its "Modules" menu to, the keys and commands
// the user gives. The flight runner acts through it; each host has its own: the portable one on
// the platform's desktop (posix/), the Windows one with real messages (win32/).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "halvern-host/menu_path.h"
#include "halvern-host/options_entry.h"

namespace halvern::host {

class HostWindow {
  public:
    virtual ~HostWindow() = default;

    // Creates the main window and its menu bar ("File", "Views") and gives it the focus.
    virtual bool Create(const std::string& title) = 0;
    // A non-client paint of the main window (the module restores its menu entries then).
    virtual void RepaintFrame() = 0;
    // A key-down of F12 with the given modifiers held, through the window's procedure.
    virtual void PressF12(bool shift, bool control, bool alt) = 0;
    // The window's menus, read as this host reads them.
    virtual const MenuReader& Menus() const = 0;
    // The host deletes the item at `position` of `menu`; false when it cannot.
    virtual bool DeleteMenuItem(void* menu, int position) = 0;
    // A WM_COMMAND with that id, as choosing a menu item sends it.
    virtual void Command(std::uint32_t id) = 0;
    // The user chooses the last item of a menu path found in the menu bar.
    virtual void ChooseMenuItem(const std::vector<MenuStep>& path) { Command(path.back().item.id); }
    // The next options dialog is answered with these values and OK (then Cancel if the module
    // refuses them).
    virtual void AnswerNextOptionsDialog(const OptionsEntry& entry) = 0;
    // True while what an action started is still under way: a window that handles its commands
    // in a message loop, and answers dialogs there, is busy until the command has been handled
    // completely. The flight waits meanwhile.
    virtual bool Busy() { return false; }
    // The module has handed over the lines of a new event (a window that draws them draws anew).
    virtual void EventRaised() {}

    // Every message box the module shows is reported here (after it was answered with OK).
    std::function<void(const std::string& caption, const std::string& text)> onMessageBox;
    // Every message the host's own window procedure acts on ("command 100", "WM_USER").
    std::function<void(const std::string& message)> onHostMessage;
};

}  // namespace halvern::host
