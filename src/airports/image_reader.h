#pragma once

// Bounds-checked reads from a file image. Every read states whether it lay wholly inside the
// image; offsets are 64-bit, so no offset computation can wrap. Whether a text ends inside the
// image is answered in constant time: the image's last zero byte is found once, when the reader
// is made, so that no text is searched up to the end of the image for each time it is read.

#include <cstddef>
#include <cstdint>

#include "support/byte_order.h"

namespace halvern {

class ImageReader {
  public:
    ImageReader(const unsigned char* data, std::size_t size)
        : data_(data), size_(static_cast<std::uint64_t>(size)) {
        for (std::size_t i = size; i > 0; --i) {
            if (data[i - 1] == 0) {
                lastZero_ = static_cast<std::int64_t>(i - 1);
                break;
            }
        }
    }

    std::uint64_t Size() const { return size_; }

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

    // The zero-terminated text at `offset`, or null when it does not end inside the image: a
    // text ends inside it exactly when it starts at or before the image's last zero byte.
    const char* Text(std::int64_t offset) const {
        if (offset < 0 || offset > lastZero_) {
            return nullptr;
        }
        return reinterpret_cast<const char*>(data_ + offset);
    }

  private:
    const unsigned char* data_;
    std::uint64_t size_;
    std::int64_t lastZero_ = -1;  // -1: the image holds no zero byte
};

}  // namespace halvern
