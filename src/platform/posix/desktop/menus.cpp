// Menus of the portable desktop: menu bars, pop-up menus and their items, as the system's menu
// calls see them.

#include <algorithm>
#include <cstring>
#include <set>
#include <utility>

#include "platform/desktop.h"
#include "platform/posix/desktop/desktop_state.h"
#include "platform/posix/desktop/portable_desktop.h"

namespace halvern::platform {

using desktop::FindMenu;
using desktop::Handle;
using desktop::Menu;
using desktop::MenuEntry;

namespace {

constexpr std::uint32_t kMfPopup = 0x0010;
constexpr std::uint32_t kMenuStateError = 0xFFFFFFFF;  // what GetMenuState answers for no item
// The text buffer of a menu item query holds 255 characters with the terminator.
constexpr std::size_t kMenuTextLimit = 254;

MenuEntry* EntryAt(MenuHandle menu, int position) {
    Menu* found = FindMenu(desktop::NumberOf(menu));
    if (found == nullptr || position < 0 ||
        static_cast<std::size_t>(position) >= found->items.size()) {
        return nullptr;
    }
    return &found->items[static_cast<std::size_t>(position)];
}

// The item with that command id, searched as the system searches: in item order, a pop-up
// item's submenu before the pop-up item itself. `visited` guards against menus that contain
// themselves.
MenuEntry* FindCommand(Handle menu, std::uint32_t id, std::set<Handle>& visited) {
    Menu* found = FindMenu(menu);
    if (found == nullptr || !visited.insert(menu).second) {
        return nullptr;
    }
    MenuEntry* popupMatch = nullptr;
    for (MenuEntry& item : found->items) {
        if (item.submenu != 0) {
            if (MenuEntry* inner = FindCommand(item.submenu, id, visited)) {
                return inner;
            }
            if (item.id == id && popupMatch == nullptr) {
                popupMatch = &item;
            }
        } else if (item.id == id) {
            return &item;
        }
    }
    return popupMatch;
}

}  // namespace

MenuHandle GetWindowMenu(WindowHandle window) {
    const desktop::Window* found = desktop::FindWindow(window);
    if (found == nullptr || FindMenu(found->menu) == nullptr) {
        return nullptr;
    }
    return desktop::AsMenu(found->menu);
}

int GetMenuItemCount(MenuHandle menu) {
    const Menu* found = FindMenu(desktop::NumberOf(menu));
    return found == nullptr ? -1 : static_cast<int>(found->items.size());
}

bool GetMenuItemByPosition(MenuHandle menu, int position, MenuItem& item) {
    const MenuEntry* entry = EntryAt(menu, position);
    if (entry == nullptr) {
        return false;
    }
    item.type = entry->type;
    item.state = entry->state;
    item.id = entry->id;
    item.submenu = desktop::AsMenu(entry->submenu);
    item.data = entry->data;
    const std::size_t length = std::min(entry->text.size(), kMenuTextLimit);
    std::memcpy(item.text, entry->text.data(), length);
    item.text[length] = '\0';
    return true;
}

bool InsertMenuItemByPosition(MenuHandle menu, int position, const MenuItem& item) {
    const Handle number = desktop::NumberOf(menu);
    const Handle submenu = desktop::NumberOf(item.submenu);
    Menu* found = FindMenu(number);
    if (found == nullptr || position < 0 || submenu == number ||
        (submenu != 0 && FindMenu(submenu) == nullptr)) {
        return false;
    }
    MenuEntry entry;
    entry.type = item.type;
    entry.state = item.state;
    entry.id = item.id;
    entry.submenu = submenu;
    entry.data = item.data;
    if ((item.type & kMftSeparator) == 0) {
        entry.text.assign(item.text, strnlen(item.text, sizeof item.text));
    }
    // A position past the end appends.
    const std::size_t at = std::min(static_cast<std::size_t>(position), found->items.size());
    found->items.insert(found->items.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
    return true;
}

MenuHandle CreatePopupMenuHandle() {
    const Handle handle = desktop::NewHandle();
    desktop::TheDesktop().menus.emplace(handle, Menu{});
    return desktop::AsMenu(handle);
}

std::uint32_t GetMenuStateByPosition(MenuHandle menu, int position) {
    const MenuEntry* entry = EntryAt(menu, position);
    if (entry == nullptr) {
        return kMenuStateError;
    }
    // For a pop-up item the count of its submenu's items rides in the second byte.
    if (entry->submenu != 0) {
        const Menu* submenu = FindMenu(entry->submenu);
        const std::size_t count = submenu == nullptr ? 0 : submenu->items.size();
        return ((static_cast<std::uint32_t>(count) & 0xFF) << 8) | kMfPopup |
               ((entry->state | entry->type) & 0xFF);
    }
    return entry->state | entry->type;
}

void EnableMenuItemByPosition(MenuHandle menu, int position, std::uint32_t flags) {
    if (MenuEntry* entry = EntryAt(menu, position)) {
        constexpr std::uint32_t kEnableBits = kMfGrayed | kMfDisabled;
        entry->state = (entry->state & ~kEnableBits) | (flags & kEnableBits);
    }
}

bool SetMenuItemStateByCommand(MenuHandle menu, std::uint32_t id, std::uint32_t state) {
    std::set<Handle> visited;
    MenuEntry* entry = FindCommand(desktop::NumberOf(menu), id, visited);
    if (entry == nullptr) {
        return false;
    }
    entry->state = state;
    return true;
}

bool IsMenuHandle(MenuHandle menu) {
    return FindMenu(desktop::NumberOf(menu)) != nullptr;
}

namespace desktop {

MenuHandle CreateMenuBar() {
    return CreatePopupMenuHandle();
}

bool AppendMenuItem(MenuHandle menu, const char* text, std::uint32_t id, MenuHandle submenu) {
    MenuItem item;
    item.id = id;
    item.submenu = submenu;
    if (text != nullptr) {
        std::strncpy(item.text, text, sizeof item.text - 1);
    }
    return InsertMenuItemByPosition(menu, std::max(GetMenuItemCount(menu), 0), item);
}

bool AppendMenuSeparator(MenuHandle menu) {
    MenuItem item;
    item.type = kMftSeparator;
    return InsertMenuItemByPosition(menu, std::max(GetMenuItemCount(menu), 0), item);
}

bool SetWindowMenuBar(WindowHandle window, MenuHandle menu) {
    Window* found = FindWindow(window);
    if (found == nullptr || (menu != nullptr && !IsMenuHandle(menu))) {
        return false;
    }
    found->menu = NumberOf(menu);
    return true;
}

bool DeleteMenuItem(MenuHandle menu, int position) {
    const MenuEntry* entry = EntryAt(menu, position);
    if (entry == nullptr) {
        return false;
    }
    const Handle submenu = entry->submenu;
    RemoveMenuItem(menu, position);
    DestroyMenuTree(submenu);
    return true;
}

bool RemoveMenuItem(MenuHandle menu, int position) {
    if (EntryAt(menu, position) == nullptr) {
        return false;
    }
    auto& items = FindMenu(NumberOf(menu))->items;
    items.erase(items.begin() + position);
    return true;
}

bool DestroyMenuHandle(MenuHandle menu) {
    if (!IsMenuHandle(menu)) {
        return false;
    }
    DestroyMenuTree(NumberOf(menu));
    return true;
}

}  // namespace desktop
}  // namespace halvern::platform
