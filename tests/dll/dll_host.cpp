// The test host for ovrin.dll: loads it as the script host does
// (LoadLibraryA, the two exports by their decorated names, a __stdcall
// return callback) and runs through it the discovery checks, the resource
// checks and the table of cases.
//   dll_host PATH_TO_DLL CASEFILE...
//   dll_host --soak CALLS NAMES_FILE PATH_TO_DLL
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../../host/dll_entries.h"
#include "../support/case_table.h"
#include "../support/entry_checks.h"
#include "dll_soak.h"
#include "resource_checks.h"

namespace {

int passed = 0;
int failed = 0;

// The resources as Windows reads them: LoadStringA and the version API.
CheckCount checkResources(HMODULE module, const char* path) {
    std::vector<char> data;
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size) {
        data.resize(size);
        if (!GetFileVersionInfoA(path, 0, size, data.data())) data.clear();
    }
    auto query = [&](const char* what, UINT* length) -> void* {
        void* value = nullptr;
        if (data.empty() || !VerQueryValueA(data.data(), what, &value, length)) return nullptr;
        return value;
    };
    ResourceReader reader;
    reader.string = [&](uint32_t id, std::string& text) {
        char buffer[256];
        int length = LoadStringA(module, id, buffer, sizeof buffer);
        text.assign(buffer, length > 0 ? length : 0);
        return length > 0;
    };
    reader.fixedVersions = [&](uint32_t versions[4]) {
        UINT length = 0;
        VS_FIXEDFILEINFO* fixed = static_cast<VS_FIXEDFILEINFO*>(query("\\", &length));
        if (!fixed) return false;
        versions[0] = fixed->dwFileVersionMS, versions[1] = fixed->dwFileVersionLS;
        versions[2] = fixed->dwProductVersionMS, versions[3] = fixed->dwProductVersionLS;
        return true;
    };
    reader.versionString = [&](const char* name) {
        UINT length = 0;
        const char* value = static_cast<const char*>(query((std::string("\\StringFileInfo\\040904E4\\") + name).c_str(), &length));
        return std::string(value ? value : "");
    };
    reader.translation = [&](uint16_t* language, uint16_t* codePage) {
        UINT length = 0;
        WORD* pair = static_cast<WORD*>(query("\\VarFileInfo\\Translation", &length));
        if (!pair || length < 4) return false;
        *language = pair[0], *codePage = pair[1];
        return true;
    };
    return runResourceChecks(reader, stdout);
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
    Extender2Entry entry = nullptr;
    ExtenderQueryEntry query = nullptr;
    if (!findEntryPoints(module, &entry, &query)) {
        std::printf("FAIL the DLL does not export %s\n", kEntryPointNames);
        return 1;
    }

    if (soakCalls > 0) {
        SoakWatch watch{"private bytes",
                        [] {
                            PROCESS_MEMORY_COUNTERS counters;
                            counters.cb = sizeof counters;
                            GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
                            return static_cast<uint64_t>(counters.PagefileUsage);
                        },
                        64 * 1024, {}};
        int failures = runSoak(entry, soakCalls, namesPath, watch);
        std::printf("dll_host soak: %d passed, %d failed\n", failures ? 0 : 1, failures);
        return failures ? 1 : 0;
    }

    CheckCount entryCount = runEntryChecks(entry, query, stdout);
    passed += entryCount.passed;
    failed += entryCount.failed;
    CheckCount resourceCount = checkResources(module, argv[1]);
    passed += resourceCount.passed;
    failed += resourceCount.failed;

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
