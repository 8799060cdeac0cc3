// Names in the scripts the export modes of the people generator write:
// UTF-8 as code points, upper and lower case of Latin (with the letters of
// Latin-1 and Latin Extended-A), Greek and Cyrillic, and the Latin
// spellings a clerk types for a name of another script or with marks that
// a keyboard lacks (Фёдоров: Fyodorov, Fedorov, Fjodorow; Γεώργιος:
// Georgios, Yeoryios; Łukasz: Lukasz; Öztürk: Ozturk, Oeztuerk).
#pragma once

#include <string>

namespace scripts {

// UTF-8 to code points and back; the generator's own text is valid UTF-8.
std::u32string decode(const std::string& text);
std::string encode(const std::u32string& text);
std::string encode(char32_t c);

enum class Script { Latin, Cyrillic, Greek };

// Cyrillic or Greek when a letter of the text is, else Latin.
Script scriptOf(const std::string& text);
bool isCyrillic(char32_t c);
bool isGreek(char32_t c);
bool isAscii(const std::string& text);

char32_t upper(char32_t c);
char32_t lower(char32_t c);
// Greek capitals drop their accents, as Greek is written in capitals.
std::string upper(const std::string& text);
std::string lower(const std::string& text);

// A letter with its mark dropped: é e, ł l, ğ g, ı i, ά α, ё е; 0 for a
// letter without one (or one that becomes two letters: ß, æ, œ).
char32_t withoutMark(char32_t c);

// The ways of writing a name in Latin letters. For Cyrillic: English
// (Yuriy, Fyodor), Passport (the international passport rules: Iurii,
// Fedor), German (Juri, Fjodor, Schukow), French (Iouri, Fiodor, Joukov),
// Plain (the letters as a scholar would write them without their marks:
// Jurij, Fedor). For Greek: Passport and French (the official rules:
// Georgios, Christos), English and Plain (as it sounds: Yeoryios, Hristos),
// German (the classical spelling: Georgios, Christos, Basileios). For Latin
// letters with marks: German and Passport write ö, ü, ä, ø and å as oe,
// ue, ae, oe and aa; the others drop the marks.
enum class Spelling { English, Passport, German, French, Plain };
const int kSpellings = 5;
const char* spellingName(Spelling spelling);

// The text in ASCII letters: each word keeps its case (a capital first
// letter, or all capitals); blanks, hyphens, apostrophes, dots and digits
// stay as they are.
std::string toLatin(const std::string& text, Spelling spelling);

}  // namespace scripts
