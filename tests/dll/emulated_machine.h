// The inside of the emulated host: the x86 machine with its memory, the heap
// the DLL's blocks come from, and the services bound to its imports.
#pragma once

#include <unicorn/unicorn.h>

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "pe_image.h"

// The address space, fixed so that a fault's address says where it fell.
enum : uint32_t {
    STUB_BASE = 0x00010000,  // one 16-byte slot per bound service, hooked
    STUB_SIZE = 0x00008000,
    CODE_BASE = 0x00018000,  // services written as x86 code, and the return stop
    SYSTEM_BASE = 0x00020000,  // descriptor table, thread block, runtime data
    SYSTEM_SIZE = 0x00010000,
    STACK_BASE = 0x00100000,
    STACK_SIZE = 0x00200000,
    HOST_BASE = 0x01000000,  // buffers the host hands to the DLL for one call
    HOST_SIZE = 0x04000000,
    HEAP_BASE = 0x40000000,
    HEAP_SMALL = 0x10000000,  // size-class blocks below, page runs above
    HEAP_SIZE = 0x60000000,
};

enum : uint32_t { GUARD_BYTES = 16 };
enum : uint8_t { HOST_GUARD = 0xA5, HEAP_GUARD = 0xFD };

// The DLL's heap: every block followed by GUARD_BYTES guard bytes, checked
// when it is released; blocks of 1 GiB or more refused, as a 32-bit
// process's heap refuses them.
class GuestHeap {
public:
    enum Kind { GLOBAL, RUNTIME };
    void attach(uint8_t* memory) { memory_ = memory; }
    // 0 when refused.
    uint32_t allocate(uint32_t bytes, bool zero, Kind kind);
    // Answers an empty string, or the fault.
    std::string release(uint32_t address, Kind kind);
    uint32_t sizeOf(uint32_t address) const;
    long live(Kind kind) const { return kind == GLOBAL ? liveGlobal_ : liveRuntime_; }
    uint64_t liveGlobalBytes() const { return liveGlobalBytes_; }

private:
    struct Block {
        uint32_t size;
        uint32_t capacity;
        Kind kind;
    };
    uint8_t* memory_ = nullptr;
    uint32_t smallTop_ = 0;
    std::vector<uint32_t> freeSmall_[13];        // capacities 16 << k, up to 64 KiB
    std::map<uint32_t, uint32_t> freeRuns_;      // page runs: offset -> bytes
    uint32_t runTop_ = HEAP_SMALL;
    std::unordered_map<uint32_t, Block> blocks_;  // by address
    long liveGlobal_ = 0, liveRuntime_ = 0;
    uint64_t liveGlobalBytes_ = 0;
};

class Machine;
typedef uint32_t (*ServiceFunction)(Machine& m);

// A Windows or C runtime service the DLL imports.
struct Service {
    const char* dll;  // lower case
    const char* name;
    int argCount;
    bool stdcall;      // the callee pops its arguments
    ServiceFunction run;  // null for a data import
};

// Every service this host provides, and the data imports' addresses.
const std::vector<Service>& serviceTable();
uint32_t dataImportAddress(Machine& m, const std::string& name);  // 0 if none

class Machine {
public:
    ~Machine();
    bool start(const std::string& path, bool sse2, uint32_t loadBase, std::string& error);

    // A pointer to `length` bytes of emulated memory, or null when they are
    // not all inside one mapped region.
    uint8_t* at(uint32_t address, uint32_t length) const;
    uint32_t read32(uint32_t address) const;
    void write32(uint32_t address, uint32_t value);
    // The NUL-terminated string at `address`, or false when it runs off memory.
    bool readString(uint32_t address, std::string& text) const;
    uint32_t reg(int id) const;
    void setReg(int id, uint32_t value);
    // Argument `index` of the service being run (its caller's stack).
    uint32_t arg(int index) const { return read32(reg(UC_X86_REG_ESP) + 4 + 4 * index); }

    // Calls guest code: arguments pushed right to left, a return to the stop
    // address. Answers false (a fault recorded) when it did not return cleanly.
    bool call(uint32_t function, const std::vector<uint32_t>& args, bool stdcall, uint32_t* eax, const std::string& what);

    void fault(const std::string& what);
    void stop(const std::string& why);  // a fault that ends the running call

    // Host buffers for one call: `bytes` bytes followed by guard bytes.
    void resetHostBuffers() { hostTop_ = HOST_BASE; }
    uint32_t hostBuffer(uint32_t bytes);
    bool guardIntact(uint32_t address, uint32_t bytes, uint8_t guard) const;

    uc_engine* uc = nullptr;
    PeImage image;
    uint32_t base = 0;
    GuestHeap heap;
    std::vector<std::string> faults;
    std::vector<std::string> importNames;
    long allocationCalls = 0;
    long failAt = 0;
    uint32_t lastError = 0;
    uint32_t callbackSlot = 0;  // the stub that reaches the host's return callback
    void (*onCallback)(Machine& m) = nullptr;
    void* callbackContext = nullptr;
    unsigned long long calls = 0;
    bool sse2 = true;
    std::string stopReason;
    uint32_t faultAddress = 0;
    int faultType = 0;

private:
    struct Region {
        uint32_t base, size;
        uint8_t* host;
    };
    bool map(uint32_t base, uint32_t size, uint32_t protection, std::string& error, uint8_t** host = nullptr);
    bool mapImage(std::string& error);
    bool bindImports(std::string& error);
    void setUpThread();
    bool startRuntime(std::string& error);

    std::vector<Region> regions_;
    std::vector<const Service*> slots_;
    uint32_t hostTop_ = HOST_BASE;
    uc_hook hooks_[8] = {};
    friend void serviceHook(uc_engine*, uint64_t, uint32_t, void*);
    friend int cpuidHook(uc_engine*, void*);
};
