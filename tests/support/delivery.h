// What the host's callback last received, for tests that call the library
// through WILExtender2 themselves: one recording callback and its record.
#pragma once

#include <cstdint>
#include <string>

#include "../../extender/host_value.h"

struct Delivery {
    int32_t flag = 0;
    int32_t type = 0;
    int32_t intValue = 0;
    std::string text;  // a string result; empty for any other
};

inline Delivery lastDelivery;

// Records the flag and the result into lastDelivery; answers 0.
inline int32_t OV_STDCALL recordDelivery(int32_t flag, uintptr_t, uintptr_t, HostValue* value) {
    lastDelivery.flag = flag;
    lastDelivery.type = value->type;
    lastDelivery.intValue = value->intValue;
    lastDelivery.text = value->type == TYPE_STRING && value->stringValue ? value->stringValue : "";
    return 0;
}
