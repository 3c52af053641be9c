// The C allocator is reached through the linker's --wrap (see CMakeLists.txt); operator new and
// delete are replaced outright and go straight to the real C allocator. The benchmarks run on one
// thread, so plain counters suffice.

#include "heap_counter.h"

#include <malloc.h>

#include <cstddef>
#include <new>

namespace halvern::bench {
namespace {

HeapFigures heap;

// The allocator keeps one size word in front of every block it hands out.
constexpr std::int64_t kBlockHeader = sizeof(std::size_t);

std::int64_t Footprint(void* block) {
    return block == nullptr ? 0
                            : static_cast<std::int64_t>(malloc_usable_size(block)) + kBlockHeader;
}

void Gained(void* block) {
    heap.liveBytes += Footprint(block);
    if (heap.liveBytes > heap.peakBytes) {
        heap.peakBytes = heap.liveBytes;
    }
}

void Released(void* block) {
    heap.liveBytes -= Footprint(block);
}

}  // namespace

HeapFigures CurrentHeap() {
    return heap;
}

void ResetHeapPeak() {
    heap.peakBytes = heap.liveBytes;
}

}  // namespace halvern::bench

using halvern::bench::Footprint;
using halvern::bench::Gained;
using halvern::bench::heap;
using halvern::bench::Released;

extern "C" {
void* __real_malloc(std::size_t size);
void* __real_calloc(std::size_t count, std::size_t size);
void* __real_realloc(void* block, std::size_t size);
void __real_free(void* block);

void* __wrap_malloc(std::size_t size) {
    ++heap.allocations;
    void* block = __real_malloc(size);
    Gained(block);
    return block;
}

void* __wrap_calloc(std::size_t count, std::size_t size) {
    ++heap.allocations;
    void* block = __real_calloc(count, size);
    Gained(block);
    return block;
}

void* __wrap_realloc(void* block, std::size_t size) {
    ++heap.allocations;
    // A failed realloc leaves the old block in place; its bytes are given back only when the
    // new block exists (or when a size of 0 released it).
    const std::int64_t before = Footprint(block);
    void* grown = __real_realloc(block, size);
    if (grown != nullptr || size == 0) {
        heap.liveBytes -= before;
        Gained(grown);
    }
    return grown;
}

void __wrap_free(void* block) {
    Released(block);
    __real_free(block);
}
}

void* operator new(std::size_t size) {
    if (void* block = __wrap_malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return __wrap_malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* block) noexcept {
    __wrap_free(block);
}
void operator delete[](void* block) noexcept {
    __wrap_free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    __wrap_free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    __wrap_free(block);
}
