#include "library.h"

#ifdef _WIN32
#include "../records/system.h"

bool openLibrary(const char* dllPath, Library* library, std::string* error) {
    std::string path = dllPath ? dllPath : programFolder() + "ovrin.dll";
    HMODULE module = LoadLibraryW(widen(path).c_str());
    if (!module) {
        *error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    // The decorated names are the ones the script host looks up.
    library->call = reinterpret_cast<Extender2Entry>(
        reinterpret_cast<void*>(GetProcAddress(module, "_WILExtender2@40")));
    library->query = reinterpret_cast<ExtenderQueryEntry>(
        reinterpret_cast<void*>(GetProcAddress(module, "_WILExtenderQuery@12")));
    if (!library->call || !library->query) {
        *error = path + " does not export _WILExtender2@40 and _WILExtenderQuery@12";
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
