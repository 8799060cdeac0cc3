// The call's scratch pool: at most eight zero-filled heap blocks, recorded in
// the CallResult and released together once the host has the result.
#include "../resources/string_ids.h"
#include "host_value.h"

void* allocScratch(CallResult* result, int32_t bytes) {
    if (result->blockCount >= MAX_SCRATCH_BLOCKS) {
        setErrorResult(result, IDS_TOO_MANY_BLOCKS);
        result->severity = SEVERITY_MEMORY;
        return nullptr;
    }
    // The count is signed on the wire; a negative one is a request no heap
    // grants, and must not turn into a small block.
    void* block = bytes < 0 ? nullptr : GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, static_cast<SIZE_T>(bytes));
    if (!block) {
        setErrorResult(result, IDS_NO_MEMORY);
        result->severity = SEVERITY_MEMORY;
        return nullptr;
    }
    result->blocks[result->blockCount++] = block;
    return block;
}

void releaseScratch(CallResult* result) {
    while (result->blockCount != 0) {
        --result->blockCount;
        if (result->blocks[result->blockCount]) GlobalFree(result->blocks[result->blockCount]);
    }
}
