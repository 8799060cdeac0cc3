// The function numbers by name, and the count, from the one list.
#pragma once

#include <cstdint>

enum FunctionId : int32_t {
#define OV_FUNCTION(number, name, ID, paramTypes, paramCount, benchIntegers) FN_##ID = number,
#include "functions.def"
#undef OV_FUNCTION
};

enum : int32_t {
#define OV_FUNCTION(number, name, ID, paramTypes, paramCount, benchIntegers) +1
    FUNCTION_COUNT = 0
#include "functions.def"
#undef OV_FUNCTION
};
