#include "airports/name_arena.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace halvern {

// A block's header; its bytes follow it in the same heap block.
struct NameArena::Block {
    Block* previous;
    std::size_t capacity;  // bytes after the header
    std::size_t used;

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
    block->capacity = capacity;
    block->used = 0;
    newest_ = block;
    held_ += sizeof(Block) + capacity;
    return true;
}

bool NameArena::HasRoom(std::size_t bytes) const {
    return newest_ != nullptr && newest_->capacity - newest_->used >= bytes;
}

bool NameArena::Reserve(std::size_t bytes) {
    // Exactly what was asked for: the caller knows the total.
    return HasRoom(bytes) || AddBlock(bytes);
}

char* NameArena::Copy(const char* text, std::size_t length) {
    if (length == SIZE_MAX) {
        return nullptr;
    }
    const std::size_t bytes = length + 1;
    if (!HasRoom(bytes)) {
        std::size_t capacity = held_ / 8;
        capacity = capacity < kSmallestBlock ? kSmallestBlock : capacity;
        capacity = capacity > kLargestBlock ? kLargestBlock : capacity;
        if (!AddBlock(capacity < bytes ? bytes : capacity)) {
            return nullptr;
        }
    }
    char* copy = newest_->Bytes() + newest_->used;
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    newest_->used += bytes;
    return copy;
}

void NameArena::Release() {
    while (newest_ != nullptr) {
        Block* previous = newest_->previous;
        std::free(newest_);
        newest_ = previous;
    }
    held_ = 0;
}

}  // namespace halvern
