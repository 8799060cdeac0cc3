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
