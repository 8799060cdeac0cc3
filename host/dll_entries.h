// Finding the library's two entry points in a loaded ovrin.dll, by the
// decorated names the script host looks up. Shared by the command, the DLL
// test host, the fuzz replay and the DLL benchmark.
#pragma once

#ifdef _WIN32
#include <windows.h>

#include "../extender/exports.h"

// How failure messages name the two exports.
extern const char kEntryPointNames[];

// Sets both entries from `module`; answers false (leaving null in the one
// not found) when either is missing.
bool findEntryPoints(HMODULE module, Extender2Entry* call, ExtenderQueryEntry* query);
#endif
