#include "halvern-host/menu_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace halvern::host {
namespace {

// A menu tree in memory; an item with a popup names it by its index in `menus`.
struct Item {
    std::string text;  // "-" for a separator
    int popup = -1;
    bool checked = false;
};

class TreeReader final : public MenuReader {
  public:
    explicit TreeReader(std::vector<std::vector<Item>> menus) : menus_(std::move(menus)) {}

    void* Bar() const override { return Menu(0); }
    int ItemCount(void* menu) const override {
        return menu == nullptr ? -1 : static_cast<int>(Items(menu).size());
    }
    bool ReadItem(void* menu, int position, MenuEntry& entry) const override {
        const Item& item = Items(menu).at(static_cast<std::size_t>(position));
        entry.separator = item.text == "-";
        entry.checked = item.checked;
        entry.id = static_cast<std::uint32_t>(100 + position);
        entry.submenu = item.popup < 0 ? nullptr : Menu(item.popup);
        entry.text = entry.separator ? "" : item.text;
        return true;
    }

  private:
    void* Menu(int index) const {
        return const_cast<std::vector<Item>*>(&menus_.at(static_cast<std::size_t>(index)));
    }
    static const std::vector<Item>& Items(void* menu) {
        return *static_cast<const std::vector<Item>*>(menu);
    }
    std::vector<std::vector<Item>> menus_;
};

const TreeReader kMenus({
    {{"&File", 1}, {"-"}, {"&Modules", 2}},
    {{"E&xit\tAlt+F4"}},
    {{"-"}, {"Other"}, {"&Halvern", 3}},
    {{"Show airports", -1, true}, {"-"}, {"Options"}, {"About..."}},
});

struct PathCase {
    const char* path;
    std::vector<int> positions;   // of each step; empty: not found
    std::vector<int> selectable;  // the keyboard's count of items before each step
};

TEST(MenuPath, FindsEachStepPastSeparatorsAmpersandsAndAccelerators) {
    const PathCase cases[] = {
        {"File>Exit", {0, 0}, {0, 0}},
        {"Modules>Halvern>About...", {2, 2, 3}, {1, 1, 2}},
        {"Modules>Halvern", {2, 2}, {1, 1}},
        {"Modules>Halvern>Help", {}, {}},
        {"File>Exit>More", {}, {}},  // Exit opens no popup
        {"-", {}, {}},               // separators never match
        {"", {}, {}},
    };
    for (const PathCase& c : cases) {
        std::vector<int> positions;
        std::vector<int> selectable;
        for (const MenuStep& step : FindMenuPath(kMenus, c.path)) {
            positions.push_back(step.position);
            selectable.push_back(step.selectable);
        }
        EXPECT_EQ(positions, c.positions) << c.path;
        EXPECT_EQ(selectable, c.selectable) << c.path;
    }
    EXPECT_EQ(DescribeModuleMenu(kMenus), "Show airports [checked] | ---- | Options | About... | ");
    EXPECT_EQ(DescribeModuleMenu(TreeReader({{{"File"}}})), "(no Modules > Halvern menu)");
}

}  // namespace
}  // namespace halvern::host
