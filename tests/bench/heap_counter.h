#pragma once

// Heap accounting for the benchmark program: every malloc, calloc, realloc and free made by the
// code linked into it statically (the core library's arrays, names and buffers among them) and
// every operator new and delete, counted with the bytes they hold. A block counts as its usable
// size plus the allocator's header word, so that the allocator's rounding of small blocks (the
// cost of many small names) is part of the figure.

#include <cstdint>

namespace halvern::bench {

struct HeapFigures {
    std::uint64_t allocations = 0;  // malloc, calloc, realloc and new calls so far
    std::int64_t liveBytes = 0;     // bytes held now
    std::int64_t peakBytes = 0;     // the most bytes held since the last ResetHeapPeak
};

HeapFigures CurrentHeap();

// Starts a new peak at the bytes held now.
void ResetHeapPeak();

}  // namespace halvern::bench
