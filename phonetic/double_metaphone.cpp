// Double Metaphone: the engine. It copies the name into an upper-cased
// working string, walks it from left to right handing each character to its
// letter rule (double_metaphone_rules_*.cpp), and answers the primary and the
// secondary code as "primary TAB secondary".
#include "double_metaphone.h"

#include <cstring>

#include "../extender/script_functions.h"

namespace {

const int32_t kCodeCapacity = 256;  // 255 characters and the NUL

// Room for the whole working string even when the name is longer than a
// code buffer holds; such a name gets no blanks (the append is refused).
int32_t capacityFor(int32_t initialLength) {
    return initialLength < kCodeCapacity ? kCodeCapacity : initialLength + 1;
}

// W, K or the pair CZ anywhere in the text.
bool containsSlavoGermanic(const char* text) {
    for (const char* p = text; *p; ++p)
        if (*p == 'W' || *p == 'K' || (*p == 'C' && p[1] == 'Z')) return true;
    return false;
}

// A buffer holding the `length` characters of `initial` (see
// createCodeBuffer), for a caller that has measured them already.
CodeBuffer* createCodeBufferOfLength(const char* initial, int32_t length) {
    CodeBuffer* buffer = static_cast<CodeBuffer*>(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, sizeof(CodeBuffer)));
    if (!buffer) return nullptr;
    buffer->count = length;
    buffer->capacity = capacityFor(length);
    buffer->text = static_cast<char*>(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, static_cast<SIZE_T>(buffer->capacity)));
    if (!buffer->text) {
        GlobalFree(buffer);
        return nullptr;
    }
    // The text is zero-filled, so an empty initial text needs no copy.
    if (length > 0) std::memcpy(buffer->text, initial, static_cast<size_t>(length) + 1);
    return buffer;
}

// Hands the character at current to its rule set. Every byte that is not
// A-Z, Ç or Ñ gives no code.
void encodeNext(DoubleMetaphone& dm) {
    switch (static_cast<unsigned char>(dm.charAt(dm.current))) {
    case 'A': case 'E': case 'I': case 'O': case 'U': case 'Y':
        dm.encodeVowel();
        break;
    case 'B': dm.encodeB(); break;
    case 'C': dm.encodeC(); break;
    case 'D': dm.encodeD(); break;
    case 'F': dm.encodeF(); break;
    case 'G': dm.encodeG(); break;
    case 'H': dm.encodeH(); break;
    case 'J': dm.encodeJ(); break;
    case 'K': dm.encodeK(); break;
    case 'L': dm.encodeL(); break;
    case 'M': dm.encodeM(); break;
    case 'N': dm.encodeN(); break;
    case 'P': dm.encodeP(); break;
    case 'Q': dm.encodeQ(); break;
    case 'R': dm.encodeR(); break;
    case 'S': dm.encodeS(); break;
    case 'T': dm.encodeT(); break;
    case 'V': dm.encodeV(); break;
    case 'W': dm.encodeW(); break;
    case 'X': dm.encodeX(); break;
    case 'Z': dm.encodeZ(); break;
    case 0xC7: dm.encodeCCedilla(); break;
    case 0xD1: dm.encodeNTilde(); break;
    default: dm.current += 1; break;
    }
}

// Releases the working string and the two codes, in that order.
void releaseEncoding(DoubleMetaphone& dm) {
    releaseCodeBuffer(dm.working);
    releaseCodeBuffer(dm.primaryCode);
    releaseCodeBuffer(dm.secondaryCode);
    dm.working = dm.primaryCode = dm.secondaryCode = nullptr;
}

// Encodes a non-empty `name` with the clamped limit into dm's two codes.
// False when a buffer could not be created; dm then holds nothing.
bool encodeName(DoubleMetaphone& dm, const char* name, int32_t maxlength) {
    dm = DoubleMetaphone();
    dm.maxlength = maxlength;
    dm.primaryCode = createCodeBufferOfLength("", 0);
    dm.secondaryCode = dm.primaryCode ? createCodeBufferOfLength("", 0) : nullptr;
    dm.current = 0;
    dm.length = static_cast<int32_t>(std::strlen(name));
    dm.last = dm.length - 1;
    dm.working = dm.secondaryCode ? createCodeBufferOfLength(name, dm.length) : nullptr;
    if (!dm.working) {
        releaseEncoding(dm);
        return false;
    }
    // Refused for a name of more than 250 characters: its end is then not
    // followed by a blank.
    appendCodeBuffer(dm.working, "     ");
    CharUpperA(dm.working->text);
    dm.slavoGermanic = containsSlavoGermanic(dm.working->text);

    // The first letter of these pairs is silent.
    if (dm.matchAt(0, 2, "GN", "KN", "PN", "WR", "PS")) dm.current = 1;
    // An initial X sounds as S.
    if (dm.charAt(0) == 'X') {
        dm.addCodes("S", "S");
        dm.current += 1;
    }

    // The limit only stops the loop; a code is never cut to it.
    while ((dm.primaryCode->count < dm.maxlength || dm.secondaryCode->count < dm.maxlength) &&
           dm.current < dm.length)
        encodeNext(dm);
    return true;
}

}  // namespace

CodeBuffer* createCodeBuffer(const char* initial) {
    if (!initial) initial = "";
    return createCodeBufferOfLength(initial, static_cast<int32_t>(std::strlen(initial)));
}

void releaseCodeBuffer(CodeBuffer* buffer) {
    if (!buffer) return;
    if (buffer->text) GlobalFree(buffer->text);
    GlobalFree(buffer);
}

// ovDoubleMetaphone(name, maxlength): "primary TAB secondary" in a scratch
// block. maxlength is clamped to 4..255 and the clamped value is written back
// into the argument; the name's own text is left as it was. Neutral result:
// the empty string (maxlength not an integer or below 1, name not a string or
// empty, or a working buffer refused by the heap).
void ovDoubleMetaphone(CallResult* result, int32_t argCount, HostValue* args) {
    setStringResult(result, kEmptyString);
    normalizeArgTypes(argCount, args);
    if (!argIs(argCount, args, 1, TYPE_INTEGER) || args[1].intValue < 1) return;
    int32_t maxlength = args[1].intValue > 4 ? args[1].intValue : 4;
    if (maxlength >= 255) maxlength = 255;
    args[1].intValue = maxlength;
    if (!argIs(argCount, args, 0, TYPE_STRING) || args[0].stringValue[0] == '\0') return;

    DoubleMetaphone dm;
    if (!encodeName(dm, args[0].stringValue, maxlength)) return;

    // A code's count is its text length.
    int32_t primaryLength = dm.primaryCode->count;
    int32_t secondaryLength = dm.secondaryCode->count;
    char* text = static_cast<char*>(allocScratch(result, primaryLength + secondaryLength + 2));
    if (!text) {
        releaseEncoding(dm);
        return;
    }
    // Codes are a few characters long: copied byte by byte, into a block
    // that is zero-filled and so already ends with the NUL.
    char* at = text;
    for (int32_t k = 0; k < primaryLength; ++k) *at++ = dm.primaryCode->text[k];
    *at++ = '\t';
    for (int32_t k = 0; k < secondaryLength; ++k) *at++ = dm.secondaryCode->text[k];
    setStringResult(result, text);
    releaseEncoding(dm);
}
