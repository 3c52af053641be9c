#include "halvern-host/win32/screen_snapshot.h"

#include <cstdio>

namespace halvern::host {

void ScreenSnapshot::Take(HWND main, HWND other) {
    taken_ = true;
    // Everything on the screen painted before the picture is taken.
    RedrawWindow(main, nullptr, nullptr,
                 RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (other != nullptr) {
        RedrawWindow(other, nullptr, nullptr,
                     RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    GdiFlush();
    std::FILE* marker = std::fopen(marker_.c_str(), "w");
    if (marker == nullptr) {
        std::fprintf(stderr, "halvern-host: cannot create the snapshot marker\n");
        return;
    }
    std::fclose(marker);
    for (int waited = 0; waited < 30000; waited += 50) {
        if (GetFileAttributesA(marker_.c_str()) == INVALID_FILE_ATTRIBUTES) {
            return;
        }
        Sleep(50);
    }
    std::fprintf(stderr, "halvern-host: nobody took the snapshot\n");
}

void ScreenSnapshot::TakeWithDialog(HWND main, HWND dialog) {
    RECT window{};
    RECT box{};
    GetWindowRect(main, &window);
    GetWindowRect(dialog, &box);
    SetWindowPos(dialog, nullptr, window.right - (box.right - box.left) - 16,
                 window.bottom - (box.bottom - box.top) - 16, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Take(main, dialog);
}

}  // namespace halvern::host
