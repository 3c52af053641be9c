#include "airports/airport_record.h"

#include <cstring>

#include "support/byte_order.h"

namespace halvern {

void EncodeRecordImage(const AirportRecord& record, unsigned char (&image)[kRecordImageSize]) {
    StoreU32(image + 0, FloatBits(record.latitude));
    StoreU32(image + 4, FloatBits(record.longitude));
    StoreU16(image + 8, static_cast<std::uint16_t>(record.elevation));
    // The reserved bytes once held the in-memory name reference; they carry nothing.
    StoreU32(image + 10, 0);
    std::memcpy(image + 14, record.code, 4);
    image[18] = 0;
}

}  // namespace halvern
