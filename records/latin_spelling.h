// Names in any script spelled in the Latin letters of Windows-1252, for the
// matching of people. The library reads only Windows-1252, so a name field
// with one character the code page lacks (Łukasz, Şahin, Иван, Γιώργος)
// could not be compared at all; spelled in Latin letters it can.
//
// What changes and what does not:
// - every character that Windows-1252 lacks is spelled by the ICU chain
//   "Russian-Latin/BGN; Greek-Latin/UNGEGN; Any-Latin; Latin-ASCII": a
//   script to Latin letters (Иван Петров is Ivan Petrov, Γιώργος Giorgos,
//   李 li), then a Latin letter to its plain form (Ł is L, ğ g, ş s, ı i).
//   Any-Latin alone spells Cyrillic by ISO 9 and Greek by its classical
//   transcription, as no record writes a name: Яковлев Akovlev, Юрий Urij,
//   Щукин Sukin, Χρήστος Chrestos. BGN/PCGN for Cyrillic (Russian's rules;
//   letters of other languages go on to Any-Latin) and UNGEGN (ELOT 743) for
//   Greek spell them as passports, newspapers and the other list do:
//   Yakovlev, Yuriy, Shchukin, Christos;
// - eleven letters that Windows-1252 has but that are no letter A to Z
//   with a mark are spelled as the same chain spells them: ß ss, Æ AE,
//   æ ae, Œ OE, œ oe, Þ TH, þ th, Ø O, ø o, Ð D, ð d. The library's
//   comparisons keep only the letters A to Z, so Strauß would lose its ß and
//   never meet Strauss, Sørensen would lose a letter to Sorensen;
// - every other character of Windows-1252 stays as it is: é, ü, ñ, ç are a
//   letter with a mark, which the library upper-cases and Double Metaphone
//   reads (Ç, Ñ), and which the comparisons take as a slip of one letter
//   (Müller, Muller). A name that Windows-1252 holds is matched as it always
//   was, but for the eleven letters.
// The chain runs only over the characters it may change (the rest is its
// filter's), so a letter is spelled the same whatever stands beside it:
// Łódź is Lódz, its ó kept as in Jósef.
//
// ICU is in the Linux build only. The Windows build spells the letters of
// Latin Extended-A by their base letter (Ł, ğ, ş, ő) and the eleven, and
// leaves out any other character without a Windows-1252 form.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "encoding.h"

// Whether this build spells every script (with ICU) or only Latin letters.
extern const bool kSpellsEveryScript;

// Whether the `size` Windows-1252 bytes at `text` hold one of the eleven
// letters that are spelled although the code page has them.
bool hasLettersToRespell(const char* text, size_t size);

// Writes the `size` Windows-1252 bytes at `text` to `out` with the eleven
// letters spelled (Strauß is Strauss) and every other byte as it is.
void respellLetters(const char* text, size_t size, std::string* out);

// Spells UTF-8 text in the Latin letters of Windows-1252. One speller a
// thread: the ICU chain is built once for the whole program (compiling its
// rules takes tens of milliseconds) and each speller works on its own copy,
// made the first time it meets a character that Windows-1252 lacks, since
// an ICU transliterator must not be shared by two threads at once.
class LatinSpeller {
public:
    // `everyScript` false spells as the build without ICU does.
    explicit LatinSpeller(bool everyScript = kSpellsEveryScript);
    ~LatinSpeller();
    LatinSpeller(const LatinSpeller&) = delete;
    LatinSpeller& operator=(const LatinSpeller&) = delete;

    // Writes to `out` the Windows-1252 spelling of the `size` bytes of UTF-8
    // at `text`: each character as the notes above say, and a character that
    // even the spelling leaves without a Windows-1252 form (😀) left out.
    // False with `problem` set when the text is not valid UTF-8 or holds a
    // NUL byte, or when characters were left out and no letter or digit is
    // left (NO_LATIN_SPELLING, with the first character that Windows-1252
    // lacks): then nothing of the text can be compared.
    bool spell(const char* text, size_t size, std::string* out, EncodingProblem* problem);

private:
    // The spelling by ICU's chain; false when this speller has none.
    bool spellEveryScript(const char* text, size_t size, std::string* out, bool* leftOut);

    struct Chain;
    bool everyScript_;
    std::unique_ptr<Chain> chain_;
};
