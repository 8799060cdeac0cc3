// POSIX stand-ins for the Windows services of platform.h.
#include "platform.h"
#include "platform_test.h"

#include <cstdlib>
#include <cstring>
#include <string>

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

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
    ++calls;
    if (failAt > 0 && --failAt == 0) return nullptr;
    if (bytes >= largestBlock) return nullptr;
    // Windows hands out a unique block even for 0 bytes.
    void* block = (flags & GMEM_ZEROINIT) ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1);
    if (block) ++live;
    return block;
}

HGLOBAL GlobalFree(HGLOBAL block) {
    if (block) {
        --live;
        if (logging) released.push_back(block);
        std::free(block);
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

char* CharUpperA(char* text) {
    // Windows-1252: a-z, the accented small letters 0xE0-0xFE (but the
    // division sign 0xF7) move down by 0x20; š, œ, ž and ÿ have their capitals
    // at 0x8A, 0x8C, 0x8E and 0x9F. ß and µ have no capital in the code page.
    for (unsigned char* p = reinterpret_cast<unsigned char*>(text); *p; ++p) {
        unsigned char c = *p;
        if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) *p = c - 0x20;
        else if (c == 0x9A || c == 0x9C || c == 0x9E) *p = c - 0x10;
        else if (c == 0xFF) *p = 0x9F;
    }
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
// circumflex. The text is folded that way before it is compared.
std::string foldForComparison(const char* text) {
    std::string folded;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        switch (*p) {
        case 0xAD: break;
        case 0xC6: folded += "AE"; break;
        case 0xE6: folded += "ae"; break;
        case 0x8C: folded += "OE"; break;
        case 0x9C: folded += "oe"; break;
        case 0xDE: folded += "TH"; break;
        case 0xFE: folded += "th"; break;
        case 0xDF: folded += "ss"; break;
        case 0x88: folded += '^'; break;
        default: folded += static_cast<char>(*p); break;
        }
    }
    return folded;
}

}  // namespace

int lstrcmpA(const char* left, const char* right) {
    int order = std::strcmp(left, right);
    if (order != 0 && foldForComparison(left) == foldForComparison(right)) return 0;
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

}  // namespace platform_test
