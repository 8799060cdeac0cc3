// The test host for ovrin.dll: loads it as the script host does
// (LoadLibraryA, the two exports by their decorated names, a __stdcall
// return callback) and runs through it the discovery checks, the resource
// checks and the table of cases.
//   dll_host PATH_TO_DLL CASEFILE...
//   dll_host --soak CALLS NAMES_FILE PATH_TO_DLL
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../../resources/string_ids.h"
#include "../../resources/version.h"
#include "../support/case_table.h"
#include "../support/entry_checks.h"
#include "dll_soak.h"

namespace {

int passed = 0;
int failed = 0;

void check(bool ok, const std::string& what) {
    if (ok) {
        ++passed;
    } else {
        ++failed;
        std::printf("FAIL resource check: %s\n", what.c_str());
    }
}

std::string versionValue(const std::vector<char>& data, const char* name) {
    char* value = nullptr;
    UINT size = 0;
    std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
    if (!VerQueryValueA(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &size) || !value) return "";
    return value;
}

void checkResources(HMODULE module, const char* path) {
    const int ids[] = {IDS_UNKNOWN_FUNCTION, IDS_BAD_INFO_MODE, IDS_NO_MEMORY, IDS_TOO_MANY_BLOCKS, IDS_DESCRIPTION,
                       IDS_VERSION};
    for (int id : ids) {
        char text[256];
        int length = LoadStringA(module, id, text, sizeof text);
        check(length > 0 && messageText(id) == text, "string " + std::to_string(id) + " reads \"" + text + "\"");
    }

    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    check(size > 0, "the DLL has a version record");
    if (!size) return;
    std::vector<char> data(size);
    check(GetFileVersionInfoA(path, 0, size, data.data()) != 0, "the version record can be read");
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize);
    check(fixed && fixed->dwFileVersionMS == (34002u << 16) && fixed->dwFileVersionLS == 0, "file version 34002.0.0.0");
    check(fixed && fixed->dwProductVersionMS == (10002u << 16) && fixed->dwProductVersionLS == 0,
          "product version 10002.0.0.0");
    check(versionValue(data, "FileVersion") == OV_FILE_VERSION_TEXT, "FileVersion string");
    check(versionValue(data, "ProductVersion") == OV_PRODUCT_VERSION_TEXT, "ProductVersion string");
    check(versionValue(data, "FileDescription") == OV_PRODUCT_NAME, "FileDescription string");
    check(versionValue(data, "ProductName") == OV_PRODUCT_NAME, "ProductName string");
    check(versionValue(data, "InternalName") == OV_INTERNAL_NAME, "InternalName string");
    WORD* translation = nullptr;
    UINT translationSize = 0;
    VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                   &translationSize);
    check(translation && translationSize >= 4 && translation[0] == 0x0409 && translation[1] == 0x04E4,
          "translation US English, code page 1252");
}

}  // namespace

int main(int argc, char** argv) {
    long soakCalls = 0;
    const char* namesPath = nullptr;
    if (argc >= 5 && std::strcmp(argv[1], "--soak") == 0) {
        soakCalls = std::atol(argv[2]);
        namesPath = argv[3];
        argv += 3;
        argc -= 3;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: dll_host PATH_TO_DLL CASEFILE...\n       dll_host --soak CALLS NAMES_FILE PATH_TO_DLL\n");
        return 2;
    }
    HMODULE module = LoadLibraryA(argv[1]);
    if (!module) {
        std::printf("FAIL cannot load %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    Extender2Entry entry = reinterpret_cast<Extender2Entry>(reinterpret_cast<void*>(GetProcAddress(module, "_WILExtender2@40")));
    ExtenderQueryEntry query = reinterpret_cast<ExtenderQueryEntry>(reinterpret_cast<void*>(GetProcAddress(module, "_WILExtenderQuery@12")));
    if (!entry || !query) {
        std::printf("FAIL the DLL does not export _WILExtender2@40 and _WILExtenderQuery@12\n");
        return 1;
    }

    if (soakCalls > 0) {
        int failures = runSoak(entry, soakCalls, namesPath);
        std::printf("dll_host soak: %d passed, %d failed\n", failures ? 0 : 1, failures);
        return failures ? 1 : 0;
    }

    CheckCount entryCount = runEntryChecks(entry, query, stdout);
    passed += entryCount.passed;
    failed += entryCount.failed;
    checkResources(module, argv[1]);

    for (int i = 2; i < argc; ++i) {
        std::vector<std::string> errors;
        std::vector<Case> cases = readCaseFile(argv[i], entry, errors);
        for (const std::string& e : errors) std::printf("FAIL %s\n", e.c_str());
        failed += static_cast<int>(errors.size());
        int caseFailures = runCases(cases, entry, stdout);
        failed += caseFailures;
        passed += static_cast<int>(cases.size()) - caseFailures;
        if (cases.empty()) {
            std::printf("FAIL %s holds no case\n", argv[i]);
            ++failed;
        }
    }
    FreeLibrary(module);
    std::printf("dll_host: %d passed, %d failed\n", passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}
