#include "host/text_record.h"

#include <bit>
#include <cstring>

namespace halvern {

static_assert(std::endian::native == std::endian::little);

void WriteTextRecordPosition(TextRecord& record, const PackedPosition& position) {
    // PackedPosition has the host's 18-byte layout without padding, and the machine is
    // little-endian like the host, so its bytes are the record's bytes.
    std::memcpy(record.data() + kTextRecordPositionOffset, &position, sizeof position);
}

}  // namespace halvern
