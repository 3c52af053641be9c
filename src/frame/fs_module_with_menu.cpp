#include "frame/fs_module_with_menu.h"

#include "frame/host_boundary.h"
#include "frame/module_object.h"
#include "platform/module_pin.h"

namespace halvern {

namespace {

// A window whose chain still holds HostWindowProc after the module object that installed it is
// gone, and the procedure HostWindowProc replaced there. Kept beyond the object's life: when
// another component has put its own procedure in front of ours, HostWindowProc stays in the
// chain after shutdown and hands every message on, so that the host's window keeps working; a
// later module object on the same window takes this place over.
struct LeftInChain {
    platform::WindowHandle window = nullptr;
    platform::WindowProc previous = nullptr;
};
LeftInChain leftInChain;

}  // namespace

FSModuleWithMenu::FSModuleWithMenu() {
    if (Services().chainService != nullptr) {
        RegisterChainCallback(Services(), &ChainCallback);
    } else {
        // A box that cannot be shown is given up: the module runs on without the chain.
        GuardHostCall(
            [] { platform::ShowMessageBox(nullptr, "chain.dll not found", "", platform::kMbOk); });
    }
}

FSModuleWithMenu::~FSModuleWithMenu() {
    if (Services().chainService != nullptr) {
        GuardHostCall([this] { UnregisterChainCallback(Services(), &ChainCallback); });
    }
    GuardHostCall([this] { SetSubclass(false); });
    if (subclassed) {
        leftInChain = {mainWindow, prevWndProc};
        platform::KeepModuleLoaded();
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

bool FSModuleWithMenu::OnWindowMessage(platform::WindowHandle /*window*/, std::uint32_t message,
                                       platform::WParam /*wParam*/, platform::LParam /*lParam*/,
                                       platform::LResult& /*result*/) {
    // The menu bar belongs to the frame that a non-client paint draws: make sure the module's
    // entries are there before the host paints it.
    if (message == platform::kWmNcPaint && mainWindow != nullptr) {
        UpdateMenu();
    }
    return false;
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
    if (on == subclassed || mainWindow == nullptr) {
        return;
    }
    if (on) {
        if (leftInChain.window == mainWindow) {
            prevWndProc = leftInChain.previous;
            leftInChain = {};
        } else {
            prevWndProc = platform::GetWindowProcedure(mainWindow);
            platform::SetWindowProcedure(mainWindow, &HostWindowProc);
        }
        subclassed = true;
        return;
    }
    // Another component has put its own procedure in front of ours: leave the chain as it is.
    if (platform::GetWindowProcedure(mainWindow) != &HostWindowProc) {
        return;
    }
    platform::SetWindowProcedure(mainWindow, prevWndProc);
    subclassed = false;
}

void HALVERN_HOSTCALL FSModuleWithMenu::ChainCallback(std::uint32_t a, std::uint32_t b) {
    GuardHostCall([a, b] {
        if (FSModuleWithMenu* module = RunningModule()) {
            module->OnChainEvent(a, b);
        }
    });
}

platform::LResult HALVERN_HOSTCALL FSModuleWithMenu::HostWindowProc(platform::WindowHandle window,
                                                                    std::uint32_t message,
                                                                    platform::WParam wParam,
                                                                    platform::LParam lParam) {
    FSModuleWithMenu* module = RunningModule();
    if (module != nullptr && module->subclassed && window == module->mainWindow) {
        platform::LResult result = 0;
        const bool consumed = GuardHostCall(false, [&] {
            return module->OnWindowMessage(window, message, wParam, lParam, result);
        });
        if (consumed) {
            return result;
        }
        // The module may have been stopped while it handled the message (a modal dialog runs
        // the host's message loop): the procedure to hand on to is looked up afresh.
        if (RunningModule() == module) {
            return GuardHostCall(platform::LResult{0}, [&] {
                return platform::CallWindowProcedure(module->prevWndProc, window, message, wParam,
                                                     lParam);
            });
        }
    }
    if (leftInChain.previous != nullptr) {
        return GuardHostCall(platform::LResult{0}, [&] {
            return platform::CallWindowProcedure(leftInChain.previous, window, message, wParam,
                                                 lParam);
        });
    }
    return 0;
}

}  // namespace halvern
