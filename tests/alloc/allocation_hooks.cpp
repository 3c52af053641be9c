#include "alloc/allocation_hooks.h"

#include <cstdlib>
#include <new>

namespace halvern::testing {

AllocationCounts allocationCounts;
bool refuseGrowth = false;

namespace {

bool armed = false;
std::size_t numbered = 0;
std::size_t firstFailure = 0;
bool failuresGoOn = false;

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

AllocationCounts CountsSince(const AllocationCounts& start) {
    const AllocationCounts& now = allocationCounts;
    return {now.news - start.news, now.deletes - start.deletes, now.mallocs - start.mallocs,
            now.reallocs - start.reallocs, now.frees - start.frees};
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

using halvern::testing::allocationCounts;
using halvern::testing::RequestFails;

extern "C" {
void* __real_malloc(std::size_t size);
void* __real_calloc(std::size_t count, std::size_t size);
void* __real_realloc(void* block, std::size_t size);
void __real_free(void* block);

void* __wrap_malloc(std::size_t size) {
    ++allocationCounts.mallocs;
    return RequestFails() ? nullptr : __real_malloc(size);
}
void* __wrap_calloc(std::size_t count, std::size_t size) {
    ++allocationCounts.mallocs;
    return RequestFails() ? nullptr : __real_calloc(count, size);
}
void* __wrap_realloc(void* block, std::size_t size) {
    ++allocationCounts.reallocs;
    if (halvern::testing::refuseGrowth || (size != 0 && RequestFails())) {
        return nullptr;
    }
    return __real_realloc(block, size);
}
void __wrap_free(void* block) {
    if (block != nullptr) {
        ++allocationCounts.frees;
    }
    __real_free(block);
}
}

// Counted separately from the C allocator, and passed straight to it.
void* operator new(std::size_t size) {
    ++allocationCounts.news;
    if (!RequestFails()) {
        if (void* block = __real_malloc(size == 0 ? 1 : size)) {
            return block;
        }
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    ++allocationCounts.news;
    return RequestFails() ? nullptr : __real_malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* block) noexcept {
    if (block != nullptr) {
        ++allocationCounts.deletes;
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
