#pragma once

// The heap of a test or benchmark program, counted and, on request, refused. The program
// replaces the global operator new and delete and wraps the C allocator (the linker's --wrap)
// for everything linked into it statically: the core library and the module's code with their
// arrays, names and buffers; a shared library it links (the portable desktop) reaches the
// replaced operator new as well. The programs run their counted work on one thread, so plain
// counters suffice.
//
// A block counts as its usable size plus the allocator's header word, so that the allocator's
// rounding of small blocks (the cost of many small names) is part of the bytes.

#include <cstddef>
#include <cstdint>

namespace halvern::testing {

struct HeapCounts {
    std::size_t news = 0;        // operator new, every form
    std::size_t deletes = 0;     // operator delete of a block
    std::size_t mallocs = 0;     // malloc and calloc
    std::size_t reallocs = 0;    // realloc, refused ones included
    std::size_t frees = 0;       // free of a block
    std::int64_t liveBytes = 0;  // held now
    std::int64_t peakBytes = 0;  // the most held at once since the last ResetHeapPeak

    // Every request for memory.
    std::size_t Allocations() const { return news + mallocs + reallocs; }
};

// The counts since the program started.
HeapCounts CurrentHeap();
// The calls counted since `start`, and the bytes gained since.
HeapCounts CountsSince(const HeapCounts& start);
// Starts a new peak at the bytes held now.
void ResetHeapPeak();

// While set, realloc fails.
extern bool refuseGrowth;

// Failure injection. From Arm on, every request for memory (operator new, malloc, calloc, a
// realloc to a non-zero size) is numbered from 1; request `failAt` fails (operator new throws
// std::bad_alloc, the nothrow forms and the C allocator return null), and with `failLater` every
// request after it too. A `failAt` of 0 only numbers them. Disarm stops numbering and failing.
void ArmAllocationFailure(std::size_t failAt, bool failLater);
void DisarmAllocationFailure();
// The requests numbered since the last Arm.
std::size_t NumberedRequests();

}  // namespace halvern::testing
