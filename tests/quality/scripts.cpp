#include "scripts.h"

#include <vector>

namespace scripts {

namespace {

bool isAsciiLetter(char32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// A letter of the scripts the generator writes: ASCII, Latin-1, Latin
// Extended-A, Greek and Cyrillic.
bool isLetter(char32_t c) {
    return isAsciiLetter(c) || (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7) || isGreek(c) || isCyrillic(c);
}

bool isUpper(char32_t c) { return lower(c) != c; }

// The plain letters of the lower-case Latin letters with marks, from
// U+00E0 to U+017F; 0 where there is none.
char32_t plainLatin(char32_t c) {
    if (c >= 0xE0 && c <= 0xFF) {
        static const char kLatin1[] = "aaaaaa\0ceeeeiiiidnooooo\0ouuuuy\0y";
        return static_cast<unsigned char>(kLatin1[c - 0xE0]);
    }
    if (c >= 0x100 && c <= 0x17F) {
        // Each pair (capital, small) of Latin Extended-A by its plain letter.
        static const char kExtendedA[] =
            "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiii\0\0jjkk\0llllllllllnnnnnn\0\0\0oooooo\0\0rrrrrrssssssss"
            "ttttttuuuuuuuuuuuuwwyyyzzzzzz\0";
        return static_cast<unsigned char>(kExtendedA[c - 0x100]);
    }
    return 0;
}

// Greek small letters without their accents; the diaeresis stays, since
// it keeps two vowels from being read as one sound.
char32_t greekBase(char32_t c) {
    switch (c) {
        case U'ά': return U'α';
        case U'έ': return U'ε';
        case U'ή': return U'η';
        case U'ί': return U'ι';
        case U'ό': return U'ο';
        case U'ύ': return U'υ';
        case U'ώ': return U'ω';
        case U'ΐ': return U'ϊ';
        case U'ΰ': return U'ϋ';
        case U'ς': return U'σ';
        default: return c;
    }
}

bool cyrillicVowel(char32_t c) { return std::u32string(U"аеёиоуыэюя").find(c) != std::u32string::npos; }

// Cyrillic а to я by spelling: English, Passport, German, French, Plain.
const char* const kCyrillic[32][kSpellings] = {
    {"a", "a", "a", "a", "a"},          {"b", "b", "b", "b", "b"},
    {"v", "v", "w", "v", "v"},          {"g", "g", "g", "g", "g"},
    {"d", "d", "d", "d", "d"},          {"e", "e", "e", "e", "e"},
    {"zh", "zh", "sch", "j", "zh"},     {"z", "z", "s", "z", "z"},
    {"i", "i", "i", "i", "i"},          {"y", "i", "i", "i", "j"},
    {"k", "k", "k", "k", "k"},          {"l", "l", "l", "l", "l"},
    {"m", "m", "m", "m", "m"},          {"n", "n", "n", "n", "n"},
    {"o", "o", "o", "o", "o"},          {"p", "p", "p", "p", "p"},
    {"r", "r", "r", "r", "r"},          {"s", "s", "s", "s", "s"},
    {"t", "t", "t", "t", "t"},          {"u", "u", "u", "ou", "u"},
    {"f", "f", "f", "f", "f"},          {"kh", "kh", "ch", "kh", "h"},
    {"ts", "ts", "z", "ts", "c"},       {"ch", "ch", "tsch", "tch", "ch"},
    {"sh", "sh", "sch", "ch", "sh"},    {"shch", "shch", "schtsch", "chtch", "sch"},
    {"", "ie", "", "", ""},             {"y", "y", "y", "y", "y"},
    {"", "", "", "", ""},               {"e", "e", "e", "e", "e"},
    {"yu", "iu", "ju", "iou", "ju"},    {"ya", "ia", "ja", "ia", "ja"},
};

std::string cyrillicPiece(const std::u32string& l, size_t i, Spelling spelling, size_t* used) {
    int s = static_cast<int>(spelling);
    char32_t c = l[i], prev = i > 0 ? l[i - 1] : 0, next = i + 1 < l.size() ? l[i + 1] : 0;
    char32_t after = i + 2 < l.size() ? l[i + 2] : 0;
    *used = 1;
    if ((c == U'и' || c == U'ы') && next == U'й' && !isLetter(after)) {
        // The endings -ий and -ый: Dmitriy, Dmitrii, Dmitri, Dmitrij.
        *used = 2;
        static const char* const kIi[kSpellings] = {"iy", "ii", "i", "i", "ij"};
        static const char* const kYi[kSpellings] = {"yy", "yi", "y", "y", "yj"};
        return c == U'и' ? kIi[s] : kYi[s];
    }
    bool startOrVowel = !isLetter(prev) || cyrillicVowel(prev) || prev == U'ь' || prev == U'ъ';
    bool afterHush = prev == U'ж' || prev == U'ш' || prev == U'ч' || prev == U'щ';
    switch (c) {
        case U'ё': {
            static const char* const kYo[kSpellings] = {"yo", "e", "jo", "io", "e"};
            if (afterHush && (spelling == Spelling::English || spelling == Spelling::German)) return "o";
            return kYo[s];
        }
        case U'е':
            if (startOrVowel && spelling == Spelling::English) return "ye";
            if (startOrVowel && spelling == Spelling::German) return "je";
            return "e";
        case U'й':
            if (spelling == Spelling::German && cyrillicVowel(next)) return "j";
            break;
        case U'г':
            if (spelling == Spelling::French && (next == U'е' || next == U'и' || next == U'ы' || next == U'ё')) return "gu";
            break;
        case U'с':
            if ((spelling == Spelling::German || spelling == Spelling::French) && cyrillicVowel(prev) &&
                cyrillicVowel(next))
                return "ss";
            break;
        default: break;
    }
    if (c >= U'а' && c <= U'я') return kCyrillic[c - U'а'][s];
    return encode(c);
}

bool voiceless(char32_t c) {
    return !isLetter(c) || std::u32string(U"θκξπστφχψ").find(c) != std::u32string::npos;
}

std::string greekPiece(const std::u32string& l, size_t i, Spelling spelling, size_t* used) {
    char32_t c = l[i], prev = i > 0 ? l[i - 1] : 0, next = i + 1 < l.size() ? l[i + 1] : 0;
    char32_t after = i + 2 < l.size() ? l[i + 2] : 0;
    bool start = !isLetter(prev);
    bool official = spelling == Spelling::Passport || spelling == Spelling::French;
    bool sound = spelling == Spelling::English || spelling == Spelling::Plain;
    bool classical = spelling == Spelling::German;
    *used = 2;
    // Two letters written as one sound.
    if (next == U'ι' && (c == U'α' || c == U'ε' || c == U'ο')) {
        if (!sound) return c == U'α' ? "ai" : c == U'ε' ? "ei" : "oi";
        return c == U'α' ? "e" : "i";
    }
    if (c == U'ο' && next == U'υ') return spelling == Spelling::Plain ? "u" : "ou";
    if (next == U'υ' && (c == U'α' || c == U'ε' || c == U'η')) {
        std::string vowel = c == U'α' ? "a" : c == U'ε' ? "e" : classical ? "e" : "i";
        if (classical) return vowel + "u";
        return vowel + (voiceless(after) ? "f" : "v");
    }
    if (c == U'γ' && next == U'γ') return "ng";
    if (c == U'γ' && next == U'κ') return start ? "g" : official ? "gk" : classical ? "nk" : spelling == Spelling::Plain ? "g" : "ng";
    if (c == U'γ' && next == U'ξ') return "nx";
    if (c == U'γ' && next == U'χ') return sound ? "nh" : "nch";
    if (c == U'μ' && next == U'π') return start ? "b" : official || classical ? "mp" : spelling == Spelling::Plain ? "b" : "mb";
    if (c == U'ν' && next == U'τ') return start ? "d" : official || classical ? "nt" : spelling == Spelling::Plain ? "d" : "nd";
    *used = 1;
    switch (c) {
        case U'α': return "a";
        case U'β': return classical ? "b" : "v";
        case U'γ':
            if (sound && (next == U'ε' || next == U'ι' || next == U'η' || next == U'υ' || next == U'ϊ')) return "y";
            return "g";
        case U'δ': return "d";
        case U'ε': return "e";
        case U'ζ': return "z";
        case U'η': return classical ? "e" : "i";
        case U'θ': return "th";
        case U'ι': case U'ϊ': return "i";
        case U'κ': return "k";
        case U'λ': return "l";
        case U'μ': return "m";
        case U'ν': return "n";
        case U'ξ': return spelling == Spelling::Plain ? "ks" : "x";
        case U'ο': return "o";
        case U'π': return "p";
        case U'ρ': return "r";
        case U'σ': return "s";
        case U'τ': return "t";
        case U'υ': case U'ϋ': return sound ? "i" : "y";
        case U'φ': return classical ? "ph" : "f";
        case U'χ': return official && spelling == Spelling::French ? "kh" : sound ? "h" : "ch";
        case U'ψ': return "ps";
        case U'ω': return "o";
        default: return encode(c);
    }
}

std::string latinPiece(char32_t c, Spelling spelling) {
    bool expand = spelling == Spelling::German || spelling == Spelling::Passport;
    switch (c) {
        case U'ä': case U'æ': return expand || c == U'æ' ? "ae" : "a";
        case U'ö': case U'ø': case U'œ': return expand || c == U'œ' ? "oe" : "o";
        case U'ü': return expand ? "ue" : "u";
        case U'å': return expand ? "aa" : "a";
        case U'ß': return "ss";
        case U'þ': return "th";
        case U'ĳ': return "ij";
        default: break;
    }
    char32_t plain = plainLatin(c);
    return plain ? std::string(1, static_cast<char>(plain)) : encode(c);
}

}  // namespace

std::u32string decode(const std::string& text) {
    std::u32string out;
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t code = n == 1 ? c : n == 2 ? c & 0x1F : n == 3 ? c & 0x0F : c & 0x07;
        for (size_t k = 1; k < n && i + k < text.size(); ++k) code = (code << 6) | (text[i + k] & 0x3F);
        out += code;
        i += n;
    }
    return out;
}

std::string encode(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

std::string encode(const std::u32string& text) {
    std::string out;
    for (char32_t c : text) out += encode(c);
    return out;
}

bool isCyrillic(char32_t c) { return c >= 0x400 && c <= 0x4FF; }
bool isGreek(char32_t c) { return c >= 0x370 && c <= 0x3FF; }

Script scriptOf(const std::string& text) {
    for (char32_t c : decode(text)) {
        if (isCyrillic(c)) return Script::Cyrillic;
        if (isGreek(c)) return Script::Greek;
    }
    return Script::Latin;
}

bool isAscii(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

char32_t upper(char32_t c) {
    if (c >= 'a' && c <= 'z') return c - 32;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
    if (c == 0xFF) return 0x178;
    if (c == 0x131) return 'I';
    if (c >= 0x100 && c <= 0x17E && c != 0x130 && c != 0x138 && c != 0x149) {
        // Capital and small alternate; from U+0139 to U+0148 and from
        // U+0179 the capital is the odd one.
        bool oddCapital = (c >= 0x139 && c <= 0x148) || c >= 0x179;
        return (c % 2 == 0) == oddCapital ? c - 1 : c;
    }
    if (c >= 0x3B1 && c <= 0x3C9) return c == 0x3C2 ? 0x3A3 : c - 32;
    if (c == U'ϊ' || c == U'ΐ') return U'Ϊ';
    if (c == U'ϋ' || c == U'ΰ') return U'Ϋ';
    if (c >= 0x3AC && c <= 0x3CE) {
        char32_t base = greekBase(c);
        return base != c ? upper(base) : c;
    }
    if (c >= 0x430 && c <= 0x44F) return c - 32;
    if (c >= 0x450 && c <= 0x45F) return c - 80;
    return c;
}

char32_t lower(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    if (c == 0x178) return 0xFF;
    if (c == 0x130) return 'i';
    if (c >= 0x100 && c <= 0x17E && c != 0x131 && c != 0x138 && c != 0x149) {
        bool oddCapital = (c >= 0x139 && c <= 0x148) || c >= 0x179;
        return (c % 2 == 0) == oddCapital ? c : c + 1;
    }
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;
    switch (c) {
        case U'Ά': return U'ά';
        case U'Έ': return U'έ';
        case U'Ή': return U'ή';
        case U'Ί': return U'ί';
        case U'Ό': return U'ό';
        case U'Ύ': return U'ύ';
        case U'Ώ': return U'ώ';
        case U'Ϊ': return U'ϊ';
        case U'Ϋ': return U'ϋ';
        default: break;
    }
    if (c >= 0x410 && c <= 0x42F) return c + 32;
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    return c;
}

std::string upper(const std::string& text) {
    std::u32string out = decode(text);
    for (char32_t& c : out) c = upper(c);
    return encode(out);
}

std::string lower(const std::string& text) {
    std::u32string out = decode(text);
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] = lower(out[i]);
        // A small sigma that ends a word is written ς.
        if (out[i] == U'σ' && (i + 1 == out.size() || !isLetter(out[i + 1]))) out[i] = U'ς';
    }
    return encode(out);
}

char32_t withoutMark(char32_t c) {
    if (c == U'ё') return U'е';
    if (c == U'Ё') return U'Е';
    if (c == U'İ') return U'I';
    if (isGreek(c)) {
        char32_t small = lower(c), base = greekBase(small);
        if (base == U'ϊ') base = U'ι';
        if (base == U'ϋ') base = U'υ';
        if (base == small || small == U'ς') return 0;
        return c == small ? base : upper(base);
    }
    char32_t plain = plainLatin(lower(c));
    if (!plain) return 0;
    return isUpper(c) ? upper(plain) : plain;
}

const char* spellingName(Spelling spelling) {
    static const char* const kNames[kSpellings] = {"English", "Passport", "German", "French", "Plain"};
    return kNames[static_cast<int>(spelling)];
}

std::string toLatin(const std::string& text, Spelling spelling) {
    std::u32string source = decode(text), l;
    for (char32_t c : source) l += greekBase(lower(c));
    // Each piece: the ASCII written for one or two letters, and whether the
    // first of them was a capital.
    struct Piece {
        std::string text;
        bool capital;
        size_t from;
    };
    std::vector<Piece> pieces;
    for (size_t i = 0; i < l.size();) {
        size_t used = 1;
        std::string piece;
        if (isCyrillic(l[i])) piece = cyrillicPiece(l, i, spelling, &used);
        else if (isGreek(l[i])) piece = greekPiece(l, i, spelling, &used);
        else if (l[i] >= 0x80) piece = latinPiece(l[i], spelling);
        else piece = std::string(1, static_cast<char>(l[i]));
        pieces.push_back({piece, isUpper(source[i]), i});
        i += used;
    }
    // A word of capitals is written in capitals; else a capital letter
    // gives its piece a capital first letter.
    std::string out;
    for (size_t p = 0; p < pieces.size();) {
        size_t end = p;
        bool allCapitals = true;
        size_t letters = 0;
        while (end < pieces.size() && isLetter(source[pieces[end].from])) {
            allCapitals = allCapitals && pieces[end].capital;
            ++letters;
            ++end;
        }
        if (end == p) {
            out += pieces[p++].text;
            continue;
        }
        for (; p < end; ++p) {
            std::string piece = pieces[p].text;
            if (allCapitals && letters > 1) {
                for (char& c : piece)
                    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
            } else if (pieces[p].capital && !piece.empty() && piece[0] >= 'a' && piece[0] <= 'z') {
                piece[0] = static_cast<char>(piece[0] - 32);
            }
            out += piece;
        }
    }
    return out;
}

}  // namespace scripts
