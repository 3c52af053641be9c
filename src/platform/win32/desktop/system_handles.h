#pragma once

// The desktop's handles and procedures as the system's own types: each desktop call converts
// its arguments with these and forwards them to the one system call of its name.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/desktop.h"

namespace halvern::platform::win32 {

// The handles of desktop.h are the system's own handles under another name, and the procedure
// types have the system's signature and calling convention.
static_assert(sizeof(WindowHandle) == sizeof(HWND) && sizeof(MenuHandle) == sizeof(HMENU));
static_assert(sizeof(WParam) == sizeof(WPARAM) && sizeof(LParam) == sizeof(LPARAM) &&
              sizeof(LResult) == sizeof(LRESULT));

inline HWND AsWindow(WindowHandle window) {
    return reinterpret_cast<HWND>(window);
}
inline WindowHandle FromWindow(HWND window) {
    return reinterpret_cast<WindowHandle>(window);
}
inline HMENU AsMenu(MenuHandle menu) {
    return reinterpret_cast<HMENU>(menu);
}
inline MenuHandle FromMenu(HMENU menu) {
    return reinterpret_cast<MenuHandle>(menu);
}
// WindowProc and DialogProc are one type here, so the two conversions carry different names.
inline WNDPROC AsWindowProc(WindowProc procedure) {
    return reinterpret_cast<WNDPROC>(procedure);
}
inline DLGPROC AsDialogProc(DialogProc procedure) {
    return reinterpret_cast<DLGPROC>(procedure);
}
inline HINSTANCE AsInstance(InstanceHandle instance) {
    return static_cast<HINSTANCE>(instance);
}

}  // namespace halvern::platform::win32
