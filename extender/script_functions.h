// The ten script functions. Each takes the call's CallResult, the argument
// count and the host's argument array, and fills the CallResult.
#pragma once

#include "host_value.h"

typedef void (*ScriptFunction)(CallResult* result, int32_t argCount, HostValue* args);

void ovExtenderInfo(CallResult* result, int32_t argCount, HostValue* args);
void ovSoundex(CallResult* result, int32_t argCount, HostValue* args);
void ovMetaphone(CallResult* result, int32_t argCount, HostValue* args);
void ovPhonex(CallResult* result, int32_t argCount, HostValue* args);
void ovGuthMatch(CallResult* result, int32_t argCount, HostValue* args);
void ovLevenshtein(CallResult* result, int32_t argCount, HostValue* args);
void ovDoubleMetaphone(CallResult* result, int32_t argCount, HostValue* args);
void ovIsAbbrev(CallResult* result, int32_t argCount, HostValue* args);
void ovIsConsonant(CallResult* result, int32_t argCount, HostValue* args);
void ovIsVowel(CallResult* result, int32_t argCount, HostValue* args);
