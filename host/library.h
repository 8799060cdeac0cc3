// The two entry points of the library, as the command reaches them: on
// Windows from ovrin.dll loaded at run time, natively from the library
// linked into the program. Everything else the command does goes through
// these two addresses.
#pragma once

#include <cstdint>
#include <string>

#include "../extender/exports.h"

struct Library {
    Extender2Entry call = nullptr;        // WILExtender2
    ExtenderQueryEntry query = nullptr;  // WILExtenderQuery
};

// Finds the entry points. On Windows `dllPath` names the DLL to load (the
// command gives ovrin.dll in its own folder); null means ovrin.dll where
// the system finds it. Natively `dllPath` is ignored.
// Answers false with `error` set when the library or an entry is missing.
bool openLibrary(const char* dllPath, Library* library, std::string* error);
