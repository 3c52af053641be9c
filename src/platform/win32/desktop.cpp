#include "platform/desktop.h"
#include "platform/dialog_template.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// After windows.h: the lean set leaves the shell's declarations out.
#include <shellapi.h>

#include <cstddef>
#include <cstring>

namespace halvern::platform {

// The handles of desktop.h are the system's own handles under another name, and the procedure
// types have the system's signature and calling convention.
static_assert(sizeof(WindowHandle) == sizeof(HWND) && sizeof(MenuHandle) == sizeof(HMENU));
static_assert(sizeof(WParam) == sizeof(WPARAM) && sizeof(LParam) == sizeof(LPARAM) &&
              sizeof(LResult) == sizeof(LRESULT));

namespace {

HWND AsWindow(WindowHandle window) {
    return reinterpret_cast<HWND>(window);
}
WindowHandle FromWindow(HWND window) {
    return reinterpret_cast<WindowHandle>(window);
}
HMENU AsMenu(MenuHandle menu) {
    return reinterpret_cast<HMENU>(menu);
}
MenuHandle FromMenu(HMENU menu) {
    return reinterpret_cast<MenuHandle>(menu);
}
// WindowProc and DialogProc are one type here, so the two conversions carry different names.
WNDPROC AsWindowProc(WindowProc procedure) {
    return reinterpret_cast<WNDPROC>(procedure);
}
DLGPROC AsDialogProc(DialogProc procedure) {
    return reinterpret_cast<DLGPROC>(procedure);
}
HINSTANCE AsInstance(InstanceHandle instance) {
    return static_cast<HINSTANCE>(instance);
}

// MAKEINTRESOURCEA without its C casts: the id travels in the low word of the name pointer.
LPCSTR ResourceName(int resourceId) {
    return reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(resourceId)));
}

// The module describes menu items with the record as it was before hbmpItem was added (44 bytes
// on 32-bit Windows), which every version of the system accepts. On 64-bit Windows the same
// offset is the older record's size there.
constexpr UINT kMenuItemInfoSize = offsetof(MENUITEMINFOA, hbmpItem);
#if defined(__i386__) || defined(_M_IX86)
static_assert(kMenuItemInfoSize == 44);
#endif

// MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE | MIIM_DATA: everything the module reads or
// writes of an item.
constexpr UINT kMenuItemMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE | MIIM_DATA;
static_assert(kMenuItemMask == 0x37);

// The text buffer handed to GetMenuItemInfoA: 255 characters including the terminator.
constexpr UINT kMenuTextCapacity = 255;
static_assert(kMenuTextCapacity < sizeof MenuItem::text);

}  // namespace

// --- Windows -----------------------------------------------------------------------------------

WindowHandle GetFocusWindow() {
    return FromWindow(GetFocus());
}

WindowHandle GetParentWindow(WindowHandle window) {
    return FromWindow(GetParent(AsWindow(window)));
}

WindowProc GetWindowProcedure(WindowHandle window) {
    return reinterpret_cast<WindowProc>(GetWindowLongPtrA(AsWindow(window), GWLP_WNDPROC));
}

void SetWindowProcedure(WindowHandle window, WindowProc procedure) {
    SetWindowLongPtrA(AsWindow(window), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
}

LResult CallWindowProcedure(WindowProc procedure, WindowHandle window, std::uint32_t message,
                            WParam wParam, LParam lParam) {
    return CallWindowProcA(AsWindowProc(procedure), AsWindow(window), message, wParam, lParam);
}

std::intptr_t GetWindowUserData(WindowHandle window) {
    return GetWindowLongPtrA(AsWindow(window), GWLP_USERDATA);
}

void SetWindowUserData(WindowHandle window, std::intptr_t value) {
    SetWindowLongPtrA(AsWindow(window), GWLP_USERDATA, value);
}

LResult SendWindowMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                          LParam lParam) {
    return SendMessageA(AsWindow(window), message, wParam, lParam);
}

void ShowWindowNormal(WindowHandle window) {
    ShowWindow(AsWindow(window), SW_SHOWNORMAL);
}

void PaintWindowNow(WindowHandle window) {
    UpdateWindow(AsWindow(window));
}

void DestroyWindowNow(WindowHandle window) {
    DestroyWindow(AsWindow(window));
}

// --- Menus -------------------------------------------------------------------------------------

MenuHandle GetWindowMenu(WindowHandle window) {
    return FromMenu(GetMenu(AsWindow(window)));
}

int GetMenuItemCount(MenuHandle menu) {
    return ::GetMenuItemCount(AsMenu(menu));
}

bool GetMenuItemByPosition(MenuHandle menu, int position, MenuItem& item) {
    if (position < 0) {
        return false;
    }
    char text[kMenuTextCapacity] = {};
    MENUITEMINFOA info{};
    info.cbSize = kMenuItemInfoSize;
    info.fMask = kMenuItemMask;
    info.dwTypeData = text;
    info.cch = kMenuTextCapacity;
    if (!GetMenuItemInfoA(AsMenu(menu), static_cast<UINT>(position), TRUE, &info)) {
        return false;
    }
    item.type = info.fType;
    item.state = info.fState;
    item.id = info.wID;
    item.submenu = FromMenu(info.hSubMenu);
    item.data = info.dwItemData;
    // For a separator or a bitmap item the system leaves the buffer alone (a bitmap's handle
    // replaces dwTypeData itself), so the text is read from the buffer, which then stays empty.
    std::memcpy(item.text, text, sizeof text);
    item.text[kMenuTextCapacity - 1] = '\0';
    return true;
}

bool InsertMenuItemByPosition(MenuHandle menu, int position, const MenuItem& item) {
    if (position < 0) {
        return false;
    }
    // The system copies the text; the record only lends it.
    char text[sizeof item.text];
    std::memcpy(text, item.text, sizeof text);
    text[sizeof text - 1] = '\0';
    MENUITEMINFOA info{};
    info.cbSize = kMenuItemInfoSize;
    info.fMask = kMenuItemMask;
    info.fType = item.type;
    info.fState = item.state;
    info.wID = item.id;
    info.hSubMenu = AsMenu(item.submenu);
    info.dwItemData = item.data;
    info.dwTypeData = text;
    info.cch = static_cast<UINT>(std::strlen(text));
    return InsertMenuItemA(AsMenu(menu), static_cast<UINT>(position), TRUE, &info) != FALSE;
}

MenuHandle CreatePopupMenuHandle() {
    return FromMenu(CreatePopupMenu());
}

std::uint32_t GetMenuStateByPosition(MenuHandle menu, int position) {
    return GetMenuState(AsMenu(menu), static_cast<UINT>(position), MF_BYPOSITION);
}

void EnableMenuItemByPosition(MenuHandle menu, int position, std::uint32_t flags) {
    EnableMenuItem(AsMenu(menu), static_cast<UINT>(position), MF_BYPOSITION | flags);
}

bool SetMenuItemStateByCommand(MenuHandle menu, std::uint32_t id, std::uint32_t state) {
    MENUITEMINFOA info{};
    info.cbSize = kMenuItemInfoSize;
    info.fMask = MIIM_STATE;
    info.fState = state;
    // By command, the system also searches the submenus for the id.
    return SetMenuItemInfoA(AsMenu(menu), id, FALSE, &info) != FALSE;
}

bool IsMenuHandle(MenuHandle menu) {
    return IsMenu(AsMenu(menu)) != FALSE;
}

// --- Keys and message boxes ---------------------------------------------------------------------

std::int16_t GetKeyStateOf(int virtualKey) {
    return GetKeyState(virtualKey);
}

int ShowMessageBox(WindowHandle owner, const char* text, const char* caption, std::uint32_t type) {
    return MessageBoxA(AsWindow(owner), text, caption, type);
}

// --- Dialogs from the module's templates -------------------------------------------------------

std::intptr_t RunModalDialog(InstanceHandle instance, const DialogTemplate* dialog,
                             WindowHandle owner, DialogProc procedure, LParam parameter) {
    if (dialog == nullptr) {
        return -1;
    }
    return DialogBoxParamA(AsInstance(instance), ResourceName(dialog->resourceId), AsWindow(owner),
                           AsDialogProc(procedure), parameter);
}

WindowHandle CreateModelessDialog(InstanceHandle instance, const DialogTemplate* dialog,
                                  WindowHandle owner, DialogProc procedure, LParam parameter) {
    if (dialog == nullptr) {
        return nullptr;
    }
    return FromWindow(CreateDialogParamA(AsInstance(instance), ResourceName(dialog->resourceId),
                                         AsWindow(owner), AsDialogProc(procedure), parameter));
}

void EndModalDialog(WindowHandle dialog, std::intptr_t result) {
    EndDialog(AsWindow(dialog), result);
}

WindowHandle GetDialogItem(WindowHandle dialog, int id) {
    return FromWindow(GetDlgItem(AsWindow(dialog), id));
}

void SetDialogItemText(WindowHandle dialog, int id, const char* text) {
    SetDlgItemTextA(AsWindow(dialog), id, text);
}

void GetDialogItemText(WindowHandle dialog, int id, char* text, int capacity) {
    if (text == nullptr || capacity <= 0) {
        return;
    }
    // The system leaves the buffer untouched when the control does not exist.
    text[0] = '\0';
    GetDlgItemTextA(AsWindow(dialog), id, text, capacity);
}

void CheckDialogButton(WindowHandle dialog, int id, std::uint32_t state) {
    CheckDlgButton(AsWindow(dialog), id, state);
}

std::uint32_t IsDialogButtonChecked(WindowHandle dialog, int id) {
    return IsDlgButtonChecked(AsWindow(dialog), id);
}

// --- The module file, the registry, the shell ---------------------------------------------------

std::uint32_t GetModuleFilePath(InstanceHandle instance, char* path, std::uint32_t capacity) {
    if (path == nullptr || capacity == 0) {
        return 0;
    }
    const DWORD length = GetModuleFileNameA(static_cast<HMODULE>(instance), path, capacity);
    // A path that does not fit is cut to capacity - 1 characters, and the call returns the
    // capacity (older systems leave the cut path without a terminator).
    if (length >= capacity) {
        path[capacity - 1] = '\0';
        return capacity - 1;
    }
    return length;
}

InstanceHandle InstanceOfAddress(const void* address) {
    HMODULE module = nullptr;
    // The module's reference count is left alone: the caller lives inside the module it asks for.
    if (!GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            static_cast<LPCSTR>(address), &module)) {
        return nullptr;
    }
    return module;
}

RegistryKey::~RegistryKey() {
    if (key_ != nullptr) {
        RegCloseKey(static_cast<HKEY>(key_));
    }
}

bool RegistryKey::OpenOrCreate(const char* subKey) {
    if (key_ != nullptr) {
        RegCloseKey(static_cast<HKEY>(key_));
        key_ = nullptr;
    }
    char emptyClass[] = "";  // the call takes the class as a mutable string
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, subKey, 0, emptyClass, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    key_ = key;
    return true;
}

bool RegistryKey::QueryValue(const char* name, void* buffer, std::uint32_t& size) const {
    if (key_ == nullptr) {
        return false;
    }
    DWORD bytes = size;
    // The type is not asked for: a value of the right size is taken whatever its type.
    const LONG result = RegQueryValueExA(static_cast<HKEY>(key_), name, nullptr, nullptr,
                                         static_cast<BYTE*>(buffer), &bytes);
    // Too large a value answers ERROR_MORE_DATA with the size it needs.
    size = bytes;
    return result == ERROR_SUCCESS;
}

bool RegistryKey::SetDword(const char* name, std::uint32_t value) {
    if (key_ == nullptr) {
        return false;
    }
    const BYTE bytes[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8),
                           static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 24)};
    return RegSetValueExA(static_cast<HKEY>(key_), name, 0, REG_DWORD, bytes, sizeof bytes) ==
           ERROR_SUCCESS;
}

std::intptr_t OpenWithShell(WindowHandle owner, const char* path) {
    // The result is an instance handle only in name: a number above 32 for success, an error
    // code otherwise.
    return reinterpret_cast<std::intptr_t>(
        ShellExecuteA(AsWindow(owner), "open", path, nullptr, "", SW_SHOWNORMAL));
}

}  // namespace halvern::platform
