// The menus of the host's main window: user32's menu calls, with items described by the
// record every version of the system accepts.

#include "platform/desktop.h"
#include "platform/win32/desktop/system_handles.h"

#include <cstddef>
#include <cstring>

namespace halvern::platform {

using namespace win32;

namespace {

// The module describes menu items with the record as it was before hbmpItem was added (44 bytes
// on 32-bit Windows), which every version of the system accepts. On 64-bit Windows the same
// offset is the older record's size there.
constexpr UINT kMenuItemInfoSize = offsetof(MENUITEMINFOA, hbmpItem);
#if defined(__i386__) || defined(_M_IX86)
static_assert(kMenuItemInfoSize == 44);
#endif

// MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE | MIIM_DATA: everything the module reads or
// writes of an item.
constexpr UINT kMenuItemMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE | MIIM_DATA;
static_assert(kMenuItemMask == 0x37);

// The text buffer handed to GetMenuItemInfoA: 255 characters including the terminator.
constexpr UINT kMenuTextCapacity = 255;
static_assert(kMenuTextCapacity < sizeof MenuItem::text);

}  // namespace

MenuHandle GetWindowMenu(WindowHandle window) {
    return FromMenu(GetMenu(AsWindow(window)));
}

int GetMenuItemCount(MenuHandle menu) {
    return ::GetMenuItemCount(AsMenu(menu));
}

bool GetMenuItemByPosition(MenuHandle menu, int position, MenuItem& item) {
    if (position < 0) {
        return false;
    }
    char text[kMenuTextCapacity] = {};
    MENUITEMINFOA info{};
    info.cbSize = kMenuItemInfoSize;
    info.fMask = kMenuItemMask;
    info.dwTypeData = text;
    info.cch = kMenuTextCapacity;
    if (!GetMenuItemInfoA(AsMenu(menu), static_cast<UINT>(position), TRUE, &info)) {
        return false;
    }
    item.type = info.fType;
    item.state = info.fState;
    item.id = info.wID;
    item.submenu = FromMenu(info.hSubMenu);
    item.data = info.dwItemData;
    // For a separator or a bitmap item the system leaves the buffer alone (a bitmap's handle
    // replaces dwTypeData itself), so the text is read from the buffer, which then stays empty.
    std::memcpy(item.text, text, sizeof text);
    item.text[kMenuTextCapacity - 1] = '\0';
    return true;
}

bool InsertMenuItemByPosition(MenuHandle menu, int position, const MenuItem& item) {
    if (position < 0) {
        return false;
    }
    // The system copies the text; the record only lends it.
    char text[sizeof item.text];
    std::memcpy(text, item.text, sizeof text);
    text[sizeof text - 1] = '\0';
    MENUITEMINFOA info{};
    info.cbSize = kMenuItemInfoSize;
    info.fMask = kMenuItemMask;
    info.fType = item.type;
    info.fState = item.state;
    info.wID = item.id;
    info.hSubMenu = AsMenu(item.submenu);
    info.dwItemData = item.data;
    info.dwTypeData = text;
    info.cch = static_cast<UINT>(std::strlen(text));
    return InsertMenuItemA(AsMenu(menu), static_cast<UINT>(position), TRUE, &info) != FALSE;
}

MenuHandle CreatePopupMenuHandle() {
    return FromMenu(CreatePopupMenu());
}

std::uint32_t GetMenuStateByPosition(MenuHandle menu, int position) {
    return GetMenuState(AsMenu(menu), static_cast<UINT>(position), MF_BYPOSITION);
}

void EnableMenuItemByPosition(MenuHandle menu, int position, std::uint32_t flags) {
    EnableMenuItem(AsMenu(menu), static_cast<UINT>(position), MF_BYPOSITION | flags);
}

bool SetMenuItemStateByCommand(MenuHandle menu, std::uint32_t id, std::uint32_t state) {
    MENUITEMINFOA info{};
    info.cbSize = kMenuItemInfoSize;
    info.fMask = MIIM_STATE;
    info.fState = state;
    // By command, the system also searches the submenus for the id.
    return SetMenuItemInfoA(AsMenu(menu), id, FALSE, &info) != FALSE;
}

bool IsMenuHandle(MenuHandle menu) {
    return IsMenu(AsMenu(menu)) != FALSE;
}

}  // namespace halvern::platform
