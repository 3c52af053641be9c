#pragma once

// Storage of the database's airport names: the texts packed one after another into a few large
// blocks instead of one heap block each. A heap block per name would cost the allocator's header
// and rounding for every airport, 8 to 24 bytes on a typical name of 20 to 30 characters, and a
// call to the allocator for every airport at start-up. The blocks are released all at once: the
// record list owns its names together, and emptying the list releases them.

#include <cstddef>
#include <cstring>

namespace halvern {

class NameArena {
  public:
    NameArena() = default;
    ~NameArena();
    NameArena(const NameArena&) = delete;
    NameArena& operator=(const NameArena&) = delete;

    // A copy of the first `length` characters of `text` followed by a zero, valid until the next
    // Release; null when storage cannot be obtained.
    char* Copy(const char* text, std::size_t length);

    // A copy of the text that a field of `length` bytes holds: up to its first zero, or the whole
    // field followed by a zero when it holds none; null when storage cannot be obtained. A field
    // that ends in a zero is copied whole in one pass, its text ending at its first zero wherever
    // that lies, and takes exactly `length` bytes.
    char* CopyField(const char* field, std::size_t length);

    // The same for a field in a buffer of which `readable` bytes from `field` on may be read. A
    // field of up to kShortField bytes that ends in a zero is then moved in one step of kShortField
    // bytes when the newest block has that much room: the bytes after the field land in room that
    // the next copy takes. Inline: the cache reader copies every name this way.
    static constexpr std::size_t kShortField = 64;
    char* CopyField(const char* field, std::size_t length, std::size_t readable) {
        if (length - 1 < kShortField && readable >= kShortField && field[length - 1] == '\0' &&
            static_cast<std::size_t>(end_ - free_) >= kShortField) {
            char* copy = free_;
            std::memcpy(copy, field, kShortField);
            free_ += length;
            return copy;
        }
        return CopyField(field, length);
    }

    // Makes room for `bytes` more bytes of copies (terminators included) in the newest block, so
    // that copies of that many bytes in all need no further block. A caller that knows the total
    // ahead (the cache reader) thus gets one block of exactly that size. False when storage
    // cannot be obtained; nothing changes then.
    bool Reserve(std::size_t bytes);

    // Releases every block: every copy made so far is gone.
    void Release();

    // Bytes obtained from the heap for the blocks, their headers included.
    std::size_t BytesHeld() const { return held_; }

  private:
    struct Block;

    bool HasRoom(std::size_t bytes) const {
        return static_cast<std::size_t>(end_ - free_) >= bytes;
    }
    // `bytes` bytes of the newest block, taken for a copy; null when storage cannot be obtained.
    char* Take(std::size_t bytes);
    // Makes a block of `capacity` bytes the newest; false when it cannot be obtained.
    bool AddBlock(std::size_t capacity);
    // Makes a block the newest that holds `bytes` and grows with the names held.
    bool AddBlockFor(std::size_t bytes);

    Block* newest_ = nullptr;  // each block links to the one before it
    char* free_ = nullptr;     // the newest block's unused bytes, from here
    char* end_ = nullptr;      // to here
    std::size_t held_ = 0;
};

}  // namespace halvern
