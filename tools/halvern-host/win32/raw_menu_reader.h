#pragma once

// The main window's menus as the Windows host reads them: with the system's own menu calls
// (GetMenu, GetMenuItemCount, GetMenuItemInfoA, GetMenuItemID), never through the platform layer
// that the module's menu calls go through, so that what this host sees of the module's menu
// entries checks that layer instead of repeating it.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "halvern-host/menu_path.h"

namespace halvern::host {

class RawMenuReader final : public MenuReader {
  public:
    // `window` is read at each call: the main window, once it exists.
    explicit RawMenuReader(const HWND& window) : window_(window) {}

    void* Bar() const override;
    int ItemCount(void* menu) const override;
    bool ReadItem(void* menu, int position, MenuEntry& item) const override;

  private:
    const HWND& window_;
};

}  // namespace halvern::host
