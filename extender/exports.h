// The two exported entry points, as the host calls them.
#pragma once

#include <cstdint>

#include "host_value.h"

extern "C" {
int32_t OV_STDCALL WILExtenderQuery(int32_t queryCode, void* buffer, int32_t length);
int32_t OV_STDCALL WILExtender2(uintptr_t unused1, uintptr_t unused2, uintptr_t hostContext, int32_t functionNumber,
                                HostReturnCallback returnCallback, uintptr_t hostRecord, uintptr_t unused7,
                                void* args, int32_t argCount, HostValue* resultValue);
}

// The two entry points as a host holds them: the linked functions above, or
// the addresses found in ovrin.dll.
typedef int32_t(OV_STDCALL* Extender2Entry)(uintptr_t, uintptr_t, uintptr_t, int32_t, HostReturnCallback, uintptr_t,
                                            uintptr_t, void*, int32_t, HostValue*);
typedef int32_t(OV_STDCALL* ExtenderQueryEntry)(int32_t, void*, int32_t);
