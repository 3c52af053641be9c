// The C allocator is reached through the linker's --wrap (see CMakeLists.txt); operator new and
// delete are replaced outright and go straight to the real C allocator.

#include "alloc/heap_counter.h"

#include <malloc.h>

#include <new>

namespace halvern::testing {

bool refuseGrowth = false;

namespace {

HeapCounts heap;

bool armed = false;
std::size_t numbered = 0;
std::size_t firstFailure = 0;
bool failuresGoOn = false;

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

// Numbers one request when armed; true when it is to fail.
bool RequestFails() {
    if (!armed) {
        return false;
    }
    ++numbered;
    return firstFailure != 0 &&
           (numbered == firstFailure || (failuresGoOn && numbered > firstFailure));
}

}  // namespace

HeapCounts CurrentHeap() {
    return heap;
}

HeapCounts CountsSince(const HeapCounts& start) {
    HeapCounts since = heap;
    since.news -= start.news;
    since.deletes -= start.deletes;
    since.mallocs -= start.mallocs;
    since.reallocs -= start.reallocs;
    since.frees -= start.frees;
    since.liveBytes -= start.liveBytes;
    since.peakBytes -= start.liveBytes;
    return since;
}

void ResetHeapPeak() {
    heap.peakBytes = heap.liveBytes;
}

void ArmAllocationFailure(std::size_t failAt, bool failLater) {
    numbered = 0;
    firstFailure = failAt;
    failuresGoOn = failLater;
    armed = true;
}

void DisarmAllocationFailure() {
    armed = false;
}

std::size_t NumberedRequests() {
    return numbered;
}

}  // namespace halvern::testing

using halvern::testing::Footprint;
using halvern::testing::Gained;
using halvern::testing::heap;
using halvern::testing::Released;
using halvern::testing::RequestFails;

extern "C" {
void* __real_malloc(std::size_t size);
void* __real_calloc(std::size_t count, std::size_t size);
void* __real_realloc(void* block, std::size_t size);
void __real_free(void* block);

void* __wrap_malloc(std::size_t size) {
    ++heap.mallocs;
    void* block = RequestFails() ? nullptr : __real_malloc(size);
    Gained(block);
    return block;
}

void* __wrap_calloc(std::size_t count, std::size_t size) {
    ++heap.mallocs;
    void* block = RequestFails() ? nullptr : __real_calloc(count, size);
    Gained(block);
    return block;
}

void* __wrap_realloc(void* block, std::size_t size) {
    ++heap.reallocs;
    if (halvern::testing::refuseGrowth || (size != 0 && RequestFails())) {
        return nullptr;
    }
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
    if (block != nullptr) {
        ++heap.frees;
        Released(block);
    }
    __real_free(block);
}
}

// Counted apart from the C allocator, and passed straight to it.
void* operator new(std::size_t size) {
    ++heap.news;
    if (!RequestFails()) {
        if (void* block = __real_malloc(size == 0 ? 1 : size)) {
            Gained(block);
            return block;
        }
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    ++heap.news;
    void* block = RequestFails() ? nullptr : __real_malloc(size == 0 ? 1 : size);
    Gained(block);
    return block;
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* block) noexcept {
    if (block != nullptr) {
        ++heap.deletes;
        Released(block);
    }
    __real_free(block);
}
void operator delete[](void* block) noexcept {
    operator delete(block);
}
void operator delete(void* block, std::size_t) noexcept {
    operator delete(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    operator delete(block);
}
// What a constructor that throws after a nothrow new frees its block with.
void operator delete(void* block, const std::nothrow_t&) noexcept {
    operator delete(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    operator delete(block);
}
