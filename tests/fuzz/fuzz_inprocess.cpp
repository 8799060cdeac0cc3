// Binds the fuzz target to the library linked into this program.
#include "../../extender/exports.h"
#include "../../platform/platform_test.h"
#include "fuzz_extender.h"

Extender2Entry fuzzExtender2 = WILExtender2;
ExtenderQueryEntry fuzzExtenderQuery = WILExtenderQuery;
long (*fuzzLiveBlocks)() = platform_test::liveBlocks;
