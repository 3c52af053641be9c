#pragma once

// One airport of the database, and its 19-byte image in the cache file.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "support/byte_order.h"

namespace halvern {

struct AirportRecord {
    float latitude;          // degrees, north positive
    float longitude;         // degrees, east positive
    std::int16_t elevation;  // feet above mean sea level
    char* name;              // owned, zero-terminated; null only in an empty slot
    char code[5];            // up to four characters, zero-padded; code[4] is always zero
};

// The cache file's image of a record: latitude (float), longitude (float), elevation (i16),
// 4 reserved bytes, 4 code characters and a zero byte, little-endian and unaligned.
inline constexpr std::size_t kRecordImageSize = 19;

// Writes the image; the reserved bytes are written as zero.
void EncodeRecordImage(const AirportRecord& record, unsigned char (&image)[kRecordImageSize]);

// Reads latitude, longitude, elevation and code from an image; the name is left untouched.
// The code stays a text of at most four characters whatever byte 18 holds. Inline: the cache
// reader decodes every record.
inline void DecodeRecordImage(const unsigned char (&image)[kRecordImageSize],
                              AirportRecord& record) {
    record.latitude = FloatFromBits(LoadU32(image + 0));
    record.longitude = FloatFromBits(LoadU32(image + 4));
    record.elevation = static_cast<std::int16_t>(LoadU16(image + 8));
    std::memcpy(record.code, image + 14, 4);
    record.code[4] = 0;
}

}  // namespace halvern
