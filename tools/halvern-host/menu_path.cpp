#include "halvern-host/menu_path.h"

#include <sstream>

namespace halvern::host {

std::vector<std::string> SplitMenuPath(const std::string& path) {
    std::vector<std::string> parts;
    std::istringstream in(path);
    for (std::string part; std::getline(in, part, '>');) {
        parts.push_back(part);
    }
    return parts;
}

std::string PlainMenuText(const std::string& text) {
    std::string plain;
    for (char c : text.substr(0, text.find('\t'))) {
        if (c != '&') {
            plain += c;
        }
    }
    return plain;
}

std::vector<MenuStep> FindMenuPath(const MenuReader& menus, const std::string& path) {
    std::vector<MenuStep> steps;
    void* menu = menus.Bar();
    for (const std::string& part : SplitMenuPath(path)) {
        if (menu == nullptr) {
            return {};  // the item before opens no popup
        }
        bool found = false;
        int selectable = 0;
        for (int i = 0; i < menus.ItemCount(menu) && !found; ++i) {
            MenuEntry item;
            if (!menus.ReadItem(menu, i, item) || item.separator) {
                continue;
            }
            if (PlainMenuText(item.text) == part) {
                steps.push_back({menu, i, selectable, item});
                found = true;
            }
            ++selectable;
        }
        if (!found) {
            return {};
        }
        menu = steps.back().item.submenu;
    }
    return steps;
}

std::string DescribeModuleMenu(const MenuReader& menus) {
    const std::vector<MenuStep> steps = FindMenuPath(menus, "Modules>Halvern");
    if (steps.empty()) {
        return "(no Modules > Halvern menu)";
    }
    void* halvern = steps.back().item.submenu;
    std::string text;
    for (int i = 0; i < menus.ItemCount(halvern); ++i) {
        MenuEntry item;
        menus.ReadItem(halvern, i, item);
        text += item.separator ? std::string("----") : PlainMenuText(item.text);
        if (item.checked) {
            text += " [checked]";
        }
        text += " | ";
    }
    return text;
}

}  // namespace halvern::host
