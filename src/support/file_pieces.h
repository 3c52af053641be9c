#pragma once

// A stream read and written in pieces of one fixed size instead of item by item: one library
// call per piece rather than several per item. A reader hands out the bytes in order, an item at
// most a piece long, straight from the piece; a writer gathers items into a piece.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace halvern {

inline constexpr std::size_t kFilePieceSize = 32 * 1024;

// A heap buffer of one piece from calloc, zero-filled so that every byte of it may be read before
// the file has filled it; null when it cannot be obtained.
struct FreePiece {
    void operator()(unsigned char* bytes) const { std::free(bytes); }
};
inline std::unique_ptr<unsigned char[], FreePiece> NewPiece() {
    return std::unique_ptr<unsigned char[], FreePiece>(
        static_cast<unsigned char*>(std::calloc(kFilePieceSize, 1)));
}

// Hands out the file's bytes in order, reading a piece whenever the buffer runs short.
class PieceReader {
  public:
    PieceReader(std::FILE* file, unsigned char* buffer) : file_(file), buffer_(buffer) {}

    // The next `length` bytes (at most a piece), valid until the next call; null when the file
    // ends before them. A read that delivers fewer bytes than asked for counts as a failed check.
    const unsigned char* Take(std::size_t length) {
        const unsigned char* bytes = Peek(length);
        if (bytes != nullptr) {
            begin_ += length;
        }
        return bytes;
    }

    // As Take, but the bytes stay next: a caller can look at a whole item in the piece before it
    // hands the item out with Skip.
    const unsigned char* Peek(std::size_t length) {
        return end_ - begin_ >= length ? buffer_ + begin_ : Refill(length);
    }

    // The bytes of the buffer from the next one on: those read and the room after them.
    std::size_t Readable() const { return kFilePieceSize - begin_; }

    // Hands out `length` bytes that Peek has shown.
    void Skip(std::size_t length) { begin_ += length; }

  private:
    // Moves the bytes not yet handed out to the buffer's start and reads until `length` of them
    // are there; null when the file ends before, or `length` exceeds a piece.
    const unsigned char* Refill(std::size_t length);

    std::FILE* file_;
    unsigned char* buffer_;
    std::size_t begin_ = 0;  // the first byte not yet handed out
    std::size_t end_ = 0;    // the end of the bytes read
};

// Collects the file's bytes and writes them a piece at a time.
class PieceWriter {
  public:
    PieceWriter(std::FILE* file, unsigned char* buffer) : file_(file), buffer_(buffer) {}

    // False once any write has failed; later puts then do nothing.
    bool Put(const void* bytes, std::size_t length);
    // Four bytes, little-endian.
    bool PutU32(std::uint32_t value);
    bool Flush();

  private:
    std::FILE* file_;
    unsigned char* buffer_;
    std::size_t used_ = 0;
    bool written_ = true;
};

// The file's length in bytes, or -1; the stream is left at its start.
long FileLength(std::FILE* file);

}  // namespace halvern
