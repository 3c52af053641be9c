#include "halvern-host/posix/portable_host_window.h"

#include <optional>

#include "module/option_check_boxes.h"
#include "platform/desktop.h"
#include "platform/posix/desktop/portable_desktop.h"

namespace halvern::host {

namespace {

namespace desk = platform::desktop;
using platform::LParam;
using platform::LResult;
using platform::WindowHandle;
using platform::WParam;

// The window's menus as the portable desktop's menu calls give them.
class PortableMenuReader : public MenuReader {
  public:
    explicit PortableMenuReader(const WindowHandle& window) : window_(window) {}

    void* Bar() const override { return platform::GetWindowMenu(window_); }

    int ItemCount(void* menu) const override {
        return platform::GetMenuItemCount(static_cast<platform::MenuHandle>(menu));
    }

    bool ReadItem(void* menu, int position, MenuEntry& entry) const override {
        platform::MenuItem item;
        if (!platform::GetMenuItemByPosition(static_cast<platform::MenuHandle>(menu), position,
                                             item)) {
            return false;
        }
        entry.separator = item.type == platform::kMftSeparator;
        entry.checked = (item.state & platform::kMfsChecked) != 0;
        entry.id = item.id;
        entry.submenu = item.submenu;
        entry.text = item.text;
        return true;
    }

  private:
    const WindowHandle& window_;
};

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

    const MenuReader& Menus() const override { return menus_; }

    bool DeleteMenuItem(void* menu, int position) override {
        return desk::DeleteMenuItem(static_cast<platform::MenuHandle>(menu), position);
    }

    void Command(std::uint32_t id) override { Send(platform::kWmCommand, id, 0); }

    void AnswerNextOptionsDialog(const OptionsEntry& entry) override { pendingOptions_ = entry; }

  private:
    LResult Send(std::uint32_t message, WParam wParam, LParam lParam) {
        return platform::SendWindowMessage(window_, message, wParam, lParam);
    }

    // The host's own window procedure: its menus' commands are reported, the rest answered 0.
    static LResult HALVERN_HOSTCALL HostProc(WindowHandle, std::uint32_t message, WParam wParam,
                                             LParam) {
        if (message == platform::kWmCommand && theWindow != nullptr && theWindow->onHostMessage) {
            theWindow->onHostMessage("command " + std::to_string(wParam & 0xFFFF));
        }
        return 0;
    }

    void DriveDialog(WindowHandle dialog, int resourceId) {
        if (resourceId != resources::kOptionsDialogResource || !pendingOptions_) {
            desk::ClickButton(dialog, platform::kIdCancel);
            return;
        }
        const OptionsEntry entry = *pendingOptions_;
        pendingOptions_.reset();
        platform::SetDialogItemText(dialog, resources::kOptionDistanceEdit, entry.distance.c_str());
        for (const OptionCheckBox& box : kOptionCheckBoxes) {
            platform::CheckDialogButton(
                dialog, box.control,
                (entry.options & static_cast<std::uint32_t>(box.bit)) != 0 ? 1 : 0);
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
    PortableMenuReader menus_{window_};
    std::optional<OptionsEntry> pendingOptions_;
};

}  // namespace

std::unique_ptr<HostWindow> CreatePortableHostWindow() {
    return std::make_unique<PortableHostWindow>();
}

}  // namespace halvern::host
