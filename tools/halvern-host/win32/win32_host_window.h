#pragma once

// The substitute host's main window on Windows: a real top-level window with a menu bar of its
// own, a timer whose ticks drive the flight, the overlay drawn at each airport's place, and the
// module's dialogs and message boxes answered while their own modal loops run. Commands are
// posted, as choosing a menu item posts them: the window is busy until the thread's message loop
// has handled one completely, the dialogs and message boxes it opened included.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "halvern-host/host_window.h"
#include "halvern-host/overlay_picture.h"
#include "halvern-host/win32/menu_snapshot.h"
#include "halvern-host/win32/modal_windows.h"
#include "halvern-host/win32/raw_menu_reader.h"
#include "halvern-host/win32/screen_snapshot.h"

namespace halvern::host {

class Win32HostWindow final : public HostWindow {
  public:
    // One at a time. The timer ticks every `tickMilliseconds` once the window exists.
    Win32HostWindow(ScreenSnapshot& snapshot, unsigned tickMilliseconds);
    ~Win32HostWindow() override;
    Win32HostWindow(const Win32HostWindow&) = delete;
    Win32HostWindow& operator=(const Win32HostWindow&) = delete;

    bool Create(const std::string& title) override;
    void RepaintFrame() override;
    void PressF12(bool shift, bool control, bool alt) override;
    const MenuReader& Menus() const override { return menus_; }
    bool DeleteMenuItem(void* menu, int position) override;
    void Command(std::uint32_t id) override;
    // Where the picture of the module's menu is due, the path is opened from the menu bar first.
    void ChooseMenuItem(const std::vector<MenuStep>& path) override;
    void AnswerNextOptionsDialog(const OptionsEntry& entry) override {
        modal_.AnswerNextOptionsDialog(entry);
    }
    bool Busy() override;
    void EventRaised() override { InvalidateRect(window_, nullptr, FALSE); }

    HWND Handle() const { return window_; }
    // The host's own window procedure, at the end of the chain the module joins.
    static WNDPROC OwnProcedure() { return &HostProc; }
    // Runs the thread's message loop until the window is gone, calling `afterEach` after every
    // message; returns the status given to Close.
    int RunMessageLoop(const std::function<void()>& afterEach);
    // Stops the timer and destroys the window; the message loop ends with `status`.
    void Close(int status);

    // At each tick of the timer; a tick that comes while one is handled is dropped.
    std::function<void()> onTick;
    // The user ends the flight: File > Exit, or the window closed.
    std::function<void()> onUserEndsFlight;
    // What the window draws.
    std::function<OverlayScene()> scene;

  private:
    static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HWND window);

    static Win32HostWindow* instance_;
    ScreenSnapshot& snapshot_;
    unsigned tickMilliseconds_;
    HWND window_ = nullptr;
    RawMenuReader menus_{window_};
    ModalWindows modal_;
    MenuSnapshot menuSnapshot_{snapshot_};
    bool inTick_ = false;
    bool pending_ = false;  // a posted command is still to be handled
    UINT pendingCommand_ = 0;
    int status_ = 0;
};

}  // namespace halvern::host
