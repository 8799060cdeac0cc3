// Double Metaphone letter rules for J to Z (all but the vowels).
//
// Each routine holds one letter's rules in the order they are tested; the
// first that holds appends its codes (primary, secondary) and advances
// current, and ends the pass. The comment on each row is its rule number;
// a numbered row with lettered rows under it opens a group that is entered
// only when its own condition holds.
#include "double_metaphone.h"

void DoubleMetaphone::encodeJ() {
    // 1: a name that starts with SAN and a blank
    if (matchAt(0, 4, "SAN ")) return applyRule("H", "H", 1);
    // 2: JOSE as the name's first word
    if (matchAt(current, 4, "JOSE") && current == 0 && charAt(current + 4) == ' ') return applyRule("H", "H", 1);
    // 3
    if (matchAt(current, 4, "JOSE")) return applyRule("J", "H", 1);
    // Rules 4 to 8 pass over a doubled J.
    int32_t advance = charAt(current + 1) == 'J' ? 2 : 1;
    // 4
    if (current == 0) return applyRule("J", "A", advance);
    // 5: the Spanish J between a vowel and A or O
    if (vowelAt(current - 1) && !isSlavoGermanic() && (charAt(current + 1) == 'A' || charAt(current + 1) == 'O'))
        return applyRule("J", "H", advance);
    // 6
    if (current == last) return applyRule("J", "", advance);
    // 7
    if (!matchAt(current + 1, 1, "L", "T", "K", "S", "N", "M", "B", "Z") && !matchAt(current - 1, 1, "S", "K", "L"))
        return applyRule("J", "J", advance);
    // 8
    return applyRule("", "", advance);
}

void DoubleMetaphone::encodeK() {
    if (charAt(current + 1) == 'K') return applyRule("K", "K", 2);  // 1
    return applyRule("K", "K", 1);                                  // 2
}

void DoubleMetaphone::encodeL() {
    // 1: LL
    if (charAt(current + 1) == 'L') {
        // 1a: the Spanish LL
        if ((current == length - 3 && matchAt(current - 1, 4, "ILLO", "ILLA", "ALLE")) ||
            ((matchAt(last - 1, 2, "AS", "OS") || matchAt(last, 1, "A", "O")) && matchAt(current - 1, 4, "ALLE")))
            return applyRule("L", "", 2);
        // 1b
        return applyRule("L", "L", 2);
    }
    // 2
    return applyRule("L", "L", 1);
}

void DoubleMetaphone::encodeM() {
    // 1: passes over the B of a final UMB or of UMBER, and over a doubled M
    if ((matchAt(current - 1, 3, "UMB") && (current + 1 == last || matchAt(current + 2, 2, "ER"))) ||
        charAt(current + 1) == 'M')
        return applyRule("M", "M", 2);
    // 2
    return applyRule("M", "M", 1);
}

void DoubleMetaphone::encodeN() {
    if (charAt(current + 1) == 'N') return applyRule("N", "N", 2);  // 1
    return applyRule("N", "N", 1);                                  // 2
}

void DoubleMetaphone::encodeP() {
    if (charAt(current + 1) == 'H') return applyRule("F", "F", 2);            // 1
    if (matchAt(current + 1, 1, "P", "B")) return applyRule("P", "P", 2);     // 2
    return applyRule("P", "P", 1);                                            // 3
}

void DoubleMetaphone::encodeQ() {
    if (charAt(current + 1) == 'Q') return applyRule("K", "K", 2);  // 1
    return applyRule("K", "K", 1);                                  // 2
}

void DoubleMetaphone::encodeR() {
    // 1: the French final R after IE, but not in MEIER or MAIER
    if (current == last && !isSlavoGermanic() && matchAt(current - 2, 2, "IE") && !matchAt(current - 4, 2, "ME", "MA"))
        return applyRule("", "R", 1);
    // 2
    if (charAt(current + 1) == 'R') return applyRule("R", "R", 2);
    // 3
    return applyRule("R", "R", 1);
}

void DoubleMetaphone::encodeS() {
    // 1: the silent S of ISL and YSL
    if (matchAt(current - 1, 3, "ISL", "YSL")) return applyRule("", "", 1);
    // 2
    if (current == 0 && matchAt(current, 5, "SUGAR")) return applyRule("X", "S", 1);
    // 3: SH
    if (matchAt(current, 2, "SH")) {
        // 3a: the Germanic endings
        if (matchAt(current + 1, 4, "HEIM", "HOEK", "HOLM", "HOLZ")) return applyRule("S", "S", 2);
        // 3b
        return applyRule("X", "X", 2);
    }
    // 4: SIO, SIA
    if (matchAt(current, 3, "SIO", "SIA")) {
        // 4a
        if (!isSlavoGermanic()) return applyRule("S", "X", 3);
        // 4b
        return applyRule("S", "S", 3);
    }
    // 5
    if (current == 0 && matchAt(current + 1, 1, "M", "N", "L", "W")) return applyRule("S", "X", 1);
    // 6
    if (matchAt(current + 1, 1, "Z")) return applyRule("S", "X", 2);
    // 7: SC
    if (matchAt(current, 2, "SC")) {
        // 7a: the Dutch SCH before ER or EN
        if (charAt(current + 2) == 'H' && matchAt(current + 3, 2, "ER", "EN")) return applyRule("X", "SK", 3);
        // 7b
        if (charAt(current + 2) == 'H' && matchAt(current + 3, 2, "OO", "UY", "ED", "EM")) return applyRule("SK", "SK", 3);
        // 7c
        if (charAt(current + 2) == 'H' && current == 0 && !vowelAt(3) && charAt(3) != 'W') return applyRule("X", "S", 3);
        // 7d
        if (charAt(current + 2) == 'H') return applyRule("X", "X", 3);
        // 7e
        if (matchAt(current + 2, 1, "I", "E", "Y")) return applyRule("S", "S", 3);
        // 7f
        return applyRule("SK", "SK", 3);
    }
    // 8: the French silent final S after AI or OI
    if (current == last && matchAt(current - 2, 2, "AI", "OI")) return applyRule("", "S", 1);
    // 9
    if (matchAt(current + 1, 1, "S", "Z")) return applyRule("S", "S", 2);
    // 10
    return applyRule("S", "S", 1);
}

void DoubleMetaphone::encodeT() {
    // 1: TION leaves its N to the N rule
    if (matchAt(current, 4, "TION")) return applyRule("X", "X", 3);
    // 2
    if (matchAt(current, 3, "TIA", "TCH")) return applyRule("X", "X", 3);
    // 3: TH, TTH
    if (matchAt(current, 2, "TH") || matchAt(current, 3, "TTH")) {
        // 3a
        if (matchAt(current + 2, 2, "OM", "AM") || matchAt(0, 4, "VAN ", "VON ") || matchAt(0, 3, "SCH"))
            return applyRule("T", "T", 2);
        // 3b: "0" is the TH sound
        return applyRule("0", "T", 2);
    }
    // 4
    if (matchAt(current + 1, 1, "T", "D")) return applyRule("T", "T", 2);
    // 5
    return applyRule("T", "T", 1);
}

void DoubleMetaphone::encodeV() {
    if (charAt(current + 1) == 'V') return applyRule("F", "F", 2);  // 1
    return applyRule("F", "F", 1);                                  // 2
}

void DoubleMetaphone::encodeW() {
    // 1
    if (matchAt(current, 2, "WR")) return applyRule("R", "R", 2);
    // An initial W before a vowel or H gives its codes and goes on to the
    // rules below in the same pass.
    if (current == 0 && (vowelAt(current + 1) || matchAt(current, 2, "WH"))) {
        if (vowelAt(current + 1)) addCodes("A", "F");
        else addCodes("A", "A");
    }
    // 2
    if ((current == last && vowelAt(current - 1)) || matchAt(current - 1, 5, "EWSKI", "EWSKY", "OWSKI", "OWSKY") ||
        matchAt(0, 3, "SCH"))
        return applyRule("", "F", 1);
    // 3
    if (matchAt(current, 4, "WICZ", "WITZ")) return applyRule("TS", "FX", 4);
    // 4
    return applyRule("", "", 1);
}

void DoubleMetaphone::encodeX() {
    // 1: the French silent final X after IAU, EAU, AU or OU
    if (current == last && (matchAt(current - 3, 3, "IAU", "EAU") || matchAt(current - 2, 2, "AU", "OU")))
        return applyRule("", "", 1);
    // 2
    if (matchAt(current + 1, 1, "C", "X")) return applyRule("KS", "KS", 2);
    // 3
    return applyRule("KS", "KS", 1);
}

void DoubleMetaphone::encodeZ() {
    // 1
    if (charAt(current + 1) == 'H') return applyRule("J", "J", 2);
    // 2: the Italian ZZ before O, I or A
    if (matchAt(current + 1, 2, "ZO", "ZI", "ZA")) return applyRule("S", "TS", 2);
    // 3
    if (isSlavoGermanic() && current > 0 && charAt(current - 1) != 'T') {
        // 3a
        if (charAt(current + 1) == 'Z') return applyRule("S", "TS", 2);
        // 3b
        return applyRule("S", "TS", 1);
    }
    // 4
    if (charAt(current + 1) == 'Z') return applyRule("S", "S", 2);
    // 5
    return applyRule("S", "S", 1);
}
