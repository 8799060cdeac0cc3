// Double Metaphone: the records of one encoding in progress and the read
// primitives through which every letter rule looks at the name.
//
// The letter rules are member routines of DoubleMetaphone so that their
// conditions read like the rule tables: matchAt(current - 1, 3, "ACH"),
// charAt(current + 1) == 'H', vowelAt(current - 2), isSlavoGermanic().
// Positions are 0-based bytes of the working string; a rule never writes it.
#pragma once

#include <cstdint>

// A NUL-terminated text that never grows: an append that would take it past
// capacity - 1 characters is refused whole. The record and its text are
// GlobalAlloc blocks of their own, outside the call's scratch pool.
struct CodeBuffer {
    char* text;        // `capacity` bytes, zero-filled at creation
    int32_t count;     // characters held, not counting the NUL
    int32_t capacity;  // bytes of `text`: 256, or the name's length + 1 for a longer name
};

// A buffer holding `initial` (null counts as ""), with room for 255
// characters, or for all of `initial` when that is longer. Null when either
// block is refused; nothing is left allocated then.
CodeBuffer* createCodeBuffer(const char* initial);
// Appends `s` (null does nothing) unless the result would exceed
// capacity - 1 characters; then nothing at all is appended.
void appendCodeBuffer(CodeBuffer* buffer, const char* s);
// Frees the text and the record; null is ignored.
void releaseCodeBuffer(CodeBuffer* buffer);

struct DoubleMetaphone {
    CodeBuffer* working;        // the name, upper-cased, and five blanks when they fit
    CodeBuffer* primaryCode;    // the primary code
    CodeBuffer* secondaryCode;  // the secondary code
    int32_t length;             // characters of the name as the host passed it
    int32_t last;               // length - 1: position of the name's last character
    int32_t current;            // position of the character being encoded
    int32_t maxlength;          // the clamped code length limit, 4 to 255
    bool slavoGermanic;         // the working string holds W, K or CZ; set once, it never changes

    // --- Read primitives -------------------------------------------------

    // Inside: from 0 to before the working string's count (the blanks count).
    bool inside(int32_t pos) const { return pos >= 0 && pos < working->count; }

    // The byte at pos, or NUL outside the working string.
    char charAt(int32_t pos) const { return inside(pos) ? working->text[pos] : '\0'; }

    // A, E, I, O, U or Y at pos (Y counts as a vowel here).
    bool vowelAt(int32_t pos) const {
        if (!inside(pos)) return false;
        switch (working->text[pos]) {
        case 'A': case 'E': case 'I': case 'O': case 'U': case 'Y':
            return true;
        default:
            return false;
        }
    }

    // True when one of the candidates (each `len` characters) equals the
    // `len` bytes from pos. Only pos is tested against the working string: a
    // candidate may reach into the blanks, and one that would reach past the
    // NUL does not match.
    template <typename... Candidates>
    bool matchAt(int32_t pos, int32_t len, Candidates... candidates) const {
        const char* const list[] = {candidates..., ""};
        return matchList(pos, len, list);
    }

    // matchAt over a candidate list ended by an empty string.
    bool matchList(int32_t pos, int32_t len, const char* const* candidates) const {
        if (!inside(pos)) return false;
        const char* at = working->text + pos;
        for (; **candidates; ++candidates) {
            const char* candidate = *candidates;
            int32_t i = 0;
            // The text's NUL never equals a candidate's letter, so this stops
            // at the end of the working string at the latest.
            while (i < len && at[i] == candidate[i] && at[i] != '\0') ++i;
            if (i == len) return true;
        }
        return false;
    }

    // W, K or CZ anywhere in the name, wherever current stands.
    bool isSlavoGermanic() const { return slavoGermanic; }

    // --- Emitting codes ----------------------------------------------------

    // Appends each code to its side; either side may be refused on its own
    // when it would pass 255 characters. "" appends nothing.
    void addCodes(const char* primary, const char* secondary) {
        appendCodeBuffer(primaryCode, primary);
        appendCodeBuffer(secondaryCode, secondary);
    }

    // Applies one row of a rule table: its two codes, then its advance.
    void applyRule(const char* primary, const char* secondary, int32_t advance) {
        addCodes(primary, secondary);
        current += advance;
    }

    // --- Letter rules: each encodes the letter at current and advances ----

    void encodeVowel();    // A, E, I, O, U, Y
    void encodeB();
    void encodeCCedilla();  // 0xC7 in Windows-1252
    void encodeNTilde();    // 0xD1 in Windows-1252
    void encodeC();
    void encodeD();
    void encodeF();
    void encodeG();
    void encodeH();
    void encodeJ();
    void encodeK();
    void encodeL();
    void encodeM();
    void encodeN();
    void encodeP();
    void encodeQ();
    void encodeR();
    void encodeS();
    void encodeT();
    void encodeV();
    void encodeW();
    void encodeX();
    void encodeZ();
};
