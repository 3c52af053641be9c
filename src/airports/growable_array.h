#pragma once

// Storage of the database's growable arrays: plain blocks that keep their contents when they
// grow. Element types are trivially copyable, so a block may move.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>

namespace halvern {

// Resizes `storage` from `oldCapacity` to `newCapacity` elements, zero-filling the new ones.
// Leaves `storage` unchanged and returns false when memory cannot be obtained or the size in
// bytes cannot be represented (a 32-bit size_t holds fewer than INT32_MAX elements of most
// types).
template <typename T>
bool ResizeStorage(T*& storage, std::int32_t oldCapacity, std::int32_t newCapacity) {
    static_assert(std::is_trivially_copyable_v<T>);
    if (newCapacity <= 0) {
        std::free(storage);
        storage = nullptr;
        return true;
    }
    if (static_cast<std::size_t>(newCapacity) > SIZE_MAX / sizeof(T)) {
        return false;
    }
    const auto bytes = static_cast<std::size_t>(newCapacity) * sizeof(T);
    void* grown = std::realloc(storage, bytes);
    if (grown == nullptr) {
        return false;
    }
    storage = static_cast<T*>(grown);
    if (newCapacity > oldCapacity) {
        const auto oldCount = static_cast<std::size_t>(oldCapacity < 0 ? 0 : oldCapacity);
        std::memset(static_cast<void*>(storage + oldCount), 0,
                    (static_cast<std::size_t>(newCapacity) - oldCount) * sizeof(T));
    }
    return true;
}

// The capacity that the growth rule gives for an append that brings the count to `count`, or 0
// when it cannot be represented.
inline std::int32_t GrownCapacity(std::int32_t count, std::int32_t step) {
    return count > INT32_MAX - step ? 0 : count + step;
}

}  // namespace halvern
