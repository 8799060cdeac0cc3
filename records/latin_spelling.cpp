#include "latin_spelling.h"

#ifdef OVRIN_ICU
#include <unicode/normalizer2.h>
#include <unicode/translit.h>
#include <unicode/uniset.h>
#include <unicode/unistr.h>
#endif

namespace {

// The eleven letters by their Windows-1252 byte, spelled as ICU's
// Latin-ASCII spells them (a test holds the two to each other); null for
// every other byte.
struct OwnLetters {
    const char* spelling[256] = {};
    constexpr OwnLetters() {
        spelling[0x8C] = "OE";  // Œ
        spelling[0x9C] = "oe";  // œ
        spelling[0xC6] = "AE";  // Æ
        spelling[0xD0] = "D";   // Ð
        spelling[0xD8] = "O";   // Ø
        spelling[0xDE] = "TH";  // Þ
        spelling[0xDF] = "ss";  // ß
        spelling[0xE6] = "ae";  // æ
        spelling[0xF0] = "d";   // ð
        spelling[0xF8] = "o";   // ø
        spelling[0xFE] = "th";  // þ
    }
};
constexpr OwnLetters kOwnLetters;

// A letter or a digit as the clean-up of names counts them, in either case.
bool isLetterOrDigit(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == 0x8A || c == 0x8C ||
           c == 0x8E || c == 0x9A || c == 0x9C || c == 0x9E || c == 0x9F || (c >= 0xC0 && c != 0xD7 && c != 0xF7);
}

bool holdsLetterOrDigit(const std::string& text) {
    for (char c : text)
        if (isLetterOrDigit(static_cast<unsigned char>(c))) return true;
    return false;
}

// Appends the spelling of one character without ICU, and answers false
// when it has none and is left out.
bool appendPlain(uint32_t c, std::string* out) {
    int byte = cp1252Byte(c);
    if (byte >= 0) {
        const char* own = kOwnLetters.spelling[byte];
        if (own) *out += own;
        else *out += static_cast<char>(byte);
        return true;
    }
    if (char base = latinExtendedABase(c)) {
        *out += base;
        return true;
    }
    if (c == 0x132 || c == 0x133) {  // Ĳ, ĳ
        *out += c == 0x132 ? "IJ" : "ij";
        return true;
    }
    return false;
}

}  // namespace

#ifdef OVRIN_ICU

const bool kSpellsEveryScript = true;

namespace {

// The chain of latin_spelling.h with a filter that leaves it only the
// characters it may change: those without a Windows-1252 form and the
// eleven letters. Built once, the first time a name needs it; null if ICU
// cannot build it (its data missing), and then names are spelled without.
std::unique_ptr<icu::Transliterator> buildChain() {
    UErrorCode status = U_ZERO_ERROR;
    UParseError where;
    std::unique_ptr<icu::Transliterator> chain(icu::Transliterator::createInstance(
        icu::UnicodeString("Russian-Latin/BGN; Greek-Latin/UNGEGN; Any-Latin; Latin-ASCII", -1, US_INV),
        UTRANS_FORWARD, where, status));
    if (U_FAILURE(status) || !chain) return nullptr;
    auto changed = std::make_unique<icu::UnicodeSet>();
    for (int byte = 0; byte < 256; ++byte)
        if (!kOwnLetters.spelling[byte]) changed->add(static_cast<UChar32>(cp1252CodePoint(static_cast<unsigned char>(byte))));
    changed->complement();
    changed->freeze();
    chain->adoptFilter(changed.release());
    return chain;
}

const icu::Transliterator* sharedChain() {
    static const std::unique_ptr<icu::Transliterator> chain = buildChain();
    return chain.get();
}

}  // namespace

struct LatinSpeller::Chain {
    std::unique_ptr<icu::Transliterator> transliterator;  // this speller's copy of the shared chain
    const icu::Normalizer2* nfc = nullptr;
};

#else

const bool kSpellsEveryScript = false;

struct LatinSpeller::Chain {};

#endif

bool hasLettersToRespell(const char* text, size_t size) {
    for (size_t i = 0; i < size; ++i)
        if (kOwnLetters.spelling[static_cast<unsigned char>(text[i])]) return true;
    return false;
}

void respellLetters(const char* text, size_t size, std::string* out) {
    out->clear();
    for (size_t i = 0; i < size; ++i) {
        const char* own = kOwnLetters.spelling[static_cast<unsigned char>(text[i])];
        if (own) *out += own;
        else *out += text[i];
    }
}

LatinSpeller::LatinSpeller(bool everyScript) : everyScript_(everyScript && kSpellsEveryScript) {}

LatinSpeller::~LatinSpeller() = default;

bool LatinSpeller::spell(const char* text, size_t size, std::string* out, EncodingProblem* problem) {
    out->clear();
    // Valid UTF-8 without NUL first, and the first character that
    // Windows-1252 lacks, for the message should nothing be left.
    EncodingProblem unencodable;
    for (size_t i = 0; i < size;) {
        uint32_t c;
        size_t length = utf8SequenceLength(text + i, size - i, &c);
        if (length == 0 || c == 0) {
            problem->kind = length == 0 ? EncodingProblem::INVALID_UTF8 : EncodingProblem::NUL_BYTE;
            problem->offset = i;
            problem->codePoint = 0;
            return false;
        }
        if (unencodable.kind == EncodingProblem::NONE && cp1252Byte(c) < 0) {
            unencodable.kind = EncodingProblem::NO_LATIN_SPELLING;
            unencodable.codePoint = c;
            unencodable.offset = i;
        }
        i += length;
    }
    bool leftOut = false;
    if (!spellEveryScript(text, size, out, &leftOut)) {
        out->clear();
        for (size_t i = 0; i < size;) {
            uint32_t c;
            i += utf8SequenceLength(text + i, size - i, &c);
            if (!appendPlain(c, out)) leftOut = true;
        }
    }
    if (leftOut && !holdsLetterOrDigit(*out)) {
        *problem = unencodable;
        out->clear();
        return false;
    }
    return true;
}

#ifdef OVRIN_ICU

bool LatinSpeller::spellEveryScript(const char* text, size_t size, std::string* out, bool* leftOut) {
    if (!everyScript_) return false;
    if (!chain_) {
        chain_ = std::make_unique<Chain>();
        UErrorCode status = U_ZERO_ERROR;
        chain_->nfc = icu::Normalizer2::getNFCInstance(status);
        const icu::Transliterator* shared = sharedChain();
        if (shared && U_SUCCESS(status)) chain_->transliterator.reset(shared->clone());
    }
    if (!chain_->transliterator) return false;
    // Composed first, so that an e and a combining accent are the é that
    // Windows-1252 has, which is kept.
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString u =
        chain_->nfc->normalize(icu::UnicodeString::fromUTF8(icu::StringPiece(text, static_cast<int32_t>(size))), status);
    if (U_FAILURE(status)) return false;
    chain_->transliterator->transliterate(u);
    for (int32_t i = 0; i < u.length();) {
        UChar32 c = u.char32At(i);
        i += U16_LENGTH(c);
        int byte = cp1252Byte(static_cast<uint32_t>(c));
        if (byte >= 0) *out += static_cast<char>(byte);
        else *leftOut = true;
    }
    return true;
}

#else

bool LatinSpeller::spellEveryScript(const char*, size_t, std::string*, bool*) { return false; }

#endif
