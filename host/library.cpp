#include "library.h"

#ifdef _WIN32
#include "dll_entries.h"

bool openLibrary(const char* dllPath, Library* library, std::string* error) {
    const std::string path = dllPath ? dllPath : "ovrin.dll";
    // The path as UTF-16, as LoadLibraryW takes it.
    const int n = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, &wide[0], n);
    HMODULE module = LoadLibraryW(wide.c_str());
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
