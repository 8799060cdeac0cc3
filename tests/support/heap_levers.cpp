// The levers of platform_test.h over the POSIX heap stand-in: a watcher
// installed before main that fails the chosen allocation, counts the blocks
// and keeps the logs. Linked into the tests only, never into the shipped
// command.
#include "../../platform/heap_watch.h"
#include "../../platform/platform_test.h"

#include <vector>

namespace {

struct Levers final : HeapWatch {
    long failAt = 0;
    long live = 0;
    long calls = 0;
    bool logging = false;
    std::vector<const void*> releases;
    bool loggingAllocations = false;
    std::vector<platform_test::Allocation> allocations;

    bool refuse() override {
        ++calls;
        return failAt > 0 && --failAt == 0;
    }
    void taken() override { ++live; }
    void answered(size_t bytes, const void* block) override {
        if (loggingAllocations) allocations.push_back({bytes, block});
    }
    void released(const void* block) override {
        --live;
        if (logging) releases.push_back(block);
    }
};

Levers& levers() {
    static Levers watch;
    return watch;
}

[[maybe_unused]] const bool installed = (heapWatch = &levers(), true);

}  // namespace

namespace platform_test {

void failAllocation(long nth) { levers().failAt = nth; }
void setLargestBlock(size_t bytes) { largestBlock = bytes; }
long liveBlocks() { return levers().live; }
long allocationCalls() { return levers().calls; }
const std::vector<const void*>& releaseLog() { return levers().releases; }
void startReleaseLog() {
    levers().releases.clear();
    levers().logging = true;
}
const std::vector<Allocation>& allocationLog() { return levers().allocations; }
void startAllocationLog() {
    levers().allocations.clear();
    levers().loggingAllocations = true;
}
void stopHeapLogs() {
    levers().logging = false;
    levers().loggingAllocations = false;
}

}  // namespace platform_test
