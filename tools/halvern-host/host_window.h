#pragma once

// The substitute host's main window, with a menu bar of its own, as the module meets it: the
// window the module subclasses, the bar it adds its "Modules" menu to, the keys and commands
// the user gives. One implementation for the portable desktop, one for Windows.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace halvern::host {

// Values to enter in the module's options dialog.
struct OptionsEntry {
    std::string distance;       // the edit text
    std::uint32_t options = 0;  // the six display bits
};

class HostWindow {
  public:
    virtual ~HostWindow() = default;

    // Creates the main window and its menu bar and gives it the focus.
    virtual bool Create(const std::string& title) = 0;
    // A non-client paint of the main window (the module restores its menu entries then).
    virtual void RepaintFrame() = 0;
    // A key-down of F12 with the given modifiers held, through the window's procedure.
    virtual void PressF12(bool shift, bool control, bool alt) = 0;
    // Chooses the menu item at that path ("Modules>Halvern>Show airports", ampersands and
    // anything after a tab left out); false when there is none.
    virtual bool ChooseMenu(const std::string& path) = 0;
    // The host deletes the menu item at that path; false when there is none.
    virtual bool RemoveMenu(const std::string& path) = 0;
    // A WM_COMMAND with that id.
    virtual void Command(std::uint32_t id) = 0;
    // The next options dialog is answered with these values and OK (then Cancel if the module
    // refuses them).
    virtual void AnswerNextOptionsDialog(const OptionsEntry& entry) = 0;
    // The text of the module's menu ("Show airports" with its check mark), for printing.
    virtual std::string DescribeModuleMenu() = 0;
    // Every message box the module shows is reported here (after it was answered with OK).
    std::function<void(const std::string& caption, const std::string& text)> onMessageBox;
    // Every command that reaches the host's own window procedure is reported here.
    std::function<void(std::uint32_t id)> onHostCommand;
};

std::unique_ptr<HostWindow> CreateHostWindow();

}  // namespace halvern::host
