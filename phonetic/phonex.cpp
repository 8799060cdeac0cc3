// Phonex.
#include "../extender/script_functions.h"

// Answers its neutral result until the encoder lands.
void ovPhonex(CallResult* result, int32_t argCount, HostValue* args) {
    setStringResult(result, kEmptyString);
    normalizeArgTypes(argCount, args);
}
