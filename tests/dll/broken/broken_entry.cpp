// Deliberately broken builds of ovrin.dll: the real library with one fault
// wrapped around WILExtender2, so that a test can show the emulated host
// catches each kind of fault (OVRIN_BREAK names which one).
#include <cstring>

#include "../../../extender/exports.h"

#define FORWARD WILExtender2(unused1, unused2, hostContext, functionNumber, returnCallback, hostRecord, unused7, args, argCount, resultValue)
#define PARAMETERS                                                                                                   \
    uintptr_t unused1, uintptr_t unused2, uintptr_t hostContext, int32_t functionNumber,                             \
        HostReturnCallback returnCallback, uintptr_t hostRecord, uintptr_t unused7, void *args, int32_t argCount, \
        HostValue *resultValue

extern "C" {

#if OVRIN_BREAK == 1
// One byte written past the NUL of each string argument of a script call.
int32_t __stdcall brokenExtender2(PARAMETERS) {
    int32_t answer = FORWARD;
    HostValue* values = static_cast<HostValue*>(args);
    for (int32_t i = 0; functionNumber > 0 && values && i < argCount; ++i)
        if (values[i].type == TYPE_STRING && values[i].stringValue)
            values[i].stringValue[std::strlen(values[i].stringValue) + 1] = 'X';
    return answer;
}
#elif OVRIN_BREAK == 2
// Declared cdecl: returns without removing its 40 bytes of arguments.
int32_t __cdecl brokenExtender2(PARAMETERS) { return FORWARD; }
#elif OVRIN_BREAK == 3
// Calls a Windows service the library never imports.
int32_t __stdcall brokenExtender2(PARAMETERS) {
    if (functionNumber == 0x7FFF) Beep(440, 10);
    return FORWARD;
}
#elif OVRIN_BREAK == 4
// A heap block one byte too small for what is written into it.
int32_t __stdcall brokenExtender2(PARAMETERS) {
    volatile SIZE_T size = 8;
    char* block = static_cast<char*>(GlobalAlloc(GPTR, size));
    if (block) {
        for (SIZE_T i = 0; i <= size; ++i) block[i] = 'x';
        GlobalFree(block);
    }
    return FORWARD;
}
#endif
}
