// A long run through the DLL: random calls of random functions with random
// arguments, every argument string guarded, the process's memory compared
// between the early calls and the end.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "../support/case_table.h"

// What the host watches: a memory figure that must stay flat after the first
// ten thousand calls (within `slack` bytes), and its own checks after each
// call (an empty answer, or what went wrong).
struct SoakWatch {
    const char* memoryName;
    std::function<uint64_t()> memory;
    uint64_t slack;
    std::function<std::string()> afterCall;
};

// Answers the number of failures, printing each.
int runSoak(Extender2Entry entry, long calls, const char* namesPath, const SoakWatch& watch);
