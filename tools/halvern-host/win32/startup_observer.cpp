#include "halvern-host/win32/startup_observer.h"

#include <commctrl.h>

#include <utility>

#include "halvern-host/win32/modal_windows.h"

namespace halvern::host {

namespace {

// The hooks are plain functions: they reach the observer's report through this one pointer, set
// while an observer exists (one at a time, on the host's thread).
StartupReport* activeReport = nullptr;
std::function<void(HWND)>* activeHalfway = nullptr;

LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && activeReport != nullptr) {
        const auto window = reinterpret_cast<HWND>(wParam);
        const auto* create = reinterpret_cast<const CBT_CREATEWNDA*>(lParam);
        // Controls are children; only the top-level windows say what the user would see.
        if ((create->lpcs->style & WS_CHILD) == 0) {
            // The name is a string here unless it is a resource id (high word zero).
            const bool named = create->lpcs->lpszName != nullptr &&
                               (reinterpret_cast<ULONG_PTR>(create->lpcs->lpszName) >> 16) != 0;
            activeReport->windowsCreated.push_back(WindowClass(window) + " '" +
                                                   (named ? create->lpcs->lpszName : "") + "'");
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK CallHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && activeReport != nullptr) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (call->message == PBM_SETPOS && WindowClass(call->hwnd) == PROGRESS_CLASSA) {
            ++activeReport->progressPositions;
            activeReport->lastProgressPosition = static_cast<int>(call->wParam);
            const HWND window = GetParent(call->hwnd);
            const bool visible = IsWindowVisible(window) != FALSE;
            activeReport->progressVisible = activeReport->progressVisible || visible;
            if (visible && call->wParam >= 50 && activeHalfway != nullptr && *activeHalfway) {
                // Once only; the bar still shows its previous position, just short of half.
                std::function<void(HWND)> halfway = std::move(*activeHalfway);
                *activeHalfway = nullptr;
                halfway(window);
            }
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

StartupObserver::StartupObserver(std::function<void(HWND)> atHalfway)
    : atHalfway_(std::move(atHalfway)) {
    activeReport = &report_;
    activeHalfway = &atHalfway_;
    // Thread hooks of the host's own thread: no DLL is injected anywhere.
    cbtHook_ = SetWindowsHookExA(WH_CBT, &CbtHook, nullptr, GetCurrentThreadId());
    callHook_ = SetWindowsHookExA(WH_CALLWNDPROC, &CallHook, nullptr, GetCurrentThreadId());
}

StartupObserver::~StartupObserver() {
    if (cbtHook_ != nullptr) {
        UnhookWindowsHookEx(cbtHook_);
    }
    if (callHook_ != nullptr) {
        UnhookWindowsHookEx(callHook_);
    }
    activeReport = nullptr;
    activeHalfway = nullptr;
}

}  // namespace halvern::host
