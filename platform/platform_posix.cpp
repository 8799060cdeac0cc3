// POSIX stand-ins for the Windows services of platform.h.
#include "platform.h"
#include "platform_test.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

struct StringEntry {
    UINT id;
    const char* text;
};

const StringEntry kStringTable[] = {
#define OV_STRING(id, text) {id, text},
#include "../resources/strings.def"
#undef OV_STRING
};

// A 32-bit process cannot hold a block this large; refusing it keeps the
// POSIX build's answers (message 913) the same as the DLL's.
SIZE_T largestBlock = 0x40000000;

long failAt = 0;
long live = 0;
long calls = 0;
bool logging = false;
std::vector<const void*> released;
bool loggingAllocations = false;
std::vector<platform_test::Allocation> allocations;

}  // namespace

namespace {

void* allocate(UINT flags, SIZE_T bytes) {
    ++calls;
    if (failAt > 0 && --failAt == 0) return nullptr;
    if (bytes >= largestBlock) return nullptr;
    // Windows hands out a unique block even for 0 bytes. Not calloc (nor
    // malloc and memset, which the compiler turns into calloc): glibc's calloc
    // bypasses the per-thread cache of small blocks, and most calls take and
    // free a few small blocks that the cache would otherwise hand back.
    void* block = ::operator new(bytes ? bytes : 1, std::nothrow);
    if (!block) return nullptr;
    if (flags & GMEM_ZEROINIT) std::memset(block, 0, bytes ? bytes : 1);
    ++live;
    return block;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
    void* block = allocate(flags, bytes);
    if (loggingAllocations) allocations.push_back({bytes, block});
    return block;
}

HGLOBAL GlobalFree(HGLOBAL block) {
    if (block) {
        --live;
        if (logging) released.push_back(block);
        ::operator delete(block);
    }
    return nullptr;
}

int LoadStringA(HINSTANCE, UINT id, char* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    for (const StringEntry& entry : kStringTable) {
        if (entry.id != id) continue;
        lstrcpynA(buffer, entry.text, size);
        return lstrlenA(buffer);
    }
    buffer[0] = '\0';
    return 0;
}

namespace {

// Windows-1252 upper-casing: a-z, the accented small letters 0xE0-0xFE (but
// the division sign 0xF7) move down by 0x20; š, œ, ž and ÿ have their
// capitals at 0x8A, 0x8C, 0x8E and 0x9F. ß and µ have no capital in the code
// page. Every other byte maps to itself.
struct UpperCaseMap {
    unsigned char of[256];
    constexpr UpperCaseMap() : of() {
        for (int c = 0; c < 256; ++c) {
            if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) of[c] = static_cast<unsigned char>(c - 0x20);
            else if (c == 0x9A || c == 0x9C || c == 0x9E) of[c] = static_cast<unsigned char>(c - 0x10);
            else if (c == 0xFF) of[c] = 0x9F;
            else of[c] = static_cast<unsigned char>(c);
        }
    }
};
constexpr UpperCaseMap kUpperCase;

}  // namespace

char* CharUpperA(char* text) {
    for (unsigned char* p = reinterpret_cast<unsigned char*>(text); *p; ++p) *p = kUpperCase.of[*p];
    return text;
}

int lstrlenA(const char* text) {
    return text ? static_cast<int>(std::strlen(text)) : 0;
}

char* lstrcpynA(char* target, const char* source, int max) {
    if (max <= 0) return target;
    int i = 0;
    for (; i < max - 1 && source[i]; ++i) target[i] = source[i];
    target[i] = '\0';
    return target;
}

namespace {

// Windows compares strings by the user's locale, not by bytes. Where that
// matters to the library (is it 0?), Windows-1252 text differs from a byte
// comparison in a few characters only: the soft hyphen counts for nothing,
// the ligatures and thorn count as their two letters, and 0x88 as the
// circumflex. FoldedText reads a text folded that way, byte by byte.
class FoldedText {
public:
    explicit FoldedText(const char* text) : at_(reinterpret_cast<const unsigned char*>(text)) {}

    // The next byte of the folded text, or -1 at its end.
    int next() {
        if (*pending_) return static_cast<unsigned char>(*pending_++);
        for (;;) {
            unsigned char c = *at_;
            if (!c) return -1;
            ++at_;
            switch (c) {
            case 0xAD: continue;
            case 0xC6: pending_ = "E"; return 'A';
            case 0xE6: pending_ = "e"; return 'a';
            case 0x8C: pending_ = "E"; return 'O';
            case 0x9C: pending_ = "e"; return 'o';
            case 0xDE: pending_ = "H"; return 'T';
            case 0xFE: pending_ = "h"; return 't';
            case 0xDF: pending_ = "s"; return 's';
            case 0x88: return '^';
            default: return c;
            }
        }
    }

private:
    const unsigned char* at_;
    const char* pending_ = "";
};

bool equalWhenFolded(const char* left, const char* right) {
    FoldedText a(left), b(right);
    for (;;) {
        int x = a.next();
        if (x != b.next()) return false;
        if (x < 0) return true;
    }
}

}  // namespace

int lstrcmpA(const char* left, const char* right) {
    int order = std::strcmp(left, right);
    if (order != 0 && equalWhenFolded(left, right)) return 0;
    return (order > 0) - (order < 0);
}

namespace platform_test {

void failAllocation(long nth) { failAt = nth; }
void setLargestBlock(size_t bytes) { largestBlock = bytes; }
long liveBlocks() { return live; }
long allocationCalls() { return calls; }
const std::vector<const void*>& releaseLog() { return released; }
void startReleaseLog() {
    released.clear();
    logging = true;
}
const std::vector<Allocation>& allocationLog() { return allocations; }
void startAllocationLog() {
    allocations.clear();
    loggingAllocations = true;
}
void stopHeapLogs() {
    logging = false;
    loggingAllocations = false;
}

}  // namespace platform_test
