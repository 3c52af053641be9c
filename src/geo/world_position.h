#pragma once

// The host's fixed-point world position and its packed form. Both cross the host boundary as
// plain little-endian bytes, so their layouts are fixed to the byte.

#include <cstddef>
#include <cstdint>

namespace halvern {

// Each (fraction, integer) pair is one signed 64-bit fixed-point number with 32 fractional bits,
// low word first: value = integer + fraction * 2^-32, the integer read as signed.
//   latitude:  10001750 units from the equator to a pole (90/10001750 degree per unit);
//   longitude: 2^32 units to the full turn (360/2^32 degree per unit);
//   altitude:  the host's own unit, carried along and never interpreted here.
struct WorldPosition {
    std::uint32_t latitudeFraction;
    std::int32_t latitudeInteger;
    std::uint32_t longitudeFraction;
    std::int32_t longitudeInteger;
    std::uint32_t altitudeFraction;
    std::int32_t altitudeInteger;
};

static_assert(sizeof(WorldPosition) == 24);
static_assert(offsetof(WorldPosition, latitudeFraction) == 0);
static_assert(offsetof(WorldPosition, latitudeInteger) == 4);
static_assert(offsetof(WorldPosition, longitudeFraction) == 8);
static_assert(offsetof(WorldPosition, longitudeInteger) == 12);
static_assert(offsetof(WorldPosition, altitudeFraction) == 16);
static_assert(offsetof(WorldPosition, altitudeInteger) == 20);

// The form in which a position is handed back to the host: for each pair the upper 16 bits of
// the fraction, then the integer word (48-bit fixed point with 16 fractional bits).
#pragma pack(push, 1)
struct PackedPosition {
    std::uint16_t latitudeFraction;
    std::int32_t latitudeInteger;
    std::uint16_t longitudeFraction;
    std::int32_t longitudeInteger;
    std::uint16_t altitudeFraction;
    std::int32_t altitudeInteger;
};
#pragma pack(pop)

static_assert(sizeof(PackedPosition) == 18);
static_assert(offsetof(PackedPosition, latitudeFraction) == 0);
static_assert(offsetof(PackedPosition, latitudeInteger) == 2);
static_assert(offsetof(PackedPosition, longitudeFraction) == 6);
static_assert(offsetof(PackedPosition, longitudeInteger) == 8);
static_assert(offsetof(PackedPosition, altitudeFraction) == 12);
static_assert(offsetof(PackedPosition, altitudeInteger) == 14);

}  // namespace halvern
