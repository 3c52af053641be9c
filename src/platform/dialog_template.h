#pragma once

// A dialog template as the system's dialog calls take one: the dialog's caption, styles, font
// and size, and its controls in template order. On Windows the module's templates are resources
// of the module file, which the dialog calls find by their id; the portable desktop builds the
// dialog from the description itself. Styles, ids and positions keep their Windows values and
// dialog units.

#include <cstdint>
#include <span>
#include <string_view>

namespace halvern::platform {

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

// The window classes a template may use, named as the system registers them.
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
    int resourceId;  // the template's id among the module file's resources
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

}  // namespace halvern::platform
