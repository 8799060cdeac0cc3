#include "dll_entries.h"

#ifdef _WIN32
const char kEntryPointNames[] = "_WILExtender2@40 and _WILExtenderQuery@12";

bool findEntryPoints(HMODULE module, Extender2Entry* call, ExtenderQueryEntry* query) {
    // stdcall decoration: an underscore, the name, @ and the bytes of arguments.
    *call = reinterpret_cast<Extender2Entry>(reinterpret_cast<void*>(GetProcAddress(module, "_WILExtender2@40")));
    *query = reinterpret_cast<ExtenderQueryEntry>(
        reinterpret_cast<void*>(GetProcAddress(module, "_WILExtenderQuery@12")));
    return *call && *query;
}
#endif
