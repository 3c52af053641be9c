#include "resources/dialog_templates.h"

// What must hold for every template, checked when the description is compiled: a mistake in a
// table then stops the build instead of producing a dialog that the system would lay out
// differently from the portable desktop.

namespace halvern::resources {
namespace {

// A control may reach past the right edge (the system clips it), but it starts inside.
constexpr bool InsideDialog(const platform::DialogTemplate& dialog,
                            const platform::DialogControl& control) {
    return control.x >= 0 && control.y >= 0 && control.x < dialog.width &&
           control.y < dialog.height && control.width > 0 && control.height > 0;
}

constexpr bool WellFormed(const platform::DialogTemplate& dialog) {
    // A template that names a font must say so in its style, or the system ignores the font.
    if ((dialog.style & platform::kDsSetFont) == 0 || dialog.fontName.empty() ||
        dialog.fontPointSize <= 0) {
        return false;
    }
    for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
        const platform::DialogControl& control = dialog.controls[i];
        if ((control.style & (platform::kWsChild | platform::kWsVisible)) !=
                (platform::kWsChild | platform::kWsVisible) ||
            !InsideDialog(dialog, control) || control.id < -1 || control.id > 0xFFFF) {
            return false;
        }
        // Every control that the module addresses has an id of its own.
        for (std::size_t j = i + 1; j < dialog.controls.size(); ++j) {
            if (control.id != -1 && dialog.controls[j].id == control.id) {
                return false;
            }
        }
    }
    return true;
}

constexpr bool ResourceIdsDistinct() {
    for (const platform::DialogTemplate* dialog : kDialogTemplates) {
        if (FindDialogTemplate(dialog->resourceId) != dialog) {
            return false;
        }
    }
    return true;
}

static_assert(WellFormed(kOptionsDialog));
static_assert(WellFormed(kProgressDialog));
static_assert(ResourceIdsDistinct());

}  // namespace
}  // namespace halvern::resources
