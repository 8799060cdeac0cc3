// The command's side of the script host's calling convention: the function
// table read row by row with the discovery numbers, and script calls made
// with HostValue arguments and a return callback that copies the result
// while it is valid.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library.h"

// Parameter type codes of the function table, 4 bits per parameter.
enum : int { PARAM_INTEGER = 0, PARAM_STRING = 1 };

// One row of the function table as the host receives it.
struct FunctionRow {
    int32_t id = 0;
    int32_t entryKind = 0;
    uint64_t paramTypes = 0;
    int32_t paramCount = 0;
    std::string name;  // as the table gives it: lower case

    int paramType(int i) const { return static_cast<int>((paramTypes >> (4 * i)) & 0xF); }
};

// What WILExtenderQuery and the number -1 answer.
struct LibraryFacts {
    std::string description;  // query 1
    int32_t version = 0;      // query 1's answer
    int32_t level = 0;        // query 2 offered levels 1 and 2
    int32_t functionCount = 0;  // number -1
};

LibraryFacts readLibraryFacts(const Library& library);

// "a string, a string and an integer"
std::string parameterTypesText(const FunctionRow& row);

// The rows of the function table: number -1 for their count, then number -2
// for each row until the end row.
std::vector<FunctionRow> readFunctionTable(const Library& library);

// The result of one script call, copied inside the return callback.
struct CallOutcome {
    bool delivered = false;  // the callback ran (every script call, not -3 to -1)
    int32_t answer = 0;      // what WILExtender2 returned
    int32_t flag = 0;        // 0, or the negative severity of an error
    int32_t type = 0;        // type code written by the library: 1 or 2
    int32_t intValue = 0;    // integer result
    std::string text;        // string result or error message, Windows-1252
};

// Calls function `number` with `args` (the library may rewrite their types
// and strings) and fills `outcome`. `outcome` is reused from call to call so
// that its text keeps its room.
void callFunction(const Library& library, int32_t number, HostValue* args, int32_t argCount, CallOutcome* outcome);
