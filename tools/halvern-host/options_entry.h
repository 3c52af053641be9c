#pragma once

// Values to enter in the module's options dialog: the distance in its edit control
// (resources::kOptionDistanceEdit), each display option bit in its check box
// (module/option_check_boxes.h).

#include <cstdint>
#include <string>

namespace halvern::host {

struct OptionsEntry {
    std::string distance;       // the edit text
    std::uint32_t options = 0;  // the six display bits
};

}  // namespace halvern::host
