// The portable bodies of the two exported entry points.
#pragma once

#include <cstdint>

#include "host_value.h"

// WILExtenderQuery: 1 copies the description into `buffer` (at most
// length - 1 characters and a NUL) and answers the version number; 2 answers
// 2 when the array of `length` levels holds 2, else -1; anything else 0.
int32_t extenderQuery(int32_t queryCode, void* buffer, int32_t length);

// WILExtender2 without the parameters it ignores. Number -3 answers 1, -1 the
// number of script functions, -2 a row of the function table; every other
// number is a script call answered through the callback.
int32_t extenderCall(uintptr_t hostContext, int32_t functionNumber, HostReturnCallback returnCallback,
                     uintptr_t hostRecord, void* args, int32_t argCount, HostValue* resultValue);

// The value of the leading run of digits '0'-'9' of `text`; 0 when it does
// not begin with a digit.
int32_t parseLeadingDecimal(const char* text);
