#include "halvern-host/win32/window_chain.h"

#include <cstdio>

namespace halvern::host {

namespace {

// A command nobody knows, sent after the module file is freed.
constexpr UINT kCommandUnknown = 4242;

// What the other component's procedure replaced (one component, in one window, at a time).
WNDPROC otherPrevious = nullptr;

LRESULT CALLBACK OtherComponentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (otherPrevious == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return CallWindowProcA(otherPrevious, window, message, wParam, lParam);
}

WNDPROC HeadOfChain(HWND window) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
}

}  // namespace

bool WindowChain::Act(const ScriptAction& action) {
    const HWND window = window_.Handle();
    if (action.verb == "subclass") {
        if (otherPrevious == nullptr) {
            otherPrevious = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
                window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OtherComponentProc)));
        }
    } else if (action.verb == "unsubclass") {
        if (otherPrevious != nullptr && HeadOfChain(window) == &OtherComponentProc) {
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(otherPrevious));
            otherPrevious = nullptr;
        }
    } else if (action.verb == "restart") {
        runner_.StopModule();
        runner_.StartModule();
    } else if (action.verb == "unload") {
        unloadDue_ = true;
    } else if (action.verb == "ping") {
        SendMessageA(window, WM_USER, 0, 0);
    } else {
        return false;
    }
    return true;
}

void WindowChain::UnloadIfDue() {
    if (!unloadDue_) {
        return;
    }
    unloadDue_ = false;
    // The simulator stops the module and frees its file whatever is left in the window's chain;
    // the window then goes on receiving messages.
    runner_.Module().Stop();
    runner_.UnloadModule();
    unloaded_ = true;
    std::FILE* out = runner_.Out();
    std::fprintf(out, "module stopped and freed; its file is %s\n",
                 GetModuleHandleA("halvern.dll") != nullptr ? "still mapped" : "gone");
    const HWND window = window_.Handle();
    SendMessageA(window, WM_USER, 0, 0);
    SendMessageA(window, WM_COMMAND, kCommandUnknown, 0);
    std::fflush(out);
    runner_.EndFlight();
}

void WindowChain::ReleaseModule() {
    const WNDPROC head = HeadOfChain(window_.Handle());
    const bool hostsOwn = head == Win32HostWindow::OwnProcedure();
    std::fprintf(stderr, "halvern-host: the main window's procedure at the end: %s\n",
                 hostsOwn                      ? "the host's"
                 : head == &OtherComponentProc ? "the other component's"
                                               : "the module's");
    if (unloaded_) {
        // "unload" freed it already.
    } else if (hostsOwn) {
        runner_.UnloadModule();
    } else {
        std::fprintf(stderr,
                     "halvern-host: the module's window procedure is still installed; "
                     "the module stays loaded\n");
    }
}

}  // namespace halvern::host
