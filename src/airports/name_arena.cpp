#include "airports/name_arena.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace halvern {

// A block's header; its bytes follow it in the same heap block.
struct NameArena::Block {
    Block* previous;

    char* Bytes() { return reinterpret_cast<char*>(this + 1); }
};

namespace {

// Blocks grow with the names held, an eighth of them at a time, so that the room left unused in
// the newest block stays a small part of the whole; between 4 KiB and 1 MiB unless one text
// needs more.
constexpr std::size_t kSmallestBlock = 4096;
constexpr std::size_t kLargestBlock = std::size_t{1} << 20;

}  // namespace

NameArena::~NameArena() {
    Release();
}

bool NameArena::AddBlock(std::size_t capacity) {
    if (capacity > SIZE_MAX - sizeof(Block)) {
        return false;
    }
    void* memory = std::malloc(sizeof(Block) + capacity);
    if (memory == nullptr) {
        return false;
    }
    auto* block = static_cast<Block*>(memory);
    block->previous = newest_;
    newest_ = block;
    free_ = block->Bytes();
    end_ = free_ + capacity;
    held_ += sizeof(Block) + capacity;
    return true;
}

bool NameArena::Reserve(std::size_t bytes) {
    // Exactly what was asked for: the caller knows the total.
    return HasRoom(bytes) || AddBlock(bytes);
}

bool NameArena::AddBlockFor(std::size_t bytes) {
    std::size_t capacity = held_ / 8;
    capacity = capacity < kSmallestBlock ? kSmallestBlock : capacity;
    capacity = capacity > kLargestBlock ? kLargestBlock : capacity;
    return AddBlock(capacity < bytes ? bytes : capacity);
}

char* NameArena::Take(std::size_t bytes) {
    if (!HasRoom(bytes) && !AddBlockFor(bytes)) {
        return nullptr;
    }
    char* taken = free_;
    free_ += bytes;
    return taken;
}

char* NameArena::Copy(const char* text, std::size_t length) {
    if (length == SIZE_MAX) {
        return nullptr;
    }
    char* copy = Take(length + 1);
    if (copy != nullptr) {
        std::memcpy(copy, text, length);
        copy[length] = '\0';
    }
    return copy;
}

char* NameArena::CopyField(const char* field, std::size_t length) {
    if (length == 0 || field[length - 1] != '\0') {
        const void* zero = std::memchr(field, 0, length);
        return Copy(field, zero != nullptr
                               ? static_cast<std::size_t>(static_cast<const char*>(zero) - field)
                               : length);
    }
    if (!HasRoom(length) && !AddBlockFor(length)) {
        return nullptr;
    }
    char* copy = free_;
    std::memcpy(copy, field, length);
    free_ += length;
    return copy;
}

void NameArena::Release() {
    while (newest_ != nullptr) {
        Block* previous = newest_->previous;
        std::free(newest_);
        newest_ = previous;
    }
    free_ = nullptr;
    end_ = nullptr;
    held_ = 0;
}

}  // namespace halvern
