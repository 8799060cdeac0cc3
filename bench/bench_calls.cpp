#include "bench_calls.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../host/host_args.h"

const BenchFunction kBenchFunctions[] = {
    {"floor", 0, 0x0, 0, ""},
    {"host", -1, 0x0, 0, ""},
#define OV_FUNCTION(number, name, ID, paramTypes, paramCount, benchIntegers) \
    {#name, number, paramTypes, paramCount, benchIntegers},
#include "../extender/functions.def"
#undef OV_FUNCTION
};
const size_t kBenchFunctionCount = sizeof kBenchFunctions / sizeof kBenchFunctions[0];

namespace {

char copied[512];  // the host's copy of the last string result
uint32_t checksum = 0;

int32_t OV_STDCALL copyResult(int32_t flag, uintptr_t, uintptr_t, HostValue* value) {
    if (value->type == TYPE_STRING) {
        size_t length = std::strlen(value->stringValue);
        if (length >= sizeof copied) length = sizeof copied - 1;
        std::memcpy(copied, value->stringValue, length + 1);
        checksum += static_cast<uint32_t>(length) + static_cast<unsigned char>(copied[0]);
    } else {
        checksum += static_cast<uint32_t>(value->intValue);
    }
    return flag;
}

// A fresh host-owned copy of an argument string, as the host makes one per call.
size_t copyInto(char* buffer, const std::string& text) {
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return text.size();
}


// Not a constant, so that the host's own pass calls the callback as the
// library does instead of having it inlined.
HostReturnCallback volatile hostCallback = copyResult;

}  // namespace

uint32_t runBenchPass(Extender2Entry entry, const BenchFunction& function, const std::vector<std::string>& names) {
    char first[256], second[256];
    HostValue args[3];
    HostValue result{};
    checksum = 0;
    // Strings in turn get the name and the next; integers the listed ones.
    int32_t slot[3] = {-1, -1, -1}, integers[3] = {0, 0, 0}, strings = 0;
    const char* listed = function.integers;
    for (int32_t k = 0; k < function.paramCount && k < 3; ++k) {
        if ((function.paramTypes >> (4 * k)) & 0xF) {
            slot[k] = strings++;
        } else {
            char* end = nullptr;
            integers[k] = static_cast<int32_t>(std::strtol(listed, &end, 10));
            listed = end;
        }
    }
    size_t count = names.size();
    for (size_t i = 0; i < count; ++i) {
        const std::string& name = names[i];
        const std::string& next = names[i + 1 < count ? i + 1 : 0];
        if (function.number == kHostOnly) {
            // The host's side of a call and nothing else: the copy of the
            // argument, its typed value, and the callback (reached through a
            // pointer, as the library reaches it) copying a result as long
            // as the name. What a call costs beyond this is the library's.
            args[0] = stringArg(first);
            copyInto(first, name);
            result.type = TYPE_STRING;
            result.stringValue = args[0].stringValue;
            hostCallback(0, 0, 0, &result);
            continue;
        }
        if (function.number == 0) {
            // The floor: the copy, one strlen and one upper-case pass.
            copyInto(first, name);
            size_t length = std::strlen(first);
            for (size_t k = 0; k < length; ++k)
                if (first[k] >= 'a' && first[k] <= 'z') first[k] = static_cast<char>(first[k] - 32);
            checksum += static_cast<unsigned char>(first[0]) + static_cast<uint32_t>(length);
            continue;
        }
        for (int32_t k = 0; k < function.paramCount; ++k) {
            if (slot[k] < 0) {
                args[k] = integerArg(integers[k]);
            } else {
                char* buffer = slot[k] == 0 ? first : second;
                copyInto(buffer, slot[k] == 0 ? name : next);
                args[k] = stringArg(buffer);
            }
        }
        int32_t argCount = function.paramCount;
        entry(0, 0, 0, function.number, copyResult, 0, 0, args, argCount, &result);
    }
    return checksum;
}
