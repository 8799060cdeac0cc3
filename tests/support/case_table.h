// The table of script-call cases, written once as data (tests/cases/*.cases)
// and run both in-process and through the real DLL by the host program.
//
// One case per line:
//   CALL => RESULT [flag N] [args VALUE, ...]   # comment
// CALL is a function name with its arguments, ovSoundex("Robert", 0), or a
// raw function number, @0x10033("Robert", 0). A VALUE is an integer (type 1),
// a string (type 2) such as "ab\t\xE7" or "A"*255 + "B", null (a type-2
// value without a pointer), and may carry an explicit type code: t3:5, t2:7.
// RESULT is an integer, a string, or `error N` for message N of the string
// table (flag -1, or -3 for 913 and 915, unless `flag` says otherwise).
// `args` lists every argument as it must read after the call (`_` skips
// one); without it every argument must read as it was passed. An explicit
// type code in `args` is checked too.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "../../extender/exports.h"

struct CaseValue {
    bool skip = false;      // `_` in an args list
    bool typed = false;     // an explicit type code was written
    bool isString = false;  // a string literal (or null)
    bool isNull = false;    // a string without a pointer
    int32_t type = TYPE_INTEGER;
    int32_t intValue = 0;
    std::string text;
};

struct Case {
    std::string where;   // file:line
    std::string source;  // the line as written
    int32_t functionNumber = 0;
    std::vector<CaseValue> args;
    bool expectString = false;
    int32_t expectInt = 0;
    std::string expectText;
    int32_t expectFlag = 0;
    bool argsGiven = false;
    std::vector<CaseValue> argsAfter;
};

// Reads the cases of one file; function names are looked up in the function
// table as `entry` reports it. Parse errors are appended to `errors`.
std::vector<Case> readCaseFile(const std::string& path, Extender2Entry entry, std::vector<std::string>& errors);

// Runs each case through `entry` with fresh argument buffers, each holding
// exactly its string and NUL followed by a guard; answers the failures,
// printing each to `report`. `afterEach` (may be empty) adds its own checks:
// it answers an empty string or what went wrong.
int runCases(const std::vector<Case>& cases, Extender2Entry entry, FILE* report,
             const std::function<std::string()>& afterEach = {});

// The .cases files of a folder, sorted by name.
std::vector<std::string> listCaseFiles(const std::string& folder);

// The text of message `id` as the string table holds it.
std::string messageText(int32_t id);
