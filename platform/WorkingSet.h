#pragma once

#include <cstddef>

// Hands the pages of our read-only file mappings (the code and constant data
// of the program and its libraries) back while the window is closed to the
// tray. They stay in the system's file cache and come back on first touch,
// as after any reclaim; the kernel does the same on its own under memory
// pressure, this only does it before there is any.
namespace WorkingSet
{
struct TrimResult
{
    std::size_t mappings = 0; // mappings handed back
    std::size_t bytes = 0;    // their resident bytes before
};

// Reads the mappings from `smapsPath` (the process's own by default).
// Only file mappings that cannot be written and hold no private copy of
// a page are touched: dropping those can never change what a later read
// sees. Anything else (heap, stacks, written or relocated data) stays.
TrimResult trimFileMappings(const char *smapsPath = "/proc/self/smaps");

// Hands the free pages of the heap back. Small blocks this thread freed
// last wait in its own cache, where the allocator's trim cannot see them,
// and each keeps its page dirty; they go back to the heap first.
void releaseFreeHeap();
} // namespace WorkingSet
