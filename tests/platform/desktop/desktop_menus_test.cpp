// Menus of the portable desktop, through the calls the module makes on the host's menu bar.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/desktop.h"
#include "platform/desktop/desktop_fixture.h"
#include "platform/posix/desktop/portable_desktop.h"

namespace halvern {
namespace {

namespace desktop = platform::desktop;
using platform::MenuHandle;
using platform::MenuItem;
using platform::WindowHandle;
using testing::DesktopTest;

constexpr std::uint32_t kMfPopup = 0x10;

MenuItem Item(const char* text, std::uint32_t id, MenuHandle submenu = nullptr,
              std::uintptr_t data = 0) {
    MenuItem item;
    item.id = id;
    item.submenu = submenu;
    item.data = data;
    std::strncpy(item.text, text, sizeof item.text - 1);
    return item;
}

std::string TextAt(MenuHandle menu, int position) {
    MenuItem item;
    item.text[0] = 'x';  // what a failed query would leave
    return platform::GetMenuItemByPosition(menu, position, item) ? item.text : "<none>";
}

class DesktopMenus : public DesktopTest {};

TEST_F(DesktopMenus, InsertingByPositionPlacesBeforeTheItemThereAndAppendsAtOrPastTheEnd) {
    const MenuHandle menu = platform::CreatePopupMenuHandle();
    ASSERT_TRUE(platform::IsMenuHandle(menu));
    EXPECT_EQ(platform::GetMenuItemCount(menu), 0);
    struct Step {
        int position;
        const char* text;
        bool accepted;
    };
    const Step steps[] = {
        {0, "b", true}, {0, "a", true},  {2, "d", true},
        {2, "c", true}, {99, "e", true}, {-1, "x", false},
    };
    for (const Step& step : steps) {
        EXPECT_EQ(platform::InsertMenuItemByPosition(menu, step.position, Item(step.text, 1)),
                  step.accepted)
            << step.text;
    }
    ASSERT_EQ(platform::GetMenuItemCount(menu), 5);
    std::string order;
    for (int i = 0; i < 5; ++i) {
        order += TextAt(menu, i);
    }
    EXPECT_EQ(order, "abcde");
    EXPECT_EQ(TextAt(menu, 5), "<none>");
    EXPECT_EQ(TextAt(menu, -1), "<none>");
}

TEST_F(DesktopMenus, AnItemReadsBackAsItWasInserted) {
    const MenuHandle bar = desktop::CreateMenuBar();
    const MenuHandle popup = platform::CreatePopupMenuHandle();
    MenuItem written = Item("&Halvern", 0x4602, popup, 0xC0FFEE);
    written.state = platform::kMfsChecked | platform::kMfGrayed;
    ASSERT_TRUE(platform::InsertMenuItemByPosition(bar, 0, written));
    MenuItem separator;
    separator.type = platform::kMftSeparator;
    std::strcpy(separator.text, "ignored");
    ASSERT_TRUE(platform::InsertMenuItemByPosition(bar, 1, separator));

    MenuItem read;
    ASSERT_TRUE(platform::GetMenuItemByPosition(bar, 0, read));
    EXPECT_EQ(read.type, platform::kMftString);
    EXPECT_EQ(read.state, platform::kMfsChecked | platform::kMfGrayed);
    EXPECT_EQ(read.id, 0x4602u);
    EXPECT_EQ(read.submenu, popup);
    EXPECT_EQ(read.data, 0xC0FFEEu);
    EXPECT_STREQ(read.text, "&Halvern");

    ASSERT_TRUE(platform::GetMenuItemByPosition(bar, 1, read));
    EXPECT_EQ(read.type, platform::kMftSeparator);
    EXPECT_EQ(read.submenu, nullptr);
    EXPECT_STREQ(read.text, "");  // a separator has no text
}

TEST_F(DesktopMenus, ItemTextIsReadBackThroughA255CharacterBuffer) {
    const MenuHandle menu = platform::CreatePopupMenuHandle();
    MenuItem item;
    std::memset(item.text, 'm', sizeof item.text - 1);  // 255 characters
    ASSERT_TRUE(platform::InsertMenuItemByPosition(menu, 0, item));
    EXPECT_EQ(TextAt(menu, 0), std::string(254, 'm'));
}

TEST_F(DesktopMenus, InsertionFailsForADeadMenuOrADeadSubmenu) {
    const MenuHandle menu = platform::CreatePopupMenuHandle();
    const MenuHandle gone = platform::CreatePopupMenuHandle();
    ASSERT_TRUE(desktop::DestroyMenuHandle(gone));
    EXPECT_FALSE(platform::IsMenuHandle(gone));
    EXPECT_FALSE(platform::InsertMenuItemByPosition(gone, 0, Item("x", 1)));
    EXPECT_FALSE(platform::InsertMenuItemByPosition(menu, 0, Item("x", 1, gone)));
    EXPECT_FALSE(platform::InsertMenuItemByPosition(menu, 0, Item("x", 1, menu)));
    EXPECT_FALSE(platform::InsertMenuItemByPosition(nullptr, 0, Item("x", 1)));
    EXPECT_EQ(platform::GetMenuItemCount(menu), 0);
    EXPECT_EQ(platform::GetMenuItemCount(gone), -1);
    EXPECT_EQ(platform::GetMenuItemCount(nullptr), -1);
    EXPECT_FALSE(platform::IsMenuHandle(nullptr));
}

TEST_F(DesktopMenus, MenuStateGivesFlagsAndForAPopupItsItemCount) {
    const MenuHandle bar = desktop::CreateMenuBar();
    const MenuHandle file = platform::CreatePopupMenuHandle();
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(desktop::AppendMenuItem(file, "item", static_cast<std::uint32_t>(100 + i)));
    }
    ASSERT_TRUE(desktop::AppendMenuItem(bar, "&File", 0, file));
    ASSERT_TRUE(desktop::AppendMenuItem(bar, "&Help", 7));
    ASSERT_TRUE(desktop::AppendMenuSeparator(bar));

    EXPECT_EQ(platform::GetMenuStateByPosition(bar, 0), (3u << 8) | kMfPopup);
    EXPECT_EQ(platform::GetMenuStateByPosition(bar, 1), 0u);
    EXPECT_EQ(platform::GetMenuStateByPosition(bar, 2), platform::kMftSeparator);
    EXPECT_EQ(platform::GetMenuStateByPosition(bar, 3), 0xFFFFFFFFu);

    // Enabling changes only the grayed and disabled bits.
    ASSERT_TRUE(platform::SetMenuItemStateByCommand(bar, 7, platform::kMfsChecked));
    struct Case {
        std::uint32_t flags;
        std::uint32_t state;
    };
    const Case cases[] = {
        {platform::kMfGrayed, platform::kMfsChecked | platform::kMfGrayed},
        {platform::kMfDisabled, platform::kMfsChecked | platform::kMfDisabled},
        {platform::kMfGrayed | platform::kMfDisabled,
         platform::kMfsChecked | platform::kMfGrayed | platform::kMfDisabled},
        {0, platform::kMfsChecked},
    };
    for (const Case& c : cases) {
        platform::EnableMenuItemByPosition(bar, 1, c.flags);
        EXPECT_EQ(platform::GetMenuStateByPosition(bar, 1), c.state) << c.flags;
    }
    platform::EnableMenuItemByPosition(bar, 0, platform::kMfGrayed);
    EXPECT_EQ(platform::GetMenuStateByPosition(bar, 0) & 0x3, platform::kMfGrayed);
}

TEST_F(DesktopMenus, StateByCommandFindsTheItemInSubmenus) {
    const MenuHandle bar = desktop::CreateMenuBar();
    const MenuHandle modules = platform::CreatePopupMenuHandle();
    const MenuHandle halvern = platform::CreatePopupMenuHandle();
    ASSERT_TRUE(desktop::AppendMenuItem(bar, "&File", 100));
    ASSERT_TRUE(desktop::AppendMenuItem(bar, "&Modules", 0, modules));
    ASSERT_TRUE(desktop::AppendMenuItem(modules, "&Halvern", 0, halvern));
    ASSERT_TRUE(desktop::AppendMenuItem(halvern, "Show &airports\tShift+F12", 17922));
    ASSERT_TRUE(desktop::AppendMenuItem(halvern, "&Options", 17923));

    ASSERT_TRUE(platform::SetMenuItemStateByCommand(bar, 17922, platform::kMfsChecked));
    EXPECT_EQ(platform::GetMenuStateByPosition(halvern, 0), platform::kMfsChecked);
    EXPECT_EQ(platform::GetMenuStateByPosition(halvern, 1), 0u);
    EXPECT_EQ(platform::GetMenuStateByPosition(bar, 0), 0u);
    // The state is replaced as a whole.
    ASSERT_TRUE(platform::SetMenuItemStateByCommand(halvern, 17922, 0));
    EXPECT_EQ(platform::GetMenuStateByPosition(halvern, 0), 0u);
    EXPECT_FALSE(platform::SetMenuItemStateByCommand(bar, 17936, platform::kMfsChecked));
    EXPECT_FALSE(platform::SetMenuItemStateByCommand(nullptr, 17922, platform::kMfsChecked));
}

TEST_F(DesktopMenus, MenusThatContainEachOtherAreSearchedAndDestroyedOnce) {
    const MenuHandle a = platform::CreatePopupMenuHandle();
    const MenuHandle b = platform::CreatePopupMenuHandle();
    ASSERT_TRUE(desktop::AppendMenuItem(a, "to b", 0, b));
    ASSERT_TRUE(desktop::AppendMenuItem(b, "to a", 0, a));
    EXPECT_FALSE(platform::SetMenuItemStateByCommand(a, 5, platform::kMfsChecked));
    EXPECT_TRUE(desktop::DestroyMenuHandle(a));
    EXPECT_FALSE(platform::IsMenuHandle(a));
    EXPECT_FALSE(platform::IsMenuHandle(b));
}

TEST_F(DesktopMenus, SubmenusLiveAsLongAsTheirItemsAndTheWindowsBar) {
    const WindowHandle main = desktop::CreateTopLevelWindow("Host", nullptr);
    const MenuHandle bar = desktop::CreateMenuBar();
    const MenuHandle modules = platform::CreatePopupMenuHandle();
    const MenuHandle tools = platform::CreatePopupMenuHandle();
    const MenuHandle halvern = platform::CreatePopupMenuHandle();
    ASSERT_TRUE(desktop::AppendMenuItem(bar, "&Tools", 0, tools));
    ASSERT_TRUE(desktop::AppendMenuItem(bar, "&Modules", 0, modules));
    ASSERT_TRUE(desktop::AppendMenuItem(modules, "&Halvern", 0, halvern));
    ASSERT_TRUE(desktop::SetWindowMenuBar(main, bar));
    EXPECT_EQ(platform::GetWindowMenu(main), bar);

    // Removing keeps the submenu, deleting destroys it with its own submenus.
    ASSERT_TRUE(desktop::RemoveMenuItem(bar, 0));
    EXPECT_TRUE(platform::IsMenuHandle(tools));
    ASSERT_TRUE(desktop::DeleteMenuItem(bar, 0));
    EXPECT_FALSE(platform::IsMenuHandle(modules));
    EXPECT_FALSE(platform::IsMenuHandle(halvern));
    EXPECT_EQ(platform::GetMenuItemCount(bar), 0);
    EXPECT_FALSE(desktop::DeleteMenuItem(bar, 0));

    // The bar goes with its window.
    ASSERT_TRUE(desktop::AppendMenuItem(bar, "&Tools", 0, tools));
    platform::DestroyWindowNow(main);
    EXPECT_FALSE(platform::IsMenuHandle(bar));
    EXPECT_FALSE(platform::IsMenuHandle(tools));
    EXPECT_EQ(platform::GetWindowMenu(main), nullptr);
}

}  // namespace
}  // namespace halvern
