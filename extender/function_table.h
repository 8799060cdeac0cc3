// The table of script functions and the record through which the host reads
// one row of it (function number -2).
#pragma once

#include <cstddef>
#include <cstdint>

#include "function_ids.h"

#pragma pack(push, 1)
// One row as the host receives it; the library writes 23 + nameLength bytes.
struct FunctionInfo {
    int32_t id;           // function number
    int32_t entryKind;    // 2 for every row
    uint64_t paramTypes;  // 4 bits per parameter, first lowest: 1 string, 0 integer
    int32_t paramCount;   // number of parameters
    uint16_t nameLength;  // characters of name, without the NUL
    char name[34];        // lower-cased name and NUL (the host may supply less room)
};
#pragma pack(pop)

static_assert(sizeof(FunctionInfo) == 56, "22 bytes of fields and a 34-byte name");
static_assert(offsetof(FunctionInfo, paramTypes) == 8, "paramTypes at 8");
static_assert(offsetof(FunctionInfo, paramCount) == 16, "paramCount at 16");
static_assert(offsetof(FunctionInfo, nameLength) == 20, "nameLength at 20");
static_assert(offsetof(FunctionInfo, name) == 22, "name at 22");

// The rows have the layout of FunctionInfo, nameLength 0, the name padded
// with NULs; the row after the last function has id -1.
extern const FunctionInfo FunctionTable[];
enum { FUNCTION_ROWS = FUNCTION_COUNT + 1, END_ROW_ID = -1 };

// Maps each byte of a name to its lower-case form (Windows-1252).
extern const unsigned char lowerCaseMap[256];

// The function-info query: answers 0 for the end row and for an index outside
// the table (writing nothing), else fills `info` (when not null) and answers 1.
int32_t queryFunctionInfo(int32_t row, FunctionInfo* info);
