#include "dispatch.h"

#include "../resources/string_ids.h"
#include "function_table.h"
#include "module.h"
#include "script_functions.h"

namespace {

// Function numbers and query codes are the low 16 bits, signed.
int32_t low16(int32_t value) {
    return static_cast<int16_t>(static_cast<uint16_t>(value & 0xFFFF));
}

int32_t versionNumber(int bufferSize) {
    char text[256];
    LoadStringA(moduleHandle(), IDS_VERSION, text, bufferSize);
    return parseLeadingDecimal(text);
}

int32_t countRows(int32_t entryKind) {
    int32_t count = 0;
    for (const FunctionInfo* row = FunctionTable; row->id != END_ROW_ID; ++row)
        if (row->entryKind == entryKind) ++count;
    return count;
}

}  // namespace

int32_t parseLeadingDecimal(const char* text) {
    // Wraps like the 32-bit arithmetic it stands for instead of overflowing.
    uint32_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) value = value * 10 + static_cast<uint32_t>(*text - '0');
    return static_cast<int32_t>(value);
}

int32_t extenderQuery(int32_t queryCode, void* buffer, int32_t length) {
    switch (low16(queryCode)) {
    case 1:
        if (buffer && length > 0) {
            char description[256];
            LoadStringA(moduleHandle(), IDS_DESCRIPTION, description, sizeof description);
            lstrcpynA(static_cast<char*>(buffer), description, length);
        }
        return versionNumber(256);
    case 2: {
        const int32_t* levels = static_cast<const int32_t*>(buffer);
        for (int32_t i = 0; levels && i < length; ++i)
            if (levels[i] == 2) return 2;
        return -1;
    }
    default:
        return 0;
    }
}

// Mode 0: the version number; 1: the rows of entry kind 2; 2: those of kind 3.
void ovExtenderInfo(CallResult* result, int32_t argCount, HostValue* args) {
    // The mode is read whatever its type; without an argument there is no
    // mode, which is as invalid as a mode of 3.
    int32_t mode = (args && argCount > 0) ? args[0].intValue : -1;
    switch (mode) {
    case 0:
        setIntegerResult(result, versionNumber(24));
        return;
    case 1:
        setIntegerResult(result, countRows(2));
        return;
    case 2:
        setIntegerResult(result, countRows(3));
        return;
    default:
        setErrorResult(result, IDS_BAD_INFO_MODE);
        return;
    }
}

int32_t extenderCall(uintptr_t hostContext, int32_t functionNumber, HostReturnCallback returnCallback,
                     uintptr_t hostRecord, void* args, int32_t argCount, HostValue* resultValue) {
    CallResult result;
    result.kind = KIND_ERROR;
    result.intValue = 0;
    result.stringValue = kEmptyString;
    result.severity = SEVERITY_GENERAL;
    result.blockCount = 0;
    HostValue* values = static_cast<HostValue*>(args);
    switch (low16(functionNumber)) {
    case -3: return 1;
    case -2: return queryFunctionInfo(argCount, static_cast<FunctionInfo*>(args));
    case -1: return FUNCTION_COUNT;
#define OV_FUNCTION(number, name, ID, paramTypes, paramCount, benchIntegers) \
    case number: name(&result, argCount, values); break;
#include "functions.def"
#undef OV_FUNCTION
    default: setErrorResult(&result, IDS_UNKNOWN_FUNCTION); break;
    }
    return deliverResult(&result, resultValue, returnCallback, hostContext, hostRecord);
}
