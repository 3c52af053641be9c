// The menu helpers of FSModuleWithMenu: finding an item by its text, the main window's menu
// bar, and keeping the module's menu enabled like the host's first menu.

#include <cstring>

#include "frame/fs_module_with_menu.h"

namespace halvern {

namespace {

// The text with every '&' (the mnemonic marker) removed, in place.
void RemoveAmpersands(char* text) {
    char* out = text;
    for (const char* in = text; *in != '\0'; ++in) {
        if (*in != '&') {
            *out++ = *in;
        }
    }
    *out = '\0';
}

}  // namespace

int FSModuleWithMenu::FindMenuItem(platform::MenuHandle menu, const char* searchText,
                                   std::uint32_t* id, platform::MenuHandle* submenu) const {
    const int count = platform::GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        platform::MenuItem item;
        if (!platform::GetMenuItemByPosition(menu, position, item)) {
            continue;
        }
        RemoveAmpersands(item.text);
        // Separators have no text and so never match a search text.
        if (item.type == platform::kMftSeparator || std::strcmp(item.text, searchText) != 0) {
            continue;
        }
        if (id != nullptr) {
            *id = item.id;
        }
        if (submenu != nullptr) {
            *submenu = item.submenu;
        }
        return position;
    }
    return -1;
}

platform::MenuHandle FSModuleWithMenu::GetMainMenu() const {
    return mainWindow == nullptr ? nullptr : platform::GetWindowMenu(mainWindow);
}

void FSModuleWithMenu::SyncMenuEnable(platform::MenuHandle bar, int position) const {
    constexpr std::uint32_t kEnableBits = platform::kMfGrayed | platform::kMfDisabled;
    const std::uint32_t first = platform::GetMenuStateByPosition(bar, 0) & kEnableBits;
    const std::uint32_t item = platform::GetMenuStateByPosition(bar, position) & kEnableBits;
    if (first != item) {
        platform::EnableMenuItemByPosition(bar, position, first);
    }
}

}  // namespace halvern
