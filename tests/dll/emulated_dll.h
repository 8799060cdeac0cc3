// ovrin.dll run without Windows and without Wine: its own 32-bit machine code
// executes in an x86 emulator (Unicorn), mapped as the Windows loader maps it,
// with the Windows services it imports answered by this program. The two
// entry points are reached through plain functions with the native signature,
// so the table of cases, the entry checks, the soak and the fuzz replay run
// through the DLL exactly as they run in-process.
//
// Every host buffer handed to the DLL (argument strings, argument and result
// records, query buffers) is exactly as long as promised and followed by
// guard bytes; every heap block it takes is followed by guard bytes checked
// when it is released; after every call ESP, EBX, ESI, EDI, EBP and the
// direction flag must be as the calling convention leaves them. What breaks
// one of these is a fault, read with takeFaults().
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "../support/case_table.h"

struct EmulatorOptions {
    bool sse2 = true;       // CPUID reports SSE and SSE2
    uint32_t loadBase = 0;  // 0: a base other than the image's preferred one
};

class Machine;

class EmulatedDll {
public:
    EmulatedDll();
    ~EmulatedDll();
    EmulatedDll(const EmulatedDll&) = delete;
    EmulatedDll& operator=(const EmulatedDll&) = delete;

    // Maps the image, binds its imports, sets up the thread and runs the
    // entry point. Answers false with `error` set (an import that cannot be
    // bound is named there).
    bool load(const std::string& path, const EmulatorOptions& options, std::string& error);

    // The entry points with host memory in and out: arguments are copied into
    // the emulated machine, the results and argument states copied back.
    int32_t extender2(uintptr_t unused1, uintptr_t unused2, uintptr_t hostContext, int32_t functionNumber,
                      HostReturnCallback returnCallback, uintptr_t hostRecord, uintptr_t unused3, void* args,
                      int32_t argCount, HostValue* resultValue);
    int32_t query(int32_t queryCode, void* buffer, int32_t length);

    // Faults since the last look, each one line; empty when all was well.
    std::vector<std::string> takeFaults();

    // The DLL's heap blocks (GlobalAlloc) alive now, and their bytes.
    long liveBlocks() const;
    uint64_t liveBytes() const;
    // Makes the nth GlobalAlloc from now fail (0: none fails); the count of
    // GlobalAlloc calls so far.
    void failAllocation(long nth);
    long allocationCalls() const;

    // String `id` of the DLL's own string table, read as LoadStringA reads it.
    bool loadString(uint32_t id, std::string& text) const;
    // The DLL's version record.
    bool versionRecord(std::vector<uint8_t>& record) const;

    uint32_t preferredBase() const;
    uint32_t base() const;
    std::vector<std::string> importNames() const;  // "KERNEL32.dll!GlobalAlloc"
    unsigned long long callCount() const;

    // The instance the plain entry points below call.
    static EmulatedDll* current;

private:
    std::unique_ptr<Machine> machine_;
};

int32_t emulatedExtender2(uintptr_t unused1, uintptr_t unused2, uintptr_t hostContext, int32_t functionNumber,
                          HostReturnCallback returnCallback, uintptr_t hostRecord, uintptr_t unused3, void* args,
                          int32_t argCount, HostValue* resultValue);
int32_t emulatedExtenderQuery(int32_t queryCode, void* buffer, int32_t length);
