// UTF-8 to and from Windows-1252, the code page the library works in.
// All 256 bytes round-trip: the five bytes that Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for U+0081 and so on, as
// Windows itself maps them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Why a UTF-8 text has no Windows-1252 form (or, for the matching of
// people, no spelling in its Latin letters: latin_spelling.h).
struct EncodingProblem {
    enum Kind { NONE, INVALID_UTF8, UNENCODABLE, NUL_BYTE, NO_LATIN_SPELLING } kind = NONE;
    uint32_t codePoint = 0;  // the character that has no byte (UNENCODABLE, NO_LATIN_SPELLING)
    size_t offset = 0;       // where in the text, in bytes
};

// Writes the Windows-1252 form of the `size` bytes at `text` to `out`,
// which has room for `size` bytes (the form is never longer), and answers
// its length; or answers SIZE_MAX and describes the first problem. A NUL
// byte is a problem too: the library would read it as the end of the name.
size_t utf8ToCp1252(const char* text, size_t size, char* out, EncodingProblem* problem);

// The length of the valid UTF-8 sequence at `text` (1 for an ASCII byte,
// NUL included), or 0 when it is not valid UTF-8: a stray or missing
// continuation byte, an overlong form, a surrogate, or a character above
// U+10FFFF. Sets `codePoint` to the character.
size_t utf8SequenceLength(const char* text, size_t left, uint32_t* codePoint);

// Writes the UTF-8 form of `size` Windows-1252 bytes to `out`, which has
// room for 3 * `size` bytes, and answers its length.
size_t cp1252ToUtf8(const char* text, size_t size, char* out);

// The Unicode character of a Windows-1252 byte.
uint32_t cp1252CodePoint(unsigned char byte);

// The Windows-1252 byte of a Unicode character, or -1 when it has none.
int cp1252Byte(uint32_t c);

// Describes a problem for a message: "invalid UTF-8", "U+674E has no
// Windows-1252 form", "a NUL byte", "U+1F600 has no Latin spelling".
std::string describeProblem(const EncodingProblem& problem);

// A spelling of a UTF-8 text that Windows-1252 has: each letter of Latin
// Extended-A that the code page lacks (Ł, ő, ć: U+0100 to U+017F) becomes its base letter, as a person would write it on a
// keyboard without it. False when some other character has no form.
bool plainSpelling(const std::string& utf8, std::string* spelled);

// The base letter of a letter of Latin Extended-A (Ł is L, ő o), or 0 for
// any other character and for the ligatures Ĳ, ĳ, Œ and œ, which have none.
char latinExtendedABase(uint32_t c);
