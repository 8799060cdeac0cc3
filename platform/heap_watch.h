// What a watcher may see of the POSIX heap stand-in: the tests' levers
// (tests/support/heap_levers.cpp) install one to fail a chosen allocation
// and count the blocks taken and released. Without one, as in the shipped
// command, the heap only answers.
#pragma once

#include <cstddef>

struct HeapWatch {
    // Each GlobalAlloc, before it is served: true answers null.
    virtual bool refuse() = 0;
    // A block handed out (its bytes as asked), and each GlobalAlloc's
    // answer, null too.
    virtual void taken() = 0;
    virtual void answered(size_t bytes, const void* block) = 0;
    virtual void released(const void* block) = 0;

protected:
    ~HeapWatch() = default;
};

extern HeapWatch* heapWatch;
// Blocks of this many bytes or more are refused (1 GiB, as in a 32-bit
// process, unless a test sets it).
extern size_t largestBlock;
