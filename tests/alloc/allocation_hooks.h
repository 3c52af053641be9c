#pragma once

// The heap calls of a test program, counted and, on request, refused. The program replaces the
// global operator new and delete and wraps the C allocator for everything linked into it
// statically (the core library and the module's code); a shared library it links (the portable
// desktop) reaches the replaced operator new as well.

#include <cstddef>

namespace halvern::testing {

struct AllocationCounts {
    std::size_t news = 0;
    std::size_t deletes = 0;
    std::size_t mallocs = 0;
    std::size_t reallocs = 0;
    std::size_t frees = 0;
};

// Running totals since the program started.
extern AllocationCounts allocationCounts;
// While set, realloc fails.
extern bool refuseGrowth;

AllocationCounts CountsSince(const AllocationCounts& start);

// Failure injection. From Arm on, every request for memory (operator new, malloc, calloc, a
// realloc to a non-zero size) is numbered from 1; request `failAt` fails (operator new throws
// std::bad_alloc, the nothrow forms and the C allocator return null), and with `failLater` every
// request after it too. A `failAt` of 0 only numbers them. Disarm stops numbering and failing.
void ArmAllocationFailure(std::size_t failAt, bool failLater);
void DisarmAllocationFailure();
// The requests numbered since the last Arm.
std::size_t NumberedRequests();

}  // namespace halvern::testing
