// Test controls of the POSIX heap stand-in: make a chosen allocation fail and
// watch which blocks are taken and released. Not part of the Windows build;
// tests/support/heap_levers.cpp holds them, which only the tests link.
#pragma once

#include <cstddef>
#include <vector>

namespace platform_test {

// The nth GlobalAlloc from now (1 = the next one) answers null; 0 disarms.
void failAllocation(long nth);
// Blocks of `bytes` or more are refused (1 GiB unless set, as in a 32-bit
// process).
void setLargestBlock(size_t bytes);
// Blocks taken by GlobalAlloc and not yet released.
long liveBlocks();
// GlobalAlloc calls since the process started (failed ones included).
long allocationCalls();
// The blocks released since startReleaseLog, in release order.
const std::vector<const void*>& releaseLog();
void startReleaseLog();

// One GlobalAlloc call: the bytes asked for and the block answered (null when
// refused).
struct Allocation {
    size_t bytes;
    const void* block;
};
// The GlobalAlloc calls since startAllocationLog, in order.
const std::vector<Allocation>& allocationLog();
void startAllocationLog();
// Ends both logs (they keep what they hold).
void stopHeapLogs();

}  // namespace platform_test
