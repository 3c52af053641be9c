#include "halvern-host/win32/win32_host_window.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "halvern-host/win32/overlay_view.h"

namespace halvern::host {

namespace {

constexpr const char* kWindowClass = "HalvernSubstituteHost";
constexpr UINT_PTR kTickTimer = 1;
// The host's own menu commands.
constexpr UINT kCommandExit = 100;
constexpr UINT kCommandTopDown = 200;

}  // namespace

Win32HostWindow* Win32HostWindow::instance_ = nullptr;

Win32HostWindow::Win32HostWindow(ScreenSnapshot& snapshot, unsigned tickMilliseconds)
    : snapshot_(snapshot), tickMilliseconds_(tickMilliseconds) {
    instance_ = this;
    modal_.onMessageBox = [this](const std::string& caption, const std::string& text) {
        if (onMessageBox) {
            onMessageBox(caption, text);
        }
    };
    modal_.onOptionsDialog = [this](HWND dialog) {
        if (snapshot_.Due(SnapshotMoment::kOptionsDialog)) {
            snapshot_.TakeWithDialog(window_, dialog);
        }
    };
    menuSnapshot_.postCommand = [this](std::uint32_t command) { Command(command); };
}

Win32HostWindow::~Win32HostWindow() {
    if (instance_ == this) {
        instance_ = nullptr;
    }
}

bool Win32HostWindow::Create(const std::string& title) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &HostProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);

    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, kCommandExit, "E&xit");
    HMENU views = CreatePopupMenu();
    AppendMenuA(views, MF_STRING, kCommandTopDown, "&Top down");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(views), "&Views");

    window_ = CreateWindowExA(0, kWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                              0, 800, 600, nullptr, bar, windowClass.hInstance, nullptr);
    if (window_ == nullptr) {
        return false;
    }
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    // The module finds the main window through the focus at its first chain event.
    SetForegroundWindow(window_);
    SetFocus(window_);
    if (GetFocus() != window_) {
        std::fprintf(stderr, "halvern-host: the main window did not get the focus\n");
    }
    SetTimer(window_, kTickTimer, tickMilliseconds_, nullptr);
    return true;
}

void Win32HostWindow::RepaintFrame() {
    // A real non-client paint: the system sends WM_NCPAINT before RedrawWindow returns.
    RedrawWindow(window_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
}

void Win32HostWindow::PressF12(bool shift, bool control, bool alt) {
    // The keyboard state that GetKeyState reads on this thread, held around the key-down.
    BYTE saved[256] = {};
    GetKeyboardState(saved);
    BYTE held[256];
    std::copy(std::begin(saved), std::end(saved), std::begin(held));
    const auto set = [&held](int key, bool down) { held[key] = down ? 0x80 : 0x00; };
    set(VK_SHIFT, shift);
    set(VK_LSHIFT, shift);
    set(VK_CONTROL, control);
    set(VK_LCONTROL, control);
    set(VK_MENU, alt);
    set(VK_LMENU, alt);
    SetKeyboardState(held);
    // With Alt held Windows sends the system key-down; the repeat count is 1.
    SendMessageA(window_, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, VK_F12, alt ? 0x20000001 : 1);
    SetKeyboardState(saved);
}

bool Win32HostWindow::DeleteMenuItem(void* menu, int position) {
    return DeleteMenu(static_cast<HMENU>(menu), static_cast<UINT>(position), MF_BYPOSITION) != 0;
}

void Win32HostWindow::Command(std::uint32_t id) {
    pending_ = true;
    pendingCommand_ = id;
    PostMessageA(window_, WM_COMMAND, id, 0);
}

void Win32HostWindow::ChooseMenuItem(const std::vector<MenuStep>& path) {
    if (snapshot_.Due(SnapshotMoment::kModuleMenu) && menuSnapshot_.Open(window_, path)) {
        return;  // the command follows when the menu closes
    }
    Command(path.back().item.id);
}

bool Win32HostWindow::Busy() {
    if (menuSnapshot_.Showing()) {
        return true;  // the menu bar is open for the picture
    }
    if (modal_.Drive()) {
        return true;  // a dialog or message box of the module is open: answered first
    }
    return pending_;
}

int Win32HostWindow::RunMessageLoop(const std::function<void()>& afterEach) {
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
        // Back in the outermost loop, the posted command has been handled completely, the
        // dialogs and message boxes it opened included.
        if (pending_ && message.hwnd == window_ && message.message == WM_COMMAND &&
            message.wParam == pendingCommand_) {
            pending_ = false;
        }
        if (afterEach) {
            afterEach();
        }
    }
    return status_;
}

void Win32HostWindow::Close(int status) {
    KillTimer(window_, kTickTimer);
    status_ = status;
    DestroyWindow(window_);
}

LRESULT CALLBACK Win32HostWindow::HostProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (instance_ == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return instance_->OnMessage(window, message, wParam, lParam);
}

LRESULT Win32HostWindow::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kTickTimer && !inTick_ && onTick) {
                inTick_ = true;
                onTick();
                inTick_ = false;
            }
            return 0;
        case WM_COMMAND: {
            const auto id = static_cast<std::uint32_t>(wParam & 0xFFFF);
            if (onHostMessage) {
                onHostMessage("command " + std::to_string(id));
            }
            if (id == kCommandExit && onUserEndsFlight) {
                onUserEndsFlight();  // at the next tick
            }
            return 0;
        }
        case WM_USER:
            if (onHostMessage) {
                onHostMessage("WM_USER");
            }
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (wParam == VK_F12) {
                std::fprintf(stderr, "halvern-host: the host's window procedure received %s F12\n",
                             message == WM_KEYDOWN ? "WM_KEYDOWN" : "WM_SYSKEYDOWN");
            }
            break;
        case WM_PAINT:
            Paint(window);
            return 0;
        case WM_INITMENUPOPUP:
        case WM_ENTERIDLE:
        case WM_EXITMENULOOP:
            menuSnapshot_.OnMenuMessage(window, message, wParam);
            break;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT fills the whole client area
        case WM_CLOSE:
            if (onUserEndsFlight) {
                onUserEndsFlight();
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(status_);
            return 0;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void Win32HostWindow::Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client{};
    GetClientRect(window, &client);
    if (scene) {
        DrawOverlay(dc, client, scene());
    }
    EndPaint(window, &paint);
}

}  // namespace halvern::host
