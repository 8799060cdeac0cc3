// Binds the fuzz target to the library linked into this program.
#include "../../extender/exports.h"
#include "../../platform/platform_test.h"
#include "fuzz_extender.h"

Extender2Entry fuzzExtender2 = WILExtender2;
ExtenderQueryEntry fuzzExtenderQuery = WILExtenderQuery;
long (*fuzzLiveBlocks)() = platform_test::liveBlocks;

// Huge limits make huge zero-filled blocks; refusing those above 16 MiB keeps
// each execution short (the refusal path is fuzzed all the same).
static const bool smallerHeap = (platform_test::setLargestBlock(16u << 20), true);
