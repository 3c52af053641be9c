#include "support/file_pieces.h"

#include <cstring>

#include "support/byte_order.h"

namespace halvern {

const unsigned char* PieceReader::Refill(std::size_t length) {
    if (length > kFilePieceSize) {
        return nullptr;
    }
    std::memmove(buffer_, buffer_ + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    while (end_ < length) {
        const std::size_t read = std::fread(buffer_ + end_, 1, kFilePieceSize - end_, file_);
        if (read == 0) {
            return nullptr;
        }
        end_ += read;
    }
    return buffer_;
}

bool PieceWriter::Put(const void* bytes, std::size_t length) {
    if (used_ + length > kFilePieceSize) {
        Flush();
        // An item longer than a piece goes out on its own.
        if (length > kFilePieceSize) {
            written_ = written_ && std::fwrite(bytes, 1, length, file_) == length;
            return written_;
        }
    }
    std::memcpy(buffer_ + used_, bytes, length);
    used_ += length;
    return written_;
}

bool PieceWriter::PutU32(std::uint32_t value) {
    unsigned char bytes[4];
    StoreU32(bytes, value);
    return Put(bytes, sizeof bytes);
}

bool PieceWriter::Flush() {
    written_ = written_ && std::fwrite(buffer_, 1, used_, file_) == used_;
    used_ = 0;
    return written_;
}

long FileLength(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) {
        return -1;
    }
    const long length = std::ftell(file);
    if (std::fseek(file, 0, SEEK_SET) != 0) {
        return -1;
    }
    return length;
}

}  // namespace halvern
