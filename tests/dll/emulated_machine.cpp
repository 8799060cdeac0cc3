#include "emulated_machine.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

std::string lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return text;
}

const uint32_t STOP_ADDRESS = CODE_BASE;
const uint32_t INITTERM_ADDRESS = CODE_BASE + 0x10;
const uint32_t TEB_ADDRESS = SYSTEM_BASE + 0x1000;
const uint32_t PEB_ADDRESS = SYSTEM_BASE + 0x2000;
const uint32_t TLS_ARRAY = SYSTEM_BASE + 0x3000;
const uint32_t TLS_BLOCK = SYSTEM_BASE + 0x4000;
const uint32_t STACK_TOP = STACK_BASE + STACK_SIZE - 0x100;

// _initterm calls guest code, so it is guest code itself: for each non-null
// pointer from [esp+4] up to [esp+8], call it.
const uint8_t kInitTerm[] = {
    0x56, 0x57,                    // push esi; push edi
    0x8B, 0x74, 0x24, 0x0C,        // mov esi, [esp+12]
    0x8B, 0x7C, 0x24, 0x10,        // mov edi, [esp+16]
    0x39, 0xFE, 0x73, 0x0D,        // loop: cmp esi, edi; jae done
    0x8B, 0x06, 0x85, 0xC0,        // mov eax, [esi]; test eax, eax
    0x74, 0x02, 0xFF, 0xD0,        // jz next; call eax
    0x83, 0xC6, 0x04, 0xEB, 0xEF,  // next: add esi, 4; jmp loop
    0x5F, 0x5E, 0xC3,              // done: pop edi; pop esi; ret
};

// A flat 32-bit descriptor: present, ring 0, 4 KiB granularity.
uint64_t descriptor(uint32_t base, uint32_t limit, uint8_t access, bool pages) {
    uint64_t d = (limit & 0xFFFF) | static_cast<uint64_t>(base & 0xFFFFFF) << 16;
    d |= static_cast<uint64_t>(access) << 40 | static_cast<uint64_t>((limit >> 16) & 0xF) << 48;
    d |= static_cast<uint64_t>(pages ? 0xC : 0x4) << 52 | static_cast<uint64_t>(base >> 24) << 56;
    return d;
}

}  // namespace

// ---- the heap ----

uint32_t GuestHeap::allocate(uint32_t bytes, bool zero, Kind kind) {
    if (bytes >= 0x40000000u) return 0;
    uint32_t need = bytes + GUARD_BYTES, offset = 0, capacity = 0;
    if (need <= 0x10000) {
        int k = 0;
        while ((16u << k) < need) ++k;
        capacity = 16u << k;
        if (!freeSmall_[k].empty()) {
            offset = freeSmall_[k].back();
            freeSmall_[k].pop_back();
        } else {
            if (smallTop_ + capacity > HEAP_SMALL) return 0;
            offset = smallTop_;
            smallTop_ += capacity;
        }
        if (zero) std::memset(memory_ + offset, 0, bytes);
    } else {
        // Page runs are zero: fresh, or given back to the system on release.
        capacity = (need + 0xFFF) & ~0xFFFu;
        auto run = std::find_if(freeRuns_.begin(), freeRuns_.end(),
                                [&](const std::pair<const uint32_t, uint32_t>& r) { return r.second >= capacity; });
        if (run != freeRuns_.end()) {
            offset = run->first;
            uint32_t left = run->second - capacity;
            freeRuns_.erase(run);
            if (left) freeRuns_[offset + capacity] = left;
        } else {
            if (capacity > HEAP_SIZE - runTop_) return 0;
            offset = runTop_;
            runTop_ += capacity;
        }
    }
    std::memset(memory_ + offset + bytes, HEAP_GUARD, GUARD_BYTES);
    blocks_[HEAP_BASE + offset] = Block{bytes, capacity, kind};
    if (kind == GLOBAL) {
        ++liveGlobal_;
        liveGlobalBytes_ += bytes;
    } else {
        ++liveRuntime_;
    }
    return HEAP_BASE + offset;
}

std::string GuestHeap::release(uint32_t address, Kind kind) {
    auto found = blocks_.find(address);
    const char* how = kind == GLOBAL ? "GlobalFree" : "free";
    if (found == blocks_.end()) return std::string(how) + " of " + hex(address) + ", which is no live block";
    Block block = found->second;
    if (block.kind != kind) return std::string(how) + " of " + hex(address) + ", a block of the other allocator";
    uint32_t offset = address - HEAP_BASE;
    std::string problem;
    for (uint32_t g = 0; g < GUARD_BYTES; ++g)
        if (memory_[offset + block.size + g] != HEAP_GUARD) {
            problem = "heap block " + hex(address) + " of " + std::to_string(block.size) +
                      " bytes was written past its end (byte " + std::to_string(block.size + g) + ")";
            break;
        }
    blocks_.erase(found);
    if (kind == GLOBAL) {
        --liveGlobal_;
        liveGlobalBytes_ -= block.size;
    } else {
        --liveRuntime_;
    }
    if (block.capacity <= 0x10000) {
        int k = 0;
        while ((16u << k) < block.capacity) ++k;
        freeSmall_[k].push_back(offset);
        return problem;
    }
    madvise(memory_ + offset, block.capacity, MADV_DONTNEED);
    auto next = freeRuns_.find(offset + block.capacity);
    uint32_t size = block.capacity;
    if (next != freeRuns_.end()) {
        size += next->second;
        freeRuns_.erase(next);
    }
    auto after = freeRuns_.lower_bound(offset);
    if (after != freeRuns_.begin()) {
        auto before = std::prev(after);
        if (before->first + before->second == offset) {
            before->second += size;
            return problem;
        }
    }
    freeRuns_[offset] = size;
    return problem;
}

uint32_t GuestHeap::sizeOf(uint32_t address) const {
    auto found = blocks_.find(address);
    return found == blocks_.end() ? 0 : found->second.size;
}

// ---- memory and registers ----

Machine::~Machine() {
    if (uc) uc_close(uc);
    for (const Region& r : regions_) munmap(r.host, r.size);
}

bool Machine::map(uint32_t address, uint32_t size, uint32_t protection, std::string& error, uint8_t** host) {
    void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (memory == MAP_FAILED) return error = "cannot reserve " + std::to_string(size) + " bytes", false;
    uc_err err = uc_mem_map_ptr(uc, address, size, protection, memory);
    if (err != UC_ERR_OK) {
        munmap(memory, size);
        return error = "cannot map " + hex(address) + ": " + uc_strerror(err), false;
    }
    regions_.push_back(Region{address, size, static_cast<uint8_t*>(memory)});
    if (host) *host = static_cast<uint8_t*>(memory);
    return true;
}

uint8_t* Machine::at(uint32_t address, uint32_t length) const {
    for (const Region& r : regions_)
        if (address >= r.base && address - r.base <= r.size && length <= r.size - (address - r.base))
            return r.host + (address - r.base);
    return nullptr;
}

uint32_t Machine::read32(uint32_t address) const {
    uint32_t value = 0;
    if (const uint8_t* p = at(address, 4)) std::memcpy(&value, p, 4);
    return value;
}

void Machine::write32(uint32_t address, uint32_t value) {
    if (uint8_t* p = at(address, 4)) std::memcpy(p, &value, 4);
}

bool Machine::readString(uint32_t address, std::string& text) const {
    for (const Region& r : regions_)
        if (address >= r.base && address - r.base < r.size) {
            const char* start = reinterpret_cast<const char*>(r.host + (address - r.base));
            size_t room = r.size - (address - r.base);
            const void* end = std::memchr(start, 0, room);
            if (!end) return false;
            text.assign(start, static_cast<const char*>(end));
            return true;
        }
    return false;
}

uint32_t Machine::reg(int id) const {
    uint32_t value = 0;
    uc_reg_read(uc, id, &value);
    return value;
}

void Machine::setReg(int id, uint32_t value) { uc_reg_write(uc, id, &value); }

void Machine::fault(const std::string& what) { faults.push_back(what); }

void Machine::stop(const std::string& why) {
    if (stopReason.empty()) stopReason = why;
    uc_emu_stop(uc);
}

uint32_t Machine::hostBuffer(uint32_t bytes) {
    uint32_t address = hostTop_;
    uint32_t next = (address + bytes + GUARD_BYTES + 15) & ~15u;
    if (next > HOST_BASE + HOST_SIZE || next < address) return 0;
    hostTop_ = next;
    std::memset(at(address + bytes, GUARD_BYTES), HOST_GUARD, GUARD_BYTES);
    return address;
}

bool Machine::guardIntact(uint32_t address, uint32_t bytes, uint8_t guard) const {
    const uint8_t* p = at(address + bytes, GUARD_BYTES);
    for (uint32_t g = 0; p && g < GUARD_BYTES; ++g)
        if (p[g] != guard) return false;
    return p != nullptr;
}

// ---- hooks ----

void serviceHook(uc_engine*, uint64_t address, uint32_t, void* user) {
    Machine& m = *static_cast<Machine*>(user);
    uint32_t slot = static_cast<uint32_t>(address - STUB_BASE) / 16;
    if (slot >= m.slots_.size() || (address - STUB_BASE) % 16) return;
    // The slot's own `ret` pops the return address (and a stdcall's
    // arguments) once the service has set EAX.
    m.setReg(UC_X86_REG_EAX, m.slots_[slot]->run(m));
}

int cpuidHook(uc_engine*, void* user) {
    Machine& m = *static_cast<Machine*>(user);
    uint32_t leaf = m.reg(UC_X86_REG_EAX), a = 0, b = 0, c = 0, d = 0;
    if (leaf == 0) {
        a = 1;
        std::memcpy(&b, "Genu", 4);
        std::memcpy(&d, "ineI", 4);
        std::memcpy(&c, "ntel", 4);
    } else if (leaf == 1) {
        a = 0x6F6;
        d = 1u << 0 | 1u << 4 | 1u << 8 | 1u << 15 | 1u << 23 | 1u << 24;  // FPU TSC CX8 CMOV MMX FXSR
        if (m.sse2) d |= 1u << 25 | 1u << 26;
    } else if (leaf == 0x80000000u) {
        a = 0x80000000u;
    }
    m.setReg(UC_X86_REG_EAX, a);
    m.setReg(UC_X86_REG_EBX, b);
    m.setReg(UC_X86_REG_ECX, c);
    m.setReg(UC_X86_REG_EDX, d);
    return 1;
}

namespace {

bool invalidMemoryHook(uc_engine*, uc_mem_type type, uint64_t address, int, int64_t, void* user) {
    Machine& m = *static_cast<Machine*>(user);
    m.faultAddress = static_cast<uint32_t>(address);
    m.faultType = type;
    return false;
}

// Without SSE2 the emulator would still run SSE instructions (it does not
// enforce CR4), so each instruction of the DLL's code is looked at: one of
// SSE or SSE2 after CPUID denied them is a fault.
bool isSseInstruction(const uint8_t* code, uint32_t size) {
    bool mandatoryPrefix = false;
    uint32_t i = 0;
    for (; i < size; ++i) {
        uint8_t b = code[i];
        if (b == 0x66 || b == 0xF2 || b == 0xF3) mandatoryPrefix = true;
        else if (!(b == 0x2E || b == 0x36 || b == 0x3E || b == 0x26 || b == 0x64 || b == 0x65 || b == 0xF0)) break;
    }
    if (i + 1 >= size || code[i] != 0x0F) return false;
    uint8_t op = code[i + 1];
    bool sse = (op >= 0x10 && op <= 0x17) || (op >= 0x28 && op <= 0x2F) || (op >= 0x50 && op <= 0x5F) || op == 0xC2 ||
               op == 0xC6 || op == 0x38 || op == 0x3A;
    bool sse2Form = mandatoryPrefix && ((op >= 0x60 && op <= 0x7F) || op == 0xC4 || op == 0xC5 || op == 0xD0 ||
                                        (op >= 0xD1 && op <= 0xFE) || op == 0xE6);
    return sse || sse2Form;
}

void noSseHook(uc_engine*, uint64_t address, uint32_t size, void* user) {
    Machine& m = *static_cast<Machine*>(user);
    const uint8_t* code = m.at(static_cast<uint32_t>(address), size);
    if (code && isSseInstruction(code, size)) {
        char what[96];
        std::snprintf(what, sizeof what, "an SSE instruction at 0x%08X although CPUID denied SSE and SSE2",
                      static_cast<uint32_t>(address));
        m.stop(what);
    }
}

// Never reached: its presence keeps EIP exact in the invalid-memory hook.
void neverHook(uc_engine*, uc_mem_type, uint64_t, int, int64_t, void*) {}

const char* accessName(int type) {
    switch (type) {
    case UC_MEM_READ_UNMAPPED: return "reading unmapped memory at ";
    case UC_MEM_WRITE_UNMAPPED: return "writing unmapped memory at ";
    case UC_MEM_FETCH_UNMAPPED: return "running unmapped memory at ";
    case UC_MEM_WRITE_PROT: return "writing read-only memory at ";
    case UC_MEM_READ_PROT: return "reading protected memory at ";
    case UC_MEM_FETCH_PROT: return "running non-executable memory at ";
    default: return "at ";
    }
}

}  // namespace

// ---- calls ----

bool Machine::call(uint32_t function, const std::vector<uint32_t>& args, bool stdcall, uint32_t* eax,
                   const std::string& what) {
    uint32_t esp = STACK_TOP;
    for (size_t i = args.size(); i-- > 0;) write32(esp -= 4, args[i]);
    write32(esp -= 4, STOP_ADDRESS);
    const int saved[] = {UC_X86_REG_EBX, UC_X86_REG_ESI, UC_X86_REG_EDI, UC_X86_REG_EBP};
    const uint32_t values[] = {0xB0B0B0B0u, 0x5151515Au, 0xD1D1D1D2u, 0xEB0EB0E8u};
    for (int i = 0; i < 4; ++i) setReg(saved[i], values[i] ^ static_cast<uint32_t>(calls));
    setReg(UC_X86_REG_ESP, esp);
    setReg(UC_X86_REG_EFLAGS, 0x202);
    stopReason.clear();
    faultAddress = 0;
    faultType = 0;
    ++calls;
    uc_err err = uc_emu_start(uc, function, STOP_ADDRESS, 0, 0);
    uint32_t eip = reg(UC_X86_REG_EIP);
    if (err != UC_ERR_OK) {
        std::string where = faultType ? std::string(", ") + accessName(faultType) + hex(faultAddress) : "";
        fault(what + ": " + uc_strerror(err) + " at EIP " + hex(eip) + where);
        return false;
    }
    if (!stopReason.empty()) {
        fault(what + ": " + stopReason);
        return false;
    }
    if (eip != STOP_ADDRESS) {
        fault(what + ": stopped at EIP " + hex(eip) + " without returning");
        return false;
    }
    bool clean = true;
    uint32_t expected = stdcall ? STACK_TOP : STACK_TOP - 4 * static_cast<uint32_t>(args.size());
    int32_t off = static_cast<int32_t>(reg(UC_X86_REG_ESP) - expected);
    if (off) {
        fault(what + ": returned with ESP " + (off > 0 ? "+" : "") + std::to_string(off) +
              " bytes from where the calling convention leaves it (a wrong stack size on return)");
        clean = false;
    }
    const char* names[] = {"EBX", "ESI", "EDI", "EBP"};
    for (int i = 0; i < 4; ++i)
        if (reg(saved[i]) != (values[i] ^ static_cast<uint32_t>(calls - 1))) {
            fault(what + ": " + names[i] + " was not preserved");
            clean = false;
        }
    if (reg(UC_X86_REG_EFLAGS) & 0x400) {
        fault(what + ": returned with the direction flag set");
        clean = false;
    }
    if (eax) *eax = reg(UC_X86_REG_EAX);
    return clean;
}

// ---- loading ----

bool Machine::mapImage(std::string& error) {
    if (image.sizeOfImage == 0 || image.sizeOfImage > 0x10000000) return error = "an image size of " + hex(image.sizeOfImage), false;
    uint32_t size = (image.sizeOfImage + 0xFFF) & ~0xFFFu;
    uint8_t* host = nullptr;
    if (!map(base, size, UC_PROT_ALL, error, &host)) return false;
    std::memcpy(host, image.file.data(), std::min<size_t>(image.sizeOfHeaders, image.file.size()));
    for (const PeSection& s : image.sections) {
        uint32_t raw = std::min(s.rawSize, s.virtualSize ? s.virtualSize : s.rawSize);
        if (raw && s.rawOffset + raw <= image.file.size()) std::memcpy(host + s.rva, &image.file[s.rawOffset], raw);
    }
    // Loaded away from the preferred base: every absolute address moves.
    uint32_t delta = base - image.imageBase;
    for (uint32_t rva : image.relocations) {
        if (rva + 4 > size) return error = "a relocation at " + hex(rva) + " lies outside the image", false;
        uint32_t value;
        std::memcpy(&value, host + rva, 4);
        value += delta;
        std::memcpy(host + rva, &value, 4);
    }
    // Page protections as the sections ask: headers read-only, code
    // executable and not writable, data not executable.
    uc_mem_protect(uc, base, 0x1000, UC_PROT_READ);
    for (const PeSection& s : image.sections) {
        uint32_t length = (std::max(s.virtualSize, s.rawSize) + 0xFFF) & ~0xFFFu;
        if (!length) continue;
        uint32_t protection = 0;
        if (s.characteristics & 0x20000000u) protection |= UC_PROT_EXEC;
        if (s.characteristics & 0x40000000u) protection |= UC_PROT_READ;
        if (s.characteristics & 0x80000000u) protection |= UC_PROT_WRITE;
        uc_err err = uc_mem_protect(uc, base + s.rva, length, protection);
        if (err != UC_ERR_OK) return error = "cannot protect section " + s.name + ": " + uc_strerror(err), false;
    }
    return true;
}

bool Machine::bindImports(std::string& error) {
    std::string missing;
    std::map<const Service*, uint32_t> slotOf;
    for (const PeImport& import : image.imports) {
        std::string name = import.dll + "!" + (import.name.empty() ? "#" + std::to_string(import.ordinal) : import.name);
        importNames.push_back(name);
        const Service* found = nullptr;
        for (const Service& s : serviceTable())
            if (lower(import.dll) == s.dll && import.name == s.name) found = &s;
        if (!found) {
            missing += (missing.empty() ? "" : ", ") + name;
            continue;
        }
        uint32_t address = 0;
        if (!found->run) {
            address = dataImportAddress(*this, import.name);
        } else if (slotOf.count(found)) {
            address = slotOf[found];
        } else {
            if ((slots_.size() + 1) * 16 > STUB_SIZE) return error = "too many imports", false;
            address = STUB_BASE + 16 * static_cast<uint32_t>(slots_.size());
            slots_.push_back(found);
            slotOf[found] = address;
            uint8_t* code = at(address, 3);
            uint32_t pop = found->stdcall ? 4 * found->argCount : 0;
            code[0] = pop ? 0xC2 : 0xC3;  // ret imm16 / ret
            code[1] = static_cast<uint8_t>(pop);
            code[2] = static_cast<uint8_t>(pop >> 8);
        }
        write32(base + import.slotRva, address);
    }
    if (!missing.empty()) return error = "cannot bind the imports " + missing + ": this host does not provide them", false;
    return true;
}

void Machine::setUpThread() {
    // Segments: flat code and data, and FS over the thread block. SS is
    // loaded first so that the stack is 32-bit before FS makes the CPU
    // re-read it.
    const uint64_t gdt[] = {0, descriptor(0, 0xFFFFF, 0x9B, true), descriptor(0, 0xFFFFF, 0x93, true),
                            descriptor(TEB_ADDRESS, 0xFFF, 0x93, false)};
    std::memcpy(at(SYSTEM_BASE, sizeof gdt), gdt, sizeof gdt);
    uc_x86_mmr gdtr{0, SYSTEM_BASE, sizeof gdt - 1, 0};
    uc_reg_write(uc, UC_X86_REG_GDTR, &gdtr);
    setReg(UC_X86_REG_SS, 0x10);
    setReg(UC_X86_REG_DS, 0x10);
    setReg(UC_X86_REG_ES, 0x10);
    setReg(UC_X86_REG_GS, 0x10);
    setReg(UC_X86_REG_FS, 0x18);

    write32(TEB_ADDRESS + 0x00, 0xFFFFFFFFu);  // no exception handler frame
    write32(TEB_ADDRESS + 0x04, STACK_BASE + STACK_SIZE);
    write32(TEB_ADDRESS + 0x08, STACK_BASE);
    write32(TEB_ADDRESS + 0x18, TEB_ADDRESS);
    write32(TEB_ADDRESS + 0x20, 0x1000);  // process id
    write32(TEB_ADDRESS + 0x24, 0x1004);  // thread id
    write32(TEB_ADDRESS + 0x2C, TLS_ARRAY);
    write32(TEB_ADDRESS + 0x30, PEB_ADDRESS);

    // Windows' floating-point state at thread start.
    setReg(UC_X86_REG_FPCW, 0x27F);
    setReg(UC_X86_REG_FPTAG, 0xFFFF);
    setReg(UC_X86_REG_MXCSR, 0x1F80);
    uint32_t cr0 = reg(UC_X86_REG_CR0);
    setReg(UC_X86_REG_CR0, (cr0 & ~0x4u) | 0x2u);  // no x87 emulation trap, monitor coprocessor
    setReg(UC_X86_REG_CR4, reg(UC_X86_REG_CR4) | 0x600u);  // SSE enabled by the system
}

bool Machine::startRuntime(std::string& error) {
    auto relocated = [&](uint32_t va) { return va - image.imageBase + base; };
    if (image.tls.present) {
        uint32_t raw = image.tls.rawEnd - image.tls.rawStart, total = raw + image.tls.zeroFill;
        uint8_t* block = at(TLS_BLOCK, total);
        const uint8_t* source = at(relocated(image.tls.rawStart), raw);
        if (!block || (raw && !source)) return error = "the TLS template does not fit", false;
        std::memcpy(block, source, raw);
        std::memset(block + raw, 0, image.tls.zeroFill);
        write32(TLS_ARRAY, TLS_BLOCK);
        write32(relocated(image.tls.indexAddress), 0);
        for (uint32_t at = relocated(image.tls.callbacks); image.tls.callbacks && read32(at); at += 4)
            if (!call(read32(at), {base, 1, 0}, true, nullptr, "a TLS callback"))
                return error = faults.back(), false;
    }
    if (image.entryPoint) {
        uint32_t ok = 0;
        if (!call(base + image.entryPoint, {base, 1, 0}, true, &ok, "the entry point")) return error = faults.back(), false;
        if (!ok) return error = "the entry point answered FALSE", false;
    }
    return true;
}

bool Machine::start(const std::string& path, bool withSse2, uint32_t loadBase, std::string& error) {
    sse2 = withSse2;
    if (!readPeImage(path, image, error)) return false;
    base = loadBase ? loadBase : (image.imageBase == 0x30000000u ? 0x34000000u : 0x30000000u);
    if (base & 0xFFFF) return error = "a load base must be 64 KiB aligned", false;
    if (base < HOST_BASE + HOST_SIZE || base + image.sizeOfImage > HEAP_BASE)
        return error = "the image does not fit between " + hex(HOST_BASE + HOST_SIZE) + " and " + hex(HEAP_BASE), false;
    uc_err err = uc_open(UC_ARCH_X86, UC_MODE_32, &uc);
    if (err != UC_ERR_OK) return error = std::string("the emulator cannot start: ") + uc_strerror(err), false;
    uint8_t* heapMemory = nullptr;
    if (!map(STUB_BASE, 0x10000, UC_PROT_READ | UC_PROT_EXEC, error) ||
        !map(SYSTEM_BASE, SYSTEM_SIZE, UC_PROT_READ | UC_PROT_WRITE, error) ||
        !map(STACK_BASE, STACK_SIZE, UC_PROT_READ | UC_PROT_WRITE, error) ||
        !map(HOST_BASE, HOST_SIZE, UC_PROT_READ | UC_PROT_WRITE, error) ||
        !map(HEAP_BASE, HEAP_SIZE, UC_PROT_READ | UC_PROT_WRITE, error, &heapMemory) || !mapImage(error))
        return false;
    heap.attach(heapMemory);
    *at(STOP_ADDRESS, 1) = 0xF4;  // hlt: never run, the stop comes first
    std::memcpy(at(INITTERM_ADDRESS, sizeof kInitTerm), kInitTerm, sizeof kInitTerm);

    uc_hook_add(uc, &hooks_[0], UC_HOOK_CODE, reinterpret_cast<void*>(serviceHook), this, STUB_BASE,
                STUB_BASE + STUB_SIZE - 1);
    uc_hook_add(uc, &hooks_[1], UC_HOOK_INSN, reinterpret_cast<void*>(cpuidHook), this, 1, 0, UC_X86_INS_CPUID);
    uc_hook_add(uc, &hooks_[2], UC_HOOK_MEM_INVALID, reinterpret_cast<void*>(invalidMemoryHook), this, 1, 0);
    uc_hook_add(uc, &hooks_[3], UC_HOOK_MEM_READ, reinterpret_cast<void*>(neverHook), this, 0xFFFFFFF0u, 0xFFFFFFF0u);

    if (!sse2)
        for (const PeSection& s : image.sections)
            if (s.characteristics & 0x20000000u)
                uc_hook_add(uc, &hooks_[4], UC_HOOK_CODE, reinterpret_cast<void*>(noSseHook), this, base + s.rva,
                            base + s.rva + s.virtualSize - 1);

    // The return callback is one more slot, reached by the host's pointer.
    static const Service callback{"", "the host's return callback", 4, true,
                                  [](Machine& m) -> uint32_t {
                                      if (m.onCallback) m.onCallback(m);
                                      return m.reg(UC_X86_REG_EAX);
                                  }};
    callbackSlot = STUB_BASE;
    slots_.push_back(&callback);
    uint8_t* code = at(callbackSlot, 3);
    code[0] = 0xC2, code[1] = 16, code[2] = 0;  // ret 16

    if (!bindImports(error)) return false;
    setUpThread();
    return startRuntime(error);
}

uint32_t initTermAddress() { return INITTERM_ADDRESS; }
