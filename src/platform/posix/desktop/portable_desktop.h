#pragma once

// The other side of the portable desktop: what the substitute host and the tests do to it. The
// host creates its main window and menu bar here, gives the focus, holds keys down and answers
// message boxes and dialogs; the module sees all of it only through platform/desktop.h. Messages
// reach a window through its current procedure with SendWindowMessage of desktop.h, as the
// host's message loop would deliver them.
//
// One desktop serves the whole process and needs no set-up. It is used from one thread, as the
// windows of the host's main thread are.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace halvern::platform::desktop {

// Forgets every window, menu, key, log, callback, registry key, module file and setting, as a new
// process would find the desktop; the registry is read again from its file at its next use. Handles
// of before the reset stay invalid for good.
void Reset();

// --- Windows -----------------------------------------------------------------------------------

// A top-level window with that title and procedure (null: one that answers 0 to everything and
// destroys the window on kWmClose, as the system's default procedure does).
WindowHandle CreateTopLevelWindow(const char* title, WindowProc procedure);
// A child window of `parent`: GetParentWindow leads from it to the parent. Null when the parent
// does not exist.
WindowHandle CreateChildWindow(WindowHandle parent, const char* title, WindowProc procedure);

bool IsWindowAlive(WindowHandle window);

struct WindowInfo {
    std::string className;  // "#32770" for dialogs, the control's class for controls
    std::string text;       // the title or the control's text
    WindowHandle parent = nullptr;
    WindowHandle owner = nullptr;
    std::uint32_t style = 0;
    int controlId = 0;  // as the template gives it (-1 for 0xFFFF)
    bool visible = false;
    int showCount = 0;       // ShowWindowNormal calls
    int paintCount = 0;      // PaintWindowNow calls
    int dialogResource = 0;  // the dialog's resource id; 0 for other windows
};
std::optional<WindowInfo> DescribeWindow(WindowHandle window);

// Gives the keyboard focus to the window (null: to none). False, and the focus unchanged, when
// the window does not exist.
bool SetFocusWindow(WindowHandle window);

// --- Menus -------------------------------------------------------------------------------------

MenuHandle CreateMenuBar();  // CreateMenu
// Appends a string item (a popup item when `submenu` is given) or a separator.
bool AppendMenuItem(MenuHandle menu, const char* text, std::uint32_t id,
                    MenuHandle submenu = nullptr);
bool AppendMenuSeparator(MenuHandle menu);
// SetMenu: the window's menu bar (null: none). The bar is destroyed with the window.
bool SetWindowMenuBar(WindowHandle window, MenuHandle menu);
// DeleteMenu by position: the item goes, and its submenu is destroyed with it.
bool DeleteMenuItem(MenuHandle menu, int position);
// RemoveMenu by position: the item goes, its submenu stays alive.
bool RemoveMenuItem(MenuHandle menu, int position);
// DestroyMenu: the menu and its submenus.
bool DestroyMenuHandle(MenuHandle menu);

// --- Keys --------------------------------------------------------------------------------------

// Holds the key down or lets it up; every press also flips the key's toggle state (low bit).
void SetKeyDown(int virtualKey, bool down);

// --- Message boxes -----------------------------------------------------------------------------

struct MessageBoxRecord {
    WindowHandle owner = nullptr;
    std::string text;
    std::string caption;  // the system's "Error" when the caller gave none
    std::uint32_t type = 0;
    int answer = 0;
};

// Chooses the button pressed; without a responder every box is answered kIdOk.
using MessageBoxResponder = std::function<int(const MessageBoxRecord&)>;
void SetMessageBoxResponder(MessageBoxResponder responder);
std::vector<MessageBoxRecord> MessageBoxLog();

// --- Dialogs -----------------------------------------------------------------------------------

// Plays the user of a modal dialog: called once the dialog procedure has handled
// kWmInitDialog, it may set texts and checks and click buttons until the dialog procedure ends
// the dialog. A dialog still running when the driver returns is ended with -1. Without a driver
// each modal dialog receives one IDCANCEL command.
using DialogDriver = std::function<void(WindowHandle dialog, int resourceId)>;
void SetDialogDriver(DialogDriver driver);

// Every dialog created since the reset, kept after the window is gone.
struct DialogRecord {
    WindowHandle dialog = nullptr;
    int resourceId = 0;
    bool modal = false;
    WindowHandle owner = nullptr;
    LParam parameter = 0;
    int showCount = 0;
    int paintCount = 0;
    bool ended = false;
    std::intptr_t result = 0;  // what EndModalDialog was given
    bool destroyed = false;
};
std::vector<DialogRecord> DialogLog();

// The newest dialog of that resource that still exists; null when none does.
WindowHandle FindDialog(int resourceId);

// The text of a control of the dialog; empty when there is no such control.
std::string ControlText(WindowHandle dialog, int id);

// The user clicks the control: an automatic check box changes its check first, then the
// dialog procedure receives kWmCommand with the id (notification 0) and the control's handle.
// False when the dialog has no such control.
bool ClickButton(WindowHandle dialog, int id);
// The user clicks the dialog's close box: kWmClose, which a dialog procedure that leaves it
// alone turns into the IDCANCEL command.
void CloseDialog(WindowHandle dialog);

// Every position a progress bar was sent (kPbmSetPos), in order, kept after the window is gone;
// the bar itself shows the position limited to its range, 0 to 100.
struct ProgressStep {
    WindowHandle dialog = nullptr;
    int controlId = 0;
    WParam position = 0;
};
std::vector<ProgressStep> ProgressLog();
// The position a progress bar shows; -1 when the window is not a progress bar.
int ProgressPosition(WindowHandle bar);

// As though the common controls were not loaded: a dialog with a progress bar cannot be created.
void SetProgressClassAvailable(bool available);

// --- The registry ------------------------------------------------------------------------------

// The registry lives in one file, by default $XDG_CONFIG_HOME/halvern/registry (else
// ~/.config/halvern/registry). A non-empty path given here takes its place until the reset.
void SetRegistryFilePath(const std::string& path);
// The file in use; empty when there is none (no home directory), and the registry is then kept
// in memory only.
std::string RegistryFilePath();

// As though access to the current user's keys were denied: opening and creating keys fail.
void SetRegistryAvailable(bool available);

// Values as a registry editor would see and set them, with the registry's types (4: REG_DWORD).
struct RegistryValue {
    std::uint32_t type = 0;
    std::vector<unsigned char> data;
};
bool RegistryKeyExists(const char* subKey);
std::optional<RegistryValue> ReadRegistryValue(const char* subKey, const char* name);
// Creates the key when needed. False when it cannot be stored.
bool WriteRegistryValue(const char* subKey, const char* name, const RegistryValue& value);

// --- Module files ------------------------------------------------------------------------------

// As though the module at that instance had been loaded from the file at `path` (a native path):
// GetModuleFilePath names that file for the instance until the reset.
void SetModuleFilePath(InstanceHandle instance, const std::string& path);

// --- The shell ---------------------------------------------------------------------------------

struct ShellRequest {
    WindowHandle owner = nullptr;
    std::string path;  // as the caller gave it, in the host's form
    std::intptr_t result = 0;
};
std::vector<ShellRequest> ShellLog();

}  // namespace halvern::platform::desktop
