#include "library.h"

#ifdef _WIN32
#include "../host/dll_entries.h"
#include "../records/system.h"

bool openLibrary(const char* dllPath, Library* library, std::string* error) {
    std::string path = dllPath ? dllPath : programFolder() + "ovrin.dll";
    HMODULE module = LoadLibraryW(widen(path).c_str());
    if (!module) {
        *error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    if (!findEntryPoints(module, &library->call, &library->query)) {
        *error = path + " does not export " + kEntryPointNames;
        return false;
    }
    return true;
}

#else
#include "../extender/exports.h"

bool openLibrary(const char*, Library* library, std::string*) {
    library->call = WILExtender2;
    library->query = WILExtenderQuery;
    return true;
}
#endif
