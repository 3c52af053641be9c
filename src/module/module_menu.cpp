// The module's entries in the host's menu bar, its hot key Shift+F12 and its commands.

#include <cstring>

#include "module/halvern_module.h"

namespace halvern {

namespace {

struct MenuEntry {
    std::uint32_t type;
    const char* text;
    std::uint32_t id;
};

// The module's submenu in groups: a group is appended, whole, when its search text is missing.
struct MenuGroup {
    const char* searchText;
    MenuEntry entries[3];
    int entryCount;
};

constexpr MenuGroup kModuleMenuGroups[] = {
    {"Show airports\tShift+F12",
     {{platform::kMftString, "Show &airports\tShift+F12", kCommandShowAirports}},
     1},
    {"Options", {{platform::kMftString, "&Options", kCommandOptions}}, 1},
    {"Halvern Homepage",
     {{platform::kMftSeparator, "", 0},
      {platform::kMftString, "Halvern Homepage", kCommandHomepage},
      {platform::kMftString, "Visit Tavrel Software", kCommandMakerSite}},
     3},
    {"About...",
     {{platform::kMftSeparator, "", 0}, {platform::kMftString, "A&bout...", kCommandAbout}},
     2},
};

platform::MenuItem MakeItem(std::uint32_t type, const char* text, std::uint32_t id,
                            platform::MenuHandle submenu) {
    platform::MenuItem item;
    item.type = type;
    item.id = id;
    item.submenu = submenu;
    std::strncpy(item.text, text, sizeof item.text - 1);
    return item;
}

// Appends a popup item with a new submenu and returns the submenu.
platform::MenuHandle AppendPopup(platform::MenuHandle menu, const char* text) {
    platform::MenuHandle popup = platform::CreatePopupMenuHandle();
    platform::InsertMenuItemByPosition(menu, platform::GetMenuItemCount(menu),
                                       MakeItem(platform::kMftString, text, 0, popup));
    return popup;
}

bool KeyDown(int virtualKey) {
    return platform::GetKeyStateOf(virtualKey) < 0;
}

}  // namespace

void HalvernModule::UpdateMenu() {
    const platform::MenuHandle bar = GetMainMenu();
    if (bar == nullptr) {
        return;
    }
    platform::MenuHandle modules = nullptr;
    int position = FindMenuItem(bar, "Modules", nullptr, &modules);
    if (position < 0) {
        position = platform::GetMenuItemCount(bar);
        modules = AppendPopup(bar, "&Modules");
    }
    SyncMenuEnable(bar, position);
    // A "Modules" item of the host's without a submenu offers nothing to add to.
    if (modules == nullptr) {
        return;
    }
    platform::MenuHandle halvern = nullptr;
    if (FindMenuItem(modules, "Halvern", nullptr, &halvern) < 0) {
        halvern = AppendPopup(modules, "&Halvern");
    }
    moduleMenu = halvern;
    if (moduleMenu == nullptr) {
        return;
    }
    for (const MenuGroup& group : kModuleMenuGroups) {
        if (FindMenuItem(moduleMenu, group.searchText, nullptr, nullptr) >= 0) {
            continue;
        }
        for (int i = 0; i < group.entryCount; ++i) {
            const MenuEntry& entry = group.entries[i];
            platform::InsertMenuItemByPosition(moduleMenu, platform::GetMenuItemCount(moduleMenu),
                                               MakeItem(entry.type, entry.text, entry.id, nullptr));
            if (entry.id == kCommandShowAirports) {
                UpdateCheckMark();
            }
        }
    }
}

bool HalvernModule::OnWindowMessage(platform::WindowHandle window, std::uint32_t message,
                                    platform::WParam wParam, platform::LParam lParam,
                                    platform::LResult& result) {
    if (message == platform::kWmKeyDown && wParam == platform::kVkF12) {
        if (KeyDown(platform::kVkShift) && !KeyDown(platform::kVkControl) &&
            !KeyDown(platform::kVkMenu)) {
            ToggleOverlay();
        }
        result = 0;
        return true;  // no F12 key-down reaches the host, whatever the modifiers
    }
    if (message == platform::kWmCommand &&
        RunCommand(static_cast<std::uint32_t>(wParam & 0xFFFF))) {
        result = 0;
        return true;
    }
    return FSModuleWithMenu::OnWindowMessage(window, message, wParam, lParam, result);
}

bool HalvernModule::RunCommand(std::uint32_t id) {
    switch (id) {
        case kCommandAbout:
            ShowAboutBox();
            return true;
        case kCommandShowAirports:
            ToggleOverlay();
            return true;
        case kCommandOptions:
            ShowOptionsDialog();
            return true;
        case kCommandHomepage:
            OpenShortcut(homepageLinkPath);
            return true;
        case kCommandMakerSite:
            OpenShortcut(makerLinkPath);
            return true;
        default:
            return false;
    }
}

void HalvernModule::ToggleOverlay() {
    const bool show = !overlay.Shown();
    overlay.overlayOn = show ? kOverlayOn : kOverlayOff;
    // Shown again, the list starts from where the aircraft is now.
    if (show) {
        UpdateNearbyList();
    }
    UpdateCheckMark();
}

void HalvernModule::UpdateCheckMark() {
    if (moduleMenu == nullptr || !platform::IsMenuHandle(moduleMenu)) {
        return;
    }
    platform::SetMenuItemStateByCommand(moduleMenu, kCommandShowAirports,
                                        overlay.Shown() ? platform::kMfsChecked : 0);
}

}  // namespace halvern
