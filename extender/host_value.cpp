#include "host_value.h"

#include "../resources/string_ids.h"
#include "module.h"

const char kEmptyString[] = "";

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

int32_t deliverResult(CallResult* result, HostValue* resultValue, HostReturnCallback returnCallback,
                      uintptr_t hostContext, uintptr_t hostRecord) {
    // Lives in this frame, so a message stays valid while the callback copies it.
    char messageBuffer[128];
    int32_t flag = result->kind == KIND_ERROR ? result->severity : 0;
    if (resultValue) {
        switch (result->kind) {
        case KIND_INTEGER:
            resultValue->type = TYPE_INTEGER;
            resultValue->intValue = result->intValue;
            break;
        case KIND_STRING:
            resultValue->type = TYPE_STRING;
            resultValue->stringValue = const_cast<char*>(result->stringValue);
            break;
        default:
            LoadStringA(moduleHandle(), static_cast<UINT>(result->intValue), messageBuffer, sizeof messageBuffer);
            resultValue->type = TYPE_STRING;
            resultValue->stringValue = messageBuffer;
            break;
        }
    }
    int32_t answer = returnCallback ? returnCallback(flag, hostContext, hostRecord, resultValue) : 0;
    while (result->blockCount != 0) {
        --result->blockCount;
        if (result->blocks[result->blockCount]) GlobalFree(result->blocks[result->blockCount]);
    }
    return answer;
}
