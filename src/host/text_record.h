#pragma once

// The text record that accompanies every line handed to the host's text service: a fixed
// template whose only varying part is the position at which the host places the line.

#include <array>
#include <cstddef>

#include "geo/world_position.h"

namespace halvern {

inline constexpr std::size_t kTextRecordSize = 52;
// Bytes 16..33 carry the airport's PackedPosition; the template holds zero there.
inline constexpr std::size_t kTextRecordPositionOffset = 16;

using TextRecord = std::array<unsigned char, kTextRecordSize>;

// The host's record as the module fills it, little-endian. Beyond the position, the fields are
// the host's own and are passed through unchanged.
inline constexpr TextRecord kTextRecordTemplate = {
    0x76, 0x00, 0x77, 0x00, 0x32, 0x00, 0x00, 0x00,  //  0: 16-bit text "vw2" and a zero
    0x00, 0x00, 0x00, 0x00,                          //  8: 0
    0x9A, 0x19, 0x00, 0x00,                          // 12: 6554
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 16: position (18 bytes)
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  //
    0x00, 0x00,                                      //
    0x51, 0x00,                                      // 34
    0x0F, 0xF0, 0x91, 0x00,                          // 36
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 40: 0
    0x01, 0x02, 0x22, 0x00,                          // 48
};

static_assert(kTextRecordPositionOffset + sizeof(PackedPosition) == 34);

// Writes `position` into bytes 16..33 of `record`; no other byte changes.
void WriteTextRecordPosition(TextRecord& record, const PackedPosition& position);

}  // namespace halvern
