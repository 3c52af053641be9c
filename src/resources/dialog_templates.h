#pragma once

// The module's two dialog templates and their control ids, described once: the module hands
// these descriptions to the platform's dialog calls, and the resource script (halvern.rc) that the
// Windows build compiles into the DLL spells out the same values, which a test holds together.

#include "platform/dialog_template.h"

namespace halvern::resources {

// --- The options dialog (resource 1) -----------------------------------------------------------

inline constexpr int kOptionsDialogResource = 1;

// Control ids; OK and Cancel carry the system's ids 1 and 2.
inline constexpr int kOptionNameCheckBox = 101;
inline constexpr int kOptionCodeCheckBox = 102;
inline constexpr int kOptionDistanceCheckBox = 103;
inline constexpr int kOptionMagneticBearingCheckBox = 104;
inline constexpr int kOptionElevationCheckBox = 105;
inline constexpr int kOptionDistanceEdit = 106;
inline constexpr int kOptionTrueBearingCheckBox = 107;
inline constexpr int kOptionOkButton = 1;
inline constexpr int kOptionCancelButton = 2;

namespace detail {
inline constexpr std::uint32_t kShown = platform::kWsChild | platform::kWsVisible;
inline constexpr std::uint32_t kCheckBox =
    kShown | platform::kWsTabStop | platform::kBsAutoCheckBox;
inline constexpr std::uint32_t kButton =
    kShown | platform::kWsTabStop | platform::kBsPushButton | platform::kBsCenter;
}  // namespace detail

// The true-bearing box is the last control of the template, and so of the tab order, although on
// screen it stands between the magnetic bearing and the elevation.
inline constexpr platform::DialogControl kOptionsDialogControls[] = {
    {-1, platform::ControlClass::Button, "Display",
     detail::kShown | platform::kWsGroup | platform::kBsGroupBox, 6, 4, 78, 86},
    {kOptionNameCheckBox, platform::ControlClass::Button, "Airport name", detail::kCheckBox, 12, 14,
     60, 12},
    {kOptionCodeCheckBox, platform::ControlClass::Button, "Airport code", detail::kCheckBox, 12, 26,
     60, 12},
    {kOptionDistanceCheckBox, platform::ControlClass::Button, "Distance", detail::kCheckBox, 12, 38,
     60, 12},
    {kOptionMagneticBearingCheckBox, platform::ControlClass::Button, "Magnetic bearing",
     detail::kCheckBox, 12, 50, 70, 12},
    {kOptionElevationCheckBox, platform::ControlClass::Button, "Airport elevation",
     detail::kCheckBox, 12, 74, 66, 12},
    {kOptionDistanceEdit, platform::ControlClass::Edit, "",
     detail::kShown | platform::kWsBorder | platform::kWsTabStop | platform::kEsNumber, 73, 96, 20,
     12},
    {kOptionOkButton, platform::ControlClass::Button, "OK", detail::kButton, 90, 6, 50, 14},
    {kOptionCancelButton, platform::ControlClass::Button, "Cancel", detail::kButton, 90, 26, 50,
     14},
    {-1, platform::ControlClass::Static, "Show airports up to", detail::kShown | platform::kSsLeft,
     6, 98, 66, 8},
    {-1, platform::ControlClass::Static, "NM away", detail::kShown | platform::kSsLeft, 100, 98, 60,
     8},
    {kOptionTrueBearingCheckBox, platform::ControlClass::Button, "True bearing", detail::kCheckBox,
     12, 62, 60, 12},
};

inline constexpr platform::DialogTemplate kOptionsDialog = {
    kOptionsDialogResource,
    "Halvern options",
    platform::kWsPopup | platform::kWsVisible | platform::kWsCaption | platform::kWsSysMenu |
        platform::kDsModalFrame | platform::kDs3dLook | platform::kDsSetFont,
    platform::kWsExDlgModalFrame,
    "MS Sans Serif",
    8,
    0,
    0,
    144,
    114,
    kOptionsDialogControls,
};

// --- The progress dialog (resource 3) ----------------------------------------------------------

inline constexpr int kProgressDialogResource = 3;
inline constexpr int kProgressBar = 101;

// No system menu and no buttons: the window goes away when the extraction is done.
inline constexpr platform::DialogControl kProgressDialogControls[] = {
    {kProgressBar, platform::ControlClass::ProgressBar, "ProgressBar2",
     detail::kShown | platform::kWsBorder, 6, 34, 134, 9},
    {-1, platform::ControlClass::Static, "Halvern is extracting airport information...",
     detail::kShown | platform::kSsLeft, 6, 6, 135, 19},
};

inline constexpr platform::DialogTemplate kProgressDialog = {
    kProgressDialogResource,
    "Halvern",
    platform::kWsPopup | platform::kWsVisible | platform::kWsCaption | platform::kDsModalFrame |
        platform::kDs3dLook | platform::kDsSetFont,
    platform::kWsExDlgModalFrame,
    "MS Sans Serif",
    8,
    0,
    0,
    146,
    51,
    kProgressDialogControls,
};

// --- Lookup -------------------------------------------------------------------------------------

inline constexpr const platform::DialogTemplate* kDialogTemplates[] = {&kOptionsDialog,
                                                                       &kProgressDialog};

// The template with that resource id; null when the module has none.
constexpr const platform::DialogTemplate* FindDialogTemplate(int resourceId) {
    for (const platform::DialogTemplate* dialog : kDialogTemplates) {
        if (dialog->resourceId == resourceId) {
            return dialog;
        }
    }
    return nullptr;
}

}  // namespace halvern::resources
