// Prefix, consonant and vowel tests.
#include "../extender/script_functions.h"

// These answer their neutral result until the tests land.
void ovIsAbbrev(CallResult* result, int32_t argCount, HostValue* args) {
    setIntegerResult(result, 0);
    normalizeArgTypes(argCount, args);
}

void ovIsConsonant(CallResult* result, int32_t argCount, HostValue* args) {
    setIntegerResult(result, 0);
    normalizeArgTypes(argCount, args);
}

void ovIsVowel(CallResult* result, int32_t argCount, HostValue* args) {
    setIntegerResult(result, 0);
    normalizeArgTypes(argCount, args);
}
