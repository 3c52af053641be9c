#pragma once

// The module's menu opened from the menu bar for a picture of the screen, as a user opens it
// with the keyboard: the menu bar, then each popup on the way to the chosen item, which itself
// is left alone. The picture is taken once the last popup is open and the menu loop idle; the
// menu is then closed, and the item's command is posted as choosing it would.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "halvern-host/menu_path.h"
#include "halvern-host/win32/screen_snapshot.h"

namespace halvern::host {

class MenuSnapshot {
  public:
    explicit MenuSnapshot(ScreenSnapshot& snapshot) : snapshot_(snapshot) {}

    // Queues the keys that open the popups of `path` in `window`'s menu bar; false when there
    // is no popup on the way (a path of one item).
    bool Open(HWND window, const std::vector<MenuStep>& path);
    // From Open until the menu is closed.
    bool Showing() const { return showing_; }
    // The menu loop's messages to the main window (WM_INITMENUPOPUP, WM_ENTERIDLE,
    // WM_EXITMENULOOP); the window goes on with them as usual.
    void OnMenuMessage(HWND window, UINT message, WPARAM wParam);

    // Posts the chosen item's command once the menu is closed.
    std::function<void(std::uint32_t command)> postCommand;

  private:
    ScreenSnapshot& snapshot_;
    bool showing_ = false;
    HMENU popup_ = nullptr;  // the popup whose opening makes the picture due
    bool popupOpen_ = false;
    std::uint32_t command_ = 0;
};

}  // namespace halvern::host
