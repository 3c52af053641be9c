#pragma once

// The options dialog's check boxes and the display option each one shows, in the order the
// module reads and sets them; the substitute hosts tick them from the same table.

#include <cstdint>

#include "overlay/display_options.h"
#include "resources/dialog_templates.h"

namespace halvern {

struct OptionCheckBox {
    int control;
    std::int32_t bit;
};

inline constexpr OptionCheckBox kOptionCheckBoxes[] = {
    {resources::kOptionNameCheckBox, kShowName},
    {resources::kOptionCodeCheckBox, kShowCode},
    {resources::kOptionDistanceCheckBox, kShowDistance},
    {resources::kOptionMagneticBearingCheckBox, kShowMagneticBearing},
    {resources::kOptionTrueBearingCheckBox, kShowTrueBearing},
    {resources::kOptionElevationCheckBox, kShowElevation},
};

}  // namespace halvern
