// POSIX stand-ins for the Windows services of platform.h.
#include "platform.h"

#include "cp1252_case.h"
#include "heap_watch.h"

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

}  // namespace

// A 32-bit process cannot hold a block this large; refusing it keeps the
// POSIX build's answers (message 913) the same as the DLL's.
size_t largestBlock = 0x40000000;
HeapWatch* heapWatch = nullptr;

// The heap: each block carries a 16-byte header (keeping the block 16-byte
// aligned) that records its size class. Freed blocks of up to 256 bytes wait,
// a few per size class, for the next request of their class, as the Windows
// heap's low-fragmentation front end keeps them; the library takes and frees
// a few small blocks on most calls. Under AddressSanitizer every block is
// exactly its size and is returned at once, so that overruns and uses after
// release are caught.
namespace {

#if defined(__SANITIZE_ADDRESS__)
#define OV_EXACT_BLOCKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OV_EXACT_BLOCKS 1
#endif
#endif
#ifdef OV_EXACT_BLOCKS
const bool kReuseBlocks = false;
#else
const bool kReuseBlocks = true;
#endif

const size_t kHeaderBytes = 16;
const size_t kClassBytes = 16;     // a size class holds blocks of up to 16 x class bytes
const size_t kClasses = 16;        // classes 1 to 16: blocks of up to 256 bytes
const int kKeptPerClass = 16;

struct Header {
    size_t sizeClass;  // 1 to kClasses, or 0 for a block that is never kept
};
static_assert(sizeof(Header) <= kHeaderBytes, "the header fits its room");

struct FreeBlock {
    FreeBlock* next;
};
FreeBlock* kept[kClasses + 1];
int keptCount[kClasses + 1];

void* allocate(UINT flags, SIZE_T bytes) {
    if (heapWatch && heapWatch->refuse()) return nullptr;
    if (bytes >= largestBlock) return nullptr;
    // Windows hands out a unique block even for 0 bytes.
    size_t size = bytes ? bytes : 1;
    size_t sizeClass = kReuseBlocks && size <= kClasses * kClassBytes ? (size + kClassBytes - 1) / kClassBytes : 0;
    char* raw;
    if (sizeClass && kept[sizeClass]) {
        raw = reinterpret_cast<char*>(kept[sizeClass]) - kHeaderBytes;
        kept[sizeClass] = kept[sizeClass]->next;
        --keptCount[sizeClass];
    } else {
        raw = static_cast<char*>(
            ::operator new(kHeaderBytes + (sizeClass ? sizeClass * kClassBytes : size), std::nothrow));
        if (!raw) return nullptr;
        reinterpret_cast<Header*>(raw)->sizeClass = sizeClass;
    }
    void* block = raw + kHeaderBytes;
    if (flags & GMEM_ZEROINIT) {
        if (sizeClass) {
            // A block of a size class is cleared whole, sixteen bytes a
            // step: the few steps of a small block cost less than a call
            // of memset.
            uint64_t* words = static_cast<uint64_t*>(block);
            for (size_t k = 0; k < sizeClass * kClassBytes / 8; k += 2) {
                words[k] = 0;
                words[k + 1] = 0;
                __asm__("" : : "r"(words));  // kept as stores, not made into a call of memset
            }
        } else {
            std::memset(block, 0, size);
        }
    }
    if (heapWatch) heapWatch->taken();
    return block;
}

void release(void* block) {
    char* raw = static_cast<char*>(block) - kHeaderBytes;
    size_t sizeClass = reinterpret_cast<Header*>(raw)->sizeClass;
    if (sizeClass && keptCount[sizeClass] < kKeptPerClass) {
        FreeBlock* free = static_cast<FreeBlock*>(block);
        free->next = kept[sizeClass];
        kept[sizeClass] = free;
        ++keptCount[sizeClass];
        return;
    }
    ::operator delete(raw);
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
    void* block = allocate(flags, bytes);
    if (heapWatch) heapWatch->answered(bytes, block);
    return block;
}

HGLOBAL GlobalFree(HGLOBAL block) {
    if (block) {
        if (heapWatch) heapWatch->released(block);
        release(block);
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

// CharUpperA's answers as a table, one look-up a byte.
struct UpperCaseMap {
    unsigned char of[256];
    constexpr UpperCaseMap() : of() {
        for (int c = 0; c < 256; ++c) of[c] = cp1252Upper(static_cast<unsigned char>(c));
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

// Rare (only where a byte from 0x80 up differs), so kept out of line, which
// leaves lstrcmpA small enough to be inlined where it is called.
__attribute__((noinline, cold)) bool equalWhenFolded(const char* left, const char* right) {
    FoldedText a(left), b(right);
    for (;;) {
        int x = a.next();
        if (x != b.next()) return false;
        if (x < 0) return true;
    }
}

}  // namespace

int lstrcmpA(const char* left, const char* right) {
    const unsigned char* a = reinterpret_cast<const unsigned char*>(left);
    const unsigned char* b = reinterpret_cast<const unsigned char*>(right);
    while (*a && *a == *b) ++a, ++b;
    if (*a == *b) return 0;
    // The equal bytes before fold alike, and a byte below 0x80 folds to
    // itself: only a difference at a byte from 0x80 up may fold away.
    if (((*a | *b) & 0x80) && equalWhenFolded(reinterpret_cast<const char*>(a), reinterpret_cast<const char*>(b)))
        return 0;
    return *a < *b ? -1 : 1;
}

