// The test host for ovrin.dll where no 32-bit Windows program can run: the
// DLL's own machine code in the x86 emulator, called as the script host calls
// it. It runs what dll_host runs under Wine.
//   dll_emulator [--no-sse2] DLL CASEFILE...     entry, resource and case checks
//   dll_emulator --soak CALLS NAMES_FILE DLL     random calls, heap flat
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../support/case_table.h"
#include "../support/entry_checks.h"
#include "dll_soak.h"
#include "emulated_dll.h"
#include "pe_image.h"
#include "resource_checks.h"

namespace {

CheckCount checkResources(const EmulatedDll& dll) {
    std::vector<uint8_t> record;
    bool hasRecord = dll.versionRecord(record);
    auto value = [&](const std::string& path, std::vector<uint8_t>& out) {
        return hasRecord && versionValue(record.data(), static_cast<uint32_t>(record.size()), path, out);
    };
    ResourceReader reader;
    reader.string = [&](uint32_t id, std::string& text) { return dll.loadString(id, text); };
    reader.fixedVersions = [&](uint32_t versions[4]) {
        std::vector<uint8_t> fixed;
        if (!value("\\", fixed) || fixed.size() < 24) return false;
        std::memcpy(versions, &fixed[8], 16);
        return true;
    };
    reader.versionString = [&](const char* name) {
        std::vector<uint8_t> units;
        std::string text;
        if (value(std::string("\\StringFileInfo\\040904E4\\") + name, units))
            for (size_t i = 0; i + 1 < units.size(); i += 2) text += static_cast<char>(units[i]);
        return text;
    };
    reader.translation = [&](uint16_t* language, uint16_t* codePage) {
        std::vector<uint8_t> pair;
        if (!value("\\VarFileInfo\\Translation", pair) || pair.size() < 4) return false;
        *language = static_cast<uint16_t>(pair[0] | pair[1] << 8);
        *codePage = static_cast<uint16_t>(pair[2] | pair[3] << 8);
        return true;
    };
    return runResourceChecks(reader, stdout);
}

// After each call: no fault, and every block the call took given back.
std::string afterCall(EmulatedDll& dll) {
    std::string problems;
    for (const std::string& fault : dll.takeFaults()) problems += (problems.empty() ? "" : "; ") + fault;
    if (dll.liveBlocks() != 0)
        problems += (problems.empty() ? "" : "; ") + std::to_string(dll.liveBlocks()) + " heap blocks not released";
    return problems;
}

}  // namespace

int main(int argc, char** argv) {
    EmulatorOptions options;
    long soakCalls = 0;
    const char* namesPath = nullptr;
    if (argc >= 2 && std::strcmp(argv[1], "--no-sse2") == 0) {
        options.sse2 = false;
        ++argv, --argc;
    }
    if (argc >= 5 && std::strcmp(argv[1], "--soak") == 0) {
        soakCalls = std::atol(argv[2]);
        namesPath = argv[3];
        argv += 3, argc -= 3;
    }
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: dll_emulator [--no-sse2] DLL CASEFILE...\n       dll_emulator --soak CALLS NAMES_FILE DLL\n");
        return 2;
    }
    EmulatedDll dll;
    std::string error;
    if (!dll.load(argv[1], options, error)) {
        std::printf("FAIL cannot load %s in the emulator: %s\n", argv[1], error.c_str());
        return 1;
    }
    EmulatedDll::current = &dll;
    std::printf("ovrin.dll under the x86 emulator: preferred base 0x%08X, loaded at 0x%08X, %zu imports bound, %s\n",
                dll.preferredBase(), dll.base(), dll.importNames().size(),
                options.sse2 ? "CPUID with SSE2" : "CPUID without SSE2");
    auto started = std::chrono::steady_clock::now();
    unsigned long long callsBefore = dll.callCount();
    auto report = [&]() {
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        unsigned long long calls = dll.callCount() - callsBefore;
        std::printf("emulated calls: %llu in %.2f s (%.0f calls a second)\n", calls, seconds,
                    seconds > 0 ? calls / seconds : 0.0);
    };

    if (soakCalls > 0) {
        SoakWatch watch{"heap bytes in use", [&] { return dll.liveBytes(); }, 0, [&] { return afterCall(dll); }};
        int failures = runSoak(emulatedExtender2, soakCalls, namesPath, watch);
        report();
        std::printf("dll_emulator soak: %d passed, %d failed\n", failures ? 0 : 1, failures);
        return failures ? 1 : 0;
    }

    int passed = 0, failed = 0;
    CheckCount entryCount = runEntryChecks(emulatedExtender2, emulatedExtenderQuery, stdout);
    for (const std::string& fault : dll.takeFaults()) {
        std::printf("FAIL entry checks: %s\n", fault.c_str());
        ++failed;
    }
    CheckCount resourceCount = checkResources(dll);
    passed += entryCount.passed + resourceCount.passed;
    failed += entryCount.failed + resourceCount.failed;
    for (int i = 2; i < argc; ++i) {
        std::vector<std::string> errors;
        std::vector<Case> cases = readCaseFile(argv[i], emulatedExtender2, errors);
        for (const std::string& e : errors) std::printf("FAIL %s\n", e.c_str());
        failed += static_cast<int>(errors.size());
        int caseFailures = runCases(cases, emulatedExtender2, stdout, [&] { return afterCall(dll); });
        failed += caseFailures;
        passed += static_cast<int>(cases.size()) - caseFailures;
        if (cases.empty()) {
            std::printf("FAIL %s holds no case\n", argv[i]);
            ++failed;
        }
    }
    report();
    std::printf("dll_emulator: %d passed, %d failed\n", passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}
