// Argument values as a host builds them, for programs that call the library
// directly: the tests and the benchmarks.
#pragma once

#include "../extender/host_value.h"

inline HostValue stringArg(char* text) {
    HostValue v{};
    v.type = TYPE_STRING;
    v.stringValue = text;
    return v;
}

inline HostValue integerArg(int32_t value) {
    HostValue v{};
    v.type = TYPE_INTEGER;
    v.intValue = value;
    return v;
}
