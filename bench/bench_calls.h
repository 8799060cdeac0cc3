// What the benchmarks call: each script function over a list of
// names, the way a host calls it: a fresh copy of each argument string for
// every call (the functions rewrite their arguments), typed HostValue
// arguments, a return callback that copies the result. Two-name functions
// pair each name with the next. Shared by the native benchmark and the
// timed batch through ovrin.dll.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "../extender/exports.h"
#include "../host/name_file.h"

struct BenchFunction {
    const char* name;      // as the table shows it, "floor" or "host"
    int32_t number;        // 0 for the floor, kHostOnly for the host
    uint64_t paramTypes;   // as in the function table
    int32_t paramCount;
    const char* integers;  // the integer arguments, in order, blank-separated
};

enum : int32_t { kHostOnly = -1 };

// The floor and the host first, then the functions of extender/functions.def in order.
extern const BenchFunction kBenchFunctions[];
extern const size_t kBenchFunctionCount;

// Calls `function` once for each name (the floor copies and upper-cases
// each name instead; the host only copies it in and back out). Answers a checksum of the results so that no work
// can be optimised away.
uint32_t runBenchPass(Extender2Entry entry, const BenchFunction& function, const std::vector<std::string>& names);
