// The Windows and C runtime services the emulated DLL imports, answered on
// the host. The library's own services (CharUpperA, lstrcmpA, lstrcpynA) are
// the POSIX stand-ins the native build uses, run on the emulated memory in
// place; the heap is the guest heap, with its guards and refusals; the
// strings come from the DLL's own string table resource.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../../platform/platform.h"
#include "emulated_machine.h"

uint32_t initTermAddress();

namespace {

const uint32_t RUNTIME_DATA = SYSTEM_BASE + 0x8000;
const uint32_t AT_MB_CUR_MAX = RUNTIME_DATA, AT_ERRNO = RUNTIME_DATA + 0x10, AT_C_LOCALE = RUNTIME_DATA + 0x20,
               AT_UNKNOWN_ERROR = RUNTIME_DATA + 0x30, AT_POINT = RUNTIME_DATA + 0x40, AT_EMPTY = RUNTIME_DATA + 0x42,
               AT_LCONV = RUNTIME_DATA + 0x100, AT_IOB = RUNTIME_DATA + 0x200;

// Host memory for `length` bytes of guest memory, or null after stopping
// the call with a fault naming the service.
uint8_t* memory(Machine& m, uint32_t address, uint32_t length, const char* service) {
    uint8_t* p = length ? m.at(address, length) : m.at(address, 1);
    if (!p) {
        char text[160];
        std::snprintf(text, sizeof text, "%s given %u bytes at 0x%08X, outside mapped memory", service, length, address);
        m.stop(text);
    }
    return p;
}

char* text(Machine& m, uint32_t address, const char* service) {
    std::string ignored;
    if (!m.readString(address, ignored)) {
        char what[160];
        std::snprintf(what, sizeof what, "%s given a string at 0x%08X that does not end in mapped memory", service, address);
        m.stop(what);
        return nullptr;
    }
    return reinterpret_cast<char*>(m.at(address, 1));
}

uint32_t nothing(Machine&) { return 0; }
uint32_t one(Machine&) { return 1; }

// Protection as Windows numbers it, from the emulator's.
uint32_t windowsProtection(uint32_t perms) {
    bool r = perms & UC_PROT_READ, w = perms & UC_PROT_WRITE, x = perms & UC_PROT_EXEC;
    if (x) return w ? 0x40 : r ? 0x20 : 0x10;
    return w ? 0x04 : r ? 0x02 : 0x01;
}

bool regionOf(Machine& m, uint32_t address, uc_mem_region& found) {
    uc_mem_region* regions = nullptr;
    uint32_t count = 0;
    bool ok = false;
    if (uc_mem_regions(m.uc, &regions, &count) != UC_ERR_OK) return false;
    for (uint32_t i = 0; i < count; ++i)
        if (address >= regions[i].begin && address <= regions[i].end) found = regions[i], ok = true;
    uc_free(regions);
    return ok;
}

uint32_t virtualQuery(Machine& m) {
    uint32_t address = m.arg(0), info = m.arg(1), length = m.arg(2);
    uc_mem_region region;
    if (length < 28 || !regionOf(m, address, region) || !memory(m, info, 28, "VirtualQuery")) return 0;
    bool image = address >= m.base && address - m.base < m.image.sizeOfImage;
    uint32_t page = address & ~0xFFFu, protection = windowsProtection(region.perms);
    const uint32_t fields[7] = {page, static_cast<uint32_t>(region.begin), protection,
                                static_cast<uint32_t>(region.end + 1 - page), 0x1000, protection,
                                image ? 0x1000000u : 0x20000u};
    std::memcpy(m.at(info, 28), fields, 28);
    return 28;
}

uint32_t virtualProtect(Machine& m) {
    uint32_t address = m.arg(0), size = m.arg(1), wanted = m.arg(2), old = m.arg(3);
    uc_mem_region region;
    if (!regionOf(m, address, region) || !memory(m, old, 4, "VirtualProtect")) return 0;
    m.write32(old, windowsProtection(region.perms));
    uint32_t perms = 0;
    switch (wanted & 0xFF) {
    case 0x02: perms = UC_PROT_READ; break;
    case 0x04: case 0x08: perms = UC_PROT_READ | UC_PROT_WRITE; break;
    case 0x10: perms = UC_PROT_EXEC; break;
    case 0x20: perms = UC_PROT_READ | UC_PROT_EXEC; break;
    case 0x40: case 0x80: perms = UC_PROT_ALL; break;
    default: perms = UC_PROT_NONE;
    }
    uint32_t first = address & ~0xFFFu, end = (address + size + 0xFFF) & ~0xFFFu;
    return uc_mem_protect(m.uc, first, end - first, perms) == UC_ERR_OK;
}

uint32_t globalAlloc(Machine& m) {
    uint32_t flags = m.arg(0), bytes = m.arg(1);
    ++m.allocationCalls;
    if (m.failAt && m.allocationCalls == m.failAt) return 0;
    if (flags & 0x0002) {  // GMEM_MOVEABLE answers a handle, not memory
        m.fault("GlobalAlloc asked for a moveable block");
        return 0;
    }
    return m.heap.allocate(bytes, flags & 0x0040, GuestHeap::GLOBAL);
}

uint32_t globalFree(Machine& m) {
    uint32_t block = m.arg(0);
    if (!block) return 0;
    std::string problem = m.heap.release(block, GuestHeap::GLOBAL);
    if (problem.empty()) return 0;
    m.fault(problem);
    return block;
}

uint32_t loadString(Machine& m) {
    uint32_t module = m.arg(0), id = m.arg(1), buffer = m.arg(2);
    int32_t size = static_cast<int32_t>(m.arg(3));
    std::u16string units;
    if (size <= 0 || !memory(m, buffer, static_cast<uint32_t>(size), "LoadStringA")) return 0;
    if (module != m.base || !resourceString(m.at(m.base, 1), m.image.sizeOfImage, m.image.resourceRva, id, units)) {
        m.at(buffer, 1)[0] = 0;
        return 0;
    }
    uint32_t count = std::min<uint32_t>(static_cast<uint32_t>(units.size()), static_cast<uint32_t>(size - 1));
    uint8_t* out = m.at(buffer, count + 1);
    for (uint32_t i = 0; i < count; ++i) out[i] = units[i] < 0x100 ? static_cast<uint8_t>(units[i]) : '?';
    out[count] = 0;
    return count;
}

uint32_t charUpper(Machine& m) {
    uint32_t argument = m.arg(0);
    if (argument >> 16 == 0) {  // one character in the low word
        char one[2] = {static_cast<char>(argument & 0xFF), 0};
        CharUpperA(one);
        return static_cast<uint8_t>(one[0]);
    }
    char* s = text(m, argument, "CharUpperA");
    if (s) CharUpperA(s);
    return argument;
}

uint32_t compareStrings(Machine& m) {
    char* left = text(m, m.arg(0), "lstrcmpA");
    char* right = left ? text(m, m.arg(1), "lstrcmpA") : nullptr;
    return right ? static_cast<uint32_t>(lstrcmpA(left, right)) : 0;
}

uint32_t copyString(Machine& m) {
    uint32_t target = m.arg(0);
    int32_t max = static_cast<int32_t>(m.arg(2));
    char* source = text(m, m.arg(1), "lstrcpynA");
    if (!source || max <= 0) return source ? target : 0;
    uint32_t length = std::min<uint32_t>(static_cast<uint32_t>(std::strlen(source)), static_cast<uint32_t>(max - 1));
    uint8_t* out = memory(m, target, length + 1, "lstrcpynA");
    if (!out) return 0;
    lstrcpynA(reinterpret_cast<char*>(out), source, static_cast<int>(length + 1));
    return target;
}

uint32_t multiByteToWide(Machine& m) {
    uint32_t source = m.arg(2), target = m.arg(4);
    int32_t length = static_cast<int32_t>(m.arg(3)), room = static_cast<int32_t>(m.arg(5));
    if (length < 0) {
        char* s = text(m, source, "MultiByteToWideChar");
        if (!s) return 0;
        length = static_cast<int32_t>(std::strlen(s) + 1);
    }
    const uint8_t* in = memory(m, source, static_cast<uint32_t>(length), "MultiByteToWideChar");
    if (!in || room == 0) return in ? static_cast<uint32_t>(length) : 0;
    if (room < length) return m.lastError = 122, 0;
    uint8_t* out = memory(m, target, 2 * static_cast<uint32_t>(length), "MultiByteToWideChar");
    for (int32_t i = 0; out && i < length; ++i) out[2 * i] = in[i], out[2 * i + 1] = 0;
    return out ? static_cast<uint32_t>(length) : 0;
}

uint32_t wideToMultiByte(Machine& m) {
    uint32_t source = m.arg(2), target = m.arg(4);
    int32_t length = static_cast<int32_t>(m.arg(3)), room = static_cast<int32_t>(m.arg(5));
    if (length < 0) {
        length = 0;
        while (const uint8_t* p = memory(m, source + 2 * length, 2, "WideCharToMultiByte")) {
            ++length;
            if (!p[0] && !p[1]) break;
        }
    }
    const uint8_t* in = memory(m, source, 2 * static_cast<uint32_t>(length), "WideCharToMultiByte");
    if (!in || room == 0) return in ? static_cast<uint32_t>(length) : 0;
    if (room < length) return m.lastError = 122, 0;
    uint8_t* out = memory(m, target, static_cast<uint32_t>(length), "WideCharToMultiByte");
    for (int32_t i = 0; out && i < length; ++i) out[i] = in[2 * i + 1] ? '?' : in[2 * i];
    return out ? static_cast<uint32_t>(length) : 0;
}

uint32_t runtimeAllocate(Machine& m, uint32_t bytes, bool zero) {
    return m.heap.allocate(bytes, zero, GuestHeap::RUNTIME);
}

uint32_t runtimeFree(Machine& m, uint32_t block) {
    if (!block) return 0;
    std::string problem = m.heap.release(block, GuestHeap::RUNTIME);
    if (!problem.empty()) m.fault(problem);
    return 0;
}

uint32_t reallocate(Machine& m) {
    uint32_t block = m.arg(0), bytes = m.arg(1);
    if (!block) return runtimeAllocate(m, bytes, false);
    if (!bytes) return runtimeFree(m, block);
    uint32_t fresh = runtimeAllocate(m, bytes, false);
    if (!fresh) return 0;
    uint32_t keep = std::min(bytes, m.heap.sizeOf(block));
    if (keep) std::memcpy(m.at(fresh, keep), m.at(block, keep), keep);
    runtimeFree(m, block);
    return fresh;
}

// Text the C runtime writes (only on its own failures): shown, and a fault.
uint32_t runtimeOutput(Machine& m, const char* service, const std::string& written) {
    std::fprintf(stderr, "ovrin.dll (emulated) %s: %s\n", service, written.c_str());
    m.fault(std::string("the DLL wrote to a stream with ") + service);
    return 0;
}

uint32_t copyBytes(Machine& m, const char* service) {
    uint32_t target = m.arg(0), source = m.arg(1), count = m.arg(2);
    uint8_t* out = memory(m, target, count, service);
    const uint8_t* in = out ? memory(m, source, count, service) : nullptr;
    if (in && count) std::memmove(out, in, count);
    return target;
}

const std::vector<Service> kServices = {
    {"kernel32.dll", "DeleteCriticalSection", 1, true, nothing},
    {"kernel32.dll", "EnterCriticalSection", 1, true, nothing},
    {"kernel32.dll", "InitializeCriticalSection", 1, true, nothing},
    {"kernel32.dll", "LeaveCriticalSection", 1, true, nothing},
    {"kernel32.dll", "FreeLibrary", 1, true, one},
    {"kernel32.dll", "GetLastError", 0, true, [](Machine& m) { return m.lastError; }},
    {"kernel32.dll", "GetModuleHandleA", 1, true, [](Machine& m) { return m.arg(0) ? (m.lastError = 126, 0u) : m.base; }},
    {"kernel32.dll", "GetModuleHandleW", 1, true, [](Machine& m) { return m.arg(0) ? (m.lastError = 126, 0u) : m.base; }},
    {"kernel32.dll", "GetProcAddress", 2, true, [](Machine& m) { return m.lastError = 127, 0u; }},
    {"kernel32.dll", "LoadLibraryA", 1, true, [](Machine& m) { return m.lastError = 126, 0u; }},
    {"kernel32.dll", "GlobalAlloc", 2, true, globalAlloc},
    {"kernel32.dll", "GlobalFree", 1, true, globalFree},
    {"kernel32.dll", "IsDBCSLeadByteEx", 2, true, nothing},
    {"kernel32.dll", "MultiByteToWideChar", 6, true, multiByteToWide},
    {"kernel32.dll", "WideCharToMultiByte", 8, true, wideToMultiByte},
    {"kernel32.dll", "Sleep", 1, true, nothing},
    {"kernel32.dll", "TlsGetValue", 1, true, nothing},
    {"kernel32.dll", "VirtualProtect", 4, true, virtualProtect},
    {"kernel32.dll", "VirtualQuery", 3, true, virtualQuery},
    {"kernel32.dll", "lstrcmpA", 2, true, compareStrings},
    {"kernel32.dll", "lstrcpynA", 3, true, copyString},
    {"user32.dll", "CharUpperA", 1, true, charUpper},
    {"user32.dll", "LoadStringA", 4, true, loadString},
    {"msvcrt.dll", "__mb_cur_max", 0, false, nullptr},
    {"msvcrt.dll", "_iob", 0, false, nullptr},
    {"msvcrt.dll", "_initterm", 2, false, nullptr},
    {"msvcrt.dll", "_amsg_exit", 1, false,
     [](Machine& m) { return m.stop("the C runtime gave up (_amsg_exit " + std::to_string(m.arg(0)) + ")"), 0u; }},
    {"msvcrt.dll", "abort", 0, false, [](Machine& m) { return m.stop("abort() was called"), 0u; }},
    {"msvcrt.dll", "_errno", 0, false, [](Machine&) { return AT_ERRNO; }},
    {"msvcrt.dll", "_lock", 1, false, nothing},
    {"msvcrt.dll", "_unlock", 1, false, nothing},
    {"msvcrt.dll", "atoi", 1, false,
     [](Machine& m) {
         char* s = text(m, m.arg(0), "atoi");
         return s ? static_cast<uint32_t>(std::atoi(s)) : 0u;
     }},
    {"msvcrt.dll", "calloc", 2, false,
     [](Machine& m) {
         uint64_t bytes = static_cast<uint64_t>(m.arg(0)) * m.arg(1);
         return bytes >> 32 ? 0u : runtimeAllocate(m, static_cast<uint32_t>(bytes), true);
     }},
    {"msvcrt.dll", "malloc", 1, false, [](Machine& m) { return runtimeAllocate(m, m.arg(0), false); }},
    {"msvcrt.dll", "free", 1, false, [](Machine& m) { return runtimeFree(m, m.arg(0)); }},
    {"msvcrt.dll", "realloc", 2, false, reallocate},
    {"msvcrt.dll", "fputc", 2, false,
     [](Machine& m) { return runtimeOutput(m, "fputc", std::string(1, static_cast<char>(m.arg(0)))), m.arg(0); }},
    {"msvcrt.dll", "fwrite", 4, false,
     [](Machine& m) {
         uint32_t bytes = m.arg(1) * m.arg(2);
         const uint8_t* p = memory(m, m.arg(0), bytes, "fwrite");
         if (p) runtimeOutput(m, "fwrite", std::string(reinterpret_cast<const char*>(p), bytes));
         return p ? m.arg(2) : 0u;
     }},
    {"msvcrt.dll", "vfprintf", 3, false,
     [](Machine& m) {
         char* format = text(m, m.arg(1), "vfprintf");
         return format ? runtimeOutput(m, "vfprintf", format) : 0u;
     }},
    {"msvcrt.dll", "localeconv", 0, false, [](Machine&) { return AT_LCONV; }},
    {"msvcrt.dll", "setlocale", 2, false, [](Machine&) { return AT_C_LOCALE; }},
    {"msvcrt.dll", "strerror", 1, false, [](Machine&) { return AT_UNKNOWN_ERROR; }},
    {"msvcrt.dll", "strchr", 2, false,
     [](Machine& m) {
         char* s = text(m, m.arg(0), "strchr");
         if (!s) return 0u;
         const char* found = std::strchr(s, static_cast<int>(m.arg(1) & 0xFF));
         return found ? m.arg(0) + static_cast<uint32_t>(found - s) : 0u;
     }},
    {"msvcrt.dll", "strlen", 1, false,
     [](Machine& m) {
         char* s = text(m, m.arg(0), "strlen");
         return s ? static_cast<uint32_t>(std::strlen(s)) : 0u;
     }},
    {"msvcrt.dll", "strncmp", 3, false,
     [](Machine& m) {
         // strncmp reads no further than the first difference or NUL.
         uint32_t a = m.arg(0), b = m.arg(1), n = m.arg(2);
         for (uint32_t i = 0; i < n; ++i) {
             const uint8_t* x = memory(m, a + i, 1, "strncmp");
             const uint8_t* y = x ? memory(m, b + i, 1, "strncmp") : nullptr;
             if (!y) return 0u;
             if (*x != *y) return *x < *y ? 0xFFFFFFFFu : 1u;
             if (!*x) break;
         }
         return 0u;
     }},
    {"msvcrt.dll", "memcpy", 3, false, [](Machine& m) { return copyBytes(m, "memcpy"); }},
    {"msvcrt.dll", "memmove", 3, false, [](Machine& m) { return copyBytes(m, "memmove"); }},
    {"msvcrt.dll", "memset", 3, false,
     [](Machine& m) {
         uint8_t* p = memory(m, m.arg(0), m.arg(2), "memset");
         if (p && m.arg(2)) std::memset(p, static_cast<int>(m.arg(1) & 0xFF), m.arg(2));
         return m.arg(0);
     }},
    {"msvcrt.dll", "wcslen", 1, false,
     [](Machine& m) {
         uint32_t n = 0;
         while (const uint8_t* p = memory(m, m.arg(0) + 2 * n, 2, "wcslen")) {
             if (!p[0] && !p[1]) break;
             ++n;
         }
         return n;
     }},
};

}  // namespace

const std::vector<Service>& serviceTable() { return kServices; }

uint32_t dataImportAddress(Machine& m, const std::string& name) {
    m.write32(AT_MB_CUR_MAX, 1);
    std::memcpy(m.at(AT_C_LOCALE, 2), "C", 2);
    std::memcpy(m.at(AT_UNKNOWN_ERROR, 14), "unknown error", 14);
    std::memcpy(m.at(AT_POINT, 3), ".\0", 3);
    // struct lconv: ten strings, then eight counts "not available".
    for (int i = 0; i < 10; ++i) m.write32(AT_LCONV + 4 * i, i == 0 ? AT_POINT : AT_EMPTY);
    std::memset(m.at(AT_LCONV + 40, 8), 127, 8);
    if (name == "__mb_cur_max") return AT_MB_CUR_MAX;
    if (name == "_iob") return AT_IOB;
    if (name == "_initterm") return initTermAddress();
    return 0;
}
