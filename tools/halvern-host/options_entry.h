#pragma once

// Values to enter in the module's options dialog, and where a user enters them: the distance in
// its edit control (resources::kOptionDistanceEdit), each display option bit in its check box.

#include <cstdint>
#include <string>

#include "overlay/display_options.h"
#include "resources/dialog_templates.h"

namespace halvern::host {

struct OptionsEntry {
    std::string distance;       // the edit text
    std::uint32_t options = 0;  // the six display bits
};

struct OptionCheckBox {
    int id;
    std::uint32_t bit;
};

inline constexpr OptionCheckBox kOptionCheckBoxes[] = {
    {resources::kOptionNameCheckBox, kShowName},
    {resources::kOptionCodeCheckBox, kShowCode},
    {resources::kOptionDistanceCheckBox, kShowDistance},
    {resources::kOptionMagneticBearingCheckBox, kShowMagneticBearing},
    {resources::kOptionElevationCheckBox, kShowElevation},
    {resources::kOptionTrueBearingCheckBox, kShowTrueBearing}};

}  // namespace halvern::host
