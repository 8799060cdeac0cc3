// The fuzz target's entry points: in-process they are the library's own;
// the replay program under Wine points them into ovrin.dll.
#pragma once

#include <cstddef>
#include <cstdint>

#include "../support/case_table.h"

extern Extender2Entry fuzzExtender2;
extern ExtenderQueryEntry fuzzExtenderQuery;
// Answers the blocks the library holds now, or -1 where that cannot be seen.
extern long (*fuzzLiveBlocks)();

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
