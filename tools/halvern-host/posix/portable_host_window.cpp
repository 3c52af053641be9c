// The substitute host's main window on the portable desktop.

#include <optional>
#include <vector>

#include "halvern-host/host_window.h"
#include "halvern-host/menu_path.h"
#include "platform/desktop.h"
#include "platform/posix/desktop/portable_desktop.h"

namespace halvern::host {

namespace {

namespace desk = platform::desktop;
using platform::LParam;
using platform::LResult;
using platform::WindowHandle;
using platform::WParam;

class PortableHostWindow;
PortableHostWindow* theWindow = nullptr;

class PortableHostWindow : public HostWindow {
  public:
    PortableHostWindow() { theWindow = this; }
    ~PortableHostWindow() override {
        if (theWindow == this) {
            theWindow = nullptr;
        }
    }

    bool Create(const std::string& title) override {
        window_ = desk::CreateTopLevelWindow(title.c_str(), &HostProc);
        const platform::MenuHandle bar = desk::CreateMenuBar();
        const platform::MenuHandle file = platform::CreatePopupMenuHandle();
        desk::AppendMenuItem(file, "E&xit", 100);
        const platform::MenuHandle views = platform::CreatePopupMenuHandle();
        desk::AppendMenuItem(views, "&Top down", 200);
        desk::AppendMenuItem(bar, "&File", 0, file);
        desk::AppendMenuItem(bar, "&Views", 0, views);
        desk::SetWindowMenuBar(window_, bar);
        desk::SetMessageBoxResponder([this](const desk::MessageBoxRecord& box) {
            if (onMessageBox) {
                onMessageBox(box.caption, box.text);
            }
            return platform::kIdOk;
        });
        desk::SetDialogDriver(
            [this](WindowHandle dialog, int resourceId) { DriveDialog(dialog, resourceId); });
        return window_ != nullptr && desk::SetFocusWindow(window_);
    }

    void RepaintFrame() override { Send(platform::kWmNcPaint, 1, 0); }

    void PressF12(bool shift, bool control, bool alt) override {
        desk::SetKeyDown(platform::kVkShift, shift);
        desk::SetKeyDown(platform::kVkControl, control);
        desk::SetKeyDown(platform::kVkMenu, alt);
        Send(alt ? platform::kWmSysKeyDown : platform::kWmKeyDown, platform::kVkF12, 1);
        desk::SetKeyDown(platform::kVkShift, false);
        desk::SetKeyDown(platform::kVkControl, false);
        desk::SetKeyDown(platform::kVkMenu, false);
    }

    bool ChooseMenu(const std::string& path) override {
        platform::MenuHandle menu = nullptr;
        int position = -1;
        if (!Find(path, menu, position)) {
            return false;
        }
        platform::MenuItem item;
        platform::GetMenuItemByPosition(menu, position, item);
        Command(item.id);
        return true;
    }

    bool RemoveMenu(const std::string& path) override {
        platform::MenuHandle menu = nullptr;
        int position = -1;
        return Find(path, menu, position) && desk::DeleteMenuItem(menu, position);
    }

    void Command(std::uint32_t id) override { Send(platform::kWmCommand, id, 0); }

    void AnswerNextOptionsDialog(const OptionsEntry& entry) override { pendingOptions_ = entry; }

    std::string DescribeModuleMenu() override {
        platform::MenuHandle menu = nullptr;
        int position = -1;
        if (!Find("Modules>Halvern", menu, position)) {
            return "(no Modules > Halvern menu)";
        }
        platform::MenuItem halvern;
        platform::GetMenuItemByPosition(menu, position, halvern);
        std::string text;
        for (int i = 0; i < platform::GetMenuItemCount(halvern.submenu); ++i) {
            platform::MenuItem item;
            platform::GetMenuItemByPosition(halvern.submenu, i, item);
            text += item.type == platform::kMftSeparator ? std::string("----")
                                                         : PlainMenuText(item.text);
            if ((item.state & platform::kMfsChecked) != 0) {
                text += " [checked]";
            }
            text += " | ";
        }
        return text;
    }

  private:
    LResult Send(std::uint32_t message, WParam wParam, LParam lParam) {
        return platform::SendWindowMessage(window_, message, wParam, lParam);
    }

    // The host's own window procedure: its menus' commands are reported, the rest answered 0.
    static LResult HALVERN_HOSTCALL HostProc(WindowHandle, std::uint32_t message, WParam wParam,
                                             LParam) {
        if (message == platform::kWmCommand && theWindow != nullptr && theWindow->onHostCommand) {
            theWindow->onHostCommand(static_cast<std::uint32_t>(wParam & 0xFFFF));
        }
        return 0;
    }

    bool Find(const std::string& path, platform::MenuHandle& menu, int& position) {
        menu = platform::GetWindowMenu(window_);
        const std::vector<std::string> parts = SplitMenuPath(path);
        for (std::size_t depth = 0; depth < parts.size() && menu != nullptr; ++depth) {
            position = -1;
            for (int i = 0; i < platform::GetMenuItemCount(menu); ++i) {
                platform::MenuItem item;
                if (platform::GetMenuItemByPosition(menu, i, item) &&
                    item.type != platform::kMftSeparator &&
                    PlainMenuText(item.text) == parts[depth]) {
                    position = i;
                    if (depth + 1 < parts.size()) {
                        menu = item.submenu;
                    }
                    break;
                }
            }
            if (position < 0) {
                return false;
            }
        }
        return position >= 0 && menu != nullptr;
    }

    void DriveDialog(WindowHandle dialog, int resourceId) {
        if (resourceId != 1 || !pendingOptions_) {
            desk::ClickButton(dialog, platform::kIdCancel);
            return;
        }
        const OptionsEntry entry = *pendingOptions_;
        pendingOptions_.reset();
        platform::SetDialogItemText(dialog, 106, entry.distance.c_str());
        const struct {
            int id;
            std::uint32_t bit;
        } boxes[] = {{101, 0x01}, {102, 0x02}, {103, 0x04}, {104, 0x08}, {105, 0x10}, {107, 0x20}};
        for (const auto& box : boxes) {
            platform::CheckDialogButton(dialog, box.id, (entry.options & box.bit) != 0 ? 1 : 0);
        }
        desk::ClickButton(dialog, platform::kIdOk);
        // Refused values leave the dialog open: the user gives up.
        if (!Ended(dialog)) {
            desk::ClickButton(dialog, platform::kIdCancel);
        }
    }

    static bool Ended(WindowHandle dialog) {
        for (const desk::DialogRecord& record : desk::DialogLog()) {
            if (record.dialog == dialog) {
                return record.ended;
            }
        }
        return true;
    }

    WindowHandle window_ = nullptr;
    std::optional<OptionsEntry> pendingOptions_;
};

}  // namespace

std::unique_ptr<HostWindow> CreateHostWindow() {
    return std::make_unique<PortableHostWindow>();
}

}  // namespace halvern::host
