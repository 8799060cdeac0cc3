// Double Metaphone letter rules for the vowels, B, C, D, F, G, H, Ç and Ñ.
//
// Each routine holds one letter's rules in the order they are tested; the
// first that holds appends its codes (primary, secondary) and advances
// current, and ends the pass. The comment on each row is its rule number;
// a numbered row with lettered rows under it opens a group that is entered
// only when its own condition holds.
#include "double_metaphone.h"

// A, E, I, O, U, Y: only a vowel at position 0 of the name is heard.
void DoubleMetaphone::encodeVowel() {
    if (current == 0) return applyRule("A", "A", 1);  // 1
    return applyRule("", "", 1);                      // 2
}

void DoubleMetaphone::encodeB() {
    if (charAt(current + 1) == 'B') return applyRule("P", "P", 2);  // 1
    return applyRule("P", "P", 1);                                  // 2
}

// Ç (0xC7).
void DoubleMetaphone::encodeCCedilla() {
    return applyRule("S", "S", 1);  // 1
}

// Ñ (0xD1).
void DoubleMetaphone::encodeNTilde() {
    return applyRule("N", "N", 1);  // 1
}

void DoubleMetaphone::encodeC() {
    // 1: the Germanic ACH after a consonant, not before I, nor before E
    // unless in BACHER or MACHER.
    if (current > 1 && !vowelAt(current - 2) && matchAt(current - 1, 3, "ACH") && charAt(current + 2) != 'I' &&
        (charAt(current + 2) != 'E' || matchAt(current - 2, 6, "BACHER", "MACHER")))
        return applyRule("X", "K", 2);
    // 2
    if (current == 0 && matchAt(current, 6, "CAESAR")) return applyRule("S", "S", 2);
    // 3
    if (matchAt(current, 4, "CHIA")) return applyRule("K", "K", 2);
    // 4: CH
    if (matchAt(current, 2, "CH")) {
        // 4a
        if (current > 0 && matchAt(current, 4, "CHAE")) return applyRule("K", "X", 2);
        // 4b: the Greek CH at the start of a name
        if (current == 0 &&
            (matchAt(current + 1, 5, "HARAC", "HARIS") || matchAt(current + 1, 3, "HOR", "HYM", "HIA", "HEM")) &&
            !matchAt(0, 5, "CHORE"))
            return applyRule("K", "K", 2);
        // 4c: Germanic names, Greek roots, and CH before a consonant, a blank
        // or the end of the name
        if (matchAt(0, 4, "VAN ", "VON ") || matchAt(0, 3, "SCH") ||
            matchAt(current - 2, 6, "ORCHES", "ARCHIT", "ORCHID") || matchAt(current + 2, 1, "T", "S") ||
            ((matchAt(current - 1, 1, "A", "O", "U", "E") || current == 0) &&
             matchAt(current + 2, 1, "L", "R", "N", "M", "B", "H", "F", "V", "W", " ")))
            return applyRule("K", "K", 2);
        // 4d
        if (current > 0 && matchAt(0, 2, "MC")) return applyRule("K", "K", 2);
        // 4e
        if (current > 0) return applyRule("X", "K", 2);
        // 4f: current = 0
        return applyRule("X", "X", 2);
    }
    // 5
    if (matchAt(current, 2, "CZ") && !matchAt(current - 2, 4, "WICZ")) return applyRule("S", "X", 2);
    // 6
    if (matchAt(current + 1, 3, "CIA")) return applyRule("X", "X", 3);
    // 7: CC, except at position 1 after an initial M
    if (matchAt(current, 2, "CC") && !(current == 1 && charAt(0) == 'M')) {
        // 7a
        if (matchAt(current + 2, 1, "I", "E", "H") && !matchAt(current + 2, 2, "HU") &&
            ((current == 1 && charAt(current - 1) == 'A') || matchAt(current - 1, 5, "UCCEE", "UCCES")))
            return applyRule("KS", "KS", 3);
        // 7b
        if (matchAt(current + 2, 1, "I", "E", "H") && !matchAt(current + 2, 2, "HU")) return applyRule("X", "X", 3);
        // 7c
        return applyRule("K", "K", 2);
    }
    // 8
    if (matchAt(current, 2, "CK", "CG", "CQ")) return applyRule("K", "K", 2);
    // 9
    if (matchAt(current, 2, "CI", "CE", "CY")) {
        // 9a
        if (matchAt(current, 3, "CIO", "CIE", "CIA")) return applyRule("S", "X", 2);
        // 9b
        return applyRule("S", "S", 2);
    }
    // 10: otherwise
    // 10a: a C ending a word before one that starts with C, Q or G
    if (matchAt(current + 1, 2, " C", " Q", " G")) return applyRule("K", "K", 3);
    // 10b
    if (matchAt(current + 1, 1, "C", "K", "Q") && !matchAt(current + 1, 2, "CE", "CI")) return applyRule("K", "K", 2);
    // 10c
    return applyRule("K", "K", 1);
}

void DoubleMetaphone::encodeD() {
    // 1: DG
    if (matchAt(current, 2, "DG")) {
        // 1a
        if (matchAt(current + 2, 1, "I", "E", "Y")) return applyRule("J", "J", 3);
        // 1b
        return applyRule("TK", "TK", 2);
    }
    // 2
    if (matchAt(current, 2, "DT", "DD")) return applyRule("T", "T", 2);
    // 3
    return applyRule("T", "T", 1);
}

void DoubleMetaphone::encodeF() {
    if (charAt(current + 1) == 'F') return applyRule("F", "F", 2);  // 1
    return applyRule("F", "F", 1);                                  // 2
}

void DoubleMetaphone::encodeG() {
    // 1: GH
    if (charAt(current + 1) == 'H') {
        // 1a
        if (current > 0 && !vowelAt(current - 1)) return applyRule("K", "K", 2);
        // 1b
        if (current == 0 && charAt(current + 2) == 'I') return applyRule("J", "J", 2);
        // 1c
        if (current == 0) return applyRule("K", "K", 2);
        // 1d: silent after B, H or D two or three back, or B or H four back
        if ((current > 1 && matchAt(current - 2, 1, "B", "H", "D")) ||
            (current > 2 && matchAt(current - 3, 1, "B", "H", "D")) || (current > 3 && matchAt(current - 4, 1, "B", "H")))
            return applyRule("", "", 2);
        // 1e: UGH after C, G, L, R or T
        if (current > 2 && charAt(current - 1) == 'U' && matchAt(current - 3, 1, "C", "G", "L", "R", "T"))
            return applyRule("F", "F", 2);
        // 1f
        if (charAt(current - 1) != 'I') return applyRule("K", "K", 2);
        // 1g
        return applyRule("", "", 2);
    }
    // 2: GN
    if (charAt(current + 1) == 'N') {
        // 2a
        if (current == 1 && vowelAt(0) && !isSlavoGermanic()) return applyRule("KN", "N", 2);
        // 2b
        if (!matchAt(current + 2, 2, "EY") && !isSlavoGermanic()) return applyRule("N", "KN", 2);
        // 2c
        return applyRule("KN", "KN", 2);
    }
    // 3
    if (matchAt(current + 1, 2, "LI") && !isSlavoGermanic()) return applyRule("KL", "L", 2);
    // 4
    if (current == 0 && (charAt(current + 1) == 'Y' || matchAt(current + 1, 2, "ES", "EP", "EB", "EL", "EY", "IB", "IL",
                                                                   "IN", "IE", "EI", "ER")))
        return applyRule("K", "J", 2);
    // 5
    if ((matchAt(current + 1, 2, "ER") || charAt(current + 1) == 'Y') && !matchAt(0, 6, "DANGER", "RANGER", "MANGER") &&
        !matchAt(current - 1, 1, "E", "I") && !matchAt(current - 1, 3, "RGY", "OGY"))
        return applyRule("K", "J", 2);
    // 6: G before E, I or Y, or in AGGI or OGGI
    if (matchAt(current + 1, 1, "E", "I", "Y") || matchAt(current - 1, 4, "AGGI", "OGGI")) {
        // 6a
        if (matchAt(0, 4, "VAN ", "VON ") || matchAt(0, 3, "SCH") || matchAt(current + 1, 2, "ET"))
            return applyRule("K", "K", 2);
        // 6b
        if (matchAt(current + 1, 4, "IER ")) return applyRule("J", "J", 2);
        // 6c
        return applyRule("J", "K", 2);
    }
    // 7
    if (charAt(current + 1) == 'G') return applyRule("K", "K", 2);
    // 8
    return applyRule("K", "K", 1);
}

// H is heard at the start of the name or after a vowel, and only before a
// vowel; rule 1 also passes over that vowel.
void DoubleMetaphone::encodeH() {
    if ((current == 0 || vowelAt(current - 1)) && vowelAt(current + 1)) return applyRule("H", "H", 2);  // 1
    return applyRule("", "", 1);                                                                        // 2
}
