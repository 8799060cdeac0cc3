// The records that cross the border between the script host and the library:
// the argument/result value, the per-call result and its scratch pool.
#pragma once

#include <cstddef>
#include <cstdint>

#include "../platform/platform.h"

// Type codes the library tests or writes. The host also uses 32 (float) and
// marks some values with the string bit (2) set; normalizeTypeCode clears it.
enum : int32_t { TYPE_INTEGER = 1, TYPE_STRING = 2 };

#pragma pack(push, 1)
// One argument or result of a script call; a wire record fixed by the host.
struct HostValue {
    double floatValue;  // the host's float value; never read or written here
    int32_t intValue;   // the value of an integer (type 1)
    int32_t type;       // type code: 1 integer, 2 string
    char* stringValue;  // the value of a string (type 2): NUL-terminated, ANSI
};
#pragma pack(pop)

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(HostValue) == 20, "HostValue is 20 bytes on the wire");
static_assert(offsetof(HostValue, floatValue) == 0, "floatValue at 0");
static_assert(offsetof(HostValue, intValue) == 8, "intValue at 8");
static_assert(offsetof(HostValue, type) == 12, "type at 12");
static_assert(offsetof(HostValue, stringValue) == 16, "stringValue at 16");
#endif

// The host's return callback: flag (0, or the negative severity of an error),
// the two host values passed through, and the host's result record. Its answer
// is what WILExtender2 returns.
typedef int32_t(OV_STDCALL* HostReturnCallback)(int32_t flag, uintptr_t hostContext, uintptr_t hostRecord,
                                                HostValue* resultValue);

enum : int32_t { KIND_INTEGER = 'L', KIND_STRING = 'S', KIND_ERROR = 'E' };
enum : int32_t { SEVERITY_GENERAL = -1, SEVERITY_MEMORY = -3 };
enum { MAX_SCRATCH_BLOCKS = 8 };

// The result of one script call, filled by exactly one script function.
struct CallResult {
    int32_t kind;             // KIND_INTEGER, KIND_STRING or KIND_ERROR
    int32_t intValue;         // integer result, or the message number of an error
    const char* stringValue;  // string result; valid while the callback runs
    int32_t severity;         // flag of an error: -1, or -3 after a refused block
    int32_t blockCount;       // scratch blocks taken so far (0 to 8)
    void* blocks[MAX_SCRATCH_BLOCKS];  // the blocks taken, in order
};

// The library's constant empty string: the neutral result of string functions.
extern const char kEmptyString[];

// The setters, the type normalisation and the argument test run on every
// call, so they are inline.
inline void setIntegerResult(CallResult* result, int32_t value) {
    result->kind = KIND_INTEGER;
    result->intValue = value;
}

inline void setStringResult(CallResult* result, const char* value) {
    result->kind = KIND_STRING;
    result->stringValue = value;
}

inline void setErrorResult(CallResult* result, int32_t messageId) {
    result->kind = KIND_ERROR;
    result->intValue = messageId;
}

// Clears the string bit of the host's marked codes: 3->1, 7->5, 19->17,
// 34->32, 67->65; every other code is returned unchanged.
inline int32_t normalizeTypeCode(int32_t type) {
    switch (type) {
    case 3: case 7: case 19: case 34: case 67:
        return type & ~2;
    default:
        return type;
    }
}

// Normalises the type code of each of the argCount arguments in place.
inline void normalizeArgTypes(int32_t argCount, HostValue* args) {
    if (!args) return;
    for (int32_t i = 0; i < argCount; ++i) args[i].type = normalizeTypeCode(args[i].type);
}

// True when argument `index` was passed and has type code `type`. A string
// argument must also carry a pointer. Script functions test their arguments
// with this, so a short argument array or a null string reads as the wrong
// type instead of being read past its end or through null.
inline bool argIs(int32_t argCount, const HostValue* args, int index, int32_t type) {
    if (!args || index < 0 || index >= argCount || args[index].type != type) return false;
    return type != TYPE_STRING || args[index].stringValue != nullptr;
}

// A new zero-filled block of `bytes` bytes owned by the call's pool, or null
// after recording message 915 (a ninth block) or 913 (the heap refused) with
// severity -3. A caller that gets null returns at once.
// (scratch_pool.cpp)
void* allocScratch(CallResult* result, int32_t bytes);

// Frees the call's scratch blocks, the last taken first (scratch_pool.cpp).
void releaseScratch(CallResult* result);

// Writes the result into the host's record, calls the host's callback once,
// releases the scratch blocks (the last taken first) and answers what the
// callback answered.
int32_t deliverResult(CallResult* result, HostValue* resultValue, HostReturnCallback returnCallback,
                      uintptr_t hostContext, uintptr_t hostRecord);
