// Windows, their procedures and messages, key state and message boxes: user32 under the
// desktop's names.

#include "platform/desktop.h"
#include "platform/win32/desktop/system_handles.h"

namespace halvern::platform {

using namespace win32;

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

// --- Keys and message boxes ---------------------------------------------------------------------

std::int16_t GetKeyStateOf(int virtualKey) {
    return GetKeyState(virtualKey);
}

int ShowMessageBox(WindowHandle owner, const char* text, const char* caption, std::uint32_t type) {
    return MessageBoxA(AsWindow(owner), text, caption, type);
}

}  // namespace halvern::platform
