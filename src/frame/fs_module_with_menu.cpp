#include "frame/fs_module_with_menu.h"

namespace halvern {

FSModuleWithMenu* FSModuleWithMenu::activeModule = nullptr;

namespace {

// The procedure HostWindowProc replaced, kept beyond the module object's life: when another
// component has put its own procedure in front of ours, HostWindowProc stays in the window's
// chain after shutdown and hands every message on, so that the host's window keeps working.
platform::WindowProc orphanedPrevWndProc = nullptr;

}  // namespace

FSModuleWithMenu::FSModuleWithMenu() {
    activeModule = this;
    if (chainService != nullptr) {
        RegisterChainCallback(Services(), &ChainCallback);
    } else {
        platform::ShowMessageBox(nullptr, "chain.dll not found", "", platform::kMbOk);
    }
}

FSModuleWithMenu::~FSModuleWithMenu() {
    activeModule = nullptr;
    if (chainService != nullptr) {
        UnregisterChainCallback(Services(), &ChainCallback);
    }
    SetSubclass(false);
    if (subclassed != 0) {
        orphanedPrevWndProc = prevWndProc;
    }
}

void FSModuleWithMenu::UpdateMenu() {}

void FSModuleWithMenu::OnChainEvent(std::uint32_t /*a*/, std::uint32_t /*b*/) {
    if (mainWindow != nullptr) {
        return;  // once known, the main window is never searched again
    }
    mainWindow = FindMainWindow();
    if (mainWindow != nullptr) {
        SetSubclass(true);
    }
}

platform::LResult FSModuleWithMenu::OnWindowMessage(platform::WindowHandle window,
                                                    std::uint32_t message, platform::WParam wParam,
                                                    platform::LParam lParam) {
    // The menu bar belongs to the frame that a non-client paint draws: make sure the module's
    // entries are there before the host paints it.
    if (message == platform::kWmNcPaint && mainWindow != nullptr) {
        UpdateMenu();
    }
    return platform::CallWindowProcedure(prevWndProc, window, message, wParam, lParam);
}

platform::WindowHandle FSModuleWithMenu::FindMainWindow() const {
    platform::WindowHandle window = platform::GetFocusWindow();
    if (window == nullptr) {
        return nullptr;
    }
    while (platform::WindowHandle parent = platform::GetParentWindow(window)) {
        window = parent;
    }
    return window;
}

void FSModuleWithMenu::SetSubclass(bool on) {
    if (on == (subclassed != 0) || mainWindow == nullptr) {
        return;
    }
    if (on) {
        prevWndProc = platform::GetWindowProcedure(mainWindow);
        platform::SetWindowProcedure(mainWindow, &HostWindowProc);
        subclassed = 1;
        return;
    }
    // Another component has put its own procedure in front of ours: leave the chain as it is.
    if (platform::GetWindowProcedure(mainWindow) != &HostWindowProc) {
        return;
    }
    platform::SetWindowProcedure(mainWindow, prevWndProc);
    subclassed = 0;
}

void HALVERN_HOSTCALL FSModuleWithMenu::ChainCallback(std::uint32_t a, std::uint32_t b) {
    if (activeModule != nullptr) {
        activeModule->OnChainEvent(a, b);
    }
}

platform::LResult HALVERN_HOSTCALL FSModuleWithMenu::HostWindowProc(platform::WindowHandle window,
                                                                    std::uint32_t message,
                                                                    platform::WParam wParam,
                                                                    platform::LParam lParam) {
    if (activeModule != nullptr) {
        return activeModule->OnWindowMessage(window, message, wParam, lParam);
    }
    if (orphanedPrevWndProc != nullptr) {
        return platform::CallWindowProcedure(orphanedPrevWndProc, window, message, wParam, lParam);
    }
    return 0;
}

}  // namespace halvern
