#include "halvern-host/win32/menu_snapshot.h"

namespace halvern::host {

bool MenuSnapshot::Open(HWND window, const std::vector<MenuStep>& path) {
    if (path.size() < 2) {
        return false;
    }
    popup_ = static_cast<HMENU>(path.back().menu);
    popupOpen_ = false;
    command_ = path.back().item.id;
    showing_ = true;
    // The keyboard's way into the menu bar selects its first item; the keys then wait in the
    // queue for the menu loop. Along the menu bar Right moves from its first item, in a popup
    // Down from its first item; both pass over the items but not the separators, which the
    // keys skip.
    const auto key = [window](WPARAM code, int times) {
        for (int i = 0; i < times; ++i) {
            PostMessageA(window, WM_KEYDOWN, code, 1);
        }
    };
    PostMessageA(window, WM_SYSCOMMAND, SC_KEYMENU, 0);
    key(VK_RIGHT, path[0].selectable);
    key(VK_DOWN, 1);  // opens the bar item's popup
    for (std::size_t depth = 1; depth + 1 < path.size(); ++depth) {
        key(VK_DOWN, path[depth].selectable);
        key(VK_RIGHT, 1);  // opens the submenu
    }
    return true;
}

void MenuSnapshot::OnMenuMessage(HWND window, UINT message, WPARAM wParam) {
    if (!showing_) {
        return;
    }
    if (message == WM_INITMENUPOPUP && reinterpret_cast<HMENU>(wParam) == popup_) {
        popupOpen_ = true;
    } else if (message == WM_ENTERIDLE && wParam == MSGF_MENU && popupOpen_ &&
               snapshot_.Due(SnapshotMoment::kModuleMenu)) {
        // The menu loop has handled the keys and waits: every popup is open and painted.
        snapshot_.Take(window, nullptr);
        EndMenu();
    } else if (message == WM_EXITMENULOOP) {
        showing_ = false;
        if (postCommand) {
            postCommand(command_);
        }
    }
}

}  // namespace halvern::host
