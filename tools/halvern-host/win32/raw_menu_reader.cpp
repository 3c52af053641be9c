#include "halvern-host/win32/raw_menu_reader.h"

namespace halvern::host {

void* RawMenuReader::Bar() const {
    return GetMenu(window_);
}

int RawMenuReader::ItemCount(void* menu) const {
    return GetMenuItemCount(static_cast<HMENU>(menu));
}

bool RawMenuReader::ReadItem(void* menu, int position, MenuEntry& item) const {
    const auto handle = static_cast<HMENU>(menu);
    char text[256] = {};
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text - 1;
    if (!GetMenuItemInfoA(handle, static_cast<UINT>(position), TRUE, &info)) {
        return false;
    }
    item.separator = (info.fType & MFT_SEPARATOR) != 0;
    item.checked = (info.fState & MFS_CHECKED) != 0;
    // The command that choosing the item sends: none (all bits set) for an item with a popup.
    item.id = GetMenuItemID(handle, position);
    item.submenu = info.hSubMenu;
    item.text = item.separator ? "" : text;
    return true;
}

}  // namespace halvern::host
