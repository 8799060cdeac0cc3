// Test controls of the POSIX heap stand-in: make a chosen allocation fail and
// watch which blocks are taken and released. Not part of the Windows build.
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

}  // namespace platform_test
