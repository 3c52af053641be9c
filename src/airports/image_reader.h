#pragma once

// Bounds-checked reads from a file image. Every read states whether it lay wholly inside the
// image; offsets are 64-bit, so no offset computation can wrap.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "airports/byte_order.h"

namespace halvern {

class ImageReader {
  public:
    ImageReader(const unsigned char* data, std::size_t size)
        : data_(data), size_(static_cast<std::uint64_t>(size)) {}

    bool Contains(std::int64_t offset, std::uint64_t length) const {
        return offset >= 0 && static_cast<std::uint64_t>(offset) <= size_ &&
               length <= size_ - static_cast<std::uint64_t>(offset);
    }

    bool U32(std::int64_t offset, std::uint32_t& value) const {
        if (!Contains(offset, 4)) {
            return false;
        }
        value = LoadU32(data_ + offset);
        return true;
    }

    bool I32(std::int64_t offset, std::int32_t& value) const {
        std::uint32_t bits = 0;
        if (!U32(offset, bits)) {
            return false;
        }
        value = static_cast<std::int32_t>(bits);
        return true;
    }

    // The zero-terminated text at `offset`, or null when it does not end inside the image.
    const char* Text(std::int64_t offset) const {
        if (!Contains(offset, 1)) {
            return nullptr;
        }
        const auto* start = data_ + offset;
        const auto available = static_cast<std::size_t>(size_ - static_cast<std::uint64_t>(offset));
        if (std::memchr(start, 0, available) == nullptr) {
            return nullptr;
        }
        return reinterpret_cast<const char*>(start);
    }

  private:
    const unsigned char* data_;
    std::uint64_t size_;
};

}  // namespace halvern
