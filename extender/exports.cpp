// The two exported entry points and, on Windows, the library's start routine.
// ovrin.def exports them as _WILExtender2@40 (ordinal 1) and
// _WILExtenderQuery@12 (ordinal 2); everything they do is in dispatch.cpp.
#include "dispatch.h"
#include "module.h"

extern "C" {

int32_t OV_STDCALL WILExtenderQuery(int32_t queryCode, void* buffer, int32_t length) {
    return extenderQuery(queryCode, buffer, length);
}

int32_t OV_STDCALL WILExtender2(uintptr_t, uintptr_t, uintptr_t hostContext, int32_t functionNumber,
                                HostReturnCallback returnCallback, uintptr_t hostRecord, uintptr_t, void* args,
                                int32_t argCount, HostValue* resultValue) {
    return extenderCall(hostContext, functionNumber, returnCallback, hostRecord, args, argCount, resultValue);
}

#ifdef _WIN32
// Called by the runtime's entry point after it has set itself up. The module
// handle is kept on every notification, whatever the reason.
BOOL WINAPI DllMain(HINSTANCE module, DWORD, LPVOID) {
    setModuleHandle(module);
    return TRUE;
}
#endif

}  // extern "C"
