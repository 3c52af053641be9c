#pragma once

// The desktop services the module uses: windows and their procedures, the host's menu bar, key
// state, message boxes, dialogs from the module's templates, the module file's name, the
// registry and the shell. On Windows each call forwards to the one user32, kernel32, advapi32 or
// shell32 call of the same name; on other systems a portable in-process desktop answers them
// (shared by the module and the host in one process, as user32 is on Windows).
//
// Handles, messages and flags keep their Windows values, so that the module's logic reads the
// same everywhere.

#include <cstddef>
#include <cstdint>

#include "platform/calling_convention.h"

namespace halvern::platform {

struct DesktopWindow;
struct DesktopMenu;
struct DialogTemplate;  // dialog_template.h
using WindowHandle = DesktopWindow*;
using MenuHandle = DesktopMenu*;
using InstanceHandle = void*;

using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

// Window and dialog procedures, in the system's calling convention (stdcall on 32-bit Windows,
// which HALVERN_HOSTCALL also selects there).
using WindowProc = LResult(HALVERN_HOSTCALL*)(WindowHandle, std::uint32_t, WParam, LParam);
using DialogProc = std::intptr_t(HALVERN_HOSTCALL*)(WindowHandle, std::uint32_t, WParam, LParam);

// Messages.
inline constexpr std::uint32_t kWmDestroy = 0x0002;
inline constexpr std::uint32_t kWmClose = 0x0010;
inline constexpr std::uint32_t kWmNcPaint = 0x0085;
inline constexpr std::uint32_t kWmKeyDown = 0x0100;
inline constexpr std::uint32_t kWmSysKeyDown = 0x0104;
inline constexpr std::uint32_t kWmInitDialog = 0x0110;
inline constexpr std::uint32_t kWmCommand = 0x0111;
inline constexpr std::uint32_t kWmTimer = 0x0113;
inline constexpr std::uint32_t kPbmSetPos = 0x0402;  // progress bar: set position

// Virtual keys.
inline constexpr int kVkShift = 0x10;
inline constexpr int kVkControl = 0x11;
inline constexpr int kVkMenu = 0x12;  // Alt
inline constexpr int kVkF12 = 0x7B;

// Dialog results and button states.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr std::uint32_t kButtonChecked = 1;

// Message box styles.
inline constexpr std::uint32_t kMbOk = 0x00;
inline constexpr std::uint32_t kMbIconError = 0x10;
inline constexpr std::uint32_t kMbIconInformation = 0x40;

// Menu item types, states and flags.
inline constexpr std::uint32_t kMftString = 0x0000;
inline constexpr std::uint32_t kMftSeparator = 0x0800;
inline constexpr std::uint32_t kMfsChecked = 0x0008;
inline constexpr std::uint32_t kMfGrayed = 0x0001;
inline constexpr std::uint32_t kMfDisabled = 0x0002;
inline constexpr std::uint32_t kMfByPosition = 0x0400;

inline constexpr int kShowNormal = 1;  // SW_SHOWNORMAL

// --- Windows -----------------------------------------------------------------------------------

WindowHandle GetFocusWindow();                                       // GetFocus
WindowHandle GetParentWindow(WindowHandle window);                   // GetParent
WindowProc GetWindowProcedure(WindowHandle window);                  // GetWindowLongA(GWL_WNDPROC)
void SetWindowProcedure(WindowHandle window, WindowProc procedure);  // SetWindowLongA(GWL_WNDPROC)
LResult CallWindowProcedure(WindowProc procedure, WindowHandle window, std::uint32_t message,
                            WParam wParam, LParam lParam);  // CallWindowProcA
std::intptr_t GetWindowUserData(WindowHandle window);       // GetWindowLongA(GWL_USERDATA)
void SetWindowUserData(WindowHandle window, std::intptr_t value);
LResult SendWindowMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                          LParam lParam);    // SendMessageA
void ShowWindowNormal(WindowHandle window);  // ShowWindow(SW_SHOWNORMAL)
void PaintWindowNow(WindowHandle window);    // UpdateWindow
void DestroyWindowNow(WindowHandle window);  // DestroyWindow

// --- Menus -------------------------------------------------------------------------------------

// One menu item as MENUITEMINFOA describes it (type, state, id, submenu, item data, text).
struct MenuItem {
    std::uint32_t type = kMftString;
    std::uint32_t state = 0;
    std::uint32_t id = 0;
    MenuHandle submenu = nullptr;
    std::uintptr_t data = 0;
    char text[256] = {};  // read with a 255-character buffer: at most 254 and the terminator
};

MenuHandle GetWindowMenu(WindowHandle window);  // GetMenu
int GetMenuItemCount(MenuHandle menu);          // GetMenuItemCount; -1 for no menu
// GetMenuItemInfoA by position with a 255-character text buffer; false when the call fails.
bool GetMenuItemByPosition(MenuHandle menu, int position, MenuItem& item);
// InsertMenuItemA by position (before the item at `position`; at the count: appended).
bool InsertMenuItemByPosition(MenuHandle menu, int position, const MenuItem& item);
MenuHandle CreatePopupMenuHandle();                                   // CreatePopupMenu
std::uint32_t GetMenuStateByPosition(MenuHandle menu, int position);  // GetMenuState(MF_BYPOSITION)
void EnableMenuItemByPosition(MenuHandle menu, int position,
                              std::uint32_t flags);  // EnableMenuItem
// SetMenuItemInfoA(MIIM_STATE) for the item with that command id (searched in submenus too).
bool SetMenuItemStateByCommand(MenuHandle menu, std::uint32_t id, std::uint32_t state);
bool IsMenuHandle(MenuHandle menu);  // IsMenu

// --- Keys and message boxes ---------------------------------------------------------------------

std::int16_t GetKeyStateOf(int virtualKey);  // GetKeyState: the high bit means down
// MessageBoxA; returns the button pressed.
int ShowMessageBox(WindowHandle owner, const char* text, const char* caption, std::uint32_t type);

// --- Dialogs from the module's templates -------------------------------------------------------

// The template names the dialog: on Windows its resource id among the resources of `instance`,
// elsewhere it is built from the description itself. No template (a template the module does
// not have) creates nothing, as a resource the system cannot find.

// DialogBoxParamA: runs the dialog modally; returns what EndDialog was given, or -1.
std::intptr_t RunModalDialog(InstanceHandle instance, const DialogTemplate* dialog,
                             WindowHandle owner, DialogProc procedure, LParam parameter);
// CreateDialogParamA: a modeless dialog; null when it cannot be created.
WindowHandle CreateModelessDialog(InstanceHandle instance, const DialogTemplate* dialog,
                                  WindowHandle owner, DialogProc procedure, LParam parameter);
void EndModalDialog(WindowHandle dialog, std::intptr_t result);         // EndDialog
WindowHandle GetDialogItem(WindowHandle dialog, int id);                // GetDlgItem
void SetDialogItemText(WindowHandle dialog, int id, const char* text);  // SetDlgItemTextA
// GetDlgItemTextA into `capacity` characters including the terminator.
void GetDialogItemText(WindowHandle dialog, int id, char* text, int capacity);
void CheckDialogButton(WindowHandle dialog, int id, std::uint32_t state);  // CheckDlgButton
std::uint32_t IsDialogButtonChecked(WindowHandle dialog, int id);          // IsDlgButtonChecked

// --- The module file, the registry, the shell ---------------------------------------------------

// GetModuleFileNameA: the module file's full path in the host's form, at most capacity - 1
// characters and a terminator; returns the length written (0 on failure).
std::uint32_t GetModuleFilePath(InstanceHandle instance, char* path, std::uint32_t capacity);
// The instance handle of the loaded module (library or program) that contains `address`; null
// when none does (GetModuleHandleExA from an address; on other systems the module's base).
InstanceHandle InstanceOfAddress(const void* address);

// A registry key under the current user, opened or created with RegCreateKeyExA (empty class,
// non-volatile, all access, no security attributes); closed by the destructor.
class RegistryKey {
  public:
    RegistryKey() = default;
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool OpenOrCreate(const char* subKey);
    // RegQueryValueExA into `buffer` of `size` bytes; false when the value is absent or does
    // not fit. On success `size` holds the bytes read.
    bool QueryValue(const char* name, void* buffer, std::uint32_t& size) const;
    // RegSetValueExA with REG_DWORD.
    bool SetDword(const char* name, std::uint32_t value);

  private:
    void* key_ = nullptr;
};

// ShellExecuteA(owner, "open", path, null, "", SW_SHOWNORMAL); the shell's result, where 32 and
// below mean failure.
std::intptr_t OpenWithShell(WindowHandle owner, const char* path);

}  // namespace halvern::platform
