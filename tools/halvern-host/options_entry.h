#pragma once

// Values to enter in the module's options dialog, and where a user enters them: the distance in
// its edit control, each display option bit in its check box (the dialog's control ids).

#include <cstdint>
#include <string>

namespace halvern::host {

struct OptionsEntry {
    std::string distance;       // the edit text
    std::uint32_t options = 0;  // the six display bits
};

inline constexpr int kDistanceEditId = 106;

struct OptionCheckBox {
    int id;
    std::uint32_t bit;
};

// Name, code, distance, magnetic bearing, elevation, true bearing.
inline constexpr OptionCheckBox kOptionCheckBoxes[] = {{101, 0x01}, {102, 0x02}, {103, 0x04},
                                                       {104, 0x08}, {105, 0x10}, {107, 0x20}};

}  // namespace halvern::host
