#pragma once

// Menu paths of the flight script ("Modules>Halvern>Show airports"): the walk that finds one in
// the main window's menu bar, and the description of the module's menu that the hosts print.
// Both work on whatever reads the menus of a host (MenuReader), so that every host finds and
// prints the same.

#include <cstdint>
#include <string>
#include <vector>

namespace halvern::host {

// The path's item texts, split at '>'.
std::vector<std::string> SplitMenuPath(const std::string& path);

// The text as a menu search compares it: without ampersands and without the accelerator.
std::string PlainMenuText(const std::string& text);

// One menu item as a host reads it. A menu is named by the host's own handle of it.
struct MenuEntry {
    bool separator = false;
    bool checked = false;
    std::uint32_t id = 0;     // the command it sends
    void* submenu = nullptr;  // its popup menu, if it has one
    std::string text;
};

// How a host reads the menus of its main window.
class MenuReader {
  public:
    virtual ~MenuReader() = default;
    // The main window's menu bar.
    virtual void* Bar() const = 0;
    // The number of items of `menu` (below 1 for none).
    virtual int ItemCount(void* menu) const = 0;
    // The item at `position`; false when it cannot be read.
    virtual bool ReadItem(void* menu, int position, MenuEntry& item) const = 0;
};

// One item on a menu path: the menu that holds it and where.
struct MenuStep {
    void* menu;
    int position;
    int selectable;  // the items before it that are not separators: the keyboard's way there
    MenuEntry item;
};

// The items of `path` from the menu bar on, one step each (separators never match); empty when
// an item is missing or one before the last opens no popup.
std::vector<MenuStep> FindMenuPath(const MenuReader& menus, const std::string& path);

// The items of the module's menu (Modules>Halvern) in order: each text, "----" for a separator,
// " [checked]" after a checked item, each followed by " | ".
std::string DescribeModuleMenu(const MenuReader& menus);

}  // namespace halvern::host
