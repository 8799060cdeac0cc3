#include "host_value.h"

#include "module.h"

const char kEmptyString[] = "";

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
    releaseScratch(result);
    return answer;
}
