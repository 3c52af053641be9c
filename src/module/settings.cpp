// The display options and the overlay's reach: their registry values and the options dialog.

#include <cstdio>

#include "frame/host_boundary.h"
#include "module/halvern_module.h"
#include "module/option_check_boxes.h"
#include "overlay/display_options.h"
#include "overlay/distance_text.h"
#include "resources/dialog_templates.h"
#include "support/byte_order.h"

namespace halvern {

namespace {

constexpr const char* kSettingsKey = "Software\\Tavrel Software\\Halvern";
constexpr const char* kOptionsValue = "AirportOptions";
constexpr const char* kMaxDistanceValue = "AirportMaxDistance";
constexpr const char* kVersionValue = "Version";
constexpr std::uint32_t kSettingsVersion = 11000;

constexpr int kEditTextCapacity = 255;

// Reads a 4-byte value into `setting`; an absent value, or one larger than 4 bytes, leaves the
// setting as it was. A shorter value fills a zeroed buffer, so the setting is still defined.
void QuerySetting(const platform::RegistryKey& key, const char* name, std::int32_t& setting) {
    unsigned char buffer[4] = {};
    std::uint32_t size = sizeof buffer;
    if (key.QueryValue(name, buffer, size)) {
        setting = static_cast<std::int32_t>(LoadU32(buffer));
    }
}

void ShowError(platform::WindowHandle owner, const char* text) {
    platform::ShowMessageBox(owner, text, "Error", platform::kMbIconError | platform::kMbOk);
}

}  // namespace

void HalvernModule::LoadSettings() {
    platform::RegistryKey key;
    if (!key.OpenOrCreate(kSettingsKey)) {
        return;  // the defaults stay
    }
    // Neither the value's type nor its range is checked: a hand-edited distance is used as is.
    QuerySetting(key, kOptionsValue, overlay.displayOptions);
    QuerySetting(key, kMaxDistanceValue, overlay.maxDistance);
}

void HalvernModule::SaveSettings() {
    platform::RegistryKey key;
    if (!key.OpenOrCreate(kSettingsKey)) {
        return;
    }
    key.SetDword(kOptionsValue, static_cast<std::uint32_t>(overlay.displayOptions));
    key.SetDword(kMaxDistanceValue, static_cast<std::uint32_t>(overlay.maxDistance));
    key.SetDword(kVersionValue, kSettingsVersion);
}

void HalvernModule::ShowOptionsDialog() {
    platform::RunModalDialog(Instance(), &resources::kOptionsDialog, MainWindow(),
                             &OptionsDialogProc, reinterpret_cast<platform::LParam>(this));
}

bool HalvernModule::AcceptOptions(platform::WindowHandle dialog) {
    char text[kEditTextCapacity] = {};
    platform::GetDialogItemText(dialog, resources::kOptionDistanceEdit, text, kEditTextCapacity);
    const std::int32_t distance = ParseDistanceText(text);
    if (distance < kMinimumMaxDistance || distance > kMaximumMaxDistance) {
        ShowError(dialog, "The airport visibility distance should be between 1 and 250 NM");
        return false;
    }
    // Bits other than the six of the dialog keep their values.
    std::int32_t options = overlay.displayOptions;
    for (const OptionCheckBox& box : kOptionCheckBoxes) {
        if (platform::IsDialogButtonChecked(dialog, box.control) == platform::kButtonChecked) {
            options |= box.bit;
        } else {
            options &= ~box.bit;
        }
    }
    if ((options & (kShowName | kShowCode)) == 0) {
        ShowError(dialog, "You must enable either airport name or code");
        return false;
    }
    overlay.maxDistance = distance;
    overlay.displayOptions = options;
    SaveSettings();
    // The new reach applies at once, whether the overlay is on or off.
    UpdateNearbyList();
    return true;
}

std::intptr_t HalvernModule::OnOptionsDialogMessage(platform::WindowHandle dialog,
                                                    std::uint32_t message, platform::WParam wParam,
                                                    platform::LParam lParam) {
    if (message == platform::kWmInitDialog) {
        platform::SetWindowUserData(dialog, lParam);
        const auto* module = reinterpret_cast<const HalvernModule*>(lParam);
        char text[16];
        std::snprintf(text, sizeof text, "%d", module->overlay.maxDistance);
        platform::SetDialogItemText(dialog, resources::kOptionDistanceEdit, text);
        for (const OptionCheckBox& box : kOptionCheckBoxes) {
            if ((module->overlay.displayOptions & box.bit) != 0) {
                platform::CheckDialogButton(dialog, box.control, platform::kButtonChecked);
            }
        }
        return 1;
    }
    if (message != platform::kWmCommand) {
        return 0;
    }
    auto* module = reinterpret_cast<HalvernModule*>(platform::GetWindowUserData(dialog));
    if (((wParam >> 16) & 0xFFFF) != 0) {
        return 0;  // a notification, not a command
    }
    switch (wParam & 0xFFFF) {
        case platform::kIdOk:
            if (module != nullptr && module->AcceptOptions(dialog)) {
                platform::EndModalDialog(dialog, platform::kIdOk);
            }
            return 1;
        case platform::kIdCancel:  // also Esc and the close box
            platform::EndModalDialog(dialog, platform::kIdCancel);
            return 1;
        default:
            return 1;
    }
}

std::intptr_t HALVERN_HOSTCALL HalvernModule::OptionsDialogProc(platform::WindowHandle dialog,
                                                                std::uint32_t message,
                                                                platform::WParam wParam,
                                                                platform::LParam lParam) {
    // A message whose handling fails counts as handled: the dialog stays as it is, and the user
    // can still cancel it.
    return GuardHostCall(std::intptr_t{1},
                         [&] { return OnOptionsDialogMessage(dialog, message, wParam, lParam); });
}

}  // namespace halvern
