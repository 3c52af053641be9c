#pragma once

// The module's two dialog templates, described once: the resource script (halvern.rc) that the
// Windows build compiles into the DLL spells out the same values, and a test holds the two
// together; the portable desktop builds its dialogs from this description. Styles, ids and
// positions keep their Windows values and dialog units.

#include <cstdint>
#include <span>
#include <string_view>

namespace halvern::resources {

// Window styles, as the system headers define them.
inline constexpr std::uint32_t kWsPopup = 0x80000000;
inline constexpr std::uint32_t kWsChild = 0x40000000;
inline constexpr std::uint32_t kWsVisible = 0x10000000;
inline constexpr std::uint32_t kWsCaption = 0x00C00000;  // title bar and thin border
inline constexpr std::uint32_t kWsBorder = 0x00800000;
inline constexpr std::uint32_t kWsSysMenu = 0x00080000;
inline constexpr std::uint32_t kWsGroup = 0x00020000;
inline constexpr std::uint32_t kWsTabStop = 0x00010000;
inline constexpr std::uint32_t kWsExDlgModalFrame = 0x00000001;

// Dialog styles.
inline constexpr std::uint32_t kDsModalFrame = 0x80;
inline constexpr std::uint32_t kDsSetFont = 0x40;  // the template names a font
inline constexpr std::uint32_t kDs3dLook = 0x04;

// Control styles; the low four bits of a button's style say which kind of button it is.
inline constexpr std::uint32_t kBsPushButton = 0x0;
inline constexpr std::uint32_t kBsAutoCheckBox = 0x3;
inline constexpr std::uint32_t kBsGroupBox = 0x7;
inline constexpr std::uint32_t kBsTypeMask = 0xF;
inline constexpr std::uint32_t kBsCenter = 0x300;   // text centred horizontally
inline constexpr std::uint32_t kEsNumber = 0x2000;  // the edit accepts digits only
inline constexpr std::uint32_t kSsLeft = 0x0;

// The window classes the templates use, named as the system registers them.
enum class ControlClass { Button, Edit, Static, ProgressBar };

constexpr std::string_view ControlClassName(ControlClass windowClass) {
    switch (windowClass) {
        case ControlClass::Button:
            return "Button";
        case ControlClass::Edit:
            return "Edit";
        case ControlClass::Static:
            return "Static";
        case ControlClass::ProgressBar:
            return "msctls_progress32";
    }
    return {};
}

// Positions and sizes are in dialog units. An id of -1 is a control nobody addresses (0xFFFF in
// the template).
struct DialogControl {
    int id;
    ControlClass windowClass;
    std::string_view text;
    std::uint32_t style;
    int x;
    int y;
    int width;
    int height;
};

struct DialogTemplate {
    int resourceId;
    std::string_view caption;
    std::uint32_t style;
    std::uint32_t extendedStyle;
    std::string_view fontName;
    int fontPointSize;
    int x;
    int y;
    int width;
    int height;
    std::span<const DialogControl> controls;  // in template order, which is the tab order
};

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
inline constexpr std::uint32_t kShown = kWsChild | kWsVisible;
inline constexpr std::uint32_t kCheckBox = kShown | kWsTabStop | kBsAutoCheckBox;
inline constexpr std::uint32_t kButton = kShown | kWsTabStop | kBsPushButton | kBsCenter;
}  // namespace detail

// The true-bearing box is the last control of the template, and so of the tab order, although on
// screen it stands between the magnetic bearing and the elevation.
inline constexpr DialogControl kOptionsDialogControls[] = {
    {-1, ControlClass::Button, "Display", detail::kShown | kWsGroup | kBsGroupBox, 6, 4, 78, 86},
    {kOptionNameCheckBox, ControlClass::Button, "Airport name", detail::kCheckBox, 12, 14, 60, 12},
    {kOptionCodeCheckBox, ControlClass::Button, "Airport code", detail::kCheckBox, 12, 26, 60, 12},
    {kOptionDistanceCheckBox, ControlClass::Button, "Distance", detail::kCheckBox, 12, 38, 60, 12},
    {kOptionMagneticBearingCheckBox, ControlClass::Button, "Magnetic bearing", detail::kCheckBox,
     12, 50, 70, 12},
    {kOptionElevationCheckBox, ControlClass::Button, "Airport elevation", detail::kCheckBox, 12, 74,
     66, 12},
    {kOptionDistanceEdit, ControlClass::Edit, "",
     detail::kShown | kWsBorder | kWsTabStop | kEsNumber, 73, 96, 20, 12},
    {kOptionOkButton, ControlClass::Button, "OK", detail::kButton, 90, 6, 50, 14},
    {kOptionCancelButton, ControlClass::Button, "Cancel", detail::kButton, 90, 26, 50, 14},
    {-1, ControlClass::Static, "Show airports up to", detail::kShown | kSsLeft, 6, 98, 66, 8},
    {-1, ControlClass::Static, "NM away", detail::kShown | kSsLeft, 100, 98, 60, 8},
    {kOptionTrueBearingCheckBox, ControlClass::Button, "True bearing", detail::kCheckBox, 12, 62,
     60, 12},
};

inline constexpr DialogTemplate kOptionsDialog = {
    kOptionsDialogResource,
    "Halvern options",
    kWsPopup | kWsVisible | kWsCaption | kWsSysMenu | kDsModalFrame | kDs3dLook | kDsSetFont,
    kWsExDlgModalFrame,
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
inline constexpr DialogControl kProgressDialogControls[] = {
    {kProgressBar, ControlClass::ProgressBar, "ProgressBar2", detail::kShown | kWsBorder, 6, 34,
     134, 9},
    {-1, ControlClass::Static, "Halvern is extracting airport information...",
     detail::kShown | kSsLeft, 6, 6, 135, 19},
};

inline constexpr DialogTemplate kProgressDialog = {
    kProgressDialogResource,
    "Halvern",
    kWsPopup | kWsVisible | kWsCaption | kDsModalFrame | kDs3dLook | kDsSetFont,
    kWsExDlgModalFrame,
    "MS Sans Serif",
    8,
    0,
    0,
    146,
    51,
    kProgressDialogControls,
};

// --- Lookup -------------------------------------------------------------------------------------

inline constexpr const DialogTemplate* kDialogTemplates[] = {&kOptionsDialog, &kProgressDialog};

// The template with that resource id; null when the module has none.
constexpr const DialogTemplate* FindDialogTemplate(int resourceId) {
    for (const DialogTemplate* dialog : kDialogTemplates) {
        if (dialog->resourceId == resourceId) {
            return dialog;
        }
    }
    return nullptr;
}

}  // namespace halvern::resources
