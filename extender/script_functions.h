// The script functions of functions.def. Each takes the call's CallResult, the argument
// count and the host's argument array, and fills the CallResult.
#pragma once

#include "host_value.h"

typedef void (*ScriptFunction)(CallResult* result, int32_t argCount, HostValue* args);

#define OV_FUNCTION(number, name, ID, paramTypes, paramCount, benchIntegers) \
    void name(CallResult* result, int32_t argCount, HostValue* args);
#include "functions.def"
#undef OV_FUNCTION
